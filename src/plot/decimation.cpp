#include "plot/decimation.h"

namespace vorna::plot {

void ColumnDecimator::reset(std::int64_t sample_count, int columns) {
  sample_count_ = sample_count > 0 ? sample_count : 1;
  column_count_ = columns < 1 ? 1 : (columns > kMaxColumns ? kMaxColumns : columns);
  gap_pending_ = false;
  for (int c = 0; c < column_count_; ++c) columns_[c] = Column{};
}

int ColumnDecimator::column_of(std::int64_t number) const {
  if (number <= 1) return 0;
  if (number > sample_count_) return column_count_ - 1;
  return static_cast<int>((number - 1) * column_count_ / sample_count_);
}

void ColumnDecimator::add(const SamplePoint& sample) {
  Column& column = columns_[column_of(sample.number)];
  if (column.count == 0) {
    column.low = column.high = sample;
    column.gap_before = gap_pending_;
  } else {
    if (gap_pending_) column.gap_at = sample.number;
    if (sample.value < column.low.value) column.low = sample;
    if (sample.value > column.high.value) column.high = sample;
  }
  ++column.count;
  gap_pending_ = false;
}

}  // namespace vorna::plot
