#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sysio.h"

namespace sysio {
namespace {

// A run started with standard input, output or error closed would get one of
// descriptors 0-2 for its files, and the console text would then land in the
// file. Files are moved above them; the standard ones stay as they were.
Handle above_standard_descriptors(int fd) {
  if (fd < 0) return kNoHandle;
  if (fd > STDERR_FILENO) return fd;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  ::close(fd);
  return moved < 0 ? kNoHandle : moved;
}

// State of the test hooks (sysio.h). The program has one thread.
bool interrupt_read = false;
bool fail_close_of_output = false;
Handle failing_close = kNoHandle;

// True once after interrupt_next_read, with errno as a signal leaves it.
bool interrupted_by_test() {
  if (!interrupt_read) [[likely]] return false;
  interrupt_read = false;
  errno = EINTR;
  return true;
}

}  // namespace

namespace test_hooks {
void fail_close_of_next_output() { fail_close_of_output = true; }
void interrupt_next_read() { interrupt_read = true; }
bool armed() { return interrupt_read || fail_close_of_output || failing_close != kNoHandle; }
void disarm() {
  interrupt_read = fail_close_of_output = false;
  failing_close = kNoHandle;
}
}  // namespace test_hooks

std::vector<Argument> arguments(int argc, char** argv) {
  std::vector<Argument> args;
  for (int i = 1; i < argc; ++i) args.push_back(byte_argument(argv[i]));
  return args;
}

Argument byte_argument(std::string_view text) { return {std::string(text), true, std::string(text)}; }

Handle open_input(const Name& name) {
  int fd;
  do {
    fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  // A directory opens here but is no file to read: refuse it at the open,
  // as Windows does, so both report it alike and before qndl.out is touched.
  struct stat st {};
  if (fd >= 0 && (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
    ::close(fd);
    return kNoHandle;
  }
  return above_standard_descriptors(fd);
}

Handle create_output(const std::string& name) {
  int fd;
  do {
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  const Handle h = above_standard_descriptors(fd);
  if (fail_close_of_output && h != kNoHandle) {
    fail_close_of_output = false;
    failing_close = h;
  }
  return h;
}

long long read_some(Handle h, char* buf, std::size_t size) {
  for (;;) {
    const ssize_t n = interrupted_by_test() ? -1 : ::read(h, buf, size);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

bool write_all(Handle h, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(h, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool close(Handle h) {
  const bool failing = h == failing_close;
  if (failing) failing_close = kNoHandle;
  // After EINTR the descriptor state is unspecified on POSIX and released on
  // Linux: retrying could close a descriptor opened meanwhile, so do not.
  const bool closed = ::close(h) == 0 || errno == EINTR;
  return closed && !failing;
}

bool is_same_file(Handle h, const std::string& name) {
  struct stat open_file {};
  struct stat named {};
  if (::fstat(h, &open_file) != 0 || ::stat(name.c_str(), &named) != 0) return false;
  return open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

}  // namespace sysio
