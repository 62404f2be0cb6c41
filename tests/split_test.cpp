#include "split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using testing_support::IndexedCopy;

// Every case runs on every index kernel and with the record starting at
// every offset in its first word, so a record's fields come from one, two
// or more words and from the first and last bits of a mask.
template <class Check>
void at_every_offset(const std::string& record, char delimiter, Check&& check) {
  testing_support::for_each_scan_path([&](scan::Path path) {
    for (unsigned offset = 0; offset < scan::kWordSize; ++offset) {
      SCOPED_TRACE(std::string(scan::path_name(path)) + ", offset " + std::to_string(offset));
      const IndexedCopy copy(record, delimiter, offset);
      check(copy.indexed());
    }
  });
}

// "n fields" of the form f1<d>f2<d>...fn, optionally with a trailing delimiter.
std::string fields_text(int n, char delimiter, bool trailing) {
  std::string s;
  for (int i = 1; i <= n; ++i) {
    if (i > 1) s += delimiter;
    s += "f" + std::to_string(i);
  }
  if (trailing) s += delimiter;
  return s;
}

std::vector<std::string> numbered(int n) {
  std::vector<std::string> v;
  for (int i = 1; i <= n; ++i) v.push_back("f" + std::to_string(i));
  return v;
}

TEST(SplitRecord, FieldsOfRecords) {
  const struct {
    std::string record;
    char delimiter;
    std::vector<std::string> fields;
    bool too_many;
    int wanted = split::kMaxFields;
  } cases[] = {
      {"", ';', {}, false},
      {"pqr", ';', {"pqr"}, false},
      {"p;q;r", ';', {"p", "q", "r"}, false},
      {"p;;r", ';', {"p", "", "r"}, false},
      {";p", ';', {"", "p"}, false},
      {"p;", ';', {"p"}, false},
      {";", ';', {""}, false},
      {";;", ';', {"", ""}, false},
      {"a,b;c,d", ',', {"a", "b;c", "d"}, false},
      {"x\xe9y\xe9", '\xe9', {"x", "y"}, false},
      {std::string("a\0b;c", 5), ';', {std::string("a\0b", 3), "c"}, false},
      {fields_text(95, ';', false), ';', numbered(95), false},
      {fields_text(94, ';', true), ';', numbered(94), false},
      {fields_text(95, ';', true), ';', numbered(95), true},
      {fields_text(96, ';', false), ';', numbered(95), true},
      {fields_text(200, ';', true), ';', numbered(95), true},
      // Past the fields wanted, the rest holds nothing but delimiters: 94 in
      // all leave the 95th field last, 95 put a delimiter after it.
      {"a" + std::string(94, ';'), ';', {"a"}, false, 1},
      {"a" + std::string(95, ';'), ';', {"a"}, true, 1},
      {"a" + std::string(94, ';'), ';', {"a", ""}, false, 2},
      {"a" + std::string(95, ';'), ';', {"a", ""}, true, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("record: " + c.record.substr(0, 60) + " (" + std::to_string(c.record.size()) + " bytes), wanted " +
                 std::to_string(c.wanted));
    at_every_offset(c.record, c.delimiter, [&](const scan::IndexedText& record) {
      split::FieldTable table;
      const split::SplitResult r = split::split_record(record, table, c.wanted);
      EXPECT_EQ(r.too_many, c.too_many);
      ASSERT_EQ(r.count, static_cast<int>(c.fields.size()));
      for (int i = 0; i < r.count; ++i) EXPECT_EQ(table[i], c.fields[i]) << "field " << i + 1;
    });
  }
}

// Locating only the fields a template needs gives the same fields, and the
// same decision on too many fields, as a full split.
TEST(SplitRecord, WantedFieldsAgreeWithFullSplit) {
  const std::string records[] = {
      "",   "a", "a;b;c;d;e", ";;;;", fields_text(94, ';', true), fields_text(95, ';', true),
      fields_text(96, ';', false), std::string(200, ';'), std::string(94, ';') + std::string(50, 'x'),
  };
  for (const std::string& text : records) {
    at_every_offset(text, ';', [&](const scan::IndexedText& record) {
      split::FieldTable full;
      const split::SplitResult all = split::split_record(record, full);
      for (int wanted = 0; wanted <= split::kMaxFields; ++wanted) {
        SCOPED_TRACE("record of " + std::to_string(text.size()) + " bytes, wanted " + std::to_string(wanted));
        split::FieldTable part;
        const split::SplitResult some = split::split_record(record, part, wanted);
        EXPECT_EQ(some.too_many, all.too_many);
        ASSERT_EQ(some.count, std::min(all.count, wanted));
        for (int i = 0; i < some.count; ++i) EXPECT_EQ(part[i], full[i]);
      }
    });
  }
}

}  // namespace
