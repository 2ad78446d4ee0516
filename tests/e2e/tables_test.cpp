// The command line reads its series as a table: delimiters, a header row,
// columns by number or name, missing values, date and clock times, the
// file's own times, decimal commas, --time-scale, and the line that names
// the place of a field it cannot read.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/program_text.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

using Listing = std::vector<std::pair<std::string, std::string>>;

std::string listing_of(const Listing& samples) {
  std::string text;
  for (const auto& sample : samples) text += listing_line(sample.first, sample.second);
  return text;
}

std::string header_note(const std::string& line) {
  return "vorna: info: s.csv:1: the first line is taken as a header naming the columns: \"" + line +
         "\"\r\n";
}

std::string warning(const std::string& text) { return "vorna: warning: " + text + "\r\n"; }

const std::string kConversionError =
    "vorna: severe (64): input conversion error, unit -5, file Internal List-Directed Read\r\n";
const std::string kEndOfRecord =
    "vorna: severe (24): end-of-file during read, unit -5, file Internal List-Directed Read\r\n";
const std::string kIsoFix = "write dates as 2024-03-05, date-times as 2024-03-05T14:00:00.250";

struct TableCase {
  const char* what;
  std::string table;
  std::vector<std::string> options;
  int status;
  std::string err;
  Listing listing;  // empty: no listing file
};

TEST(Tables, ReadAsTheFileHasThem) {
  const std::string kFourSamples = "0,1\n1,3\n2,0\n3,4\n";
  const Listing kFour = {{"0.000", "1.00000E+00"},
                         {"1.000", "3.00000E+00"},
                         {"2.000", "0.00000E+00"},
                         {"3.000", "4.00000E+00"}};
  const TableCase cases[] = {
      {"a header that starts with T and F is no truth value",
       "Time,Force\n" + kFourSamples,
       {},
       0,
       header_note("Time,Force"),
       kFour},
      {"a column by name, then ignoring case, and by number",
       "t,a,Force\n0,9,1\n1,9,3\n2,9,0\n3,9,4\n",
       {"-c", "force"},
       0,
       header_note("t,a,Force"),
       kFour},
      {"by number",
       "t;a;b\n0;9;1\n1;9;3\n2;9;0\n3;9;4\n",
       {"--column=3"},
       0,
       header_note("t;a;b"),
       kFour},
      {"the time column by name, quoted names, tabs",
       "\"v\"\t\"elapsed time\"\n1\t0\n3\t1\n0\t2\n4\t3\n",
       {"-t", "elapsed time", "-c", "1"},
       0,
       header_note("\"v\"?\"elapsed time\""),
       kFour},
      {"blanks and free-form commas",
       "# t v\n 0  1\n1,3\n2 ,  0\n\t3\t4 extra text\n",
       {},
       0,
       "",
       kFour},
      {"a long line is read whole",
       std::string(300, ' ') + "0 1\n1 3\n2 0\n3 4\n",
       {},
       0,
       "",
       kFour},
      {"semicolons and decimal commas",
       "t;v\n0,0;1,0\n0,5;3\n1,0;0\n1,5;4E0\n",
       {"--decimal-comma"},
       0,
       header_note("t;v"),
       {{"0.000", "1.00000E+00"},
        {"0.500", "3.00000E+00"},
        {"1.000", "0.00000E+00"},
        {"1.500", "4.00000E+00"}}},
      {"decimal commas without the option",
       "t;v\n0,0;1,0\n",
       {},
       59,
       header_note("t;v") + kSyntaxError +
           "vorna: s.csv:2: column 1 (\"t\") holds \"0,0\", a number with a decimal comma; if the "
           "commas are decimal commas, read the file with --decimal-comma\r\n",
       {}},
      {"decimal commas split by a comma delimiter",
       "0,25 1,5\n0,5 2,5\n",
       {},
       59,
       kSyntaxError +
           "vorna: s.csv:1: column 2 holds \"25 1\", not a number or a missing value; if the "
           "commas are decimal commas, read the file with --decimal-comma\r\n",
       {}},
      {"missing values of every kind leave their lines out",
       "t,v\n0,1\n1,\n2,NaN\n3,na\n4,N/A\n5,NULL\n6,-\n,7\n7,3\n8,0\n9,4\n",
       {},
       0,
       header_note("t,v") +
           warning("s.csv:3: 7 lines with a missing time or value (an empty field, NaN, NA, N/A, "
                   "null or -) left out, the first: \"1,\""),
       {{"0.000", "1.00000E+00"},
        {"7.000", "3.00000E+00"},
        {"8.000", "0.00000E+00"},
        {"9.000", "4.00000E+00"}}},
      {"a word is not a number",
       "t,v\n0,1\n1,high\n",
       {},
       59,
       header_note("t,v") + kSyntaxError +
           "vorna: s.csv:3: column 2 (\"v\") holds \"high\", not a number or a missing value\r\n",
       {}},
      {"list forms are not special",
       "0 1\n1 2*3\n",
       {},
       59,
       kSyntaxError + "vorna: s.csv:2: column 2 holds \"2*3\", not a number or a missing value\r\n",
       {}},
      {"beyond the range of reals",
       "0 1\n1 1E400\n",
       {},
       64,
       kConversionError +
           "vorna: s.csv:2: column 2 holds \"1E400\", beyond the range of 8-byte reals\r\n",
       {}},
      {"a short line",
       "0 1\n1\n",
       {},
       24,
       kEndOfRecord + "vorna: s.csv:2: the line ends before column 2: \"1\"\r\n",
       {}},
      {"ISO date-times with and without offsets",
       "when,v\n2024-03-05T14:00:00.250,1\n2024-03-05 14:00:01.250Z,3\n"
       "2024-03-05T15:00:02.25+01:00,0\n2024-03-05T13:00:03.250000-01:00,4\n",
       {},
       0,
       header_note("when,v"),
       {{"0.000", "1.00000E+00"},
        {"1.000", "3.00000E+00"},
        {"2.000", "0.00000E+00"},
        {"3.000", "4.00000E+00"}}},
      {"dates",
       "2024-02-28 1\n2024-02-29 3\n2024-03-01 0\n2024-03-02 4\n",
       {},
       0,
       "",
       {{"0.000", "1.00000E+00"},
        {"86400.000", "3.00000E+00"},
        {"172800.000", "0.00000E+00"},
        {"259200.000", "4.00000E+00"}}},
      {"clock times across midnight",
       "23:59:58,1\n23:59:59.5,3\n0:00:01,0\n00:00:02.5,4\n",
       {},
       0,
       warning("s.csv:3: the clock time goes back from the line before: taken as the next day "
               "(midnight passed): \"0:00:01,0\""),
       {{"0.000", "1.00000E+00"},
        {"1.500", "3.00000E+00"},
        {"3.000", "0.00000E+00"},
        {"4.500", "4.00000E+00"}}},
      {"a date form that is refused",
       "day,v\n2/27/2003,1\n",
       {},
       59,
       header_note("day,v") + kSyntaxError +
           "vorna: s.csv:2: column 1 (\"day\") holds "
           "\"2/27/2003\", a date that is not in ISO 8601 form; " +
           kIsoFix + "\r\n",
       {}},
      {"a dotted date",
       "05.03.2024 1\n",
       {},
       59,
       kSyntaxError +
           "vorna: s.csv:1: column 1 holds \"05.03.2024\", a date that is not in ISO "
           "8601 form; " +
           kIsoFix + "\r\n",
       {}},
      {"a month name",
       "Jan-1-1995,1\n",
       {},
       59,
       kSyntaxError +
           "vorna: s.csv:1: column 1 holds \"Jan-1-1995\", a date that is not in ISO "
           "8601 form; " +
           kIsoFix + "\r\n",
       {}},
      {"a year and month are no number",
       "2024-03 1\n",
       {},
       59,
       kSyntaxError +
           "vorna: s.csv:1: column 1 holds \"2024-03\", a date that is not in ISO 8601 "
           "form; " +
           kIsoFix + "\r\n",
       {}},
      {"a day that does not exist",
       "2024-02-29 1\n2023-02-29 2\n",
       {},
       59,
       kSyntaxError + "vorna: s.csv:2: column 1 holds \"2023-02-29\", a date or time of day that "
                      "does not exist\r\n",
       {}},
      {"a number among dates",
       "2024-02-28 1\n5 2\n",
       {},
       59,
       kSyntaxError +
           "vorna: s.csv:2: column 1 holds \"5\", not a date or clock time as the column's "
           "first\r\n",
       {}},
      {"a gap with the file's times",
       "0 1\n1 3\n2 0\n5 4\n6 2\n",
       {},
       0,
       warning("s.csv:4: the largest gap in the times is 3 (3 steps of DT = 1) after time 2; the "
               "reports keep the file's times, but an extremum inside a gap is not seen"),
       {{"0.000", "1.00000E+00"},
        {"1.000", "3.00000E+00"},
        {"2.000", "0.00000E+00"},
        {"5.000", "4.00000E+00"},
        {"6.000", "2.00000E+00"}}},
      {"a gap on the grid",
       "0 1\n1 3\n2 0\n5 4\n6 2\n",
       {"--times=grid"},
       0,
       warning("s.csv:4: time 5 is reported as 3: the reports assume an even increment DT = 1 "
               "(the first two samples' times) (and 1 more line)"),
       {{"0.000", "1.00000E+00"},
        {"1.000", "3.00000E+00"},
        {"2.000", "0.00000E+00"},
        {"3.000", "4.00000E+00"},
        {"4.000", "2.00000E+00"}}},
      {"10 kHz",
       "0 1\n0.0001 3\n0.0002 0\n0.0003 4\n",
       {},
       0,
       warning("the time increment DT = 0.0001 is under 0.0005: the reports' times have three "
               "decimals and cannot tell the samples apart; on the command line "
               "--time-scale=1000 multiplies every time by 1000"),
       {{"0.000", "1.00000E+00"},
        {"0.000", "3.00000E+00"},
        {"0.000", "0.00000E+00"},
        {"0.000", "4.00000E+00"}}},
      {"10 kHz in milliseconds",
       "0 1\n0.0001 3\n0.0002 0\n0.0003 4\n",
       {"--time-scale=1000", "--from=0.1"},
       0,
       "",
       {{"0.100", "3.00000E+00"}, {"0.200", "0.00000E+00"}, {"0.300", "4.00000E+00"}}},
      {"a window of date-times",
       "t,v\n2024-03-05T14:00:00,1\n2024-03-05T14:00:01,3\n"
       "2024-03-05T14:00:02,0\n2024-03-05T14:00:03,4\n2024-03-05T14:00:04,2\n",
       {"--from=2024-03-05T14:00:01", "--to=2024-03-05 15:00:03+01:00"},
       0,
       header_note("t,v"),
       {{"0.000", "3.00000E+00"}, {"1.000", "0.00000E+00"}, {"2.000", "4.00000E+00"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    write_file(dir.file("s.csv"), c.table);
    RunOptions options;
    options.arguments = c.options;
    options.arguments.push_back("s.csv");
    const RunResult run = run_vorna_with(dir.path(), "", options);
    EXPECT_EQ(run.status, c.status);
    std::string err = run.err;
    // The warning of too few extrema is not the point here.
    const std::size_t few = err.find("vorna: warning: fewer than two extrema");
    if (few != std::string::npos) err.erase(few, err.find('\n', few) + 1 - few);
    EXPECT_EQ(err, c.err);
    const bool listed = file_exists(dir.file("s.lst"));
    EXPECT_EQ(listed ? read_file(dir.file("s.lst")) : "(none)",
              c.listing.empty() ? "(none)" : listing_of(c.listing));
  }
}

// Public tables shipped as they are (tests/data/SOURCES.md); the expected
// extrema were counted apart from the program, with the values as written.
TEST(Tables, RealPublicTablesAreReadByHeaderAndColumn) {
  const struct {
    const char* file;
    std::vector<std::string> options;
    std::string header;
    std::string summary;
  } cases[] = {
      {"nile.csv", {}, "year,volume", console_summary("100", "99.000", "5.940E+02", "1913.000")},
      {"elnino.csv",
       {"-c", "jul"},
       "\"YEAR\",\"JAN\",\"FEB\",\"MAR\",\"APR\",\"MAY\",\"JUN\",\"JUL\",\"AUG\",\"SEP\",\"OCT\","
       "\"NOV\",\"DEC\"",
       console_summary("61", "60.000", "4.980E+00", "1985.000")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TempDir dir;
    write_file(dir.file(c.file),
               read_file(std::string(VORNA_SOURCE_DIR) + "/tests/data/" + c.file));
    RunOptions options;
    options.arguments = c.options;
    options.arguments.push_back(c.file);
    const RunResult run = run_vorna_with(dir.path(), "", options);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, c.summary);
    EXPECT_EQ(run.err, "vorna: info: " + std::string(c.file) +
                           ":1: the first line is taken as a header naming the columns: \"" +
                           c.header + "\"\r\n");
  }
}

}  // namespace
}  // namespace vorna_test
