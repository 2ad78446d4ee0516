// The lines a run adds on standard error: where a failed data line or answer
// stands, and the warnings about reports that would mislead. Each leaves the
// numbered diagnostic, the console, both files and the status as they were.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "support/program_text.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

struct Outcome {
  RunResult result;
  std::string print;  // after the date stamp line
  std::string listing;
};

Outcome run_series(const std::string& series, const std::string& answers,
                   const std::string& name = "s.txt") {
  TempDir dir;
  write_file(dir.file(name), series);
  Outcome run{run_vorna(dir.path(), answers), "", ""};
  const std::string print = read_file(dir.file("out.prt"));
  if (!print.empty()) run.print = after_stamp_line(print);
  if (file_exists(dir.file("fort.36"))) run.listing = read_file(dir.file("fort.36"));
  return run;
}

const std::string kEndOfLine =
    "vorna: severe (24): end-of-file during read, unit -5, file Internal List-Directed Read\r\n";
const std::string kConversion =
    "vorna: severe (64): input conversion error, unit -5, file Internal List-Directed Read\r\n";
const std::string kBeyondRange =
    " cannot be converted (beyond the range of 8-byte reals, or text in quotes): ";

struct WhereCase {
  const char* name;
  std::string series;
  std::string answers;
  int status;
  std::string diagnostic;  // the numbered line, as it was before where-lines
  std::string where;
};

TEST(WhereLines, FollowTheDiagnosticOfAFailedDataLineOrAnswer) {
  const std::string run = "out.prt\ns.txt\n";
  const WhereCase cases[] = {
      {"value with letters", "# t v\n0 1\n\n149.999 2.5abc\n", run + "\n\n", 59, kSyntaxError,
       "s.txt:4: the value is not a number: \"149.999 2.5abc\""},
      {"value missing", "0 1\n1   \n", run + "\n\n", 24, kEndOfLine,
       "s.txt:2: no value on the line: \"1\""},
      {"time beyond range", "1E999 1\n", run + "\n\n", 64, kConversion,
       "s.txt:1: the time" + kBeyondRange + "\"1E999 1\""},
      {"control bytes and a long line", "0 1\n1 2\x01" + std::string(100, 'x') + "\n", run + "\n\n",
       59, kSyntaxError,
       "s.txt:2: the value is not a number: \"1 2?" + std::string(76, 'x') + "...\""},
      {"UTF-8 kept, a stray byte shown", "0 1\n1 2\xc3\xa9\xff\n", run + "\n\n", 59, kSyntaxError,
       "s.txt:2: the value is not a number: \"1 2\xc3\xa9?\""},
      {"first time answer", "0 1\n", run + "start\n\n", 59, kSyntaxError,
       "(standard input):3: the First Time answer is not a number: \"start\""},
      {"last time answer", "0 1\n", run + "\n1E400\n", 64, kConversion,
       "(standard input):4: the Last Time answer" + kBeyondRange + "\"1E400\""},
      {"misspelt series name", "0 1\n", "out.prt\nwave.tx\n0\n10\n", 24, kEndOfInput,
       "(standard input):4: the answers ended while a file name was asked for again; the last "
       "one was refused (no such file or folder): \"10\""},
  };
  for (const WhereCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome r = run_series(c.series, c.answers);
    EXPECT_EQ(r.result.status, c.status);
    EXPECT_EQ(r.result.err, c.diagnostic + "vorna: " + c.where + "\r\n");
    EXPECT_EQ(r.result.out.find(" Number of steps"), std::string::npos);
  }
}

TEST(WhereLines, NameTheSeriesFileAsGivenWithControlBytesShownAsQuestionMarks) {
  const Outcome r = run_series("0 1\n1 x\n", "out.prt\n  a\tb.txt  \n\n\n", "a\tb.txt");
  EXPECT_EQ(r.result.err,
            kSyntaxError + "vorna: a?b.txt:2: the value is not a number: \"1 x\"\r\n");
}

struct WarningCase {
  const char* name;
  std::string series;
  std::string window;
  std::string warning;     // without "vorna: warning: " and CR LF
  std::string same_as;     // a series that gives the same reports silently
  std::string its_window;  // and its window answers
};

TEST(Warnings, SayWhatIsOffAndChangeNothingElse) {
  const std::string no_listing =
      "; no listing file is written (one from an earlier run stays "
      "as it was)";
  const WarningCase cases[] = {
      {"uneven spacing", "0 1\n1 2\n3 3\n3.5 2\n4 1\n5 2\n", "\n\n",
       "s.txt:3: time 3 is reported as 2: the reports assume an even increment DT = 1 (the first "
       "two samples' times) (and 1 more line)",
       "0 1\n1 2\n2 3\n3 2\n4 1\n5 2\n", "\n\n"},
      {"just beyond half the last decimal", "0 1\n0.01 2\n0.0206 1\n0.03 2\n", "\n\n",
       "s.txt:3: time 0.0206 is reported as 0.02: the reports assume an even increment DT = 0.01 "
       "(the first two samples' times)",
       "0 1\n0.01 2\n0.02 1\n0.03 2\n", "\n\n"},
      {"just beyond 1 % of the increment", "0 1\n1 2\n2.011 1\n3 2\n", "\n\n",
       "s.txt:3: time 2.011 is reported as 2: the reports assume an even increment DT = 1 (the "
       "first two samples' times)",
       "0 1\n1 2\n2 1\n3 2\n", "\n\n"},
      {"times repeat", "1 1\n1 2\n# c\n1 1\n1 2\n", "\n\n",
       "s.txt:2: time 1 is not above the time before it, 1: \"1 2\"; the reports assume times "
       "that increase (and 2 more lines)",
       "", ""},
      {"decimal commas", "0,20\t0,1987\n0,40\t0,1983\n0,30\t0,1980\n0,50\t0,1977\n", "\n\n",
       "s.txt:2: time 0 is not above the time before it, 0: \"0,40?0,1983\"; the reports assume "
       "times that increase (a comma separates numbers: no decimal commas) (and 2 more lines)",
       "", ""},
      {"header read as truth values", "time,force\n0 1\n1 false\n2 1\n", "-1E30\n\n",
       "s.txt:1: a word starting with T or F was read as a truth value (-1 or 0): "
       "\"time,force\"; a header line needs #, $ or ! first (and 1 more line)",
       "-1 0\n0 1\n1 0\n2 1\n", "-1E30\n\n"},
      {"a value kept from the line before", "0 1\n1,,\n2 3\n3 1\n4 2\n", "\n\n",
       "s.txt:2: the line gives no value (an empty field between commas, or a slash), so the one "
       "before, 1, is kept: \"1,,\"",
       "0 1\n1 1\n2 3\n3 1\n4 2\n", "\n\n"},
      {"times finer than the reports show", "0 1\n0.0001 2\n0.0002 1\n0.0003 2\n", "\n\n",
       "the time increment DT = 0.0001 is under 0.0005: the reports' times have three decimals "
       "and cannot tell the samples apart; on the command line --time-scale=1000 multiplies "
       "every time by 1000",
       "", ""},
      {"passed over before the window", "-2 1\n-1 2\n0 3\n1 2\n2 1\n3 2\n4 1\n", "\n\n",
       "2 samples with times below 0 passed over: an empty First Time answer is 0, not the "
       "whole series; answer -1E30 to include them",
       "0 3\n1 2\n2 1\n3 2\n4 1\n", "\n\n"},
      {"no data lines", "# only\n\n", "\n\n",
       "no samples in the time window: the file holds no data lines" + no_listing, "", ""},
      {"first time above last", "0 1\n", "5\n1\n",
       "no samples in the time window: the First Time 5 is above the Last Time 1" + no_listing, "",
       ""},
      {"first line past the end", "# h\n2 1\n", "\n1\n",
       "s.txt:2: no samples in the time window: time 2 is past the Last Time 1 and ends the "
       "reading" +
           no_listing,
       "", ""},
      {"all before the start", "0 1\n1 1\n", "5\n\n",
       "no samples in the time window: all 2 data lines have times below the First Time 5" +
           no_listing,
       "", ""},
  };
  for (const WarningCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome r = run_series(c.series, "out.prt\ns.txt\n" + c.window);
    EXPECT_EQ(r.result.status, 0);
    EXPECT_EQ(r.result.err, "vorna: warning: " + c.warning + "\r\n");
    if (c.same_as.empty()) continue;
    const Outcome same = run_series(c.same_as, "out.prt\ns.txt\n" + c.its_window);
    EXPECT_EQ(same.result.err, "");
    EXPECT_EQ(r.result.out, same.result.out);
    EXPECT_EQ(r.print, same.print);
    EXPECT_EQ(r.listing, same.listing);
  }
}

TEST(Warnings, ComeBeforeTheSummaryOneLineAKindInAFixedOrder) {
  TempDir dir;
  write_file(dir.file("s.txt"), "true 1\n0 1\n2 2\n1 2\n");
  RunOptions merged;
  merged.merge_error_into_output = true;
  const RunResult run = run_vorna_with(dir.path(), "out.prt\ns.txt\n-1E30\n\n", merged);
  const std::string warnings =
      "vorna: warning: s.txt:1: a word starting with T or F was read as a truth value (-1 or 0): "
      "\"true 1\"; a header line needs #, $ or ! first\r\n"
      "vorna: warning: s.txt:4: time 1 is not above the time before it, 2: \"1 2\"; the reports "
      "assume times that increase\r\n"
      "vorna: warning: s.txt:3: time 2 is reported as 1: the reports assume an even increment "
      "DT = 1 (the first two samples' times) (and 1 more line)\r\n";
  EXPECT_EQ(run.out.substr(0, banner().size() + kPrompts.size() + warnings.size()),
            banner() + kPrompts + warnings);
}

TEST(Warnings, CleanFilesStaySilent) {
  const std::string cases[][2] = {
      {read_file(std::string(VORNA_SOURCE_DIR) + "/examples/wave.txt"), "\n\n"},
      {"0 1\n0.01 2\n0.0204 1\n0.03 2\n", "\n\n"},  // within the spacing tolerance
      {"0 1\n1 2\n2.009 1\n3 2\n", "\n\n"},
      {"-2 1\n-1 2\n0 3\n1 2\n2 3\n3 2\n", "0\n\n"},  // a First Time given as 0
      {"0 1\n1 2\n2 1\n3 2\n4 1\n", "\n3.5\n"},       // the window ends the reading
  };
  for (const auto& c : cases) {
    const Outcome r = run_series(c[0], "out.prt\ns.txt\n" + c[1]);
    EXPECT_EQ(r.result.status, 0);
    EXPECT_EQ(r.result.err, "") << c[0].substr(0, 40);
  }
}

// A million samples at times k * 0.001 in the number layouts that series
// files mix (fixed decimals of 3 to 6 digits, %g, blanks, tabs, commas,
// columns), a comment line every 50,000 samples: the times the file gives
// and the times the reports rebuild never drift apart.
TEST(Warnings, SlowAMillionEvenlySpacedSamplesInMixedLayoutsStaySilent) {
  const char* const layouts[] = {"  %.4f   %.13E\n", "%.3f\t%.10e\n", "%.4f, %.8f\n",
                                 "%12.5f%24.15E\n",  "%.10g,%.12g\n", " %.6f \t %.9E \n"};
  std::string series = "# time value\n\n";
  series.reserve(40'000'000);
  char line[96];
  for (int k = 0; k < 1'000'000; ++k) {
    if (k > 0 && k % 50'000 == 0) series += "# record continues\n";
    const double time = k * 0.001;
    std::snprintf(line, sizeof line, layouts[(k / 997) % 6], time, std::sin(time * 2.3));
    series += line;
  }
  const Outcome r = run_series(series, "out.prt\ns.txt\n\n\n");
  EXPECT_EQ(r.result.status, 0);
  EXPECT_EQ(r.result.err, "");
  EXPECT_NE(r.result.out.find("Number of steps in Time Series:     1000000"), std::string::npos);
}

}  // namespace
}  // namespace vorna_test
