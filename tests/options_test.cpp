#include "options.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

using Args = std::vector<std::string_view>;

TEST(OptionScan, SettingsAndTests) {
  using qndl::Usage;
  const struct {
    Args args;
    std::string_view input, delimiter, out;
    bool trial;
    Usage usage;
  } cases[] = {
      {{}, "", "", "", false, Usage::kNoInputFile},
      {{"-try"}, "", "", "", true, Usage::kNoInputFile},
      {{"a", "b"}, "b", "", "", false, Usage::kIncorrectSyntax},
      {{"a", ""}, "", "", "", false, Usage::kNoInputFile},
      {{"", "a"}, "a", "", "", false, Usage::kIncorrectSyntax},
      {{"a", "-x"}, "-x", "", "", false, Usage::kIncorrectSyntax},
      {{"-x"}, "-x", "", "", false, Usage::kOk},
      {{"-TRY"}, "-TRY", "", "", false, Usage::kOk},
      {{"--try"}, "--try", "", "", false, Usage::kOk},
      {{"f", "-delim"}, "f", "", "", false, Usage::kOk},
      {{"f", "-out"}, "f", "", "", false, Usage::kOk},
      {{"f", "-delim", "-try"}, "f", "-try", "", false, Usage::kOk},
      {{"f", "-delim", ",", "-delim", "ab"}, "f", "ab", "", false, Usage::kOk},
      {{"-out", "-delim", "f"}, "f", "", "-delim", false, Usage::kOk},
      {{"-delim", "", "f"}, "f", "", "", false, Usage::kOk},
      {{"-try", "-delim", ",", "-out", "$1", "f", "-try"}, "f", ",", "$1", true, Usage::kOk},
      {{"*.txt"}, "*.txt", "", "", false, Usage::kOk},
  };
  for (const auto& c : cases) {
    std::string trace;
    for (std::string_view a : c.args) trace.append("[").append(a).append("]");
    SCOPED_TRACE("args: " + trace);
    const qndl::Settings s = qndl::scan_options(c.args);
    EXPECT_EQ(s.input_name, c.input);
    EXPECT_EQ(s.delimiter, c.delimiter);
    EXPECT_EQ(s.template_text, c.out);
    EXPECT_EQ(s.trial, c.trial);
    EXPECT_EQ(qndl::check_settings(s), c.usage);
  }
}

// The platform opens the input by its argument's own name and checks the
// two values in its code page, so each setting must know its argument even
// where several hold the same text.
TEST(OptionScan, RemembersWhichArgumentEachSettingCameFrom) {
  constexpr std::size_t kNone = qndl::Settings::kNotGiven;
  const struct {
    Args args;
    std::size_t input, delimiter, out;
  } cases[] = {
      {{}, kNone, kNone, kNone},
      {{"f", "-out", "f", "-out", "f"}, 0, kNone, 4},
      {{"-delim", "f", "f", "-delim", "f"}, 2, 4, kNone},
      {{"f", "-delim"}, 0, kNone, kNone},
      {{"-out", "", "x", "y"}, 3, kNone, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const qndl::Settings s = qndl::scan_options(c.args);
    EXPECT_EQ(s.input_index, c.input);
    EXPECT_EQ(s.delimiter_index, c.delimiter);
    EXPECT_EQ(s.template_index, c.out);
  }
}

}  // namespace
