#include "system/usage_error.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "system/descriptors.h"

namespace vorna {
namespace {

const char* long_name_of(int value, const struct option* options) {
  for (; options->name != nullptr; ++options) {
    if (options->val == value) return options->name;
  }
  return "?";
}

}  // namespace

void describe_refused_option(int result, const char* element, const struct option* options,
                             char* problem, std::size_t size) {
  const bool long_form = std::strncmp(element, "--", 2) == 0;
  if (result == ':' && long_form) {
    std::snprintf(problem, size, "option '--%s' requires an argument",
                  long_name_of(optopt, options));
  } else if (result == ':') {
    std::snprintf(problem, size, "option requires an argument -- '%c'", optopt);
  } else if (optopt == 0) {
    // Unknown, or the shortened form of more than one long option.
    std::snprintf(problem, size, "unrecognized option '%s'", element);
  } else if (long_form) {
    std::snprintf(problem, size, "option '--%s' doesn't allow an argument",
                  long_name_of(optopt, options));
  } else {
    std::snprintf(problem, size, "invalid option -- '%c'", optopt);
  }
}

void write_usage_error(const char* program, const char* problem) {
  char line[1024];
  const int length = std::snprintf(line, sizeof line, "%.64s: %.900s\n", program, problem);
  if (length <= 0) return;
  for (int i = 0; i < length - 1; ++i) {
    if (static_cast<unsigned char>(line[i]) < 32) line[i] = '?';
  }
  write_all(STDERR_FILENO, line, static_cast<std::size_t>(length));
  std::snprintf(line, sizeof line, "Try '%.64s --help' for more information.\n", program);
  write_all(STDERR_FILENO, line, std::strlen(line));
}

}  // namespace vorna
