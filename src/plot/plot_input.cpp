#include "plot/plot_input.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "text/run_files.h"

namespace vorna::plot {

void Problem::set(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message, sizeof message, format, arguments);
  va_end(arguments);
}

void Problem::append(const char* format, ...) {
  const std::size_t used = std::strlen(message);
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(message + used, sizeof message - used, format, arguments);
  va_end(arguments);
}

namespace {

constexpr std::size_t kLabelWidth = kHeaderLabelLength;
constexpr std::size_t kHeaderFieldWidth = kHeaderCountWidth;
constexpr std::size_t kTableFieldWidth = kTableTime.width;
constexpr std::size_t kTableLineWidth = 3 * kTableFieldWidth;
constexpr std::size_t kListingFieldWidth = kListingTime.width;
constexpr std::size_t kHeaderBlockLines = 9;

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
      field.value = read_fixed_field(text, kHeaderFixed.digits);
      break;
    case HeaderKind::kExponent:
      field.value = read_exponent_field(text, kHeaderExponent.digits);
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

// One line of the extremum table; false when it is not one.
bool read_table_line(std::string_view line, Field& time, Field& value, Field& height) {
  if (line.size() != kTableLineWidth) return false;
  time = read_fixed_field(line.substr(0, kTableFieldWidth), kTableTime.digits);
  value = read_exponent_field(line.substr(kTableFieldWidth, kTableFieldWidth), kTableValue.digits);
  height = read_exponent_field(line.substr(2 * kTableFieldWidth), kTableValue.digits);
  return time.is_valid() && value.is_valid() && height.is_valid();
}

bool read_extremum_table(const char* path, BlockReader& reader, PrintFile& file, Problem& problem) {
  MaxHeightTracker tracker(file.time_of_max_height.text);
  std::string_view line;
  BlockReader::Status status;
  while ((status = reader.next_line(line)) == BlockReader::Status::kLine) {
    Field time, value, height;
    if (!read_table_line(line, time, value, height)) {
      problem.set(
          "%s:%lld: not a VORNA print file (expected an extremum line: "
          "time, value and height in 36 columns)",
          path, static_cast<long long>(reader.line_number()));
      return false;
    }
    ++file.extremum_count;
    if (tracker.add(time, value, height, line.substr(0, kTableFieldWidth), file.pair)) {
      file.pair.to_index = file.extremum_count;
    }
    if (!time.is_number() || !value.is_number()) {
      ++file.unplaceable_extrema;
    } else if (file.stored_extrema < PrintFile::kMaxStoredExtrema) {
      file.extrema[file.stored_extrema++] = {time.value, value.value};
    }
  }
  if (status == BlockReader::Status::kEnd) return true;
  return report_read_failure(status, path, reader, "print file", problem);
}

// One listing line, read.
struct ListingLine {
  std::int64_t number = 0;
  std::string_view time_text;  // trimmed
  std::string_view value_text;
  Field time, value;
  bool extremum = false;  // met as an extremum of the table
};

bool read_listing_line(std::string_view line, std::int64_t number, ListingLine& read) {
  if (line.size() != kListingTime.width + kListingValue.width) return false;
  read.number = number;
  read.time_text = trim_blanks(line.substr(0, kListingFieldWidth));
  read.value_text = line.substr(kListingFieldWidth);
  read.time = read_fixed_field(line.substr(0, kListingFieldWidth), kListingTime.digits);
  read.value = read_exponent_field(line.substr(kListingFieldWidth), kListingValue.digits);
  return read.time.is_valid() && read.value.is_valid();
}

// A gap in time before a timed sample breaks the line there.
void note_time_gap(const Field& time, Listing& listing) {
  if (!time.is_number()) return;
  if (is_time_gap(listing.previous_time, time.value, listing.gap_limit)) {
    ++listing.time_gaps;
    listing.columns.add_gap();
  }
  listing.previous_time = time.value;
}

// One listing line into the listing's counts, ranges and columns.
void add_listing_line(const ListingLine& line, Listing& listing) {
  note_time_gap(line.time, listing);
  const Field& time = line.time;
  const Field& value = line.value;
  if (time.kind == FieldKind::kAsterisks) ++listing.time_asterisks;
  if (time.kind == FieldKind::kNotANumber || time.kind == FieldKind::kInfinity) {
    ++listing.time_words;
  }
  if (!value.is_number()) {
    ++listing.value_not_number;
    listing.columns.add_gap();
    return;
  }
  const double no_time = std::numeric_limits<double>::quiet_NaN();
  const SamplePoint point{line.number, time.is_number() ? time.value : no_time, value.value};
  // The first sample of the record's highest and lowest value.
  if (listing.valued_samples == 0 || value.value > listing.highest.value) listing.highest = point;
  if (listing.valued_samples == 0 || value.value < listing.lowest.value) listing.lowest = point;
  ++listing.valued_samples;
  listing.values.add(value.value);
  listing.numbers.add(static_cast<double>(line.number));
  if (time.is_number()) {
    ++listing.timed_samples;
    listing.times.add(time.value);
    listing.timed_values.add(value.value);
  }
  listing.columns.add(point);
}

// Whether an extremum's value (1PE12.4) and a sample's (1PE15.5) can be
// one value printed twice: each text is within half a unit of its last
// digit of the value, so they differ by less than 0.55E-04 of it.
bool same_printed_value(const Field& extremum, const Field& sample) {
  if (extremum.kind == FieldKind::kAsterisks) return true;  // nothing to compare
  if (!extremum.is_number() || !sample.is_number()) {
    return extremum.kind == sample.kind &&
           (extremum.kind != FieldKind::kInfinity || extremum.value == sample.value);
  }
  const double larger = std::fmax(std::fabs(extremum.value), std::fabs(sample.value));
  return std::fabs(extremum.value - sample.value) <= 0.56e-4 * larger;
}

// The extremum table read a second time, one extremum ahead of the listing:
// each extremum must be met, in order, as a sample with its time and value.
class TableCheck {
 public:
  TableCheck(const char* print_path, const char* listing_path, const PrintFile& file,
             BlockReader& reader)
      : print_path_(print_path), listing_path_(listing_path), file_(file), reader_(reader) {}

  bool start(Problem& problem) {
    if (!open_input(print_path_, reader_, problem)) return false;
    std::string_view line;
    for (std::size_t i = 0; i < kHeaderBlockLines; ++i) {
      if (reader_.next_line(line) != BlockReader::Status::kLine) return changed(problem);
    }
    return advance(problem);
  }

  // The sample of line, for the extremum waited for. Sets from and to to
  // the sample numbers of the pair of maximum height when they are met.
  bool check(ListingLine& line, DetailWindow& window, Problem& problem) {
    if (!waiting_ || line.time_text != time_text_) return true;
    if (!same_printed_value(value_, line.value)) {
      last_unlike_ = line.number;
      std::snprintf(unlike_value_, sizeof unlike_value_, "%.*s",
                    static_cast<int>(trim_blanks(line.value_text).size()),
                    trim_blanks(line.value_text).data());
      return true;
    }
    line.extremum = true;
    if (index_ + 1 == file_.pair.to_index) window.from = line.number;
    if (index_ == file_.pair.to_index) window.to = line.number;
    return advance(problem);
  }

  // At the end of the listing: false with problem set when an extremum
  // was never met.
  bool finish(Problem& problem) {
    reader_.close();
    if (!waiting_) return true;
    if (last_unlike_ > 0) {
      problem.set(
          "%s:%lld: the extremum at time %s is %s, but %s:%lld has %s at that time: not the "
          "files of one run",
          print_path_, line_number_, time_copy_, value_copy_, listing_path_,
          static_cast<long long>(last_unlike_), unlike_value_);
    } else {
      problem.set("%s:%lld: no sample of %s at the extremum's time %s: not the files of one run",
                  print_path_, line_number_, listing_path_, time_copy_);
    }
    return false;
  }

 private:
  // To the next extremum whose time can be looked for.
  bool advance(Problem& problem) {
    waiting_ = false;
    last_unlike_ = 0;
    std::string_view line;
    BlockReader::Status status;
    while ((status = reader_.next_line(line)) == BlockReader::Status::kLine) {
      ++index_;
      Field time, height;
      if (!read_table_line(line, time, value_, height)) return changed(problem);
      if (!time.is_number()) continue;
      copy_trimmed(line.substr(0, kTableFieldWidth), time_copy_);
      copy_trimmed(line.substr(kTableFieldWidth, kTableFieldWidth), value_copy_);
      time_text_ = time_copy_;
      line_number_ = static_cast<long long>(reader_.line_number());
      waiting_ = true;
      return true;
    }
    if (status == BlockReader::Status::kEnd) return true;
    return report_read_failure(status, print_path_, reader_, "print file", problem);
  }

  bool changed(Problem& problem) {
    problem.set("%s: changed while it was read", print_path_);
    return false;
  }

  static void copy_trimmed(std::string_view text, char (&to)[16]) {
    const std::string_view trimmed = trim_blanks(text);
    to[trimmed.copy(to, sizeof to - 1)] = '\0';
  }

  const char* print_path_;
  const char* listing_path_;
  const PrintFile& file_;
  BlockReader& reader_;
  bool waiting_ = false;
  std::int64_t index_ = 0;  // of the extremum waited for, 1-based
  long long line_number_ = 0;
  Field value_;
  char time_copy_[16] = {}, value_copy_[16] = {};
  std::string_view time_text_;
  std::int64_t last_unlike_ = 0;  // a sample at the time with another value
  char unlike_value_[16] = {};
};

// The samples the detail panel shows: about columns of them, the pair of
// maximum height in the middle, within 1 .. steps. None when the pair is
// not met or lies too far apart to keep.
void choose_detail_window(std::int64_t steps, int columns, DetailWindow& window) {
  window.first = 0;
  if (window.from <= 0 || window.to < window.from) return;
  const std::int64_t span = window.to - window.from + 1;
  std::int64_t count = std::max<std::int64_t>(columns, span + span / 2);
  if (count > DetailWindow::kCapacity || count >= steps) return;
  std::int64_t first = window.from - (count - span) / 2;
  first = std::max<std::int64_t>(1, std::min(first, steps - count + 1));
  window.first = first;
  window.last = first + count - 1;
}

}  // namespace

bool read_print_file(const char* path, BlockReader& reader, PrintFile& file, Problem& problem) {
  if (!open_input(path, reader, problem)) return false;
  const bool read = read_header_block(path, reader, file, problem) &&
                    read_extremum_table(path, reader, file, problem);
  reader.close();
  return read;
}

void copy_time_text(std::string_view text, char (&to)[16]) {
  to[text.copy(to, sizeof to - 1)] = '\0';
}

// Keeps sample line in the detail window's ring until the window is full.
void keep_for_detail(const ListingLine& line, DetailWindow& window) {
  if (window.shown() && line.number > window.last) return;
  const double no_number = std::numeric_limits<double>::quiet_NaN();
  window.samples[DetailWindow::slot(line.number)] = {
      line.number, line.time.is_number() ? line.time.value : no_number,
      line.value.is_number() ? line.value.value : no_number};
  window.extremum[DetailWindow::slot(line.number)] = line.extremum;
}

double time_gap_limit(const Field& increment) {
  // Each listed time is within half a unit of its third decimal, and so is
  // the increment that the header prints.
  constexpr double kHalfUnit = 0.0005;
  if (!increment.is_number() || !(increment.value > 0.0)) {
    return std::numeric_limits<double>::infinity();
  }
  return 1.5 * (increment.value + kHalfUnit) + 2 * kHalfUnit;
}

bool read_listing(const char* path, const char* print_path, const PrintFile& file, int columns,
                  int detail_columns, BlockReader& reader, BlockReader& table_reader,
                  Listing& listing, Problem& problem) {
  const std::int64_t steps = file.steps;
  listing.columns.reset(steps, columns);
  listing.gap_limit = time_gap_limit(file.increment.value);
  listing.previous_time = std::numeric_limits<double>::quiet_NaN();
  listing.time_gaps = 0;
  DetailWindow& window = listing.detail;
  window.first = window.from = window.to = 0;
  const bool want_detail = detail_columns > 0 && steps > detail_columns;
  if (!reader.open(path)) {
    if (errno == ENOENT && steps == 0) return true;
    problem.set("%s: cannot open: %s", path, std::strerror(errno));
    return false;
  }
  TableCheck table(print_path, path, file, table_reader);
  std::string_view line;
  BlockReader::Status status = BlockReader::Status::kEnd;
  bool read = table.start(problem);
  while (read && (status = reader.next_line(line)) == BlockReader::Status::kLine) {
    ListingLine sample;
    const std::int64_t number = reader.line_number();
    if (number > steps) {
      problem.set("%s:%lld: more lines than the %lld Time Series steps of %s", path,
                  static_cast<long long>(number), static_cast<long long>(steps), print_path);
      read = false;
    } else if (!read_listing_line(line, number, sample)) {
      problem.set("%s:%lld: not a VORNA listing (expected a time and a value in 30 columns)", path,
                  static_cast<long long>(number));
      read = false;
    } else {
      add_listing_line(sample, listing);
      if (number == 1) copy_time_text(sample.time_text, listing.first_time);
      copy_time_text(sample.time_text, listing.last_time);
      const bool pair_met = window.to > 0;
      read = table.check(sample, window, problem);
      if (want_detail && !pair_met && window.to > 0) {
        choose_detail_window(steps, detail_columns, window);
      }
      if (want_detail) keep_for_detail(sample, window);
    }
  }
  listing.lines = reader.line_number();
  const int error = errno;
  reader.close();
  errno = error;
  if (read && status != BlockReader::Status::kEnd) {
    return report_read_failure(status, path, reader, "listing", problem);
  }
  if (read && listing.lines != steps) {
    problem.set("%s: %lld lines, but %s has %lld Time Series steps", path,
                static_cast<long long>(listing.lines), print_path, static_cast<long long>(steps));
    return false;
  }
  return read && table.finish(problem);
}

}  // namespace vorna::plot
