// Text as the picture shows it: UTF-8 decoded one code point at a time, and
// measured with the advance widths of the font family the picture names
// first (DejaVu Sans), so that labels are placed and shortened by their
// drawn width rather than by a count of characters.
#pragma once

#include <cstddef>
#include <string_view>

namespace vorna::plot {

// The code point that starts at text[at], and at moved past it. A byte that
// starts no well-formed UTF-8 sequence (a stray continuation, an overlong
// form, a surrogate, beyond U+10FFFF, a cut sequence) is kInvalidCodePoint
// and at moves by that one byte.
constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;
char32_t decode_utf8(std::string_view text, std::size_t& at);

// Whether XML 1.0 allows the code point in character data (tab, line feed
// and carriage return aside, no C0 control; no U+FFFE or U+FFFF).
bool is_xml_character(char32_t code_point);

// The advance width of text at font_size pixels, in pixels; bold text is
// taken as a tenth wider. A code point outside the table counts as wide as
// the widest Latin letter, so a measure errs long.
double text_width(std::string_view text, double font_size, bool bold = false);

// The longest prefix of text, ending between code points, that fits in
// width pixels followed by an ellipsis (U+2026); text.size() when text
// fits whole.
std::size_t fitting_prefix(std::string_view text, double font_size, double width,
                           bool bold = false);

// The ellipsis that ends a shortened text.
inline constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

}  // namespace vorna::plot
