#include "runtime/units.h"

#include "runtime/stop.h"

namespace vorna {

void unit_write(int unit, const char* bytes, std::size_t count) {
  end_on_failure(unit_put_record(unit, bytes, count));
}

void close_unit(int unit) { end_on_failure(unit_close(unit)); }

}  // namespace vorna
