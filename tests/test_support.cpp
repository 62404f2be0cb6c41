#include "test_support.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

namespace testing_support {
namespace fs = std::filesystem;

namespace {

// The tests make thousands of fresh directories: on a memory file system
// where the machine has one, so that they do not wait for the disk. TMPDIR,
// when set, still decides.
fs::path scratch_root() {
  const char* tmpdir = std::getenv("TMPDIR");
  std::error_code ec;
  if ((tmpdir == nullptr || *tmpdir == '\0') && fs::is_directory("/dev/shm", ec)) return "/dev/shm";
  return fs::temp_directory_path();
}

}  // namespace

fs::path utf8_path(std::string_view text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string utf8_text(const fs::path& p) {
  const std::u8string text = p.u8string();
  return std::string(text.begin(), text.end());
}

Workdir::Workdir() {
  static std::atomic<unsigned> counter{0};
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path p = scratch_root() /
                       ("qndl-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    std::error_code ec;
    if (fs::create_directory(p, ec)) {
      path_ = p;
      return;
    }
  }
  throw std::runtime_error("cannot create a test directory");
}

Workdir::~Workdir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void Workdir::write(const std::string& name, std::string_view bytes) const {
  std::ofstream f(path_ / utf8_path(name), std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write test file " + name);
}

std::optional<std::string> Workdir::read(const std::string& name) const {
  std::error_code ec;
  const fs::path file = path_ / utf8_path(name);
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  std::ifstream f(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::string numbered_fields(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) {
    if (i > 1) s += ';';
    s += std::to_string(i);
  }
  return s;
}

std::string escaped(std::string_view bytes) {
  std::ostringstream out;
  for (unsigned char c : bytes) {
    if (c == '\\') {
      out << "\\\\";
    } else if (c == '\n') {
      out << "\\n\n";  // keep lines apart in the failure message
    } else if (c == '\r') {
      out << "\\r";
    } else if (c >= 0x20 && c < 0x7f) {
      out << static_cast<char>(c);
    } else {
      static const char* const kHex = "0123456789abcdef";
      out << "\\x" << kHex[c >> 4] << kHex[c & 0xf];
    }
  }
  return out.str();
}

IndexedCopy::IndexedCopy(std::string_view text, char delimiter, unsigned offset)
    : size_(text.size()), offset_(offset) {
  const char noise[] = {delimiter, scan::kCr, scan::kLf, scan::kCtrlZ};
  const std::size_t words = (offset + text.size()) / scan::kWordSize + 1;
  bytes_.resize(words * scan::kWordSize);
  for (std::size_t i = 0; i < bytes_.size(); ++i) bytes_[i] = noise[i % std::size(noise)];
  std::copy(text.begin(), text.end(), bytes_.begin() + offset);
  words_.resize(words);
  scan::index_words(bytes_.data(), words, delimiter, words_.data());
}

scan::IndexedText IndexedCopy::indexed() const {
  return {std::string_view(bytes_.data() + offset_, size_), words_.data(), offset_};
}

}  // namespace testing_support
