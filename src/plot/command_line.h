// The command line of vorna-plot, read by getopt_long:
//   vorna-plot [-o FILE] [--width=PIXELS] [--height=PIXELS] [--title=TEXT]
//              [--xlabel=TEXT] [--ylabel=TEXT] [--no-detail] PRINTFILE [LISTING]
// Options and operands may come in any order; "--" ends the options; long
// options may be shortened to any unique prefix.
#pragma once

#include <cstddef>

#include "plot/picture.h"
#include "plot/plot_input.h"

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
  char band_text[32] = "";  // --hysteresis as read, for texts.hysteresis
};

// False with problem set for a command line that cannot be followed.
bool parse_command_line(int argc, char** argv, Options& options, Problem& problem);

// The listing that vorna writes: the value of the environment variable
// FORT36 (its name in any case, blanks around the value dropped) or
// "fort.36". False with problem set when the value names no file or is
// too long to keep.
bool listing_default_name(const char*& name, Problem& problem);

// The text of --help.
extern const char kHelpText[];

}  // namespace vorna::plot
