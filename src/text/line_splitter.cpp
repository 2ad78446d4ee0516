#include "text/line_splitter.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vorna {

LineSplitter::LineSplitter(char* initial, std::size_t size, ReadMode mode, SplitLimits limits)
    : initial_(initial),
      initial_size_(size),
      buffer_(initial),
      size_(size),
      mode_(mode),
      limits_(limits) {}

LineSplitter::~LineSplitter() {
  if (buffer_ != initial_) std::free(buffer_);
}

SplitStatus LineSplitter::next_slowly(ReadFunction read, void* context, const char*& record,
                                      std::size_t& length) {
  for (;;) {
    const std::size_t searched = start_ + scanned_;
    const void* line_feed =
        end_ > searched ? std::memchr(buffer_ + searched, '\n', end_ - searched) : nullptr;
    if (line_feed != nullptr) {
      return take_record(static_cast<const char*>(line_feed) - buffer_, record, length);
    }
    if (at_end_ && end_ > start_) {
      return take_record(static_cast<std::ptrdiff_t>(end_), record, length);  // no line end
    }
    if (at_end_) return SplitStatus::kEnd;
    scanned_ = end_ - start_;
    const SplitStatus status = fill(read, context);
    if (status != SplitStatus::kRecord) return status;
  }
}

SplitStatus LineSplitter::end_of_stream() {
  at_end_ = true;
  start_ = end_;
  return SplitStatus::kEnd;
}

void LineSplitter::reset(ReadMode mode) {
  if (buffer_ != initial_) std::free(buffer_);
  buffer_ = initial_;
  size_ = initial_size_;
  start_ = scanned_ = end_ = 0;
  mode_ = mode;
  at_end_ = false;
}

bool LineSplitter::grow() {
  if (size_ >= limits_.max_buffer) return false;
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
  const std::size_t wanted = mode_ == ReadMode::kOneByte ? 1 : size_ - end_;
  const long got = read(context, buffer_ + end_, wanted);
  if (got > 0) {
    end_ += static_cast<std::size_t>(got);
    // Typed text sent without a line end: the short read left room for one.
    if (mode_ == ReadMode::kTerminalLines && static_cast<std::size_t>(got) < wanted &&
        buffer_[end_ - 1] != '\n') {
      buffer_[end_++] = '\n';
    }
  } else if (got == 0 || errno == EPIPE) {
    at_end_ = true;
  } else {
    return SplitStatus::kReadFailed;
  }
  return SplitStatus::kRecord;
}

}  // namespace vorna
