#include <vector>

#include "run.h"
#include "streams.h"
#include "sysio.h"

int main(int argc, char** argv) {
  const std::vector<sysio::Argument> args = sysio::arguments(argc, argv);
  qndl::ConsoleSink console;
  int status = qndl::exit_status(qndl::run(args, console));
  // Text that never reached standard output is a failure in any kind of run.
  if (!console.finish()) status = 1;
  return status;
}
