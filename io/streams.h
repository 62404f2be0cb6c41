// Byte sources and sinks the record loop works on: files in a run, memory in tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sysio.h"

namespace qndl {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` bytes into `buf`: the count, 0 at the end, -1 on a read error.
  virtual long long read(char* buf, std::size_t size) = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all of `bytes`; false on failure.
  virtual bool write(std::string_view bytes) = 0;
};

class FileSource final : public ByteSource {
 public:
  explicit FileSource(sysio::Handle h) : h_(h) {}
  long long read(char* buf, std::size_t size) override { return sysio::read_some(h_, buf, size); }

 private:
  sysio::Handle h_;
};

class FileSink final : public ByteSink {
 public:
  explicit FileSink(sysio::Handle h) : h_(h) {}
  bool write(std::string_view bytes) override { return sysio::write_all(h_, bytes.data(), bytes.size()); }

 private:
  sysio::Handle h_;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
  long long read(char* buf, std::size_t size) override;

 private:
  std::string_view rest_;
};

class StringSink final : public ByteSink {
 public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

// Standard output, through the C runtime's text stream (CR LF line ends where
// the platform uses them). Failures show in ok() and at the final flush.
class ConsoleSink final : public ByteSink {
 public:
  bool write(std::string_view bytes) override;
  // Flushes standard output; false if anything written to it was lost.
  bool finish();
};

}  // namespace qndl
