#include "runtime/file_connection.h"

#include "runtime/units.h"
#include "text/text_field.h"
#include "text/trimmed_length.h"

namespace vorna {

void open_unit_file(const char* name, int name_length, int unit, int status_code, int& error_code) {
  error_code = 0;
  if (unit < 1 || unit > 99) {
    error_code = kUnitOutOfRange;
    return;
  }
  int length = name_length < 0 ? 0 : (name_length > kTextLength ? kTextLength : name_length);
  // The answer's blanks around the name are not part of it.
  while (length > 0 && name[0] == ' ') ++name, --length;
  while (length > 0 && name[length - 1] == ' ') --length;
  const OpenStatus status = status_code == kStatusOld ? OpenStatus::kOld : OpenStatus::kUnknown;
  const int error = connect_unit(unit, name, static_cast<unsigned>(length), status);
  if (error > 0) error_code = -error;
}

void open_text_file(const char* name, int name_length, int unit, int mode, int& failure_flag,
                    int* error_number) {
  const int status_code = mode > 0 ? kStatusOld : kStatusUnknown;
  int length = trimmed_length(name, name_length);
  if (length < 0) length = 0;
  int error_code = 0;
  open_unit_file(name, length, unit, status_code, error_code);
  failure_flag = error_code != 0 ? -1 : 0;
  if (error_number != nullptr) *error_number = -error_code;
}

}  // namespace vorna
