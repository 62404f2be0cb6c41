#include "record_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace qndl {
namespace {

using scan::kCr;
using scan::kCtrlZ;
using scan::kLf;
using scan::kWordSize;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
static_assert(kUtf8Mark.size() <= RecordReader::kSignatureSize);

std::size_t whole_words(std::size_t bytes) { return (bytes + kWordSize - 1) / kWordSize; }

}  // namespace

RecordReader::RecordReader(ByteSource& source, char delimiter, std::size_t block_size, std::size_t buffer_limit)
    : source_(source),
      delimiter_(delimiter),
      block_size_(block_size == 0 ? 1 : block_size),
      buffer_limit_(buffer_limit),
      buf_(whole_words(block_size_) * kWordSize + kReadableAfterRecord),
      words_(whole_words(block_size_)),
      capacity_(block_size_) {}

void RecordReader::index_from(std::size_t from) {
  const std::size_t first = from / kWordSize;
  const std::size_t last = whole_words(end_);
  if (first >= last) return;
  scan::index_words(buf_.data() + first * kWordSize, last - first, delimiter_, words_.data() + first);
  if (const auto used = static_cast<unsigned>(end_ % kWordSize)) {
    // The rest of the last word is stale or unread bytes: no bits there.
    words_[last - 1].ends &= ~scan::from_bit(used);
    words_[last - 1].delims &= ~scan::from_bit(used);
  }
}

std::size_t RecordReader::find_end(std::size_t from) const {
  if (from >= end_) return end_;
  std::size_t w = from / kWordSize;
  scan::Mask m = words_[w].ends & scan::from_bit(static_cast<unsigned>(from % kWordSize));
  while (m == 0) {
    if (++w * kWordSize >= end_) return end_;
    m = words_[w].ends;
  }
  return w * kWordSize + static_cast<std::size_t>(std::countr_zero(m));
}

scan::IndexedText RecordReader::piece(std::size_t from, std::size_t to) const {
  return {std::string_view(buf_.data() + from, to - from), words_.data() + from / kWordSize,
          static_cast<unsigned>(from % kWordSize)};
}

bool RecordReader::grow() {
  const std::size_t most = std::min(buffer_limit_, buf_.max_size() - kWordSize - kReadableAfterRecord);
  const std::size_t now = data_capacity();
  if (now >= most) return false;
  const std::size_t next = now > most / 2 ? most : now * 2;
  // The buffer and its masks are the program's allocations that grow with
  // the input, so running out of memory shows here and only here. A failed
  // resize leaves the buffer as it was (masks for more words than the
  // buffer holds do no harm).
  try {
    words_.resize(whole_words(next));
    buf_.resize(whole_words(next) * kWordSize + kReadableAfterRecord);
  } catch (const std::bad_alloc&) {
    return false;
  }
  capacity_ = next;
  return true;
}

bool RecordReader::refill() {
  if (input_over_) return false;
  if (pos_ > 0) {
    // The moved bytes land at other places in their words: index them anew.
    const std::size_t kept = end_ - pos_;
    if (kept > 0) std::memmove(buf_.data(), buf_.data() + pos_, kept);
    scan_ -= pos_;
    end_ = kept;
    pos_ = 0;
    index_from(0);
  }
  if (end_ == data_capacity() && !grow()) {
    input_over_ = too_long_ = true;
    return false;
  }
  const std::size_t room = data_capacity() - end_;
  const long long n = source_.read(buf_.data() + end_, room < block_size_ ? room : block_size_);
  if (n <= 0) {
    input_over_ = true;
    error_ = n < 0;
    return false;
  }
  const std::size_t from = end_;
  end_ += static_cast<std::size_t>(n);
  index_from(from);
  return true;
}

bool RecordReader::start() {
  if (started_) return !error_;
  started_ = true;
  while (end_ < kSignatureSize && refill()) {
  }
  signature_size_ = end_ < kSignatureSize ? end_ : kSignatureSize;
  std::memcpy(signature_, buf_.data(), signature_size_);
  if (signature().starts_with(kUtf8Mark)) pos_ = scan_ = kUtf8Mark.size();
  return !error_;
}

RecordReader::Status RecordReader::next(scan::IndexedText& record) {
  // A failed start leaves error_ set: the records before it, if any, are
  // delivered and then the error, as for any later read error.
  if (!started_) start();
  for (;;) {
    const std::size_t at = find_end(scan_);
    if (at == end_) {
      scan_ = end_;
      if (skipping_) pos_ = end_;  // nothing of this line is needed
      if (refill()) continue;
      if (error_) return Status::kReadError;
      if (too_long_) return Status::kLineTooLong;
      if (pos_ == end_) return Status::kEnd;
      record = piece(pos_, end_);
      pos_ = end_;
      return Status::kRecord;
    }
    const char hit = buf_[at];
    if (hit == kCtrlZ) {
      // The input ends here; a Ctrl-Z at the start of a line adds no record,
      // nor does one in the dropped rest of a line. The record's bytes and
      // masks stay in place: nothing is read after this.
      input_over_ = true;
      const bool is_record = !skipping_ && at != pos_;
      record = piece(pos_, at);
      pos_ = scan_ = end_ = 0;
      return is_record ? Status::kRecord : Status::kEnd;
    }
    if (skipping_) {
      // A CR in the dropped rest keeps dropping; its LF ends the line.
      skipping_ = hit == kCr;
      pos_ = scan_ = at + 1;
      continue;
    }
    record = piece(pos_, at);
    pos_ = scan_ = at + 1;
    if (hit == kCr) {
      // CR LF, by far the most common case, needs no dropping pass.
      if (scan_ < end_ && buf_[scan_] == kLf) {
        pos_ = scan_ = scan_ + 1;
      } else {
        skipping_ = true;
      }
    }
    return Status::kRecord;
  }
}

}  // namespace qndl
