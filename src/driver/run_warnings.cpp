#include "driver/run_warnings.h"

#include <cstring>

#include "runtime/diagnostics.h"

namespace vorna {
namespace {

// One line for each kind of warning at most: twelve about the series, three
// about its extrema, one about fields too wide for them, one about its
// cycles and one about its waves.
constexpr int kKinds = 18;
LineText g_warnings[kKinds];
int g_warning_count = 0;

}  // namespace

const char kWarningPrefix[] = "vorna: warning: ";

void forget_run_warnings() { g_warning_count = 0; }

void write_run_warning(const LineText& line) {
  write_error_line(line.text());
  if (g_warning_count < kKinds) g_warnings[g_warning_count++] = line;
}

int run_warning_count() { return g_warning_count; }

const char* run_warning_text(int index) {
  if (index < 0 || index >= g_warning_count) return "";
  return g_warnings[index].text() + std::strlen(kWarningPrefix);
}

}  // namespace vorna
