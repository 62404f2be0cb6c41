// What the fuzz harnesses do when the program and the reference model
// disagree: print the case and both sides escaped, then abort so that
// libFuzzer saves the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "test_support.h"

namespace fuzz_support {

[[noreturn]] inline void mismatch(std::string_view what, std::string_view case_text, std::string_view actual,
                                  std::string_view expected) {
  using testing_support::escaped;
  const std::string report = "MISMATCH in " + std::string(what) + "\ncase: " + std::string(case_text) +
                             "\nprogram:   " + escaped(actual) + "\nreference: " + escaped(expected) + "\n";
  std::fwrite(report.data(), 1, report.size(), stderr);
  std::abort();
}

}  // namespace fuzz_support
