// Names and arguments beyond ASCII. On Windows the input file is opened by
// the exact characters of its argument, while the template and the delimiter
// are bytes of the ANSI code page; what the console shows and what qndl.out
// holds therefore depend on that code page. The Windows leg runs these tests
// under code page 1252 and again under 932; on POSIX arguments are bytes as
// given (here UTF-8).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "process.h"
#include "run.h"

namespace {

namespace fs = std::filesystem;
using testing_support::console_text;
using testing_support::opening;
using testing_support::run_qndl;
using testing_support::utf8_path;
using testing_support::Workdir;

const std::string kDefaultReport = "INFO: Using default delimeters of {;}.delimeter is {;}\n";
// Stands for a qndl.out that is not there, so that every case of a table runs.
const std::string kNoFile = "(no qndl.out)";

// An expectation for each system the tests know.
template <class T>
struct PerSystem {
  T posix;
  T cp1252;
  T cp932;
};

class Names : public ::testing::Test {
 protected:
  void SetUp() override {
    const unsigned cp = testing_support::system_code_page();
    if (cp != 0 && cp != 1252 && cp != 932) GTEST_SKIP() << "no expectations for code page " << cp;
  }

  template <class T>
  static const T& here(const PerSystem<T>& p) {
    switch (testing_support::system_code_page()) {
      case 1252:
        return p.cp1252;
      case 932:
        return p.cp932;
      default:
        return p.posix;
    }
  }
};

// Makes the directories a name with slashes lies in.
void make_parents(const Workdir& dir, const std::string& name) {
  const fs::path parent = utf8_path(name).parent_path();
  if (!parent.empty()) fs::create_directories(dir.path() / parent);
}

// Each name opens its own file, and no other: a look-alike that the code page
// would put in its place is never read. Messages show the name in the code
// page, with one '?' for each character the code page lacks.
TEST_F(Names, InputOpensByItsExactName) {
  std::string deep;  // five directories: with the file name over 300 characters
  for (int i = 0; i < 5; ++i) deep += std::string(60, 'd') + "/";
  const std::string nihon_932 = "\x93\xfa\x96\x7b";
  const struct {
    const char* what;
    std::string name;        // UTF-8
    std::string look_alike;  // present when `name` is not; empty for none
    PerSystem<std::string> shown;
  } cases[] = {
      {"CJK", "日本.txt", "", {"日本.txt", "??.txt", nihon_932 + ".txt"}},
      {"Greek, with a mu that 1252 would show as its micro sign", "Ωμέγα.txt", "",
       {"Ωμέγα.txt", "?????.txt", "\x83\xb6\x83\xca?\x83\xc1\x83\xbf.txt"}},
      {"an emoji is one character, one '?'", "😀.txt", "", {"😀.txt", "?.txt", "?.txt"}},
      {"a fullwidth o is not o.txt", "ｏ.txt", "o.txt", {"ｏ.txt", "?.txt", "\x82\x8f.txt"}},
      {"an accent is not its plain letter", "données.txt", "donnees.txt",
       {"données.txt", "donn\xe9" "es.txt", "donn?es.txt"}},
      {"blanks", "my 日本 data.txt", "", {"my 日本 data.txt", "my ?? data.txt", "my " + nihon_932 + " data.txt"}},
      {"a path of more than 260 characters", deep + "日本.txt", "",
       {deep + "日本.txt", deep + "??.txt", deep + nihon_932 + ".txt"}},
  };
  const std::string compile = "DEBUG: outtext = {[},1 qndl_ind = {1},1\nDEBUG: outtext = {]},2\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    {
      SCOPED_TRACE("present");
      Workdir dir;
      make_parents(dir, c.name);
      dir.write(c.name, "a;b\n");
      if (!c.look_alike.empty()) dir.write(c.look_alike, "wrong;file\n");
      const auto r = run_qndl(dir, {c.name, "-out", "[$2]"});
      EXPECT_EQ(r.status, 0);
      EXPECT_BYTES_EQ(r.console, opening(kDefaultReport, compile));
      EXPECT_BYTES_EQ(r.qndl_out.value_or(kNoFile), "[b]\r\n");
    }
    {
      SCOPED_TRACE("absent");
      Workdir dir;
      make_parents(dir, c.name);
      if (!c.look_alike.empty()) dir.write(c.look_alike, "wrong;file\n");
      const auto r = run_qndl(dir, {c.name, "-out", "[$2]"});
      EXPECT_EQ(r.status, 1);
      EXPECT_BYTES_EQ(r.console, opening(kDefaultReport, compile) +
                                     console_text("ERROR: could not open input file (" + here(c.shown) + ")\n"));
      EXPECT_FALSE(r.qndl_out.has_value());
    }
  }
}

// The same-file check sees the file the exact name opened: qndl.out read
// through a hard link with a CJK name is refused and kept.
TEST_F(Names, InputThatIsTheOutputFileUnderACjkName) {
  Workdir dir;
  const std::string content = "a;b\r\n";
  dir.write("qndl.out", content);
  fs::create_hard_link(dir.path() / "qndl.out", dir.path() / utf8_path("日本.txt"));
  const auto r = run_qndl(dir, {"日本.txt", "-out", "$1"});
  EXPECT_EQ(r.status, 1);
  const PerSystem<std::string> shown{"日本.txt", "??.txt", "\x93\xfa\x96\x7b.txt"};
  EXPECT_BYTES_EQ(r.console, opening(kDefaultReport, "DEBUG: outtext = {},1 qndl_ind = {0},1\nDEBUG: outtext = {},2\n") +
                                 console_text("ERROR: input file (" + here(shown) + ") is the output file, not overwriting it\n"));
  ASSERT_TRUE(r.qndl_out.has_value());
  EXPECT_BYTES_EQ(*r.qndl_out, content);
}

// What becomes of the -out or -delim value that takes effect: the bytes the
// program works with, or a refusal that quotes it.
struct Value {
  bool refused;
  std::string bytes;  // taken: the value's bytes; refused: as the message shows it
};
Value taken(std::string bytes) { return {false, std::move(bytes)}; }
Value refused(std::string shown) { return {true, std::move(shown)}; }

// The template and the delimiter are bytes of the code page, never a
// look-alike: a value with a character the code page lacks ends the run
// right after the banner, before anything is opened or created.
TEST_F(Names, TemplateAndDelimiterAreCodePageBytes) {
  enum Kind { kTemplate, kDelimiter };
  const struct {
    const char* what;
    Kind kind;
    std::vector<std::string> args;  // after the input name
    PerSystem<Value> value;         // template: the text before its final $1
  } cases[] = {
      {"a Latin letter with an umlaut", kTemplate, {"-out", "Müller $1"},
       {taken("Müller "), taken("M\xfcller "), refused("M?ller $1")}},
      {"CJK", kTemplate, {"-out", "日本 $1"}, {taken("日本 "), refused("?? $1"), taken("\x93\xfa\x96\x7b ")}},
      {"Greek, CJK and an emoji", kTemplate, {"-out", "Ω日本😀 $1"},
       {taken("Ω日本😀 "), refused("???? $1"), refused("\x83\xb6\x93\xfa\x96\x7b? $1")}},
      {"a fullwidth o is never an o", kTemplate, {"-out", "ｏ $1"}, {taken("ｏ "), refused("? $1"), taken("\x82\x8f ")}},
      {"a double-byte character ending in a backslash, then a quote", kTemplate, {"-out", "ソ\" $1"},
       {taken("ソ\" "), refused("?\" $1"), taken("\x83\x5c\" ")}},
      {"a replaced template does not count", kTemplate, {"-out", "日本😀 $1", "-out", "plain $1"},
       {taken("plain "), taken("plain "), taken("plain ")}},
      {"a Latin delimiter", kDelimiter, {"-delim", "ü", "-out", "$2"}, {taken("ü"), taken("\xfc"), refused("?")}},
      {"a CJK delimiter", kDelimiter, {"-delim", "日", "-out", "$2"}, {taken("日"), refused("?"), taken("\x93\xfa")}},
      {"a replaced delimiter does not count", kDelimiter, {"-delim", "😀", "-out", "$2", "-delim", ","},
       {taken(","), taken(","), taken(",")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Value& v = here(c.value);
    Workdir dir;
    std::vector<std::string> args = {"in.txt"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (v.refused) {
      dir.write("in.txt", "v;w\n");
      const auto r = run_qndl(dir, args);
      EXPECT_EQ(r.status, 1);
      EXPECT_BYTES_EQ(r.console, console_text(std::string(qndl::banner()) + "ERROR: argument (" + v.bytes +
                                              ") has characters that the system code page cannot represent\n"));
      EXPECT_FALSE(r.qndl_out.has_value());
    } else if (c.kind == kTemplate) {
      dir.write("in.txt", "v;w\n");
      const auto r = run_qndl(dir, args);
      EXPECT_EQ(r.status, 0);
      EXPECT_BYTES_EQ(r.console, opening(kDefaultReport, "DEBUG: outtext = {" + v.bytes +
                                                             "},1 qndl_ind = {0},1\nDEBUG: outtext = {},2\n"));
      EXPECT_BYTES_EQ(r.qndl_out.value_or(kNoFile), v.bytes + "v\r\n");
    } else {
      // Only the first byte of the delimiter splits.
      dir.write("in.txt", "v" + v.bytes + "w\n");
      const auto r = run_qndl(dir, args);
      EXPECT_EQ(r.status, 0);
      EXPECT_BYTES_EQ(r.console, opening("INFO: delimeter is {" + v.bytes + "}\n",
                                         "DEBUG: outtext = {},1 qndl_ind = {1},1\nDEBUG: outtext = {},2\n"));
      EXPECT_BYTES_EQ(r.qndl_out.value_or(kNoFile), v.bytes.substr(1) + "w\r\n");
    }
  }
}

}  // namespace
