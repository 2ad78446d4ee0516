// The command line: GNU forms of every option, operands in any order, and
// the one-line problems of a command line that cannot be followed; the
// listing that vorna would use when none is named.
#include "plot/command_line.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

namespace vorna::plot {
namespace {

struct Parsed {
  bool ok = false;
  Options options;
  std::string problem;
};

// Keeps the argument texts alive as long as the options point into them.
struct CommandLine {
  std::vector<std::string> words;
  std::vector<char*> argv;
  Parsed parse() {
    argv.clear();
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    Parsed parsed;
    Problem problem;
    parsed.ok =
        parse_command_line(static_cast<int>(words.size()), argv.data(), parsed.options, problem);
    parsed.problem = problem.message;
    return parsed;
  }
};

std::string text(const char* value) { return value != nullptr ? value : "(none)"; }

struct AcceptedCase {
  std::vector<std::string> words;
  const char* print_file;
  const char* listing;
  const char* output;
  int width, height;
};

TEST(CommandLine, AcceptsTheGnuForms) {
  const AcceptedCase cases[] = {
      {{"vorna-plot", "out.prt"}, "out.prt", "(none)", "(none)", 1200, 500},
      {{"vorna-plot", "out.prt", "fort.36", "-o", "out.svg"},
       "out.prt",
       "fort.36",
       "out.svg",
       1200,
       500},
      {{"vorna-plot", "-oout.svg", "out.prt"}, "out.prt", "(none)", "out.svg", 1200, 500},
      {{"vorna-plot", "--output=a.svg", "--width", "800", "--height=300", "p", "l"},
       "p",
       "l",
       "a.svg",
       800,
       300},
      {{"vorna-plot", "--output", "a.svg", "p", "--wid=10000"}, "p", "(none)", "a.svg", 10000, 500},
      {{"vorna-plot", "--hei", "10000", "--width=300", "p"}, "p", "(none)", "(none)", 300, 10000},
      {{"vorna-plot", "-o", "-", "p"}, "p", "(none)", "-", 1200, 500},
      {{"vorna-plot", "--", "-p", "-l"}, "-p", "-l", "(none)", 1200, 500},
      {{"vorna-plot", "-", "p"}, "-", "p", "(none)", 1200, 500},
  };
  for (const AcceptedCase& c : cases) {
    CommandLine line{c.words, {}};
    const Parsed parsed = line.parse();
    const std::string shown = testing::PrintToString(c.words);
    ASSERT_TRUE(parsed.ok) << shown << ": " << parsed.problem;
    EXPECT_EQ(parsed.options.action, Options::Action::kPlot) << shown;
    EXPECT_EQ(text(parsed.options.print_file), c.print_file) << shown;
    EXPECT_EQ(text(parsed.options.listing), c.listing) << shown;
    EXPECT_EQ(text(parsed.options.output), c.output) << shown;
    EXPECT_EQ(parsed.options.size.width, c.width) << shown;
    EXPECT_EQ(parsed.options.size.height, c.height) << shown;
  }
}

TEST(CommandLine, TakesTheTextsOfAReport) {
  CommandLine line{{"vorna-plot", "--title=Run 7: \xC3\xA9t\xC3\xA9", "p", "--xlab", "t (s)",
                    "--ylabel=", "--no-d"},
                   {}};
  const Parsed parsed = line.parse();
  ASSERT_TRUE(parsed.ok) << parsed.problem;
  EXPECT_EQ(text(parsed.options.texts.title), "Run 7: \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(text(parsed.options.texts.x_label), "t (s)");
  EXPECT_EQ(text(parsed.options.texts.y_label), "");
  EXPECT_FALSE(parsed.options.texts.detail);
  EXPECT_EQ(text(parsed.options.print_file), "p");
  CommandLine plain{{"vorna-plot", "p"}, {}};
  const Parsed defaults = plain.parse();
  EXPECT_EQ(defaults.options.texts.title, nullptr);
  EXPECT_TRUE(defaults.options.texts.detail);
  // A value that looks like an option is still the value.
  CommandLine dashed{{"vorna-plot", "--title", "--width", "p"}, {}};
  EXPECT_EQ(text(dashed.parse().options.texts.title), "--width");
}

TEST(CommandLine, HelpAndVersionNeedNoOperands) {
  CommandLine help{{"vorna-plot", "--help"}, {}};
  EXPECT_EQ(help.parse().options.action, Options::Action::kHelp);
  CommandLine version{{"vorna-plot", "--vers"}, {}};
  EXPECT_EQ(version.parse().options.action, Options::Action::kVersion);
  CommandLine first{{"vorna-plot", "--version", "--help", "x"}, {}};
  EXPECT_EQ(first.parse().options.action, Options::Action::kVersion);
  CommandLine short_help{{"vorna-plot", "x", "-h", "-V"}, {}};
  EXPECT_EQ(short_help.parse().options.action, Options::Action::kHelp);
  CommandLine short_version{{"vorna-plot", "-Vh"}, {}};
  EXPECT_EQ(short_version.parse().options.action, Options::Action::kVersion);
}

TEST(CommandLine, RefusesWithOneClearLine) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"vorna-plot"}, "missing PRINTFILE operand"},
      {{"vorna-plot", "a", "b", "c"}, "extra operand 'c'"},
      {{"vorna-plot", "-x", "a"}, "invalid option -- 'x'"},
      {{"vorna-plot", "--colour", "a"}, "unrecognized option '--colour'"},
      // --h could be --height or --help.
      {{"vorna-plot", "--h", "a"}, "unrecognized option '--h'"},
      {{"vorna-plot", "a", "-o"}, "option requires an argument -- 'o'"},
      {{"vorna-plot", "a", "--width"}, "option '--width' requires an argument"},
      {{"vorna-plot", "--help=yes"}, "option '--help' doesn't allow an argument"},
      {{"vorna-plot", "--no-detail=1", "a"}, "option '--no-detail' doesn't allow an argument"},
      {{"vorna-plot", "a", "--title"}, "option '--title' requires an argument"},
      {{"vorna-plot", "a", "--tit"}, "option '--title' requires an argument"},
      {{"vorna-plot", "--no-d=1", "a"}, "option '--no-detail' doesn't allow an argument"},
      {{"vorna-plot", "--hysteresis=-1", "a"},
       "invalid hysteresis band '-1': give a number, 0 or above"},
      {{"vorna-plot", "--hysteresis=free", "a"},
       "invalid hysteresis band 'free': give a number, 0 or above"},
      {{"vorna-plot", "--hysteresis=", "a"},
       "invalid hysteresis band '': give a number, 0 or above"},
      {{"vorna-plot", "--hysteresis=1,2", "a"},
       "invalid hysteresis band '1,2': give a number, 0 or above"},
      {{"vorna-plot", "--hysteresis=inf", "a"},
       "invalid hysteresis band 'inf': give a number, 0 or above"},
      {{"vorna-plot", "--hysteresis=0.5x", "a"},
       "invalid hysteresis band '0.5x': give a number, 0 or above"},
      {{"vorna-plot", "--hysteresis=1e999", "a"},
       "invalid hysteresis band '1e999': give a number, 0 or above"},
      {{"vorna-plot", "--width=299", "a"},
       "invalid width '299': give a whole number of pixels from 300 to 10000"},
      {{"vorna-plot", "--width=10001", "a"},
       "invalid width '10001': give a whole number of pixels from 300 to 10000"},
      {{"vorna-plot", "--height=5e2", "a"},
       "invalid height '5e2': give a whole number of pixels from 300 to 10000"},
      {{"vorna-plot", "--height=", "a"},
       "invalid height '': give a whole number of pixels from 300 to 10000"},
      {{"vorna-plot", "--width", "99999999999999999999", "a"},
       "invalid width '99999999999999999999': give a whole number of pixels from 300 to "
       "10000"},
  };
  for (const auto& [words, problem] : cases) {
    CommandLine line{words, {}};
    const Parsed parsed = line.parse();
    EXPECT_FALSE(parsed.ok) << testing::PrintToString(words);
    EXPECT_EQ(parsed.problem, problem) << testing::PrintToString(words);
  }
}

// Sets environment variables for one test and puts back what was there.
class ListingEnvironment : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kNames) {
      const char* value = getenv(name);
      saved_.push_back(value != nullptr ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
  }
  void TearDown() override {
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i]) {
        setenv(kNames[i], saved_[i]->c_str(), 1);
      } else {
        unsetenv(kNames[i]);
      }
    }
  }
  static std::string listing_name() {
    ListingChoice choice;
    Problem problem;
    EXPECT_TRUE(listing_default_name(choice, problem)) << problem.message;
    return choice.name != nullptr ? choice.name : "";
  }
  static constexpr const char* kNames[] = {"FORT36", "fort36", "Fort36"};
  std::vector<std::optional<std::string>> saved_;
};

TEST_F(ListingEnvironment, IsFort36WithoutTheVariable) { EXPECT_EQ(listing_name(), "fort.36"); }

TEST_F(ListingEnvironment, TakesTheVariableInAnyCaseWithoutBlanks) {
  setenv("fort36", "  run 1.lst  ", 1);
  EXPECT_EQ(listing_name(), "run 1.lst");
  unsetenv("fort36");
  setenv("Fort36", "/tmp/x.lst", 1);
  EXPECT_EQ(listing_name(), "/tmp/x.lst");
}

// As vorna takes it: a variable that is set names the listing, and all
// blanks name no file at all (vorna then fails to open one).
TEST_F(ListingEnvironment, AllBlankValueNamesNoFile) {
  setenv("FORT36", "   ", 1);
  ListingChoice choice;
  Problem problem;
  EXPECT_FALSE(listing_default_name(choice, problem));
  EXPECT_STREQ(problem.message, "FORT36 is set but names no file");
}

}  // namespace
}  // namespace vorna::plot
