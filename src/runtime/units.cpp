#include "runtime/units.h"

#include "runtime/stop.h"

namespace vorna {

Failure unit_write(int unit, const char* bytes, std::size_t count) {
  return unit_failure(unit_put_record(unit, bytes, count));
}

Failure close_unit(int unit) { return unit_failure(unit_close(unit)); }

}  // namespace vorna
