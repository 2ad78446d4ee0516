// The command line. The program takes its work from the console dialogue;
// only --help (-h) and --version (-V) are answered, before anything else,
// and every other argument is ignored.
#pragma once

namespace vorna {

enum class CommandLineRequest { kRun, kHelp, kVersion };

// The first --help, -h, --version or -V among the arguments decides; "--"
// ends the options.
CommandLineRequest command_line_request(int argc, const char* const argv[]);

// What --help and --version write on standard output.
extern const char kUsageText[];
extern const char kVersionText[];

// Writes the usage or the version when the command line asks for it and
// returns true: the program then ends with status 0, without its banner and
// without reading standard input. Returns false when the run is to start.
// A failed write is the severe diagnostic 38 for unit 6.
bool answer_command_line(int argc, const char* const argv[]);

}  // namespace vorna
