#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorna {
namespace {

// The settings point into the arguments, so they are kept with them.
struct Parsed {
  std::vector<std::string> arguments;
  CommandLineRequest request;
  RunSettings settings;
  std::string problem;
};

Parsed parse(const std::vector<std::string>& arguments) {
  Parsed parsed;
  parsed.arguments = arguments;
  parsed.arguments.insert(parsed.arguments.begin(), "vorna");
  std::vector<char*> argv;
  for (std::string& argument : parsed.arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  char problem[512] = "";
  parsed.request = read_command_line(static_cast<int>(parsed.arguments.size()), argv.data(),
                                     parsed.settings, problem, sizeof problem);
  parsed.problem = problem;
  return parsed;
}

std::string shown(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) text += " [" + argument + "]";
  return text;
}

TEST(CommandLine, HelpVersionDialogueOrRun) {
  const struct {
    std::vector<std::string> arguments;
    CommandLineRequest expected;
  } cases[] = {
      {{}, CommandLineRequest::kDialogue},
      {{"--help"}, CommandLineRequest::kHelp},
      {{"-h"}, CommandLineRequest::kHelp},
      {{"--version"}, CommandLineRequest::kVersion},
      {{"-V"}, CommandLineRequest::kVersion},
      {{"series.txt", "-h"}, CommandLineRequest::kHelp},
      {{"-V", "--help"}, CommandLineRequest::kVersion},
      {{"--help", "--version"}, CommandLineRequest::kHelp},
      {{"--he"}, CommandLineRequest::kHelp},  // a unique prefix
      {{"-qV"}, CommandLineRequest::kVersion},
      // Answered before anything else, a wrong option or value too.
      {{"-h", "--bogus"}, CommandLineRequest::kHelp},
      {{"-help"}, CommandLineRequest::kHelp},  // -h first, then the wrong -e
      {{"--to=x", "-x", "-V"}, CommandLineRequest::kVersion},
      {{"-o"}, CommandLineRequest::kUsageError},
      {{"-o", "-h"}, CommandLineRequest::kUsageError},  // -h is the print file's name
      {{"series.txt"}, CommandLineRequest::kRun},
      {{"--", "--help"}, CommandLineRequest::kRun},  // a series named --help
      {{"-"}, CommandLineRequest::kRun},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse(c.arguments).request, c.expected) << "arguments:" << shown(c.arguments);
  }
}

const std::string kTimeForms = " (a number, or an ISO 8601 date-time, date or clock time)";

TEST(CommandLine, UsageErrorsNameTheProblem) {
  const struct {
    std::vector<std::string> arguments;
    std::string problem;
  } cases[] = {
      {{"--helpx"}, "unrecognized option '--helpx'"},
      {{"-qe"}, "invalid option -- 'e'"},
      {{"--verbose", "s.txt"}, "unrecognized option '--verbose'"},
      {{"-x", "s.txt"}, "invalid option -- 'x'"},
      {{"s.txt", "-o"}, "option requires an argument -- 'o'"},
      {{"s.txt", "--listing"}, "option '--listing' requires an argument"},
      {{"--quiet=yes", "s.txt"}, "option '--quiet' doesn't allow an argument"},
      {{"--json=1", "s.txt"}, "option '--json' doesn't allow an argument"},
      // A shortened long option is named in full.
      {{"s.txt", "--list"}, "option '--listing' requires an argument"},
      {{"--qui=yes", "s.txt"}, "option '--quiet' doesn't allow an argument"},
      {{"a.txt", "b.txt"}, "extra operand 'b.txt'"},
      {{"-q"}, "missing SERIES operand"},
      {{"--from=abc", "s.txt"}, "invalid time for --from: 'abc'" + kTimeForms},
      {{"--to", "1.5.5", "s.txt"}, "invalid time for --to: '1.5.5'" + kTimeForms},
      {{"--to", "1E309", "s.txt"}, "invalid time for --to: '1E309'" + kTimeForms},
      {{"--from", "1", "--to", "5,", "--from=NaN", "s.txt"},
       "invalid time for --from: 'NaN'" + kTimeForms},
      // Strict: the dialogue's empty answer, leading blank, slash and
      // trailing text are no TIME here.
      {{"--from=", "s.txt"}, "invalid time for --from: ''" + kTimeForms},
      {{"--from= 5", "s.txt"}, "invalid time for --from: ' 5'" + kTimeForms},
      {{"--to=/", "s.txt"}, "invalid time for --to: '/'" + kTimeForms},
      {{"--to=7,x", "s.txt"}, "invalid time for --to: '7,x'" + kTimeForms},
      {{"--from=2,5", "s.txt"},
       "invalid time for --from: '2,5' (a decimal comma needs --decimal-comma)"},
      {{"--decimal-comma", "--from=2.5", "s.txt"}, "invalid time for --from: '2.5'" + kTimeForms},
      {{"--to=2/27/2003", "s.txt"},
       "invalid time for --to: '2/27/2003' (write dates in ISO 8601: 2024-03-05, "
       "2024-03-05T14:00:00.250)"},
      {{"--to=2024-02-30", "s.txt"},
       "invalid time for --to: '2024-02-30' (a date or time of day that does not exist)"},
      {{"--from=14:00:00.1234567", "s.txt"},
       "invalid time for --from: '14:00:00.1234567' (more than six decimals of a second)"},
      {{"-d", "ab", "s.txt"},
       "invalid delimiter for --delimiter: 'ab' (one character: , ; tab or a blank)"},
      {{"-d.", "s.txt"},
       "invalid delimiter for --delimiter: '.' (one character: , ; tab or a blank)"},
      {{"-d,", "--decimal-comma", "s.txt"}, "--delimiter=, cannot go with --decimal-comma"},
      {{"--times=even", "s.txt"}, "invalid value for --times: 'even' (file or grid)"},
      {{"--time-scale=0", "s.txt"}, "invalid factor for --time-scale: '0' (a number above 0)"},
      {{"--time-scale=1e3x", "s.txt"},
       "invalid factor for --time-scale: '1e3x' (a number above 0)"},
      {{"--to=tomorrow", "s.txt"}, "invalid time for --to: 'tomorrow'" + kTimeForms},
      {{"--to=2 days", "s.txt"}, "invalid time for --to: '2 days'" + kTimeForms},
      {{"--from=1,2,3", "s.txt"}, "invalid time for --from: '1,2,3'" + kTimeForms},
      {{"--to=5 ", "s.txt"}, "invalid time for --to: '5 '" + kTimeForms},
      {{"--hysteresis=-0.1", "s.txt"},
       "invalid band for --hysteresis: '-0.1' (a number, 0 or more)"},
      {{"--hysteresis", "free", "s.txt"},
       "invalid band for --hysteresis: 'free' (a number, 0 or more)"},
      {{"--hysteresis=1E999", "s.txt"},
       "invalid band for --hysteresis: '1E999' (a number, 0 or more)"},
      {{"--hysteresis=", "s.txt"}, "invalid band for --hysteresis: '' (a number, 0 or more)"},
      {{"--hysteresis=1,", "s.txt"}, "invalid band for --hysteresis: '1,' (a number, 0 or more)"},
      {{"s.txt", "--hysteresis"}, "option '--hysteresis' requires an argument"},
  };
  for (const auto& c : cases) {
    const Parsed parsed = parse(c.arguments);
    EXPECT_EQ(parsed.request, CommandLineRequest::kUsageError) << shown(c.arguments);
    EXPECT_EQ(parsed.problem, c.problem) << shown(c.arguments);
  }
}

TEST(CommandLine, TimesAreOneNumberOrADateAndDefaultToTheWholeSeries) {
  const double infinity = INFINITY;
  const std::int64_t day = std::int64_t{86400} * 1000000;
  const struct {
    std::vector<std::string> arguments;
    double start, end;
    int stamps;  // 1: --from is a date or clock time, 2: --to, 3: both
    std::int64_t start_micros, end_micros;
  } cases[] = {
      {{"s.txt"}, -infinity, infinity, 0, 0, 0},
      {{"--from=2.5", "--to", "1.0D1", "s.txt"}, 2.5, 10.0, 0, 0, 0},
      {{"--from=-1E30", "s.txt"}, -1e30, infinity, 0, 0, 0},
      {{"--decimal-comma", "--from=2,5", "--to=-0,125", "s.txt"}, 2.5, -0.125, 0, 0, 0},
      // 2024-03-05 is day 19787 after 1970-01-01.
      {{"--from=2024-03-05", "--to=2024-03-05T01:00:00.5+01:00", "s.txt"},
       -infinity,
       infinity,
       3,
       19787 * day,
       19787 * day + 500000},
      {{"--to=1970-01-01 00:00:01Z", "s.txt"}, -infinity, infinity, 2, 0, 1000000},
      {{"--from=23:59:59.000001", "s.txt"}, -infinity, infinity, 1, day - 999999, 0},
      {{"--from=-0", "--to=+4e-1", "s.txt"}, 0.0, 0.4, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const Parsed parsed = parse(c.arguments);
    ASSERT_EQ(parsed.request, CommandLineRequest::kRun) << shown(c.arguments) << parsed.problem;
    const vorna::TableSettings& table = parsed.settings.table;
    EXPECT_EQ(parsed.settings.window_start, c.start) << shown(c.arguments);
    EXPECT_EQ(parsed.settings.window_end, c.end) << shown(c.arguments);
    EXPECT_EQ(table.start_is_stamp, (c.stamps & 1) != 0) << shown(c.arguments);
    EXPECT_EQ(table.end_is_stamp, (c.stamps & 2) != 0) << shown(c.arguments);
    if (c.stamps & 1) {
      EXPECT_EQ(table.start_stamp.micros, c.start_micros) << shown(c.arguments);
    }
    if (c.stamps & 2) {
      EXPECT_EQ(table.end_stamp.micros, c.end_micros) << shown(c.arguments);
    }
  }
}

// A band is one number as a TIME is; without the option the default table.
TEST(CommandLine, HysteresisIsABandOfZeroOrMore) {
  const struct {
    std::vector<std::string> arguments;
    bool filter;
    double band;
  } cases[] = {
      {{"s.txt"}, false, 0.0},
      {{"--hysteresis=0", "s.txt"}, true, 0.0},
      {{"--hysteresis", "2.5D-2", "s.txt"}, true, 0.025},
      {{"s.txt", "--hysteresis=1", "--hysteresis=0.5"}, true, 0.5},  // the last one holds
      {{"--hysteresis=-0", "s.txt"}, true, 0.0},
  };
  for (const auto& c : cases) {
    const Parsed parsed = parse(c.arguments);
    ASSERT_EQ(parsed.request, CommandLineRequest::kRun) << shown(c.arguments);
    EXPECT_EQ(parsed.settings.reversal_filter, c.filter) << shown(c.arguments);
    EXPECT_EQ(parsed.settings.hysteresis, c.band) << shown(c.arguments);
  }
}

TEST(CommandLine, OptionsMayFollowTheSeriesAndTheLastSummaryFormHolds) {
  const Parsed parsed =
      parse({"data/wave.txt", "-l", "out.lst", "--json", "--print=out.prt", "-q", "--js"});
  ASSERT_EQ(parsed.request, CommandLineRequest::kRun);
  EXPECT_FALSE(parsed.settings.dialogue);
  EXPECT_STREQ(parsed.settings.series_name, "data/wave.txt");
  EXPECT_STREQ(parsed.settings.series_path, "data/wave.txt");
  EXPECT_STREQ(parsed.settings.print_name, "out.prt");
  EXPECT_STREQ(parsed.settings.listing_name, "out.lst");
  EXPECT_EQ(parsed.settings.summary, SummaryForm::kJson);
  EXPECT_EQ(parse({"--json", "-q", "s"}).settings.summary, SummaryForm::kNone);
  EXPECT_EQ(parse({"s"}).settings.summary, SummaryForm::kLines);
  EXPECT_TRUE(parse({}).settings.dialogue);
}

TEST(CommandLine, StandardInputIsReadThroughItsDeviceWithTheBaseNameStdin) {
  const Parsed parsed = parse({"-"});
  EXPECT_STREQ(parsed.settings.series_path, "/dev/stdin");
  EXPECT_STREQ(parsed.settings.print_name, "stdin.prt");
}

TEST(CommandLine, BaseNameDropsTheFoldersAndTheLastExtension) {
  const struct {
    const char* series;
    const char* print;
  } cases[] = {
      {"data/wave.txt", "wave.prt"},
      {"wave", "wave.prt"},
      {"a.b.txt", "a.b.prt"},
      {"/x/y.z/wave", "wave.prt"},
      {"dir.d/.hidden", ".hidden.prt"},
      {"-", "stdin.prt"},
      {"./-", "-.prt"},
      {"a.", "a.prt"},
  };
  for (const auto& c : cases) {
    char out[64];
    series_base_name(c.series, ".prt", out, sizeof out);
    EXPECT_STREQ(out, c.print) << c.series;
  }
  char small[6];
  series_base_name("data/wave.txt", ".lst", small, sizeof small);
  EXPECT_STREQ(small, "wave.");
}

TEST(CommandLine, UsageFitsEightyColumnsAndEndsWithALineEnd) {
  const std::string usage = kUsageText;
  ASSERT_FALSE(usage.empty());
  EXPECT_EQ(usage.back(), '\n');
  std::size_t start = 0;
  while (start < usage.size()) {
    const std::size_t end = usage.find('\n', start);
    EXPECT_LE(end - start, 80u) << usage.substr(start, end - start);
    start = end + 1;
  }
}

}  // namespace
}  // namespace vorna
