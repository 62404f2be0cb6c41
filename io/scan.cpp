// The portable index kernel and the one place that chooses the kernel that
// runs.
//
// Dispatch: index_words calls through a cached function pointer. It starts
// at choose_and_index, which asks the CPU what it supports (once: the answer
// is kept in a static), stores the best kernel in the pointer and calls it;
// from then on every call goes straight to that kernel. On x86-64 the order
// of preference is AVX-512BW, AVX2, SSE2. __builtin_cpu_supports also checks
// that the operating system saves the wider registers, so a kernel is only
// chosen where it can run. Tests replace the choice with force_path.
#include <array>
#include <atomic>

#include "scan.h"
#include "scan_x86.h"

namespace scan {
namespace {

// Byte by byte, each bit placed by its byte's index: the masks come out the
// same on CPUs of either byte order.
void index_words_portable(const char* p, std::size_t words, char delimiter, WordMasks* out) {
  for (std::size_t w = 0; w < words; ++w, p += kWordSize) {
    Mask ends = 0;
    Mask delims = 0;
    for (std::size_t i = 0; i < kWordSize; ++i) {
      const char c = p[i];
      ends |= static_cast<Mask>(c == kCr || c == kLf || c == kCtrlZ) << i;
      delims |= static_cast<Mask>(c == delimiter) << i;
    }
    out[w].ends = ends;
    out[w].delims = delims;
  }
}

using IndexFunction = void (*)(const char*, std::size_t, char, WordMasks*);

IndexFunction function_of(Path path) {
  switch (path) {
#if QNDL_SCAN_X86
    case Path::kSse2:
      return x86::index_words_sse2;
    case Path::kAvx2:
      return x86::index_words_avx2;
    case Path::kAvx512:
      return x86::index_words_avx512;
#endif
    default:
      return index_words_portable;
  }
}

struct PathList {
  std::array<Path, 4> paths{};
  std::size_t count = 0;
  void add(Path p) { paths[count++] = p; }
};

PathList detect_paths() {
  PathList list;
  list.add(Path::kPortable);
#if QNDL_SCAN_X86
  list.add(Path::kSse2);
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) list.add(Path::kAvx2);
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) list.add(Path::kAvx512);
#endif
  return list;
}

const PathList& paths() {
  static const PathList list = detect_paths();
  return list;
}

void choose_and_index(const char* p, std::size_t words, char delimiter, WordMasks* out);

std::atomic<IndexFunction> g_index{choose_and_index};
std::atomic<Path> g_path{Path::kPortable};

void choose_and_index(const char* p, std::size_t words, char delimiter, WordMasks* out) {
  const PathList& list = paths();
  force_path(list.paths[list.count - 1]);
  g_index.load(std::memory_order_relaxed)(p, words, delimiter, out);
}

}  // namespace

void index_words(const char* p, std::size_t words, char delimiter, WordMasks* out) {
  g_index.load(std::memory_order_relaxed)(p, words, delimiter, out);
}

std::span<const Path> available_paths() {
  const PathList& list = paths();
  return {list.paths.data(), list.count};
}

const char* path_name(Path path) {
  switch (path) {
    case Path::kPortable:
      return "portable";
    case Path::kSse2:
      return "sse2";
    case Path::kAvx2:
      return "avx2";
    case Path::kAvx512:
      return "avx512";
  }
  return "?";
}

Path active_path() {
  if (g_index.load(std::memory_order_relaxed) == choose_and_index) {
    const PathList& list = paths();
    return list.paths[list.count - 1];
  }
  return g_path.load(std::memory_order_relaxed);
}

void force_path(Path path) {
  g_path.store(path, std::memory_order_relaxed);
  g_index.store(function_of(path), std::memory_order_relaxed);
}

}  // namespace scan
