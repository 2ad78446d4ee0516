#include "analysis/series.h"

#include <new>

namespace vorna {

bool RunStorage::allocate() {
  // Not value-initialised: the pages are touched only as far as a run fills them.
  samples_.reset(new (std::nothrow) double[kSeriesCapacity]);
  times_.reset(new (std::nothrow) double[kSeriesCapacity]);
  extremum_values_.reset(new (std::nothrow) double[kSeriesCapacity]);
  positions_.reset(new (std::nothrow) int[kSeriesCapacity]);
  heights_.reset(new (std::nothrow) double[kSeriesCapacity]);
  if (!samples_ || !times_ || !extremum_values_ || !positions_ || !heights_) return false;
  series_.values = samples_.get();
  series_.times = times_.get();
  extrema_.values = extremum_values_.get();
  extrema_.positions = positions_.get();
  extrema_.heights = heights_.get();
  return true;
}

}  // namespace vorna
