#include "plot/run_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace vorna_test {

RunResult run_command(const std::string& directory, const std::vector<std::string>& arguments,
                      const Environment& environment) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (strncasecmp(*entry, "FORT36=", 7) != 0) entries.emplace_back(*entry);
  }
  for (const auto& [name, value] : environment) entries.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> argument_copies = arguments;
  std::vector<char*> argv;
  for (std::string& argument : argument_copies) argv.push_back(argument.data());
  argv.push_back(nullptr);

  TempDir streams;
  const std::string out_path = streams.file("out");
  const std::string err_path = streams.file("err");
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (chdir(directory.c_str()) != 0) _exit(127);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  RunResult result;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  return result;
}

RunResult run_plot(const std::string& directory, const std::vector<std::string>& arguments,
                   const Environment& environment) {
  std::vector<std::string> command{VORNA_PLOT_BINARY};
  command.insert(command.end(), arguments.begin(), arguments.end());
  RunResult result = run_command(directory, command, environment);
  if (result.err.find("Sanitizer") != std::string::npos ||
      result.err.find(": runtime error: ") != std::string::npos) {
    ADD_FAILURE() << "sanitizer report from vorna-plot:\n" << result.err;
  }
  return result;
}

std::string find_on_path(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream directories(path != nullptr ? path : "/usr/bin:/bin");
  std::string directory;
  while (std::getline(directories, directory, ':')) {
    const std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

std::string without_date_stamps(const std::string& text) {
  const std::string shape = "dddd-dd-dd dd:dd:dd";
  const std::string mark = "Date : ";
  std::string out = text;
  for (std::size_t at = out.find(mark); at != std::string::npos; at = out.find(mark, at + 1)) {
    const std::size_t stamp = at + mark.size();
    if (out.size() < stamp + shape.size()) break;
    bool matches = true;
    for (std::size_t i = 0; i < shape.size(); ++i) {
      const char c = out[stamp + i];
      matches = matches && (shape[i] == 'd' ? (c >= '0' && c <= '9') : c == shape[i]);
    }
    if (matches) out.replace(stamp, shape.size(), "(stamp)");
  }
  return out;
}

std::vector<std::string> elements_of(const std::string& svg, const std::string& head) {
  std::vector<std::string> elements;
  for (std::size_t at = svg.find(head); at != std::string::npos; at = svg.find(head, at + 1)) {
    elements.push_back(svg.substr(at, svg.find('>', at) + 1 - at));
  }
  return elements;
}

std::string attribute_of(const std::string& element, const std::string& name) {
  const std::string key = " " + name + "=\"";
  const std::size_t value = element.find(key);
  if (value == std::string::npos) return "";
  const std::size_t first = value + key.size();
  return element.substr(first, element.find('"', first) - first);
}

}  // namespace vorna_test
