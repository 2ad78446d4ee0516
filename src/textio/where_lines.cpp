#include "textio/where_lines.h"

#include <charconv>
#include <cstring>

#include "textio/diagnostics.h"

namespace vorna {
namespace {

constexpr int kShownCharacters = 80;

LineText g_where_line;
int g_where_number = 0;

// The length of the UTF-8 character that starts at text, or 0 when the
// bytes there are not one.
int utf8_length(const unsigned char* text, const unsigned char* end) {
  const unsigned char lead = text[0];
  int length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else {
    return 0;
  }
  if (end - text < length) return 0;
  for (int i = 1; i < length; ++i) {
    if ((text[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

LineText& LineText::add(const char* text) {
  while (*text != '\0' && used_ < kCapacity) text_[used_++] = *text++;
  text_[used_] = '\0';
  return *this;
}

LineText& LineText::add_name(const char* name) {
  for (; *name != '\0' && used_ < kCapacity; ++name) {
    const unsigned char byte = static_cast<unsigned char>(*name);
    text_[used_++] = byte < 32 || byte == 127 ? '?' : *name;
  }
  text_[used_] = '\0';
  return *this;
}

LineText& LineText::add(long value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits - 1, value);
  *result.ptr = '\0';
  return add(digits);
}

LineText& LineText::add_real(double value) {
  char digits[32];
  const auto result =
      std::to_chars(digits, digits + sizeof digits - 1, value, std::chars_format::general, 10);
  *result.ptr = '\0';
  return add(digits);
}

LineText& LineText::add_quoted(const char* text, int length) {
  while (length > 0 && text[length - 1] == ' ') --length;
  const auto* at = reinterpret_cast<const unsigned char*>(text);
  const auto* end = at + (length > 0 ? length : 0);
  add("\"");
  int shown = 0;
  for (; at < end && shown < kShownCharacters; ++shown) {
    const int bytes = *at >= 0x80 ? utf8_length(at, end) : 1;
    if (bytes <= 1) {
      const bool plain = *at >= 32 && *at < 127;
      const char one[2] = {plain ? static_cast<char>(*at) : '?', '\0'};
      add(one);
      ++at;
    } else {
      char character[5] = {};
      std::memcpy(character, at, static_cast<std::size_t>(bytes));
      add(character);
      at += bytes;
    }
  }
  if (at < end) add("...");
  return add("\"");
}

void prepare_where_line(int number, const LineText& line) {
  g_where_line = line;
  g_where_number = number;
}

void forget_where_line() { g_where_number = 0; }

void write_where_line(int number) {
  if (g_where_number == 0 || g_where_number != number) return;
  g_where_number = 0;
  write_error_line(g_where_line.text());
}

}  // namespace vorna
