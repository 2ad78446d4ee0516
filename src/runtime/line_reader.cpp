#include "runtime/line_reader.h"

#include <csignal>
#include <cstring>

#include "runtime/diagnostics.h"
#include "runtime/stop.h"
#include "runtime/unit_table.h"

namespace vorna {

void transfer_record(const char* record, std::size_t record_length, char* field, int length) {
  const std::size_t size = length > 0 ? static_cast<std::size_t>(length) : 0;
  const std::size_t taken = record_length < size ? record_length : size;
  std::memcpy(field, record, taken);
  std::memset(field + taken, ' ', size - taken);
}

namespace {

// The next record, or the end of the stream (a failure without end_branch).
int next_record(int unit, bool end_branch, const char*& record, std::size_t& length) {
  if (pending_interrupt() != 0) return kInterrupt;
  const SplitStatus status = unit_read_record(unit, record, length);
  if (status == SplitStatus::kRecord) return kRecordRead;
  if (status == SplitStatus::kTooLong) return kRecordTooLong;
  // An end or a failure may be how an interrupt or a hang-up shows first.
  if (pending_interrupt() != 0) return kInterrupt;
  if (unit_hung_up(unit) && take_event(SIGHUP)) return kInterrupt;
  if (status == SplitStatus::kReadFailed) return kReadError;
  if (!end_branch) return kEndOfFile;
  return kEndOfStream;
}

}  // namespace

int read_line(int unit, char* field, int length, bool end_branch) {
  const char* record;
  std::size_t record_length;
  const int status = next_record(unit, end_branch, record, record_length);
  if (status != kRecordRead) return status;
  transfer_record(record, record_length, field, length);
  return kRecordRead;
}

int read_record(int unit, const char*& record, std::size_t& length) {
  return next_record(unit, true, record, length);
}

Failure read_failure(int status, int unit) {
  if (status == kRecordRead || status == kEndOfStream) return {};
  return status == kInterrupt ? interrupted() : Failure{status, unit, nullptr, nullptr};
}

}  // namespace vorna
