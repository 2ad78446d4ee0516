#include "plot/print_file_reader.h"

#include <cmath>

#include "text/run_files.h"

namespace vorna::plot {
namespace {

constexpr char kKind[] = "print file";

enum class HeaderKind { kCount, kFixed, kExponent };

struct HeaderLine {
  const char* label;  // 26 characters
  const char* name;   // for a problem
  HeaderKind kind;
  HeaderField PrintFile::*field;
};

// Lines 2 to 8 of the header block, in order.
const HeaderLine kHeaderLines[] = {
    {kStepsLabel, "Time Series steps", HeaderKind::kCount, &PrintFile::steps_text},
    {kFirstTimeLabel, "First Time", HeaderKind::kFixed, &PrintFile::first_time},
    {kLastTimeLabel, "Last Time", HeaderKind::kFixed, &PrintFile::last_time},
    {kIncrementLabel, "Time Increment", HeaderKind::kFixed, &PrintFile::increment},
    {kLengthLabel, "Simulation Length", HeaderKind::kFixed, &PrintFile::simulation_length},
    {kMaxHeightLabel, "Maximum Height", HeaderKind::kExponent, &PrintFile::max_height},
    {kMaxHeightTimeLabel, "Time For max height", HeaderKind::kFixed,
     &PrintFile::time_of_max_height},
};

bool read_header_line(const HeaderLine& header, std::string_view line, PrintFile& file) {
  if (line.size() != kHeaderLineLength || line.compare(0, kHeaderLabelLength, header.label) != 0) {
    return false;
  }
  const std::string_view text = field_text(line, kHeaderCount);
  HeaderField& field = file.*header.field;
  text.copy(field.text, text.size());
  switch (header.kind) {
    case HeaderKind::kCount: {
      if (!read_integer_field(text, file.steps) || file.steps < 0) return false;
      field.value = {FieldKind::kNumber, static_cast<double>(file.steps)};
      return true;
    }
    case HeaderKind::kFixed:
      field.value = read_fixed_field(text, kHeaderFixed.digits);
      break;
    case HeaderKind::kExponent:
      field.value = read_exponent_field(text, kHeaderExponent.digits);
      break;
  }
  if (field.value.kind == FieldKind::kAsterisks) file.header_asterisks = true;
  return field.value.is_valid();
}

// Line 1: "#" and the date stamp.
bool read_stamp_line(const char* path, BlockReader& reader, PrintFile& file, Problem& problem) {
  std::string_view line;
  const BlockReader::Status status = reader.next_line(line);
  if (status != BlockReader::Status::kLine) {
    if (status == BlockReader::Status::kEnd) {
      problem.set("%s:1: not a VORNA print file (the file is empty)", path);
      return false;
    }
    return report_read_failure(status, path, reader, kKind, problem);
  }
  if (line.empty() || line[0] != '#') {
    problem.set("%s:1: not a VORNA print file (expected \"#\" and the date stamp)", path);
    return false;
  }
  const std::string_view stamp = trim_blanks(line.substr(1).substr(0, sizeof file.stamp - 1));
  file.stamp_length = stamp.copy(file.stamp, stamp.size());
  return true;
}

// Lines 2 to 8: a label and a number each.
bool read_header_values(const char* path, BlockReader& reader, PrintFile& file, Problem& problem) {
  std::string_view line;
  for (const HeaderLine& header : kHeaderLines) {
    const BlockReader::Status status = reader.next_line(line);
    if (status == BlockReader::Status::kLine && read_header_line(header, line, file)) continue;
    if (status == BlockReader::Status::kLine || status == BlockReader::Status::kEnd) {
      problem.set("%s:%lld: not a VORNA print file (expected the \"%s\" line)", path,
                  line_in_question(reader, status), header.name);
      return false;
    }
    return report_read_failure(status, path, reader, kKind, problem);
  }
  return true;
}

// Line 9: "#" and blanks.
bool read_header_end(const char* path, BlockReader& reader, Problem& problem) {
  std::string_view line;
  const BlockReader::Status status = reader.next_line(line);
  if (status == BlockReader::Status::kLine && !line.empty() && line[0] == '#' &&
      trim_blanks(line.substr(1)).empty()) {
    return true;
  }
  if (status == BlockReader::Status::kLine || status == BlockReader::Status::kEnd) {
    problem.set("%s:%lld: not a VORNA print file (expected \"#\" and blanks ending the header)",
                path, line_in_question(reader, status));
    return false;
  }
  return report_read_failure(status, path, reader, kKind, problem);
}

bool read_header_block(const char* path, BlockReader& reader, PrintFile& file, Problem& problem) {
  return read_stamp_line(path, reader, file, problem) &&
         read_header_values(path, reader, file, problem) && read_header_end(path, reader, problem);
}

// Follows the pair with the largest absolute height through the table.
class MaxHeightTracker {
 public:
  explicit MaxHeightTracker(std::string_view time_of_max_height)
      : time_of_max_height_(time_of_max_height) {}

  // True when this extremum closes the pair found so far.
  bool add(const Field& time, const Field& value, const Field& height, std::string_view time_text,
           MaxHeightPair& pair) {
    bool closes = false;
    if (has_previous_ && (height.is_number() || height.kind == FieldKind::kInfinity)) {
      const double magnitude = std::fabs(height.value);
      const bool closes_at_header_time = time_text == time_of_max_height_;
      if (magnitude > 0.0 &&
          (magnitude > largest_ || (magnitude == largest_ && closes_at_header_time && !matched_))) {
        largest_ = magnitude;
        matched_ = closes_at_header_time;
        pair = {true, previous_time_, previous_value_, time, value, 0};
        closes = true;
      }
    }
    has_previous_ = true;
    previous_time_ = time;
    previous_value_ = value;
    return closes;
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
    if (!read_table_line(line, time, value, height)) {
      problem.set(
          "%s:%lld: not a VORNA print file (expected an extremum line: "
          "time, value and height in %zu columns)",
          path, static_cast<long long>(reader.line_number()), kTableLineLength);
      return false;
    }
    ++file.extremum_count;
    if (tracker.add(time, value, height, table_time_text(line), file.pair)) {
      file.pair.to_index = file.extremum_count;
    }
    if (!time.is_number() || !value.is_number()) {
      ++file.unplaceable_extrema;
    } else if (file.stored_extrema < PrintFile::kMaxStoredExtrema) {
      file.extrema[file.stored_extrema++] = {time.value, value.value};
    }
  }
  if (status == BlockReader::Status::kEnd) return true;
  return report_read_failure(status, path, reader, kKind, problem);
}

}  // namespace

std::string_view table_time_text(std::string_view line) { return field_text(line, kTableTime); }

std::string_view table_value_text(std::string_view line) { return field_text(line, kTableValue); }

bool read_table_line(std::string_view line, Field& time, Field& value, Field& height) {
  if (line.size() != kTableLineLength) return false;
  time = read_fixed_field(field_text(line, kTableTime), kTableTime.digits);
  value = read_exponent_field(field_text(line, kTableValue), kTableValue.digits);
  height = read_exponent_field(field_text(line, kTableHeight), kTableHeight.digits);
  return time.is_valid() && value.is_valid() && height.is_valid();
}

bool read_print_file(const char* path, BlockReader& reader, PrintFile& file, Problem& problem) {
  if (!open_input(path, reader, problem)) return false;
  const bool read = read_header_block(path, reader, file, problem) &&
                    read_extremum_table(path, reader, file, problem);
  reader.close();
  return read;
}

}  // namespace vorna::plot
