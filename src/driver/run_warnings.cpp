#include "driver/run_warnings.h"

#include <cstring>

#include "runtime/diagnostics.h"

namespace vorna {

const char kWarningPrefix[] = "vorna: warning: ";

void RunWarnings::write(LineText& line) {
  write_error_line(line);
  texts_.emplace_back(line.text() + std::strlen(kWarningPrefix));
}

const char* RunWarnings::text(int index) const {
  if (index < 0 || index >= count()) return "";
  return texts_[static_cast<std::size_t>(index)].c_str();
}

}  // namespace vorna
