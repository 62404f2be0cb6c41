#include "e2e_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fixtures.h"
#include "process.h"
#include "run.h"

namespace testing_support {
namespace fs = std::filesystem;

std::vector<std::string> qndl_command() {
#ifdef QNDL_EMULATOR
  std::vector<std::string> words{QNDL_EMULATOR};
#else
  std::vector<std::string> words;
#endif
  words.push_back(QNDL_BINARY);
  return words;
}

namespace {

// A program and its arguments: qndl_command() followed by `args`.
struct Command {
  std::string program;
  std::vector<std::string> args;
};
Command qndl_with(const std::vector<std::string>& args) {
  std::vector<std::string> words = qndl_command();
  Command c{words.front(), {words.begin() + 1, words.end()}};
  c.args.insert(c.args.end(), args.begin(), args.end());
  return c;
}

// Runs qndl by `start` (given the path standard output goes to) and collects
// what it left.
template <class Start>
RunResult run_and_collect(const Workdir& dir, const std::string& stdout_path, Start&& start) {
  // The console file lives beside the work directory, not in it, so that it
  // never shows up as a file the program could see.
  fs::path console_file = dir.path();
  console_file += ".console";
  const std::string target = stdout_path.empty() ? utf8_text(console_file) : stdout_path;
  RunResult r;
  r.status = start(target);
  if (stdout_path.empty()) {
    std::ifstream f(console_file, std::ios::binary);
    r.console.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    std::error_code ec;
    fs::remove(console_file, ec);
  }
  r.qndl_out = dir.read("qndl.out");
  return r;
}

}  // namespace

RunResult run_qndl(const Workdir& dir, const std::vector<std::string>& args, const std::string& stdout_path) {
  return run_and_collect(dir, stdout_path, [&](const std::string& target) {
    const Command c = qndl_with(args);
    return run_process(c.program, c.args, utf8_text(dir.path()), target);
  });
}

#ifdef _WIN32
RunResult run_qndl_with_command_line(const Workdir& dir, const std::string& raw_args) {
  return run_and_collect(dir, "", [&](const std::string& target) {
    return run_process_with_command_line(QNDL_BINARY, raw_args, utf8_text(dir.path()), target);
  });
}
#endif

#ifndef _WIN32
RunResult run_qndl_with_address_limit(const Workdir& dir, const std::vector<std::string>& args, std::size_t bytes) {
  return run_and_collect(dir, "", [&](const std::string& target) {
    const Command c = qndl_with(args);
    return run_process_with_address_limit(c.program, c.args, utf8_text(dir.path()), target, bytes);
  });
}
#endif

void expect_fixtures_from_binary(const std::vector<Fixture>& table) {
  for (const Fixture& f : table) {
    SCOPED_TRACE(f.name);
    Workdir dir;
    write_files(dir, f);
    expect_fixture(f, run_qndl(dir, f.args), console_text);
  }
}

std::string console_text(std::string_view lf_text) {
#ifdef _WIN32
  std::string out;
  for (char c : lf_text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
#else
  return std::string(lf_text);
#endif
}

std::string opening(std::string_view delimiter_report, std::string_view compile_lines) {
  std::string s(qndl::banner());
  s += delimiter_report;
  s += compile_lines;
  return console_text(s);
}

}  // namespace testing_support
