#include "plot/svg_output.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "plot/text_measure.h"
#include "system/descriptors.h"

namespace vorna::plot {

void SvgOutput::put(const char* bytes, std::size_t count) {
  while (count > 0) {
    if (used_ == kBlockSize && !flush()) return;
    const std::size_t take = count < kBlockSize - used_ ? count : kBlockSize - used_;
    std::memcpy(block_ + used_, bytes, take);
    used_ += take;
    bytes += take;
    count -= take;
  }
}

bool SvgOutput::flush() {
  if (!failed_ && !write_all(fd_, block_, used_)) {
    failed_ = true;
    error_ = errno;
  }
  used_ = 0;
  return !failed_;
}

SvgOutput& SvgOutput::text(std::string_view raw) {
  put(raw.data(), raw.size());
  return *this;
}

SvgOutput& SvgOutput::escaped(std::string_view raw) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
  std::size_t plain = 0;
  for (std::size_t at = 0; at < raw.size();) {
    const std::size_t start = at;
    const char32_t c = decode_utf8(raw, at);
    std::string_view replacement;
    switch (c) {
      case '&':
        replacement = "&amp;";
        break;
      case '<':
        replacement = "&lt;";
        break;
      case '>':
        replacement = "&gt;";
        break;
      case '"':
        replacement = "&quot;";
        break;
      case '\'':
        replacement = "&#39;";
        break;
      default:
        if (!is_xml_character(c) || c < 0x20) replacement = kReplacement;
    }
    if (replacement.empty()) continue;
    put(raw.data() + plain, start - plain);
    put(replacement.data(), replacement.size());
    plain = at;
  }
  put(raw.data() + plain, raw.size() - plain);
  return *this;
}

SvgOutput& SvgOutput::coordinate(double value) {
  // Tenths of a pixel; everything drawn lies within a few pixel widths of
  // the picture, but a stray value must still give a valid number.
  double tenths = std::round(value * 10.0);
  if (!(tenths > -1e9)) tenths = -1e9;
  if (tenths > 1e9) tenths = 1e9;
  const std::int64_t whole = static_cast<std::int64_t>(tenths);
  const std::int64_t magnitude = whole < 0 ? -whole : whole;
  char digits[32];
  char* p = digits;
  if (whole < 0) *p++ = '-';
  p = std::to_chars(p, digits + sizeof digits, magnitude / 10).ptr;
  const std::int64_t tenth = magnitude % 10;
  if (tenth != 0) {
    *p++ = '.';
    *p++ = static_cast<char>('0' + tenth);
  }
  put(digits, static_cast<std::size_t>(p - digits));
  return *this;
}

SvgOutput& SvgOutput::integer(std::int64_t value) {
  char digits[24];
  const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
  put(digits, static_cast<std::size_t>(result.ptr - digits));
  return *this;
}

bool SvgOutput::finish() {
  if (used_ > 0) flush();
  if (failed_) errno = error_;
  return !failed_;
}

}  // namespace vorna::plot
