// Helpers for end-to-end tests: a fresh directory per case, the real qndl
// binary run in it, and exact byte comparisons printed escaped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "test_support.h"

namespace testing_support {

// The words that start the qndl binary: its path, after the emulator and its
// arguments in a cross build whose tests run under an emulator.
std::vector<std::string> qndl_command();

// Runs qndl with `args` in `dir`. `stdout_path` overrides where standard
// output goes (a device such as /dev/full); the console is then empty.
RunResult run_qndl(const Workdir& dir, const std::vector<std::string>& args,
                   const std::string& stdout_path = "");

#ifdef _WIN32
// Runs qndl in `dir` with `raw_args` as the rest of its command line, as typed.
RunResult run_qndl_with_command_line(const Workdir& dir, const std::string& raw_args);
#endif

#ifndef _WIN32
// Runs qndl with `args` in `dir`, its address space limited to `bytes`.
RunResult run_qndl_with_address_limit(const Workdir& dir, const std::vector<std::string>& args, std::size_t bytes);
#endif

// The console text as the platform's text stream writes it: LF as written
// on POSIX, CR LF on Windows.
std::string console_text(std::string_view lf_text);

// Banner, delimiter report and template-compile lines: the console's usual
// opening. `compile_lines` is given with LF line ends.
std::string opening(std::string_view delimiter_report, std::string_view compile_lines);

struct Fixture;
// Runs the binary on each fixture in a fresh directory and checks the
// console (in the platform's form), qndl.out and the exit status.
void expect_fixtures_from_binary(const std::vector<Fixture>& table);

}  // namespace testing_support
