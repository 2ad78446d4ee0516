// The program's only run: the files and the window from the dialogue (banner
// and questions) or from the command line, then the series, the reports and
// the stop.
#pragma once

#include "driver/command_line.h"

namespace vorna {

[[noreturn]] void run_program(const RunSettings& settings);

}  // namespace vorna
