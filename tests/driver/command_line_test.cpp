#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace vorna {
namespace {

CommandLineRequest request_of(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "vorna");
  return command_line_request(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, FirstHelpOrVersionDecidesAndAnythingElseIsIgnored) {
  const struct {
    std::vector<const char*> arguments;
    CommandLineRequest expected;
  } cases[] = {
      {{}, CommandLineRequest::kRun},
      {{"--help"}, CommandLineRequest::kHelp},
      {{"-h"}, CommandLineRequest::kHelp},
      {{"--version"}, CommandLineRequest::kVersion},
      {{"-V"}, CommandLineRequest::kVersion},
      {{"series.txt", "-h"}, CommandLineRequest::kHelp},
      {{"-V", "--help"}, CommandLineRequest::kVersion},
      {{"--help", "--version"}, CommandLineRequest::kHelp},
      {{"--", "--help"}, CommandLineRequest::kRun},
      {{"-v", "-help", "--HELP", "--versions", "help", ""}, CommandLineRequest::kRun},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const char* argument : c.arguments) shown += std::string(" [") + argument + "]";
    EXPECT_EQ(request_of(c.arguments), c.expected) << "arguments:" << shown;
  }
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
