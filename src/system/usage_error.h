// A wrong command line, told alike by both programs: the line that names
// what is wrong, then where to read how it goes.
#pragma once

#include <getopt.h>

#include <cstddef>

namespace vorna {

// The text for an option that getopt_long refused (result '?' or ':', with
// getopt's optopt), in getopt's own words: element is the argument it
// stopped at (argv[optind - 1]) and options the table it was given; a long
// option is named in full, however it was shortened.
void describe_refused_option(int result, const char* element, const struct option* options,
                             char* problem, std::size_t size);

// Writes "PROGRAM: PROBLEM" on standard error, cut short and with a control
// byte shown as '?' so that it stays one line, then
// "Try 'PROGRAM --help' for more information.".
void write_usage_error(const char* program, const char* problem);

}  // namespace vorna
