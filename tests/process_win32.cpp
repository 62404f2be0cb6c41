#include <windows.h>

#include <filesystem>
#include <utility>

#include "process.h"

namespace testing_support {
namespace {

// UTF-8 text as the wide API takes it.
std::wstring wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, w.data(), n);
  return w;
}

// Appends `arg` to a command line so that the C runtime's start-up of the
// child splits it back into exactly `arg`: blanks, tabs and quotes inside a
// pair of quotes, a quote as \", and backslashes doubled only where they
// precede a quote (inside the text or before the closing quote).
void append_quoted(std::wstring& line, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += arg;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = 2 * backslashes + 1;
    line.append(backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, L'\\');
  line += L'"';
}

// NTSTATUS codes of the error severity (an access violation and the like)
// are what a process ended by an exception reports as its exit code.
constexpr DWORD kExceptionSeverity = 0xC0000000;

// Runs `exe` (an absolute path) with the command line `line`.
int run_line(const std::wstring& exe, std::wstring line, const std::string& dir, const std::string& stdout_path) {
  SECURITY_ATTRIBUTES inherit{};
  inherit.nLength = sizeof inherit;
  inherit.bInheritHandle = TRUE;
  const HANDLE out = ::CreateFileW(wide(stdout_path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return -1;
  // Standard input and standard error go to the null device: qndl reads no
  // console and writes nothing to standard error.
  const HANDLE null_device = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (null_device == INVALID_HANDLE_VALUE) {
    ::CloseHandle(out);
    return -1;
  }

  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = null_device;
  si.hStdOutput = out;
  si.hStdError = null_device;
  PROCESS_INFORMATION pi{};
  const BOOL started = ::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, wide(dir).c_str(),
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

// The child's own working directory must not change what the path names.
std::wstring absolute_program(const std::string& program) {
  return std::filesystem::absolute(wide(program)).wstring();
}

}  // namespace

unsigned system_code_page() { return ::GetACP(); }

int run_process(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                const std::string& stdout_path) {
  const std::wstring exe = absolute_program(program);
  std::wstring line;
  append_quoted(line, exe);
  for (const std::string& a : args) {
    line += L' ';
    append_quoted(line, wide(a));
  }
  return run_line(exe, std::move(line), dir, stdout_path);
}

int run_process_with_command_line(const std::string& program, const std::string& raw_args, const std::string& dir,
                                  const std::string& stdout_path) {
  const std::wstring exe = absolute_program(program);
  std::wstring line;
  append_quoted(line, exe);
  line += L' ';
  line += wide(raw_args);
  return run_line(exe, std::move(line), dir, stdout_path);
}

}  // namespace testing_support
