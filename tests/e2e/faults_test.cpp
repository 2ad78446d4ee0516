// The real program under hostile conditions: files it cannot write or name,
// series files that are not text, a console that is gone, blocked or not
// ready, interrupts and hang-ups, full disks and resource limits, pipes,
// shared files and standard streams as output files. Every case ends with
// its one diagnostic line and status, whole records in the files, and no
// hang.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "support/interrupts.h"
#include "support/program_text.h"
#include "support/run_shell.h"
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
  const char* text = number == 9    ? "permission to access file denied"
                     : number == 22 ? "input record too long"
                     : number == 29 ? "file not found"
                     : number == 30 ? "open failure"
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

// Two extrema, so that no warning joins the diagnostics under test.
std::string four_samples() { return "0 0\n1 1\n2 0\n3 1\n"; }

// ---- output files that cannot be written ----

TEST(Faults, PrintAndListingOnAFullDeviceGiveOneLine38ForTheListing) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
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
  write_file(dir.file("s.txt"), four_samples());
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
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 4u * 32);
}

// ---- listing file names that cannot be used ----

TEST(Faults, ListingFileInAMissingDirectoryIs29WithItsAbsoluteName) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  RunResult run =
      run_vorna(dir.path(), kAnswers, Environment{{"fort36", "  no/such/dir/list.txt  "}});
  EXPECT_EQ(run.status, 29);
  EXPECT_EQ(run.err, diagnostic(29, 36, real_path(dir.path()) + "/no/such/dir/list.txt"));
  EXPECT_FALSE(file_exists(dir.file("fort.36")));
}

TEST(Faults, ListingFileNameWithTooLongAComponentIs43) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  const std::string name(300, 'n');
  RunResult run = run_vorna(dir.path(), kAnswers, Environment{{"FORT36", name}});
  EXPECT_EQ(run.status, 43);
  EXPECT_EQ(run.err, diagnostic(43, 36, real_path(dir.path()) + "/" + name));
}

TEST(Faults, ListingFileNameLongerThanAnyPathIs43OnOneLine) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
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
  EXPECT_EQ(
      run.err,
      kEndOfInput +
          "vorna: (standard input):2: the answers ended while a file name was asked for again; the "
          "last one was refused (a folder, or a file that cannot be opened for this): \"sub\"\r\n");
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
  EXPECT_EQ(run.err, kSyntaxError + "vorna: s.txt:1: the time is not a number: \"" +
                         std::string(80, 'x') + "...\"\r\n");
}

TEST(Faults, SixtyFourMebibyteLineStartingWithTwoNumbersIsOneSample) {
  TempDir dir;
  write_file(dir.file("s.txt"), huge_line("1 2 ", ' '));
  RunResult run = run_vorna(dir.path(), kAnswers);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "vorna: warning: s.txt:1: the line is longer than 256 characters and only its first "
            "256 are read: \"1 2\"; the command line (vorna SERIES) reads whole lines\r\n" +
                no_height_warning(0, 1));
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 32u);
  // The command line reads the line whole: the same sample, no cut.
  RunOptions options;
  options.arguments = {"s.txt"};
  run = run_vorna_with(dir.path(), "", options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, no_height_warning(0, 1));
  EXPECT_EQ(read_file(dir.file("s.lst")).size(), 32u);
}

TEST(Faults, BinaryGarbageInTheSeriesFileIsOneSyntaxDiagnostic) {
  TempDir dir;
  write_file(dir.file("s.txt"), std::string("\x7f\x01\xff\xfe garbage\x00\x00 ", 16) + "\n1 2\n");
  RunResult run = run_vorna(dir.path(), kAnswers);
  EXPECT_EQ(run.status, 59);
  EXPECT_EQ(run.err,
            kSyntaxError + "vorna: s.txt:1: the time is not a number: \"???? garbage?? ?\"\r\n");
  EXPECT_FALSE(file_exists(dir.file("fort.36")));
}

TEST(Faults, NulBytesInTheSeriesFileAreOneSyntaxDiagnostic) {
  TempDir dir;
  write_file(dir.file("s.txt"), std::string("0 0\n\0\0\0\0\n2 0\n", 13));
  RunResult run = run_vorna(dir.path(), kAnswers);
  EXPECT_EQ(run.status, 59);
  EXPECT_EQ(run.err, kSyntaxError + "vorna: s.txt:2: the time is not a number: \"????\"\r\n");
}

// ---- a console that is gone ----

TEST(Faults, StandardInputThatIsGoneEndsTheRunAtTheFirstQuestion) {
  const struct {
    RunOptions::Input input;
    std::string err;
    int status;
  } cases[] = {
      {RunOptions::Input::kDevNull, kEndOfInput, 24},
      {RunOptions::Input::kClosed, kEndOfInput, 24},
      // A directory cannot be read at all.
      {RunOptions::Input::kDirectory,
       "vorna: severe (39): error during read, unit 5, file CONIN$\r\n", 39},
  };
  for (const auto& c : cases) {
    TempDir dir;
    RunOptions options;
    options.input = c.input;
    RunResult run = run_vorna_with(dir.path(), "", options);
    EXPECT_EQ(run.out, banner() + kPrintPrompt) << c.status;
    EXPECT_EQ(run.err, c.err) << c.status;
    EXPECT_EQ(run.status, c.status);
  }
}

TEST(Faults, InputEndingInsideAnAnswerIsThatAnswer) {
  // The last answer has no line end: it is an answer like any other, and the
  // end of the input comes at the next question.
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  RunResult run = run_vorna(dir.path(), "out.prt\ns.txt\n0");
  EXPECT_EQ(run.out, banner() + kPrintPrompt + kSeriesPrompt + kFirstPrompt + kLastPrompt);
  EXPECT_EQ(run.err, kEndOfInput);
  EXPECT_EQ(run.status, 24);
}

// ---- console output comes before a diagnostic line ----

TEST(Faults, PendingConsoleOutputComesBeforeTheDiagnosticLine) {
  TempDir normal_dir;
  write_file(normal_dir.file("s.txt"), four_samples());
  RunResult normal = run_vorna(normal_dir.path(), kAnswers);
  ASSERT_EQ(normal.status, 0);

  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
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
  EXPECT_EQ(run.signal, event.signal_number);
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

// ---- interrupts that find the run blocked, or ignored ----

std::string series_of(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::to_string(i) + (i % 3 == 0 ? " 1.5\n" : " -0.25\n");
  return text;
}

bool ends_within(VornaProcess& process, double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (process.running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return !process.running();
}

std::string interrupt_line(const char* event) {
  return std::string("vorna: error (200): program aborting due to ") + event + " event\r\n";
}

TEST(InterruptWhileBlocked, AConsolePipeNobodyReadsDoesNotHoldUpTheEnding) {
  // The print file goes through standard output, a pipe that is never read:
  // the program blocks writing it. The interrupt still ends the run at once,
  // the listing written before is whole, and what the pipe took ends on a
  // record end: the rest is dropped in whole records.
  TempDir dir;
  const int kCount = 200000;
  write_file(dir.file("s.txt"), series_of(kCount));
  ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
  const int reader = open(dir.file("pipe").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  RunOptions options;
  options.output_file = dir.file("pipe");
  VornaProcess process(dir.path(), options);
  process.send("/dev/stdout\ns.txt\n\n\n");
  struct stat info;
  while (process.running() &&
         !(stat(dir.file("fort.36").c_str(), &info) == 0 && info.st_size == 32 * kCount)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(process.running()) << "the run should be blocked on its full console pipe";
  process.signal(SIGTERM);
  ASSERT_TRUE(ends_within(process, 3.0));
  RunResult run = process.wait();
  std::string taken;
  char bytes[65536];
  ssize_t got;
  while ((got = read(reader, bytes, sizeof bytes)) > 0)
    taken.append(bytes, static_cast<std::size_t>(got));
  close(reader);
  EXPECT_EQ(run.signal, SIGTERM);
  EXPECT_EQ(run.err, interrupt_line("TERMINATE"));
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 32u * kCount);
  ASSERT_GT(taken.size(), banner().size());
  EXPECT_TRUE(whole_lines(taken)) << "ends with " << taken.substr(taken.size() - 40);
}

class IgnoredSignal : public ::testing::TestWithParam<InterruptCase> {};

TEST_P(IgnoredSignal, StaysIgnoredAndTheRunGoesOn) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  RunOptions options;
  options.ignored_signals = {GetParam().signal_number};
  VornaProcess process(dir.path(), options);
  process.send("out.prt\n");
  ASSERT_TRUE(process.wait_for_output(kSeriesPrompt));
  process.signal(GetParam().signal_number);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(process.running());
  process.send("s.txt\n\n\n");
  process.close_input();
  RunResult run = process.wait();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 4u * 32);
}

INSTANTIATE_TEST_SUITE_P(Signals, IgnoredSignal, all_interrupts(), interrupt_name);

// ---- a terminal that hangs up ----

// The program on a pseudo-terminal of its own, standard error in a file.
// The terminal's master side is the test's; closing it hangs the terminal
// up. As session leader the program gets SIGHUP from the system; otherwise
// a session leader that ignores the hang-up starts it in the foreground,
// and only its reads fail.
class TerminalRun {
 public:
  TerminalRun(const std::string& directory, bool session_leader) : err_path_(directory + "/err") {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const std::string terminal = ptsname(master_);
    pid_ = fork();
    if (pid_ != 0) return;
    setsid();
    const int slave = open(terminal.c_str(), O_RDWR);  // becomes the controlling terminal
    const int err = open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    close(master_);
    if (chdir(directory.c_str()) != 0) _exit(127);
    if (!session_leader) start_in_foreground();
    char* argv[] = {const_cast<char*>(VORNA_BINARY), nullptr};
    execv(VORNA_BINARY, argv);
    _exit(127);
  }
  ~TerminalRun() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      wait();
    }
    if (master_ >= 0) close(master_);
  }
  bool started() const { return pid_ > 0; }

  // Reads the terminal until text has appeared (true) or for 10 s.
  bool wait_for_output(const std::string& text) {
    fcntl(master_, F_SETFL, O_NONBLOCK);
    for (int i = 0; i < 2000 && seen_.find(text) == std::string::npos; ++i) {
      char bytes[4096];
      const ssize_t got = read(master_, bytes, sizeof bytes);
      if (got > 0)
        seen_.append(bytes, static_cast<std::size_t>(got));
      else
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return seen_.find(text) != std::string::npos;
  }
  // Types the bytes on the terminal's keyboard.
  void type(const std::string& bytes) {
    if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
      ADD_FAILURE() << "typing failed";
  }
  void hang_up() {
    close(master_);
    master_ = -1;
  }
  RunResult wait() {
    RunResult result;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.err = read_file(err_path_);
    return result;
  }

 private:
  // Runs the program in a process group of its own in the terminal's
  // foreground, and passes on how it ended.
  static void start_in_foreground() {
    struct sigaction keep {};
    keep.sa_handler = [](int) {};
    sigaction(SIGHUP, &keep, nullptr);  // a handler, not SIG_IGN: the program must not inherit it
    const pid_t child = fork();
    if (child == 0) {
      setpgid(0, 0);
      ::signal(SIGTTOU, SIG_IGN);
      tcsetpgrp(STDIN_FILENO, getpid());
      ::signal(SIGTTOU, SIG_DFL);
      return;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  }

  std::string err_path_;
  std::string seen_;
  int master_ = -1;
  pid_t pid_ = -1;
};

class TerminalHangUp : public ::testing::TestWithParam<bool> {};

TEST_P(TerminalHangUp, WhileAQuestionWaitsIsTheWindowCloseEvent) {
  TempDir dir;
  TerminalRun run(dir.path(), GetParam());
  if (!run.started()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  ASSERT_TRUE(run.wait_for_output(kPrintPrompt));
  run.hang_up();
  RunResult result = run.wait();
  EXPECT_EQ(result.err, interrupt_line("window-CLOSE"));
  EXPECT_EQ(result.status, 128 + SIGHUP);
}

INSTANTIATE_TEST_SUITE_P(Terminals, TerminalHangUp, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& case_info) {
                           return case_info.param ? "SessionLeaderGetsSIGHUP" : "ReadFailsFirst";
                         });

TEST(TerminalAnswers, TextSentByControlDIsAnAnswerOfItsOwn) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  TerminalRun run(dir.path(), true);
  if (!run.started()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
  ASSERT_TRUE(run.wait_for_output(kPrintPrompt));
  run.type("p.txt\x04");  // control-D sends the text without a line end
  ASSERT_TRUE(run.wait_for_output(kSeriesPrompt));
  run.type("s.txt\n");
  ASSERT_TRUE(run.wait_for_output(kFirstPrompt));
  run.type("\n");
  ASSERT_TRUE(run.wait_for_output(kLastPrompt));
  run.type("\n");
  RunResult result = run.wait();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(file_exists(dir.file("p.txt")));
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 4u * 32);
}

// ---- full disks and file-size limits ----

// The listing is whole records up to the failure, and a record is cut only
// when the system took part of it.
void expect_whole_listing(const std::string& listing, std::size_t below) {
  EXPECT_EQ(listing.size() % 32, 0u) << listing.size() << " bytes";
  EXPECT_TRUE(whole_lines(listing));
  EXPECT_GT(listing.size(), 0u);
  EXPECT_LE(listing.size(), below);
}

TEST(FileSizeLimit, IsAFailedWriteAndTheListingEndsOnAWholeRecord) {
  TempDir dir;
  write_file(dir.file("s.txt"), series_of(10000));
  RunOptions options;
  options.limits = {{RLIMIT_FSIZE, 100010}};
  RunResult run = run_vorna_with(dir.path(), kAnswers, options);
  EXPECT_EQ(run.status, 38);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.err, diagnostic(38, 36, real_path(dir.path()) + "/fort.36"));
  expect_whole_listing(read_file(dir.file("fort.36")), 100010);
}

// A small file system of its own, for a full disk; needs root.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& path) : path_(path) {
    mounted_ = mkdir(path.c_str(), 0755) == 0 &&
               mount("vorna-test", path.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallDisk() {
    if (mounted_) umount(path_.c_str());
  }
  bool mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

TEST(FullDisk, ListingIsCutBackToItsLastWholeRecord) {
  TempDir dir;
  SmallDisk disk(dir.file("small"));
  if (!disk.mounted()) GTEST_SKIP() << "a 64 KiB tmpfs cannot be mounted here (needs root)";
  write_file(dir.file("s.txt"), series_of(10000));
  RunResult run = run_vorna(dir.path(), kAnswers, Environment{{"FORT36", "small/list.txt"}});
  EXPECT_EQ(run.status, 38);
  EXPECT_EQ(run.err, diagnostic(38, 36, real_path(dir.path()) + "/small/list.txt"));
  expect_whole_listing(read_file(dir.file("small/list.txt")), 65536);
}

TEST(FullDisk, PrintFileIsCutBackAndTheListingIsWhole) {
  TempDir dir;
  SmallDisk disk(dir.file("small"));
  if (!disk.mounted()) GTEST_SKIP() << "a 64 KiB tmpfs cannot be mounted here (needs root)";
  write_file(dir.file("s.txt"), series_of(10000));
  RunResult run = run_vorna(dir.path(), "small/out.prt\ns.txt\n\n\n");
  EXPECT_EQ(run.status, 38);
  EXPECT_EQ(run.err, diagnostic(38, 20, real_path(dir.path()) + "/small/out.prt"));
  const std::string print = read_file(dir.file("small/out.prt"));
  EXPECT_TRUE(whole_lines(print)) << print.size() << " bytes";
  EXPECT_GT(print.size(), 0u);
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 32u * 10000);
}

// ---- resource limits ----

TEST(ResourceLimits, GiveADiagnosticNotAnAbort) {
  struct Case {
    const char* name;
    int resource;
    rlim_t value;
    std::string series;
    int status;
    std::string err;
  };
  std::vector<Case> cases = {
      // No process or thread can be started: the run needs none.
      {"processes", RLIMIT_NPROC, 0, four_samples(), 0, ""},
  };
  // The address sanitizer's runtime needs address space and descriptors of
  // its own.
#if !defined(__SANITIZE_ADDRESS__)
  // Descriptors 0-2, the print file and the series file: none left for the listing.
  cases.push_back({"open files", RLIMIT_NOFILE, 5, four_samples(), 30,
                   "open failure, unit 36, file @/fort.36"});
  // A 64 MiB line cannot be held in 100 MB of address space.
  cases.push_back({"address space", RLIMIT_AS, 100u << 20, huge_line("", 'x'), 22,
                   "input record too long, unit 21, file @/s.txt"});
#endif
  // As root a process limit binds only another user.
  const bool unprivileged = geteuid() == 0 && unprivileged_runs_possible();
  for (const Case& c : cases) {
    if (c.resource == RLIMIT_NPROC && geteuid() == 0 && !unprivileged) continue;
    TempDir dir;
    write_file(dir.file("s.txt"), c.series);
    ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(dir.file("s.txt").c_str(), 0644), 0);
    RunOptions options;
    options.limits = {{c.resource, c.value}};
    options.unprivileged = unprivileged;
    RunResult run = run_vorna_with(dir.path(), kAnswers, options);
    std::string err = c.err;
    if (!err.empty()) {
      err = "vorna: severe (" + std::to_string(c.status) + "): " + err + "\r\n";
      err.replace(err.find('@'), 1, real_path(dir.path()));
    }
    EXPECT_EQ(run.status, c.status) << c.name;
    EXPECT_EQ(run.err, err) << c.name;
  }
}

TEST(StandardOutputClosed, IsAFailedWriteAtTheFirstRecord) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  RunOptions options;
  options.close_output = true;
  RunResult run = run_vorna_with(dir.path(), kAnswers, options);
  EXPECT_EQ(run.status, 38);
  EXPECT_EQ(run.err, diagnostic(38, 6, "CONOUT$"));
  EXPECT_FALSE(file_exists(dir.file("out.prt")));
}

TEST(EndlessConsoleInput, ALineWithoutEndFromADeviceIs22) {
  // /dev/zero as standard input: one line of zero bytes up to the longest
  // line the program holds, read in blocks.
  TempDir dir;
  RunOptions options;
  options.input = RunOptions::Input::kFile;
  options.input_file = "/dev/zero";
  RunResult run = run_vorna_with(dir.path(), "", options);
  EXPECT_EQ(run.status, 22);
  EXPECT_EQ(run.err, diagnostic(22, 5, "CONIN$"));
}

// ---- consoles that are not ready ----

TEST(NonBlockingConsole, InputThatIsNotReadyIsWaitedFor) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  RunOptions options;
  options.nonblocking = true;
  VornaProcess process(dir.path(), options);
  for (const char* answer : {"out.prt\n", "s.txt\n", "\n", "\n"}) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    process.send(answer);
  }
  process.close_input();
  RunResult run = process.wait();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 4u * 32);
}

TEST(NonBlockingConsole, OutputThatIsNotReadyIsWaitedFor) {
  // Four hundred names that cannot be opened fill the non-blocking console
  // pipe, which is read only after a pause: every byte arrives.
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
  const int reader = open(dir.file("pipe").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  RunOptions options;
  options.output_file = dir.file("pipe");
  options.nonblocking = true;
  VornaProcess process(dir.path(), options);
  process.send(std::string(400, '\n') + kAnswers);
  process.close_input();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::string out;
  fcntl(reader, F_SETFL, 0);
  char bytes[65536];
  ssize_t got;
  while ((got = read(reader, bytes, sizeof bytes)) > 0)
    out.append(bytes, static_cast<std::size_t>(got));
  close(reader);
  RunResult run = process.wait();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  std::string retries;
  for (int i = 0; i < 400; ++i)
    retries += kPrintPrompt + " Cannot Open file :" + name_field("") + "\r\n";
  const std::string dialogue =
      banner() + retries + kPrintPrompt + kSeriesPrompt + kFirstPrompt + kLastPrompt;
  EXPECT_EQ(out.size(), dialogue.size() + 4 * 46);
  EXPECT_TRUE(out.compare(0, dialogue.size(), dialogue) == 0);
}

// ---- files the system refuses to create ----

TEST(CreationRefused, ListingInADirectoryThatRefusesItIs9AndThePrintFileIsAskedAgain) {
  if (geteuid() == 0 && !unprivileged_runs_possible()) {
    GTEST_SKIP() << "running as root and the program cannot be run as the user nobody, so no "
                    "directory would refuse a file";
  }
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  ASSERT_EQ(mkdir(dir.file("locked").c_str(), 0555), 0);
  ASSERT_EQ(chmod(dir.file("s.txt").c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  RunOptions options;
  options.unprivileged = geteuid() == 0;
  options.environment = {{"FORT36", "locked/list.txt"}};
  RunResult run = run_vorna_with(dir.path(), "locked/out.prt\nout.prt\ns.txt\n\n\n", options);
  const std::string retry = banner() + kPrintPrompt +
                            " Cannot Open file :" + name_field("locked/out.prt") + "\r\n" +
                            kPrintPrompt;
  EXPECT_EQ(run.out.substr(0, retry.size()), retry);
  EXPECT_EQ(run.status, 9);
  EXPECT_EQ(run.err, diagnostic(9, 36, real_path(dir.path()) + "/locked/list.txt"));
}

struct NormalRun {
  std::string out, print, listing;
};

NormalRun normal_run(const std::string& series) {
  TempDir dir;
  write_file(dir.file("s.txt"), series);
  RunResult run = run_vorna(dir.path(), kAnswers);
  EXPECT_EQ(run.status, 0);
  return {run.out, read_file(dir.file("out.prt")), read_file(dir.file("fort.36"))};
}

// ---- pipes as output files ----

TEST(FifoOutput, WaitsForItsReaderUntilAnInterrupt) {
  // A print file that is a pipe nobody opens: the run waits at its question
  // for a reader, and an interrupt still ends the wait.
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  ASSERT_EQ(mkfifo(dir.file("out.prt").c_str(), 0600), 0);
  VornaProcess process(dir.path());
  process.send(kAnswers);
  process.close_input();
  ASSERT_TRUE(process.wait_for_output(kPrintPrompt));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(process.running()) << "a writer of a pipe waits for its reader";
  process.signal(SIGINT);
  ASSERT_TRUE(ends_within(process, 3.0));
  RunResult run = process.wait();
  EXPECT_EQ(run.signal, SIGINT);
  EXPECT_EQ(run.out, banner() + kPrintPrompt);
  EXPECT_EQ(run.err, interrupt_line("control-C"));
}

// Reads a named pipe from its open until its writer closes it, or at most
// `most` bytes; gives up after ten seconds without a byte or a writer.
std::string read_pipe(const std::string& path, std::size_t most = std::string::npos) {
  std::string bytes;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  pollfd entry{fd, POLLIN, 0};
  char buffer[4096];
  while (fd >= 0 && bytes.size() < most && poll(&entry, 1, 10000) > 0) {
    const ssize_t got = read(fd, buffer, std::min(sizeof buffer, most - bytes.size()));
    if (got == 0) break;
    if (got > 0) bytes.append(buffer, static_cast<std::size_t>(got));
  }
  if (fd >= 0) close(fd);
  return bytes;
}

// A run whose listing is the named pipe fort.36, given all its answers.
std::unique_ptr<VornaProcess> start_with_listing_pipe(const TempDir& dir,
                                                      const std::string& series) {
  write_file(dir.file("s.txt"), series);
  EXPECT_EQ(mkfifo(dir.file("fort.36").c_str(), 0600), 0);
  auto process = std::make_unique<VornaProcess>(dir.path());
  process->send(kAnswers);
  process->close_input();
  return process;
}

TEST(FifoOutput, AReaderThatComesLateGetsTheWholeListing) {
  TempDir dir;
  const auto started = start_with_listing_pipe(dir, series_of(1000));
  VornaProcess& process = *started;
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  const std::string listing = read_pipe(dir.file("fort.36"));
  RunResult run = process.wait();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(listing, normal_run(series_of(1000)).listing);
}

TEST(FifoOutput, AReaderThatLeavesEarlyIs38) {
  // As `head -n 2` on the pipe: the run must not wait for it forever.
  TempDir dir;
  const auto started = start_with_listing_pipe(dir, series_of(200000));
  VornaProcess& process = *started;
  EXPECT_EQ(read_pipe(dir.file("fort.36"), 64).size(), 64u);
  ASSERT_TRUE(ends_within(process, 10.0)) << "the pipe's reader is gone";
  RunResult run = process.wait();
  EXPECT_EQ(run.status, 38);
  EXPECT_EQ(run.err, diagnostic(38, 36, real_path(dir.path()) + "/fort.36"));
}

TEST(FifoOutput, AReaderGetsTheWholeListing) {
  TempDir normal;
  write_file(normal.file("s.txt"), four_samples());
  ASSERT_EQ(run_vorna(normal.path(), kAnswers).status, 0);
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  ASSERT_EQ(mkfifo(dir.file("fort.36").c_str(), 0600), 0);
  const int reader = open(dir.file("fort.36").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  RunResult run = run_vorna(dir.path(), kAnswers);
  char bytes[4096];
  const ssize_t got = read(reader, bytes, sizeof bytes);
  close(reader);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(std::string(bytes, got > 0 ? static_cast<std::size_t>(got) : 0),
            read_file(normal.file("fort.36")));
}

// ---- one file, one unit ----

TEST(OneFileOneUnit, SeriesFileGivenThePrintFilesNameIsAskedAgain) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  ASSERT_EQ(link(dir.file("s.txt").c_str(), dir.file("same.txt").c_str()), 0);
  RunResult run = run_vorna(dir.path(), "s.txt\ns.txt\nsame.txt\n");
  EXPECT_EQ(run.out, banner() + kPrintPrompt + kSeriesPrompt +
                         " Nonexisting file :" + name_field("s.txt") + "\r\n" + kSeriesPrompt +
                         " Nonexisting file :" + name_field("same.txt") + "\r\n" + kSeriesPrompt);
  EXPECT_EQ(run.status, 24);
  EXPECT_EQ(read_file(dir.file("s.txt")), four_samples());
}

TEST(OneFileOneUnit, ListingNamingThePrintOrTheSeriesFileIs30) {
  for (const std::string name : {"out.prt", "s.txt", "same.txt"}) {
    TempDir dir;
    write_file(dir.file("s.txt"), four_samples());
    write_file(dir.file("out.prt"), "keep me\r\n");
    ASSERT_EQ(link(dir.file("s.txt").c_str(), dir.file("same.txt").c_str()), 0);
    RunResult run = run_vorna(dir.path(), kAnswers, Environment{{"FORT36", name}});
    EXPECT_EQ(run.status, 30) << name;
    EXPECT_EQ(run.err, diagnostic(30, 36, real_path(dir.path()) + "/" + name));
    EXPECT_EQ(read_file(dir.file("s.txt")), four_samples()) << name;
    EXPECT_EQ(read_file(dir.file("out.prt")), "keep me\r\n") << name;
  }
}

TEST(OneFileOneUnit, PrintFileThatIsStandardInputIsAskedAgain) {
  TempDir dir;
  VornaProcess process(dir.path());
  process.send("/dev/stdin\n");
  process.close_input();
  // Writing into its own input, the run would never see the input end.
  ASSERT_TRUE(ends_within(process, 5.0));
  RunResult run = process.wait();
  EXPECT_EQ(run.out, banner() + kPrintPrompt + " Cannot Open file :" + name_field("/dev/stdin") +
                         "\r\n" + kPrintPrompt);
  EXPECT_EQ(run.status, 24);
}

TEST(OneFileOneUnit, SeriesReadFromStandardInputAfterTheAnswers) {
  TempDir dir;
  RunResult run = run_vorna(dir.path(), "out.prt\n/dev/stdin\n\n\n" + four_samples());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(read_file(dir.file("fort.36")).size(), 4u * 32);
}

TEST(OneFileOneUnit, SeriesReadFromStandardInputThatIsAFile) {
  // The answers and the series in one file: the series is read on from the
  // answers, not from the file's start.
  const NormalRun normal = normal_run(four_samples());
  TempDir dir;
  write_file(dir.file("in.txt"), "out.prt\n/dev/stdin\n\n\n" + four_samples());
  RunOptions options;
  options.input = RunOptions::Input::kFile;
  options.input_file = dir.file("in.txt");
  RunResult run = run_vorna_with(dir.path(), "", options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(read_file(dir.file("fort.36")), normal.listing);
}

TEST(OneFileOneUnit, StandardInputThatIsAFileIsLeftAfterTheLastAnswer) {
  // The console reads its file in blocks and gives back what it read past
  // the last answer, for the next program that reads the file.
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  write_file(dir.file("in.txt"), std::string(kAnswers) + "the next program's line\n");
  const ShellResult shell =
      run_shell(dir.path(), "exec <in.txt; " + shell_quoted(VORNA_BINARY) + " >/dev/null; cat");
  EXPECT_EQ(shell.status, 0);
  EXPECT_EQ(shell.output, "the next program's line\n");
}

TEST(OneFileOneUnit, SeriesFileThatIsStandardOutputIsAskedAgain) {
  // The run would read back its own banner and questions as data.
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  RunOptions options;
  options.output_file = dir.file("s.txt");
  options.append_output = true;
  RunResult run = run_vorna_with(dir.path(), "out.prt\ns.txt\n", options);
  EXPECT_EQ(run.status, 24);
  EXPECT_EQ(run.err, kEndOfInput +
                         "vorna: (standard input):2: the answers ended while a file name was "
                         "asked for again; the last one was refused (a folder, or a file that "
                         "cannot be opened for this): \"s.txt\"\r\n");
  EXPECT_EQ(run.out, four_samples() + banner() + kPrintPrompt + kSeriesPrompt +
                         " Nonexisting file :" + name_field("s.txt") + "\r\n" + kSeriesPrompt);
}

TEST(OneFileOneUnit, SeriesFileIsOpenedForReadingOnly) {
  // A program that watches the file sees it read, never written.
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, dir.file("s.txt").c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE),
            0);
  RunResult run = run_vorna(dir.path(), kAnswers);
  EXPECT_EQ(run.status, 0);
  int closed_written = 0, closed_read = 0;
  alignas(inotify_event) char events[4096];
  ssize_t got;
  while ((got = read(watch, events, sizeof events)) > 0) {
    for (char* at = events; at < events + got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      closed_written += (event->mask & IN_CLOSE_WRITE) != 0;
      closed_read += (event->mask & IN_CLOSE_NOWRITE) != 0;
      at += sizeof(inotify_event) + event->len;
    }
  }
  close(watch);
  EXPECT_EQ(closed_written, 0);
  EXPECT_GE(closed_read, 1);
}

// ---- output files that are standard output ----

// The bytes of the date stamp differ from run to run.
std::string without_date_stamp(std::string text) {
  const std::string mark = "# Date : ";
  for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
    text.replace(at + mark.size(), 19, 19, 'D');
  }
  return text;
}

std::string::size_type after_lines(const std::string& text, std::size_t from, int lines) {
  for (int i = 0; i < lines; ++i) from = text.find("\r\n", from) + 2;
  return from;
}

TEST(StandardStreams, ListingOnAppendedStandardOutputKeepsTheLogsEarlierLines) {
  const NormalRun normal = normal_run(four_samples());
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  const std::string earlier = "earlier line 1\nearlier line 2\n";
  write_file(dir.file("run.log"), earlier);
  RunOptions options;
  options.output_file = dir.file("run.log");
  options.append_output = true;
  options.environment = {{"FORT36", "/dev/stdout"}};
  RunResult run = run_vorna_with(dir.path(), kAnswers, options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::size_t dialogue = normal.out.size() - 4 * 46;
  EXPECT_EQ(read_file(dir.file("run.log")), earlier + normal.out.substr(0, dialogue) +
                                                normal.listing + normal.out.substr(dialogue));
}

TEST(StandardStreams, PrintFileOnStandardOutputKeepsTheReportOrder) {
  // Summary lines 1-2, the header block, lines 3-4, then the table.
  const NormalRun normal = normal_run(series_of(1000));
  TempDir dir;
  write_file(dir.file("s.txt"), series_of(1000));
  RunResult run = run_vorna(dir.path(), "/dev/stdout\ns.txt\n\n\n");
  EXPECT_EQ(run.status, 0);
  const std::size_t lines_1_2 = normal.out.size() - 2 * 46;
  const std::size_t header = after_lines(normal.print, 0, 9);
  const std::string expected = normal.out.substr(0, lines_1_2) + normal.print.substr(0, header) +
                               normal.out.substr(lines_1_2) + normal.print.substr(header);
  EXPECT_EQ(without_date_stamp(run.out), without_date_stamp(expected));
}

// ---- two runs writing one file ----

TEST(SharedFiles, TwoRunsWritingOneListingLeaveTheWholeListingOfOne) {
  TempDir shared, first_dir, second_dir;
  const std::string listing = shared.file("fort.36");
  const int kCount = 300000;
  write_file(first_dir.file("s.txt"), series_of(kCount));
  write_file(second_dir.file("s.txt"), four_samples());
  const NormalRun second_alone = normal_run(four_samples());
  RunOptions options;
  options.environment = {{"FORT36", listing}};
  VornaProcess first(first_dir.path(), options);
  first.send(kAnswers);
  first.close_input();
  struct stat info;
  while (first.running() && !(stat(listing.c_str(), &info) == 0 && info.st_size > 0)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // The second run starts while the first writes: it writes last.
  RunResult second = run_vorna_with(second_dir.path(), kAnswers, options);
  RunResult first_run = first.wait();
  EXPECT_EQ(first_run.status, 0);
  EXPECT_EQ(second.status, 0);
  const std::string left = read_file(listing);
  EXPECT_TRUE(left == second_alone.listing)
      << left.size() << " bytes, " << std::count(left.begin(), left.end(), '\0') << " of them NUL";
}

const std::string kOtherProgramsLine = "another program's line\r\n";

// A series of four samples, and a listing that holds another program's
// line and is locked by it: the descriptor that holds the lock, or -1.
int hold_listing(const TempDir& dir) {
  write_file(dir.file("s.txt"), four_samples());
  write_file(dir.file("fort.36"), kOtherProgramsLine);
  const int held = open(dir.file("fort.36").c_str(), O_RDWR | O_CLOEXEC);
  if (held >= 0 && flock(held, LOCK_EX) != 0) {
    close(held);
    return -1;
  }
  return held;
}

TEST(SharedFiles, ARunWaitsWhileAnotherProgramHoldsTheFile) {
  TempDir dir;
  const int held = hold_listing(dir);
  ASSERT_GE(held, 0);
  RunOptions options;
  options.merge_error_into_output = true;
  VornaProcess process(dir.path(), options);
  process.send(kAnswers);
  process.close_input();
  const std::string note =
      "vorna: info: waiting for another program to finish writing, unit 36, file " +
      real_path(dir.path()) + "/fort.36\r\n";
  ASSERT_TRUE(process.wait_for_output(note));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(process.running());
  EXPECT_EQ(read_file(dir.file("fort.36")), kOtherProgramsLine);
  close(held);
  RunResult run = process.wait();
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(read_file(dir.file("fort.36")), normal_run(four_samples()).listing);
}

TEST(SharedFiles, AnInterruptEndsTheWaitForAHeldFileAndNothingIsCut) {
  // Standard error is a full pipe: the waiting note uses up the grace time
  // of the interrupt, and the wait for the lock must still end at once.
  TempDir dir;
  const int held = hold_listing(dir);
  ASSERT_GE(held, 0);
  ASSERT_EQ(mkfifo(dir.file("err").c_str(), 0600), 0);
  const int reader = open(dir.file("err").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  const int filler = open(dir.file("err").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(filler, 0);
  const std::string block(4096, 'x');
  while (write(filler, block.data(), block.size()) > 0) {
  }
  RunOptions options;
  options.error_file = dir.file("err");
  VornaProcess process(dir.path(), options);
  process.send(kAnswers);
  process.close_input();
  ASSERT_TRUE(process.wait_for_output(kLastPrompt));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(process.running());
  process.signal(SIGTERM);
  const bool ended = ends_within(process, 3.0);
  close(held);
  EXPECT_TRUE(ended) << "the run waited for the other program";
  RunResult run = process.wait();
  close(filler);
  close(reader);
  EXPECT_EQ(run.signal, SIGTERM);
  EXPECT_EQ(read_file(dir.file("fort.36")), kOtherProgramsLine);
}

// ---- names ----

// A chain of directories deeper than any path can name, removed with
// everything in it.
class DeepDirectory {
 public:
  static constexpr int kDepth = 20;
  explicit DeepDirectory(const std::string& root) : root_(root), component_(250, 'd') {
    int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < kDepth && fd >= 0; ++i) {
      mkdirat(fd, component_.c_str(), 0755);
      const int next = openat(fd, component_.c_str(), O_RDONLY | O_DIRECTORY);
      close(fd);
      fd = next;
    }
    deepest_ = fd;
  }
  ~DeepDirectory() {
    if (deepest_ >= 0) close(deepest_);
    const int fd = open(root_.c_str(), O_RDONLY | O_DIRECTORY);
    remove_tree(fd, component_.c_str());
    close(fd);
  }
  std::vector<std::string> descend() const { return std::vector<std::string>(kDepth, component_); }
  void write(const std::string& name, const std::string& bytes) const {
    const int fd = openat(deepest_, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0 && ::write(fd, bytes.data(), bytes.size()) < 0) ADD_FAILURE() << name;
    close(fd);
  }
  std::string read(const std::string& name) const {
    std::string bytes;
    const int fd = openat(deepest_, name.c_str(), O_RDONLY);
    char buffer[4096];
    ssize_t got;
    while (fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0) {
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
    if (fd >= 0) close(fd);
    return bytes;
  }

 private:
  static void remove_tree(int parent, const char* name) {
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0) {
      unlinkat(parent, name, 0);
      return;
    }
    DIR* entries = fdopendir(fd);
    while (dirent* entry = readdir(entries)) {
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
        remove_tree(fd, entry->d_name);
      }
    }
    closedir(entries);
    unlinkat(parent, name, AT_REMOVEDIR);
  }

  std::string root_;
  std::string component_;
  int deepest_ = -1;
};

TEST(Names, RelativeNamesWorkWhereTheWorkingDirectoryHasNoName) {
  TempDir dir;
  DeepDirectory deep(dir.path());
  deep.write("s.txt", four_samples());
  RunOptions options;
  options.descend = deep.descend();
  RunResult run = run_vorna_with(dir.path(), kAnswers, options);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(deep.read("fort.36").size(), 4u * 32);
  // A diagnostic shows the name as given.
  options.environment = {{"FORT36", "no/such/list.txt"}};
  run = run_vorna_with(dir.path(), kAnswers, options);
  EXPECT_EQ(run.status, 29);
  EXPECT_EQ(run.err, diagnostic(29, 36, "no/such/list.txt"));
}

TEST(Names, ControlBytesInANameAreShownAsQuestionMarks) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  RunResult run =
      run_vorna(dir.path(), kAnswers, Environment{{"FORT36", "no\nsuch\r\tdir\x1b/list.txt"}});
  EXPECT_EQ(run.status, 29);
  EXPECT_EQ(run.err, diagnostic(29, 36, real_path(dir.path()) + "/no?such??dir?/list.txt"));
}

TEST(Names, DeleteAndStrayEightBitBytesAreShownAsQuestionMarksAndUtf8StaysAsItIs) {
  TempDir dir;
  write_file(dir.file("s.txt"), four_samples());
  RunResult run =
      run_vorna(dir.path(), kAnswers,
                Environment{{"FORT36", "n\x7fo\x9b[2J/\xc2\x9b/gr\xc3\xbc\xc3\x9f/list.txt"}});
  EXPECT_EQ(run.status, 29);
  EXPECT_EQ(run.err,
            diagnostic(29, 36, real_path(dir.path()) + "/n?o?[2J/?/gr\xc3\xbc\xc3\x9f/list.txt"));
}

}  // namespace
}  // namespace vorna_test
