#include "runtime/line_reader.h"

#include <csignal>
#include <cstring>

#include "runtime/diagnostics.h"
#include "runtime/stop.h"
#include "runtime/units.h"

namespace vorna {

void transfer_record(const char* record, std::size_t record_length, char* field, int length) {
  const std::size_t size = length > 0 ? static_cast<std::size_t>(length) : 0;
  const std::size_t taken = record_length < size ? record_length : size;
  std::memcpy(field, record, taken);
  std::memset(field + taken, ' ', size - taken);
}

namespace {

// The next record, or -1 at the end of the stream (fatal without end_branch).
int next_record(int unit, bool end_branch, const char*& record, std::size_t& length) {
  end_if_interrupted();
  const SplitStatus status = unit_read_record(unit, record, length);
  if (status == SplitStatus::kRecord) return 0;
  if (status == SplitStatus::kTooLong) fail_run(kRecordTooLong, unit);
  // An end or a failure may be how an interrupt or a hang-up shows first.
  end_if_interrupted();
  if (unit_hung_up(unit)) end_by_event(SIGHUP);
  if (status == SplitStatus::kReadFailed) fail_run(kReadError, unit);
  if (!end_branch) fail_run(kEndOfFile, unit);
  return -1;
}

}  // namespace

int read_line(int unit, char* field, int length, bool end_branch, std::size_t& record_length) {
  const char* record;
  if (next_record(unit, end_branch, record, record_length) != 0) return -1;
  transfer_record(record, record_length, field, length);
  return 0;
}

int read_line(int unit, char* field, int length, bool end_branch) {
  std::size_t record_length;
  return read_line(unit, field, length, end_branch, record_length);
}

int read_record(int unit, const char*& record, std::size_t& length) {
  return next_record(unit, true, record, length);
}

}  // namespace vorna
