#include "in_process.h"

#include <string_view>

#include "streams.h"

namespace testing_support {
namespace fs = std::filesystem;

RunResult run_in_process(const Workdir& dir, const std::vector<std::string>& args, const qndl::Tuning& tuning) {
  const std::vector<std::string_view> views(args.begin(), args.end());
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  qndl::StringSink console;
  RunResult r;
  r.status = qndl::exit_status(qndl::run(views, console, tuning));
  fs::current_path(before);
  r.console = std::move(console.text);
  r.qndl_out = dir.read("qndl.out");
  return r;
}

}  // namespace testing_support
