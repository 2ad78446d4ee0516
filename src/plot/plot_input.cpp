#include "plot/plot_input.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "text/formatted_text.h"

namespace vorna::plot {

void Problem::set(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  format_text_v(message, sizeof message, format, arguments);
  va_end(arguments);
}

void Problem::append(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  append_text_v(message, sizeof message, format, arguments);
  va_end(arguments);
}

bool open_input(const char* path, BlockReader& reader, Problem& problem) {
  if (reader.open(path)) return true;
  problem.set("%s: cannot open: %s", path, std::strerror(errno));
  return false;
}

bool report_read_failure(BlockReader::Status status, const char* path, const BlockReader& reader,
                         const char* kind, Problem& problem) {
  if (status == BlockReader::Status::kError) {
    problem.set("%s: cannot read: %s", path, std::strerror(errno));
  } else if (status == BlockReader::Status::kTooLong) {
    problem.set("%s:%lld: not a VORNA %s (line too long)", path,
                static_cast<long long>(reader.line_number() + 1), kind);
  }
  return false;
}

long long line_in_question(const BlockReader& reader, BlockReader::Status status) {
  return static_cast<long long>(reader.line_number()) +
         (status == BlockReader::Status::kEnd ? 1 : 0);
}

}  // namespace vorna::plot
