// The free-form number reader: separators, null values, repeat counts, truth
// values, complex values, the value syntax and its diagnostics, and correct
// rounding. Every expected real comes from glibc's strtod (exact for any
// decimal text) or from exact arithmetic.
#include "text/number_reader.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/bits.h"

namespace vorna {
namespace {

constexpr int kFieldLength = 256;
// What the targets hold before a call, so that "keeps its value" shows.
constexpr double kFirstBefore = 111.25;
constexpr double kSecondBefore = -222.5;

constexpr auto bits_of = &vorna_test::bits;

// The exact reference: glibc's strtod on the whole text.
double exact(const char* text) {
  char* end = nullptr;
  double value = std::strtod(text, &end);
  EXPECT_EQ(*end, '\0') << "reference text " << text;
  return value;
}

// A text laid into a blank-padded field of the program's length.
struct Field {
  char text[kFieldLength];
  explicit Field(const std::string& value) {
    std::memset(text, ' ', sizeof text);
    std::memcpy(text, value.data(), value.size() < sizeof text ? value.size() : sizeof text);
  }
};

struct Outcome {
  ReadStatus status;
  double first = kFirstBefore;
  double second = kSecondBefore;
};

Outcome scan(const char* text, int length, int count) {
  Outcome outcome{};
  double* targets[] = {&outcome.first, &outcome.second};
  outcome.status = scan_numbers(text, length, targets, count);
  return outcome;
}

Outcome scan_field(const std::string& value, int count) {
  Field field(value);
  return scan(field.text, kFieldLength, count);
}

std::string show(ReadStatus status) { return std::to_string(static_cast<int>(status)); }

// One row: the field's text, how many targets, the status and, on success,
// the decimal text each target must hold (nullptr: it keeps its value).
struct Row {
  const char* text;
  int count;
  ReadStatus status;
  const char* first;
  const char* second;
};

constexpr ReadStatus kOk = ReadStatus::kOk;
constexpr ReadStatus k24 = ReadStatus::kEndOfRecord;
constexpr ReadStatus k59 = ReadStatus::kSyntax;
constexpr ReadStatus k64 = ReadStatus::kConversion;
constexpr const char* kKeeps = nullptr;

void expect_target(const char* expected, double got, double before, const char* which,
                   const Row& row) {
  double want = expected == kKeeps ? before : exact(expected);
  EXPECT_EQ(bits_of(got), bits_of(want))
      << which << " target of \"" << row.text << "\": got " << got << ", want " << want;
}

void check_rows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    Outcome outcome = scan_field(row.text, row.count);
    EXPECT_EQ(show(outcome.status), show(row.status)) << "field \"" << row.text << "\"";
    if (outcome.status != kOk || row.status != kOk) continue;
    expect_target(row.first, outcome.first, kFirstBefore, "first", row);
    if (row.count > 1) expect_target(row.second, outcome.second, kSecondBefore, "second", row);
  }
}

TEST(NumberReader, Separators) {
  check_rows({
      {"1.5 2.5", 2, kOk, "1.5", "2.5"},
      {"1.5\t2.5", 2, kOk, "1.5", "2.5"},
      {"1.5,2.5", 2, kOk, "1.5", "2.5"},
      {"1.5 , 2.5", 2, kOk, "1.5", "2.5"},
      {"1.5\t,\t2.5", 2, kOk, "1.5", "2.5"},
      {" \t 1.5 \t , \t 2.5", 2, kOk, "1.5", "2.5"},
      {"1.5,\t2.5", 2, kOk, "1.5", "2.5"},
      {"1.5    2.5", 2, kOk, "1.5", "2.5"},
      {"  0.0010   1.2345678901234E+00", 2, kOk, "0.0010", "1.2345678901234"},
      {"42", 1, kOk, "42", kKeeps},
  });
}

TEST(NumberReader, NullValues) {
  check_rows({
      {",1.5", 2, kOk, kKeeps, "1.5"},
      {" , 1.5", 2, kOk, kKeeps, "1.5"},
      {"\t,1.5", 2, kOk, kKeeps, "1.5"},
      {"1.5,,7", 2, kOk, "1.5", kKeeps},
      {"1.5, ,7", 2, kOk, "1.5", kKeeps},
      {"1.5 ,, 7", 2, kOk, "1.5", kKeeps},
      {"1.5 , , 7", 2, kOk, "1.5", kKeeps},
      {",,7", 2, kOk, kKeeps, kKeeps},
      {",", 1, kOk, kKeeps, kKeeps},
  });
}

TEST(NumberReader, Slash) {
  check_rows({
      {"1.5 / 9", 2, kOk, "1.5", kKeeps},
      {"1.5/9", 2, kOk, "1.5", kKeeps},
      {"/", 2, kOk, kKeeps, kKeeps},
      {"/", 1, kOk, kKeeps, kKeeps},
      {"/ 1 2", 2, kOk, kKeeps, kKeeps},
      {"1.5,/", 2, kOk, "1.5", kKeeps},
      {",/", 2, kOk, kKeeps, kKeeps},
      {"/ abc", 2, kOk, kKeeps, kKeeps},
  });
}

TEST(NumberReader, RepeatCounts) {
  check_rows({
      {"2*7.5", 2, kOk, "7.5", "7.5"},
      {"2*", 2, kOk, kKeeps, kKeeps},
      {"2* 5", 2, kOk, kKeeps, kKeeps},
      {"2*\t5", 2, kOk, kKeeps, kKeeps},
      {"2*,5", 2, kOk, kKeeps, kKeeps},
      {"1*,5", 2, kOk, kKeeps, "5"},
      {"1* ,5", 2, kOk, kKeeps, "5"},
      {"1*", 2, k24, kKeeps, kKeeps},
      {"0*5 6", 2, kOk, "5", "6"},
      {"1*5 6", 2, kOk, "5", "6"},
      {"1*7.5,8", 2, kOk, "7.5", "8"},
      {"3*5", 2, kOk, "5", "5"},
      {"9*5", 1, kOk, "5", kKeeps},
      {"1.5 2*3", 2, kOk, "1.5", "3"},
      {"2*/", 2, kOk, kKeeps, kKeeps},
      {"1*/ 5", 2, kOk, kKeeps, kKeeps},
      {"2*T", 2, kOk, "-1", "-1"},
      {"2*.false.", 2, kOk, "0", "0"},
      {"2*(1.5,2)", 2, kOk, "1.5", "1.5"},
      {"2*1E", 2, kOk, "1", "1"},
      {"2*-0", 2, kOk, "-0.0", "-0.0"},
      {"2147483647*5", 2, kOk, "5", "5"},
      {"00000000000000000002*5", 2, kOk, "5", "5"},
      {"2*3*4", 2, kOk, "3", "3"},
      {"2*'5'", 2, k64, kKeeps, kKeeps},
      {"2*1+5+5", 2, k64, kKeeps, kKeeps},
      {"2*1E999", 2, k64, kKeeps, kKeeps},
      {"2*)", 2, k59, kKeeps, kKeeps},
      {"2*x", 2, k59, kKeeps, kKeeps},
      {"2**", 2, k59, kKeeps, kKeeps},
      // A repeat count must be plain digits that fit a 32-bit integer.
      {"*5", 2, k59, kKeeps, kKeeps},
      {"+2*5", 2, k59, kKeeps, kKeeps},
      {"-2*5", 2, k59, kKeeps, kKeeps},
      {"2.0*5", 2, k59, kKeeps, kKeeps},
      {"2E0*5", 2, k59, kKeeps, kKeeps},
      {"2147483648*5", 2, k59, kKeeps, kKeeps},
      {"99999999999999999999*5", 2, k59, kKeeps, kKeeps},
      {"1.5 *5", 2, k59, kKeeps, kKeeps},
      // Before an asterisk a text that could not be converted is no count
      // either: the syntax error wins.
      {"1+5+5*3", 2, k59, kKeeps, kKeeps},
      {"1E999*5", 2, k59, kKeeps, kKeeps},
  });
}

TEST(NumberReader, RepeatCountBeyondTwoTargets) {
  double values[4] = {1, 2, 3, 4};
  double* targets[] = {&values[0], &values[1], &values[2], &values[3]};
  Field copies("2*,5 9");
  EXPECT_EQ(show(scan_numbers(copies.text, kFieldLength, targets, 4)), show(kOk));
  EXPECT_EQ(values[0], 1.0);
  EXPECT_EQ(values[1], 2.0);
  EXPECT_EQ(values[2], 5.0);
  EXPECT_EQ(values[3], 9.0);
  // After the copies, the next value starts at the asterisk of the second
  // count: a value text beginning with an asterisk.
  Field nested("2*3*4");
  EXPECT_EQ(show(scan_numbers(nested.text, kFieldLength, targets, 3)), show(k59));
  Field nulls("3* 8");
  double a = 1, b = 2, c = 3, d = 4;
  double* four[] = {&a, &b, &c, &d};
  EXPECT_EQ(show(scan_numbers(nulls.text, kFieldLength, four, 4)), show(kOk));
  EXPECT_EQ(a, 1.0);
  EXPECT_EQ(b, 2.0);
  EXPECT_EQ(c, 3.0);
  EXPECT_EQ(d, 8.0);
}

TEST(NumberReader, TruthValues) {
  check_rows({
      {"T 4", 2, kOk, "-1", "4"},
      {".FALSE. 4", 2, kOk, "0", "4"},
      {"t", 1, kOk, "-1", kKeeps},
      {"T", 1, kOk, "-1", kKeeps},
      {"F", 1, kOk, "0", kKeeps},
      {"f", 1, kOk, "0", kKeeps},
      {".TRUE.", 1, kOk, "-1", kKeeps},
      {".true.", 1, kOk, "-1", kKeeps},
      {".f.", 1, kOk, "0", kKeeps},
      {".t", 1, kOk, "-1", kKeeps},
      {"Tabc*x'\" 4", 2, kOk, "-1", "4"},
      {"T,4", 2, kOk, "-1", "4"},
      {"F/4", 2, kOk, "0", kKeeps},
      {"F)", 2, k59, kKeeps, kKeeps},
      {"F)", 1, kOk, "0", kKeeps},
      {"1.5 .t", 2, kOk, "1.5", "-1"},
  });
}

TEST(NumberReader, ComplexValues) {
  check_rows({
      {"(3.5,1.0) 8", 2, kOk, "3.5", "8"},
      {"(3.5,1.0),8", 2, kOk, "3.5", "8"},
      {"( 3.5 ,1.0) 8", 2, kOk, "3.5", "8"},
      {"(\t3.5\t,1.0) 8", 2, kOk, "3.5", "8"},
      {"(3.5,1)", 1, kOk, "3.5", kKeeps},
      {"(3.5,-1.0E5)", 1, kOk, "3.5", kKeeps},
      {"(3.5,+12.25q7)", 1, kOk, "3.5", kKeeps},
      {"(1.0+3,7)", 1, kOk, "1000", kKeeps},
      {"(3.5,1)(2,3)", 2, kOk, "3.5", "2"},
      {"(3.5, 1.0)", 1, k59, kKeeps, kKeeps},
      {"(3.5,1.0 )", 1, k59, kKeeps, kKeeps},
      {"(3.5,1.0E-5)", 1, k59, kKeeps, kKeeps},
      {"(3.5,1.0+5)", 1, k59, kKeeps, kKeeps},
      {"(3.5,.5)", 1, k59, kKeeps, kKeeps},
      {"(3.5,x)", 1, k59, kKeeps, kKeeps},
      {"(3.5;1)", 1, k59, kKeeps, kKeeps},
      {"(3.5/1)", 1, k59, kKeeps, kKeeps},
      {"(3.5*1)", 1, k59, kKeeps, kKeeps},
      {"(3.5 1)", 1, k59, kKeeps, kKeeps},
      {"((3.5,1.0),1)", 1, k59, kKeeps, kKeeps},
      {"(T,1)", 1, k59, kKeeps, kKeeps},
      {"(,1)", 1, k59, kKeeps, kKeeps},
      {"(3.5x,1)", 1, k59, kKeeps, kKeeps},
      {")", 1, k59, kKeeps, kKeeps},
      {"1.5)", 2, k59, kKeeps, kKeeps},
      {"(1E999,1)", 1, k64, kKeeps, kKeeps},
      {"(1+5+5,1)", 1, k64, kKeeps, kKeeps},
      // Only blanks after the real part up to the field's end: the field
      // ends inside the complex value.
      {"(3.5", 1, k24, kKeeps, kKeeps},
      {"( 3.5 \t ", 1, k24, kKeeps, kKeeps},
      // A blank after the comma, or before the closing parenthesis, breaks
      // the syntax even when only blanks follow.
      {"(3.5,", 1, k59, kKeeps, kKeeps},
      {"(3.5,-", 1, k59, kKeeps, kKeeps},
      {"(3.5,1.0", 1, k59, kKeeps, kKeeps},
      {"(3.5,1.0E7", 1, k59, kKeeps, kKeeps},
      // Nothing but blanks after the parenthesis: no real part at all.
      {"(", 1, k59, kKeeps, kKeeps},
  });
  // Ending exactly at the field's last character, with no blank after it.
  const char* cut[] = {"(3.5",   "(3.5 ",   "(3.5,",   "(3.5,-",
                       "(3.5,1", "(3.5,1.", "(3.5,1E", "(3.5,1.0E7"};
  for (const char* text : cut) {
    EXPECT_EQ(show(scan(text, static_cast<int>(std::strlen(text)), 1).status), show(k24)) << text;
  }
  EXPECT_EQ(show(scan("(", 1, 1).status), show(k59));
}

TEST(NumberReader, ExponentForms) {
  check_rows({
      {"1.0D3", 1, kOk, "1000", kKeeps},
      {"1.0d3", 1, kOk, "1000", kKeeps},
      {"1.0e3", 1, kOk, "1000", kKeeps},
      {"1.0E3", 1, kOk, "1000", kKeeps},
      {"1.0q3", 1, kOk, "1000", kKeeps},
      {"1.0Q3", 1, kOk, "1000", kKeeps},
      {"1.0+3", 1, kOk, "1000", kKeeps},
      {"1000", 1, kOk, "1000", kKeeps},
      {"1000.", 1, kOk, "1000", kKeeps},
      {"1.0E+3", 1, kOk, "1000", kKeeps},
      {"1.0D+03", 1, kOk, "1000", kKeeps},
      {"10000-1", 1, kOk, "1000", kKeeps},
      {"+1.0Q+3", 1, kOk, "1000", kKeeps},
      {"1E0000000000000000000000003", 1, kOk, "1000", kKeeps},
      {"1E", 1, kOk, "1", kKeeps},
      {"1D", 1, kOk, "1", kKeeps},
      {"1.5q", 1, kOk, "1.5", kKeeps},
      {"-1.5e", 1, kOk, "-1.5", kKeeps},
      {".5", 1, kOk, "0.5", kKeeps},
      {"5.", 1, kOk, "5", kKeeps},
      {"+5", 1, kOk, "5", kKeeps},
      {"-.5", 1, kOk, "-0.5", kKeeps},
      {"+.5e1", 1, kOk, "5", kKeeps},
      {"5.+3", 1, kOk, "5000", kKeeps},
      {"2.5-3", 1, kOk, "0.0025", kKeeps},
      {"-1.5-2", 1, kOk, "-0.015", kKeeps},
      {"-2.5D-3", 1, kOk, "-0.0025", kKeeps},
      {"0.1", 1, kOk, "0.1", kKeeps},
      {"-0", 1, kOk, "-0.0", kKeeps},
      {"-0.0E5", 1, kOk, "-0.0", kKeeps},
      {"-0+5", 1, kOk, "-0.0", kKeeps},
      {"-.0q0", 1, kOk, "-0.0", kKeeps},
      {"+0", 1, kOk, "0", kKeeps},
      {"0", 1, kOk, "0", kKeeps},
      {"000.000", 1, kOk, "0", kKeeps},
      {"0E999999999999", 1, kOk, "0", kKeeps},
      {"0.000000000000000000000000000000000000001234e39", 1, kOk, "1.234", kKeeps},
      {"1234567890123456789012345678901234567890e-39", 1, kOk,
       "1.234567890123456789012345678901234567890", kKeeps},
  });
}

TEST(NumberReader, SyntaxErrors) {
  const char* texts[] = {".",      "+",     "-",        "5+",      "5+.", "1E+",    "E5",   "1.5.5",
                         "1E5E5",  "NaN",   "Infinity", "inf",     "nan", "2.5abc", "--5",  "+-5",
                         "-+5",    "1e5e",  "D5",       "1\r",     "+E5", "1+E5",   ".E5",  "1.5(",
                         "1.5'",   "1_000", "0x10",     "1,5.5.5", "'5",  "'",      "'5''", "\"5",
                         "1.5E3.", "\x01",  "1 2.5abc", "+.",      "-."};
  for (const char* text : texts) {
    EXPECT_EQ(show(scan_field(text, 2).status), show(k59)) << "field \"" << text << "\"";
  }
}

TEST(NumberReader, ConversionErrors) {
  const char* texts[] = {"1+5+5",   "1E5.5",   "'5'",        "\"5\"",
                         "'it''s'", "1E5+3",   "1+5E3",      ".+5",
                         "1E.5",    "1.8E308", "1E309",      "2E308",
                         "-1E309",  "1+5.5",   "\"a\"\"b\"", "1.7976931348623159E308"};
  for (const char* text : texts) {
    EXPECT_EQ(show(scan_field(text, 1).status), show(k64)) << "field \"" << text << "\"";
  }
  // The closing quote at the field's last character.
  EXPECT_EQ(show(scan("'5'", 3, 1).status), show(k64));
  EXPECT_EQ(show(scan("'5''", 4, 1).status), show(k59));
}

TEST(NumberReader, EndOfRecord) {
  check_rows({
      {"1.5", 2, k24, kKeeps, kKeeps},
      {"1.5,", 2, k24, kKeeps, kKeeps},
      {"1.5 , ", 2, k24, kKeeps, kKeeps},
      {"\t\t\t\t", 1, k24, kKeeps, kKeeps},
      {"", 1, k24, kKeeps, kKeeps},
      {"", 2, k24, kKeeps, kKeeps},
  });
  EXPECT_EQ(show(scan("", 0, 1).status), show(k24));
  EXPECT_EQ(show(scan("1.5", 3, 2).status), show(k24));
  EXPECT_EQ(show(scan("1.5,", 4, 2).status), show(k24));
  std::string tabs(kFieldLength, '\t');
  EXPECT_EQ(show(scan(tabs.data(), kFieldLength, 2).status), show(k24));
}

TEST(NumberReader, StopsWhenEveryTargetIsServed) {
  check_rows({
      {"1 2 abc", 2, kOk, "1", "2"},
      {"1 2,abc", 2, kOk, "1", "2"},
      {"1.5 2.5 3.5", 2, kOk, "1.5", "2.5"},
      {"1 2 'unclosed", 2, kOk, "1", "2"},
      {"1 2 (", 2, kOk, "1", "2"},
      {"1 2/", 2, kOk, "1", "2"},
      {"1 abc", 1, kOk, "1", kKeeps},
      {"1)", 1, kOk, "1", kKeeps},
      {"1*", 1, kOk, kKeeps, kKeeps},
  });
  // A value that runs to the very end of the field.
  std::string full(kFieldLength, '7');
  full[0] = '.';
  Outcome outcome = scan(full.data(), kFieldLength, 1);
  EXPECT_EQ(show(outcome.status), show(kOk));
  EXPECT_EQ(bits_of(outcome.first), bits_of(exact(full.c_str())));
}

// Exact decimal expansion of a long double (glibc prints it exactly).
std::string exact_decimal(long double value) {
  char text[1400];
  std::snprintf(text, sizeof text, "%.1100Le", value);
  // Drop trailing zeros of the mantissa; keep the exponent.
  std::string all(text);
  std::size_t e = all.find('e');
  std::string mantissa = all.substr(0, e);
  while (mantissa.back() == '0') mantissa.pop_back();
  if (mantissa.back() == '.') mantissa.pop_back();
  return mantissa + all.substr(e);
}

// The reader's result for one written form of a value.
void expect_reads_as(const std::string& text, double want) {
  Outcome outcome = scan(text.data(), static_cast<int>(text.size()), 1);
  if (std::isinf(want)) {
    EXPECT_EQ(show(outcome.status), show(k64)) << text;
    return;
  }
  ASSERT_EQ(show(outcome.status), show(kOk)) << text;
  EXPECT_EQ(bits_of(outcome.first), bits_of(want)) << text;
}

// Checks a text against the exact reference: the nearest real, or 64 when it
// rounds beyond the largest finite real. The same digits are also read with
// a D exponent letter and with a leading plus sign, forms that are rewritten
// before the conversion.
void expect_correctly_rounded(const std::string& text) {
  double want = exact(text.c_str());
  expect_reads_as(text, want);
  std::string with_letter = text;
  std::size_t e = with_letter.find_first_of("eE");
  if (e != std::string::npos) {
    with_letter[e] = 'D';
  } else {
    with_letter += 'd';
  }
  expect_reads_as(with_letter, want);
  if (text[0] != '-' && text[0] != '+') expect_reads_as("+" + text, want);
}

TEST(NumberReader, CorrectRoundingAtTheEdges) {
  const double largest = std::numeric_limits<double>::max();
  const double smallest = std::numeric_limits<double>::denorm_min();
  struct Edge {
    const char* text;
    double value;
  } edges[] = {
      {"1.7976931348623157E308", largest},
      {"1.7976931348623158E308", largest},
      {"-1.7976931348623158E308", -largest},
      {"4.9406564584124654E-324", smallest},
      {"2.4703282292062328E-324", smallest},
      {"-2.4703282292062328E-324", -smallest},
      {"2.4703282292062327E-324", 0.0},
      {"1E-400", 0.0},
      {"-1E-400", -0.0},
      {"1-400", 0.0},
      {"-1D-99999999999999999999", -0.0},
      {"2.2250738585072014E-308", DBL_MIN},
  };
  for (const Edge& edge : edges) {
    Outcome outcome = scan_field(edge.text, 1);
    ASSERT_EQ(show(outcome.status), show(kOk)) << edge.text;
    EXPECT_EQ(bits_of(outcome.first), bits_of(edge.value)) << edge.text;
  }
  const char* hard[] = {"2.2250738585072011e-308",
                        "2.2250738585072012e-308",
                        "1e-310",
                        "9.5e-322",
                        "1.7976931348623158079e308",
                        "1.797693134862315807937289714053e308",
                        "1E308",
                        "9007199254740993",
                        "9007199254740993.0000000000000000000000001",
                        "0.1",
                        "1e23",
                        "8.98846567431158e307",
                        "1.00000000000000011102230246251565404236316680908203125",
                        "1.00000000000000011102230246251565404236316680908203124",
                        "1.00000000000000011102230246251565404236316680908203126"};
  for (const char* text : hard) expect_correctly_rounded(text);
}

TEST(NumberReader, LongDigitStrings) {
  std::mt19937_64 random(12345);
  for (int length : {40, 100, 255, 300, 799, 800, 801, 1000, 2000}) {
    for (int round = 0; round < 20; ++round) {
      std::string text;
      for (int i = 0; i < length; ++i) text += static_cast<char>('0' + random() % 10);
      if (text[0] == '0') text[0] = '1';
      for (const char* exponent :
           {"", "e-300", "e-330", "e-700", "e-1000", "e-1400", "e-2000", "e-2300"}) {
        std::string with = text + exponent;
        // Exponents that put the value into range for the digit count.
        expect_correctly_rounded(with);
        expect_correctly_rounded("0." + with);
      }
    }
  }
}

// Midpoints between neighbouring reals and texts just beside them, in full
// (up to some 770 significant digits), then with far-off nonzero digits that
// only a correct reader notices.
TEST(NumberReader, HalfwayAndNearHalfway) {
  std::mt19937_64 random(777);
  std::vector<double> lows = {1.0,
                              0.1,
                              1e23,
                              9007199254740992.0,
                              DBL_MIN,
                              std::nextafter(DBL_MIN, 0.0),
                              std::numeric_limits<double>::denorm_min(),
                              3 * std::numeric_limits<double>::denorm_min(),
                              std::nextafter(std::numeric_limits<double>::max(), 0.0),
                              std::numeric_limits<double>::max()};
  for (int i = 0; i < 400; ++i) {
    std::uint64_t bits = random() & 0x7FEFFFFFFFFFFFFFull;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    lows.push_back(value);
  }
  for (double low : lows) {
    long double high = low == std::numeric_limits<double>::max()
                           ? std::ldexp(1.0L, 1024)
                           : static_cast<long double>(std::nextafter(low, INFINITY));
    long double middle = (static_cast<long double>(low) + high) / 2;
    std::string exact_middle = exact_decimal(middle);
    std::size_t e = exact_middle.find('e');
    std::string mantissa = exact_middle.substr(0, e);
    std::string exponent = exact_middle.substr(e);
    expect_correctly_rounded(exact_middle);
    expect_correctly_rounded("-" + exact_middle);
    // Just above: a nonzero digit far beyond the kept digits.
    expect_correctly_rounded(mantissa + std::string(900, '0') + "1" + exponent);
    expect_correctly_rounded(mantissa + "1" + exponent);
    // Just below: the last digit one less, then nines.
    std::string below = mantissa;
    below.back() = static_cast<char>(below.back() - 1);
    expect_correctly_rounded(below + exponent);
    expect_correctly_rounded(below + std::string(900, '9') + exponent);
    // Cut to 17 to 25 significant digits.
    for (int digits = 17; digits <= 25; ++digits) {
      if (static_cast<std::size_t>(digits + 1) < mantissa.size()) {
        expect_correctly_rounded(mantissa.substr(0, static_cast<std::size_t>(digits) + 1) +
                                 exponent);
      }
    }
  }
}

// Formats random reals of every magnitude in the forms data lines use and
// in every exponent form of the value syntax; each must read back to the
// reference value bit for bit.
TEST(NumberReader, RandomSweep) {
  const unsigned seed = 20240611u;
  std::mt19937_64 random(seed);
  const char* letters = "eEdDqQ";
  int failures = 0;
  for (int i = 0; i < 100000 && failures < 10; ++i) {
    double value;
    if (i % 2 == 0) {
      std::uint64_t bits;
      do {
        bits = random();
      } while (((bits >> 52) & 0x7FF) == 0x7FF);
      std::memcpy(&value, &bits, sizeof value);
    } else {
      std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
      value = std::ldexp(mantissa(random), static_cast<int>(random() % 2100) - 1074);
    }
    if (!std::isfinite(value)) continue;
    char text[64];
    int style = static_cast<int>(random() % 6);
    if (style == 2 && !(std::fabs(value) < 1e20)) style = 0;
    switch (style) {
      case 0:
        std::snprintf(text, sizeof text, "%.17g", value);
        break;
      case 1:
        std::snprintf(text, sizeof text, "%.16E", value);
        break;
      case 2:
        std::snprintf(text, sizeof text, "%.17f", value);
        break;
      case 3:
        std::snprintf(text, sizeof text, "%.*E", static_cast<int>(random() % 16), value);
        break;
      case 4:
        std::snprintf(text, sizeof text, "%.10g", value);
        break;
      default:
        std::snprintf(text, sizeof text, "%.12g", value);
        break;
    }
    double want = exact(text);
    // Seventeen significant digits give the real back exactly.
    if (style < 2) {
      ASSERT_EQ(bits_of(want), bits_of(value)) << text;
    }
    // Rewrite the exponent in another form the syntax allows.
    std::string written(text);
    std::size_t e = written.find_first_of("eE");
    int form = static_cast<int>(random() % 4);
    if (e != std::string::npos && form == 1) written[e] = letters[random() % 6];
    if (e != std::string::npos && form == 2)
      written.erase(e, 1);  // the sign alone starts the exponent
    if (form == 3 && written[0] != '-') written.insert(0, "+");
    // Lay it into a data line as the second value.
    std::string line =
        "  0.0010" + std::string(1 + random() % 3, random() % 2 ? ' ' : '\t') + written;
    if (random() % 4 == 0) line = "0.0010," + written;
    Outcome outcome = scan_field(line, 2);
    if (outcome.status != kOk || bits_of(outcome.second) != bits_of(want)) {
      ++failures;
      ADD_FAILURE() << "seed " << seed << " round " << i << ": \"" << line << "\" gave status "
                    << show(outcome.status) << " value " << outcome.second;
    }
  }
}

// The program's calls end the run on a failure with the diagnostic line.
}  // namespace
}  // namespace vorna
