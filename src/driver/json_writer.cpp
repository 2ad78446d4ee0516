#include "driver/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "text/utf8.h"

namespace vorna {

void JsonWriter::raw(const char* text) {
  while (*text != '\0') put(*text++);
}

void JsonWriter::put_hex(unsigned char c) {
  static const char kHex[] = "0123456789abcdef";
  put(kHex[c >> 4]);
  put(kHex[c & 0xF]);
}

void JsonWriter::put_string(const char* text, bool byte_escapes) {
  if (text == nullptr) {
    raw("null");
    return;
  }
  put('"');
  const auto* at = reinterpret_cast<const unsigned char*>(text);
  const auto* end = at + std::strlen(text);
  while (at < end) {
    const unsigned char c = *at;
    const std::size_t length = shown_character(at, end).length;
    if (c == '\\' && byte_escapes) {
      raw("\\\\\\\\");  // two backslashes in the value
    } else if (c == '"' || c == '\\') {
      put('\\');
      put(static_cast<char>(c));
    } else if (c < 0x20) {
      raw("\\u00");
      put_hex(c);
    } else if (c >= 0x80 && length == 1 && byte_escapes) {
      raw("\\\\x");  // the value's \xHH
      put_hex(c);
    } else if (c >= 0x80 && length == 1) {
      raw("\\ufffd");  // a byte outside valid UTF-8: JSON text is UTF-8
    } else {
      for (std::size_t i = 0; i < length; ++i) put(static_cast<char>(at[i]));
    }
    at += length;
  }
  put('"');
}

void JsonWriter::number(double value) {
  if (!std::isfinite(value)) {
    raw("null");
    return;
  }
  // A whole number below 10^15 in plain digits (a count of 1000000 is not
  // "1e+06"); any other value in its shortest form.
  constexpr double kPlainLimit = 1e15;
  const bool plain = std::fabs(value) < kPlainLimit && value == std::trunc(value);
  char text[32];
  const std::to_chars_result result =
      plain ? std::to_chars(text, text + sizeof text - 1, value, std::chars_format::fixed)
            : std::to_chars(text, text + sizeof text - 1, value);
  *result.ptr = '\0';
  raw(text);
}

void JsonWriter::flush() {
  if (used_ > 0) sink_(context_, buffer_, used_);
  used_ = 0;
}

}  // namespace vorna
