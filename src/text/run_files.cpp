#include "text/run_files.h"

#include <strings.h>

extern char** environ;

namespace vorna {

namespace {

constexpr char kVariable[] = "FORT36=";

// The FORT36 entry of the environment (its name in any case), or null.
const char* listing_variable_entry() {
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    if (strncasecmp(*entry, kVariable, sizeof kVariable - 1) == 0) return *entry;
  }
  return nullptr;
}

}  // namespace

bool listing_name_is_set() { return listing_variable_entry() != nullptr; }

std::string_view listing_name_from_environment() {
  if (const char* entry = listing_variable_entry()) {
    std::string_view value(entry + sizeof kVariable - 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    return value;
  }
  return "fort.36";
}

}  // namespace vorna
