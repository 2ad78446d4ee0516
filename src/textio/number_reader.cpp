#include "textio/number_reader.h"

#include "textio/diagnostics.h"
#include "textio/units.h"

namespace vorna {

ReadStatus scan_numbers(const char*, int, double* const*, int) { return ReadStatus::kEndOfRecord; }

void read_numbers(const char* field, int length, double& first) {
  double* targets[] = {&first};
  ReadStatus status = scan_numbers(field, length, targets, 1);
  if (status != ReadStatus::kOk) fail_run(static_cast<int>(status), kInternalUnit);
}

void read_numbers(const char* field, int length, double& first, double& second) {
  double* targets[] = {&first, &second};
  ReadStatus status = scan_numbers(field, length, targets, 2);
  if (status != ReadStatus::kOk) fail_run(static_cast<int>(status), kInternalUnit);
}

}  // namespace vorna
