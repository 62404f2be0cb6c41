#include "options.h"

namespace qndl {

Settings scan_options(std::span<const std::string_view> args) {
  Settings s;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool takes_value = arg == "-delim" || arg == "-out";
    if (arg == "-try") {
      s.trial = true;
    } else if (takes_value) {
      if (i + 1 == args.size()) break;  // nothing follows: no effect
      const bool delim = arg == "-delim";
      (delim ? s.delimiter : s.template_text) = args[++i];
      (delim ? s.delimiter_index : s.template_index) = i;
    } else {
      s.input_name = arg;
      s.input_index = i;
      ++s.non_options;
    }
  }
  return s;
}

Usage check_settings(const Settings& s) {
  if (s.input_name.empty()) return Usage::kNoInputFile;
  if (s.non_options > 1) return Usage::kIncorrectSyntax;
  return Usage::kOk;
}

}  // namespace qndl
