#include "runtime/date_stamp.h"

#include <cstring>
#include <ctime>

#include "runtime/layouts.h"
#include "text/text_field.h"
#include "text/trimmed_length.h"

namespace vorna {

ClockReading read_clock() {
  ClockReading reading;
  std::time_t now = std::time(nullptr);
  std::tm local;
  if (localtime_r(&now, &local) == nullptr) return reading;
  reading.year = local.tm_year + 1900;
  reading.month = local.tm_mon + 1;
  reading.day = local.tm_mday;
  reading.hour = local.tm_hour;
  reading.minute = local.tm_min;
  reading.second = local.tm_sec;
  return reading;
}

Failure date_stamp(char* result, int result_length, ClockFunction clock) {
  const ClockReading reading = clock();
  const int values[6] = {reading.year < 1000 ? reading.year + 1900 : reading.year,
                         reading.month,
                         reading.day,
                         reading.hour,
                         reading.minute,
                         reading.second};
  char work_field[kWorkFieldLength];
  WriteTally tally;
  write_date_stamp(tally, work_field, sizeof work_field, values);
  if (tally.failed() || result_length <= 0) return tally.failure;
  const int used = trimmed_length(work_field, kWorkFieldLength);
  const int copied = used < result_length ? used : result_length;
  std::memcpy(result, work_field, static_cast<std::size_t>(copied));
  std::memset(result + copied, ' ', static_cast<std::size_t>(result_length - copied));
  return {};
}

}  // namespace vorna
