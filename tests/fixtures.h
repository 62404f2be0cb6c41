// The end-to-end fixture tables: arguments, the files a run starts with, and
// the exact status, console text and qndl.out it must end with. The
// end-to-end tests run them through the built binary; the block-boundary test
// runs them in process at every buffer size.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "test_support.h"

namespace testing_support {

struct Fixture {
  std::string name;
  std::vector<std::string> args;
  std::map<std::string, std::string> files;  // written into the fresh directory first
  int status = 0;
  std::optional<std::string> console;   // LF line ends; nullopt: not part of this table
  std::optional<std::string> qndl_out;  // nullopt: no qndl.out afterwards
};

// Records through -delim ";" -out "zorvat -set $4 $5".
std::vector<Fixture> zorvat_fixtures();
// What the template alone decides about each line.
std::vector<Fixture> template_shape_fixtures();
// Trial runs: the first record on the console, no qndl.out.
std::vector<Fixture> trial_fixtures();
// What the first bytes of the input decide: a UTF-8 byte-order mark is
// dropped, UTF-16 text is refused before qndl.out is touched.
std::vector<Fixture> input_start_fixtures();
// Command lines that fail their tests, and command lines that pass them.
std::vector<Fixture> usage_error_fixtures();
std::vector<Fixture> accepted_argument_fixtures();

// All of the tables above.
std::vector<Fixture> all_fixtures();

// Writes the fixture's files into `dir`.
void write_files(const Workdir& dir, const Fixture& f);

// Compares a run with the fixture; `console_form` turns the fixture's LF
// console text into what the run's console holds.
void expect_fixture(const Fixture& f, const RunResult& r, std::string (*console_form)(std::string_view));

}  // namespace testing_support
