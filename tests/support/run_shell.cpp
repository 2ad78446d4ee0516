#include "support/run_shell.h"

#include <sys/wait.h>

#include <cstdio>

namespace vorna_test {

std::string shell_quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

ShellResult run_shell(const std::string& directory, const std::string& commands,
                      const std::string& path_first, const std::string& input) {
  std::string script = "cd " + shell_quoted(directory) + " || exit 125\nunset FORT36\n";
  if (!path_first.empty()) script += "PATH=" + shell_quoted(path_first) + ":\"$PATH\"\n";
  script += "{\n" + commands + "\n} 2>&1 ";
  // A here-document with a quoted delimiter passes the input as it stands.
  script += input.empty() ? "</dev/null\n" : "<<'END-OF-INPUT'\n" + input + "END-OF-INPUT\n";
  ShellResult result;
  FILE* shell = popen(script.c_str(), "r");
  if (shell == nullptr) return result;
  char block[4096];
  std::size_t count;
  while ((count = std::fread(block, 1, sizeof block, shell)) > 0)
    result.output.append(block, count);
  const int status = pclose(shell);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

}  // namespace vorna_test
