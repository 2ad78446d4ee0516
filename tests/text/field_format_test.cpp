// Field conversions: tables of exact texts, then seeded sweeps against
// glibc's snprintf (exact, half-way cases to even on the exact binary
// value) with the field rules laid over its digits.
#include "text/field_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "text/field_format_detail.h"

namespace vorna {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const double kTiny = std::numeric_limits<double>::denorm_min();

enum class Kind { kFixed, kExponent };

using Formatter = bool (*)(double, int, int, char*);

Formatter formatter_of(Kind kind) { return kind == Kind::kFixed ? format_fixed : format_exponent; }

const char* name_of(Kind kind) { return kind == Kind::kFixed ? "F" : "1PE"; }

constexpr int kGuard = 16;

// Runs one conversion into a buffer with guard bytes on both sides; the
// guards must stay untouched.
struct Field {
  std::string text;
  bool overflow = false;
  bool guards_intact = true;
};

template <typename F>
Field run_field(F format, int w) {
  std::string buffer(static_cast<std::size_t>(w + 2 * kGuard), '\x7f');
  Field field;
  field.overflow = format(&buffer[kGuard]);
  for (int i = 0; i < kGuard; ++i) {
    if (buffer[static_cast<std::size_t>(i)] != '\x7f' ||
        buffer[static_cast<std::size_t>(kGuard + w + i)] != '\x7f') {
      field.guards_intact = false;
    }
  }
  field.text = buffer.substr(kGuard, static_cast<std::size_t>(w));
  return field;
}

Field run_real(Formatter format, double value, int w, int d) {
  return run_field([&](char* out) { return format(value, w, d, out); }, w);
}

bool all_asterisks(const std::string& text) {
  return !text.empty() && text.find_first_not_of('*') == std::string::npos;
}

// A field of w asterisks is an overflow, and so is every real field of
// width 0 (its shortest text, ".", has one character).
bool is_overflow_text(const std::string& text) { return text.empty() || all_asterisks(text); }

std::string describe(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g (%a)", value, value);
  return text;
}

struct RealCase {
  double value;
  int w;
  int d;
  const char* expected;
};

void check_real_table(Kind kind, const RealCase* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const RealCase& c = cases[i];
    const Field field = run_real(formatter_of(kind), c.value, c.w, c.d);
    const std::string expected = c.expected;
    EXPECT_EQ(field.text, expected)
        << "row " << i << ": " << name_of(kind) << c.w << '.' << c.d << " of " << describe(c.value);
    EXPECT_EQ(field.overflow, is_overflow_text(expected)) << "row " << i;
    EXPECT_TRUE(field.guards_intact) << "row " << i;
  }
}

template <std::size_t N>
void check_fixed(const RealCase (&cases)[N]) {
  check_real_table(Kind::kFixed, cases, N);
}
template <std::size_t N>
void check_exponent(const RealCase (&cases)[N]) {
  check_real_table(Kind::kExponent, cases, N);
}

// ---------------------------------------------------------------- Fw.d

TEST(FormatFixed, HalfWayCasesRoundToEven) {
  const RealCase cases[] = {
      {0.0625, 12, 3, "       0.062"},
      {0.1875, 12, 3, "       0.188"},
      {1.0625, 12, 3, "       1.062"},
      {-0.0625, 12, 3, "      -0.062"},
      {2.5, 5, 0, "   2."},
      {3.5, 5, 0, "   4."},
      {0.5, 3, 0, " 0."},
      {1.5, 3, 0, " 2."},
      {0.125, 12, 2, "        0.12"},
      {0.375, 12, 2, "        0.38"},
      {1.03125, 12, 4, "      1.0312"},
      {1.09375, 12, 4, "      1.0938"},
      {4096.0078125, 15, 6, "    4096.007812"},
      {0.00048828125, 12, 10, "0.0004882812"},  // 2^-11
  };
  check_fixed(cases);
}

TEST(FormatFixed, RoundsTheExactBinaryValue) {
  const RealCase cases[] = {
      {2.0005, 12, 3, "       2.001"},  // held just above 2.0005
      {1.0005, 12, 3, "       1.000"},  // held just below
      {0.0005, 12, 3, "       0.001"},  // held just above
      {9.9995, 12, 3, "       9.999"},  // held just below
      {1234.5678, 12, 3, "    1234.568"},    {0.1, 25, 20, "   0.10000000000000000555"},
      {1.0 / 3.0, 15, 3, "          0.333"}, {2.0 / 3.0, 15, 3, "          0.667"},
      {-123.4565, 12, 3, "    -123.457"},  // held just above in magnitude
  };
  check_fixed(cases);
}

TEST(FormatFixed, CarriesIntoANewDigit) {
  const RealCase cases[] = {
      {9.99951, 12, 3, "      10.000"},
      {999.9996, 12, 3, "    1000.000"},
      {-99.9999, 12, 3, "    -100.000"},
      {0.9996, 12, 3, "       1.000"},
      {0.96, 4, 1, " 1.0"},
      {9.5, 3, 0, "10."},
  };
  check_fixed(cases);
}

TEST(FormatFixed, ValuesRoundingToZeroHaveNoSign) {
  const RealCase cases[] = {
      {-0.0004, 12, 3, "       0.000"},
      {-0.0, 12, 3, "       0.000"},
      {0.0, 12, 3, "       0.000"},
      {0.0, 15, 3, "          0.000"},
      {-0.0005, 12, 3, "      -0.001"},  // held just above in magnitude
      {-kTiny, 12, 3, "       0.000"},
      {kTiny, 12, 3, "       0.000"},
      {-0.4, 3, 0, " 0."},
      {-0.5, 3, 0, " 0."},
      {-1e-300, 5, 3, "0.000"},
      {-0.0004, 4, 3, ".000"},
  };
  check_fixed(cases);
}

TEST(FormatFixed, DropsTheLeadingZeroOnlyToFit) {
  const RealCase cases[] = {
      {0.5, 4, 3, ".500"},  {0.5, 5, 3, "0.500"},   {-0.5, 5, 3, "-.500"}, {-0.5, 6, 3, "-0.500"},
      {-0.5, 4, 3, "****"}, {0.5, 3, 3, "***"},     {0.4, 1, 0, "."},      {0.0, 1, 0, "."},
      {0.0, 2, 0, "0."},    {0.9996, 4, 3, "****"},  // rounds to 1.000: no 0 to drop
  };
  check_fixed(cases);
}

TEST(FormatFixed, LimitsOfF12_3AndF15_3) {
  const RealCase cases[] = {
      {99999999.999, 12, 3, "99999999.999"},
      {-9999999.999, 12, 3, "-9999999.999"},
      {99999999.9995, 12, 3, "************"},  // rounds to 100000000.000
      {-9999999.9995, 12, 3, "************"},  // rounds to -10000000.000
      {100000000.0, 12, 3, "************"},
      {-10000000.0, 12, 3, "************"},
      {0.5, 12, 3, "       0.500"},
      {-0.5, 12, 3, "      -0.500"},
      {99999999999.999, 15, 3, "99999999999.999"},
      {-9999999999.999, 15, 3, "-9999999999.999"},
      {99999999999.9995, 15, 3, "99999999999.999"},  // held just below
      {99999999999.99951, 15, 3, "***************"},
      {-9999999999.9995, 15, 3, "***************"},  // held just above in magnitude
      {100000000000.0, 15, 3, "***************"},
      {-10000000000.0, 15, 3, "***************"},
      {1000.0, 15, 3, "       1000.000"},
  };
  check_fixed(cases);
}

TEST(FormatFixed, OverflowsToAsterisks) {
  const RealCase cases[] = {
      {1e300, 12, 3, "************"},
      {-1e300, 15, 3, "***************"},
      {DBL_MAX, 12, 3, "************"},
      {-DBL_MAX, 40, 20, "****************************************"},
      {12.0, 5, 3, "*****"},
      {12.0, 6, 3, "12.000"},
      {1.0, 0, 3, ""},
      {1e19, 40, 20, "****************************************"},
  };
  check_fixed(cases);
}

TEST(FormatFixed, WideFieldsAndManyDecimals) {
  const RealCase cases[] = {
      {DBL_MAX, 320, 3,
       "       "
       "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558"
       "632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245"
       "490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168"
       "738177180919299881250404026184124858368.000"},
      {1e19, 40, 15, "    10000000000000000000.000000000000000"},
      {0.1, 40, 37, " 0.1000000000000000055511151231257827021"},
      {0.5, 40, 30, "        0.500000000000000000000000000000"},
      {-1.5, 13, 10, "-1.5000000000"},
      {-1.5, 12, 10, "************"},
  };
  check_fixed(cases);
}

TEST(FormatFixed, NotANumberAndInfinities) {
  const RealCase cases[] = {
      {kNaN, 12, 3, " NaN        "},
      {-kNaN, 12, 3, " NaN        "},
      {kNaN, 15, 3, " NaN           "},
      {kInf, 12, 3, " Infinity   "},
      {-kInf, 12, 3, " -Infinity  "},
      {kInf, 15, 3, " Infinity      "},
      {-kInf, 15, 3, " -Infinity     "},
      {kNaN, 4, 3, " NaN"},
      {kNaN, 3, 1, "***"},
      {kInf, 9, 3, " Infinity"},
      {kInf, 8, 3, "********"},
      {-kInf, 10, 3, " -Infinity"},
      {-kInf, 9, 3, "*********"},
  };
  check_fixed(cases);
}

// ------------------------------------------------------------- 1PEw.d

TEST(FormatExponent, Examples) {
  const RealCase cases[] = {
      {123456.789, 12, 3, "   1.235E+05"},
      {-1.0, 12, 4, " -1.0000E+00"},
      {0.5, 12, 3, "   5.000E-01"},
      {-2.5, 15, 5, "   -2.50000E+00"},
      {1.0, 9, 3, "1.000E+00"},
      {0.001, 12, 4, "  1.0000E-03"},
      {1e-5, 12, 3, "   1.000E-05"},
      {3.14159265358979, 15, 5, "    3.14159E+00"},
      {5.0, 6, 0, "5.E+00"},
      {1e21, 12, 3, "   1.000E+21"},
      {1e22, 12, 3, "   1.000E+22"},
      {1152921504606846976.0, 12, 3, "   1.153E+18"},
  };
  check_exponent(cases);
}

TEST(FormatExponent, HalfWayCasesRoundToEven) {
  const RealCase cases[] = {
      {1.03125, 12, 4, "  1.0312E+00"}, {1.09375, 12, 4, "  1.0938E+00"},
      {12345.0, 12, 3, "   1.234E+04"}, {12355.0, 12, 3, "   1.236E+04"},
      {0.0625, 12, 2, "    6.25E-02"},  {0.0625, 12, 1, "     6.2E-02"},
      {0.1875, 12, 1, "     1.9E-01"},  {-2.5, 12, 0, "     -2.E+00"},
      {35.0, 12, 0, "      4.E+01"},    {25.0, 12, 0, "      2.E+01"},
  };
  check_exponent(cases);
}

TEST(FormatExponent, RoundsTheExactBinaryValue) {
  const RealCase cases[] = {
      {9.9995, 12, 3, "   9.999E+00"},  // held just below
      {2.0005, 12, 3, "   2.001E+00"},  // held just above
      {1.0005, 12, 3, "   1.000E+00"},  // held just below
      {0.1, 30, 20, "    1.00000000000000005551E-01"},
  };
  check_exponent(cases);
}

TEST(FormatExponent, CarriesIntoANewDigit) {
  const RealCase cases[] = {
      {99999.5, 12, 3, "   1.000E+05"},     {9.99995, 12, 4, "  1.0000E+01"},
      {-9.99995, 12, 4, " -1.0000E+01"},    {9.5, 12, 0, "      1.E+01"},
      {9.999999e99, 12, 3, "   1.000+100"}, {0.099996, 12, 3, "   1.000E-01"},
  };
  check_exponent(cases);
}

TEST(FormatExponent, ThreeDigitExponents) {
  const RealCase cases[] = {
      {1.0e100, 12, 3, "   1.000+100"},    {1.5e-100, 12, 3, "   1.500-100"},
      {1.0e-100, 12, 3, "   1.000-100"},   {kTiny, 12, 3, "   4.941-324"},
      {-kTiny, 15, 5, "   -4.94066-324"},  {DBL_MAX, 12, 3, "   1.798+308"},
      {DBL_MAX, 15, 5, "    1.79769+308"}, {-DBL_MAX, 12, 4, " -1.7977+308"},
      {DBL_MIN, 12, 3, "   2.225-308"},    {9.9e-99, 12, 3, "   9.900E-99"},
      {1e99, 12, 4, "  1.0000E+99"},
  };
  check_exponent(cases);
}

TEST(FormatExponent, ZeroHasNoSign) {
  const RealCase cases[] = {
      {0.0, 15, 5, "    0.00000E+00"}, {-0.0, 15, 5, "    0.00000E+00"},
      {0.0, 12, 3, "   0.000E+00"},    {-0.0, 12, 4, "  0.0000E+00"},
      {0.0, 6, 0, "0.E+00"},           {0.0, 5, 0, "*****"},
  };
  check_exponent(cases);
}

TEST(FormatExponent, OverflowsOnlyWhenTooNarrow) {
  const RealCase cases[] = {
      {1.0, 8, 3, "********"},
      {-1.0, 9, 3, "*********"},
      {-1.0, 10, 3, "-1.000E+00"},
      {-DBL_MAX, 10, 4, "**********"},
      {-DBL_MAX, 11, 4, "-1.7977+308"},
      {1.0, 0, 3, ""},
      {1.0, 1, 0, "*"},
  };
  check_exponent(cases);
}

TEST(FormatExponent, NotANumberAndInfinities) {
  const RealCase cases[] = {
      {kNaN, 12, 3, " NaN        "},     {kNaN, 12, 4, " NaN        "},
      {-kNaN, 15, 5, " NaN           "}, {kInf, 12, 3, " Infinity   "},
      {-kInf, 12, 4, " -Infinity  "},    {kInf, 15, 5, " Infinity      "},
      {-kInf, 15, 5, " -Infinity     "}, {kInf, 2, 1, "**"},
  };
  check_exponent(cases);
}

// ---------------------------------------------------------------- Iw.m

struct IntegerCase {
  int value;
  int w;
  int m;
  const char* expected;
};

TEST(FormatInteger, Table) {
  const IntegerCase cases[] = {
      {INT_MIN, 12, 1, " -2147483648"},
      {INT_MIN, 11, 1, "-2147483648"},
      {INT_MIN, 10, 1, "**********"},
      {INT_MAX, 12, 1, "  2147483647"},
      {0, 12, 1, "           0"},
      {-5, 12, 1, "          -5"},
      {5, 2, 2, "05"},
      {0, 2, 2, "00"},
      {7, 2, 2, "07"},
      {123, 2, 2, "**"},
      {-1, 2, 2, "**"},
      {-1, 3, 2, "-01"},
      {2024, 4, 1, "2024"},
      {12345, 4, 1, "****"},
      {0, 1, 1, "0"},
      {0, 5, 0, "     "},
      {-5, 4, 3, "-005"},
      {-5, 3, 3, "***"},
      {999999999, 9, 1, "999999999"},
      {1000000000, 9, 1, "*********"},
      {42, 6, 5, " 00042"},
      {1, 0, 1, ""},
  };
  for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const IntegerCase& c = cases[i];
    const Field field =
        run_field([&](char* out) { return format_integer(c.value, c.w, c.m, out); }, c.w);
    EXPECT_EQ(field.text, c.expected)
        << "row " << i << ": I" << c.w << '.' << c.m << " of " << c.value;
    EXPECT_EQ(field.overflow, is_overflow_text(c.expected)) << "row " << i;
    EXPECT_TRUE(field.guards_intact) << "row " << i;
  }
}

TEST(FormatInteger, MatchesPrintfForEveryWidth) {
  std::mt19937 random(12345);
  for (int n = 0; n < 20000; ++n) {
    const int value = static_cast<int>(random());
    const int w = static_cast<int>(random() % 16);
    const int m = static_cast<int>(random() % 13);
    char text[32];
    std::snprintf(text, sizeof text, "%*.*d", w, m, value);
    std::string expected = text;
    if (static_cast<int>(expected.size()) > w) expected.assign(static_cast<std::size_t>(w), '*');
    const Field field = run_field([&](char* out) { return format_integer(value, w, m, out); }, w);
    ASSERT_EQ(field.text, expected) << "I" << w << '.' << m << " of " << value;
    ASSERT_TRUE(field.guards_intact);
  }
}

// ------------------------------------------------------- reference texts

std::string word_reference(double value, int w) {
  const std::string word = std::isnan(value) ? "NaN" : value > 0 ? "Infinity" : "-Infinity";
  if (static_cast<int>(word.size()) + 1 > w) return std::string(static_cast<std::size_t>(w), '*');
  std::string text = " " + word;
  text.resize(static_cast<std::size_t>(w), ' ');
  return text;
}

std::string right_justified(const std::string& text, int w) {
  if (static_cast<int>(text.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

// Fw.d from glibc's "%#.*f" (the # keeps the point for d = 0).
std::string fixed_reference(double value, int w, int d) {
  if (!std::isfinite(value)) return word_reference(value, w);
  static char text[2048];
  std::snprintf(text, sizeof text, "%#.*f", d, value);
  std::string t = text;
  const bool negative = t[0] == '-';
  if (negative) t.erase(0, 1);
  const bool zero = t.find_first_of("123456789") == std::string::npos;
  if (negative && !zero) t.insert(0, "-");
  if (static_cast<int>(t.size()) > w) {
    const std::size_t at = t[0] == '-' ? 1 : 0;
    if (t.compare(at, 2, "0.") == 0) t.erase(at, 1);
  }
  return right_justified(t, w);
}

// 1PEw.d from glibc's "%#.*E": three-digit exponents lose the letter.
std::string exponent_reference(double value, int w, int d) {
  if (!std::isfinite(value)) return word_reference(value, w);
  static char text[2048];
  std::snprintf(text, sizeof text, "%#.*E", d, value == 0 ? 0.0 : value);
  std::string t = text;
  const std::size_t e = t.find('E');
  if (t.size() - e - 2 >= 3) t.erase(e, 1);
  return right_justified(t, w);
}

// ------------------------------------------------------------- sweeps

// Doubles of every kind: random bit patterns, values of the common range,
// exact half-way cases k/2^n, decimal texts ending in 5, values next to the
// carry into a new digit and to powers of ten.
class ValueSource {
 public:
  explicit ValueSource(std::uint64_t seed) : random_(seed) {}

  double next() {
    switch (random_() % 9) {
      case 0:
      case 1:
        return random_bits();
      case 8:
        return near_power_of_ten();
      case 2:
        return common_range();
      case 3:
        return half_way();
      case 4:
        return decimal_five();
      case 5:
        return near_carry();
      case 6:
        return std::nextafter(common_range(), (random_() & 1) != 0 ? kInf : -kInf);
      default:
        return integer_tie();
    }
  }

 private:
  double uniform() { return static_cast<double>(random_() >> 11) * 0x1p-53; }
  double sign() { return (random_() & 1) != 0 ? -1.0 : 1.0; }

  double random_bits() {
    const std::uint64_t bits = random_();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  // |x| ~ 1e-6 .. 1e12, most in 1e-3 .. 1e4.
  double common_range() {
    const int power = static_cast<int>(random_() % 19) - 6;
    return sign() * uniform() * std::pow(10.0, power);
  }
  // k / 2^n: ties of every d up to n - 1.
  double half_way() {
    const int bits = 1 + static_cast<int>(random_() % 53);
    const double k = static_cast<double>(random_() >> (64 - bits));
    return sign() * std::ldexp(k, -static_cast<int>(random_() % 64));
  }
  // "123.4565" and the like: just above or below the tie.
  double decimal_five() {
    char text[64];
    const int digits = 1 + static_cast<int>(random_() % 8);
    std::snprintf(text, sizeof text, "%llu.%0*llu5e%d",
                  static_cast<unsigned long long>(random_() % 100000), digits,
                  static_cast<unsigned long long>(random_() % 100000000),
                  static_cast<int>(random_() % 41) - 20);
    return sign() * std::strtod(text, nullptr);
  }
  // (10^n - 1/2) x 10^j and its neighbours: 9.9995, 99999.5, 0.099995.
  double near_carry() {
    const int n = 1 + static_cast<int>(random_() % 17);
    double value =
        (std::pow(10.0, n) - 0.5) * std::pow(10.0, static_cast<int>(random_() % 61) - 30);
    const int steps = static_cast<int>(random_() % 5) - 2;
    for (int i = 0; i < steps; ++i) value = std::nextafter(value, kInf);
    for (int i = 0; i > steps; --i) value = std::nextafter(value, 0.0);
    return sign() * value;
  }
  // 10^p of every magnitude and its neighbours: where the decimal exponent
  // changes.
  double near_power_of_ten() {
    double value = std::pow(10.0, static_cast<int>(random_() % 633) - 324);
    const int steps = static_cast<int>(random_() % 7) - 3;
    for (int i = 0; i < steps; ++i) value = std::nextafter(value, kInf);
    for (int i = 0; i > steps; --i) value = std::nextafter(value, 0.0);
    return sign() * value;
  }
  // Integers ending in 5 (ties of the exponent field), times 2^j.
  double integer_tie() {
    const double base = static_cast<double>((random_() % 100000000000000ull) * 10 + 5);
    return sign() * std::ldexp(base, static_cast<int>(random_() % 21) - 10);
  }

  std::mt19937_64 random_;
};

struct Shape {
  Kind kind;
  int w;
  int d;
};

constexpr Shape kProgramShapes[] = {
    {Kind::kFixed, 12, 3},    {Kind::kFixed, 15, 3},    {Kind::kExponent, 12, 3},
    {Kind::kExponent, 12, 4}, {Kind::kExponent, 15, 5},
};

// Compares format_fixed / format_exponent with a reference on `count`
// values, in the program's shapes and one random shape (w 0..40, d 0..24)
// per value. At most a few failures are reported.
template <typename Reference>
void sweep(std::uint64_t seed, int count, Reference reference) {
  ValueSource values(seed);
  std::mt19937 shapes(static_cast<std::uint32_t>(seed));
  int failures = 0;
  char out[64];
  for (int n = 0; n < count && failures < 10; ++n) {
    const double value = values.next();
    Shape random_shape{(shapes() & 1) != 0 ? Kind::kFixed : Kind::kExponent,
                       static_cast<int>(shapes() % 41), static_cast<int>(shapes() % 25)};
    for (int s = 0; s <= 5; ++s) {
      const Shape& shape = s < 5 ? kProgramShapes[s] : random_shape;
      std::memset(out, '\x7f', sizeof out);
      const bool overflow = formatter_of(shape.kind)(value, shape.w, shape.d, out + 8);
      const std::string got(out + 8, static_cast<std::size_t>(shape.w));
      const std::string expected = reference(shape, value);
      const bool guards = out[7] == '\x7f' && out[8 + shape.w] == '\x7f';
      if (got != expected || overflow != is_overflow_text(expected) || !guards) {
        ADD_FAILURE() << "seed " << seed << ", value " << n << ": " << name_of(shape.kind)
                      << shape.w << '.' << shape.d << " of " << describe(value) << "\n  got      \""
                      << got << "\" overflow " << overflow << "\n  expected \"" << expected << '"';
        ++failures;
      }
    }
  }
}

std::string glibc_reference(const Shape& shape, double value) {
  return shape.kind == Kind::kFixed ? fixed_reference(value, shape.w, shape.d)
                                    : exponent_reference(value, shape.w, shape.d);
}

std::string general_path_reference(const Shape& shape, double value) {
  char out[64];
  if (shape.kind == Kind::kFixed) {
    field_format_detail::format_fixed_general(value, shape.w, shape.d, out);
  } else {
    field_format_detail::format_exponent_general(value, shape.w, shape.d, out);
  }
  return std::string(out, static_cast<std::size_t>(shape.w));
}

TEST(FieldFormatSweep, MatchesGlibc) { sweep(20240611, 200000, glibc_reference); }

TEST(FieldFormatSweep, GeneralPathMatchesGlibc) {
  sweep(77, 50000, [](const Shape& shape, double value) {
    const std::string general = general_path_reference(shape, value);
    const std::string glibc = glibc_reference(shape, value);
    return general == glibc ? general : "general path: " + general + " glibc: " + glibc;
  });
}

TEST(FieldFormatSweep, SlowFastPathMatchesGeneralPath) {
  sweep(9001, 3000000, general_path_reference);
}

TEST(FieldFormatSweep, SlowMatchesGlibc) { sweep(424242, 400000, glibc_reference); }

// Every width from 0 to 40 writes exactly w characters.
TEST(FieldFormatSweep, EveryWidthWritesExactlyW) {
  const double values[] = {0.0,   -0.0,    0.5,  -0.5,  1234.5678, -1e300,
                           kTiny, DBL_MAX, kNaN, -kInf, 9.9995};
  for (double value : values) {
    for (int w = 0; w <= 40; ++w) {
      for (int d = 0; d <= 24; ++d) {
        for (Kind kind : {Kind::kFixed, Kind::kExponent}) {
          const Field field = run_real(formatter_of(kind), value, w, d);
          EXPECT_TRUE(field.guards_intact)
              << name_of(kind) << w << '.' << d << " of " << describe(value);
          const std::string expected = glibc_reference({kind, w, d}, value);
          EXPECT_EQ(field.text, expected)
              << name_of(kind) << w << '.' << d << " of " << describe(value);
        }
      }
    }
  }
}

// Where the 64- and 128-bit arithmetic of the fast paths ends: scaled
// values next to 2^64, decimal exponents next to the end of the 5^k table,
// powers of ten and the carry into a new digit, for every d.
TEST(FieldFormatFastPath, EdgesOfTheIntegerRangeMatchGlibc) {
  int failures = 0;
  for (int d = 0; d <= 27 && failures < 10; ++d) {
    double centres[80];
    int n = 0;
    centres[n++] = std::ldexp(1.0, 64) / std::pow(10.0, d);
    centres[n++] = std::ldexp(1.0, 63) / std::pow(10.0, d);
    centres[n++] = std::ldexp(1.0, 53);
    for (int p = -40; p <= 40; p += 2) {
      if (n + 2 > 80) break;
      centres[n++] = std::pow(10.0, d + p);
      centres[n++] = (1.0 - 5.0 * std::pow(10.0, -d - 2)) * std::pow(10.0, p);
    }
    for (int c = 0; c < n; ++c) {
      double value = centres[c];
      for (int i = 0; i < 3; ++i) value = std::nextafter(value, 0.0);
      for (int step = -3; step <= 3; ++step, value = std::nextafter(value, kInf)) {
        for (Kind kind : {Kind::kFixed, Kind::kExponent}) {
          for (int w : {12, 40}) {
            const Field field = run_real(formatter_of(kind), value, w, d);
            const std::string expected = glibc_reference({kind, w, d}, value);
            if (field.text != expected || !field.guards_intact) {
              ADD_FAILURE() << name_of(kind) << w << '.' << d << " of " << describe(value)
                            << "\n  got      \"" << field.text << "\"\n  expected \"" << expected
                            << '"';
              ++failures;
            }
          }
        }
      }
    }
  }
}

// Writes v right-justified in w as s0.s1..sd with `point` digits after the
// point (and `exponent` after it when not null), from exact integer digits.
std::string integer_text(std::uint64_t v, int point, int w, const char* exponent) {
  char digits[32];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0 || n <= point);
  std::string text;
  for (int i = n - 1; i >= 0; --i) {
    text += digits[i];
    if (i == point) text += '.';
  }
  if (exponent != nullptr) text += exponent;
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

// Every digit word the fast layouts build: F12.3 of n / 1000 for all
// n < 10^7, and the exponent fields of s / 10^d for every d + 1 digit s
// (n / 10^d rounds back to n exactly: its error is below n x 2^-53).
TEST(FieldFormatFastPath, SlowEveryDigitWordIsExact) {
  char out[16];
  int failures = 0;
  for (std::uint64_t n = 0; n < 10000000 && failures < 10; ++n) {
    format_fixed(static_cast<double>(n) / 1000.0, 12, 3, out);
    if (std::string(out, 12) != integer_text(n, 3, 12, nullptr)) {
      ADD_FAILURE() << "F12.3 of " << n << "/1000: \"" << std::string(out, 12) << '"';
      ++failures;
    }
  }
  const struct {
    int w;
    int d;
  } shapes[] = {{12, 3}, {12, 4}, {15, 5}, {12, 6}, {12, 0}, {12, 1}, {12, 2}};
  for (const auto& shape : shapes) {
    const std::uint64_t lowest = static_cast<std::uint64_t>(std::pow(10.0, shape.d));
    for (std::uint64_t s = lowest; s < 10 * lowest && failures < 10; ++s) {
      format_exponent(static_cast<double>(s) / static_cast<double>(lowest), shape.w, shape.d, out);
      const std::string expected = integer_text(s, shape.d, shape.w, "E+00");
      if (std::string(out, static_cast<std::size_t>(shape.w)) != expected) {
        ADD_FAILURE() << "1PE" << shape.w << '.' << shape.d << " of " << s << ": \""
                      << std::string(out, static_cast<std::size_t>(shape.w)) << '"';
        ++failures;
      }
    }
  }
}

// Decimals or digit counts far beyond the width never reach the arithmetic.
TEST(FieldFormatSweep, HugeDigitCountsOverflow) {
  char out[16];
  EXPECT_TRUE(format_fixed(1.5, 10, INT_MAX, out));
  EXPECT_EQ(std::string(out, 10), "**********");
  EXPECT_TRUE(format_exponent(1.5, 10, INT_MAX, out));
  EXPECT_TRUE(format_exponent(-0.0, 10, INT_MAX, out));
  EXPECT_TRUE(format_integer(-1, 10, INT_MAX, out));
  EXPECT_FALSE(format_fixed(kNaN, 10, INT_MAX, out));
  EXPECT_EQ(std::string(out, 10), " NaN      ");
  EXPECT_TRUE(field_format_detail::format_fixed_general(1.5, 10, INT_MAX, out));
  EXPECT_TRUE(field_format_detail::format_exponent_general(1.5, 10, INT_MAX, out));
  EXPECT_TRUE(field_format_detail::format_exponent_general(0.0, 10, INT_MAX, out));
  EXPECT_FALSE(format_fixed(2.5, 3, -7, out));  // negative d as 0
  EXPECT_EQ(std::string(out, 3), " 2.");
}

// The values of a run take the integer fast paths.
TEST(FieldFormatFastPath, CoversTheCommonRange) {
  std::mt19937_64 random(5);
  for (int n = 0; n < 100000; ++n) {
    // |x| in [1e-6, 1e6): 1..10 times a power of ten, either sign.
    const double sign = (random() & 1) != 0 ? -1.0 : 1.0;
    const double value = sign * (1.0 + 9.0 * static_cast<double>(random() >> 11) * 0x1p-53) *
                         std::pow(10.0, static_cast<int>(random() % 12) - 6);
    std::uint64_t scaled;
    field_format_detail::ScaledDigits digits;
    for (int d = 0; d <= 5; ++d) {
      ASSERT_TRUE(field_format_detail::fixed_fast_digits(value, d, scaled)) << describe(value);
    }
    for (int d = 0; d <= 17; ++d) {
      ASSERT_TRUE(field_format_detail::exponent_fast_digits(value, d, digits)) << describe(value);
    }
  }
  std::uint64_t scaled;
  EXPECT_TRUE(field_format_detail::fixed_fast_digits(99999999999.999, 3, scaled));
  EXPECT_EQ(scaled, 99999999999999u);
  field_format_detail::ScaledDigits digits;
  EXPECT_TRUE(field_format_detail::exponent_fast_digits(1e-10, 5, digits));
  EXPECT_EQ(digits.digits, 100000u);
  EXPECT_EQ(digits.exponent, -10);
}

}  // namespace
}  // namespace vorna
