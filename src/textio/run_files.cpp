#include "textio/run_files.h"

#include <strings.h>

extern char** environ;

namespace vorna {

std::string_view listing_name_from_environment() {
  static constexpr char kVariable[] = "FORT36=";
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    if (strncasecmp(*entry, kVariable, sizeof kVariable - 1) != 0) continue;
    std::string_view value(*entry + sizeof kVariable - 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    return value;
  }
  return "fort.36";
}

}  // namespace vorna
