#include "util/line_reader.h"

#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "textio/diagnostics.h"
#include "textio/units.h"

namespace vorna {

LineSplitter::LineSplitter(char* initial, std::size_t size, bool one_byte_mode)
    : initial_(initial), buffer_(initial), size_(size), one_byte_mode_(one_byte_mode) {}

LineSplitter::~LineSplitter() {
  if (buffer_ != initial_) std::free(buffer_);
}

SplitStatus LineSplitter::next(ReadFunction read, void* context, const char*& record,
                               std::size_t& length) {
  for (;;) {
    const std::size_t searched = start_ + scanned_;
    const void* line_feed =
        end_ > searched ? std::memchr(buffer_ + searched, '\n', end_ - searched) : nullptr;
    std::size_t record_end;
    if (line_feed != nullptr) {
      record_end = static_cast<std::size_t>(static_cast<const char*>(line_feed) - buffer_);
    } else if (at_end_ && end_ > start_) {
      record_end = end_;  // a last line without a line end
    } else if (at_end_) {
      return SplitStatus::kEnd;
    } else {
      scanned_ = end_ - start_;
      SplitStatus status = fill(read, context);
      if (status != SplitStatus::kRecord) return status;
      continue;
    }
    record = buffer_ + start_;
    length = record_end - start_;
    start_ = record_end < end_ ? record_end + 1 : end_;
    scanned_ = 0;
    if (length > 0 && record[length - 1] == '\r') --length;
    if (length == 1 && record[0] == '\x1a') {
      at_end_ = true;
      start_ = end_;
      return SplitStatus::kEnd;
    }
    return SplitStatus::kRecord;
  }
}

void LineSplitter::reset() {
  start_ = scanned_ = end_ = 0;
  at_end_ = false;
}

bool LineSplitter::grow() {
  if (size_ >= kMaxBuffer) return false;
  char* larger = static_cast<char*>(std::malloc(size_ * 2));
  if (larger == nullptr) return false;
  std::memcpy(larger, buffer_, end_);
  if (buffer_ != initial_) std::free(buffer_);
  buffer_ = larger;
  size_ *= 2;
  return true;
}

// Reads more bytes behind those of the current record.
SplitStatus LineSplitter::fill(ReadFunction read, void* context) {
  if (start_ > 0) {
    std::memmove(buffer_, buffer_ + start_, end_ - start_);
    end_ -= start_;
    start_ = 0;
  }
  if (end_ == size_ && !grow()) return SplitStatus::kTooLong;
  const std::size_t wanted = one_byte_mode_ ? 1 : size_ - end_;
  const long got = read(context, buffer_ + end_, wanted);
  if (got > 0) {
    end_ += static_cast<std::size_t>(got);
  } else if (got == 0 || errno == EPIPE) {
    at_end_ = true;
  } else {
    // An interrupted read lets the interrupt thread end the run first.
    if (errno == EINTR) sched_yield();
    return SplitStatus::kReadFailed;
  }
  return SplitStatus::kRecord;
}

void transfer_record(const char* record, std::size_t record_length, char* field, int length) {
  const std::size_t size = length > 0 ? static_cast<std::size_t>(length) : 0;
  const std::size_t taken = record_length < size ? record_length : size;
  std::memcpy(field, record, taken);
  std::memset(field + taken, ' ', size - taken);
}

namespace {

long read_descriptor(void* context, char* into, std::size_t capacity) {
  UnitsUnlocked unlocked;  // the read may wait for the user
  return static_cast<long>(::read(*static_cast<int*>(context), into, capacity));
}

char g_console_buffer[4096];
char g_series_buffer[1 << 20];

LineSplitter& splitter_for(int unit) {
  // Console input that is not a terminal is read a byte at a time, so that
  // nothing past the answer is taken from a shared pipe or file.
  static LineSplitter console(g_console_buffer, sizeof g_console_buffer, !isatty(STDIN_FILENO));
  static LineSplitter series(g_series_buffer, sizeof g_series_buffer, false);
  static unsigned series_connection = 0;
  if (unit == kConsoleInput) return console;
  if (unit_connection_count(unit) != series_connection) {
    series_connection = unit_connection_count(unit);
    series.reset();
  }
  return series;
}

}  // namespace

int read_line(int unit, char* field, int length, bool end_branch) {
  LineSplitter& splitter = splitter_for(unit);
  int fd = unit_descriptor(unit);
  const char* record;
  std::size_t record_length;
  switch (splitter.next(read_descriptor, &fd, record, record_length)) {
    case SplitStatus::kRecord:
      transfer_record(record, record_length, field, length);
      return 0;
    case SplitStatus::kEnd:
      if (end_branch) return -1;
      fail_run(kEndOfFile, unit);
    case SplitStatus::kTooLong:
      fail_run(kRecordTooLong, unit);
    case SplitStatus::kReadFailed:
      break;
  }
  fail_run(kReadError, unit);
}

}  // namespace vorna
