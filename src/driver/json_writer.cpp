#include "driver/json_writer.h"

#include <charconv>
#include <cmath>

namespace vorna {

void JsonWriter::raw(const char* text) {
  while (*text != '\0') put(*text++);
}

void JsonWriter::string(const char* text) {
  static const char kHex[] = "0123456789abcdef";
  if (text == nullptr) {
    raw("null");
    return;
  }
  put('"');
  for (; *text != '\0'; ++text) {
    const unsigned char c = static_cast<unsigned char>(*text);
    if (c == '"' || c == '\\') {
      put('\\');
      put(static_cast<char>(c));
    } else if (c < 0x20) {
      raw("\\u00");
      put(kHex[c >> 4]);
      put(kHex[c & 0xF]);
    } else {
      put(static_cast<char>(c));
    }
  }
  put('"');
}

void JsonWriter::number(double value) {
  if (!std::isfinite(value)) {
    raw("null");
    return;
  }
  char text[32];
  const std::to_chars_result result = std::to_chars(text, text + sizeof text - 1, value);
  *result.ptr = '\0';
  raw(text);
}

void JsonWriter::flush() {
  if (used_ > 0) sink_(context_, buffer_, used_);
  used_ = 0;
}

}  // namespace vorna
