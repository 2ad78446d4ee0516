// Text formatted as printf formats it, into fixed room: what does not fit
// is cut, and the text always ends with '\0'. The messages of both programs
// are built with it.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace vorna {

// Writes the formatted text into out (size bytes).
void format_text(char* out, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Writes it after the text that out already holds, as far as there is room.
void append_text(char* out, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// The same with the arguments of a caller's own variadic function.
void format_text_v(char* out, std::size_t size, const char* format, std::va_list arguments)
    __attribute__((format(printf, 3, 0)));
void append_text_v(char* out, std::size_t size, const char* format, std::va_list arguments)
    __attribute__((format(printf, 3, 0)));

}  // namespace vorna
