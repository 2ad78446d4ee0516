#include "runtime/prompt.h"

#include <cstring>

#include "runtime/layouts.h"
#include "text/text_field.h"

namespace vorna {

void write_prompt(WriteTally& tally, int unit, const char* text, int length) {
  char work_field[kWorkFieldLength];
  std::memset(work_field, ' ', sizeof work_field);
  const int taken = length < 0 ? 0 : (length > kWorkFieldLength ? kWorkFieldLength : length);
  std::memcpy(work_field, text, static_cast<std::size_t>(taken));
  write_prompt_record(tally, unit, work_field, static_cast<std::size_t>(taken));
}

}  // namespace vorna
