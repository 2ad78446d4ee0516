#include "runtime/write_statement.h"

#include <gtest/gtest.h>

#include <string>

namespace vorna {
namespace {

std::string into_text(WriteStatement& statement, std::size_t length) {
  std::string target(length, '?');
  statement.finish_into(target.data(), length);
  return target;
}

TEST(WriteStatement, TextsArePlacedWithAllTheirBlanks) {
  WriteStatement s(0);
  s.text("ab ").text("  c  ");
  EXPECT_EQ(into_text(s, 12), "ab   c      ");
}

TEST(WriteStatement, BlankSkipPutsBlanksBeforeALaterText) {
  WriteStatement s(0);
  s.skip(6).text("x");
  EXPECT_EQ(into_text(s, 8), "      x ");
}

TEST(WriteStatement, TrailingBlankSkipDoesNotLengthenTheRecord) {
  WriteStatement s(0);
  s.text("ab").skip(5);
  std::string target(4, '?');
  s.finish_into(target.data(), 4);  // two columns transferred: fits in four
  EXPECT_EQ(target, "ab  ");
}

TEST(WriteStatement, FieldsFollowEachOther) {
  WriteStatement s(0);
  s.text(" Date : ").integer(2007, 4).text("-").integer(3, 2, 2);
  EXPECT_EQ(into_text(s, 20), " Date : 2007-03     ");
}

}  // namespace
}  // namespace vorna
