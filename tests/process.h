// Runs a program with exact arguments in a given directory, its standard
// output captured to a file there. Platform code of the tests lives behind this.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace testing_support {

// Runs `program` with `args` (not counting the program's own name) in `dir`,
// standard output sent to `stdout_path` (or to `stdout_path` as given when it
// names a device). Returns the exit status, or -1 if the program did not end
// normally. Every string is UTF-8 text; on POSIX its bytes pass unchanged.
int run_process(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                const std::string& stdout_path);

// The system's ANSI code page, the one the program's arguments arrive in on
// Windows (1252, 932, ...); 0 on POSIX, where arguments are bytes as given.
unsigned system_code_page();

#ifdef _WIN32
// As run_process, with the command line given raw: the program's quoted path,
// a blank, then `raw_args` as is, for the program to split by its own rules.
int run_process_with_command_line(const std::string& program, const std::string& raw_args, const std::string& dir,
                                  const std::string& stdout_path);
#endif

#ifndef _WIN32
// As run_process, with the child's address space limited to `bytes`
// (RLIMIT_AS): its allocations then fail as on a machine short of memory,
// where Linux would otherwise overcommit.
int run_process_with_address_limit(const std::string& program, const std::vector<std::string>& args,
                                   const std::string& dir, const std::string& stdout_path, std::size_t bytes);
#endif

}  // namespace testing_support
