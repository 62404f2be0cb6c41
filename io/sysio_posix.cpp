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

}  // namespace

Handle open_input(const std::string& name) {
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
  return above_standard_descriptors(fd);
}

long long read_some(Handle h, char* buf, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(h, buf, size);
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
  // After EINTR the descriptor state is unspecified on POSIX and released on
  // Linux: retrying could close a descriptor opened meanwhile, so do not.
  return ::close(h) == 0 || errno == EINTR;
}

bool is_same_file(Handle h, const std::string& name) {
  struct stat open_file {};
  struct stat named {};
  if (::fstat(h, &open_file) != 0 || ::stat(name.c_str(), &named) != 0) return false;
  return open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

}  // namespace sysio
