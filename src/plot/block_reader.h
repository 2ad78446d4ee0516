// Lines of a file read in large blocks, split as vorna splits its input
// (text/line_splitter.h): each line is a view into the reader's own buffer,
// valid until the next call, so reading a million lines allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/line_splitter.h"

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
  static constexpr std::size_t kBufferSize = std::size_t{1} << 20;
  int fd_ = -1;
  std::int64_t line_number_ = 0;
  char buffer_[kBufferSize];
  // The buffer never grows, and a control-Z line is a line: vorna writes
  // neither a longer line nor that byte.
  LineSplitter splitter_{buffer_, kBufferSize, ReadMode::kBlocks, {kBufferSize, false}};
};

}  // namespace vorna::plot
