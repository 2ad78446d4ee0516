#include "plot/block_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorna::plot {

BlockReader::~BlockReader() { close(); }

bool BlockReader::open(const char* path) {
  close();
  do {
    fd_ = ::open(path, O_RDONLY | O_CLOEXEC);
  } while (fd_ < 0 && errno == EINTR);
  begin_ = end_ = 0;
  at_end_of_file_ = false;
  line_number_ = 0;
  return fd_ >= 0;
}

void BlockReader::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

// Moves the unread bytes to the front and reads behind them until the
// buffer is full or the file ends. False on a read error.
bool BlockReader::fill() {
  if (begin_ > 0) {
    std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  while (end_ < kBufferSize && !at_end_of_file_) {
    const ssize_t got = ::read(fd_, buffer_ + end_, kBufferSize - end_);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) at_end_of_file_ = true;
    end_ += static_cast<std::size_t>(got);
  }
  return true;
}

BlockReader::Status BlockReader::next_line(std::string_view& line) {
  const char* feed = nullptr;
  for (;;) {
    feed = static_cast<const char*>(std::memchr(buffer_ + begin_, '\n', end_ - begin_));
    if (feed != nullptr || at_end_of_file_) break;
    if (begin_ == 0 && end_ == kBufferSize) return Status::kTooLong;
    if (!fill()) return Status::kError;
  }
  const char* first = buffer_ + begin_;
  std::size_t length;
  if (feed != nullptr) {
    length = static_cast<std::size_t>(feed - first);
    begin_ += length + 1;
    if (length > 0 && first[length - 1] == '\r') --length;
  } else {
    if (begin_ == end_) return Status::kEnd;
    length = end_ - begin_;
    begin_ = end_;
  }
  ++line_number_;
  line = std::string_view(first, length);
  return Status::kLine;
}

}  // namespace vorna::plot
