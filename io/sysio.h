// The few operating-system calls the program makes, behind one interface so
// the rest of the code sees only bytes. Files are always opened in binary
// mode: the program does its own line-end translation on every platform.
#pragma once

#include <cstddef>
#include <string>

namespace sysio {

// An open file descriptor; -1 when none.
using Handle = int;
inline constexpr Handle kNoHandle = -1;

// Opens `name` for reading. kNoHandle on failure, and for a directory.
Handle open_input(const std::string& name);
// Creates `name` for writing, or empties it when it exists. kNoHandle on failure.
Handle create_output(const std::string& name);

// Reads up to `size` bytes. Returns the count, 0 at end of file, -1 on error.
long long read_some(Handle h, char* buf, std::size_t size);
// Writes all `size` bytes; false on any failure.
bool write_all(Handle h, const char* data, std::size_t size);
// Closes `h`; false when the system reports a failure (a delayed write error).
bool close(Handle h);

// True when `name` exists and is the very file open as `h` (same file
// through another name, a hard link or a symbolic link included).
bool is_same_file(Handle h, const std::string& name);

}  // namespace sysio
