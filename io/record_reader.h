// Reads records from a byte source in large blocks, applying the text-mode
// rules itself so every platform sees the same records:
//  - a record is the bytes up to the first CR, LF or Ctrl-Z of its line;
//  - after a CR the rest of the line up to and including its LF is dropped
//    (so CR LF ends a record like LF, and a lone CR cuts its line short);
//  - the first Ctrl-Z ends the input; bytes before it on its line are the
//    last record, and nothing after it is read;
//  - a last line without a line end is a record; an empty input has none;
//  - a UTF-8 byte-order mark as the very first three bytes is not data (text
//    editors and spreadsheet exports put one there); anywhere else it is.
// A line of any length is one record: the buffer grows for a line longer
// than it, and only then. A line the buffer cannot grow to hold (memory is
// short, or a limit is set) ends the input with kLineTooLong.
//
// Each block is indexed once as it arrives (scan.h): the records are found
// in the masks of its end bytes, and every record comes with the masks of
// its delimiters, so the splitter never looks at the bytes again.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "scan.h"
#include "streams.h"

namespace qndl {

class RecordReader {
 public:
  // Bytes asked of the source per read, and the buffer's starting size
  // (rounded up to a whole word).
  static constexpr std::size_t kDefaultBlockSize = std::size_t{1} << 18;
  // Every record is followed in memory by at least this many readable bytes
  // (of no meaning), so a consumer may copy a fixed-size chunk from any part
  // of a record without a branch on the part's length.
  static constexpr std::size_t kReadableAfterRecord = 16;
  // No limit on the buffer's growth but what memory allows.
  static constexpr std::size_t kNoBufferLimit = static_cast<std::size_t>(-1);

  // The bytes at the start of an input that can mark its encoding: a UTF-8
  // byte-order mark takes three, a UTF-16 one two.
  static constexpr std::size_t kSignatureSize = 3;

  enum class Status { kRecord, kEnd, kReadError, kLineTooLong };

  // `buffer_limit` caps the bytes of data the buffer grows to hold (it
  // starts at one block whatever the limit); tests set it to reach the
  // too-long line without exhausting memory.
  RecordReader(ByteSource& source, char delimiter, std::size_t block_size = kDefaultBlockSize,
               std::size_t buffer_limit = kNoBufferLimit);

  // Reads the start of the input, at least kSignatureSize bytes or the whole
  // input when it is shorter, so that a caller can look at it (signature())
  // and refuse the input before creating anything. Drops a UTF-8 byte-order
  // mark there. False on a read error. next() calls it if the caller has not.
  bool start();
  // The input's first bytes as start() found them, the mark included: up to
  // kSignatureSize of them.
  std::string_view signature() const { return std::string_view(signature_, signature_size_); }

  // The next record and the masks of its words, valid until the next call.
  // kEnd once the input is over; kReadError when the source failed,
  // kLineTooLong when a line did not fit in memory (no further records
  // follow either).
  Status next(scan::IndexedText& record);

 private:
  // Reads one more block behind end_, first moving the undelivered bytes to
  // the front and growing the buffer when they fill it. False at the end of
  // the source or on an error (then error_ is set).
  bool refill();
  // Doubles the buffer, up to buffer_limit_; false when it may not or cannot.
  bool grow();
  // Indexes the words that hold buf_[from, end_) (from <= end_).
  void index_from(std::size_t from);
  // The index of the first CR, LF or Ctrl-Z in buf_[from, end_), or end_.
  std::size_t find_end(std::size_t from) const;
  scan::IndexedText piece(std::size_t from, std::size_t to) const;
  std::size_t data_capacity() const { return capacity_; }

  ByteSource& source_;
  char delimiter_;
  std::size_t block_size_;
  std::size_t buffer_limit_;
  // buf_ has room for capacity_ bytes of data, rounded up to whole words,
  // followed by kReadableAfterRecord spare bytes that are never filled.
  // buf_[pos_, end_) holds bytes read but not yet consumed. When a record is
  // being gathered it starts at pos_, and [pos_, scan_) is known to hold no
  // CR, LF or Ctrl-Z, so a refill never searches a byte twice.
  std::vector<char> buf_;
  // words_[w] holds the masks of word w of buf_, buf_[w * kWordSize,
  // (w + 1) * kWordSize), for its bytes below end_; the bits of bytes at or
  // after end_ are clear, so a search in the masks stops at end_ by itself.
  // (After a Ctrl-Z, end_ is 0 and nothing is searched again.)
  std::vector<scan::WordMasks> words_;
  std::size_t capacity_;
  std::size_t pos_ = 0;
  std::size_t scan_ = 0;
  std::size_t end_ = 0;
  char signature_[kSignatureSize] = {};
  std::size_t signature_size_ = 0;
  bool started_ = false;      // start() has run
  bool skipping_ = false;     // after a CR: dropping the rest of its line
  bool input_over_ = false;   // a Ctrl-Z was met, or the source is exhausted
  bool error_ = false;
  bool too_long_ = false;     // the buffer could not grow for the current line
};

}  // namespace qndl
