// The program's only run: banner, file dialogue, series, reports, stop.
#pragma once

namespace vorna {

[[noreturn]] void run_program();

}  // namespace vorna
