// One run from the command line: the same run as the dialogue's on the same
// answers, its default names, standard input as the series, the quiet and
// JSON summaries, and no file left behind by a series that is missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/program_text.h"
#include "support/run_shell.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

const std::string kSeries = "# t v\n0 0\n1 2.5\n2 -1.25\n3 3\n4 0\n5 1\n6 0.5\n7 4\n8 -2\n9 0\n";

RunResult run_arguments(const TempDir& dir, const std::vector<std::string>& arguments,
                        const std::string& input = "", const Environment& environment = {}) {
  RunOptions options;
  options.arguments = arguments;
  options.environment = environment;
  return run_vorna_with(dir.path(), input, options);
}

std::string real_path(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  std::string result = resolved != nullptr ? resolved : path;
  std::free(resolved);
  return result;
}

void replace_all(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
}

std::vector<std::string> files_in(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The print file without its date stamp line; "(none)" when it is missing.
std::string print_body(const std::string& path) {
  if (!file_exists(path)) return "(none)";
  const std::string bytes = read_file(path);
  const std::size_t line_end = bytes.find("\r\n");
  return line_end == std::string::npos ? bytes : bytes.substr(line_end + 2);
}

std::string listing_of(const std::string& path) {
  return file_exists(path) ? read_file(path) : "(none)";
}

struct SameRun {
  std::string what;
  std::string series;
  std::string first, last;           // the dialogue's window answers
  std::vector<std::string> options;  // the same window on the command line
};

// An evenly spaced two-column file of plain numbers, written in one of the
// ways people write them: times with up to three decimals (exact on the
// grid), values in assorted forms, comments, blank lines, CR LF.
SameRun fuzzed_run(std::mt19937& random, int index) {
  const auto pick = [&random](int count) {
    return static_cast<int>(random() % static_cast<unsigned>(count));
  };
  static const char* const kSeparators[] = {" ", "   ", "\t", ",", " , ", " \t "};
  static const long kSteps[] = {1, 10, 100, 500, 1000, 2500};
  const std::string separator = kSeparators[pick(6)];
  const long step = kSteps[pick(6)];
  const long start = (pick(2001) - 1000) * step / 10;
  const std::string end_of_line = pick(4) == 0 ? "\r\n" : "\n";
  std::string series = pick(2) == 0 ? "# t v" + end_of_line : "";
  const int count = 1 + pick(40);
  char text[96];
  for (int k = 0; k < count; ++k) {
    if (pick(8) == 0) series += pick(2) == 0 ? "! note" + end_of_line : end_of_line;
    const long time = start + k * step;  // in thousandths
    std::snprintf(text, sizeof text, "%s%ld.%03ld", time < 0 ? "-" : "", std::labs(time) / 1000,
                  std::labs(time) % 1000);
    series += (pick(3) == 0 ? "  " : "") + std::string(text) + separator;
    const double value = std::ldexp(static_cast<double>(pick(2000001)) - 1000000.0, pick(40) - 20);
    static const char* const kForms[] = {"%.6g", "%.13E", "%.4f", "%.17g", "%.3e"};
    std::snprintf(text, sizeof text, kForms[pick(5)], value);
    series += text;
    if (pick(5) == 0) series += separator + "7";
    series += end_of_line;
  }
  SameRun run{"fuzzed file " + std::to_string(index), series, "", "", {}};
  if (pick(3) == 0) {
    const long from = start + pick(count) * step - pick(2) * step / 2;
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(from) / 1000.0);
    run.first = text;
    run.options.push_back("--from=" + run.first);
  }
  if (pick(3) == 0) {
    const long to = start + pick(count) * step;
    std::snprintf(text, sizeof text, "%.3fE0", static_cast<double>(to) / 1000.0);
    run.last = text;
    run.options.push_back("--to=" + run.last);
  }
  if (run.first.empty()) {
    // The dialogue's empty First Time is 0; the command line's default is
    // the whole series.
    run.first = "-1E30";
    run.options.push_back("--from=-1E30");
  }
  return run;
}

// On a plain evenly spaced file of two numbers a line the command line and
// the dialogue write the same bytes (print file after its date line,
// listing, summary, warnings and status).
TEST(CommandLineRun, EqualsTheDialogueRunOnTheSameAnswers) {
  std::vector<SameRun> cases = {
      {"whole series", kSeries, "", "", {}},
      // The dialogue's defaults and free forms, as one number each.
      {"empty times", kSeries, "", "", {"--from=0", "--to=1E30"}},
      {"window", kSeries, "2", "7", {"--from", "2", "--to=7"}},
      {"free-form times", kSeries, "1.5D0", "7,", {"--from=1.5D0", "--to=7"}},
      {"leading blank", kSeries, " 4", " 1", {"--from=0", "--to=1.0E+30"}},
      {"no value", kSeries, "/", "", {"--from=0"}},
      {"start above end", kSeries, "5", "2", {"--from=5", "--to=2"}},
      {"negative times", "-2 5\n-1 3\n0 4\n1 1\n2 2\n", "-1E30", "", {"--from=-1E30", "--to=1D30"}},
      {"no sample", "# nothing\n\n", "", "", {}},
      {"one sample", "3 7\n", "", "", {}},
      {"wide time", "100000000 1\n100000001 2\n100000002 1\n", "", "", {}},
      {"uneven on the grid", "0 1\n1 2\n2 1\n4 3\n", "", "", {"--times=grid"}},
      {"commas", "0,1\n1 , 2\n2,1\n", "", "", {}},
  };
  std::mt19937 random(28);
  for (int i = 0; i < 40; ++i) cases.push_back(fuzzed_run(random, i));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what + ":\n" + c.series);
    TempDir asked, given;
    write_file(asked.file("s.txt"), c.series);
    write_file(given.file("s.txt"), c.series);
    const RunResult dialogue =
        run_vorna(asked.path(), "out.prt\ns.txt\n" + c.first + "\n" + c.last + "\n");
    std::vector<std::string> arguments = c.options;
    arguments.push_back("s.txt");
    const RunResult run = run_arguments(given, arguments);
    EXPECT_EQ(banner() + kPrompts + run.out, dialogue.out);
    // Diagnostics name the print file and the folder of each run.
    std::string err = run.err;
    replace_all(err, "s.prt", "out.prt");
    replace_all(err, real_path(given.path()), real_path(asked.path()));
    EXPECT_EQ(err, dialogue.err);
    EXPECT_EQ(run.status, dialogue.status);
    // A failed run from the command line leaves no print file, where the
    // dialogue's keeps what it connected.
    EXPECT_EQ(print_body(given.file("s.prt")),
              run.status == 0 ? print_body(asked.file("out.prt")) : "(none)");
    EXPECT_EQ(listing_of(given.file("s.lst")), listing_of(asked.file("fort.36")));
  }
}

TEST(CommandLineRun, DefaultNamesAreTheSeriesBaseNameInTheWorkingDirectory) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("data"));
  write_file(dir.file("data/wave.txt"), kSeries);
  const RunResult run = run_arguments(dir, {"data/wave.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            console_summary("          10", "       9.000", "   6.000E+00", "       8.000"));
  EXPECT_EQ(files_in(dir), (std::vector<std::string>{"data", "wave.lst", "wave.prt"}));
  EXPECT_EQ(read_file(dir.file("wave.lst")).substr(0, 32), listing_line("0.000", "0.00000E+00"));

  // FORT36 names the listing unless -l does; -o names the print file.
  TempDir other;
  write_file(other.file("a.txt"), kSeries);
  EXPECT_EQ(run_arguments(other, {"a.txt"}, "", {{"fort36", "env.lst"}}).status, 0);
  EXPECT_EQ(
      run_arguments(other, {"-o", "b.prt", "-l", "b.lst", "a.txt"}, "", {{"FORT36", "env2.lst"}})
          .status,
      0);
  EXPECT_EQ(files_in(other),
            (std::vector<std::string>{"a.prt", "a.txt", "b.lst", "b.prt", "env.lst"}));
  EXPECT_EQ(read_file(other.file("env.lst")), read_file(other.file("b.lst")));
}

TEST(CommandLineRun, DashReadsTheSeriesFromStandardInput) {
  TempDir dir;
  write_file(dir.file("s.txt"), kSeries);
  const RunResult piped = run_arguments(dir, {"-"}, kSeries);
  const RunResult named = run_arguments(dir, {"s.txt"});
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.out, named.out);
  EXPECT_EQ(print_body(dir.file("stdin.prt")), print_body(dir.file("s.prt")));
  EXPECT_EQ(read_file(dir.file("stdin.lst")), read_file(dir.file("s.lst")));
}

TEST(CommandLineRun, QuietWritesNothingOnTheConsoleAndTheSameFiles) {
  TempDir dir;
  write_file(dir.file("s.txt"), kSeries);
  const RunResult loud = run_arguments(dir, {"-o", "loud.prt", "-l", "loud.lst", "s.txt"});
  const RunResult quiet = run_arguments(dir, {"-q", "s.txt"});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(print_body(dir.file("s.prt")), print_body(dir.file("loud.prt")));
  EXPECT_EQ(read_file(dir.file("s.lst")), read_file(dir.file("loud.lst")));
}

TEST(CommandLineRun, MissingSeriesIs29AndLeavesNoFileBehind) {
  TempDir dir;
  const RunResult run = run_arguments(dir, {"--json", "missing.txt"});
  EXPECT_EQ(run.status, 29);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "vorna: severe (29): file not found, unit 21, file " + real_path(dir.path()) +
                         "/missing.txt\r\n");
  EXPECT_TRUE(files_in(dir).empty());
}

TEST(CommandLineRun, APrintFileThatIsTheSeriesIs30AndTheSeriesIsUntouched) {
  TempDir dir;
  write_file(dir.file("wave.txt"), kSeries);
  const RunResult run = run_arguments(dir, {"-o", "wave.txt", "wave.txt"});
  EXPECT_EQ(run.status, 30);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "vorna: severe (30): open failure, unit 20, file " + real_path(dir.path()) +
                         "/wave.txt\r\nvorna: wave.txt: already one of the run's files\r\n");
  EXPECT_EQ(read_file(dir.file("wave.txt")), kSeries);
  EXPECT_EQ(files_in(dir), std::vector<std::string>{"wave.txt"});
}

TEST(CommandLineRun, AnInterruptWhileTheSeriesIsReadEndsTheRunAsInTheDialogue) {
  TempDir dir;
  RunOptions options;
  options.arguments = {"-"};
  VornaProcess process(dir.path(), options);
  process.send("0 1\n1 2\n");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!file_exists(dir.file("stdin.prt")) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  process.signal(SIGINT);
  const RunResult run = process.wait();
  EXPECT_EQ(run.signal, SIGINT);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "vorna: error (200): program aborting due to control-C event\r\n");
  EXPECT_EQ(read_file(dir.file("stdin.prt")), "");
  EXPECT_FALSE(file_exists(dir.file("stdin.lst")));
}

TEST(CommandLineRun, AnInterruptWhileAPipeWaitsForItsReaderEndsTheRun) {
  for (const char* option : {"-o", "-l"}) {
    SCOPED_TRACE(option);
    TempDir dir;
    write_file(dir.file("s.txt"), "0 1\n1 2\n2 1\n3 2\n");
    ASSERT_EQ(mkfifo(dir.file("out.fifo").c_str(), 0600), 0);
    RunOptions options;
    options.arguments = {"-q", option, "out.fifo", "s.txt"};
    VornaProcess process(dir.path(), options);
    ASSERT_TRUE(process.wait_until_catching(SIGTERM));
    process.signal(SIGTERM);
    const RunResult run = process.wait();
    EXPECT_EQ(run.signal, SIGTERM);
    EXPECT_EQ(run.err, "vorna: error (200): program aborting due to TERMINATE event\r\n");
  }
}

// ---- the JSON summary, read back ----

// A JSON value of the summary: a string, a number's text, null or an array
// of strings.
struct JsonValue {
  enum Kind { kString, kNumber, kNull, kArray } kind = kNull;
  std::string text;
  std::vector<std::string> items;
};

// Reads one JSON object on one line; the members of an object inside it
// are named "outer.inner". A fault in the text fails the test.
class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}

  std::map<std::string, JsonValue> object() {
    std::map<std::string, JsonValue> members;
    members_into(members, "");
    expect('\n');
    EXPECT_EQ(at_, text_.size()) << "text after the object";
    return members;
  }

 private:
  void members_into(std::map<std::string, JsonValue>& members, const std::string& prefix) {
    expect('{');
    while (peek() != '}') {
      const std::string key = prefix + string();
      expect(':');
      EXPECT_EQ(members.count(key), 0u) << "twice: " << key;
      if (peek() == '{') {
        members_into(members, key + ".");
      } else {
        members[key] = value();
      }
      if (peek() == ',') ++at_;
    }
    expect('}');
  }

  char peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  void expect(char c) {
    EXPECT_EQ(peek(), c) << "at " << at_ << " of " << text_;
    ++at_;
  }

  std::string string() {
    std::string out;
    expect('"');
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      EXPECT_GE(static_cast<unsigned char>(c), 0x20) << "a raw control byte";
      if (c == '\\') {
        const char kind = text_[at_++];
        if (kind == 'u') {
          c = static_cast<char>(std::stoi(text_.substr(at_, 4), nullptr, 16));
          at_ += 4;
        } else {
          EXPECT_TRUE(kind == '"' || kind == '\\') << kind;
          c = kind;
        }
      }
      out += c;
    }
    expect('"');
    return out;
  }

  JsonValue value() {
    JsonValue v;
    if (peek() == '"') {
      v.kind = JsonValue::kString;
      v.text = string();
    } else if (text_.compare(at_, 4, "null") == 0) {
      at_ += 4;
    } else if (peek() == '[') {
      v.kind = JsonValue::kArray;
      ++at_;
      while (peek() == '"') {
        v.items.push_back(string());
        if (peek() == ',') ++at_;
      }
      expect(']');
    } else {
      v.kind = JsonValue::kNumber;
      while (at_ < text_.size() && std::strchr("-+.eE0123456789", text_[at_]) != nullptr) {
        v.text += text_[at_++];
      }
      EXPECT_FALSE(v.text.empty()) << "no value at " << at_;
    }
    return v;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

void expect_number(const std::map<std::string, JsonValue>& json, const std::string& key,
                   double expected, const std::string& shortest) {
  ASSERT_EQ(json.count(key), 1u) << key;
  const JsonValue& value = json.at(key);
  ASSERT_EQ(value.kind, JsonValue::kNumber) << key;
  EXPECT_EQ(std::strtod(value.text.c_str(), nullptr), expected) << key;
  EXPECT_EQ(value.text, shortest) << key;
}

TEST(CommandLineRun, JsonSummaryHoldsTheReportedValuesAndTheFiles) {
  TempDir dir;
  write_file(dir.file("s.txt"), "0 0\n0.1 2.5\n0.2 -1.25\n0.3 3\n0.4 0\n");
  const RunResult run = run_arguments(dir, {"--json", "s.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const auto json = JsonReader(run.out).object();
  EXPECT_EQ(json.size(), 21u);
  EXPECT_EQ(json.at("series").text, "s.txt");
  const std::string here = real_path(dir.path());
  EXPECT_EQ(json.at("print_file").text, here + "/s.prt");
  EXPECT_EQ(json.at("listing_file").text, here + "/s.lst");
  expect_number(json, "steps", 5, "5");
  expect_number(json, "first_time", 0, "0");
  expect_number(json, "last_time", 0.4, "0.4");
  expect_number(json, "time_increment", 0.1, "0.1");
  expect_number(json, "simulation_length", 0.4, "0.4");
  expect_number(json, "extrema", 3, "3");
  expect_number(json, "max_height", 4.25, "4.25");
  // The maximum ends at sample 4: its own time 0.3, or with --times=grid
  // the time rebuilt on the grid, (4 * 0.1 + 0) - 0.1, which is not the
  // real nearest 0.3: the text keeps every bit.
  expect_number(json, "time_of_max_height", 0.3, "0.3");
  const double rebuilt = (4.0 * 0.1 + 0.0) - 0.1;
  ASSERT_NE(rebuilt, 0.3);
  const RunResult grid = run_arguments(dir, {"--json", "--times=grid", "s.txt"});
  const auto grid_json = JsonReader(grid.out).object();
  expect_number(grid_json, "time_of_max_height", rebuilt, "0.30000000000000004");
  EXPECT_EQ(grid_json.at("times").text, "grid");
  EXPECT_EQ(json.at("times").text, "file");
  expect_number(json, "column", 2, "2");
  EXPECT_EQ(json.at("first_timestamp").kind, JsonValue::kNull);
  expect_number(json, "time_scale", 1, "1");
  // The record's highest and lowest sample, with their own times.
  expect_number(json, "global_max.time", 0.3, "0.3");
  expect_number(json, "global_max.value", 3, "3");
  expect_number(json, "global_min.time", 0.2, "0.2");
  expect_number(json, "global_min.value", -1.25, "-1.25");
  expect_number(grid_json, "global_max.time", rebuilt, "0.30000000000000004");
  expect_number(grid_json, "global_min.time", (3.0 * 0.1 + 0.0) - 0.1, "0.20000000000000004");
  EXPECT_EQ(json.at("hysteresis").kind, JsonValue::kNull);  // no --hysteresis
  EXPECT_EQ(json.at("warnings").kind, JsonValue::kArray);
  EXPECT_TRUE(json.at("warnings").items.empty());
}

// --hysteresis: the reversals kept by the band make the extremum table; the
// summary gains a fifth line, the JSON the band, standard error one note;
// the listing and the print file's layout stay as they are.
TEST(CommandLineRun, HysteresisTakesTheReversalsThatTheBandKeeps) {
  const std::string level_steps =
      "0 0\n1 1\n2 2\n3 2\n4 3\n5 4\n6 4\n7 4\n8 3\n9 2\n10 2\n11 1\n12 0\n13 0\n14 1\n";
  const std::string dip = "0 0\n1 2\n2 1.5\n3 3\n4 0\n";
  const std::string note =
      "vorna: info: the extrema are the reversals that the series moves back from by at least "
      "the --hysteresis band ";
  const struct {
    const char* what;
    std::string series, band;
    std::string height, time, band_field;  // the summary's fields
    std::string table;                     // the print file's extremum table
    std::string err;
  } cases[] = {
      // Level runs on a slope are no turns: the rise of 4 stays whole.
      {"level steps", level_steps, "0", "4.000E+00", "13.000", "0.000E+00",
       table_line("7.000", "4.0000E+00", "0.0000E+00") +
           table_line("13.000", "0.0000E+00", "-4.0000E+00"),
       note + "0: 2 found\r\n"},
      {"a band as deep as the dip", dip, "0.5", "1.500E+00", "3.000", "5.000E-01",
       table_line("1.000", "2.0000E+00", "0.0000E+00") +
           table_line("2.000", "1.5000E+00", "-5.0000E-01") +
           table_line("3.000", "3.0000E+00", "1.5000E+00"),
       note + "0.5: 3 found\r\n"},
      {"a band deeper than the dip", dip, "7.5E-1", "0.000E+00", "0.000", "7.500E-01",
       table_line("3.000", "3.0000E+00", "0.0000E+00"),
       note + "0.75: 1 found\r\n" + no_height_warning(1, 5, true)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    write_file(dir.file("s.txt"), c.series);
    const RunResult filtered = run_arguments(dir, {"--hysteresis=" + c.band, "s.txt"});
    EXPECT_EQ(filtered.status, 0);
    EXPECT_EQ(filtered.err, c.err);
    const std::string summary = console_summary("", "", c.height, c.time);
    EXPECT_EQ(filtered.out.substr(filtered.out.find(" Maximum Height")),
              summary.substr(summary.find(" Maximum Height")) +
                  " Reversals, hysteresis band    :" + field(c.band_field, 12) + "\r\n");
    const std::string print = print_body(dir.file("s.prt"));
    const std::string listing = read_file(dir.file("s.lst"));
    EXPECT_EQ(print.substr(print.rfind("#                         \r\n") + 28), c.table);
    // Without the option: the default table, and the same listing.
    const RunResult plain = run_arguments(dir, {"s.txt"});
    EXPECT_EQ(plain.out.find("hysteresis"), std::string::npos);
    EXPECT_EQ(read_file(dir.file("s.lst")), listing);
    const std::string header_end = "# Maximum Height";
    EXPECT_EQ(print_body(dir.file("s.prt")).substr(0, print.find(header_end)),
              print.substr(0, print.find(header_end)));
  }
}

// Every warning written on standard error is in the JSON too, however many
// kinds one run has.
TEST(CommandLineRun, JsonKeepsEveryWarningOfARunWithManyKinds) {
  TempDir dir;
  write_file(dir.file("s.txt"), "0 1\n0.0001 2\n0.0002 NaN\n0.0001 3\n0.0009 0\n0.0010 0\n");
  const RunResult run = run_arguments(dir, {"--json", "s.txt"});
  EXPECT_EQ(run.status, 0);
  std::size_t lines = 0;
  for (std::size_t at = 0; (at = run.err.find("vorna: warning: ", at)) != std::string::npos; ++at) {
    ++lines;
  }
  EXPECT_GE(lines, 4u) << run.err;
  const auto json = JsonReader(run.out).object();
  EXPECT_EQ(json.at("warnings").items.size(), lines) << run.err;
}

TEST(CommandLineRun, JsonShowsNullForValuesThatAreNotFiniteAndEscapesNames) {
  TempDir dir;
  const std::string name = "we\"ird\\ \tname.txt";
  write_file(dir.file(name), "-1E308 1E308\n1E308 -1E308\n");
  // On the grid, (2 * DT + T0) - DT is not finite.
  const RunResult run = run_arguments(dir, {"--json", "--times=grid", "-l", "/dev/null", name});
  EXPECT_EQ(run.status, 0);
  const auto json = JsonReader(run.out).object();
  // A backslash of a name is two, so that bash's printf %b gives the name back.
  EXPECT_EQ(json.at("series").text, "we\"ird\\\\ \tname.txt");
  EXPECT_EQ(json.at("print_file").text, real_path(dir.path()) + "/we\"ird\\\\ \tname.prt");
  EXPECT_EQ(json.at("listing_file").text, "/dev/null");
  EXPECT_EQ(json.at("time_increment").kind, JsonValue::kNull);
  EXPECT_EQ(json.at("simulation_length").kind, JsonValue::kNull);
  expect_number(json, "first_time", -1e308, "-1e+308");
  expect_number(json, "global_max.value", 1e308, "1e+308");
  EXPECT_EQ(json.at("global_max.time").kind, JsonValue::kNull);
  // The two times overflow their listing fields: the warning that counts
  // such lines is the JSON's too.
  EXPECT_EQ(json.at("warnings").items.back(),
            "2 lines have a number too wide for its field, written as asterisks (error 63 "
            "above)");
}

// A series named by a path longer than the dialogue's answer field, and a
// name that is not valid UTF-8: the JSON holds them whole, as valid UTF-8,
// a stray byte as \xHH.
TEST(CommandLineRun, JsonNamesLongPathsWholeAndStrayBytesAsEscapes) {
  TempDir dir;
  const std::string folder = std::string(150, 'a') + "/" + std::string(150, 'b');
  ASSERT_TRUE(std::filesystem::create_directories(dir.file(folder)));
  write_file(dir.file(folder + "/e.txt"), "# none\n");
  write_file(dir.file("c\xff.txt"), "0 1\n1 2\n2 1\n3 2\n");
  const RunResult run = run_arguments(dir, {"--json", folder + "/e.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(JsonReader(run.out).object().at("series").text, folder + "/e.txt");
  const RunResult stray = run_arguments(dir, {"--json", "c\xff.txt"});
  EXPECT_NE(stray.out.find(R"({"series":"c\\xff.txt")"), std::string::npos) << stray.out;
}

TEST(CommandLineRun, JsonListingFileIsNullWhenNoSampleIsWritten) {
  TempDir dir;
  write_file(dir.file("s.txt"), "# none\n");
  const RunResult run = run_arguments(dir, {"--json", "s.txt"});
  const auto json = JsonReader(run.out).object();
  EXPECT_EQ(json.at("listing_file").kind, JsonValue::kNull);
  expect_number(json, "steps", 0, "0");
  EXPECT_EQ(files_in(dir), (std::vector<std::string>{"s.prt", "s.txt"}));
}

// ---- bash completion ----

TEST(CommandLineRun, BashCompletionOffersOptionsAndFileNames) {
  TempDir dir;
  write_file(dir.file("wave.txt"), kSeries);
  write_file(dir.file("walk.prt"), "");
  const std::string script =
      "source " + shell_quoted(std::string(VORNA_SOURCE_DIR) + "/completion/vorna") +
      "\n"
      "complete -p vorna\n"
      "ask() { COMP_WORDS=(\"$@\"); COMP_CWORD=$(( $# - 1 )); COMPREPLY=(); _vorna;\n"
      "  printf '%s|' \"${COMPREPLY[@]}\"; echo; }\n"
      "ask vorna --q\n"
      "ask vorna --li\n"
      "ask vorna -\n"
      "ask vorna wa\n"
      "ask vorna -o wal\n"
      "ask vorna --listing = wav\n"
      "ask vorna --from ''\n"
      "ask vorna --times = g\n"
      "ask vorna --col\n";
  write_file(dir.file("ask.sh"), script);
  const ShellResult result = run_shell(dir.path(), "bash ask.sh");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output,
            "complete -o filenames -F _vorna vorna\n"
            "--quiet|\n"
            "--listing=|\n"
            "-o|-l|-t|-c|-d|-q|-h|-V|--print=|--listing=|--from=|--to=|--time-column=|--column=|"
            "--delimiter=|--decimal-comma|--times=|--time-scale=|--quiet|--json|--hysteresis=|"
            "--cycles|--cycle-file=|--cycle-ends|--slope=|--waves|--wave-file=|--level=|--help|"
            "--version|\n"
            "walk.prt|wave.txt|\n"
            "walk.prt|\n"
            "wave.txt|\n"
            "|\n"
            "grid|\n"
            "--column=|\n");
}

// ---- names, whole results, recoverable names ----

const char kGoodSeries[] = "0 1\n1 3\n2 0\n3 2\n";
const char kBrokenSeries[] = "0 1\n1 x\n";

// A name given on the command line is used exactly: a blank is a character.
TEST(CommandLineNames, ABlankAtEitherEndIsPartOfTheName) {
  TempDir dir;
  write_file(dir.file(" lead.txt"), kGoodSeries);
  write_file(dir.file("lead.txt"), "0 5\n1 5\n");
  const RunResult lead = run_arguments(dir, {"-q", " lead.txt"});
  ASSERT_EQ(lead.status, 0) << lead.err;
  EXPECT_NE(read_file(dir.file(" lead.prt")).find("steps     :            4\r\n"),
            std::string::npos);
  const RunResult named =
      run_arguments(dir, {"-q", "-o", "out.prt ", "-l", " out.lst", "lead.txt"});
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(files_in(dir), (std::vector<std::string>{" lead.lst", " lead.prt", " lead.txt",
                                                     " out.lst", "lead.txt", "out.prt "}));
}

// A run that fails leaves no print or listing file of its names: those of
// an earlier run go too, with one line that says so; nothing half written,
// no temporary file.
TEST(CommandLineOutputs, AFailedRunLeavesNoResultsOfItsNames) {
  TempDir dir;
  write_file(dir.file("s.txt"), kGoodSeries);
  ASSERT_EQ(run_arguments(dir, {"-q", "s.txt"}).status, 0);
  write_file(dir.file("s.txt"), kBrokenSeries);
  const RunResult failed = run_arguments(dir, {"-q", "s.txt"});
  EXPECT_EQ(failed.status, 59);
  const std::string folder = real_path(dir.path());
  EXPECT_NE(failed.err.find("\r\nvorna: info: removed " + folder + "/s.prt and " + folder +
                            "/s.lst of an earlier run: a failed run leaves no results\r\n"),
            std::string::npos)
      << failed.err;
  EXPECT_EQ(files_in(dir), std::vector<std::string>{"s.txt"});
  // A first run leaves nothing either, and has nothing to say about it.
  const RunResult first = run_arguments(dir, {"-q", "s.txt"});
  EXPECT_EQ(first.status, 59);
  EXPECT_EQ(first.err.find("removed"), std::string::npos);
  EXPECT_EQ(files_in(dir), std::vector<std::string>{"s.txt"});
}

// A regular output appears whole when the run ends; one through a symbolic
// link (dangling too) keeps the link; "-" and /dev/stdout are standard
// output, written through.
TEST(CommandLineOutputs, LinksStayAndStandardOutputIsWrittenThrough) {
  TempDir dir;
  write_file(dir.file("s.txt"), kGoodSeries);
  ASSERT_EQ(mkdir(dir.file("kept").c_str(), 0755), 0);
  ASSERT_EQ(symlink("kept/p.prt", dir.file("link.prt").c_str()), 0);
  const RunResult linked = run_arguments(dir, {"-q", "-o", "link.prt", "-l", "-", "s.txt"});
  ASSERT_EQ(linked.status, 0) << linked.err;
  struct stat link;
  ASSERT_EQ(lstat(dir.file("link.prt").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  EXPECT_NE(read_file(dir.file("kept/p.prt")).find("steps     :            4\r\n"),
            std::string::npos);
  EXPECT_EQ(linked.out.substr(0, 30), "          0.000    1.00000E+00");
  const RunResult print = run_arguments(dir, {"-q", "-o", "-", "s.txt"});
  ASSERT_EQ(print.status, 0) << print.err;
  EXPECT_EQ(print.out.substr(0, 8), "# Date :");
  EXPECT_EQ(files_in(dir), (std::vector<std::string>{"kept", "link.prt", "s.lst", "s.txt"}));
}

// A SERIES that cannot be opened for a reason the number 30 does not tell:
// the where-line tells it.
TEST(CommandLineNames, AnOpenFailureOfTheSeriesSaysWhy) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.file("folder").c_str(), 0755), 0);
  ASSERT_EQ(symlink("loop", dir.file("loop").c_str()), 0);
  const std::string folder = real_path(dir.path());
  const struct {
    std::string series, file, why;
  } cases[] = {
      {"folder", folder + "/folder", "vorna: folder: a folder"},
      {"loop", folder + "/loop", "vorna: loop: a loop of symbolic links"},
      {"", "", "vorna: '': an empty name"},
  };
  for (const auto& c : cases) {
    const RunResult run = run_arguments(dir, {c.series});
    EXPECT_EQ(run.status, 30);
    EXPECT_EQ(run.err, "vorna: severe (30): open failure, unit 21, file " + c.file + "\r\n" +
                           c.why + "\r\n");
  }
}

// -q writes nothing on standard output, so a closed one is no failure.
TEST(CommandLineOutputs, AQuietRunNeedsNoStandardOutput) {
  TempDir dir;
  write_file(dir.file("s.txt"), kGoodSeries);
  RunOptions options;
  options.arguments = {"-q", "s.txt"};
  options.close_output = true;
  const RunResult run = run_vorna_with(dir.path(), "", options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
}

// Names that are not UTF-8 or hold a backslash stay apart in the JSON
// summary (the README's test gives their bytes back with printf '%b').
TEST(CommandLineJson, NamesThatAreNotUtf8StayApart) {
  TempDir dir;
  const struct {
    std::string name, json;
  } cases[] = {
      {"lat\xe4in.txt", "\"series\":\"lat\\\\xe4in.txt\""},
      {"lat\xf6in.txt", "\"series\":\"lat\\\\xf6in.txt\""},
      {"back\\slash.txt", "\"series\":\"back\\\\\\\\slash.txt\""},
      {"new\nline \xc3\xa4.txt", "\"series\":\"new\\u000aline \xc3\xa4.txt\""},
  };
  for (const auto& c : cases) {
    write_file(dir.file(c.name), kGoodSeries);
    const RunResult run = run_arguments(dir, {"--json", c.name});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("{" + c.json + ","), 0u) << run.out;
  }
}

// The run's arrays are taken only for a run: --help, --version and a wrong
// command line need none, and a run that cannot have them says so.
#if !defined(__SANITIZE_ADDRESS__)
// What "ulimit -v 30000" leaves.
constexpr rlim_t kAddressSpaceLimit = 30000 * 1024;

TEST(CommandLineMemory, ARunWithoutItsArraysIsOneDiagnostic) {
  TempDir dir;
  write_file(dir.file("s.txt"), kGoodSeries);
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string out, err;
  } cases[] = {
      {{"--version"}, 0, "vorna 1.0\n", ""},
      {{"--to=x", "s.txt"},
       2,
       "",
       "vorna: invalid time for --to: 'x' (a number, or an ISO 8601 date-time, date or clock "
       "time)\n"},
      {{"s.txt"}, 41, "", "vorna: severe (41): insufficient virtual memory\r\n"},
  };
  for (const auto& c : cases) {
    RunOptions options;
    options.arguments = c.arguments;
    options.limits = {{RLIMIT_AS, kAddressSpaceLimit}};
    const RunResult run = run_vorna_with(dir.path(), "", options);
    EXPECT_EQ(run.status, c.status) << c.arguments[0];
    EXPECT_EQ(run.out, c.out) << c.arguments[0];
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << c.arguments[0];
  }
  EXPECT_EQ(files_in(dir), std::vector<std::string>{"s.txt"});
}
#endif

}  // namespace
}  // namespace vorna_test
