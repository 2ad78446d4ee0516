// Runs shell commands as a user types them, for the tests of the commands
// the documents show.
#pragma once

#include <string>

namespace vorna_test {

struct ShellResult {
  std::string output;  // standard output and standard error, as a terminal shows them
  int status = -1;     // exit status, or 128 + the signal that ended the shell
};

// Runs the commands with /bin/sh in directory, standard input from
// /dev/null, FORT36 unset and, when path_first is given, that directory first
// on the PATH.
ShellResult run_shell(const std::string& directory, const std::string& commands,
                      const std::string& path_first = "");

// The text in single quotes for the shell.
std::string shell_quoted(const std::string& text);

}  // namespace vorna_test
