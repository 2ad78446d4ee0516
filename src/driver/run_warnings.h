// The run's warning lines: each written on standard error as it comes and
// kept, so that the JSON summary can list them.
#pragma once

#include <string>
#include <vector>

#include "runtime/line_text.h"

namespace vorna {

// The start of every warning line.
extern const char kWarningPrefix[];

class RunWarnings {
 public:
  // Writes line, which starts with kWarningPrefix, and keeps it.
  void write(LineText& line);

  // The warnings written so far, in order; each text is the line as it
  // follows "vorna: warning: " (without CR LF).
  int count() const { return static_cast<int>(texts_.size()); }
  const char* text(int index) const;

 private:
  std::vector<std::string> texts_;
};

}  // namespace vorna
