// Where the program's input comes from: the answers, counted as lines of
// standard input, and the series file, named as the user gave it. A failed
// answer or data line is a failure with a line that says where: "vorna:
// NAME:LINE: TEXT" or "vorna: (standard input):LINE: TEXT".
#pragma once

#include <limits.h>

#include "runtime/failure.h"
#include "runtime/line_text.h"
#include "runtime/write_statement.h"
#include "text/number_reader.h"

namespace vorna {

class InputPlaces {
 public:
  // Asks the question: the prompt on the console, then the answer into the
  // field (blank first), as read_answer reads it.
  Failure ask(WriteTally& tally, const char* prompt, char* field, int length);
  // Reads the next answer into the field (the end of the answers is the
  // severe 24) and counts it.
  Failure read_answer(char* field, int length);

  // An answer naming a file that could not be connected (error_number 29,
  // 9, 30 or 43): should the answers end before the question is answered
  // again, the where-line names it and why it was refused.
  void note_refused_answer(const char* field, int length, int error_number);
  void forget_refused_answer() { refused_ = false; }

  // One number from the last answer (for the question named), as the
  // window answers are read.
  Failure read_answer_number(const char* field, int length, const char* question, double& value);

  // The series file's name as the user gave it; without one, the connected
  // unit's name stands for it.
  void name_series_file(const char* field, int length);
  // The same for a name from the command line, used as it stands.
  void name_series_exactly(const char* name);
  const char* series_file_name() const;

  // The failure of a data line's read (status), with a where-line naming
  // the line.
  Failure fail_on_data_line(ReadStatus status, const char* field, int length,
                            LineNumber line_number);

  // The failure of the diagnostic, with line as its where-line: kept here
  // until the run has ended.
  Failure fail_where(int number, int unit, const LineText& line);

 private:
  LineText answer_place() const;

  LineNumber answer_count_ = 0;
  // A name from the command line may be as long as a path; longer is cut.
  char series_name_[PATH_MAX + 1] = "";
  bool refused_ = false;  // where_ names a refused answer
  LineText where_;
};

}  // namespace vorna
