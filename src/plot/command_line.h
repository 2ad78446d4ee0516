// The command line of vorna-plot, read by getopt_long:
//   vorna-plot [-o FILE] [--width=PIXELS] [--height=PIXELS] [--title=TEXT]
//              [--xlabel=TEXT] [--ylabel=TEXT] [--no-detail] [--hysteresis=BAND]
//              [--run=SUMMARY] PRINTFILE [LISTING]
// (PRINTFILE may be left out with --run), and -h/--help, -V/--version.
// Options and operands may come in any order; "--" ends the options; long
// options may be shortened to any unique prefix.
#pragma once

#include <cstddef>

#include "plot/picture_options.h"
#include "plot/picture_style.h"
#include "plot/plot_input.h"
#include "plot/run_summary.h"

namespace vorna::plot {

struct Options {
  enum class Action { kPlot, kHelp, kVersion };
  Action action = Action::kPlot;
  const char* print_file = nullptr;
  const char* listing = nullptr;  // none given: listing_default_name()
  const char* output = nullptr;   // none given, or "-": standard output
  const char* cycles = nullptr;   // --cycles: a cycle file, drawn instead of a run
  PictureSize size;
  PictureTexts texts;
  char band_text[32] = "";                            // --hysteresis as read, for texts.hysteresis
  const char* run = nullptr;                          // --run: the run's JSON summary
  char column_label[RunSummary::kMaxText + 32] = "";  // the y label the summary's column gives
};

// False with problem set for a command line that cannot be followed.
bool parse_command_line(int argc, char** argv, Options& options, Problem& problem);

// What the run's summary tells that the command line does not: the print
// and listing files when no PRINTFILE is given, the band without
// --hysteresis, the series for the default title, the column for the
// default label of the values. False with problem set when it names no
// print file and none is given.
bool take_run_summary(const RunSummary& summary, const char* summary_path, Options& options,
                      Problem& problem);

// Where the listing came from.
enum class ListingSource { kOperand, kRunSummary, kBesidePrintFile, kFort36Variable, kFort36 };

struct ListingChoice {
  const char* name = nullptr;
  ListingSource source = ListingSource::kOperand;
  char beside[4096] = {};       // BASE.lst beside the print file BASE.prt
  char from_fort36[4096] = {};  // the name FORT36 gives, blanks dropped
};

// The listing of the run that wrote print_file when the command line names
// none: BASE.lst beside a print file BASE.prt (or BASE), as a command-line
// run writes them, when FORT36 is unset and that file is there; else the
// dialogue's rule (listing_default_name). False with problem set when
// neither names a file.
bool choose_listing(const char* print_file, ListingChoice& choice, Problem& problem);

// Adds to a problem met with the listing how that listing was chosen and
// which one the user may have meant.
void explain_listing_choice(const ListingChoice& choice, const char* print_file,
                            const char* summary_path, Problem& problem);

// The listing that vorna writes, into choice.name: the value of the
// environment variable FORT36 (its name in any case, blanks around the value
// dropped, kept in choice.from_fort36) or "fort.36". False with problem set
// when the value names no file or is too long to keep.
bool listing_default_name(ListingChoice& choice, Problem& problem);

// The text of --help.
extern const char kHelpText[];

}  // namespace vorna::plot
