// The split of a Windows command line into the program's name and its
// arguments, one case per quoting rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sysio.h"

namespace {

TEST(CommandLineSplit, QuotesBackslashesAndBlanks) {
  const struct {
    const char* what;
    std::wstring line;
    std::vector<std::wstring> words;  // the program's name first
  } cases[] = {
      {"blanks and tabs delimit, in runs", L"qndl a  b\t\tc \t", {L"qndl", L"a", L"b", L"c"}},
      {"no arguments", L"qndl", {L"qndl"}},
      {"the program's name in quotes with blanks, backslashes plain",
       L"\"C:\\Program Files\\qndl\\\" x", {L"C:\\Program Files\\qndl\\", L"x"}},
      {"quotes in the middle of the program's name", L"C:\\\"My Tools\"\\qndl.exe -try",
       {L"C:\\My Tools\\qndl.exe", L"-try"}},
      {"a quoted part holds blanks and tabs", L"qndl \"a b\tc\" d", {L"qndl", L"a b\tc", L"d"}},
      {"a quoted part embedded in an argument", L"qndl -out\"$1 $2\"x", {L"qndl", L"-out$1 $2x"}},
      {"an empty quoted argument", L"qndl \"\" b", {L"qndl", L"", L"b"}},
      {"\"\" inside quotes is a quote", L"qndl \"a\"\"b\"", {L"qndl", L"a\"b"}},
      {"and the quoted part goes on after it", L"qndl \"a\"\" b\"", {L"qndl", L"a\" b"}},
      {"a template with quotes, written for cmd", L"qndl people.txt -out \"echo \"\"$2 & $3\"\"\"",
       {L"qndl", L"people.txt", L"-out", L"echo \"$2 & $3\""}},
      {"\"\" outside quotes is an empty part", L"qndl a\"\"b", {L"qndl", L"ab"}},
      {"\\\" is a literal quote", L"qndl a\\\"b \\\"", {L"qndl", L"a\"b", L"\""}},
      {"a backslash before the closing quote makes it literal", L"qndl \"C:\\backup\\\" next",
       {L"qndl", L"C:\\backup\" next"}},
      {"2n backslashes and a quote: n backslashes, the quote delimits",
       L"qndl \"C:\\backup\\\\\" next a\\\\\\\\\"b c\"", {L"qndl", L"C:\\backup\\", L"next", L"a\\\\b c"}},
      {"2n+1 backslashes and a quote: n backslashes and a quote", L"qndl a\\\\\\\"b \"c\\\\\\\"d\"",
       {L"qndl", L"a\\\"b", L"c\\\"d"}},
      {"backslashes before no quote are plain", L"qndl C:\\a\\\\b\\ \"c\\\\d\" e\\\\",
       {L"qndl", L"C:\\a\\\\b\\", L"c\\\\d", L"e\\\\"}},
      {"an unterminated quote ends the last argument", L"qndl a \"b c\t", {L"qndl", L"a", L"b c\t"}},
      {"a lone quote at the end", L"qndl a \"", {L"qndl", L"a", L""}},
      {"the caret and wildcards are plain", L"qndl ^a *.txt \"^\" ?.*", {L"qndl", L"^a", L"*.txt", L"^", L"?.*"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(sysio::split_command_line(c.line), c.words);
  }
}

}  // namespace
