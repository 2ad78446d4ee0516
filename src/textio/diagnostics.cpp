#include "textio/diagnostics.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "textio/units.h"

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
  switch (severity) {
    case Severity::kInfo:
      return "info";
    case Severity::kError:
      return "error";
    default:
      return "severe";
  }
}

// A small appender for one diagnostic line; no allocation.
class LineText {
 public:
  LineText& add(const char* text) {
    while (*text != '\0' && used_ < sizeof text_) text_[used_++] = *text++;
    return *this;
  }
  LineText& add(int value) {
    char digits[16];
    int count = 0;
    unsigned magnitude =
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
      digits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) add("-");
    while (count > 0 && used_ < sizeof text_) text_[used_++] = digits[--count];
    return *this;
  }
  const char* data() const { return text_; }
  std::size_t size() const { return used_; }

 private:
  char text_[kMaxFileName + 256];
  std::size_t used_ = 0;
};

void write_to_standard_error(const char* bytes, std::size_t count) {
  while (count > 0) {
    ssize_t wrote = ::write(STDERR_FILENO, bytes, count);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;
    bytes += wrote;
    count -= static_cast<std::size_t>(wrote);
  }
}

// Console output comes before the line it precedes; a failing console is no
// reason to lose the diagnostic.
void write_out_console() { unit_flush_quietly(kConsoleOutput); }

void write_line(LineText& line, bool write_console_first = true) {
  line.add("\r\n");
  if (write_console_first) write_out_console();
  write_to_standard_error(line.data(), line.size());
}

}  // namespace

Severity severity_of(int number) {
  return number == kOutputConversion || number == kInterrupt ? Severity::kError : Severity::kSevere;
}

unsigned condition_code(int number) {
  return (static_cast<unsigned>(severity_of(number)) << 30) |
         (static_cast<unsigned>(number) & 0xFFFFu);
}

void write_diagnostic_line(int number, int unit) {
  LineText line;
  line.add("vorna: ").add(severity_word(severity_of(number))).add(" (").add(number).add("): ");
  line.add(message_of(number)).add(", unit ").add(unit).add(", file ").add(unit_file_name(unit));
  write_line(line);
}

void issue_diagnostic(int number, int unit) {
  if (severity_of(number) == Severity::kSevere) fail_run(number, unit);
  write_diagnostic_line(number, unit);
}

void fail_run(int number, int unit) {
  write_diagnostic_line(number, unit);
  close_all_units();
  end_process(static_cast<int>(condition_code(number) & 0xFFu));
}

void write_interrupt_diagnostic(const char* event, bool write_console_first) {
  LineText line;
  line.add("vorna: error (200): program aborting due to ").add(event).add(" event");
  write_line(line, write_console_first);
}

void write_error_line(const char* text) {
  LineText line;
  line.add(text);
  write_line(line);
}

void end_process(int status) { _exit(status); }

}  // namespace vorna
