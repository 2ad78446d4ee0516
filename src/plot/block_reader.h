// Lines of a file read in large blocks: each line is a view into the
// reader's own buffer, valid until the next call, so reading a million lines
// allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vorna::plot {

class BlockReader {
 public:
  enum class Status {
    kLine,     // line holds the next line
    kEnd,      // no more lines
    kError,    // the file could not be read; errno tells why
    kTooLong,  // a line longer than the buffer: no file of the program has one
  };

  BlockReader() = default;
  ~BlockReader();
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  // Opens path for reading; false with errno set when it cannot be opened.
  bool open(const char* path);
  void close();

  // The next line without its line feed and one carriage return before it.
  // A last line without a line feed is a line too.
  Status next_line(std::string_view& line);

  // The 1-based number of the line last given by next_line.
  std::int64_t line_number() const { return line_number_; }

 private:
  bool fill();

  static constexpr std::size_t kBufferSize = std::size_t{1} << 20;
  int fd_ = -1;
  std::size_t begin_ = 0;  // first unread byte
  std::size_t end_ = 0;    // end of the bytes read
  bool at_end_of_file_ = false;
  std::int64_t line_number_ = 0;
  char buffer_[kBufferSize];
};

}  // namespace vorna::plot
