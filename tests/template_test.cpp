#include "compile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kWarn = "INFO: Warning no output columns selected\n";

std::string invalid(const std::string& shown) {
  return "INFO: $x found but x (" + shown + ")is not a valid column number (1-9)\n";
}

TEST(TemplateCompile, ConsoleLinesAndTables) {
  const std::string nine_dollars = std::string(9, '$');
  std::string nine_invalid;
  for (int i = 0; i < 9; ++i) nine_invalid += invalid("$");
  std::string nine_x;
  for (int i = 0; i < 9; ++i) nine_x += invalid("x");
  const std::string ten_dollars_console = nine_invalid + invalid("") +
                                          "ERROR: No output text selected, nothing to write, so finishing!.\n";

  const struct {
    std::string text, console, form;
    int segments, references;
    bool nothing;
  } cases[] = {
      {"zorvat -set $4 $5",
       "DEBUG: outtext = {zorvat -set },1 qndl_ind = {3},1\n"
       "DEBUG: outtext = { },2 qndl_ind = {4},2\n"
       "DEBUG: outtext = {},3\n",
       "[zorvat -set ][$4][ ][$5][]", 3, 2, false},
      {"", std::string("DEBUG: outtext = {},1\n") + kWarn, "[]", 1, 0, false},
      {"hello", std::string("DEBUG: outtext = {hello},1\n") + kWarn, "[hello]", 1, 0, false},
      {"abc$", invalid("") + "DEBUG: outtext = {abc$},1\n" + kWarn, "[abc$]", 1, 0, false},
      {"$", invalid("") + "DEBUG: outtext = {$},1\n" + kWarn, "[$]", 1, 0, false},
      {"$0", invalid("0") + "DEBUG: outtext = {$0},1\n" + kWarn, "[$0]", 1, 0, false},
      {"$ 1", invalid(" ") + "DEBUG: outtext = {$ 1},1\n" + kWarn, "[$ 1]", 1, 0, false},
      {"$-1", invalid("-") + "DEBUG: outtext = {$-1},1\n" + kWarn, "[$-1]", 1, 0, false},
      {"$10", "DEBUG: outtext = {},1 qndl_ind = {0},1\nDEBUG: outtext = {0},2\n", "[][$1][0]", 2, 1, false},
      {"$12", "DEBUG: outtext = {},1 qndl_ind = {0},1\nDEBUG: outtext = {2},2\n", "[][$1][2]", 2, 1, false},
      {"$$1", invalid("$") + "DEBUG: outtext = {$},1 qndl_ind = {0},1\nDEBUG: outtext = {},2\n", "[$][$1][]", 2,
       1, false},
      {"a$xb$1c", invalid("x") + "DEBUG: outtext = {a$xb},1 qndl_ind = {0},1\nDEBUG: outtext = {c},2\n",
       "[a$xb][$1][c]", 2, 1, false},
      {"$1-$1",
       "DEBUG: outtext = {},1 qndl_ind = {0},1\nDEBUG: outtext = {-},2 qndl_ind = {0},2\nDEBUG: outtext = {},3\n",
       "[][$1][-][$1][]", 3, 2, false},
      {"%s {}%d$9%", "DEBUG: outtext = {%s {}%d},1 qndl_ind = {8},1\nDEBUG: outtext = {%},2\n", "[%s {}%d][$9][%]",
       2, 1, false},
      {nine_dollars, nine_invalid.substr(0, nine_invalid.size() - invalid("$").size()) + invalid("") +
                         "DEBUG: outtext = {" + nine_dollars + "},1\n" + kWarn,
       "[" + nine_dollars + "]", 1, 0, false},
      {std::string(10, '$'), ten_dollars_console, "", 0, 0, true},
      {"$x$x$x$x$x$x$x$x$x$x$1", nine_x + invalid("x") +
                                     "ERROR: No output text selected, nothing to write, so finishing!.\n",
       "", 0, 0, true},
      {"$x$x$x$x$x$x$x$x$x$1 tail", nine_x + "DEBUG: outtext = {$x$x$x$x$x$x$x$x$x},1 qndl_ind = {0},1\n",
       "[$x$x$x$x$x$x$x$x$x][$1]", 1, 1, false},
      {"$1$x$x$x$x$x$x$x$x$x tail", "DEBUG: outtext = {},1 qndl_ind = {0},1\n" + nine_x, "[][$1]", 1, 1, false},
  };

  for (const auto& c : cases) {
    SCOPED_TRACE("template: " + c.text);
    std::string console;
    const tmpl::CompileResult r = tmpl::compile(c.text, console);
    EXPECT_EQ(console, c.console);
    EXPECT_EQ(r.nothing_to_write, c.nothing);
    EXPECT_EQ(r.tmpl.segment_count, c.segments);
    EXPECT_EQ(r.tmpl.reference_count, c.references);
    if (!c.nothing) {
      EXPECT_EQ(tmpl::describe(r.tmpl), c.form);
    }
  }
}

// Nine and ten references: the tenth step either records the final segment
// or uses up the steps, and nothing after the tenth "$" is looked at.
TEST(TemplateCompile, TenStepLimit) {
  const struct {
    std::string text, last_line, form;
    int segments, references;
  } cases[] = {
      {"$1$2$3$4$5$6$7$8$9", "DEBUG: outtext = {},10\n", "[][$1][][$2][][$3][][$4][][$5][][$6][][$7][][$8][][$9][]",
       10, 9},
      {"$1$2$3$4$5$6$7$8$9;end", "DEBUG: outtext = {;end},10\n",
       "[][$1][][$2][][$3][][$4][][$5][][$6][][$7][][$8][][$9][;end]", 10, 9},
      {"$1$2$3$4$5$6$7$8$9$1;end$2", "DEBUG: outtext = {},10 qndl_ind = {0},10\n",
       "[][$1][][$2][][$3][][$4][][$5][][$6][][$7][][$8][][$9][][$1]", 10, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("template: " + c.text);
    std::string console;
    const tmpl::CompileResult r = tmpl::compile(c.text, console);
    ASSERT_FALSE(r.nothing_to_write);
    EXPECT_EQ(r.tmpl.segment_count, c.segments);
    EXPECT_EQ(r.tmpl.reference_count, c.references);
    EXPECT_EQ(tmpl::describe(r.tmpl), c.form);
    const std::string last = console.substr(console.rfind('\n', console.size() - 2) + 1);
    EXPECT_EQ(last, c.last_line);
  }
}

// The pieces written to the output file: LF in the template is stored as
// CR LF, and the line end is folded into the last piece.
TEST(TemplateCompile, StoredForm) {
  const struct {
    std::string text;
    std::vector<std::string> stored;
    int fields_needed;
  } cases[] = {
      {"zorvat -set $4 $5", {"zorvat -set ", " ", "\r\n"}, 5},
      {"a\nb$2\n", {"a\r\nb", "\r\n\r\n"}, 2},
      {"", {"\r\n"}, 0},
      {"$1$2$3$4$5$6$7$8$9$1 tail", {"", "", "", "", "", "", "", "", "", "", "\r\n"}, 9},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("template: " + c.text);
    std::string console;
    const tmpl::Template t = tmpl::compile(c.text, console).tmpl;
    ASSERT_EQ(static_cast<int>(c.stored.size()), t.reference_count + 1);
    for (int k = 0; k <= t.reference_count; ++k) EXPECT_EQ(t.stored[k], c.stored[k]) << "piece " << k;
    EXPECT_EQ(t.fields_needed, c.fields_needed);
  }
}

}  // namespace
