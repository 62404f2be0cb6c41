// The field splitter on any record: the first byte is the delimiter, the
// second how many fields are wanted, the third where in its first word the
// record starts, the rest the record. On every index kernel, the fields must
// be the reference model's, as views inside the record, and the limit must
// be decided over the whole record whatever is wanted.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "reference_model.h"
#include "split.h"
#include "test_support.h"

namespace {

void check(const std::string& text, char delimiter, int wanted, unsigned offset, const reference::Fields& want,
           scan::Path path) {
  const testing_support::IndexedCopy copy(text, delimiter, offset);
  const scan::IndexedText indexed = copy.indexed();
  split::FieldTable fields;
  const split::SplitResult got = split::split_record(indexed, fields, wanted);
  const std::string_view record = indexed.text;
  const std::string case_text = std::string(scan::path_name(path)) + ", offset " + std::to_string(offset) +
                                ", delimiter " + testing_support::escaped(std::string(1, delimiter)) + ", wanted " +
                                std::to_string(wanted) + ", record " + testing_support::escaped(record);
  if (got.too_many != want.too_many) {
    fuzz_support::mismatch("field limit", case_text, got.too_many ? "too many" : "within", want.too_many ? "too many" : "within");
  }
  std::size_t expected_count = want.fields.size();
  const std::size_t asked = wanted < 0 ? 0 : static_cast<std::size_t>(wanted);
  if (asked < expected_count) expected_count = asked;
  if (static_cast<std::size_t>(got.count) != expected_count) {
    fuzz_support::mismatch("field count", case_text, std::to_string(got.count), std::to_string(expected_count));
  }
  const char* const begin = record.data();
  const char* const end = begin + record.size();
  for (std::size_t k = 0; k < expected_count; ++k) {
    const std::string_view f = fields[k];
    if (f != want.fields[k]) fuzz_support::mismatch("field " + std::to_string(k + 1), case_text, f, want.fields[k]);
    if (!f.empty() && (f.data() < begin || f.data() + f.size() > end)) {
      fuzz_support::mismatch("field outside the record", case_text, f, want.fields[k]);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHeader = 3;
  if (size < kHeader) return 0;
  const char delimiter = static_cast<char>(data[0]);
  // Out-of-range requests included: the splitter clamps them.
  const int wanted = static_cast<int>(data[1]) - 2;
  const unsigned offset = data[2] % scan::kWordSize;
  const std::string record(reinterpret_cast<const char*>(data) + kHeader, size - kHeader);
  const reference::Fields want = reference::split(record, delimiter);
  testing_support::for_each_scan_path([&](scan::Path path) { check(record, delimiter, wanted, offset, want, path); });
  return 0;
}

