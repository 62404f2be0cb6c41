#include "e2e_support.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include "process.h"

namespace testing_support {
namespace fs = std::filesystem;

Workdir::Workdir() {
  static std::atomic<unsigned> counter{0};
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path p = fs::temp_directory_path() /
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
  std::ofstream f(path_ / name, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write test file " + name);
}

std::optional<std::string> Workdir::read(const std::string& name) const {
  std::error_code ec;
  if (!fs::is_regular_file(path_ / name, ec)) return std::nullopt;
  std::ifstream f(path_ / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

RunResult run_qndl(const Workdir& dir, const std::vector<std::string>& args, const std::string& stdout_path) {
  // The console file lives beside the work directory, not in it, so that it
  // never shows up as a file the program could see.
  const fs::path console_file = fs::path(dir.path().string() + ".console");
  const std::string target = stdout_path.empty() ? console_file.string() : stdout_path;
  RunResult r;
  r.status = run_process(QNDL_BINARY, args, dir.path().string(), target);
  if (stdout_path.empty()) {
    std::ifstream f(console_file, std::ios::binary);
    r.console.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    std::error_code ec;
    fs::remove(console_file, ec);
  }
  r.qndl_out = dir.read("qndl.out");
  return r;
}

std::string console_text(std::string_view lf_text) {
#ifdef _WIN32
  std::string out;
  for (char c : lf_text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
#else
  return std::string(lf_text);
#endif
}

std::string opening(std::string_view delimiter_report, std::string_view compile_lines) {
  std::string s = "Quindle Version 1.0a\n";
  s += delimiter_report;
  s += compile_lines;
  return console_text(s);
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

}  // namespace testing_support
