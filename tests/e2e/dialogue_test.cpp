// The start-up dialogue of the real program: banner, prompts, retries, and
// how the run ends when the console input ends or the user interrupts it.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <string>

#include "support/interrupts.h"
#include "support/program_text.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

TEST(Dialogue, BannerAndPromptsComeOutByteForByte) {
  TempDir dir;
  write_file(dir.file("s.txt"), "# comments only\n");
  RunResult run = run_vorna(dir.path(), "out.prt\ns.txt\n\n");
  EXPECT_EQ(run.out, banner() + kPrintPrompt + kSeriesPrompt + kFirstPrompt + kLastPrompt);
  EXPECT_EQ(run.err, kEndOfInput);
  EXPECT_EQ(run.status, 24);
}

TEST(Dialogue, BannerLinesAre54BlanksThen59CharactersWithTheContactLine) {
  TempDir dir;
  const std::string out = run_vorna(dir.path(), "").out;
  std::size_t start = 0;
  for (int line = 0; line < 17; ++line) {
    const std::size_t end = out.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "line " << line + 1;
    const std::string text = out.substr(start, end - start);
    if (line == 0) {
      EXPECT_EQ(text, std::string(54, ' '));
    } else {
      EXPECT_EQ(text.size(), 59u) << "line " << line + 1 << ": [" << text << "]";
    }
    if (line == 12) {
      EXPECT_EQ(text, "           -          Report problems: see the README     -");
    }
    start = end + 2;
  }
  EXPECT_EQ(out.substr(0, start), banner());
  EXPECT_EQ(out.substr(start), kPrintPrompt);
}

TEST(Dialogue, MissingSeriesFileIsAskedForAgain) {
  TempDir dir;
  write_file(dir.file("s.txt"), "# comments only\n");
  RunResult run = run_vorna(dir.path(), "out.prt\nmissing.txt\ns.txt\n");
  EXPECT_EQ(run.out, banner() + kPrintPrompt + kSeriesPrompt + nonexisting_line("missing.txt") +
                         kSeriesPrompt + kFirstPrompt);
  EXPECT_EQ(run.status, 24);
}

TEST(Dialogue, UnopenablePrintFilesAreAskedForAgain) {
  TempDir dir;
  write_file(dir.file("s.txt"), "# comments only\n");
  RunResult run = run_vorna(dir.path(), ".\nno/such/dir/out.prt\nout.prt\ns.txt\n");
  EXPECT_EQ(run.out, banner() + kPrintPrompt + cannot_open_line(".") + kPrintPrompt +
                         cannot_open_line("no/such/dir/out.prt") + kPrintPrompt + kSeriesPrompt +
                         kFirstPrompt);
  EXPECT_TRUE(file_exists(dir.file("out.prt")));
}

TEST(Dialogue, EmptyNameFailsAndIsAskedForAgain) {
  TempDir dir;
  RunResult run = run_vorna(dir.path(), "\n");
  EXPECT_EQ(run.out, banner() + kPrintPrompt + cannot_open_line("") + kPrintPrompt);
  EXPECT_EQ(run.err, kEndOfInput +
                         "vorna: (standard input):1: the answers ended while a file name was asked "
                         "for again; the last one was refused (an empty answer): \"\"\r\n");
}

TEST(Dialogue, NamesTypedWithBlanksAroundThemConnectTheBareNames) {
  TempDir dir;
  write_file(dir.file("s.txt"), "# comments only\n");
  RunResult run = run_vorna(dir.path(), "  out.prt   \n s.txt \t\n");
  // A tab is part of the name: only blanks are dropped.
  EXPECT_NE(run.out.find(" Nonexisting file : s.txt \t"), std::string::npos);
  EXPECT_TRUE(file_exists(dir.file("out.prt")));
  EXPECT_FALSE(file_exists(dir.file("  out.prt   ")));
}

TEST(Dialogue, EndOfInputAtEveryQuestionIsError24) {
  TempDir dir;
  write_file(dir.file("s.txt"), "# comments only\n");
  const char* answers[] = {"", "out.prt\n", "out.prt\ns.txt\n", "out.prt\ns.txt\n\n",
                           "out.prt\ns.txt\n1\n\x1a"};
  for (const char* input : answers) {
    RunResult run = run_vorna(dir.path(), input);
    EXPECT_EQ(run.err, kEndOfInput) << "answers: " << input;
    EXPECT_EQ(run.status, 24) << "answers: " << input;
    EXPECT_FALSE(file_exists(dir.file("fort.36")));
  }
}

TEST(Dialogue, ControlZLineIsEndOfInput) {
  TempDir dir;
  RunResult run = run_vorna(dir.path(), "\x1a\r\nout.prt\n");
  EXPECT_EQ(run.out, banner() + kPrintPrompt);
  EXPECT_EQ(run.err, kEndOfInput);
}

TEST(Dialogue, ExistingPrintFileKeepsItsContentWhenTheRunEndsBeforeWritingIt) {
  TempDir dir;
  std::string hundred_lines;
  for (int i = 1; i <= 100; ++i) hundred_lines += "old line " + std::to_string(i) + "\n";
  write_file(dir.file("out.prt"), hundred_lines);
  write_file(dir.file("s.txt"), "1 2\n");
  RunResult run = run_vorna(dir.path(), "out.prt\ns.txt\n");
  EXPECT_EQ(run.status, 24);
  EXPECT_EQ(read_file(dir.file("out.prt")), hundred_lines);
}

class Interrupt : public ::testing::TestWithParam<InterruptCase> {};

TEST_P(Interrupt, WhileWaitingForAnAnswerEndsWithItsLineAndStatus) {
  TempDir dir;
  VornaProcess process(dir.path());
  process.send("out.prt\n");
  ASSERT_TRUE(process.wait_for_output(kSeriesPrompt));
  process.signal(GetParam().signal_number);
  RunResult run = process.wait();
  EXPECT_EQ(run.err, std::string("vorna: error (200): program aborting due to ") +
                         GetParam().event + " event\r\n");
  EXPECT_EQ(run.status, 128 + GetParam().signal_number);
  // Ended by the signal itself, as the shell expects; no core file.
  EXPECT_EQ(run.signal, GetParam().signal_number);
  EXPECT_FALSE(run.core_dumped);
  EXPECT_EQ(run.out, banner() + kPrintPrompt + kSeriesPrompt);
  EXPECT_EQ(read_file(dir.file("out.prt")), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupt, all_interrupts(), interrupt_name);

}  // namespace
}  // namespace vorna_test
