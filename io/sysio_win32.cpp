#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <climits>

#include "sysio.h"

// Arguments reach the program as typed: no wildcard expansion by the runtime.
int _dowildcard = 0;

namespace sysio {
namespace {

// The C runtime's read and write take an unsigned int count.
constexpr std::size_t kMaxChunk = INT_MAX;

// State of the test hooks (sysio.h). The program has one thread.
bool fail_close_of_output = false;
Handle failing_close = kNoHandle;

}  // namespace

namespace test_hooks {
void fail_close_of_next_output() { fail_close_of_output = true; }
// A signal never interrupts a file read here: nothing to arm.
void interrupt_next_read() {}
bool armed() { return fail_close_of_output || failing_close != kNoHandle; }
void disarm() {
  fail_close_of_output = false;
  failing_close = kNoHandle;
}
}  // namespace test_hooks

Handle open_input(const std::string& name) {
  const int fd = ::_open(name.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  return fd < 0 ? kNoHandle : fd;
}

Handle create_output(const std::string& name) {
  const int fd = ::_open(name.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                         _S_IREAD | _S_IWRITE);
  if (fd < 0) return kNoHandle;
  if (fail_close_of_output) {
    fail_close_of_output = false;
    failing_close = fd;
  }
  return fd;
}

long long read_some(Handle h, char* buf, std::size_t size) {
  const auto chunk = static_cast<unsigned>(size < kMaxChunk ? size : kMaxChunk);
  return ::_read(h, buf, chunk);
}

bool write_all(Handle h, const char* data, std::size_t size) {
  while (size > 0) {
    const auto chunk = static_cast<unsigned>(size < kMaxChunk ? size : kMaxChunk);
    const int n = ::_write(h, data, chunk);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool close(Handle h) {
  const bool failing = h == failing_close;
  if (failing) failing_close = kNoHandle;
  return ::_close(h) == 0 && !failing;
}

bool is_same_file(Handle h, const std::string& name) {
  const auto open_file = reinterpret_cast<HANDLE>(::_get_osfhandle(h));
  if (open_file == INVALID_HANDLE_VALUE) return false;
  const HANDLE named = ::CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  const bool same = ::GetFileInformationByHandle(open_file, &a) && ::GetFileInformationByHandle(named, &b) &&
                    a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                    a.nFileIndexLow == b.nFileIndexLow;
  ::CloseHandle(named);
  return same;
}

}  // namespace sysio
