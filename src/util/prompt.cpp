#include "util/prompt.h"

#include <cstring>

#include "textio/layouts.h"
#include "textio/units.h"

namespace vorna {

void write_prompt(int unit, const char* text, int length) {
  static char work_field[80];
  std::memset(work_field, ' ', sizeof work_field);
  const int taken = length < 0 ? 0 : (length > 80 ? 80 : length);
  std::memcpy(work_field, text, static_cast<std::size_t>(taken));
  write_prompt_record(unit, work_field, static_cast<std::size_t>(taken));
  unit_flush(unit);
}

}  // namespace vorna
