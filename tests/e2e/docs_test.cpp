// The commands that README.md, the user guide doc/guide.md and the manual
// page show are run here exactly as written, and what they print is what
// the documents show.
//
// Every code block of README.md and of the guide follows a mark that says
// how it is checked (a block without one is a failure):
//   <!-- test: session in DIR/ -->  a terminal session: "$ command", then the
//       console with each answer typed after its question;
//   <!-- test: run in DIR/ -->      "$ command" lines ("> " lines continue a
//       command), each followed by the exact output of the command;
//   <!-- test: file DIR/NAME -->    the first lines of a file that the
//       commands before it wrote (a date stamp line only for its form);
//   <!-- test: bash -n (why) -->    a script that cannot run here (why),
//       checked by bash for its syntax only;
//   <!-- test: not run (why) -->    shown only.
// The manual page's EXAMPLES are "$ command" lines and outputs in the same
// form, run in examples/ with vorna on the PATH.
//
// Each section ("## " heading) runs as a newcomer follows it right after
// the README's Quick start: in a scratch tree of its own, a copy of
// examples/ and a build/ with vorna and vorna-plot (the programs under
// test), the Quick start's blocks first, then the section's in order. No
// vorna is on the PATH unless a block puts it there: the PATH a block
// leaves holds for the next blocks of its section, as in one terminal, and
// the commands of one block run in one shell, so its variables carry over.
// A terminal does not show the CR of a CR LF line end, so outputs are
// compared with every CR LF as a line feed. The guide's section on batches
// runs on its own, as it needs GNU parallel and jq, and the table it makes
// is checked against the print files. Headings are unique across README
// and guide, and every link between them and the manual pages resolves.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/program_text.h"
#include "support/run_shell.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

const std::string kSourceDir = VORNA_SOURCE_DIR;

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

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// ---- the documents' blocks ----

struct Block {
  std::string mark;                // what follows "test: " in its mark
  std::vector<std::string> lines;  // between the fences
  int line_number = 0;             // of the opening fence
  std::string section;             // the "## " heading above it
};

const char kQuickStart[] = "Quick start";
const char kManyFiles[] = "Batches of many files";

// Every fenced block of a Markdown document with its mark among the
// comment lines right before it; a block without a mark is a test failure.
std::vector<Block> document_blocks(const std::string& document) {
  const std::vector<std::string> lines = lines_of(read_file(kSourceDir + "/" + document));
  EXPECT_FALSE(lines.empty()) << document;
  const std::string open = "<!-- test: ";
  const std::string close = " -->";
  std::vector<Block> blocks;
  std::string section;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (starts_with(lines[i], "## ")) section = lines[i].substr(3);
    if (!starts_with(lines[i], "```")) continue;
    Block block;
    block.line_number = static_cast<int>(i + 1);
    block.section = section;
    std::size_t above = i;
    while (above > 0 && starts_with(lines[above - 1], "<!-- ") &&
           !starts_with(lines[above - 1], open)) {
      --above;
    }
    const std::string mark = above > 0 ? lines[above - 1] : "";
    if (!starts_with(mark, open) || mark.size() < open.size() + close.size() ||
        mark.compare(mark.size() - close.size(), close.size(), close) != 0) {
      ADD_FAILURE() << document << " line " << i + 1 << ": a code block without a test mark";
    } else {
      block.mark = mark.substr(open.size(), mark.size() - open.size() - close.size());
    }
    for (++i; i < lines.size() && lines[i] != "```"; ++i) block.lines.push_back(lines[i]);
    blocks.push_back(block);
  }
  return blocks;
}

// The manual page's source with the roff escapes it uses turned back into
// the characters they stand for.
std::string unescape_roff(const std::string& line) {
  const struct {
    const char* escape;
    const char* text;
  } escapes[] = {{"\\(aq", "'"}, {"\\e", "\\"}, {"\\-", "-"}, {"\\&", ""}};
  std::string out;
  for (std::size_t i = 0; i < line.size();) {
    bool replaced = false;
    for (const auto& e : escapes) {
      if (line.compare(i, std::char_traits<char>::length(e.escape), e.escape) == 0) {
        out += e.text;
        i += std::char_traits<char>::length(e.escape);
        replaced = true;
        break;
      }
    }
    if (!replaced) out += line[i++];
  }
  return out;
}

// The no-fill blocks (.nf to .fi) of the manual page's EXAMPLES that hold
// commands, as run blocks in examples/.
std::vector<Block> manual_example_blocks(const std::string& page) {
  const std::vector<std::string> lines = lines_of(page);
  std::vector<Block> blocks;
  bool in_examples = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (starts_with(lines[i], ".SH ")) in_examples = lines[i] == ".SH EXAMPLES";
    if (!in_examples || lines[i] != ".nf") continue;
    Block block;
    block.mark = "run in examples/";
    block.line_number = static_cast<int>(i + 1);
    for (++i; i < lines.size() && lines[i] != ".fi"; ++i) {
      block.lines.push_back(unescape_roff(lines[i]));
    }
    if (!block.lines.empty() && starts_with(block.lines.front(), "$ ")) blocks.push_back(block);
  }
  return blocks;
}

// ---- running them ----

// A newcomer's PATH: the test's own without the folders that hold an
// installed vorna or vorna-plot, so that a document that calls them by name
// before it puts them there fails as it would for the newcomer.
std::string newcomers_path() {
  const char* const inherited = std::getenv("PATH");
  const std::string path = inherited != nullptr ? inherited : "";
  std::string kept;
  for (std::size_t at = 0, end; at < path.size(); at = end + 1) {
    end = path.find(':', at);
    if (end == std::string::npos) end = path.size();
    const std::string folder = path.substr(at, end - at);
    if (folder.empty() || file_exists(folder + "/vorna") || file_exists(folder + "/vorna-plot")) {
      continue;
    }
    kept += (kept.empty() ? "" : ":") + folder;
  }
  return kept;
}

// The scratch tree the commands run in, with the PATH that the next block
// starts with.
class ScratchTree {
 public:
  ScratchTree() : shell_path_(newcomers_path()) {
    namespace fs = std::filesystem;
    fs::copy(kSourceDir + "/examples", root_.file("examples"), fs::copy_options::recursive);
    fs::create_directory(root_.file("build"));
    fs::create_symlink(VORNA_BINARY, root_.file("build/vorna"));
    fs::create_symlink(VORNA_PLOT_BINARY, root_.file("build/vorna-plot"));
  }
  std::string path(const std::string& relative) const { return root_.file(relative); }
  // The commands with the PATH set first.
  std::string with_path(const std::string& commands) const {
    return "PATH=" + shell_quoted(shell_path_) + "\n" + commands;
  }
  void set_shell_path(const std::string& path) { shell_path_ = path; }

 private:
  TempDir root_;
  std::string shell_path_;
};

struct Command {
  std::string text;
  std::string output;
  int line_number;
};

// "$ " starts a command, "> " continues it, any other line is its output.
std::vector<Command> commands_of(const Block& block) {
  std::vector<Command> commands;
  for (std::size_t i = 0; i < block.lines.size(); ++i) {
    const std::string& line = block.lines[i];
    const int line_number = block.line_number + static_cast<int>(i) + 1;
    if (starts_with(line, "$ ")) {
      commands.push_back({line.substr(2), "", line_number});
    } else if (commands.empty()) {
      ADD_FAILURE() << "line " << line_number << ": output before the first command";
    } else if (starts_with(line, "> ") && commands.back().output.empty()) {
      commands.back().text += "\n" + line.substr(2);
    } else {
      commands.back().output += line + "\n";
    }
  }
  return commands;
}

// The directory of a mark such as "run in examples/".
std::string directory_of(const ScratchTree& tree, const std::string& mark,
                         const std::string& kind) {
  const std::string relative = mark.substr(kind.size() + std::string(" in ").size());
  EXPECT_FALSE(relative.empty()) << mark;
  return tree.path(relative);
}

// Runs a block's commands in one shell; after each, a line with a mark and
// the command's status separates its output from the next one's. The PATH
// the shell ends with is the next block's.
void run_commands(ScratchTree& tree, const Block& block, const std::string& document) {
  const std::string separator = "@@ end of a command, status ";
  const std::string path_mark = "@@ PATH ";
  const std::vector<Command> commands = commands_of(block);
  std::string script;
  for (const Command& command : commands) {
    script += command.text + "\nprintf '%s%d\\n' '" + separator + "' \"$?\"\n";
  }
  script += "printf '%s%s\\n' '" + path_mark + "' \"$PATH\"\n";
  const ShellResult result =
      run_shell(directory_of(tree, block.mark, "run"), tree.with_path(script));
  const std::string output = without_carriage_returns(result.output);
  std::size_t start = 0;
  for (const Command& command : commands) {
    const std::string where =
        document + " line " + std::to_string(command.line_number) + ": " + command.text;
    const std::size_t end = output.find(separator, start);
    if (end == std::string::npos) {
      ADD_FAILURE() << where << "\ndid not finish; the shell wrote:\n" << output.substr(start);
      return;
    }
    const std::size_t status_end = output.find('\n', end);
    EXPECT_EQ(output.substr(start, end - start), command.output) << where;
    EXPECT_EQ(output.substr(end + separator.size(), status_end - end - separator.size()), "0")
        << where;
    start = status_end + 1;
  }
  if (starts_with(output.substr(start), path_mark)) {
    tree.set_shell_path(
        output.substr(start + path_mark.size(), output.size() - 1 - start - path_mark.size()));
  }
}

// A terminal session: the answers are the texts after the questions; the
// console as the user sees it has each answer and its line end after its
// question.
void run_session(const ScratchTree& tree, const Block& block) {
  ASSERT_FALSE(block.lines.empty());
  ASSERT_TRUE(starts_with(block.lines.front(), "$ ")) << "a session starts with its command";
  const std::string* const questions[] = {&kPrintPrompt, &kSeriesPrompt, &kFirstPrompt,
                                          &kLastPrompt};
  std::vector<std::string> answers;
  for (const std::string* question_text : questions) {
    const std::string& question = *question_text;
    for (const std::string& line : block.lines) {
      if (starts_with(line, question)) answers.push_back(line.substr(question.size()));
    }
  }
  ASSERT_EQ(answers.size(), 4u) << "one answer for each question";
  const ShellResult result =
      run_shell(directory_of(tree, block.mark, "session"),
                tree.with_path(block.lines.front().substr(2)), "", joined(answers));
  EXPECT_EQ(result.status, 0);
  std::string seen = without_carriage_returns(result.output);
  std::size_t from = 0;
  for (std::size_t i = 0; i < answers.size(); ++i) {
    const std::string& question = *questions[i];
    std::size_t at = seen.find(question, from);
    ASSERT_NE(at, std::string::npos) << question;
    at += question.size();
    seen.insert(at, answers[i] + "\n");
    from = at + answers[i].size() + 1;
  }
  EXPECT_EQ(seen, joined(std::vector<std::string>(block.lines.begin() + 1, block.lines.end())));
}

// The shown lines are the first lines of the file; the date stamp line
// (different on every run) is only checked for its form.
void check_file(const ScratchTree& tree, const Block& block) {
  const std::string name = block.mark.substr(std::string("file ").size());
  const std::string bytes = read_file(tree.path(name));
  const std::vector<std::string> written = lines_of(without_carriage_returns(bytes));
  ASSERT_FALSE(block.lines.empty()) << name;
  ASSERT_LE(block.lines.size(), written.size()) << name;
  for (std::size_t i = 0; i < block.lines.size(); ++i) {
    if (starts_with(block.lines[i], "# Date : ")) {
      EXPECT_TRUE(is_stamp_line(written[i])) << name << " line " << i + 1;
    } else {
      EXPECT_EQ(block.lines[i], written[i]) << name << " line " << i + 1;
    }
  }
  // Every line ends with CR LF, as the documents say.
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
}

// A script shown for other machines: bash reads it without running it.
void check_syntax(const ScratchTree& tree, const Block& block) {
  const ShellResult result = run_shell(tree.path("."), "bash -n", "", joined(block.lines));
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.status, 0);
}

void run_blocks(ScratchTree& tree, const std::vector<Block>& blocks, const std::string& document) {
  for (const Block& block : blocks) {
    SCOPED_TRACE(document + " block at line " + std::to_string(block.line_number) + " (" +
                 block.mark + ")");
    if (starts_with(block.mark, "session in ")) {
      run_session(tree, block);
    } else if (starts_with(block.mark, "run in ")) {
      run_commands(tree, block, document);
    } else if (starts_with(block.mark, "file ")) {
      check_file(tree, block);
    } else if (starts_with(block.mark, "bash -n (")) {
      check_syntax(tree, block);
    } else {
      EXPECT_TRUE(starts_with(block.mark, "not run (")) << "unknown mark: " << block.mark;
    }
  }
}

const char kGuide[] = "doc/guide.md";

std::vector<Block> blocks_of_section(const std::vector<Block>& blocks, const std::string& name) {
  std::vector<Block> section;
  for (const Block& block : blocks) {
    if (block.section == name) section.push_back(block);
  }
  return section;
}

// A section's blocks in the tree where the README's Quick start ran first.
void run_after_quick_start(ScratchTree& tree, const std::vector<Block>& blocks,
                           const std::string& document) {
  run_blocks(tree, blocks_of_section(document_blocks("README.md"), kQuickStart), "README.md");
  run_blocks(tree, blocks, document);
}

// Each section of the document but the one left out, in a tree of its own.
void run_each_section(const std::string& document, int least_checked, const std::string& left_out) {
  const std::vector<Block> blocks = document_blocks(document);
  int checked = 0;
  for (const Block& block : blocks) checked += !starts_with(block.mark, "not run");
  EXPECT_GE(checked, least_checked) << document << "'s checked blocks are gone";
  std::vector<std::string> sections;
  for (const Block& block : blocks) {
    if (sections.empty() || sections.back() != block.section) sections.push_back(block.section);
  }
  for (const std::string& section : sections) {
    if (section == kQuickStart || section == left_out) continue;
    SCOPED_TRACE(document + ", section " + section);
    ScratchTree tree;
    run_after_quick_start(tree, blocks_of_section(blocks, section), document);
  }
}

TEST(Docs, ReadmeSectionsRunAsWrittenAfterQuickStart) { run_each_section("README.md", 5, ""); }

TEST(Docs, GuideSectionsRunAsWrittenAfterQuickStart) { run_each_section(kGuide, 30, kManyFiles); }

// One field of a print file's header line: the text after "# NAME : ".
std::string header_field(const std::vector<std::string>& print_lines, std::size_t line) {
  const std::size_t field_start = 26;  // "# Time Series steps     : "
  if (line >= print_lines.size() || print_lines[line].size() < field_start) return "(none)";
  return print_lines[line].substr(field_start);
}

std::string formatted(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Each row of the table ("file",steps,max_height,time,warnings) says what
// the print file of that series says, to the digits the print file shows,
// and counts the warnings that a run of the file writes.
void check_table_rows(const std::string& folder, const std::vector<std::string>& rows) {
  for (const std::string& row : rows) {
    SCOPED_TRACE(row);
    char file[256];
    long steps = 0, warnings = 0;
    char max_height[64], max_time[64];
    ASSERT_EQ(std::sscanf(row.c_str(), "\"%255[^\"]\",%ld,%63[^,],%63[^,],%ld", file, &steps,
                          max_height, max_time, &warnings),
              5);
    const std::string base = std::filesystem::path(file).stem().string();
    const std::vector<std::string> print_lines =
        lines_of(without_carriage_returns(read_file(folder + "/" + base + ".prt")));
    EXPECT_EQ(header_field(print_lines, 1), formatted("%12.0f", static_cast<double>(steps)));
    EXPECT_EQ(header_field(print_lines, 6), formatted("%12.3E", std::strtod(max_height, nullptr)));
    EXPECT_EQ(header_field(print_lines, 7), formatted("%12.3f", std::strtod(max_time, nullptr)));
    RunOptions quiet;
    quiet.arguments = {"-q", "-o", "/dev/null", "-l", "/dev/null", file};
    const RunResult run = run_vorna_with(folder, "", quiet);
    EXPECT_EQ(run.status, 0);
    std::size_t seen = 0;
    for (const std::string& line : lines_of(run.err)) seen += starts_with(line, "vorna: warning: ");
    EXPECT_EQ(static_cast<long>(seen), warnings);
  }
}

bool installed(const std::string& tool) {
  return run_shell(".", "command -v " + tool + " > /dev/null").status == 0;
}

TEST(Docs, GuideBatchRecipesMakeOneTableOfThePrintFiles) {
  const std::vector<Block> blocks = blocks_of_section(document_blocks(kGuide), kManyFiles);
  ASSERT_GE(blocks.size(), 4u) << "the guide's section " << kManyFiles << " is gone";
  for (const char* tool : {"parallel", "jq"}) {
    if (!installed(tool)) {
      GTEST_SKIP() << tool << " is not installed (Debian package " << tool
                   << "): the guide's recipes for many files need it";
    }
  }
  ScratchTree tree;
  run_after_quick_start(tree, blocks, kGuide);
  const std::string folder = tree.path("examples/campaign");
  std::vector<std::string> rows =
      lines_of(without_carriage_returns(read_file(folder + "/table.csv")));
  ASSERT_EQ(rows.size(), 50u) << "a header line and a row for each run that did not fail";
  EXPECT_EQ(rows.front(), "\"file\",\"steps\",\"max_height\",\"time_of_max_height\",\"warnings\"");
  rows.erase(rows.begin());
  check_table_rows(folder, rows);
}

// Names a script meets: blanks at both ends, a newline, a leading dash,
// quotes, a backslash and two Latin-1 names that differ in one byte.
const char* const kHostileNames[] = {" blanks .txt",        "new\nline.txt",   "-dash.txt",
                                     "it's \"quoted\".txt", "back\\slash.txt", "lat\xe4in.txt",
                                     "lat\xf6in.txt"};

// The guide's recipes for batches, and the Slurm task script run as its
// task 1, over a folder of such names: each name reaches its own run whole,
// gets its own print file and row, and the JSON gives its bytes back.
TEST(Docs, GuideBatchRecipesKeepEveryNameApart) {
  for (const char* tool : {"parallel", "jq", "bash"}) {
    if (!installed(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  const ScratchTree tree;
  const std::string folder = tree.path("examples/campaign");
  std::filesystem::create_directories(folder + "/data");
  std::filesystem::create_directories(folder + "/results");
  std::set<std::string> series;
  int steps = 3;
  for (const std::string name : kHostileNames) {
    std::string text;
    for (int k = 0; k < steps; ++k) text += std::to_string(k) + (k % 2 == 0 ? " 0\n" : " 1\n");
    write_file(folder + "/data/" + name, text);
    series.insert("data/" + name);
    ++steps;
  }
  std::string script;
  for (const Block& block : blocks_of_section(document_blocks(kGuide), kManyFiles)) {
    if (block.mark == "run in examples/campaign/") {
      for (const Command& command : commands_of(block)) script += command.text + "\n";
    }
    if (block.lines.front() == "#!/bin/bash") {
      write_file(folder + "/vorna-array.sh", joined(block.lines));
    }
  }
  script +=
      "printf '%s\\0' data/*.txt > files.list\n"
      "SLURM_ARRAY_TASK_ID=1 PER_TASK=100 bash vorna-array.sh > task.log 2>&1\n"
      "jq -j '.series, \"\\u0000\"' runs.jsonl |"
      " bash -c 'while IFS= read -r -d \"\" s; do printf \"%b\\0\" \"$s\"; done' > names\n";
  run_shell(folder, script, tree.path("build"));
  // Each JSON line gives back the bytes of its own name.
  const std::string names = read_file(folder + "/names");
  std::set<std::string> decoded;
  for (std::size_t at = 0, end; (end = names.find('\0', at)) != std::string::npos; at = end + 1) {
    decoded.insert(names.substr(at, end - at));
  }
  EXPECT_EQ(decoded, series);
  // A row each, and every run's files beside its series and in results/.
  std::size_t rows = 0;
  for (const std::string& line : lines_of(read_file(folder + "/table.csv"))) {
    rows += starts_with(line, "\"data/");  // a name's newline is inside its quoted field
  }
  EXPECT_EQ(rows, series.size());
  for (const std::string& name : series) {
    const std::string base = name.substr(0, name.size() - 4);
    const std::string steps_line = header_field(
        lines_of(without_carriage_returns(read_file(folder + "/" + base + ".prt"))), 1);
    EXPECT_NE(steps_line, "(none)") << name;
    EXPECT_TRUE(file_exists(folder + "/" + base + ".lst")) << name;
    EXPECT_TRUE(file_exists(folder + "/results/" + base.substr(5) + ".prt")) << name;
  }
}

TEST(Docs, ReadmeHasTheSectionTheBannerPointsTo) {
  TempDir dir;
  EXPECT_NE(run_vorna(dir.path(), "").out.find("Report problems: see the README"),
            std::string::npos);
  const std::string readme = read_file(kSourceDir + "/README.md");
  EXPECT_NE(readme.find("\n## Reporting problems\n"), std::string::npos);
  for (const char* wanted : {"--version", "answers", "diagnostic", "series file"}) {
    EXPECT_NE(readme.find(wanted, readme.find("## Reporting problems")), std::string::npos)
        << wanted;
  }
}

// ---- headings and links ----

// The anchor of a heading: lower case, blanks as dashes, punctuation but
// dashes and underscores dropped.
std::string anchor_of(const std::string& heading) {
  std::string anchor;
  for (const unsigned char c : heading) {
    if (std::isalnum(c) != 0 || c == '-' || c == '_') {
      anchor += static_cast<char>(std::tolower(c));
    } else if (c == ' ') {
      anchor += '-';
    }
  }
  return anchor;
}

struct Outline {
  std::vector<std::string> headings;
  std::vector<std::string> links;  // the targets of [text](target)
};

// The headings and links of a Markdown document, code blocks left out.
Outline outline_of(const std::string& document) {
  Outline outline;
  bool in_code = false;
  for (const std::string& line : lines_of(read_file(kSourceDir + "/" + document))) {
    if (starts_with(line, "```")) in_code = !in_code;
    if (in_code) continue;
    const std::size_t level = line.find_first_not_of('#');
    if (level > 0 && level < line.size() && line[level] == ' ') {
      outline.headings.push_back(line.substr(level + 1));
    }
    for (std::size_t at = line.find("]("); at != std::string::npos; at = line.find("](", at)) {
      at += 2;
      const std::size_t end = line.find(')', at);
      if (end != std::string::npos) outline.links.push_back(line.substr(at, end - at));
    }
  }
  return outline;
}

TEST(Docs, HeadingsAreUniqueAndEveryLinkResolves) {
  const std::string documents[] = {"README.md", kGuide};
  std::map<std::string, std::set<std::string>> anchors;  // of each document
  std::map<std::string, std::string> seen;               // anchor -> document
  for (const std::string& document : documents) {
    for (const std::string& heading : outline_of(document).headings) {
      const auto added = seen.emplace(anchor_of(heading), document);
      EXPECT_TRUE(added.second) << "the heading \"" << heading << "\" of " << document
                                << " again, as in " << added.first->second;
      anchors[document].insert(anchor_of(heading));
    }
  }
  for (const std::string& document : documents) {
    for (const std::string& link : outline_of(document).links) {
      if (link.find("://") != std::string::npos) continue;
      const std::size_t hash = link.find('#');
      const std::string file = link.substr(0, hash);
      const std::string target =
          file.empty()
              ? document
              : (std::filesystem::path(document).parent_path() / file).lexically_normal().string();
      EXPECT_TRUE(file_exists(kSourceDir + "/" + target)) << document << ": " << link;
      if (hash != std::string::npos) {
        EXPECT_EQ(anchors[target].count(link.substr(hash + 1)), 1u) << document << ": " << link;
      }
    }
  }
  // A manual page names a section as: section \(lqNAME\(rq of ... then .I FILE.
  const std::string open = "section \\(lq", close = "\\(rq", file_line = "\n.I ";
  int named_sections = 0;
  for (const char* page : {"doc/vorna.1", "doc/vorna-plot.1"}) {
    const std::string text = read_file(kSourceDir + "/" + page);
    for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
      at += open.size();
      const std::size_t name_end = text.find(close, at);
      const std::size_t file_at = text.find(file_line, name_end);
      ASSERT_NE(file_at, std::string::npos) << page;
      const std::size_t file_end = text.find('\n', file_at + 1);
      const std::string file =
          text.substr(file_at + file_line.size(), file_end - file_at - file_line.size());
      ++named_sections;
      EXPECT_EQ(anchors[file].count(anchor_of(text.substr(at, name_end - at))), 1u)
          << page << ": the section " << text.substr(at, name_end - at) << " of " << file;
    }
  }
  EXPECT_GE(named_sections, 1) << "the manual page no longer names a section of the guide";
}

// The README is a front page; what grows goes into the guide.
TEST(Docs, ReadmeFitsAFrontPage) {
  EXPECT_LE(lines_of(read_file(kSourceDir + "/README.md")).size(), 350u)
      << "move sections of README.md into doc/guide.md";
}

TEST(Docs, ManualExamplesPrintWhatTheManualShows) {
  const std::string page = read_file(kSourceDir + "/doc/vorna.1");
  const std::vector<Block> blocks = manual_example_blocks(page);
  EXPECT_GE(blocks.size(), 3u) << "the manual page's examples are gone";
  ScratchTree tree;
  tree.set_shell_path(tree.path("build") + ":" + newcomers_path());  // as after make install
  run_blocks(tree, blocks, "doc/vorna.1");
}

TEST(Docs, ManualPageFitsEightyColumns) {
  const ShellResult rendered =
      run_shell(kSourceDir, "groff -man -Tascii -rLL=80n -rLT=80n -P-cbou doc/vorna.1");
  if (rendered.status == 127) GTEST_SKIP() << "no groff to render the manual page";
  ASSERT_EQ(rendered.status, 0) << rendered.output;
  int line_number = 0;
  for (const std::string& line : lines_of(rendered.output)) {
    ++line_number;
    EXPECT_LE(line.size(), 80u) << "rendered line " << line_number << ": " << line;
  }
}

}  // namespace
}  // namespace vorna_test
