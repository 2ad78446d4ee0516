// Buffered output of the picture: text, escaped text and numbers go into a
// block that is written out whenever it fills, so the picture never needs
// to fit in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vorna::plot {

class SvgOutput {
 public:
  explicit SvgOutput(int fd) : fd_(fd) {}
  SvgOutput(const SvgOutput&) = delete;
  SvgOutput& operator=(const SvgOutput&) = delete;

  SvgOutput& text(std::string_view raw);
  // Character data or an attribute value: &, <, >, " and ' escaped; UTF-8
  // kept; a control character, a code point XML does not allow and every
  // byte of malformed UTF-8 become U+FFFD, the replacement character.
  SvgOutput& escaped(std::string_view raw);
  // A coordinate rounded to a tenth of a pixel: "12", "12.5", "-0.3".
  SvgOutput& coordinate(double value);
  SvgOutput& integer(std::int64_t value);

  // Writes what is left in the block. False when any write failed; errno
  // then tells why.
  bool finish();

 private:
  void put(const char* bytes, std::size_t count);
  bool flush();

  static constexpr std::size_t kBlockSize = 64 * 1024;
  int fd_;
  bool failed_ = false;
  int error_ = 0;
  std::size_t used_ = 0;
  char block_[kBlockSize];
};

}  // namespace vorna::plot
