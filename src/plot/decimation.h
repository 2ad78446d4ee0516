// Min/max decimation of a series onto pixel columns. Sample k of n goes to
// column (k - 1) * columns / n; each column keeps its lowest and its highest
// sample in the order they came, so a one-sample spike is never lost and
// the points drawn depend on the number of columns, not on n.
#pragma once

#include <cstdint>

namespace vorna::plot {

// A sample as read from the listing: its number (1-based line), its time
// (not a number when the listing shows none) and its finite value.
struct SamplePoint {
  std::int64_t number = 0;
  double time = 0.0;
  double value = 0.0;
};

struct Column {
  SamplePoint low;
  SamplePoint high;
  std::int64_t count = 0;   // samples kept in this column
  bool gap_before = false;  // a left-out sample lies before its first point
  std::int64_t gap_at = 0;  // the number of the first sample after a gap inside it
};

class ColumnDecimator {
 public:
  static constexpr int kMaxColumns = 10000;

  // Spreads samples 1..sample_count over columns (1..kMaxColumns) columns
  // and forgets every sample added before.
  void reset(std::int64_t sample_count, int columns);

  // A sample to draw, in order of number.
  void add(const SamplePoint& sample);

  // A sample that cannot be drawn, or a gap in time: the line breaks before
  // the next one.
  void add_gap() { gap_pending_ = true; }

  int column_count() const { return column_count_; }
  const Column& column(int index) const { return columns_[index]; }

  // The column of sample number, 0 .. column_count() - 1.
  int column_of(std::int64_t number) const;

  // Calls visit(point, starts_run) for the kept points in order of sample
  // number; starts_run is true at the first point and after every gap.
  template <typename Visit>
  void for_each_point(Visit&& visit) const;

 private:
  std::int64_t sample_count_ = 0;
  int column_count_ = 0;
  bool gap_pending_ = false;
  Column columns_[kMaxColumns];
};

template <typename Visit>
void ColumnDecimator::for_each_point(Visit&& visit) const {
  bool first = true;
  bool break_pending = false;  // a gap inside the column before, after its points
  for (int c = 0; c < column_count_; ++c) {
    const Column& column = columns_[c];
    if (column.count == 0) continue;
    const bool low_first = column.low.number <= column.high.number;
    const SamplePoint& earlier = low_first ? column.low : column.high;
    const SamplePoint& later = low_first ? column.high : column.low;
    // A gap inside the column breaks the line where it falls: before both
    // points, between them, or after both (before the next column's).
    const std::int64_t gap = column.gap_at;
    visit(earlier,
          first || column.gap_before || break_pending || (gap > 0 && gap <= earlier.number));
    if (later.number != earlier.number) {
      visit(later, gap > earlier.number && gap <= later.number);
    }
    break_pending = gap > later.number;
    first = false;
  }
}

}  // namespace vorna::plot
