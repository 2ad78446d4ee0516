// The real program under hostile conditions: files it cannot write or name,
// series files that are not text, a console that is gone, and interrupts
// while it writes a large listing. Every case ends with its one diagnostic
// line and status, whole records in the files, and no hang.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <ostream>
#include <string>
#include <thread>

#include "support/interrupts.h"
#include "support/program_text.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

const std::string kAnswers = "out.prt\ns.txt\n\n\n";

// The directory as the program sees it from its working directory.
std::string real_path(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  std::string result = resolved != nullptr ? resolved : path;
  free(resolved);
  return result;
}

std::string diagnostic(int number, int unit, const std::string& file) {
  const char* text = number == 29   ? "file not found"
                     : number == 43 ? "file name specification error"
                     : number == 47 ? "write to READONLY file"
                                    : "error during write";
  return "vorna: severe (" + std::to_string(number) + "): " + text + ", unit " +
         std::to_string(unit) + ", file " + file + "\r\n";
}

std::size_t line_count(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++count;
  return count;
}

// Every record of the file ends with CR LF and nothing follows the last one.
bool whole_lines(const std::string& bytes) {
  if (bytes.empty()) return true;
  if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) return false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
  }
  return true;
}

std::string three_samples() { return "0 0\n1 1\n2 0\n"; }

// ---- output files that cannot be written ----

TEST(Faults, PrintAndListingOnAFullDeviceGiveOneLine38ForTheListing) {
  TempDir dir;
  write_file(dir.file("s.txt"), three_samples());
  RunResult run =
      run_vorna(dir.path(), "/dev/full\ns.txt\n\n\n", Environment{{"FORT36", "/dev/full"}});
  EXPECT_EQ(run.status, 38);
  // The listing fails first; the print file holds nothing yet, so closing it
  // after the diagnostic reports nothing more.
  EXPECT_EQ(run.err, diagnostic(38, 36, "/dev/full"));
}

TEST(Faults, FullDeviceAfterManyRecordsStopsAtTheFirstFailingBlock) {
  TempDir dir;
  std::string series;
  for (int i = 0; i < 200000; ++i) series += std::to_string(i) + (i % 2 ? " 1\n" : " 0\n");
  write_file(dir.file("s.txt"), series);
  RunResult run = run_vorna(dir.path(), kAnswers, Environment{{"FORT36", "/dev/full"}});
  EXPECT_EQ(run.status, 38);
  EXPECT_EQ(run.err, diagnostic(38, 36, "/dev/full"));
  EXPECT_EQ(read_file(dir.file("out.prt")), "");
}

TEST(Faults, ReadOnlyPrintFileIs47AtItsFirstRecord) {
  if (geteuid() == 0 && !unprivileged_runs_possible()) {
    GTEST_SKIP() << "running as root and the program cannot be run as the user nobody, so a "
                    "read-only file would still be writable";
  }
  TempDir dir;
  const std::string old_content = "keep me\r\n";
  write_file(dir.file("out.prt"), old_content);
  write_file(dir.file("s.txt"), three_samples());
  ASSERT_EQ(chmod(dir.file("out.prt").c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir.file("s.txt").c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  RunOptions options;
  options.unprivileged = geteuid() == 0;
  RunResult run = run_vorna_with(dir.path(), kAnswers, options);
  EXPECT_EQ(run.status, 47);
  EXPECT_EQ(run.err, diagnostic(47, 20, real_path(dir.path()) + "/out.prt"));
  EXPECT_EQ(read_file(dir.file("out.prt")), old_content);
  // The listing comes before the first print record and is whole.
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 3u * 32);
}

// ---- listing file names that cannot be used ----

TEST(Faults, ListingFileInAMissingDirectoryIs29WithItsAbsoluteName) {
  TempDir dir;
  write_file(dir.file("s.txt"), three_samples());
  RunResult run =
      run_vorna(dir.path(), kAnswers, Environment{{"fort36", "  no/such/dir/list.txt  "}});
  EXPECT_EQ(run.status, 29);
  EXPECT_EQ(run.err, diagnostic(29, 36, real_path(dir.path()) + "/no/such/dir/list.txt"));
  EXPECT_FALSE(file_exists(dir.file("fort.36")));
}

TEST(Faults, ListingFileNameWithTooLongAComponentIs43) {
  TempDir dir;
  write_file(dir.file("s.txt"), three_samples());
  const std::string name(300, 'n');
  RunResult run = run_vorna(dir.path(), kAnswers, Environment{{"FORT36", name}});
  EXPECT_EQ(run.status, 43);
  EXPECT_EQ(run.err, diagnostic(43, 36, real_path(dir.path()) + "/" + name));
}

TEST(Faults, ListingFileNameLongerThanAnyPathIs43OnOneLine) {
  TempDir dir;
  write_file(dir.file("s.txt"), three_samples());
  std::string name;
  for (int i = 0; i < 50; ++i) name += std::string(99, 'd') + "/";
  name += "list.txt";
  RunResult run = run_vorna(dir.path(), kAnswers, Environment{{"FORT36", name}});
  EXPECT_EQ(run.status, 43);
  const std::string prefix = "vorna: severe (43): file name specification error, unit 36, file ";
  ASSERT_GE(run.err.size(), prefix.size() + 2);
  EXPECT_EQ(run.err.substr(0, prefix.size()), prefix);
  EXPECT_EQ(line_count(run.err), 1u);
  EXPECT_EQ(run.err.find('\0'), std::string::npos);
  EXPECT_EQ(run.err.substr(run.err.size() - 2), "\r\n");
  // The name shown is the start of the absolute name.
  const std::string shown = run.err.substr(prefix.size(), run.err.size() - prefix.size() - 2);
  const std::string absolute = real_path(dir.path()) + "/" + name;
  EXPECT_EQ(absolute.compare(0, shown.size(), shown), 0) << shown;
}

// ---- series files that are not text ----

TEST(Faults, SeriesFileThatIsADirectoryIsAskedForAgain) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
  RunResult run = run_vorna(dir.path(), "out.prt\nsub\n");
  EXPECT_EQ(run.out, banner() + kPrintPrompt + kSeriesPrompt +
                         " Nonexisting file :" + name_field("sub") + "\r\n" + kSeriesPrompt);
  EXPECT_EQ(run.err, kEndOfInput);
  EXPECT_EQ(run.status, 24);
}

std::string huge_line(const std::string& start, char fill) {
  std::string line = start;
  line.resize(std::size_t{64} << 20, fill);
  return line;
}

TEST(Faults, SixtyFourMebibyteLineWithoutALineEndIsCutToItsField) {
  TempDir dir;
  write_file(dir.file("s.txt"), huge_line("", 'x'));
  RunResult run = run_vorna(dir.path(), kAnswers);
  EXPECT_EQ(run.status, 59);
  EXPECT_EQ(run.err, kSyntaxError);
}

TEST(Faults, SixtyFourMebibyteLineStartingWithTwoNumbersIsOneSample) {
  TempDir dir;
  write_file(dir.file("s.txt"), huge_line("1 2 ", ' '));
  RunResult run = run_vorna(dir.path(), kAnswers);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 32u);
}

TEST(Faults, BinaryGarbageInTheSeriesFileIsOneSyntaxDiagnostic) {
  TempDir dir;
  write_file(dir.file("s.txt"), std::string("\x7f\x01\xff\xfe garbage\x00\x00 ", 16) + "\n1 2\n");
  RunResult run = run_vorna(dir.path(), kAnswers);
  EXPECT_EQ(run.status, 59);
  EXPECT_EQ(run.err, kSyntaxError);
  EXPECT_FALSE(file_exists(dir.file("fort.36")));
}

TEST(Faults, NulBytesInTheSeriesFileAreOneSyntaxDiagnostic) {
  TempDir dir;
  write_file(dir.file("s.txt"), std::string("0 0\n\0\0\0\0\n2 0\n", 13));
  RunResult run = run_vorna(dir.path(), kAnswers);
  EXPECT_EQ(run.status, 59);
  EXPECT_EQ(run.err, kSyntaxError);
}

// ---- a console that is gone ----

TEST(Faults, StandardInputFromTheNullDeviceIs24AtTheFirstQuestion) {
  TempDir dir;
  RunOptions options;
  options.input = RunOptions::Input::kDevNull;
  RunResult run = run_vorna_with(dir.path(), "", options);
  EXPECT_EQ(run.out, banner() + kPrintPrompt);
  EXPECT_EQ(run.err, kEndOfInput);
  EXPECT_EQ(run.status, 24);
}

TEST(Faults, ClosedStandardInputIs24AtTheFirstQuestion) {
  TempDir dir;
  RunOptions options;
  options.input = RunOptions::Input::kClosed;
  RunResult run = run_vorna_with(dir.path(), "", options);
  EXPECT_EQ(run.out, banner() + kPrintPrompt);
  EXPECT_EQ(run.err, kEndOfInput);
  EXPECT_EQ(run.status, 24);
}

TEST(Faults, StandardInputThatCannotBeReadIs39) {
  TempDir dir;
  RunOptions options;
  options.input = RunOptions::Input::kDirectory;
  RunResult run = run_vorna_with(dir.path(), "", options);
  EXPECT_EQ(run.out, banner() + kPrintPrompt);
  EXPECT_EQ(run.err, "vorna: severe (39): error during read, unit 5, file CONIN$\r\n");
  EXPECT_EQ(run.status, 39);
}

TEST(Faults, InputEndingInsideAnAnswerIsThatAnswer) {
  // The last answer has no line end: it is an answer like any other, and the
  // end of the input comes at the next question.
  TempDir dir;
  write_file(dir.file("s.txt"), three_samples());
  RunResult run = run_vorna(dir.path(), "out.prt\ns.txt\n0");
  EXPECT_EQ(run.out, banner() + kPrintPrompt + kSeriesPrompt + kFirstPrompt + kLastPrompt);
  EXPECT_EQ(run.err, kEndOfInput);
  EXPECT_EQ(run.status, 24);
}

// ---- console output comes before a diagnostic line ----

TEST(Faults, PendingConsoleOutputComesBeforeTheDiagnosticLine) {
  TempDir normal_dir;
  write_file(normal_dir.file("s.txt"), three_samples());
  RunResult normal = run_vorna(normal_dir.path(), kAnswers);
  ASSERT_EQ(normal.status, 0);

  TempDir dir;
  write_file(dir.file("s.txt"), three_samples());
  RunOptions options;
  options.merge_error_into_output = true;
  RunResult run = run_vorna_with(dir.path(), "/dev/full\ns.txt\n\n\n", options);
  EXPECT_EQ(run.status, 38);
  EXPECT_EQ(run.out, normal.out + diagnostic(38, 20, "/dev/full"));
}

TEST(Faults, PromptComesBeforeTheEndOfInputLine) {
  TempDir dir;
  RunOptions options;
  options.merge_error_into_output = true;
  RunResult run = run_vorna_with(dir.path(), "out.prt\n", options);
  EXPECT_EQ(run.out, banner() + kPrintPrompt + kSeriesPrompt + kEndOfInput);
}

// ---- interrupts while a large listing is written ----

class InterruptWhileWriting : public ::testing::TestWithParam<InterruptCase> {};

constexpr int kLargeCount = 1000000;

const std::string& large_series() {
  static const std::string series = [] {
    std::string text;
    text.reserve(16u * kLargeCount);
    for (int i = 0; i < kLargeCount; ++i) {
      text += std::to_string(i);
      text += i % 3 == 0 ? " 1.5\n" : " -0.25\n";
    }
    return text;
  }();
  return series;
}

// Runs the large series and sends the signal once the named output file has
// started to grow (or not at all when the run is over first).
RunResult interrupt_once_growing(const TempDir& dir, const std::string& growing,
                                 int signal_number) {
  write_file(dir.file("s.txt"), large_series());
  RunOptions options;
  options.merge_error_into_output = true;
  ::signal(SIGPIPE, SIG_IGN);
  VornaProcess process(dir.path(), options);
  process.send(kAnswers);
  struct stat info;
  while (process.running() && !(stat(dir.file(growing).c_str(), &info) == 0 && info.st_size > 0)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  process.signal(signal_number);
  return process.wait();
}

// The console output of an interrupted run: the dialogue, perhaps some of
// the summary, and the diagnostic as the last line.
void expect_interrupted_console(const RunResult& run, const InterruptCase& event) {
  const std::string prompts = banner() + kPrintPrompt + kSeriesPrompt + kFirstPrompt + kLastPrompt;
  EXPECT_EQ(run.out.compare(0, prompts.size(), prompts), 0);
  if (run.status == 0) {
    EXPECT_EQ(run.out.find("vorna:"), std::string::npos);
    return;
  }
  EXPECT_EQ(run.status, 128 + event.signal_number);
  const std::string line =
      std::string("vorna: error (200): program aborting due to ") + event.event + " event\r\n";
  ASSERT_GE(run.out.size(), prompts.size() + line.size());
  EXPECT_EQ(run.out.substr(run.out.size() - line.size()), line);
  EXPECT_EQ(run.out.find("vorna:"), run.out.size() - line.size());
}

TEST_P(InterruptWhileWriting, ALargeListingEndsWithWholeRecords) {
  TempDir dir;
  RunResult run = interrupt_once_growing(dir, "fort.36", GetParam().signal_number);
  const std::string listing = read_file(dir.file("fort.36"));
  EXPECT_EQ(listing.size() % 32, 0u);
  for (std::size_t at = 0; at + 32 <= listing.size(); at += 32) {
    ASSERT_EQ(listing.compare(at + 30, 2, "\r\n"), 0) << "record at byte " << at;
  }
  EXPECT_TRUE(whole_lines(listing));
  EXPECT_TRUE(whole_lines(read_file(dir.file("out.prt"))));
  // The run was over before the signal landed: everything is complete.
  if (run.status == 0) {
    EXPECT_EQ(listing.size(), 32u * kLargeCount);
  }
  expect_interrupted_console(run, GetParam());
}

TEST_P(InterruptWhileWriting, ALargePrintFileEndsWithWholeRecords) {
  // The print file's records (38 bytes in the table) do not divide its
  // output blocks, so a block written out ends inside a record.
  TempDir dir;
  RunResult run = interrupt_once_growing(dir, "out.prt", GetParam().signal_number);
  const std::string print = read_file(dir.file("out.prt"));
  EXPECT_TRUE(whole_lines(print)) << print.size() << " bytes, ending "
                                  << print.substr(print.size() < 40 ? 0 : print.size() - 40);
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 32u * kLargeCount);
  expect_interrupted_console(run, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptWhileWriting, all_interrupts(), interrupt_name);

}  // namespace
}  // namespace vorna_test
