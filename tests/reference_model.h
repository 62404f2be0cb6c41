// A deliberately plain model of the whole program, used only as an oracle by
// the property tests and the fuzzers. It holds everything in memory and does
// each step the obvious way: the text-mode rules over the whole input first,
// then one record per line, then a split that cuts at every delimiter. It is
// slow and allocates freely; it must only be easy to check by reading.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace reference {

// The files of the directory a run starts in: name to bytes. Every other
// name does not exist. Directories and devices are not modelled.
using Files = std::map<std::string, std::string>;

struct Result {
  int status = 0;
  std::string console;                 // LF line ends, as the program writes them
  std::optional<std::string> qndl_out;  // qndl.out afterwards; nullopt if absent
};

// The program's two fixed blocks of text.
extern const std::string kUsageText;
extern const std::string kTrialNotice;

// One run with `args` (without the program's own name) in a directory holding `files`.
Result run(const std::vector<std::string>& args, const Files& files);

// The template compile: its console lines, and its segments and references
// in one readable line ("[seg][$4][seg]"), as tmpl::describe writes them.
struct Compiled {
  std::vector<std::string> segments;
  std::vector<int> fields;  // zero-based field index of each reference
  std::string console;
  bool nothing_to_write = false;
};
Compiled compile(const std::string& text);
std::string describe(const Compiled& c);

// The fields of one record (no line end in it) and whether it had more than
// the field limit; at most the limit is kept.
struct Fields {
  std::vector<std::string> fields;
  bool too_many = false;
};
Fields split(const std::string& record, char delimiter);

// The records of an input file after the text-mode rules.
std::vector<std::string> records(const std::string& file);

}  // namespace reference
