#include "driver/run_warnings.h"

#include "driver/series_warnings.h"

namespace vorna {

// Every warning of a run is about its series.
int run_warning_count() { return series_warning_count(); }

const char* run_warning_text(int index) { return series_warning_text(index); }

}  // namespace vorna
