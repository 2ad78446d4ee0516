#include "text/utf8.h"

namespace vorna {

std::size_t utf8_length(const unsigned char* bytes, const unsigned char* end) {
  const unsigned lead = bytes[0];
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned low = 0x80, high = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(end - bytes) < length || bytes[1] < low || bytes[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (bytes[i] < 0x80 || bytes[i] > 0xBF) return 0;
  }
  return length;
}

ShownCharacter shown_character(const unsigned char* text, const unsigned char* end) {
  const std::size_t length = utf8_length(text, end);
  if (length == 0) return {1, false};
  const bool control =
      text[0] < 32 || text[0] == 0x7F || (text[0] == 0xC2 && text[1] < 0xA0);  // C0, DEL, C1
  return {length, !control};
}

}  // namespace vorna
