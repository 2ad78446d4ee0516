// UTF-8 as the program's texts may hold it: names, titles, labels.
#pragma once

#include <cstddef>

namespace vorna {

// The length of the valid UTF-8 character at bytes (1 to 4), or 0 when the
// bytes before end do not form one: a stray continuation byte, a cut
// sequence, an overlong form, a surrogate or a value past U+10FFFF.
std::size_t utf8_length(const unsigned char* bytes, const unsigned char* end);

// One character of a text shown in a line on standard error: its length
// in bytes, and whether it is shown as it stands. A control character
// (below 32, DEL, U+0080 to U+009F) and each byte outside valid UTF-8 (one
// byte long) are shown as '?' instead, so a line stays one line and the
// terminal shows it as text.
struct ShownCharacter {
  std::size_t length;
  bool as_is;
};
// text < end.
ShownCharacter shown_character(const unsigned char* text, const unsigned char* end);

}  // namespace vorna
