// Helpers shared by every test that runs the program: a fresh directory per
// case, the result of a run, and exact bytes printed escaped on a mismatch.
// No test framework in here, so the fuzzers can use it too.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan.h"

namespace testing_support {

// A path from UTF-8 text (the names the tests use): on POSIX its bytes as
// they are, on Windows the characters they encode.
std::filesystem::path utf8_path(std::string_view text);
// A path as UTF-8 text.
std::string utf8_text(const std::filesystem::path& p);

// A fresh, empty directory, removed again when the object goes. File names
// are UTF-8 text.
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

// "1;2;...;n": a record of n fields, each its own number.
std::string numbered_fields(int n);

// Calls visit(path) once for every index kernel this machine can run, with
// that kernel forced (scan::force_path); the default choice is back
// afterwards. Everything that reads records runs through each of them.
template <class Visit>
void for_each_scan_path(Visit&& visit) {
  const scan::Path chosen = scan::active_path();
  for (const scan::Path path : scan::available_paths()) {
    scan::force_path(path);
    visit(path);
  }
  scan::force_path(chosen);
}

// A copy of `text` starting `offset` bytes into a word (offset below
// scan::kWordSize), indexed for `delimiter` with the active kernel, and
// followed by bytes that are all the delimiter, CR, LF and Ctrl-Z, so that
// masks reaching past the text would show.
class IndexedCopy {
 public:
  IndexedCopy(std::string_view text, char delimiter, unsigned offset = 0);
  scan::IndexedText indexed() const;

 private:
  std::vector<char> bytes_;
  std::vector<scan::WordMasks> words_;
  std::size_t size_;
  unsigned offset_;
};

// The same bytes with every byte outside printable ASCII shown as \xNN (and
// \r, \n, \\ as such), so a mismatch shows what differs.
std::string escaped(std::string_view bytes);

}  // namespace testing_support

#define EXPECT_BYTES_EQ(actual, expected) \
  EXPECT_EQ(::testing_support::escaped(actual), ::testing_support::escaped(expected))
