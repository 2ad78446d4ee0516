// The units as the program's code uses them: the unit table, with writes and
// closes that end the run with their diagnostic when they fail.
#pragma once

#include <cstddef>

#include "runtime/unit_table.h"

namespace vorna {

// Writes one whole record (see unit_put_record). A failure ends the run
// with its diagnostic, after the file is cut back to its last whole record;
// so does an interrupt that is pending.
void unit_write(int unit, const char* bytes, std::size_t count);

// Writes pending output, closes the file and leaves the unit unconnected;
// a failure is the severe 38. Nothing happens for an unconnected unit.
void close_unit(int unit);

}  // namespace vorna
