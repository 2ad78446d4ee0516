#include "plot/command_line.h"

#include <getopt.h>
#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>

#include "system/usage_error.h"
#include "text/run_files.h"
#include "text/strict_number.h"

namespace vorna::plot {

const char kHelpText[] =
    "Usage: vorna-plot [OPTION]... PRINTFILE [LISTING]\n"
    "  or:  vorna-plot [OPTION]... --run=SUMMARY [PRINTFILE [LISTING]]\n"
    "Draw the series of a VORNA run, its extrema and its maximum height as an\n"
    "SVG picture.\n"
    "\n"
    "PRINTFILE is the print file of the run, LISTING its listing file. Without\n"
    "LISTING: BASE.lst beside a PRINTFILE BASE.prt, as vorna SERIES writes them,\n"
    "when the environment variable FORT36 is unset and that file is there; else\n"
    "the file FORT36 names, else fort.36, as the dialogue writes it. Both files\n"
    "must come from one run: the picture is refused otherwise.\n"
    "\n"
    "  -o, --output=FILE      write the picture to FILE (default: standard output)\n"
    "      --run=SUMMARY      the run's JSON summary (vorna --json ... > SUMMARY):\n"
    "                         its print and listing files when no PRINTFILE is\n"
    "                         given, its band, its series in the default title\n"
    "                         and its column in the default value label\n"
    "      --width=PIXELS     picture width, 300 to 10000 (default 1200)\n"
    "      --height=PIXELS    picture height, 300 to 10000 (default 500)\n"
    "      --title=TEXT       title above the plot (default: the series' name,\n"
    "                         or the print file's, then steps and times)\n"
    "      --xlabel=TEXT      label of the horizontal axis (default: Time)\n"
    "      --ylabel=TEXT      label of the vertical axis (default: Value)\n"
    "      --no-detail        no detail panel of the maximum height\n"
    "      --hysteresis=BAND  the run used vorna --hysteresis=BAND: say so, and\n"
    "                         call its extrema reversals (--run tells it too)\n"
    "      --cycles=FILE      draw the cycle file of vorna --cycles instead: the\n"
    "                         cycles with at least each range (no PRINTFILE)\n"
    "  -h, --help             display this help and exit\n"
    "  -V, --version          output version information and exit\n"
    "\n"
    "When the plot has fewer pixel columns than the series has samples, a detail\n"
    "panel below it shows every sample around the pair of maximum height, if\n"
    "they are fewer than half the series.\n"
    "\n"
    "Exit status: 0 when the picture is written, 1 when a file cannot be read\n"
    "or written or is not one that vorna writes, 2 for a wrong command line.\n"
    "\n"
    "Examples:\n"
    "  vorna wave.txt && vorna-plot wave.prt -o wave.svg\n"
    "  vorna --json --hysteresis=0.5 wave.txt > run.json\n"
    "  vorna-plot --run=run.json -o run.svg\n"
    "  vorna-plot --title='Run 7' --ylabel='Level (m)' wave.prt wave.lst > run7.svg\n";

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

// The band in its shortest form, for the note.
void set_band(double value, Options& options) {
  value += 0.0;  // -0 is 0
  char* const end = options.band_text + sizeof options.band_text - 1;
  *std::to_chars(options.band_text, end, value).ptr = '\0';
  options.texts.hysteresis = options.band_text;
}

// A band read as vorna reads it, kept in its shortest form for the note.
bool read_band(const char* text, Options& options, Problem& problem) {
  double value = 0.0;
  if (!vorna::read_band(text, value)) {
    problem.set("invalid hysteresis band '%s': give a number, 0 or above", text);
    return false;
  }
  set_band(value, options);
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
  kRun,
  kCycles,
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
    {"run", required_argument, nullptr, kRun},
    {"cycles", required_argument, nullptr, kCycles},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

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
    case kRun:
      options.run = value;
      return true;
    case kCycles:
      options.cycles = value;
      return true;
    case 'h':
      set_action(Options::Action::kHelp, options);
      return true;
    case 'V':
      set_action(Options::Action::kVersion, options);
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
    problem.set("extra operand '%s'", operand);
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
  while ((result = getopt_long(argc, argv, "-:o:hV", kOptions, nullptr)) != -1) {
    if (result == '?' || result == ':') {
      describe_refused_option(result, argv[optind - 1], kOptions, problem.message,
                              sizeof problem.message);
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
      options.cycles == nullptr && options.run == nullptr) {
    problem.set("missing PRINTFILE operand");
    return false;
  }
  return true;
}

bool listing_default_name(ListingChoice& choice, Problem& problem) {
  const std::string_view listing = listing_name_from_environment();
  if (listing.empty()) {
    problem.set("FORT36 is set but names no file");
    return false;
  }
  if (listing.size() >= sizeof choice.from_fort36) {
    problem.set("the file name in FORT36 is too long");
    return false;
  }
  choice.from_fort36[listing.copy(choice.from_fort36, listing.size())] = '\0';
  choice.name = choice.from_fort36;
  return true;
}

namespace {

// The text of the run's file: null when the summary has none.
const char* given(const char* text) { return text[0] != '\0' ? text : nullptr; }

bool is_whole_number(const char* text) {
  if (*text == '\0') return false;
  for (; *text != '\0'; ++text) {
    if (*text < '0' || *text > '9') return false;
  }
  return true;
}

}  // namespace

bool take_run_summary(const RunSummary& summary, const char* summary_path, Options& options,
                      Problem& problem) {
  if (options.print_file == nullptr) {
    options.print_file = given(summary.print_file);
    options.listing = given(summary.listing_file);
    if (options.print_file == nullptr) {
      problem.set("%s: the summary names no print file; give PRINTFILE", summary_path);
      return false;
    }
  }
  if (options.texts.hysteresis == nullptr && summary.has_band) set_band(summary.band, options);
  if (options.texts.series == nullptr) options.texts.series = given(summary.series);
  if (options.texts.y_label == nullptr && given(summary.column) != nullptr) {
    std::snprintf(options.column_label, sizeof options.column_label,
                  is_whole_number(summary.column) ? "Value (column %s)" : "%s", summary.column);
    options.texts.y_label = options.column_label;
  }
  return true;
}

bool choose_listing(const char* print_file, ListingChoice& choice, Problem& problem) {
  if (!listing_name_is_set()) {
    const char* slash = std::strrchr(print_file, '/');
    const char* base = slash != nullptr ? slash + 1 : print_file;
    const char* dot = std::strrchr(base, '.');
    const int kept =
        static_cast<int>(dot != nullptr && dot != base ? static_cast<std::size_t>(dot - print_file)
                                                       : std::strlen(print_file));
    struct stat file;
    if (std::snprintf(choice.beside, sizeof choice.beside, "%.*s.lst", kept, print_file) <
            static_cast<int>(sizeof choice.beside) &&
        std::strcmp(choice.beside, print_file) != 0 && ::stat(choice.beside, &file) == 0) {
      choice.name = choice.beside;
      choice.source = ListingSource::kBesidePrintFile;
      return true;
    }
  }
  choice.source = listing_name_is_set() ? ListingSource::kFort36Variable : ListingSource::kFort36;
  return listing_default_name(choice, problem);
}

void explain_listing_choice(const ListingChoice& choice, const char* print_file,
                            const char* summary_path, Problem& problem) {
  switch (choice.source) {
    case ListingSource::kOperand:
      return;
    case ListingSource::kRunSummary:
      problem.append(" (the listing that %s names)", summary_path);
      return;
    case ListingSource::kBesidePrintFile:
      problem.append(
          " (no LISTING given: took %s, beside %s; after a dialogue run, name its listing, "
          "such as fort.36)",
          choice.name, print_file);
      return;
    case ListingSource::kFort36Variable:
      problem.append(" (no LISTING given: took %s, which FORT36 names)", choice.name);
      return;
    case ListingSource::kFort36:
      problem.append(" (no LISTING given, and no %s beside %s: took fort.36)",
                     choice.beside[0] != '\0' ? choice.beside : "BASE.lst", print_file);
      return;
  }
}

}  // namespace vorna::plot
