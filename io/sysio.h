// The few operating-system calls the program makes, and its arguments as the
// system hands them over, behind one interface so the rest of the code sees
// only bytes (and file names it passes back unread). Files are always opened
// in binary mode: the program does its own line-end translation on every
// platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sysio {

// A file name in the form the system opens files by: the argument's own
// bytes on POSIX, UTF-16 on Windows (where the code page could not hold
// every name).
#ifdef _WIN32
using NameChar = wchar_t;
#else
using NameChar = char;
#endif
using Name = std::basic_string<NameChar>;

// One command-line argument, in both of the forms the program uses.
struct Argument {
  // Bytes of the system's code page: what the option scan compares, what
  // the delimiter and the template are made of, and what messages show.
  // Each character the code page cannot represent is a '?' (never a
  // look-alike); on POSIX these are the argument's bytes as given.
  std::string text;
  bool representable = true;  // false when some character became '?'
  Name name;                  // the exact argument, to open as a file
};

// The arguments after the program's own name. POSIX takes them from `argv`.
// Windows takes them from the wide command line instead, split by the
// program itself (split_command_line), so that no character has been
// replaced by a look-alike before the program sees it and the quoting rules
// are the same whichever C runtime the system has.
std::vector<Argument> arguments(int argc, char** argv);
#ifdef _WIN32
// Splits a Windows command line into the program's name and its arguments.
// Arguments are delimited by blanks and tabs. In the program's name quotes
// only group (they are dropped, backslashes are plain). After it, a quoted
// part is one argument or part of one whatever blanks it holds; inside it,
// "" is one literal quote and the quoted part goes on. Backslashes are plain
// unless they precede a quote: 2n of them and the quote give n backslashes
// and a quote that opens or closes a quoted part; 2n+1 give n backslashes
// and a literal quote. A line that ends inside quotes ends its last argument
// there. Nothing is expanded: no wildcards, and the caret is plain.
std::vector<Name> split_command_line(std::wstring_view line);
#endif
// An argument given as code-page bytes (a run inside the tests).
Argument byte_argument(std::string_view text);

// An open file descriptor; -1 when none.
using Handle = int;
inline constexpr Handle kNoHandle = -1;

// Opens `name` for reading. kNoHandle on failure, and for a directory.
Handle open_input(const Name& name);
// Creates `name` (one of the program's own ASCII names) for writing, or
// empties it when it exists. kNoHandle on failure.
Handle create_output(const std::string& name);

// Reads up to `size` bytes. Returns the count, 0 at end of file, -1 on error.
long long read_some(Handle h, char* buf, std::size_t size);
// Writes all `size` bytes; false on any failure.
bool write_all(Handle h, const char* data, std::size_t size);
// Closes `h`; false when the system reports a failure (a delayed write error).
bool close(Handle h);

// True when `name` (one of the program's own ASCII names) exists and is the
// very file open as `h` (same file through another name, a hard link or a
// symbolic link included).
bool is_same_file(Handle h, const std::string& name);

// Failures a test can ask of the calls above, for the cases a real file
// seldom shows. Nothing in the program arms them; each fires once and is
// then disarmed. Their cost on the working path is one test of a flag per
// read and per close.
namespace test_hooks {
// The next file made by create_output reports a failure when it is closed,
// as a delayed write error does there; it is closed all the same.
void fail_close_of_next_output();
// The next read_some is interrupted by a signal before it reads anything
// (the system call returns EINTR). File reads on Windows are never
// interrupted so: there this arms nothing.
void interrupt_next_read();
// Whether a hook is still armed; a test checks that its failure was reached.
bool armed();
void disarm();
}  // namespace test_hooks

}  // namespace sysio
