#include <string_view>
#include <vector>

#include "run.h"
#include "streams.h"
#include "sysio.h"

int main(int argc, char** argv) {
  sysio::keep_standard_handles_open();
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  qndl::ConsoleSink console;
  int status = qndl::exit_status(qndl::run(args, console));
  // Text that never reached standard output is a failure too.
  if (!console.finish() && status == 0) status = 1;
  return status;
}
