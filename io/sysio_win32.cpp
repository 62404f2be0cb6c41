#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string_view>

#include "sysio.h"

// The start-up code still builds main's argv, which the program leaves
// unused: without wildcard expansion it does so without looking at files.
int _dowildcard = 0;

namespace sysio {
namespace {

// The C runtime's read and write take an unsigned int count.
constexpr std::size_t kMaxChunk = INT_MAX;

// One character (at most a surrogate pair) in any ANSI code page, UTF-8 included.
constexpr int kMaxBytesPerCharacter = 4;
constexpr char kUnrepresentable[] = "?";

bool is_ascii(wchar_t c) { return c < 0x80; }

// Every ANSI code page holds ASCII as itself. Anything else is converted one
// character at a time, so that a character the code page lacks becomes
// exactly one '?': without best-fit, which would turn a fullwidth "o" into an
// "o" and so name another file or change a template. A UTF-8 code page holds
// every character; only a lone surrogate fails there.
Argument from_wide(std::wstring_view wide) {
  const UINT code_page = ::GetACP();
  Argument a{std::string(), true, Name(wide)};
  a.text.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size();) {
    if (is_ascii(wide[i])) {
      a.text += static_cast<char>(wide[i++]);
      continue;
    }
    const int units = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]) ? 2 : 1;
    char bytes[kMaxBytesPerCharacter];
    BOOL used_default = FALSE;
    const int n = code_page == CP_UTF8
                      ? ::WideCharToMultiByte(code_page, WC_ERR_INVALID_CHARS, &wide[i], units, bytes, sizeof bytes,
                                              nullptr, nullptr)
                      : ::WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, &wide[i], units, bytes, sizeof bytes,
                                              kUnrepresentable, &used_default);
    if (n <= 0 || used_default) {
      a.text += kUnrepresentable;
      a.representable = false;
    } else {
      a.text.append(bytes, static_cast<std::size_t>(n));
    }
    i += static_cast<std::size_t>(units);
  }
  return a;
}

Name widen(std::string_view bytes) {
  if (bytes.empty()) return Name();
  const int size = static_cast<int>(bytes.size());
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  Name wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), n);
  return wide;
}

bool starts_with(const Name& s, std::wstring_view prefix) { return std::wstring_view(s).starts_with(prefix); }

// The form of `name` that opens however long its path is. A full path of
// MAX_PATH characters or more opens only behind the \\?\ prefix, which takes
// the path verbatim: so it is made full (and its / turned into \) first.
// Shorter names go as given, keeping the usual treatment of devices such as
// NUL and of trailing dots and blanks.
Name openable(const Name& name) {
  const DWORD need = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (need == 0) return name;
  Name full(need, L'\0');
  const DWORD got = ::GetFullPathNameW(name.c_str(), need, full.data(), nullptr);
  if (got == 0 || got >= need) return name;
  full.resize(got);
  if (full.size() < MAX_PATH || starts_with(full, L"\\\\?\\") || starts_with(full, L"\\\\.\\")) return name;
  if (starts_with(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);  // \\server\share\...
  return L"\\\\?\\" + full;
}

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

std::vector<Name> split_command_line(std::wstring_view line) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  std::vector<Name> words(1);
  std::size_t i = 0;
  bool quoted = false;
  for (; i < line.size() && (quoted || !blank(line[i])); ++i) {
    if (line[i] == L'"') {
      quoted = !quoted;
    } else {
      words[0] += line[i];
    }
  }
  for (;;) {
    while (i < line.size() && blank(line[i])) ++i;
    if (i == line.size()) return words;
    Name& word = words.emplace_back();
    quoted = false;
    while (i < line.size() && (quoted || !blank(line[i]))) {
      if (line[i] == L'\\') {
        const std::size_t end = std::min(line.find_first_not_of(L'\\', i), line.size());
        const std::size_t count = end - i;
        i = end;
        const bool before_quote = i < line.size() && line[i] == L'"';
        word.append(before_quote ? count / 2 : count, L'\\');
        if (before_quote && count % 2 == 1) word += line[i++];
      } else if (line[i] == L'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
          word += L'"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        word += line[i++];
      }
    }
  }
}

// argc and argv are the code-page split by the start-up code, where best-fit
// has already replaced what the code page lacks: the wide line is split instead.
std::vector<Argument> arguments(int, char**) {
  const std::vector<Name> words = split_command_line(::GetCommandLineW());
  std::vector<Argument> args;
  args.reserve(words.size() - 1);
  for (std::size_t i = 1; i < words.size(); ++i) args.push_back(from_wide(words[i]));
  return args;
}

Argument byte_argument(std::string_view text) { return {std::string(text), true, widen(text)}; }

Handle open_input(const Name& name) {
  const int fd = ::_wopen(openable(name).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  return fd < 0 ? kNoHandle : fd;
}

Handle create_output(const std::string& name) {
  const int fd = ::_wopen(openable(widen(name)).c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
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
  const HANDLE named = ::CreateFileW(openable(widen(name)).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
