#include "runtime/diagnostics.h"

#include <unistd.h>

#include "runtime/line_text.h"
#include "runtime/system_io.h"

namespace vorna {
namespace {

const char* message_of(int number) {
  switch (number) {
    case kAccessDenied:
      return "permission to access file denied";
    case kRecordTooLong:
      return "input record too long";
    case kEndOfFile:
      return "end-of-file during read";
    case kFileNotFound:
      return "file not found";
    case kOpenFailure:
      return "open failure";
    case kWriteError:
      return "error during write";
    case kReadError:
      return "error during read";
    case kFileNameError:
      return "file name specification error";
    case kNoMemory:
      return "insufficient virtual memory";
    case kWriteToReadOnly:
      return "write to READONLY file";
    case kSyntaxError:
      return "list-directed I/O syntax error";
    case kOutputConversion:
      return "output conversion error";
    case kInputConversion:
      return "input conversion error";
    case kRecordOverflow:
      return "output statement overflows record";
    default:
      return "unexpected condition";
  }
}

const char* severity_word(Severity severity) {
  return severity == Severity::kError ? "error" : "severe";
}

// "vorna: <severity> (<number>): "
LineText& add_number(LineText& line, int number) {
  return line.add("vorna: ")
      .add(severity_word(severity_of(number)))
      .add(" (")
      .add(number)
      .add("): ");
}

LineText& add_unit_and_file(LineText& line, int unit, const char* file_name) {
  return line.add(", unit ").add(unit).add(", file ").add_name(file_name);
}

}  // namespace

Severity severity_of(int number) {
  return number == kOutputConversion || number == kInterrupt ? Severity::kError : Severity::kSevere;
}

unsigned condition_code(int number) {
  return (static_cast<unsigned>(severity_of(number)) << 30) |
         (static_cast<unsigned>(number) & 0xFFFFu);
}

void write_diagnostic_line(int number, int unit, const char* file_name) {
  LineText line;
  add_unit_and_file(add_number(line, number).add(message_of(number)), unit, file_name);
  write_error_line(line);
}

void write_plain_diagnostic_line(int number) {
  LineText line;
  add_number(line, number).add(message_of(number));
  write_error_line(line);
}

void write_interrupt_line(const char* event) {
  LineText line;
  add_number(line, kInterrupt).add("program aborting due to ").add(event).add(" event");
  write_error_line(line);
}

void write_note_line(const char* text, int unit, const char* file_name) {
  LineText line;
  add_unit_and_file(line.add("vorna: info: ").add(text), unit, file_name);
  write_error_line(line);
}

void write_removed_files_line(const char* const names[], int count) {
  LineText line;
  line.add("vorna: info: removed ");
  for (int i = 0; i < count; ++i) {
    line.add(i == 0 ? "" : (i + 1 == count ? " and " : ", ")).add_name(names[i]);
  }
  line.add(" of an earlier run: a failed run leaves no results");
  write_error_line(line);
}

void write_error_line(const char* text) {
  LineText line;
  line.add(text);
  write_error_line(line);
}

void write_error_line(LineText& line) {
  line.with_line_end(
      [](std::string_view text) { write_fully(STDERR_FILENO, text.data(), text.size()); });
}

}  // namespace vorna
