// Runs shell commands as a user types them, for the tests of the commands
// the documents show.
#pragma once

#include <string>

namespace vorna_test {

struct ShellResult {
  std::string output;  // standard output and standard error, as a terminal shows them
  int status = -1;     // exit status, or 128 + the signal that ended the shell
};

// Runs the commands with /bin/sh in directory, FORT36 unset and, when
// path_first is given, that directory first on the PATH. Standard input is
// the input text (lines, each ended by a line feed), or /dev/null when it is
// empty.
ShellResult run_shell(const std::string& directory, const std::string& commands,
                      const std::string& path_first = "", const std::string& input = "");

// The text in single quotes for the shell.
std::string shell_quoted(const std::string& text);

}  // namespace vorna_test
