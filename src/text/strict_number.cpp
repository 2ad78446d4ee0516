#include "text/strict_number.h"

#include <cstring>

#include "text/number_reader_convert.h"
#include "text/number_reader_scan.h"

namespace vorna {

bool read_strict_number(const char* text, double& value) {
  const char* const end = text + std::strlen(text);
  NumberToken token;
  if (scan_number_text(text, end, token) != NumberRejection::kNone || token.end != end) {
    return false;
  }
  double number = 0.0;
  if (convert_number(token, number) != NumberRejection::kNone) return false;
  value = number + 0.0;  // -0 is 0
  return true;
}

bool read_band(const char* text, double& band) {
  double value = 0.0;
  if (!read_strict_number(text, value) || !(value >= 0.0)) return false;
  band = value;
  return true;
}

}  // namespace vorna
