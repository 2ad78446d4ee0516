// The units as the program's code uses them: the unit table, with writes and
// closes whose failure is the run's (see unit_failure).
#pragma once

#include <cstddef>

#include "runtime/failure.h"
#include "runtime/unit_table.h"

namespace vorna {

// Writes one whole record (see unit_put_record). A failed write, after the
// file is cut back to its last whole record, or a pending interrupt is the
// failure that ends the run.
Failure unit_write(int unit, const char* bytes, std::size_t count);

// Writes pending output, closes the file and leaves the unit unconnected;
// a failure is the severe 38. Nothing happens for an unconnected unit.
Failure close_unit(int unit);

}  // namespace vorna
