// The run shown in README.md and the example of the manual page are what the
// program really does: the command, its console output and the first lines
// of both output files are taken from the documents and checked against a
// run on a copy of examples/wave.txt.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "support/run_vorna.h"

namespace vorna_test {
namespace {

const std::string kSourceDir = VORNA_SOURCE_DIR;

// The four questions, each left open on the console for its answer.
const std::vector<std::string> kQuestions = {
    " Give output file for misc print   :  ",
    " Give file containing Time Series  :  ",
    " First Time        / whole series/ :  ",
    " Last Time         / whole series/ :  ",
};

std::string without_carriage_returns(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The lines of the fenced code block between <!-- name --> and <!-- /name -->,
// fences removed.
std::vector<std::string> readme_block(const std::string& readme, const std::string& name) {
  const std::string open = "<!-- " + name + " -->\n";
  const std::string close = "<!-- /" + name + " -->";
  std::size_t begin = readme.find(open);
  std::size_t end = readme.find(close);
  if (begin == std::string::npos || end == std::string::npos || end < begin) {
    ADD_FAILURE() << "README.md has no block " << name;
    return {};
  }
  begin += open.size();
  std::vector<std::string> lines = lines_of(readme.substr(begin, end - begin));
  if (lines.size() < 2 || lines.front() != "```" || lines.back() != "```") {
    ADD_FAILURE() << "README.md block " << name << " is not one fenced code block";
    return {};
  }
  return std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
}

// The answers of a command "printf '<answers>' | vorna", with \n decoded.
bool answers_of(const std::string& command, std::string& answers) {
  const std::string head = "printf '";
  const std::string tail = "' | vorna";
  if (command.size() < head.size() + tail.size() || command.compare(0, head.size(), head) != 0 ||
      command.compare(command.size() - tail.size(), tail.size(), tail) != 0) {
    return false;
  }
  std::string quoted = command.substr(head.size(), command.size() - head.size() - tail.size());
  answers.clear();
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    if (quoted[i] == '\\') {
      if (i + 1 >= quoted.size() || quoted[i + 1] != 'n') return false;
      answers += '\n';
      ++i;
    } else {
      answers += quoted[i];
    }
  }
  return true;
}

// The console as a user sees it: each answer typed after its question.
std::string console_as_seen(const std::string& out, const std::vector<std::string>& answers) {
  std::string seen = without_carriage_returns(out);
  std::size_t from = 0;
  for (std::size_t i = 0; i < kQuestions.size() && i < answers.size(); ++i) {
    std::size_t at = seen.find(kQuestions[i], from);
    if (at == std::string::npos) return seen;
    at += kQuestions[i].size();
    seen.insert(at, answers[i] + "\n");
    from = at + answers[i].size() + 1;
  }
  return seen;
}

// Manual page source lines with the roff escapes they use turned back into
// the characters they stand for.
std::string unescape_roff(const std::string& line) {
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line.compare(i, 4, "\\(aq") == 0) {
      out += '\'';
      i += 3;
    } else if (line.compare(i, 2, "\\e") == 0) {
      out += '\\';
      ++i;
    } else if (line.compare(i, 2, "\\-") == 0) {
      out += '-';
      ++i;
    } else {
      out += line[i];
    }
  }
  return out;
}

struct DocumentedRun {
  std::string command;
  std::vector<std::string> answers;
  TempDir dir;
  RunResult result;
};

void run_readme_command(DocumentedRun& run, const std::string& readme) {
  std::vector<std::string> console = readme_block(readme, "console");
  ASSERT_FALSE(console.empty());
  ASSERT_EQ(console.front().compare(0, 2, "$ "), 0) << "the console block starts with the command";
  run.command = console.front().substr(2);
  std::string answers;
  ASSERT_TRUE(answers_of(run.command, answers)) << run.command;
  run.answers = lines_of(answers);
  ASSERT_EQ(run.answers.size(), 4u) << run.command;
  ASSERT_EQ(answers.back(), '\n');
  write_file(run.dir.file(run.answers[1]),
             read_file(kSourceDir + "/examples/" + run.answers[1]));
  run.result = run_vorna(run.dir.path(), answers);
}

class Docs : public ::testing::Test {
 protected:
  void SetUp() override {
    readme_ = read_file(kSourceDir + "/README.md");
    ASSERT_FALSE(readme_.empty());
    run_readme_command(run_, readme_);
  }
  std::string readme_;
  DocumentedRun run_;
};

TEST_F(Docs, ReadmeConsoleIsWhatTheProgramPrints) {
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(run_.result.status, 0);
  EXPECT_EQ(run_.result.err, "");
  std::vector<std::string> shown = readme_block(readme_, "console");
  std::string expected;
  for (std::size_t i = 1; i < shown.size(); ++i) expected += shown[i] + "\n";
  EXPECT_EQ(console_as_seen(run_.result.out, run_.answers), expected);
}

// The shown lines are the first lines of the file; the date stamp line
// (different on every run) is only checked for its form.
void expect_first_lines(const std::vector<std::string>& shown, const std::string& file,
                        const std::string& name) {
  std::vector<std::string> written = lines_of(without_carriage_returns(file));
  ASSERT_GE(shown.size(), 2u) << name;
  ASSERT_LE(shown.size(), written.size()) << name;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const std::string date = "# Date : ";
    if (shown[i].compare(0, date.size(), date) == 0) {
      EXPECT_EQ(written[i].compare(0, date.size(), date), 0) << name << " line " << i + 1;
      EXPECT_EQ(written[i].size(), 257u) << name << " line " << i + 1;
      continue;
    }
    EXPECT_EQ(shown[i], written[i]) << name << " line " << i + 1;
  }
}

TEST_F(Docs, ReadmeOutputFilesAreWhatTheProgramWrites) {
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(run_.result.status, 0);
  std::string print = read_file(run_.dir.file(run_.answers[0]));
  std::string listing = read_file(run_.dir.file("fort.36"));
  expect_first_lines(readme_block(readme_, "print-file"), print, "print file");
  expect_first_lines(readme_block(readme_, "listing-file"), listing, "listing file");
  // Every line the program writes ends with CR LF, as both documents say.
  EXPECT_EQ(print.substr(print.size() - 2), "\r\n");
  EXPECT_EQ(listing.substr(listing.size() - 2), "\r\n");
}

TEST_F(Docs, ManualPageExampleIsTheReadmeCommand) {
  ASSERT_FALSE(HasFatalFailure());
  std::string page = read_file(kSourceDir + "/doc/vorna.1");
  std::size_t examples = page.find("\n.SH EXAMPLES\n");
  ASSERT_NE(examples, std::string::npos);
  std::size_t next = page.find("\n.SH ", examples + 1);
  std::vector<std::string> lines = lines_of(page.substr(examples, next - examples));
  bool found = false;
  for (const std::string& line : lines) found = found || unescape_roff(line) == run_.command;
  EXPECT_TRUE(found) << "the manual page's EXAMPLES do not show: " << run_.command;
}

}  // namespace
}  // namespace vorna_test
