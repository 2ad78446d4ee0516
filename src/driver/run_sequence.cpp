#include "driver/run_sequence.h"

#include "textio/diagnostics.h"

namespace vorna {

void run_program() { end_process(0); }

}  // namespace vorna
