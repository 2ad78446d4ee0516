// The whole run of vorna-plot: command line, both files, the picture.
#pragma once

namespace vorna::plot {

// Returns the exit status: 0 when the picture is written, 1 when a file
// cannot be read or written or is not one that vorna writes, 2 for a wrong
// command line. Every failure is one line on standard error.
int run_plot(int argc, char** argv);

}  // namespace vorna::plot
