#include "plot/command_line.h"

#include <strings.h>

#include <charconv>
#include <cstring>
#include <string_view>
#include <system_error>

extern char** environ;

namespace vorna::plot {

const char kHelpText[] =
    "Usage: vorna-plot [OPTION]... PRINTFILE [LISTING]\n"
    "Draw the series of a VORNA run, its extrema and its maximum height as an\n"
    "SVG picture.\n"
    "\n"
    "PRINTFILE is the print file of the run. LISTING is its listing file; by\n"
    "default the file named by the environment variable FORT36, else fort.36.\n"
    "\n"
    "  -o, --output=FILE      write the picture to FILE (default: standard output)\n"
    "      --width=PIXELS     picture width, 300 to 10000 (default 1200)\n"
    "      --height=PIXELS    picture height, 300 to 10000 (default 500)\n"
    "      --help             display this help and exit\n"
    "      --version          output version information and exit\n"
    "\n"
    "Exit status: 0 when the picture is written, 1 when a file cannot be read\n"
    "or written or is not one that vorna writes, 2 for a wrong command line.\n";

namespace {

enum class LongOption { kOutput, kWidth, kHeight, kHelp, kVersion };

struct LongOptionName {
  const char* name;
  LongOption option;
  bool takes_value;
};

const LongOptionName kLongOptions[] = {
    {"output", LongOption::kOutput, true},    {"width", LongOption::kWidth, true},
    {"height", LongOption::kHeight, true},    {"help", LongOption::kHelp, false},
    {"version", LongOption::kVersion, false},
};

// The long option that name (without "--", before any "=") spells or is
// the unique prefix of; null when none or several.
const LongOptionName* find_long_option(std::string_view name) {
  const LongOptionName* found = nullptr;
  for (const LongOptionName& candidate : kLongOptions) {
    const std::string_view full = candidate.name;
    if (full == name) return &candidate;
    if (!name.empty() && full.compare(0, name.size(), name) == 0) {
      if (found != nullptr) return nullptr;
      found = &candidate;
    }
  }
  return found;
}

bool read_pixels(const char* what, const char* text, int low, int high, int& pixels,
                 Problem& problem) {
  const char* end = text + std::strlen(text);
  int value = 0;
  const std::from_chars_result result = std::from_chars(text, end, value);
  if (result.ec != std::errc() || result.ptr != end || value < low || value > high) {
    problem.set("invalid %s '%s': give a whole number of pixels from %d to %d", what, text, low,
                high);
    return false;
  }
  pixels = value;
  return true;
}

bool apply(LongOption option, const char* value, Options& options, Problem& problem) {
  switch (option) {
    case LongOption::kOutput:
      options.output = value;
      return true;
    case LongOption::kWidth:
      return read_pixels("width", value, PictureSize::kMinWidth, PictureSize::kMaxWidth,
                         options.size.width, problem);
    case LongOption::kHeight:
      return read_pixels("height", value, PictureSize::kMinHeight, PictureSize::kMaxHeight,
                         options.size.height, problem);
    case LongOption::kHelp:
      if (options.action == Options::Action::kPlot) options.action = Options::Action::kHelp;
      return true;
    case LongOption::kVersion:
      if (options.action == Options::Action::kPlot) options.action = Options::Action::kVersion;
      return true;
  }
  return false;
}

bool add_operand(const char* operand, Options& options, Problem& problem) {
  if (options.print_file == nullptr) {
    options.print_file = operand;
  } else if (options.listing == nullptr) {
    options.listing = operand;
  } else {
    problem.set("extra operand '%s'; see 'vorna-plot --help'", operand);
    return false;
  }
  return true;
}

}  // namespace

bool parse_command_line(int argc, char** argv, Options& options, Problem& problem) {
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (options_ended || argument[0] != '-' || argument[1] == '\0') {
      if (!add_operand(argument, options, problem)) return false;
    } else if (std::strcmp(argument, "--") == 0) {
      options_ended = true;
    } else if (argument[1] == '-') {
      const char* equals = std::strchr(argument, '=');
      const std::string_view name(
          argument + 2, equals != nullptr ? static_cast<std::size_t>(equals - argument - 2)
                                          : std::strlen(argument + 2));
      const LongOptionName* option = find_long_option(name);
      if (option == nullptr) {
        problem.set("unrecognized option '%s'; see 'vorna-plot --help'", argument);
        return false;
      }
      const char* value = equals != nullptr ? equals + 1 : nullptr;
      if (option->takes_value && value == nullptr) {
        if (i + 1 == argc) {
          problem.set("option '--%s' requires an argument", option->name);
          return false;
        }
        value = argv[++i];
      } else if (!option->takes_value && value != nullptr) {
        problem.set("option '--%s' doesn't allow an argument", option->name);
        return false;
      }
      if (!apply(option->option, value, options, problem)) return false;
    } else if (argument[1] == 'o') {
      const char* value = argument[2] != '\0' ? argument + 2 : nullptr;
      if (value == nullptr) {
        if (i + 1 == argc) {
          problem.set("option requires an argument -- 'o'");
          return false;
        }
        value = argv[++i];
      }
      options.output = value;
    } else {
      problem.set("invalid option -- '%c'; see 'vorna-plot --help'", argument[1]);
      return false;
    }
  }
  if (options.action == Options::Action::kPlot && options.print_file == nullptr) {
    problem.set("missing PRINTFILE operand; see 'vorna-plot --help'");
    return false;
  }
  return true;
}

bool listing_default_name(const char*& name, Problem& problem) {
  static char trimmed[4096];
  name = "fort.36";
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr || equals - *entry != 6 || strncasecmp(*entry, "FORT36", 6) != 0) {
      continue;
    }
    const std::string_view value = trim_blanks(equals + 1);
    if (value.empty()) return true;
    if (value.size() >= sizeof trimmed) {
      problem.set("the file name in %.6s is too long", *entry);
      return false;
    }
    trimmed[value.copy(trimmed, value.size())] = '\0';
    name = trimmed;
    return true;
  }
  return true;
}

}  // namespace vorna::plot
