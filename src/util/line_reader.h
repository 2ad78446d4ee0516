// Splitting a byte stream into records, and reading records into
// fixed-length, blank-padded text fields.
#pragma once

#include <cstddef>

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

// Records end at a line feed; one carriage return before it is dropped; a
// last line without a line feed is a record; a record of exactly one byte 26
// (control-Z) is the end of the stream. The buffer doubles whenever a line
// does not fit, so a record is always held whole.
class LineSplitter {
 public:
  // initial is the first buffer (not owned).
  LineSplitter(char* initial, std::size_t size, ReadMode mode);
  ~LineSplitter();
  LineSplitter(const LineSplitter&) = delete;
  LineSplitter& operator=(const LineSplitter&) = delete;

  // The next record: its bytes stay valid until the next call.
  SplitStatus next(ReadFunction read, void* context, const char*& record, std::size_t& length);

  // Forgets every byte read: the next record comes from a new stream.
  void reset(ReadMode mode);

  // Largest buffer the splitter grows to; a longer line is kTooLong.
  static constexpr std::size_t kMaxBuffer = std::size_t{1} << 30;

 private:
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
  bool at_end_ = false;
};

// Copies a record into field[0..length): cut when longer, blank padded.
void transfer_record(const char* record, std::size_t record_length, char* field, int length);

// Reads the next record of the unit (console input or the series file) into
// field. At the end of the stream: with end_branch, returns -1 and leaves the
// field as it was; without, it is the severe end-of-file diagnostic. Returns
// 0 for a record. A line too long to buffer (22) or a failed read (39) ends
// the run; so does an interrupt, and a console whose terminal hung up is the
// window-CLOSE event.
int read_line(int unit, char* field, int length, bool end_branch);

}  // namespace vorna
