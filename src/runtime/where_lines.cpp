#include "runtime/where_lines.h"

#include <charconv>
#include <cstring>

#include "runtime/diagnostics.h"

namespace vorna {
namespace {

constexpr int kShownCharacters = 80;

// Adds the character at text as shown_character shows it.
void add_shown(LineText& line, const unsigned char* text, const ShownCharacter& shown) {
  char character[5] = {'?'};
  if (shown.as_is) std::memcpy(character, text, shown.length);
  line.add(character);
}

}  // namespace

LineText& LineText::add(const char* text) {
  while (*text != '\0' && used_ < kCapacity) text_[used_++] = *text++;
  text_[used_] = '\0';
  return *this;
}

LineText& LineText::add_name(const char* name) {
  const auto* at = reinterpret_cast<const unsigned char*>(name);
  const auto* end = at + std::strlen(name);
  while (at < end) {
    const ShownCharacter shown = shown_character(at, end);
    add_shown(*this, at, shown);
    at += shown.length;
  }
  return *this;
}

LineText& LineText::add(long value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits - 1, value);
  *result.ptr = '\0';
  return add(digits);
}

LineText& LineText::add_real(double value, int digits) {
  char text[32];
  const auto result =
      std::to_chars(text, text + sizeof text - 1, value, std::chars_format::general, digits);
  *result.ptr = '\0';
  return add(text);
}

LineText& LineText::add_quoted(const char* text, int length) {
  while (length > 0 && text[length - 1] == ' ') --length;
  const auto* at = reinterpret_cast<const unsigned char*>(text);
  const auto* end = at + (length > 0 ? length : 0);
  add("\"");
  for (int count = 0; at < end && count < kShownCharacters; ++count) {
    const ShownCharacter shown = shown_character(at, end);
    add_shown(*this, at, shown);
    at += shown.length;
  }
  if (at < end) add("...");
  return add("\"");
}

}  // namespace vorna
