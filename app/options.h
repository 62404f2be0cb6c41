// The command line: option scan and its two tests.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace qndl {

struct Settings {
  std::string_view input_name;     // the last non-option argument
  std::string_view delimiter;      // the last value of "-delim"; empty if none
  std::string_view template_text;  // the last value of "-out"; empty if none
  bool trial = false;              // "-try" was given
  int non_options = 0;             // arguments that were neither an option nor its value

  // Where the three texts came from, as indices into the scanned arguments
  // (kNotGiven for none): the input is opened by the name of its argument,
  // and the two values must be exact in the code page.
  static constexpr std::size_t kNotGiven = static_cast<std::size_t>(-1);
  std::size_t input_index = kNotGiven;
  std::size_t delimiter_index = kNotGiven;
  std::size_t template_index = kNotGiven;
};

enum class Usage { kOk, kNoInputFile, kIncorrectSyntax };

// Scans the arguments after the program's own name. Options match whole and
// case-sensitively; "-delim" and "-out" take the next argument verbatim,
// whatever it holds, and have no effect as the last argument; everything else
// is a file name. Views point into `args`.
Settings scan_options(std::span<const std::string_view> args);

// The two tests, in order: a non-empty file name, then exactly one of them.
Usage check_settings(const Settings& s);

}  // namespace qndl
