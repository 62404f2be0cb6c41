// The whole program in process, from arguments and input bytes to console
// text, qndl.out and exit status, against the reference model, on every
// index kernel the machine has.
//
// Input layout: one byte choosing the read block and output buffer sizes;
// then the arguments, separated by \x01, up to the first zero byte; then the
// bytes of in.txt. The run starts in a directory holding only in.txt.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "in_process.h"
#include "reference_model.h"

namespace {

constexpr char kArgumentSeparator = '\x01';

// A name that could reach past the one-file directory the model knows
// (a path, or the directory itself) makes the case unusable.
bool names_only_the_directory(const std::string& arg) {
  return arg.find('/') == std::string::npos && arg != "." && arg != "..";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto choice = static_cast<unsigned char>(bytes[0]);
  const std::size_t sizes = std::size(testing_support::kBlockSizes);
  const qndl::Tuning tuning{testing_support::kBlockSizes[choice % sizes],
                            testing_support::kOutputSizes[(choice / sizes) % sizes]};

  const std::size_t header_end = bytes.find('\0', 1);
  const std::string_view header = bytes.substr(1, header_end == std::string_view::npos ? std::string_view::npos : header_end - 1);
  const std::string input(header_end == std::string_view::npos ? std::string_view() : bytes.substr(header_end + 1));
  std::vector<std::string> args;
  if (!header.empty()) {
    std::size_t start = 0;
    for (;;) {
      const std::size_t cut = header.find(kArgumentSeparator, start);
      args.emplace_back(header.substr(start, cut == std::string_view::npos ? std::string_view::npos : cut - start));
      if (!names_only_the_directory(args.back())) return 0;
      if (cut == std::string_view::npos) break;
      start = cut + 1;
    }
  }

  static const testing_support::Workdir dir;
  dir.write("in.txt", input);
  const reference::Result want = reference::run(args, {{"in.txt", input}});
  // The same run on every index kernel.
  testing_support::for_each_scan_path([&](scan::Path path) {
    std::error_code ec;
    std::filesystem::remove(dir.path() / "qndl.out", ec);
    const testing_support::RunResult got = testing_support::run_in_process(dir, args, tuning);

    std::string case_text = std::string(scan::path_name(path)) + ", read block " + std::to_string(tuning.read_block) +
                            ", output buffer " + std::to_string(tuning.output_buffer) + ", args:";
    for (const std::string& a : args) case_text += " [" + testing_support::escaped(a) + "]";
    case_text += ", in.txt: " + testing_support::escaped(input);

    if (got.status != want.status) {
      fuzz_support::mismatch("exit status", case_text, std::to_string(got.status), std::to_string(want.status));
    }
    if (got.console != want.console) fuzz_support::mismatch("console", case_text, got.console, want.console);
    if (got.qndl_out != want.qndl_out) {
      fuzz_support::mismatch("qndl.out", case_text, got.qndl_out.value_or("(none)"), want.qndl_out.value_or("(none)"));
    }
  });
  return 0;
}
