#include "textio/field_format.h"

#include <cstring>

namespace vorna {

bool format_integer(int, int w, int, char* out) {
  std::memset(out, '*', static_cast<unsigned>(w));
  return true;
}
bool format_fixed(double, int w, int, char* out) {
  std::memset(out, '*', static_cast<unsigned>(w));
  return true;
}
bool format_exponent(double, int w, int, char* out) {
  std::memset(out, '*', static_cast<unsigned>(w));
  return true;
}

}  // namespace vorna
