#include "plot/command_line.h"

#include <getopt.h>

#include <charconv>
#include <cstring>
#include <string_view>
#include <system_error>

#include "textio/run_files.h"
#include "util/strict_number.h"

namespace vorna::plot {

const char kHelpText[] =
    "Usage: vorna-plot [OPTION]... PRINTFILE [LISTING]\n"
    "Draw the series of a VORNA run, its extrema and its maximum height as an\n"
    "SVG picture.\n"
    "\n"
    "PRINTFILE is the print file of the run. LISTING is its listing file; by\n"
    "default the file named by the environment variable FORT36, else fort.36.\n"
    "Both must come from one run: the picture is refused otherwise.\n"
    "\n"
    "  -o, --output=FILE      write the picture to FILE (default: standard output)\n"
    "      --width=PIXELS     picture width, 300 to 10000 (default 1200)\n"
    "      --height=PIXELS    picture height, 300 to 10000 (default 500)\n"
    "      --title=TEXT       title above the plot (default: the print file's\n"
    "                         name, steps and times)\n"
    "      --xlabel=TEXT      label of the horizontal axis (default: Time)\n"
    "      --ylabel=TEXT      label of the vertical axis (default: Value)\n"
    "      --no-detail        no detail panel of the maximum height\n"
    "      --hysteresis=BAND  the run used vorna --hysteresis=BAND: say so, and\n"
    "                         call its extrema reversals\n"
    "      --cycles=FILE      draw the cycle file of vorna --cycles instead: the\n"
    "                         cycles with at least each range (no PRINTFILE)\n"
    "      --help             display this help and exit\n"
    "      --version          output version information and exit\n"
    "\n"
    "When the series has more samples than the plot has pixel columns, a detail\n"
    "panel below the plot shows every sample around the pair of maximum height.\n"
    "\n"
    "Exit status: 0 when the picture is written, 1 when a file cannot be read\n"
    "or written or is not one that vorna writes, 2 for a wrong command line.\n"
    "\n"
    "Examples:\n"
    "  vorna-plot out.prt -o out.svg\n"
    "  vorna-plot --title='Run 7' --ylabel='Level (m)' out.prt run7.lst > run7.svg\n";

namespace {

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

// A band read as vorna reads it, a number 0 or above, kept in its
// shortest form for the note.
bool read_band(const char* text, Options& options, Problem& problem) {
  double value = 0.0;
  if (!read_strict_number(text, value) || value < 0.0) {
    problem.set("invalid hysteresis band '%s': give a number, 0 or above", text);
    return false;
  }
  char* const end = options.band_text + sizeof options.band_text - 1;
  *std::to_chars(options.band_text, end, value).ptr = '\0';
  options.texts.hysteresis = options.band_text;
  return true;
}

// Values getopt_long gives for the options without a short form.
enum LongOnly : int {
  kWidth = 256,
  kHeight,
  kTitle,
  kXLabel,
  kYLabel,
  kNoDetail,
  kHysteresis,
  kCycles,
  kHelp,
  kVersion
};

const struct option kOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"width", required_argument, nullptr, kWidth},
    {"height", required_argument, nullptr, kHeight},
    {"title", required_argument, nullptr, kTitle},
    {"xlabel", required_argument, nullptr, kXLabel},
    {"ylabel", required_argument, nullptr, kYLabel},
    {"no-detail", no_argument, nullptr, kNoDetail},
    {"hysteresis", required_argument, nullptr, kHysteresis},
    {"cycles", required_argument, nullptr, kCycles},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

const char* long_name_of(int value) {
  for (const struct option& entry : kOptions) {
    if (entry.name != nullptr && entry.val == value) return entry.name;
  }
  return "?";
}

void set_action(Options::Action action, Options& options) {
  if (options.action == Options::Action::kPlot) options.action = action;
}

bool apply(int option, const char* value, Options& options, Problem& problem) {
  switch (option) {
    case 'o':
      options.output = value;
      return true;
    case kWidth:
      return read_pixels("width", value, PictureSize::kMinWidth, PictureSize::kMaxWidth,
                         options.size.width, problem);
    case kHeight:
      return read_pixels("height", value, PictureSize::kMinHeight, PictureSize::kMaxHeight,
                         options.size.height, problem);
    case kTitle:
      options.texts.title = value;
      return true;
    case kXLabel:
      options.texts.x_label = value;
      return true;
    case kYLabel:
      options.texts.y_label = value;
      return true;
    case kNoDetail:
      options.texts.detail = false;
      return true;
    case kHysteresis:
      return read_band(value, options, problem);
    case kCycles:
      options.cycles = value;
      return true;
    case kHelp:
      set_action(Options::Action::kHelp, options);
      return true;
    case kVersion:
      set_action(Options::Action::kVersion, options);
      return true;
  }
  return false;
}

// The one line for what getopt_long refused: the argument it stopped at is
// argv[optind - 1].
void report_refused(int result, const char* argument, Problem& problem) {
  const bool long_form = std::strncmp(argument, "--", 2) == 0;
  if (result == ':') {
    if (long_form) {
      problem.set("option '--%s' requires an argument", long_name_of(optopt));
    } else {
      problem.set("option requires an argument -- '%c'", optopt);
    }
  } else if (long_form && optopt != 0) {
    problem.set("option '--%s' doesn't allow an argument", long_name_of(optopt));
  } else if (long_form) {
    problem.set("unrecognized option '%s'; see 'vorna-plot --help'", argument);
  } else {
    problem.set("invalid option -- '%c'; see 'vorna-plot --help'", optopt);
  }
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
  // A fresh scan each time, without getopt's own messages: "-" in front
  // keeps operands in place among the options (as 1), ":" tells a missing
  // argument apart.
  optind = 0;
  opterr = 0;
  int result;
  while ((result = getopt_long(argc, argv, "-:o:", kOptions, nullptr)) != -1) {
    if (result == '?' || result == ':') {
      report_refused(result, argv[optind - 1], problem);
      return false;
    }
    const bool applied = result == 1 ? add_operand(optarg, options, problem)
                                     : apply(result, optarg, options, problem);
    if (!applied) return false;
  }
  for (int i = optind; i < argc; ++i) {
    if (!add_operand(argv[i], options, problem)) return false;
  }
  if (options.cycles != nullptr && options.print_file != nullptr) {
    problem.set("extra operand '%s': --cycles draws its file alone", options.print_file);
    return false;
  }
  if (options.action == Options::Action::kPlot && options.print_file == nullptr &&
      options.cycles == nullptr) {
    problem.set("missing PRINTFILE operand; see 'vorna-plot --help'");
    return false;
  }
  return true;
}

bool listing_default_name(const char*& name, Problem& problem) {
  static char kept[4096];
  const std::string_view listing = listing_name_from_environment();
  if (listing.empty()) {
    problem.set("FORT36 is set but names no file");
    return false;
  }
  if (listing.size() >= sizeof kept) {
    problem.set("the file name in FORT36 is too long");
    return false;
  }
  kept[listing.copy(kept, listing.size())] = '\0';
  name = kept;
  return true;
}

}  // namespace vorna::plot
