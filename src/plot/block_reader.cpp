#include "plot/block_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vorna::plot {
namespace {

long read_descriptor(void* context, char* into, std::size_t capacity) {
  const int fd = *static_cast<const int*>(context);
  for (;;) {
    const ssize_t got = ::read(fd, into, capacity);
    if (got >= 0 || errno != EINTR) return static_cast<long>(got);
  }
}

}  // namespace

BlockReader::~BlockReader() { close(); }

bool BlockReader::open(const char* path) {
  close();
  do {
    fd_ = ::open(path, O_RDONLY | O_CLOEXEC);
  } while (fd_ < 0 && errno == EINTR);
  splitter_.reset(ReadMode::kBlocks);
  line_number_ = 0;
  return fd_ >= 0;
}

void BlockReader::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

BlockReader::Status BlockReader::next_line(std::string_view& line) {
  const char* record = nullptr;
  std::size_t length = 0;
  switch (splitter_.next(read_descriptor, &fd_, record, length)) {
    case SplitStatus::kRecord:
      ++line_number_;
      line = std::string_view(record, length);
      return Status::kLine;
    case SplitStatus::kEnd:
      return Status::kEnd;
    case SplitStatus::kTooLong:
      return Status::kTooLong;
    case SplitStatus::kReadFailed:
      break;
  }
  return Status::kError;
}

}  // namespace vorna::plot
