#include "streams.h"

#include <cstdio>
#include <cstring>

namespace qndl {

long long MemorySource::read(char* buf, std::size_t size) {
  const std::size_t n = size < rest_.size() ? size : rest_.size();
  if (n > 0) std::memcpy(buf, rest_.data(), n);
  rest_.remove_prefix(n);
  return static_cast<long long>(n);
}

bool ConsoleSink::write(std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

bool ConsoleSink::finish() {
  const bool flushed = std::fflush(stdout) == 0;
  return flushed && std::ferror(stdout) == 0;
}

}  // namespace qndl
