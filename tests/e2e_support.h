// Helpers for end-to-end tests: a fresh directory per case, the real qndl
// binary run in it, and exact byte comparisons printed escaped.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// A fresh, empty directory, removed again when the object goes.
class Workdir {
 public:
  Workdir();
  ~Workdir();
  Workdir(const Workdir&) = delete;
  Workdir& operator=(const Workdir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  void write(const std::string& name, std::string_view bytes) const;
  // The bytes of a file, or nullopt when it does not exist.
  std::optional<std::string> read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

struct RunResult {
  int status = -1;
  std::string console;                   // standard output, exact bytes
  std::optional<std::string> qndl_out;   // qndl.out afterwards, if it exists
};

// Runs qndl with `args` in `dir`. `stdout_path` overrides where standard
// output goes (a device such as /dev/full); the console is then empty.
RunResult run_qndl(const Workdir& dir, const std::vector<std::string>& args,
                   const std::string& stdout_path = "");

// The console text as the platform's text stream writes it: LF as written
// on POSIX, CR LF on Windows.
std::string console_text(std::string_view lf_text);

// Banner, delimiter report and template-compile lines: the console's usual
// opening. `compile_lines` is given with LF line ends.
std::string opening(std::string_view delimiter_report, std::string_view compile_lines);

// "1;2;...;n": a record of n fields, each its own number.
std::string numbered_fields(int n);

// The same bytes with every byte outside printable ASCII shown as \xNN (and
// \r, \n, \\ as such), so a mismatch shows what differs.
std::string escaped(std::string_view bytes);

}  // namespace testing_support

#define EXPECT_BYTES_EQ(actual, expected) \
  EXPECT_EQ(::testing_support::escaped(actual), ::testing_support::escaped(expected))
