#include "driver/command_line.h"

#include <cstring>

#include "textio/units.h"

namespace vorna {

const char kUsageText[] =
    "Usage: vorna [--help | --version]\n"
    "\n"
    "Finds the local maxima and minima of one time series, the height between\n"
    "every two successive extrema, and the largest height and its time.\n"
    "\n"
    "After a banner it asks four questions on standard input, one line each:\n"
    "  Give output file for misc print     the print file to write\n"
    "  Give file containing Time Series    the time series file to read\n"
    "  First Time                          start of the window (empty: 0)\n"
    "  Last Time                           end of the window (empty: 1.0E+30)\n"
    "\n"
    "It writes a four-line summary on standard output, the print file (a header\n"
    "block and one line per extremum) and the listing file (one line per sample),\n"
    "named by the environment variable FORT36, or fort.36 when it is unset.\n"
    "Every line of the three ends with CR LF.\n"
    "\n"
    "Standard error: a numbered diagnostic \"vorna: severe (59): ...\" ends the run;\n"
    "after one caused by a data line or an answer, \"vorna: FILE:LINE: TEXT\" or\n"
    "\"vorna: (standard input):LINE: TEXT\" says where. \"vorna: warning: ...\" lines\n"
    "(uneven or decreasing times, truth values, no samples, samples passed over\n"
    "or dropped) change nothing else: outputs and exit status stay the same.\n"
    "\n"
    "Exit status:\n"
    "  0                  the run finished\n"
    "  9, 22, 24, 29, 30, 38, 39, 43, 47, 59, 64, 66\n"
    "                     a severe diagnostic ended the run (its number)\n"
    "  129, 130, 131, 143 SIGHUP, SIGINT, SIGQUIT or SIGTERM ended the run\n"
    "\n"
    "Options:\n"
    "  -h, --help         show this text and exit\n"
    "  -V, --version      show the version and exit\n"
    "\n"
    "Manual: man vorna (after make install), or man ./doc/vorna.1 in the sources.\n";

const char kVersionText[] = "vorna 1.0\n";

CommandLineRequest command_line_request(int argc, const char* const argv[]) {
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, "--") == 0) break;
    if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
      return CommandLineRequest::kHelp;
    }
    if (std::strcmp(argument, "--version") == 0 || std::strcmp(argument, "-V") == 0) {
      return CommandLineRequest::kVersion;
    }
  }
  return CommandLineRequest::kRun;
}

bool answer_command_line(int argc, const char* const argv[]) {
  const CommandLineRequest request = command_line_request(argc, argv);
  if (request == CommandLineRequest::kRun) return false;
  const char* text = request == CommandLineRequest::kHelp ? kUsageText : kVersionText;
  unit_write(kConsoleOutput, text, std::strlen(text));
  return true;
}

}  // namespace vorna
