#include "runtime/write_statement.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/unit_table.h"

namespace vorna {
namespace {

std::string into_text(WriteStatement& statement, std::size_t length) {
  std::string target(length, '?');
  statement.finish_into(target.data(), length);
  return target;
}

TEST(WriteStatement, TextsArePlacedWithAllTheirBlanks) {
  WriteTally tally;
  WriteStatement s(tally, 0);
  s.text("ab ").text("  c  ");
  EXPECT_EQ(into_text(s, 12), "ab   c      ");
}

TEST(WriteStatement, BlankSkipPutsBlanksBeforeALaterText) {
  WriteTally tally;
  WriteStatement s(tally, 0);
  s.skip(6).text("x");
  EXPECT_EQ(into_text(s, 8), "      x ");
}

TEST(WriteStatement, TrailingBlankSkipDoesNotLengthenTheRecord) {
  WriteTally tally;
  WriteStatement s(tally, 0);
  s.text("ab").skip(5);
  std::string target(4, '?');
  s.finish_into(target.data(), 4);  // two columns transferred: fits in four
  EXPECT_EQ(target, "ab  ");
}

TEST(WriteStatement, FieldsFollowEachOther) {
  WriteTally tally;
  WriteStatement s(tally, 0);
  s.text(" Date : ").integer(2007, 4).text("-").integer(3, 2, 2);
  EXPECT_EQ(into_text(s, 20), " Date : 2007-03     ");
}

// A record longer than its room is the severe 66, kept in the tally; the
// target is left as it was and nothing more is written through the tally.
TEST(WriteStatement, ARecordTooLongIsAFailureInTheTally) {
  WriteTally tally;
  WriteStatement s(tally, kInternalUnit);
  s.text("abcdef");
  std::string target(4, '?');
  s.finish_into(target.data(), 4);
  EXPECT_EQ(target, "????");
  EXPECT_EQ(tally.failure.number, 66);
  EXPECT_STREQ(tally.failure.file_name, kInternalWriteName);
  WriteStatement beyond(tally, kInternalUnit);
  beyond.skip(static_cast<int>(WriteStatement::kRecordCapacity)).text("x");
  beyond.finish_into(target.data(), 4);
  EXPECT_EQ(target, "????");
}

}  // namespace
}  // namespace vorna
