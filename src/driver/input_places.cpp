#include "driver/input_places.h"

#include <limits.h>

#include <cstring>

#include "runtime/diagnostics.h"
#include "runtime/line_reader.h"
#include "runtime/line_text.h"
#include "runtime/prompt.h"
#include "runtime/unit_table.h"
#include "text/text_field.h"
#include "text/trimmed_length.h"

namespace vorna {
namespace {

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

}  // namespace

LineText InputPlaces::answer_place() const {
  LineText line;
  line.add("vorna: (standard input):").add(answer_count_).add(": ");
  return line;
}

Failure InputPlaces::fail_where(int number, int unit, const LineText& line) {
  where_ = line;
  refused_ = false;
  return {number, unit, nullptr, where_.text()};
}

Failure InputPlaces::ask(WriteTally& tally, const char* prompt, char* field, int length) {
  std::memset(field, ' ', static_cast<std::size_t>(length));
  write_prompt(tally, kConsoleOutput, prompt, static_cast<int>(std::strlen(prompt)));
  if (tally.failed()) return tally.failure;
  return read_answer(field, length);
}

Failure InputPlaces::read_answer(char* field, int length) {
  const int status = read_line(kConsoleInput, field, length, false);
  if (status != kRecordRead) {
    Failure failure = read_failure(status, kConsoleInput);
    if (refused_ && failure.number == kEndOfFile) failure.where_line = where_.text();
    return failure;
  }
  ++answer_count_;
  return {};
}

void InputPlaces::note_refused_answer(const char* field, int length, int error_number) {
  LineText line = answer_place();
  line.add("the answers ended while a file name was asked for again; the last one was refused (")
      .add(refusal_reason(field, length, error_number))
      .add("): ")
      .add_quoted(field, length);
  where_ = line;
  refused_ = true;
}

Failure InputPlaces::read_answer_number(const char* field, int length, const char* question,
                                        double& value) {
  double* targets[] = {&value};
  const ReadStatus status = scan_numbers(field, length, targets, 1);
  if (status == ReadStatus::kOk) return {};
  char subject[40] = {};
  std::strncat(subject, question, sizeof subject - 8);
  std::strcat(subject, " answer");
  LineText line = answer_place();
  add_failure(line, status, subject).add(": ");
  return fail_where(static_cast<int>(status), kInternalUnit, line.add_quoted(field, length));
}

void InputPlaces::name_series_file(const char* field, int length) {
  int used = trimmed_length(field, length);
  if (used < 0) used = 0;
  // Blanks before the name are not part of it, as the connection drops them.
  int first = 0;
  while (first < used && field[first] == ' ') ++first;
  const int kept = used - first < PATH_MAX ? used - first : PATH_MAX;
  std::memcpy(series_name_, field + first, static_cast<std::size_t>(kept));
  series_name_[kept] = '\0';
}

void InputPlaces::name_series_exactly(const char* name) {
  const std::size_t length = std::strlen(name);
  const std::size_t kept = length < PATH_MAX ? length : PATH_MAX;
  std::memcpy(series_name_, name, kept);
  series_name_[kept] = '\0';
}

const char* InputPlaces::series_file_name() const {
  return series_name_[0] != '\0' ? series_name_ : unit_file_name(kSeriesUnit);
}

Failure InputPlaces::fail_on_data_line(ReadStatus status, const char* field, int length,
                                       LineNumber line_number) {
  // The time alone reads well when the value broke the line.
  double time = 0.0;
  double* targets[] = {&time};
  const bool time_read = scan_numbers(field, length, targets, 1) == ReadStatus::kOk;
  LineText line;
  line.add("vorna: ").add_name(series_file_name()).add(":").add(line_number).add(": ");
  add_failure(line, status, time_read ? "value" : "time").add(": ");
  return fail_where(static_cast<int>(status), kInternalUnit, line.add_quoted(field, length));
}

}  // namespace vorna
