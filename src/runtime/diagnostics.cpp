#include "runtime/diagnostics.h"

#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "runtime/system_io.h"
#include "text/utf8.h"

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

// One line, built without allocation and written in one piece; a text too
// long for it is cut, and the line end always fits.
class Line {
 public:
  Line& add(const char* text) {
    while (*text != '\0' && used_ < kCapacity) text_[used_++] = *text++;
    return *this;
  }
  // A file name: control characters would break the line or steer the
  // terminal.
  Line& add_name(const char* name) {
    const auto* at = reinterpret_cast<const unsigned char*>(name);
    const auto* end = at + std::strlen(name);
    while (at < end && used_ < kCapacity) {
      const ShownCharacter shown = shown_character(at, end);
      if (!shown.as_is) {
        text_[used_++] = '?';
      } else if (used_ + shown.length <= kCapacity) {
        std::memcpy(text_ + used_, at, shown.length);
        used_ += shown.length;
      } else {
        break;
      }
      at += shown.length;
    }
    return *this;
  }
  Line& add(int value) {
    char digits[16];
    int count = 0;
    unsigned magnitude =
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
      digits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) add("-");
    while (count > 0 && used_ < kCapacity) text_[used_++] = digits[--count];
    return *this;
  }
  // "vorna: <severity> (<number>): "
  Line& numbered(int number) {
    return add("vorna: ").add(severity_word(severity_of(number))).add(" (").add(number).add("): ");
  }
  Line& unit_and_file(int unit, const char* file_name) {
    return add(", unit ").add(unit).add(", file ").add_name(file_name);
  }
  void write() {
    text_[used_++] = '\r';
    text_[used_++] = '\n';
    write_fully(STDERR_FILENO, text_, used_);
  }

 private:
  static constexpr std::size_t kCapacity = 8192;
  char text_[kCapacity + 2];
  std::size_t used_ = 0;
};

}  // namespace

ShownCharacter shown_character(const unsigned char* text, const unsigned char* end) {
  const std::size_t length = utf8_length(text, end);
  if (length == 0) return {1, false};
  const bool control =
      text[0] < 32 || text[0] == 0x7F || (text[0] == 0xC2 && text[1] < 0xA0);  // C0, DEL, C1
  return {length, !control};
}

Severity severity_of(int number) {
  return number == kOutputConversion || number == kInterrupt ? Severity::kError : Severity::kSevere;
}

unsigned condition_code(int number) {
  return (static_cast<unsigned>(severity_of(number)) << 30) |
         (static_cast<unsigned>(number) & 0xFFFFu);
}

void write_diagnostic_line(int number, int unit, const char* file_name) {
  Line line;
  line.numbered(number).add(message_of(number)).unit_and_file(unit, file_name).write();
}

void write_plain_diagnostic_line(int number) {
  Line line;
  line.numbered(number).add(message_of(number)).write();
}

void write_interrupt_line(const char* event) {
  Line line;
  line.numbered(kInterrupt).add("program aborting due to ").add(event).add(" event").write();
}

void write_note_line(const char* text, int unit, const char* file_name) {
  Line line;
  line.add("vorna: info: ").add(text).unit_and_file(unit, file_name).write();
}

void write_removed_files_line(const char* const names[], int count) {
  Line line;
  line.add("vorna: info: removed ");
  for (int i = 0; i < count; ++i) {
    line.add(i == 0 ? "" : (i + 1 == count ? " and " : ", ")).add_name(names[i]);
  }
  line.add(" of an earlier run: a failed run leaves no results").write();
}

void write_error_line(const char* text) {
  Line line;
  line.add(text).write();
}

}  // namespace vorna
