// Random runs over a small hostile alphabet, in process at random buffer
// sizes, must match the reference model byte for byte. Seeded: a failure
// prints the seed, the case number and the case, and QNDL_PROPERTY_SEED
// (with QNDL_PROPERTY_CASES) replays it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "in_process.h"
#include "reference_model.h"

namespace {

using testing_support::escaped;
using testing_support::RunResult;
using testing_support::Workdir;

constexpr std::uint64_t kDefaultSeed = 20261211;
constexpr int kDefaultCases = 1500;
constexpr int kMaxLines = 8;
constexpr int kMaxShortLine = 24;
constexpr int kMinLongLine = 300;
constexpr int kMaxLongLine = 3000;
constexpr int kMinManyFields = 90;
constexpr int kMaxManyFields = 130;
constexpr int kMaxDollars = 12;
constexpr int kMaxLiteral = 4;

std::uint64_t env_number(const char* name, std::uint64_t fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? std::strtoull(v, nullptr, 10) : fallback;
}

// Plain modulo over the engine's output: the same cases for a seed on every
// platform, which the standard distributions do not promise.
class Dice {
 public:
  explicit Dice(std::uint64_t seed) : engine_(seed) {}
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  int between(int lo, int hi) { return lo + static_cast<int>(below(static_cast<std::size_t>(hi - lo + 1))); }
  bool percent(int p) { return below(100) < static_cast<std::size_t>(p); }
  template <class T, std::size_t N>
  const T& one_of(const T (&items)[N]) {
    return items[below(N)];
  }

 private:
  std::mt19937_64 engine_;
};

struct Case {
  std::vector<std::string> args;
  std::string input;
  qndl::Tuning tuning;
};

std::string random_text(Dice& dice, const std::string& alphabet, int length) {
  std::string s;
  for (int i = 0; i < length; ++i) s += alphabet[dice.below(alphabet.size())];
  return s;
}

std::string random_input(Dice& dice, char delimiter) {
  // The delimiter, "$", digits, letters, blank, CR, LF, Ctrl-Z, NUL and a byte above 127.
  const std::string alphabet = std::string(1, delimiter) + std::string(1, delimiter) + "$019aZ \r\n\x1a" +
                               std::string(1, '\0') + "\xe4";
  const std::string field_bytes = std::string(1, delimiter) + "$09aZ \xe4";
  const char* const line_ends[] = {"\n", "\n", "\r\n", "\r\n", "\r", "\r\r\n", "", "\x1a"};
  std::string input;
  const int lines = dice.between(0, kMaxLines);
  for (int i = 0; i < lines; ++i) {
    switch (dice.below(6)) {
      case 0:
        input += random_text(dice, field_bytes, dice.between(kMinLongLine, kMaxLongLine));
        break;
      case 1: {
        const int fields = dice.between(kMinManyFields, kMaxManyFields);
        for (int f = 0; f < fields; ++f) {
          if (f > 0) input += delimiter;
          input += random_text(dice, "0aZ", dice.between(0, 2));
        }
        break;
      }
      default:
        input += random_text(dice, alphabet, dice.between(0, kMaxShortLine));
    }
    input += dice.one_of(line_ends);
  }
  return input;
}

std::string random_template(Dice& dice) {
  const std::string literal = "aZ 0\n%{}\xe4;";
  const std::string after_dollar = "1234567890$a -";
  std::string t;
  const int dollars = dice.between(0, kMaxDollars);
  for (int i = 0; i < dollars; ++i) {
    t += random_text(dice, literal, dice.between(0, kMaxLiteral)) + "$";
    // Mostly valid references, sometimes a "$" that is not one.
    if (dice.percent(80)) t += after_dollar[dice.below(after_dollar.size())];
  }
  return t + random_text(dice, literal, dice.between(0, kMaxLiteral));
}

Case random_case(Dice& dice) {
  const char* const delimiters[] = {"", ";", ";", ",", "\xe4", "$", " ", "a", "1", "ab", "-try", "\r", "\x1a"};
  Case c;
  const std::string delimiter_text = dice.one_of(delimiters);
  c.input = random_input(dice, delimiter_text.empty() ? ';' : delimiter_text[0]);

  // Options in a random order around the file name; the last value wins.
  std::vector<std::vector<std::string>> options = {{dice.percent(95) ? "in.txt" : "missing.txt"}};
  if (dice.percent(30)) options.push_back({"-try"});
  if (dice.percent(10)) options.push_back({"-delim", dice.one_of(delimiters)});
  if (dice.percent(80)) options.push_back({"-delim", delimiter_text});
  if (dice.percent(10)) options.push_back({"-out", random_template(dice)});
  if (dice.percent(90)) options.push_back({"-out", random_template(dice)});
  if (dice.percent(3)) options.push_back({dice.percent(50) ? "" : "second.txt"});
  for (std::size_t i = options.size(); i > 1; --i) std::swap(options[i - 1], options[dice.below(i)]);
  for (const auto& o : options) c.args.insert(c.args.end(), o.begin(), o.end());
  if (dice.percent(5)) c.args.push_back(dice.percent(50) ? "-delim" : "-out");

  c.tuning.read_block = dice.one_of(testing_support::kBlockSizes);
  c.tuning.output_buffer = dice.one_of(testing_support::kOutputSizes);
  return c;
}

std::string describe(const Case& c) {
  std::string s = "args:";
  for (const auto& a : c.args) s += " [" + escaped(a) + "]";
  s += "\nread block " + std::to_string(c.tuning.read_block) + ", output buffer " +
       std::to_string(c.tuning.output_buffer) + "\nin.txt: " + escaped(c.input);
  return s;
}

TEST(ReferenceModel, RandomRunsAgree) {
  const std::uint64_t seed = env_number("QNDL_PROPERTY_SEED", kDefaultSeed);
  const auto cases = static_cast<int>(env_number("QNDL_PROPERTY_CASES", kDefaultCases));
  Dice dice(seed);
  for (int i = 0; i < cases; ++i) {
    const Case c = random_case(dice);
    const reference::Result m = reference::run(c.args, {{"in.txt", c.input}});
    bool failed = false;
    // Every case on the kernel a run chooses and on one of the others in
    // turn, so each kernel meets a share of the cases.
    const auto paths = scan::available_paths();
    const scan::Path other = paths[static_cast<std::size_t>(i) % paths.size()];
    testing_support::for_each_scan_path([&](scan::Path path) {
      if (failed || (path != paths.back() && path != other)) return;
      Workdir dir;
      dir.write("in.txt", c.input);
      const RunResult r = testing_support::run_in_process(dir, c.args, c.tuning);
      if (r.status == m.status && r.console == m.console && r.qndl_out == m.qndl_out) return;
      failed = true;
      ADD_FAILURE() << "seed " << seed << ", case " << i << " of " << cases << ", kernel " << scan::path_name(path)
                    << "\n" << describe(c);
      EXPECT_EQ(r.status, m.status);
      EXPECT_BYTES_EQ(r.console, m.console);
      EXPECT_BYTES_EQ(r.qndl_out.value_or("(no qndl.out)"), m.qndl_out.value_or("(no qndl.out)"));
    });
    if (failed) return;  // one case at a time: the first failure is the one to replay
  }
}

}  // namespace
