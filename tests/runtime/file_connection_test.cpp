#include "runtime/file_connection.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "runtime/diagnostics.h"
#include "runtime/line_reader.h"
#include "runtime/units.h"
#include "support/run_vorna.h"

namespace vorna {
namespace {

using vorna_test::TempDir;

std::string field_of(const std::string& name) { return name + std::string(256 - name.size(), ' '); }

int open_error(const std::string& name, int unit, int status_code) {
  int error_code = 12345;
  open_unit_file(name.data(), static_cast<int>(name.size()), unit, status_code, error_code);
  EXPECT_FALSE(close_unit(unit).failed());
  return error_code;
}

TEST(OpenUnitFile, UnitsOutsideOneTo99AreRefusedBeforeAnyFileIsTouched) {
  TempDir dir;
  const std::string name = dir.file("created");
  EXPECT_EQ(open_error(name, 0, kStatusUnknown), kUnitOutOfRange);
  EXPECT_EQ(open_error(name, 100, kStatusUnknown), kUnitOutOfRange);
  EXPECT_EQ(open_error(name, -5, kStatusUnknown), kUnitOutOfRange);
  EXPECT_FALSE(vorna_test::file_exists(name));
}

TEST(OpenUnitFile, UnitsOneAnd99AreAccepted) {
  TempDir dir;
  EXPECT_EQ(open_error(dir.file("one"), 1, kStatusUnknown), 0);
  EXPECT_EQ(open_error(dir.file("ninety-nine"), 99, kStatusUnknown), 0);
  EXPECT_TRUE(vorna_test::file_exists(dir.file("one")));
}

TEST(OpenUnitFile, FailuresCarryTheirErrorNumbers) {
  TempDir dir;
  vorna_test::write_file(dir.file("plain"), "x\n");
  struct Case {
    std::string name;
    int status_code;
    int expected;
  } cases[] = {
      {dir.file("missing"), kStatusOld, -29},
      {dir.file("no/such/dir/file"), kStatusUnknown, -29},
      {dir.file("plain/below"), kStatusUnknown, -29},  // a file in the path is not a directory
      {dir.path(), kStatusOld, -30},                   // a directory
      {"", kStatusUnknown, -30},
      {"   ", kStatusUnknown, -30},
      {std::string(256, 'n'), kStatusUnknown, -43},  // longer than a name may be
      {dir.file("plain"), kStatusOld, 0},
      {"  " + dir.file("plain") + "  ", kStatusOld, 0},
      {dir.file("new"), kStatusUnknown, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(open_error(c.name, kSeriesUnit, c.status_code), c.expected) << c.name;
  }
  EXPECT_TRUE(vorna_test::file_exists(dir.file("new")));
}

TEST(OpenTextFile, FlagTellsTheLatestAttempt) {
  TempDir dir;
  int flag = 0;
  std::string missing = field_of(dir.file("missing"));
  open_text_file(missing.data(), 256, kSeriesUnit, 1, flag);
  EXPECT_EQ(flag, -1);
  EXPECT_FALSE(unit_connected(kSeriesUnit));
  vorna_test::write_file(dir.file("there"), "1 2\n");
  std::string there = field_of(dir.file("there"));
  open_text_file(there.data(), 256, kSeriesUnit, 1, flag);
  EXPECT_EQ(flag, 0);
  EXPECT_TRUE(unit_connected(kSeriesUnit));
  EXPECT_STREQ(unit_file_name(kSeriesUnit), dir.file("there").c_str());
  EXPECT_FALSE(close_unit(kSeriesUnit).failed());
  std::string blank(256, ' ');
  open_text_file(blank.data(), 256, kSeriesUnit, 0, flag);
  EXPECT_EQ(flag, -1);
}

TEST(OpenTextFile, RelativeNamesAreMadeAbsolute) {
  TempDir dir;
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  int flag = 0;
  std::string name = field_of("relative.prt");
  open_text_file(name.data(), 256, kPrintUnit, 0, flag);
  EXPECT_EQ(flag, 0);
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  EXPECT_EQ(std::string(unit_file_name(kPrintUnit)), std::string(here) + "/relative.prt");
  EXPECT_FALSE(close_unit(kPrintUnit).failed());
  ASSERT_EQ(chdir(previous), 0);
}

TEST(OpenTextFile, UnknownStatusLeavesAnExistingFileUntouched) {
  TempDir dir;
  vorna_test::write_file(dir.file("old.prt"), "keep me\n");
  int flag = 0;
  std::string name = field_of(dir.file("old.prt"));
  open_text_file(name.data(), 256, kPrintUnit, 0, flag);
  EXPECT_EQ(flag, 0);
  EXPECT_FALSE(close_unit(kPrintUnit).failed());
  EXPECT_EQ(vorna_test::read_file(dir.file("old.prt")), "keep me\n");
}

TEST(OpenTextFile, FirstWriteCutsTheFileOffAfterTheRecordsWritten) {
  TempDir dir;
  vorna_test::write_file(dir.file("old.prt"), std::string(1000, 'o'));
  int flag = 0;
  std::string name = field_of(dir.file("old.prt"));
  open_text_file(name.data(), 256, kPrintUnit, 0, flag);
  EXPECT_FALSE(unit_write(kPrintUnit, "new\r\n", 5).failed());
  EXPECT_FALSE(close_unit(kPrintUnit).failed());
  EXPECT_EQ(vorna_test::read_file(dir.file("old.prt")), "new\r\n");
}

TEST(OpenUnitFile, AFileConnectedToOneUnitIsRefusedToAnother) {
  TempDir dir;
  vorna_test::write_file(dir.file("data"), "1 2\n");
  ASSERT_EQ(link(dir.file("data").c_str(), dir.file("link").c_str()), 0);
  int error_code = 0;
  const std::string data = dir.file("data");
  open_unit_file(data.data(), static_cast<int>(data.size()), kPrintUnit, kStatusUnknown,
                 error_code);
  ASSERT_EQ(error_code, 0);
  EXPECT_EQ(open_error(dir.file("data"), kSeriesUnit, kStatusOld), -30);
  EXPECT_EQ(open_error(dir.file("link"), kSeriesUnit, kStatusOld), -30);
  EXPECT_FALSE(close_unit(kPrintUnit).failed());
  EXPECT_EQ(open_error(dir.file("link"), kSeriesUnit, kStatusOld), 0);
  // A device may serve several units.
  open_unit_file("/dev/null", 9, kPrintUnit, kStatusUnknown, error_code);
  EXPECT_EQ(error_code, 0);
  EXPECT_EQ(open_error("/dev/null", kSeriesUnit, kStatusOld), 0);
  EXPECT_FALSE(close_unit(kPrintUnit).failed());
}

TEST(ReadLine, ReconnectingAUnitStartsItsInputAfresh) {
  TempDir dir;
  vorna_test::write_file(dir.file("first"), "first 1\nfirst 2\n");
  vorna_test::write_file(dir.file("second"), "second 1\n");
  char field[16];
  int flag = 0;
  std::string name = field_of(dir.file("first"));
  open_text_file(name.data(), 256, kSeriesUnit, 1, flag);
  ASSERT_EQ(read_line(kSeriesUnit, field, sizeof field, true), 0);
  EXPECT_EQ(std::string(field, 7), "first 1");
  name = field_of(dir.file("second"));
  open_text_file(name.data(), 256, kSeriesUnit, 1, flag);
  ASSERT_EQ(read_line(kSeriesUnit, field, sizeof field, true), 0);
  EXPECT_EQ(std::string(field, 8), "second 1");
  EXPECT_EQ(read_line(kSeriesUnit, field, sizeof field, true), -1);
  EXPECT_FALSE(close_unit(kSeriesUnit).failed());
}

// The end of a stream where a line is due, and a read of an unconnected
// unit, are failures given back as values: the run decides how it ends.
TEST(ReadLine, AnEndWhereALineIsDueIsTheFailure24ForTheUnit) {
  TempDir dir;
  vorna_test::write_file(dir.file("one"), "only\n");
  char field[8];
  int flag = 0;
  std::string name = field_of(dir.file("one"));
  open_text_file(name.data(), 256, kSeriesUnit, 1, flag);
  ASSERT_EQ(read_line(kSeriesUnit, field, sizeof field, false), kRecordRead);
  const int status = read_line(kSeriesUnit, field, sizeof field, false);
  EXPECT_EQ(status, kEndOfFile);
  const Failure failure = read_failure(status, kSeriesUnit);
  EXPECT_EQ(failure.number, kEndOfFile);
  EXPECT_EQ(failure.unit, kSeriesUnit);
  EXPECT_EQ(std::string(field, 4), "only");  // left as it was
  EXPECT_FALSE(close_unit(kSeriesUnit).failed());
  EXPECT_EQ(read_line(kSeriesUnit, field, sizeof field, true), kReadError);
}

}  // namespace
}  // namespace vorna
