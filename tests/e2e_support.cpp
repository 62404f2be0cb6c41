#include "e2e_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fixtures.h"
#include "process.h"

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

RunResult run_qndl(const Workdir& dir, const std::vector<std::string>& args, const std::string& stdout_path) {
  // The console file lives beside the work directory, not in it, so that it
  // never shows up as a file the program could see.
  const fs::path console_file = fs::path(dir.path().string() + ".console");
  const std::string target = stdout_path.empty() ? console_file.string() : stdout_path;
  std::vector<std::string> words = qndl_command();
  words.insert(words.end(), args.begin(), args.end());
  const std::string program = words.front();
  words.erase(words.begin());
  RunResult r;
  r.status = run_process(program, words, dir.path().string(), target);
  if (stdout_path.empty()) {
    std::ifstream f(console_file, std::ios::binary);
    r.console.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    std::error_code ec;
    fs::remove(console_file, ec);
  }
  r.qndl_out = dir.read("qndl.out");
  return r;
}

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
  std::string s = "Quindle Version 1.0a\n";
  s += delimiter_report;
  s += compile_lines;
  return console_text(s);
}

}  // namespace testing_support
