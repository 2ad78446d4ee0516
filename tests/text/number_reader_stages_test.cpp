// The two stages of a numeric value: the scanner's named reason for each
// rejected text and the token of an accepted one, the converter's exact
// one-operation path at its edges, and a sweep of a million texts in the
// forms the series files use. Every expected real comes from glibc's strtod.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "support/bits.h"
#include "text/number_reader.h"
#include "text/number_reader_convert.h"
#include "text/number_reader_scan.h"

namespace vorna {
namespace {

constexpr auto bits_of = &vorna_test::bits;
using R = NumberRejection;

const char* name_of(NumberRejection rejection) {
  switch (rejection) {
    case R::kNone:
      return "none";
    case R::kStrayCharacter:
      return "stray character";
    case R::kSignAfterSign:
      return "sign after sign";
    case R::kSecondPoint:
      return "second point";
    case R::kSecondLetter:
      return "second letter";
    case R::kLetterWithoutDigit:
      return "letter without digit";
    case R::kSignWithoutDigit:
      return "sign without digit";
    case R::kNoDigit:
      return "no digit";
    case R::kNoMantissaDigit:
      return "no mantissa digit";
    case R::kSignAfterExponent:
      return "sign after exponent";
    case R::kPointInExponent:
      return "point in exponent";
    case R::kLetterAfterSignExponent:
      return "letter after sign exponent";
    case R::kOverflow:
      return "overflow";
  }
  return "?";
}

// The scan and, when it passes, the conversion of a text that is the whole
// record.
NumberRejection read_text(const std::string& text, double& value) {
  NumberToken token;
  const char* end = text.data() + text.size();
  NumberRejection rejection = scan_number_text(text.data(), end, token);
  if (rejection == R::kNone) rejection = convert_number(token, value);
  return rejection;
}

TEST(NumberReaderStages, EachRuleHasItsReason) {
  struct Row {
    std::string text;
    NumberRejection reason;
  } rows[] = {
      {"2.5abc", R::kStrayCharacter},
      {"1\r", R::kStrayCharacter},
      {"NaN", R::kStrayCharacter},
      {"1+5+5x", R::kStrayCharacter},  // a 59 later in the text wins over a 64
      {"--5", R::kSignAfterSign},
      {"1E+-5", R::kSignAfterSign},
      {"1.5.5", R::kSecondPoint},
      {"1.5E3.", R::kSecondPoint},
      {"1.+.5", R::kSecondPoint},
      {"1E5E5", R::kSecondLetter},
      {"E5", R::kLetterWithoutDigit},
      {"1+E5", R::kLetterWithoutDigit},
      {".E5", R::kLetterWithoutDigit},
      {"5+", R::kSignWithoutDigit},
      {"5+.", R::kSignWithoutDigit},
      {"1E+", R::kSignWithoutDigit},
      {"+", R::kSignWithoutDigit},
      {".", R::kNoDigit},
      {"", R::kNoDigit},
      {".+5", R::kNoMantissaDigit},
      {"1+5+5", R::kSignAfterExponent},
      {"1E5+3", R::kSignAfterExponent},
      {"1E5.5", R::kPointInExponent},
      {"1E.5", R::kPointInExponent},
      {"1+.5", R::kPointInExponent},
      {"1E+.5", R::kPointInExponent},
      {"1+5.5", R::kPointInExponent},
      {"1+5E3", R::kLetterAfterSignExponent},
      {"1E309", R::kOverflow},
      {"-2E308", R::kOverflow},
      {"1.7976931348623159E308", R::kOverflow},
      {"1" + std::string(400, '0'), R::kOverflow},
      {"1E99999999999999999999", R::kOverflow},
  };
  for (const Row& row : rows) {
    double value = 0.0;
    EXPECT_STREQ(name_of(read_text(row.text, value)), name_of(row.reason)) << row.text;
  }
}

// A refused text is judged from where the number form stopped, with what the
// scan had read before it: a sign, a point or a letter there still counts
// for the rest of the text. end is where the text's check ended: the
// offending character, or the value end.
TEST(NumberReaderStages, RefusalsCarryTheScannedPartIntoTheRest) {
  struct Row {
    const char* text;
    NumberRejection reason;
    std::size_t end;
  } rows[] = {
      // Stopped before any digit.
      {"+.+5 ", R::kSignAfterSign, 2},
      {"-.E5", R::kLetterWithoutDigit, 2},
      {"..5", R::kSecondPoint, 1},
      // Stopped after an exponent's sign.
      {"1.5E+.,", R::kSecondPoint, 5},
      {"1.5+E", R::kLetterWithoutDigit, 4},
      {"1E+.5,2", R::kPointInExponent, 5},
      // Stopped after a whole number.
      {"1.5+5.5", R::kSecondPoint, 5},
      {"1.5E5E", R::kSecondLetter, 5},
      {"1.5+5E3 x", R::kLetterAfterSignExponent, 7},
      {"1+5E3E", R::kSecondLetter, 5},
      {"1+5E+3+", R::kSignWithoutDigit, 7},
  };
  for (const Row& row : rows) {
    NumberToken token;
    const char* end = row.text + std::strlen(row.text);
    EXPECT_STREQ(name_of(scan_number_text(row.text, end, token)), name_of(row.reason)) << row.text;
    EXPECT_EQ(token.end - row.text, static_cast<std::ptrdiff_t>(row.end)) << row.text;
  }
}

TEST(NumberReaderStages, ReasonsGiveTheirDiagnostics) {
  EXPECT_EQ(status_of(R::kNone), ReadStatus::kOk);
  for (NumberRejection syntax :
       {R::kStrayCharacter, R::kSignAfterSign, R::kSecondPoint, R::kSecondLetter,
        R::kLetterWithoutDigit, R::kSignWithoutDigit, R::kNoDigit}) {
    EXPECT_EQ(status_of(syntax), ReadStatus::kSyntax) << name_of(syntax);
  }
  for (NumberRejection conversion :
       {R::kNoMantissaDigit, R::kSignAfterExponent, R::kPointInExponent,
        R::kLetterAfterSignExponent, R::kOverflow}) {
    EXPECT_EQ(status_of(conversion), ReadStatus::kConversion) << name_of(conversion);
  }
}

TEST(NumberReaderStages, TokenLayout) {
  struct Row {
    const char* text;
    std::uint64_t significand;
    std::int64_t exponent;
    bool more_digits;
    bool negative;
  } rows[] = {
      {"0.0250", 250, -4, false, false},
      {"-1.4903726769938E-02", 14903726769938, -15, false, true},
      {"+12.5d3", 125, 2, false, false},
      {"2.5-3", 25, -4, false, false},
      {"1E", 1, 0, false, false},
      {"5.", 5, 0, false, false},
      {"-0", 0, 0, false, true},
      {"1E0000000000000000000000003", 1, 3, false, false},
      // Past 19 significant digits: the first 19 and whether more is nonzero.
      {"12345678901234567890123", 1234567890123456789, 4, true, false},
      {"1234567890123456789000", 1234567890123456789, 3, false, false},
      {"0.000000000000000000001234567890123456789012", 1234567890123456789, -39, true, false},
      {"00000000000000000000000000042", 42, 0, false, false},
  };
  for (const Row& row : rows) {
    NumberToken token;
    const char* end = row.text + std::strlen(row.text);
    ASSERT_EQ(scan_number_text(row.text, end, token), R::kNone) << row.text;
    EXPECT_EQ(token.significand, row.significand) << row.text;
    EXPECT_EQ(token.exponent, row.exponent) << row.text;
    EXPECT_EQ(token.more_digits, row.more_digits) << row.text;
    EXPECT_EQ(token.negative, row.negative) << row.text;
    EXPECT_EQ(token.end, end) << row.text;
  }
  // The text ends at a value end character, which is left for the record.
  for (const char* text : {"1.5 x", "1.5,x", "1.5/x", "1.5)x", "1.5*x", "1.5\tx"}) {
    NumberToken token;
    ASSERT_EQ(scan_number_text(text, text + std::strlen(text), token), R::kNone) << text;
    EXPECT_EQ(token.end, text + 3) << text;
  }
  // Exponents capped far beyond any real's range.
  NumberToken huge;
  const char* text = "1D-99999999999999999999";
  ASSERT_EQ(scan_number_text(text, text + std::strlen(text), huge), R::kNone);
  EXPECT_LT(huge.exponent, -1000000);
}

double reference(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// One correctly rounded multiplication or division gives the nearest real
// only inside its bounds; just outside them the general path must agree too.
TEST(NumberReaderStages, ExactPathEdges) {
  const char* texts[] = {
      "9007199254740992",  // 2^53: the largest significand taken exactly
      "9007199254740993",  // one more: not a double, a tie to even
      "9007199254740991e22",
      "9007199254740993e22",
      "9007199254740991e-22",
      "9007199254740993e-22",
      "1e22",
      "1e23",
      "1e-22",
      "1e-23",
      "123456789012345e22",
      "123456789012345e-22",
      "1234567890123456e-23",
      "999999999999999.9e-7",
      "4.9406564584124654e-324",
      "8.98846567431158e307",
      "0.1",
      "3.0000000000000004",
      "0.30000000000000004",
      "7.0e-10",
  };
  for (const char* text : texts) {
    for (const std::string sign : {"", "-"}) {
      double value = 0.0;
      ASSERT_EQ(read_text(sign + text, value), R::kNone) << sign + text;
      EXPECT_EQ(bits_of(value), bits_of(reference(sign + text))) << sign + text;
    }
  }
}

// A million texts in the forms the series files use: fixed point, an
// exponent with E, e, D, d, Q or q, or with a sign alone; 1 to 20
// significant digits; signs and leading zeros; exponents mostly near the
// exact path's bounds, some near the ends of the range. Each, the second
// value of a data line, must read as strtod reads the same number written
// with an 'e' (beyond the largest real: 64).
TEST(NumberReaderStages, SeriesFormSweep) {
  const unsigned seed = 20251209u;
  std::mt19937_64 random(seed);
  const char* letters = "EeDdQq";
  const char* separators[] = {"   ", "\t", ", ", ",", " \t "};
  int failures = 0;
  for (int round = 0; round < 1000000 && failures < 10; ++round) {
    std::string digits;
    const int count = 1 + static_cast<int>(random() % 20);
    for (int i = 0; i < count; ++i) digits += static_cast<char>('0' + random() % 10);
    if (digits[0] == '0') digits[0] = static_cast<char>('1' + random() % 9);
    std::string mantissa;
    const int point = static_cast<int>(random() % static_cast<unsigned>(count + 3));
    if (point > count) {
      // Leading zeros after the point: 0.00ddd
      mantissa = "0." + std::string(static_cast<std::size_t>(point - count), '0') + digits;
    } else {
      mantissa = digits.substr(0, static_cast<std::size_t>(point)) + "." +
                 digits.substr(static_cast<std::size_t>(point));
    }
    if (mantissa.back() == '.' && random() % 2 == 0) mantissa.pop_back();
    const int sign = static_cast<int>(random() % 4);
    if (sign == 1) mantissa = "-" + mantissa;
    if (sign == 2) mantissa = "+" + mantissa;
    int exponent = static_cast<int>(random() % 61) - 30;
    if (random() % 8 == 0) exponent = static_cast<int>(random() % 680) - 350;
    const std::string exponent_sign = exponent < 0 ? "-" : (random() % 2 ? "+" : "");
    std::string exponent_digits = std::to_string(std::abs(exponent));
    if (random() % 4 == 0) exponent_digits = "0" + exponent_digits;
    std::string text = mantissa;
    std::string written = mantissa;
    switch (random() % 3) {
      case 0:  // fixed point
        break;
      case 1:  // an exponent letter
        text += letters[random() % 6] + exponent_sign + exponent_digits;
        written += "e" + exponent_sign + exponent_digits;
        break;
      default:  // a sign alone starts the exponent
        text += (exponent < 0 ? "-" : "+") + exponent_digits;
        written += std::string("e") + (exponent < 0 ? "-" : "+") + exponent_digits;
        break;
    }
    const double want = reference(written);
    std::string line = "  0.0010" + std::string(separators[random() % 5]) + text;
    line.resize(256, ' ');
    double time = 0.0;
    double value = 0.0;
    double* targets[] = {&time, &value};
    const ReadStatus status = scan_numbers(line.data(), 256, targets, 2);
    const bool right = std::isinf(want)
                           ? status == ReadStatus::kConversion
                           : status == ReadStatus::kOk && bits_of(value) == bits_of(want);
    if (!right) {
      ++failures;
      ADD_FAILURE() << "seed " << seed << " round " << round << ": \"" << text << "\" gave status "
                    << static_cast<int>(status) << " value " << value << ", strtod gives " << want;
    }
  }
}

}  // namespace
}  // namespace vorna
