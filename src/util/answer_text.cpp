#include "util/answer_text.h"

#include <cstring>

#include "textio/number_reader.h"
#include "util/text_field.h"

namespace vorna {

bool read_answer_text(const char* text, double default_value, double& value) {
  char field[kTextLength];
  const std::size_t length = std::strlen(text);
  const std::size_t taken = length < sizeof field ? length : sizeof field;
  std::memcpy(field, text, taken);
  std::memset(field + taken, ' ', sizeof field - taken);
  if (field[0] == ' ') {
    value = default_value;
    return true;
  }
  value = 0.0;
  double* const targets[] = {&value};
  return scan_numbers(field, kTextLength, targets, 1) == ReadStatus::kOk;
}

}  // namespace vorna
