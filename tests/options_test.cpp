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

}  // namespace
