#include "driver/input_places.h"

#include <limits.h>

#include <cstring>

#include "runtime/diagnostics.h"
#include "runtime/line_reader.h"
#include "runtime/stop.h"
#include "runtime/units.h"
#include "runtime/where_lines.h"
#include "text/text_field.h"
#include "text/trimmed_length.h"

namespace vorna {
namespace {

LineNumber g_answer_count = 0;
// A name from the command line may be as long as a path; longer is cut.
char g_series_name[PATH_MAX + 1];

const char* refusal_reason(const char* field, int length, int error_number) {
  if (trimmed_length(field, length) <= 0) return "an empty answer";
  switch (error_number) {
    case kFileNotFound:
      return "no such file or folder";
    case kAccessDenied:
      return "permission denied";
    case kFileNameError:
      return "not a valid file name";
    default:
      return "a folder, or a file that cannot be opened for this";
  }
}

// What a failed read of the subject ("time", "value", "First Time answer")
// says about it.
LineText& add_failure(LineText& line, ReadStatus status, const char* subject) {
  switch (status) {
    case ReadStatus::kEndOfRecord:
      return line.add("no ").add(subject).add(" on the line");
    case ReadStatus::kSyntax:
      return line.add("the ").add(subject).add(" is not a number");
    default:
      return line.add("the ").add(subject).add(
          " cannot be converted (beyond the range of 8-byte reals, or text in quotes)");
  }
}

LineText answer_place() {
  LineText line;
  line.add("vorna: (standard input):").add(g_answer_count).add(": ");
  return line;
}

[[noreturn]] void fail_with_where_line(ReadStatus status, const LineText& line) {
  const int number = static_cast<int>(status);
  prepare_where_line(number, line);
  fail_run(number, kInternalUnit);
}

}  // namespace

void read_answer(char* field, int length) {
  read_line(kConsoleInput, field, length, false);
  ++g_answer_count;
}

void note_refused_answer(const char* field, int length, int error_number) {
  LineText line = answer_place();
  line.add("the answers ended while a file name was asked for again; the last one was refused (")
      .add(refusal_reason(field, length, error_number))
      .add("): ")
      .add_quoted(field, length);
  prepare_where_line(kEndOfFile, line);
}

void forget_refused_answer() { forget_where_line(); }

void read_answer_number(const char* field, int length, const char* question, double& value) {
  double* targets[] = {&value};
  const ReadStatus status = scan_numbers(field, length, targets, 1);
  if (status == ReadStatus::kOk) return;
  char subject[40] = {};
  std::strncat(subject, question, sizeof subject - 8);
  std::strcat(subject, " answer");
  LineText line = answer_place();
  add_failure(line, status, subject).add(": ");
  fail_with_where_line(status, line.add_quoted(field, length));
}

void name_series_file(const char* field, int length) {
  int used = trimmed_length(field, length);
  if (used < 0) used = 0;
  // Blanks before the name are not part of it, as the connection drops them.
  int first = 0;
  while (first < used && field[first] == ' ') ++first;
  const int kept = used - first < PATH_MAX ? used - first : PATH_MAX;
  std::memcpy(g_series_name, field + first, static_cast<std::size_t>(kept));
  g_series_name[kept] = '\0';
}

void name_series_exactly(const char* name) {
  const std::size_t length = std::strlen(name);
  const std::size_t kept = length < PATH_MAX ? length : PATH_MAX;
  std::memcpy(g_series_name, name, kept);
  g_series_name[kept] = '\0';
}

const char* series_file_name() {
  return g_series_name[0] != '\0' ? g_series_name : unit_file_name(kSeriesUnit);
}

void fail_on_data_line(ReadStatus status, const char* field, int length, LineNumber line_number) {
  // The time alone reads well when the value broke the line.
  double time = 0.0;
  double* targets[] = {&time};
  const bool time_read = scan_numbers(field, length, targets, 1) == ReadStatus::kOk;
  LineText line;
  line.add("vorna: ").add_name(series_file_name()).add(":").add(line_number).add(": ");
  add_failure(line, status, time_read ? "value" : "time").add(": ");
  fail_with_where_line(status, line.add_quoted(field, length));
}

}  // namespace vorna
