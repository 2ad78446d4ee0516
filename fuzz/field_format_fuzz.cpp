// Fuzz target of the field conversions. Input: 8 bytes of a double (or the
// low 4 of an int), then width (1..40), decimals (0..20) and kind bytes.
// Checks: exactly w characters written (guard bytes around the field stay
// intact, no byte of the field left unwritten); the fast paths agree with
// the general path; for a finite value that fits, the digits are those of
// std::to_chars with the same precision, laid out by the field rules.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/field_format.h"
#include "text/field_format_detail.h"

namespace {

constexpr char kUnwritten = '\x01';
constexpr int kGuard = 16;

void require(bool condition) {
  if (!condition) std::abort();
}

bool is_overflow_text(const char* text, int w) {
  for (int i = 0; i < w; ++i) {
    if (text[i] != '*') return false;
  }
  return true;
}

// The field text of Fw.d from std::to_chars digits: sign only when not all
// digits are zero, the 0 before the point dropped only to fit.
std::string fixed_from_to_chars(double value, int w, int d) {
  char text[400];
  const std::to_chars_result r =
      std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::fixed, d);
  require(r.ec == std::errc());
  std::string body(text, r.ptr);
  if (d == 0) body += '.';
  const bool zero = body.find_first_of("123456789") == std::string::npos;
  if (std::signbit(value) && !zero) body.insert(0, "-");
  if (static_cast<int>(body.size()) > w) {
    const std::size_t at = body[0] == '-' ? 1 : 0;
    if (body.compare(at, 2, "0.") == 0) body.erase(at, 1);
  }
  if (static_cast<int>(body.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - body.size(), ' ') + body;
}

// The field text of 1PEw.d from std::to_chars digits: E+05, +100, -324.
std::string exponent_from_to_chars(double value, int w, int d) {
  char text[400];
  const double magnitude = std::fabs(value);
  const std::to_chars_result r =
      std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, d);
  require(r.ec == std::errc());
  std::string t(text, r.ptr);
  const std::size_t e = t.find('e');
  std::string mantissa = t.substr(0, e);
  if (d == 0) mantissa += '.';
  std::string exponent = t.substr(e + 1);  // "+05", "-324"
  if (magnitude == 0) exponent = "+00";
  std::string body = (value < 0 && magnitude != 0 ? "-" : "") + mantissa +
                     (exponent.size() == 3 ? "E" : "") + exponent;
  if (static_cast<int>(body.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - body.size(), ' ') + body;
}

using Formatter = bool (*)(double, int, int, char*);

// Runs one conversion into a guarded buffer and checks the width rule.
std::string run(Formatter format, double value, int w, int d, bool& overflow) {
  char buffer[40 + 2 * kGuard];
  std::memset(buffer, kUnwritten, sizeof buffer);
  overflow = format(value, w, d, buffer + kGuard);
  for (int i = 0; i < kGuard; ++i) {
    require(buffer[i] == kUnwritten);
    require(buffer[kGuard + w + i] == kUnwritten);
  }
  for (int i = 0; i < w; ++i) require(buffer[kGuard + i] >= ' ' && buffer[kGuard + i] <= '~');
  require(overflow == is_overflow_text(buffer + kGuard, w));
  return std::string(buffer + kGuard, static_cast<std::size_t>(w));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 11) return 0;
  double value;
  std::memcpy(&value, data, sizeof value);
  const int w = 1 + data[8] % 40;
  const int d = data[9] % 21;
  const int kind = data[10] % 3;

  if (kind == 2) {
    std::int32_t integer;
    std::memcpy(&integer, data, sizeof integer);
    char buffer[40 + 2 * kGuard];
    std::memset(buffer, kUnwritten, sizeof buffer);
    const bool overflow = vorna::format_integer(integer, w, d, buffer + kGuard);
    for (int i = 0; i < kGuard; ++i) {
      require(buffer[i] == kUnwritten && buffer[kGuard + w + i] == kUnwritten);
    }
    char digits[16];
    const std::uint32_t magnitude = integer < 0 ? 0u - static_cast<std::uint32_t>(integer)
                                                : static_cast<std::uint32_t>(integer);
    std::string body(digits, std::to_chars(digits, digits + sizeof digits, magnitude).ptr);
    if (magnitude == 0) body.clear();
    if (static_cast<int>(body.size()) < d)
      body.insert(0, static_cast<std::size_t>(d) - body.size(), '0');
    if (integer < 0) body.insert(0, "-");
    const std::string expected =
        static_cast<int>(body.size()) > w
            ? std::string(static_cast<std::size_t>(w), '*')
            : std::string(static_cast<std::size_t>(w) - body.size(), ' ') + body;
    require(std::string(buffer + kGuard, static_cast<std::size_t>(w)) == expected);
    require(overflow == (body.size() > static_cast<std::size_t>(w)));
    return 0;
  }

  const bool fixed = kind == 0;
  bool overflow = false;
  bool general_overflow = false;
  const std::string text =
      run(fixed ? vorna::format_fixed : vorna::format_exponent, value, w, d, overflow);
  const std::string general = run(fixed ? vorna::field_format_detail::format_fixed_general
                                        : vorna::field_format_detail::format_exponent_general,
                                  value, w, d, general_overflow);
  require(text == general);
  require(overflow == general_overflow);
  if (std::isfinite(value)) {
    // Fixed texts of huge values are too long for the buffer: they overflow
    // every width here (1e40 has 41 integer digits).
    const bool huge = fixed && (value > 1e40 || value < -1e40);
    if (huge) {
      require(overflow);
    } else {
      require(text ==
              (fixed ? fixed_from_to_chars(value, w, d) : exponent_from_to_chars(value, w, d)));
    }
  } else {
    require(!overflow || w < (std::isnan(value) ? 4 : value > 0 ? 9 : 10));
  }
  return 0;
}
