#include "plot/one_run_check.h"

#include <cmath>

namespace vorna::plot {
namespace {

void copy_trimmed(std::string_view text, char (&to)[16]) {
  const std::string_view trimmed = trim_blanks(text);
  to[trimmed.copy(to, sizeof to - 1)] = '\0';
}

}  // namespace

bool same_printed_value(const Field& extremum, const Field& sample) {
  if (extremum.kind == FieldKind::kAsterisks) return true;  // nothing to compare
  if (!extremum.is_number() || !sample.is_number()) {
    return extremum.kind == sample.kind &&
           (extremum.kind != FieldKind::kInfinity || extremum.value == sample.value);
  }
  const double larger = std::fmax(std::fabs(extremum.value), std::fabs(sample.value));
  return std::fabs(extremum.value - sample.value) <= 0.56e-4 * larger;
}

bool OneRunCheck::start(Problem& problem) {
  if (!open_input(print_path_, reader_, problem)) return false;
  std::string_view line;
  for (std::size_t i = 0; i < kHeaderBlockLines; ++i) {
    if (reader_.next_line(line) != BlockReader::Status::kLine) return changed(problem);
  }
  return advance(problem);
}

bool OneRunCheck::check(ListingLine& line, DetailWindow& window, Problem& problem) {
  if (!waiting_ || line.time_text != time_text_) return true;
  if (!same_printed_value(value_, line.value)) {
    last_unlike_ = line.number;
    copy_trimmed(line.value_text, unlike_value_);
    return true;
  }
  line.extremum = true;
  if (index_ + 1 == file_.pair.to_index) window.from = line.number;
  if (index_ == file_.pair.to_index) window.to = line.number;
  return advance(problem);
}

bool OneRunCheck::finish(Problem& problem) {
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

bool OneRunCheck::advance(Problem& problem) {
  waiting_ = false;
  last_unlike_ = 0;
  std::string_view line;
  BlockReader::Status status;
  while ((status = reader_.next_line(line)) == BlockReader::Status::kLine) {
    ++index_;
    Field time, height;
    if (!read_table_line(line, time, value_, height)) return changed(problem);
    if (!time.is_number()) continue;
    copy_trimmed(table_time_text(line), time_copy_);
    copy_trimmed(table_value_text(line), value_copy_);
    time_text_ = time_copy_;
    line_number_ = static_cast<long long>(reader_.line_number());
    waiting_ = true;
    return true;
  }
  if (status == BlockReader::Status::kEnd) return true;
  return report_read_failure(status, print_path_, reader_, "print file", problem);
}

bool OneRunCheck::changed(Problem& problem) {
  problem.set("%s: changed while it was read", print_path_);
  return false;
}

}  // namespace vorna::plot
