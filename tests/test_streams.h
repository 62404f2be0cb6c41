// Byte sources and sinks that count or fail on purpose, for unit tests of the loop.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "streams.h"

namespace testing_support {

// Serves `bytes` like a MemorySource and counts the reads asked of it.
class CountingSource final : public qndl::ByteSource {
 public:
  explicit CountingSource(std::string_view bytes) : source_(bytes) {}
  long long read(char* buf, std::size_t size) override {
    ++reads;
    return source_.read(buf, size);
  }
  int reads = 0;

 private:
  qndl::MemorySource source_;
};

// Serves `first` in one read, then fails every read.
class FailingSource final : public qndl::ByteSource {
 public:
  explicit FailingSource(std::string_view first) : first_(first) {}
  long long read(char* buf, std::size_t size) override {
    if (served_) return -1;
    served_ = true;
    return qndl::MemorySource(first_).read(buf, size);
  }

 private:
  std::string_view first_;
  bool served_ = false;
};

// Fails every write, counting the attempts: a full disk.
class FullSink final : public qndl::ByteSink {
 public:
  bool write(std::string_view) override {
    ++writes;
    return false;
  }
  int writes = 0;
};

// Keeps what it is given, write by write, and fails every write from the
// `fail_from`-th on (counting from 1; 0: never).
class RecordingSink final : public qndl::ByteSink {
 public:
  explicit RecordingSink(int fail_from = 0) : fail_from_(fail_from) {}
  bool write(std::string_view bytes) override {
    ++writes;
    if (fail_from_ != 0 && writes >= fail_from_) return false;
    sizes.push_back(bytes.size());
    text.append(bytes);
    return true;
  }
  int writes = 0;
  std::vector<std::size_t> sizes;  // of the writes that succeeded
  std::string text;

 private:
  int fail_from_;
};

}  // namespace testing_support
