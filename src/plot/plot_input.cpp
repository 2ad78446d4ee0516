#include "plot/plot_input.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace vorna::plot {

void Problem::set(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof message, format, arguments);
  va_end(arguments);
}

namespace {

constexpr std::size_t kLabelWidth = 26;
constexpr std::size_t kHeaderFieldWidth = 12;
constexpr std::size_t kTableLineWidth = 36;
constexpr std::size_t kListingFieldWidth = 15;

enum class HeaderKind { kCount, kFixed, kExponent };

struct HeaderLine {
  const char* label;  // 26 characters
  const char* name;   // for a problem
  HeaderKind kind;
  HeaderField PrintFile::*field;
};

// Lines 2 to 8 of the header block, in order.
const HeaderLine kHeaderLines[] = {
    {"# Time Series steps     : ", "Time Series steps", HeaderKind::kCount, &PrintFile::steps_text},
    {"# First Time            : ", "First Time", HeaderKind::kFixed, &PrintFile::first_time},
    {"# Last  Time            : ", "Last Time", HeaderKind::kFixed, &PrintFile::last_time},
    {"# Time Increment        : ", "Time Increment", HeaderKind::kFixed, &PrintFile::increment},
    {"# Simulation Length     : ", "Simulation Length", HeaderKind::kFixed,
     &PrintFile::simulation_length},
    {"# Maximum Height        : ", "Maximum Height", HeaderKind::kExponent, &PrintFile::max_height},
    {"# Time For max height   : ", "Time For max height", HeaderKind::kFixed,
     &PrintFile::time_of_max_height},
};

// Why a line could not be had: the problem names the file and, for a line
// that is not what it should be, the line.
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

// The number of the line a problem is about: the one just read, or the one
// that the end of the file left missing.
long long line_in_question(const BlockReader& reader, BlockReader::Status status) {
  return static_cast<long long>(reader.line_number()) +
         (status == BlockReader::Status::kEnd ? 1 : 0);
}

bool open_input(const char* path, BlockReader& reader, Problem& problem) {
  if (reader.open(path)) return true;
  problem.set("%s: cannot open: %s", path, std::strerror(errno));
  return false;
}

bool read_header_line(const HeaderLine& header, std::string_view line, PrintFile& file) {
  if (line.size() != kLabelWidth + kHeaderFieldWidth ||
      line.compare(0, kLabelWidth, header.label) != 0) {
    return false;
  }
  const std::string_view text = line.substr(kLabelWidth);
  HeaderField& field = file.*header.field;
  text.copy(field.text, text.size());
  switch (header.kind) {
    case HeaderKind::kCount: {
      if (!read_integer_field(text, file.steps) || file.steps < 0) return false;
      field.value = {FieldKind::kNumber, static_cast<double>(file.steps)};
      return true;
    }
    case HeaderKind::kFixed:
      field.value = read_fixed_field(text, 3);
      break;
    case HeaderKind::kExponent:
      field.value = read_exponent_field(text, 3);
      break;
  }
  if (field.value.kind == FieldKind::kAsterisks) file.header_asterisks = true;
  return field.value.is_valid();
}

bool read_header_block(const char* path, BlockReader& reader, PrintFile& file, Problem& problem) {
  std::string_view line;
  BlockReader::Status status = reader.next_line(line);
  if (status != BlockReader::Status::kLine) {
    if (status == BlockReader::Status::kEnd) {
      problem.set("%s:1: not a VORNA print file (the file is empty)", path);
      return false;
    }
    return report_read_failure(status, path, reader, "print file", problem);
  }
  if (line.empty() || line[0] != '#') {
    problem.set("%s:1: not a VORNA print file (expected \"#\" and the date stamp)", path);
    return false;
  }
  const std::string_view stamp = trim_blanks(line.substr(1).substr(0, sizeof file.stamp - 1));
  file.stamp_length = stamp.copy(file.stamp, stamp.size());

  for (const HeaderLine& header : kHeaderLines) {
    status = reader.next_line(line);
    if (status == BlockReader::Status::kLine && read_header_line(header, line, file)) continue;
    if (status == BlockReader::Status::kLine || status == BlockReader::Status::kEnd) {
      problem.set("%s:%lld: not a VORNA print file (expected the \"%s\" line)", path,
                  line_in_question(reader, status), header.name);
      return false;
    }
    return report_read_failure(status, path, reader, "print file", problem);
  }

  status = reader.next_line(line);
  if (status == BlockReader::Status::kLine && !line.empty() && line[0] == '#' &&
      trim_blanks(line.substr(1)).empty()) {
    return true;
  }
  if (status == BlockReader::Status::kLine || status == BlockReader::Status::kEnd) {
    problem.set("%s:%lld: not a VORNA print file (expected \"#\" and blanks ending the header)",
                path, line_in_question(reader, status));
    return false;
  }
  return report_read_failure(status, path, reader, "print file", problem);
}

// Follows the pair with the largest absolute height through the table.
class MaxHeightTracker {
 public:
  explicit MaxHeightTracker(std::string_view time_of_max_height)
      : time_of_max_height_(time_of_max_height) {}

  void add(const Field& time, const Field& value, const Field& height, std::string_view time_text,
           MaxHeightPair& pair) {
    if (has_previous_ && (height.is_number() || height.kind == FieldKind::kInfinity)) {
      const double magnitude = std::fabs(height.value);
      const bool closes_at_header_time = time_text == time_of_max_height_;
      if (magnitude > 0.0 &&
          (magnitude > largest_ || (magnitude == largest_ && closes_at_header_time && !matched_))) {
        largest_ = magnitude;
        matched_ = closes_at_header_time;
        pair = {true, previous_time_, previous_value_, time, value};
      }
    }
    has_previous_ = true;
    previous_time_ = time;
    previous_value_ = value;
  }

 private:
  std::string_view time_of_max_height_;
  bool has_previous_ = false;
  bool matched_ = false;
  double largest_ = 0.0;
  Field previous_time_, previous_value_;
};

bool read_extremum_table(const char* path, BlockReader& reader, PrintFile& file, Problem& problem) {
  MaxHeightTracker tracker(file.time_of_max_height.text);
  std::string_view line;
  BlockReader::Status status;
  while ((status = reader.next_line(line)) == BlockReader::Status::kLine) {
    Field time, value, height;
    if (line.size() == kTableLineWidth) {
      time = read_fixed_field(line.substr(0, kHeaderFieldWidth), 3);
      value = read_exponent_field(line.substr(kHeaderFieldWidth, kHeaderFieldWidth), 4);
      height = read_exponent_field(line.substr(2 * kHeaderFieldWidth), 4);
    }
    if (!time.is_valid() || !value.is_valid() || !height.is_valid()) {
      problem.set(
          "%s:%lld: not a VORNA print file (expected an extremum line: "
          "time, value and height in 36 columns)",
          path, static_cast<long long>(reader.line_number()));
      return false;
    }
    ++file.extremum_count;
    tracker.add(time, value, height, line.substr(0, kHeaderFieldWidth), file.pair);
    if (!time.is_number() || !value.is_number()) {
      ++file.unplaceable_extrema;
    } else if (file.stored_extrema < PrintFile::kMaxStoredExtrema) {
      file.extrema[file.stored_extrema++] = {time.value, value.value};
    }
  }
  if (status == BlockReader::Status::kEnd) return true;
  return report_read_failure(status, path, reader, "print file", problem);
}

// One listing line into the listing's counts, ranges and columns.
bool add_listing_line(std::string_view line, std::int64_t number, Listing& listing) {
  if (line.size() != 2 * kListingFieldWidth) return false;
  const Field time = read_fixed_field(line.substr(0, kListingFieldWidth), 3);
  const Field value = read_exponent_field(line.substr(kListingFieldWidth), 5);
  if (!time.is_valid() || !value.is_valid()) return false;
  if (time.kind == FieldKind::kAsterisks) ++listing.time_asterisks;
  if (time.kind == FieldKind::kNotANumber || time.kind == FieldKind::kInfinity) {
    ++listing.time_words;
  }
  if (!value.is_number()) {
    ++listing.value_not_number;
    listing.columns.add_gap();
    return true;
  }
  ++listing.valued_samples;
  listing.values.add(value.value);
  listing.numbers.add(static_cast<double>(number));
  if (time.is_number()) {
    ++listing.timed_samples;
    listing.times.add(time.value);
    listing.timed_values.add(value.value);
  }
  const double no_time = std::numeric_limits<double>::quiet_NaN();
  listing.columns.add({number, time.is_number() ? time.value : no_time, value.value});
  return true;
}

}  // namespace

bool read_print_file(const char* path, BlockReader& reader, PrintFile& file, Problem& problem) {
  if (!open_input(path, reader, problem)) return false;
  const bool read = read_header_block(path, reader, file, problem) &&
                    read_extremum_table(path, reader, file, problem);
  reader.close();
  return read;
}

bool read_listing(const char* path, std::int64_t steps, const char* print_path, int columns,
                  BlockReader& reader, Listing& listing, Problem& problem) {
  listing.columns.reset(steps, columns);
  if (!reader.open(path)) {
    if (errno == ENOENT && steps == 0) return true;
    problem.set("%s: cannot open: %s", path, std::strerror(errno));
    return false;
  }
  std::string_view line;
  BlockReader::Status status;
  bool read = true;
  while ((status = reader.next_line(line)) == BlockReader::Status::kLine) {
    const std::int64_t number = reader.line_number();
    if (number > steps) {
      problem.set("%s:%lld: more lines than the %lld Time Series steps of %s", path,
                  static_cast<long long>(number), static_cast<long long>(steps), print_path);
      read = false;
      break;
    }
    if (!add_listing_line(line, number, listing)) {
      problem.set("%s:%lld: not a VORNA listing (expected a time and a value in 30 columns)", path,
                  static_cast<long long>(number));
      read = false;
      break;
    }
  }
  listing.lines = reader.line_number();
  if (read && status != BlockReader::Status::kEnd) {
    read = report_read_failure(status, path, reader, "listing", problem);
  } else if (read && listing.lines != steps) {
    problem.set("%s: %lld lines, but %s has %lld Time Series steps", path,
                static_cast<long long>(listing.lines), print_path, static_cast<long long>(steps));
    read = false;
  }
  reader.close();
  return read;
}

}  // namespace vorna::plot
