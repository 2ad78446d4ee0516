// How a run that cannot go on ends: a failure is a value that travels from
// where it happens up to main, which writes its diagnostic and ends the
// process (end_run). Nothing below main ends the process.
#pragma once

namespace vorna {

// The unit of a failure about no unit: its line names no unit and file.
constexpr int kNoUnit = 0;
// The number of a wrong command line (status 2): where_line holds the
// problem, written as "vorna: PROBLEM" with the hint to --help.
constexpr int kUsageProblem = -2;

struct [[nodiscard]] Failure {
  // The diagnostic's number; 0 for none. kInterrupt: the pending interrupt
  // ends the run.
  int number = 0;
  int unit = kNoUnit;
  // The name the line shows; null for the unit's own file.
  const char* file_name = nullptr;
  // The line that says where, "vorna: NAME:LINE: TEXT", written after the
  // diagnostic; null for none. It lives in the run that failed.
  const char* where_line = nullptr;

  bool failed() const { return number != 0; }
};

}  // namespace vorna
