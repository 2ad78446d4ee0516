#include "plot/text_measure.h"

#include "text/utf8.h"

namespace vorna::plot {
namespace {

// DejaVu Sans advance widths of the printable ASCII characters, from the
// space to the tilde, in thousandths of the font size.
constexpr unsigned short kAsciiWidths[95] = {
    318, 401, 460, 838, 636, 950, 780, 275, 390, 390, 500, 838, 318, 361,  318, 337, 636, 636, 636,
    636, 636, 636, 636, 636, 636, 636, 337, 337, 838, 838, 838, 531, 1000, 684, 686, 698, 770, 632,
    575, 775, 752, 295, 295, 656, 557, 863, 748, 787, 603, 787, 695, 635,  611, 732, 684, 989, 685,
    611, 685, 390, 337, 390, 838, 500, 500, 613, 635, 550, 635, 615, 352,  635, 634, 278, 278, 579,
    278, 974, 634, 612, 635, 635, 411, 521, 392, 634, 592, 818, 592, 592,  525, 636, 337, 636, 838};

// Characters the picture writes itself; any other counts as a full square,
// as wide as the widest letters and the East Asian ones.
unsigned code_point_width(char32_t c) {
  if (c >= 0x20 && c < 0x7F) return kAsciiWidths[c - 0x20];
  switch (c) {
    case 0x2212:  // minus sign
      return 838;
    case 0x2026:  // ellipsis
      return 1000;
    case 0x00B7:  // middle dot
      return 318;
    default:
      break;
  }
  return 1000;
}

}  // namespace

char32_t decode_utf8(std::string_view text, std::size_t& at) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data()) + at;
  const auto* end = reinterpret_cast<const unsigned char*>(text.data()) + text.size();
  const std::size_t length = utf8_length(bytes, end);
  if (length == 0) {
    ++at;
    return kInvalidCodePoint;
  }
  // The lead byte's value bits, then six from each continuation byte.
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t code_point = bytes[0] & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i) code_point = code_point << 6 | (bytes[i] & 0x3Fu);
  at += length;
  return code_point;
}

bool is_xml_character(char32_t c) {
  if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
  return c != 0xFFFE && c != 0xFFFF && c != kInvalidCodePoint;
}

double text_width(std::string_view text, double font_size, bool bold) {
  unsigned long thousandths = 0;
  for (std::size_t at = 0; at < text.size();)
    thousandths += code_point_width(decode_utf8(text, at));
  return static_cast<double>(thousandths) / 1000.0 * font_size * (bold ? 1.1 : 1.0);
}

std::size_t fitting_prefix(std::string_view text, double font_size, double width, bool bold) {
  if (text_width(text, font_size, bold) <= width) return text.size();
  const double room = width - text_width(kEllipsis, font_size, bold);
  const double scale = font_size * (bold ? 1.1 : 1.0) / 1000.0;
  double used = 0.0;
  std::size_t fits = 0;
  for (std::size_t at = 0; at < text.size();) {
    used += code_point_width(decode_utf8(text, at)) * scale;
    if (used > room) break;
    fits = at;
  }
  return fits;
}

}  // namespace vorna::plot
