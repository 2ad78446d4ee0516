// The run's warning lines: each written on standard error as it comes and
// kept, so that the JSON summary can list them.
#pragma once

#include "runtime/where_lines.h"

namespace vorna {

// The start of every warning line.
extern const char kWarningPrefix[];

// Forgets the warnings kept so far (a new run).
void forget_run_warnings();
// Writes line, which starts with kWarningPrefix, and keeps it.
void write_run_warning(const LineText& line);

// The warnings this run has written on standard error, in order; each text is the line as it
// follows "vorna: warning: " (without CR LF).
int run_warning_count();
const char* run_warning_text(int index);

}  // namespace vorna
