#include "in_process.h"

#include "streams.h"
#include "sysio.h"

namespace testing_support {
namespace fs = std::filesystem;

RunResult run_in_process(const Workdir& dir, const std::vector<std::string>& args, const qndl::Tuning& tuning) {
  std::vector<sysio::Argument> arguments;
  for (const std::string& a : args) arguments.push_back(sysio::byte_argument(a));
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  qndl::StringSink console;
  RunResult r;
  r.status = qndl::exit_status(qndl::run(arguments, console, tuning));
  fs::current_path(before);
  r.console = std::move(console.text);
  r.qndl_out = dir.read("qndl.out");
  return r;
}

}  // namespace testing_support
