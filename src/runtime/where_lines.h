// The fixed-capacity text that the lines saying where the input a severe
// diagnostic is about stands ("vorna: NAME:LINE: TEXT", written right after
// the numbered line) and the warning lines are built in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorna {

// A line's number in its file: 64 bits, as a file may hold more lines than
// a 32-bit count reaches.
using LineNumber = std::int64_t;

// A line of text built in place, without allocation; text beyond the
// capacity is cut.
class LineText {
 public:
  LineText& add(const char* text);
  // A file name: a control character or a byte outside UTF-8 shows as '?'
  // (see shown_character), so the line stays one.
  LineText& add_name(const char* name);
  LineText& add(long value);
  LineText& add(int value) { return add(static_cast<long>(value)); }
  // A real to 10 significant digits (or `digits`), as %g writes it: enough
  // to tell the file's time from the reports', without the last bits' noise.
  LineText& add_real(double value, int digits = 10);
  // Bytes of an input line between double quotes, trailing blanks dropped:
  // control characters and bytes that are not part of a UTF-8 character show
  // as '?' (see shown_character), and a text longer than 80 characters is
  // cut with "...".
  LineText& add_quoted(const char* text, int length);
  const char* text() const { return text_; }

 private:
  static constexpr std::size_t kCapacity = 1024;
  char text_[kCapacity + 1] = {};
  std::size_t used_ = 0;
};

}  // namespace vorna
