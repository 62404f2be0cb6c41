// Byte sources and sinks that fail on purpose, for the error paths.
#pragma once

#include <cstddef>
#include <string_view>

#include "streams.h"

namespace testing_support {

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

}  // namespace testing_support
