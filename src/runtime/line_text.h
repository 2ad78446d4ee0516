// The fixed-capacity text that every line the program writes on standard
// error is built in: the numbered diagnostics, the lines saying where the
// input a severe diagnostic is about stands ("vorna: NAME:LINE: TEXT",
// written right after the numbered line), the warnings and the notes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vorna {

// A line's number in its file: 64 bits, as a file may hold more lines than
// a 32-bit count reaches.
using LineNumber = std::int64_t;

// A line of text built in place, without allocation; text beyond its room
// is cut (a name or quoted input between whole characters, the program's
// own texts, which are ASCII, anywhere), and the line end always fits.
class LineText {
 public:
  // Room for a 4096-byte path name twice over with the words around it.
  static constexpr std::size_t kCapacity = 8192;

  // A line of at most `room` bytes (kCapacity at the most): a line that a
  // record of smaller capacity takes whole.
  explicit LineText(std::size_t room = kCapacity) : room_(room < kCapacity ? room : kCapacity) {}
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
  // Hands the line with its CR LF to `write`, so that it can go to the
  // system in one piece; the text is as before afterwards.
  template <typename Write>
  void with_line_end(Write&& write) {
    text_[used_] = '\r';
    text_[used_ + 1] = '\n';
    write(std::string_view(text_, used_ + 2));
    text_[used_] = '\0';
  }

 private:
  // Adds the character at `at` as shown_character shows it, if it fits whole.
  bool add_shown(const unsigned char* at, const unsigned char* end, std::size_t& length);

  std::size_t room_;
  char text_[kCapacity + 2] = {};  // the text and its terminator, or its CR LF
  std::size_t used_ = 0;
};

}  // namespace vorna
