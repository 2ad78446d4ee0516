// Reading back the program's fields: tables of the texts it writes and of
// texts it never writes, then seeded sweeps: every text that the field
// conversions produce reads back as strtod reads the same number.
#include "plot/field_reader.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "text/field_format.h"

namespace vorna::plot {
namespace {

const double kInf = std::numeric_limits<double>::infinity();

struct FieldCase {
  const char* text;
  int decimals;
  FieldKind kind;
  double value;  // for numbers and infinities
};

void expect_field(const Field& field, const FieldCase& c) {
  EXPECT_EQ(field.kind, c.kind) << '"' << c.text << '"';
  if (c.kind == FieldKind::kNumber || c.kind == FieldKind::kInfinity) {
    EXPECT_EQ(field.value, c.value) << '"' << c.text << '"';
    EXPECT_EQ(std::signbit(field.value), std::signbit(c.value)) << '"' << c.text << '"';
  }
}

TEST(FixedField, ReadsWhatTheProgramWrites) {
  const FieldCase cases[] = {
      {"      24.700", 3, FieldKind::kNumber, 24.7},
      {"       0.000", 3, FieldKind::kNumber, 0.0},
      {"      -0.500", 3, FieldKind::kNumber, -0.5},
      {"99999999.999", 3, FieldKind::kNumber, 99999999.999},
      {"-9999999.999", 3, FieldKind::kNumber, -9999999.999},
      {".500", 3, FieldKind::kNumber, 0.5},  // F4.3 drops the 0 to fit
      {"99999999999.999", 3, FieldKind::kNumber, 99999999999.999},
      {"************", 3, FieldKind::kAsterisks, 0.0},
      {"***************", 3, FieldKind::kAsterisks, 0.0},
      {" NaN        ", 3, FieldKind::kNotANumber, 0.0},
      {" Infinity   ", 3, FieldKind::kInfinity, kInf},
      {" -Infinity  ", 3, FieldKind::kInfinity, -kInf},
      {" -Infinity     ", 3, FieldKind::kInfinity, -kInf},
  };
  for (const FieldCase& c : cases) expect_field(read_fixed_field(c.text, c.decimals), c);
}

TEST(FixedField, RejectsWhatTheProgramNeverWrites) {
  const char* const texts[] = {
      "",
      "            ",
      "     24.700 ",
      "     24.7000",
      "      24.70",
      "      24,700",
      "     +24.700",
      "      24 700",
      "       -.",
      "          24",
      "NaN         ",
      "  NaN       ",
      " nan        ",
      " Inf        ",
      " Infinity  x",
      "*********** ",
      "    2.4E+01",
      "      0x1.8p1",
  };
  for (const char* text : texts) {
    EXPECT_EQ(read_fixed_field(text, 3).kind, FieldKind::kInvalid) << '"' << text << '"';
  }
}

TEST(ExponentField, ReadsWhatTheProgramWrites) {
  const FieldCase cases[] = {
      {"   2.535E+00", 3, FieldKind::kNumber, 2.535},
      {"  -1.0000E+00", 4, FieldKind::kNumber, -1.0},
      {"    0.00000E+00", 5, FieldKind::kNumber, 0.0},
      {"   1.235E+05", 3, FieldKind::kNumber, 1.235e5},
      {"   5.000E-01", 3, FieldKind::kNumber, 0.5},
      {"   1.000+100", 3, FieldKind::kNumber, 1e100},
      {"   1.500-100", 3, FieldKind::kNumber, 1.5e-100},
      {"   4.941-324", 3, FieldKind::kNumber, 4.941e-324},
      // The largest double rounds up past the range: the largest it is.
      {"   1.798+308", 3, FieldKind::kNumber, DBL_MAX},
      {"  -1.798+308", 3, FieldKind::kNumber, -DBL_MAX},
      {" NaN           ", 5, FieldKind::kNotANumber, 0.0},
      {" -Infinity     ", 5, FieldKind::kInfinity, -kInf},
      {"************", 4, FieldKind::kAsterisks, 0.0},
  };
  for (const FieldCase& c : cases) expect_field(read_exponent_field(c.text, c.decimals), c);
}

TEST(ExponentField, RejectsWhatTheProgramNeverWrites) {
  const char* const texts[] = {
      "   2.535e+00",  "   2.535E+0",   "  25.35E+00",   "   2.535E00",  "   2.53E+00",
      "   2.5350E+00", "   2.535+00",   "   2.535E+000", "    .535E+00", "   2.535E+00 ",
      "      24.700",  "   2.535-1000", "  +2.535E+00",  "   2.535D+00",
  };
  for (const char* text : texts) {
    EXPECT_EQ(read_exponent_field(text, 3).kind, FieldKind::kInvalid) << '"' << text << '"';
  }
}

TEST(IntegerField, ReadsRightJustifiedDigits) {
  std::int64_t value = 0;
  EXPECT_TRUE(read_integer_field("         300", value));
  EXPECT_EQ(value, 300);
  EXPECT_TRUE(read_integer_field("          -5", value));
  EXPECT_EQ(value, -5);
  EXPECT_TRUE(read_integer_field(" -2147483648", value));
  EXPECT_EQ(value, -2147483648LL);
  for (const char* text : {"", "            ", "        300 ", "      3 00", "    12a", "   -",
                           "************", "        +300"}) {
    EXPECT_FALSE(read_integer_field(text, value)) << '"' << text << '"';
  }
}

// A double spread over the whole range: random bits, or a random decimal
// of a random magnitude.
double random_double(std::mt19937_64& random) {
  if (random() % 2 == 0) {
    std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-12, 12);
  return mantissa(random) * std::pow(10.0, exponent(random));
}

// Every field text of the program reads back as the number strtod reads
// from it (the exponent form without its letter given one for strtod).
TEST(FieldReader, RoundTripsTheFieldConversionsSeeded) {
  const std::uint64_t seed = 20061217;
  std::mt19937_64 random(seed);
  struct Layout {
    bool fixed;
    int w, d;
  };
  const Layout layouts[] = {
      {true, 12, 3}, {true, 15, 3}, {false, 12, 3}, {false, 12, 4}, {false, 15, 5}};
  for (int i = 0; i < 100000; ++i) {
    const double value = random_double(random);
    for (const Layout& layout : layouts) {
      char text[32] = {};
      if (layout.fixed) {
        format_fixed(value, layout.w, layout.d, text);
      } else {
        format_exponent(value, layout.w, layout.d, text);
      }
      const std::string field(text, static_cast<std::size_t>(layout.w));
      const Field read =
          layout.fixed ? read_fixed_field(field, layout.d) : read_exponent_field(field, layout.d);
      ASSERT_TRUE(read.is_valid()) << "seed " << seed << ": \"" << field << '"';
      if (std::isnan(value)) {
        ASSERT_EQ(read.kind, FieldKind::kNotANumber) << '"' << field << '"';
      } else if (std::isinf(value)) {
        ASSERT_EQ(read.kind, FieldKind::kInfinity) << '"' << field << '"';
        ASSERT_EQ(read.value, value);
      } else if (field[0] == '*') {
        ASSERT_EQ(read.kind, FieldKind::kAsterisks);
      } else {
        std::string number = field;
        const std::size_t sign = number.find_last_of("+-");
        if (!layout.fixed && sign != std::string::npos && sign > 0 && number[sign - 1] != 'E' &&
            number[sign - 1] != ' ') {
          number.insert(sign, "E");
        }
        const double expected = std::strtod(number.c_str(), nullptr);
        ASSERT_EQ(read.kind, FieldKind::kNumber) << '"' << field << '"';
        if (std::isinf(expected)) {
          ASSERT_EQ(std::fabs(read.value), DBL_MAX) << '"' << field << '"';
        } else {
          ASSERT_EQ(read.value, expected) << "seed " << seed << ": \"" << field << '"';
        }
      }
    }
  }
}

}  // namespace
}  // namespace vorna::plot
