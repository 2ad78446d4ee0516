// Splitting a byte stream into records: the buffer every input unit reads
// through. It knows nothing of units or of how a run ends.
#pragma once

#include <cstddef>
#include <cstring>

namespace vorna {

// A source of bytes: returns the count read (> 0), 0 at the end of the
// stream, or -1 with errno set.
using ReadFunction = long (*)(void* context, char* into, std::size_t capacity);

enum class SplitStatus { kRecord, kEnd, kTooLong, kReadFailed };

// How a splitter reads its source.
enum class ReadMode {
  // As many bytes as the buffer holds; a short read is no line end (a pipe
  // may deliver a line in pieces).
  kBlocks,
  // One byte a read, so that nothing past the current line end is taken
  // from the stream (standard input that is not a terminal).
  kOneByte,
  // A terminal in line mode: a read returns what was typed up to Enter, or
  // up to control-D; text sent by control-D without a line end is a record.
  kTerminalLines,
};

// What a splitter allows beside its records.
struct SplitLimits {
  // Largest buffer it grows to; a longer line is kTooLong. The size of the
  // first buffer keeps it from growing.
  std::size_t max_buffer = std::size_t{1} << 30;
  // A record of exactly one byte 26 (control-Z) ends the stream, as on a
  // console; otherwise it is a record like any other.
  bool control_z_ends = true;
};

// Records end at a line feed; one carriage return before it is dropped; a
// last line without a line feed is a record; a record of exactly one byte 26
// (control-Z) is the end of the stream. The buffer doubles whenever a line
// does not fit, so a record is always held whole.
class LineSplitter {
 public:
  // initial is the first buffer (not owned).
  LineSplitter(char* initial, std::size_t size, ReadMode mode, SplitLimits limits = {});
  ~LineSplitter();
  LineSplitter(const LineSplitter&) = delete;
  LineSplitter& operator=(const LineSplitter&) = delete;

  // The next record: its bytes stay valid until the next call. Inline for
  // the common case, a line feed among the bytes already read.
  SplitStatus next(ReadFunction read, void* context, const char*& record, std::size_t& length) {
    if (scanned_ == 0 && end_ > start_) {
      const void* line_feed = std::memchr(buffer_ + start_, '\n', end_ - start_);
      if (line_feed != nullptr) {
        return take_record(static_cast<const char*>(line_feed) - buffer_, record, length);
      }
    }
    return next_slowly(read, context, record, length);
  }

  // Forgets every byte read: the next record comes from a new stream.
  void reset(ReadMode mode);
  // Reads on in another mode; the bytes already read stay for the next
  // records.
  void set_mode(ReadMode mode) { mode_ = mode; }
  ReadMode mode() const { return mode_; }
  // Bytes read from the stream and not yet handed out in a record.
  std::size_t unread() const { return end_ - start_; }

 private:
  // The record from start_ up to record_end (a line feed, or the end of
  // the bytes read); kEnd for the control-Z record.
  SplitStatus take_record(std::ptrdiff_t record_end, const char*& record, std::size_t& length) {
    const std::size_t end = static_cast<std::size_t>(record_end);
    record = buffer_ + start_;
    length = end - start_;
    start_ = end < end_ ? end + 1 : end_;
    scanned_ = 0;
    if (length > 0 && record[length - 1] == '\r') --length;
    if (length == 1 && record[0] == '\x1a' && limits_.control_z_ends) return end_of_stream();
    return SplitStatus::kRecord;
  }
  SplitStatus end_of_stream();
  SplitStatus next_slowly(ReadFunction read, void* context, const char*& record,
                          std::size_t& length);
  bool grow();
  SplitStatus fill(ReadFunction read, void* context);

  char* initial_;
  std::size_t initial_size_;
  char* buffer_;
  std::size_t size_;
  std::size_t start_ = 0;    // first byte of the current record
  std::size_t scanned_ = 0;  // bytes from start_ known to hold no line feed
  std::size_t end_ = 0;      // end of the bytes read
  ReadMode mode_;
  SplitLimits limits_;
  bool at_end_ = false;
};

}  // namespace vorna
