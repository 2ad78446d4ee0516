#include "plot/listing_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "plot/one_run_check.h"
#include "text/run_files.h"

namespace vorna::plot {
namespace {

bool read_listing_line(std::string_view line, std::int64_t number, ListingLine& read) {
  if (line.size() != kListingLineLength) return false;
  read.number = number;
  const std::string_view time_text = field_text(line, kListingTime);
  read.time_text = trim_blanks(time_text);
  read.value_text = field_text(line, kListingValue);
  read.time = read_fixed_field(time_text, kListingTime.digits);
  read.value = read_exponent_field(read.value_text, kListingValue.digits);
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

void count_time_kind(const Field& time, Listing& listing) {
  if (time.kind == FieldKind::kAsterisks) ++listing.time_asterisks;
  if (time.kind == FieldKind::kNotANumber || time.kind == FieldKind::kInfinity) {
    ++listing.time_words;
  }
}

// One listing line into the listing's counts, ranges and columns.
void add_listing_line(const ListingLine& line, Listing& listing) {
  note_time_gap(line.time, listing);
  const Field& time = line.time;
  const Field& value = line.value;
  count_time_kind(time, listing);
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

// The listing made ready for a reading: no samples, no gaps, no window.
void start_listing(const PrintFile& file, int columns, Listing& listing) {
  listing.columns.reset(file.steps, columns);
  listing.gap_limit = time_gap_limit(file.increment.value);
  listing.previous_time = std::numeric_limits<double>::quiet_NaN();
  listing.time_gaps = 0;
  DetailWindow& window = listing.detail;
  window.first = window.from = window.to = 0;
}

// One sample read into the listing, checked against the table; the detail
// window chosen once the pair has been met.
bool take_sample(ListingLine& sample, std::int64_t steps, int detail_columns, OneRunCheck& table,
                 Listing& listing, Problem& problem) {
  DetailWindow& window = listing.detail;
  const bool want_detail = detail_columns > 0 && steps > detail_columns;
  add_listing_line(sample, listing);
  if (sample.number == 1) copy_time_text(sample.time_text, listing.first_time);
  copy_time_text(sample.time_text, listing.last_time);
  const bool pair_met = window.to > 0;
  const bool read = table.check(sample, window, problem);
  if (want_detail && !pair_met && window.to > 0) {
    choose_detail_window(steps, detail_columns, window);
  }
  if (want_detail) keep_for_detail(sample, window);
  return read;
}

}  // namespace

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
  start_listing(file, columns, listing);
  if (!reader.open(path)) {
    if (errno == ENOENT && steps == 0) return true;
    problem.set("%s: cannot open: %s", path, std::strerror(errno));
    return false;
  }
  OneRunCheck table(print_path, path, file, table_reader);
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
      problem.set("%s:%lld: not a VORNA listing (expected a time and a value in %zu columns)", path,
                  static_cast<long long>(number), kListingLineLength);
      read = false;
    } else {
      read = take_sample(sample, steps, detail_columns, table, listing, problem);
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
