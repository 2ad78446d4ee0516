#include "text/strict_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace vorna {
namespace {

// The reference is glibc's strtod on the text with its exponent letter
// (D or Q of the data lines) written as E.
double reference_value(std::string text) {
  for (char& c : text) {
    if (c == 'D' || c == 'd' || c == 'Q' || c == 'q') c = 'E';
  }
  return std::strtod(text.c_str(), nullptr);
}

TEST(StrictNumber, AWholeNumberTextIsItsNearestReal) {
  for (const char* text : {"0", "2.5", "+7", "-1E3", "1.0D1", "2.5d-2", "3Q2", ".5", "5.", "0.1",
                           "123456789012345678901234567890", "4.9406564584124654E-324",
                           "2.4703282292062328E-324", "1.7976931348623157E308", "1E-400"}) {
    double value = -1.0;
    ASSERT_TRUE(read_strict_number(text, value)) << text;
    EXPECT_EQ(value, reference_value(text)) << text;
  }
}

TEST(StrictNumber, NegativeZeroIsZero) {
  for (const char* text : {"-0", "-0.0E5", "-1E-400"}) {
    double value = -1.0;
    ASSERT_TRUE(read_strict_number(text, value)) << text;
    EXPECT_EQ(value, 0.0) << text;
    EXPECT_FALSE(std::signbit(value)) << text;
  }
}

TEST(StrictNumber, AnythingBesideOneNumberIsRefusedAndLeavesTheValue) {
  for (const char* text :
       {"",         " ",     " 5",   "5 ",    "5\t",    "1,2",  "2 days", "5/",
        "tomorrow", "final", "free", "NaN",   "inf",    "0x10", "1.5.5",  "1E5.5",
        "--5",      "+",     ".",    "1E309", "-1E309", "5\n",  "(5)",    "5*"}) {
    double value = 42.0;
    EXPECT_FALSE(read_strict_number(text, value)) << '"' << text << '"';
    EXPECT_EQ(value, 42.0) << '"' << text << '"';
  }
}

// Both programs take --hysteresis through this one reading.
TEST(StrictNumber, BandIsANumberZeroOrMore) {
  const struct {
    const char* text;
    bool taken;
    double band;
  } cases[] = {{"0", true, 0.0},      {"-0", true, 0.0},      {"0.5", true, 0.5},
               {"1E3", true, 1000.0}, {"-1", false, 42.0},    {"-1E-400", true, 0.0},
               {"inf", false, 42.0},  {"1e999", false, 42.0}, {"", false, 42.0},
               {"1,2", false, 42.0},  {"0.5x", false, 42.0}};
  for (const auto& c : cases) {
    double band = 42.0;
    EXPECT_EQ(read_band(c.text, band), c.taken) << '"' << c.text << '"';
    EXPECT_EQ(band, c.band) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace vorna
