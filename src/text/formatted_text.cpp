#include "text/formatted_text.h"

#include <cstdio>
#include <cstring>

namespace vorna {

void format_text_v(char* out, std::size_t size, const char* format, std::va_list arguments) {
  if (size == 0) return;
  if (std::vsnprintf(out, size, format, arguments) < 0) out[0] = '\0';
}

void append_text_v(char* out, std::size_t size, const char* format, std::va_list arguments) {
  const void* end = std::memchr(out, '\0', size);
  if (end == nullptr) return;  // full: no room for more
  const std::size_t used = static_cast<std::size_t>(static_cast<const char*>(end) - out);
  format_text_v(out + used, size - used, format, arguments);
}

void format_text(char* out, std::size_t size, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  format_text_v(out, size, format, arguments);
  va_end(arguments);
}

void append_text(char* out, std::size_t size, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  append_text_v(out, size, format, arguments);
  va_end(arguments);
}

}  // namespace vorna
