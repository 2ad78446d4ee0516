// Whole runs, one after the other in this process (reader, analysis,
// reports, stop), each compared byte for byte with the real program's run
// on the same files: nothing of one run leaks into the next.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver/run_sequence.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

// The files of a folder, by name, with the print file's date stamp masked.
std::map<std::string, std::string> files_in(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::string bytes = read_file(entry.path().string());
    const std::string mark = "# Date : ";
    if (bytes.compare(0, mark.size(), mark) == 0) bytes.replace(mark.size(), 19, 19, 'D');
    files[entry.path().filename().string()] = bytes;
  }
  return files;
}

struct WholeRun {
  RunResult result;
  std::map<std::string, std::string> files;
};

// The run in this process, in folder, the answers (for the dialogue) on
// standard input.
WholeRun run_here(const std::string& folder, const std::vector<std::string>& arguments,
                  const std::string& answers) {
  std::vector<std::string> words = {"vorna"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  write_file(folder + "/answers", answers);
  const int answers_fd = open((folder + "/answers").c_str(), O_RDONLY);
  const int saved_input = dup(STDIN_FILENO);
  dup2(answers_fd, STDIN_FILENO);
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  auto run = std::make_unique<vorna::Run>();
  WholeRun whole;
  whole.result.status =
      vorna::end_program(vorna::run_program(*run, static_cast<int>(words.size()), argv.data()));
  whole.result.err = ::testing::internal::GetCapturedStderr();
  whole.result.out = ::testing::internal::GetCapturedStdout();
  std::filesystem::current_path(here);
  dup2(saved_input, STDIN_FILENO);
  close(saved_input);
  close(answers_fd);
  std::filesystem::remove(folder + "/answers");
  whole.files = files_in(folder);
  return whole;
}

// The real program's run on the same files; its outputs are removed after.
WholeRun run_program(const std::string& folder, const std::vector<std::string>& arguments,
                     const std::string& answers) {
  const std::map<std::string, std::string> before = files_in(folder);
  RunOptions options;
  options.arguments = arguments;
  WholeRun whole;
  whole.result = run_vorna_with(folder, answers, options);
  whole.files = files_in(folder);
  for (const auto& file : whole.files) {
    if (before.count(file.first) == 0) std::filesystem::remove(folder + "/" + file.first);
  }
  return whole;
}

TEST(WholeRuns, RunOneAfterAnotherInOneProcessAsTheProgramRunsThem) {
  unsetenv("FORT36");
  TempDir dir;
  const std::string data = VORNA_SOURCE_DIR "/tests/data/";
  write_file(dir.file("nile.csv"), read_file(data + "nile.csv"));
  write_file(dir.file("co2.txt"), read_file(data + "co2-weekly.txt"));
  // Warnings: a time that goes back; in the dialogue, a word read as a
  // truth value.
  write_file(dir.file("odd.txt"), "0 1\n1 3\n1 2\n2 0\n3 5\n4 -1\n");
  write_file(dir.file("truth.txt"), "0 1\n1 3\n2 T\n3 0\n4 5\n");
  write_file(dir.file("bad.txt"), "0 1\n1 2\n2 x\n");
  const struct {
    std::vector<std::string> arguments;
    const char* answers;
    int status;
  } runs[] = {
      {{"--json", "--cycles", "--waves", "odd.txt"}, "", 0},
      {{"-o", "nile.prt", "--hysteresis=50", "--cycles", "nile.csv"}, "", 0},
      {{"bad.txt"}, "", 59},  // its files are removed
      {{}, "co2.prt\nco2.txt\n100\n\n", 0},
      {{"--json", "--waves", "nile.csv"}, "", 0},
      {{"-c", "level", "nile.csv"}, "", 2},  // a wrong column
      {{}, "truth.prt\ntruth.txt\n\n\n", 0},
      {{}, "odd.prt\nodd.txt\n\n", 24},  // the answers end
  };
  for (const auto& run : runs) {
    std::string shown;
    for (const std::string& word : run.arguments) shown += word + " ";
    SCOPED_TRACE(shown + "answers: " + run.answers);
    const WholeRun expected = run_program(dir.path(), run.arguments, run.answers);
    const WholeRun here = run_here(dir.path(), run.arguments, run.answers);
    EXPECT_EQ(expected.result.status, run.status);
    EXPECT_EQ(here.result.status, expected.result.status);
    EXPECT_EQ(here.result.out, expected.result.out);
    EXPECT_EQ(here.result.err, expected.result.err);
    EXPECT_EQ(here.files, expected.files);
  }
}

}  // namespace
}  // namespace vorna_test
