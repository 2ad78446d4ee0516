#include "runtime/diagnostics.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/stop.h"
#include "runtime/units.h"

namespace vorna {
namespace {

TEST(ConditionCode, CarriesSeverityInTheTopBitsAndTheNumberBelow) {
  EXPECT_EQ(condition_code(24), 0xC0000018u);
  EXPECT_EQ(condition_code(59), 0xC000003Bu);
  EXPECT_EQ(condition_code(64), 0xC0000040u);
  EXPECT_EQ(condition_code(63), 0x8000003Fu);
  EXPECT_EQ(condition_code(200), 0x800000C8u);
}

// A failure that ends the run: its line, the where-line when it has one,
// and the status main ends with.
TEST(DiagnosticLine, SevereEndsTheRunWithItsNumber) {
  struct Case {
    Failure failure;
    const char* lines;
  } cases[] = {
      {{24, 5, nullptr, nullptr},
       "vorna: severe (24): end-of-file during read, unit 5, file CONIN$\r\n"},
      {{59, -5, nullptr, "vorna: s.txt:3: the value is not a number: \"1 x\""},
       "vorna: severe (59): list-directed I/O syntax error, unit -5, file Internal "
       "List-Directed Read\r\nvorna: s.txt:3: the value is not a number: \"1 x\"\r\n"},
      {{38, 6, nullptr, nullptr},
       "vorna: severe (38): error during write, unit 6, file CONOUT$\r\n"},
      {{66, -5, kInternalWriteName, nullptr},
       "vorna: severe (66): output statement overflows record, unit -5, file Internal "
       "Formatted Write\r\n"},
      {{41, kNoUnit, nullptr, nullptr}, "vorna: severe (41): insufficient virtual memory\r\n"},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(end_run(c.failure), c.failure.number);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.lines);
  }
}

TEST(DiagnosticLine, ErrorReturnsAndTheRunGoesOn) {
  ::testing::internal::CaptureStderr();
  report_unit_diagnostic(kOutputConversion, kConsoleOutput);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "vorna: error (63): output conversion error, unit 6, file CONOUT$\r\n");
}

TEST(DiagnosticLine, ShowsControlBytesInAFileNameAsQuestionMarks) {
  ::testing::internal::CaptureStderr();
  write_diagnostic_line(kFileNotFound, kListingUnit, "/tmp/a\nb\r\tc\x1b/list");
  write_note_line("waiting", kListingUnit, "x\ny");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "vorna: severe (29): file not found, unit 36, file /tmp/a?b??c?/list\r\n"
            "vorna: info: waiting, unit 36, file x?y\r\n");
}

TEST(DiagnosticLine, ShowsDeleteC1ControlsAndBytesOutsideUtf8AsQuestionMarks) {
  struct Case {
    const char* name;
    const char* shown;
  } cases[] = {
      {"a\x7f"
       "b",
       "a?b"},  // DEL
      {"a\x9b"
       "2J",
       "a?2J"},  // a raw terminal escape introducer
      {"a\xc2\x9b"
       "b",
       "a?b"},                                       // the same as a UTF-8 character (U+009B)
      {"gr\xc3\xbc\xc3\x9f", "gr\xc3\xbc\xc3\x9f"},  // U+00FC U+00DF stay
      {"\xe2\x82\xac\xf0\x9f\x98\x80", "\xe2\x82\xac\xf0\x9f\x98\x80"},  // 3 and 4 bytes
      {"\xc2\xa0", "\xc2\xa0"},      // U+00A0, the first after the controls
      {"\xc0\x80", "??"},            // an overlong NUL
      {"\xed\xa0\x80", "???"},       // a surrogate
      {"\xf4\x90\x80\x80", "????"},  // past U+10FFFF
      {"\xe2\x82", "??"},            // cut at the end of the name
      {"\xe2\x82x", "??x"},          // cut by an ASCII byte
      {"\x80\xbf", "??"},            // stray continuation bytes
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    write_diagnostic_line(kFileNotFound, kListingUnit, c.name);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              std::string("vorna: severe (29): file not found, unit 36, file ") + c.shown + "\r\n")
        << c.shown;
  }
}

// A name longer than a line holds is cut before a character that does not
// fit whole; the line still ends, and the text written stays the line's.
TEST(DiagnosticLine, ALongNameIsCutBetweenCharactersAndTheLineStillEnds) {
  std::string name;
  while (name.size() < 9000) name += "\xe2\x82\xac";  // U+20AC, 3 bytes
  LineText line;
  line.add("vorna: x ").add_name(name.c_str());
  const std::string text = line.text();
  ::testing::internal::CaptureStderr();
  write_error_line(line);
  const std::string written = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(written, text + "\r\n");
  EXPECT_EQ((text.size() - 9) % 3, 0u);  // whole characters only
  EXPECT_GT(text.size(), 8100u);
  EXPECT_EQ(line.text(), text);
}

}  // namespace
}  // namespace vorna
