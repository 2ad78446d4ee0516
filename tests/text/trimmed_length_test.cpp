#include "text/trimmed_length.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace vorna {
namespace {

struct TrimCase {
  std::string text;
  int expected;
};

// Shown as the text up to its trailing blanks, their count and the result.
void PrintTo(const TrimCase& c, std::ostream* out) {
  const std::size_t last = c.text.find_last_not_of(' ');
  const std::size_t end = last == std::string::npos ? 0 : last + 1;
  *out << '"';
  for (std::size_t i = 0; i < end; ++i) *out << (c.text[i] == '\t' ? "\\t" : c.text.substr(i, 1));
  *out << "\" and " << c.text.size() - end << " blanks: " << c.expected;
}

// Test names such as Field256Gives6: the field length and the result.
std::string case_name(const ::testing::TestParamInfo<TrimCase>& info) {
  return "Field" + std::to_string(info.param.text.size()) + "Gives" +
         std::to_string(info.param.expected);
}

class TrimmedLength : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimmedLength, IsThePositionOfTheLastNonBlank) {
  const TrimCase& c = GetParam();
  EXPECT_EQ(trimmed_length(c.text.data(), static_cast<int>(c.text.size())), c.expected);
}

std::string padded(const std::string& text, std::size_t length) {
  return text + std::string(length - text.size(), ' ');
}

INSTANTIATE_TEST_SUITE_P(Fields, TrimmedLength,
                         ::testing::Values(TrimCase{std::string(256, ' '), 0}, TrimCase{"", 0},
                                           TrimCase{std::string(255, ' ') + "x", 256},
                                           TrimCase{padded("a b  c", 256), 6},
                                           TrimCase{padded("name\t", 256), 5},
                                           // Text just before and after each probe position of a
                                           // 256-character field: 26, 51, 77, 102, 179.
                                           TrimCase{padded(std::string(25, 'x'), 256), 25},
                                           TrimCase{padded(std::string(26, 'x'), 256), 26},
                                           TrimCase{padded(std::string(51, 'x'), 256), 51},
                                           TrimCase{padded(std::string(77, 'x'), 256), 77},
                                           TrimCase{padded(std::string(178, 'x'), 256), 178},
                                           TrimCase{padded(std::string(179, 'x'), 256), 179},
                                           TrimCase{padded(std::string(180, 'x'), 256), 180},
                                           TrimCase{padded(" x", 80), 2},
                                           TrimCase{padded(std::string(56, 'y'), 80), 56},
                                           TrimCase{"x", 1}, TrimCase{" ", 0}, TrimCase{"ab", 2}),
                         case_name);

TEST(TrimmedLengthBounds, NegativeLengthIsZero) { EXPECT_EQ(trimmed_length("abc", -3), 0); }

}  // namespace
}  // namespace vorna
