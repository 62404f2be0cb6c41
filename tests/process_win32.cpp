#include <windows.h>

#include <filesystem>

#include "process.h"

namespace testing_support {
namespace {

// Appends `arg` to a command line so that the C runtime's start-up of the
// child splits it back into exactly `arg`: blanks, tabs and quotes inside a
// pair of quotes, a quote as \", and backslashes doubled only where they
// precede a quote (inside the text or before the closing quote).
void append_quoted(std::string& line, const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
    line += arg;
    return;
  }
  line += '"';
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = 2 * backslashes + 1;
    line.append(backslashes, '\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, '\\');
  line += '"';
}

// NTSTATUS codes of the error severity (an access violation and the like)
// are what a process ended by an exception reports as its exit code.
constexpr DWORD kExceptionSeverity = 0xC0000000;

}  // namespace

int run_process(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                const std::string& stdout_path) {
  // The child's own working directory must not change what the path names.
  const std::string exe = std::filesystem::absolute(program).string();
  std::string line;
  append_quoted(line, exe);
  for (const std::string& a : args) {
    line += ' ';
    append_quoted(line, a);
  }

  SECURITY_ATTRIBUTES inherit{};
  inherit.nLength = sizeof inherit;
  inherit.bInheritHandle = TRUE;
  const HANDLE out = ::CreateFileA(stdout_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return -1;
  // Standard input and standard error go to the null device: qndl reads no
  // console and writes nothing to standard error.
  const HANDLE null_device = ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (null_device == INVALID_HANDLE_VALUE) {
    ::CloseHandle(out);
    return -1;
  }

  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = null_device;
  si.hStdOutput = out;
  si.hStdError = null_device;
  PROCESS_INFORMATION pi{};
  const BOOL started = ::CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(),
                                        &si, &pi);
  ::CloseHandle(out);
  ::CloseHandle(null_device);
  if (!started) return -1;

  DWORD code = 0;
  const bool ended = ::WaitForSingleObject(pi.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                     ::GetExitCodeProcess(pi.hProcess, &code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  if (!ended || code >= kExceptionSeverity) return -1;
  return static_cast<int>(code);
}

}  // namespace testing_support
