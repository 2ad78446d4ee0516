// The vorna-plot commands of the user guide make the committed example pictures
// doc/wave-plot.svg and doc/swell-plot.svg: run again in a scratch copy of
// the tree, they give the same bytes but for the date stamp of the run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstddef>
#include <string>
#include <vector>

#include "plot/run_command.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

const std::string kSourceDir = VORNA_SOURCE_DIR;

// The lines of the fenced block between <!-- name --> and <!-- /name -->.
std::vector<std::string> guide_block(const std::string& name) {
  const std::string guide = read_file(kSourceDir + "/doc/guide.md");
  const std::string open = "<!-- " + name + " -->\n```\n";
  const std::size_t begin = guide.find(open);
  const std::size_t end = guide.find("```\n<!-- /" + name + " -->");
  std::vector<std::string> lines;
  if (begin == std::string::npos || end == std::string::npos || end < begin) return lines;
  std::string block = guide.substr(begin + open.size(), end - begin - open.size());
  for (std::size_t at = 0; at < block.size();) {
    const std::size_t feed = block.find('\n', at);
    lines.push_back(block.substr(at, feed - at));
    at = feed + 1;
  }
  return lines;
}

std::vector<std::string> words_of(const std::string& line) {
  std::vector<std::string> words;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t blank = line.find(' ', at);
    const std::size_t end = blank == std::string::npos ? line.size() : blank;
    if (end > at) words.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

struct Example {
  const char* block;   // guide block of its commands
  const char* series;  // in examples/
  const char* svg;     // in doc/
};

TEST(PlotDocs, GuideCommandsMakeTheCommittedExamples) {
  for (const Example& example : {Example{"plot-commands", "wave.txt", "wave-plot.svg"},
                                 Example{"plot-detail-commands", "swell.txt", "swell-plot.svg"}}) {
    const std::vector<std::string> lines = guide_block(example.block);
    ASSERT_EQ(lines.size(), 3u) << "doc/guide.md has no " << example.block
                                << " block of three lines";
    EXPECT_EQ(lines[0], "cd examples");
    EXPECT_EQ(lines[1],
              std::string("printf 'out.prt\\n") + example.series + "\\n\\n\\n' | ../build/vorna");
    const std::vector<std::string> words = words_of(lines[2]);
    ASSERT_GE(words.size(), 2u);
    ASSERT_EQ(words[0], "../build/vorna-plot");

    TempDir root;
    const std::string examples = root.file("examples");
    ASSERT_EQ(mkdir(examples.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(root.file("doc").c_str(), 0755), 0);
    write_file(examples + "/" + example.series,
               read_file(kSourceDir + "/examples/" + example.series));
    ASSERT_EQ(run_vorna(examples, std::string("out.prt\n") + example.series + "\n\n\n").status, 0);
    const RunResult plot =
        run_plot(examples, std::vector<std::string>(words.begin() + 1, words.end()));
    ASSERT_EQ(plot.status, 0) << plot.err;
    const std::string made = read_file(root.file(std::string("doc/") + example.svg));
    ASSERT_FALSE(made.empty()) << "the guide's command writes no doc/" << example.svg;
    EXPECT_EQ(without_date_stamps(made),
              without_date_stamps(read_file(kSourceDir + "/doc/" + example.svg)))
        << "doc/" << example.svg << " is out of date: make example-plot";
  }
}

}  // namespace
}  // namespace vorna_test
