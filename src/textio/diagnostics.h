// Diagnostic lines on the standard error stream, and how a severe one ends
// the run.
#pragma once

namespace vorna {

// Error numbers of the diagnostics this program can meet.
enum DiagnosticNumber : int {
  kAccessDenied = 9,
  kRecordTooLong = 22,
  kEndOfFile = 24,
  kFileNotFound = 29,
  kOpenFailure = 30,
  kWriteError = 38,
  kReadError = 39,
  kFileNameError = 43,
  kWriteToReadOnly = 47,
  kSyntaxError = 59,
  kOutputConversion = 63,
  kInputConversion = 64,
  kRecordOverflow = 66,
  kInterrupt = 200,
};

enum class Severity { kInfo = 1, kError = 2, kSevere = 3 };

Severity severity_of(int number);
// The 32-bit condition code: severity in the top two bits, number in the low 16.
unsigned condition_code(int number);

// Writes "vorna: <severity> (<number>): <text>" CR LF for a diagnostic on the
// unit. A severe diagnostic closes every connected unit and ends the process
// with the low 8 bits of its condition code; an error returns.
void issue_diagnostic(int number, int unit);
// The same for a diagnostic known to be severe.
[[noreturn]] void fail_run(int number, int unit);
// Only the line of a diagnostic: nothing is closed and the run goes on.
void write_diagnostic_line(int number, int unit);
// The interrupt line: "vorna: error (200): program aborting due to <event> event".
// Pending console output is written first only when the caller holds the
// units (write_console_first).
void write_interrupt_diagnostic(const char* event, bool write_console_first = true);
// Any other line for the standard error stream: console output still pending
// is written out first, then the text and CR LF.
void write_error_line(const char* text);

// Ends the process at once with the status; no unit is touched.
[[noreturn]] void end_process(int status);

}  // namespace vorna
