#include "runtime/line_text.h"

#include <charconv>
#include <cstring>

#include "text/utf8.h"

namespace vorna {
namespace {

constexpr int kShownCharacters = 80;

}  // namespace

LineText& LineText::add(const char* text) {
  while (*text != '\0' && used_ < room_) text_[used_++] = *text++;
  text_[used_] = '\0';
  return *this;
}

bool LineText::add_shown(const unsigned char* at, const unsigned char* end, std::size_t& length) {
  const ShownCharacter shown = shown_character(at, end);
  length = shown.length;
  const std::size_t size = shown.as_is ? shown.length : 1;
  if (used_ + size > room_) return false;
  if (shown.as_is) {
    std::memcpy(text_ + used_, at, size);
  } else {
    text_[used_] = '?';
  }
  used_ += size;
  text_[used_] = '\0';
  return true;
}

LineText& LineText::add_name(const char* name) {
  const auto* at = reinterpret_cast<const unsigned char*>(name);
  const auto* end = at + std::strlen(name);
  std::size_t length;
  while (at < end && add_shown(at, end, length)) at += length;
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
  std::size_t shown_length;
  for (int count = 0; at < end && count < kShownCharacters && add_shown(at, end, shown_length);
       ++count) {
    at += shown_length;
  }
  if (at < end) add("...");
  return add("\"");
}

}  // namespace vorna
