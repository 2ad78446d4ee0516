#include "runtime/record_stream.h"

#include "runtime/diagnostics.h"
#include "runtime/stop.h"
#include "runtime/unit_table.h"
#include "runtime/units.h"

namespace vorna {

RecordStream::RecordStream(WriteTally& tally, int unit) : tally_(tally), unit_(unit) {
  find_room();
}

// No room once the tally holds a failure: every record then goes apart,
// where nothing is written.
void RecordStream::find_room() {
  const OutputRoom room = tally_.failed() ? OutputRoom{} : unit_output_room(unit_);
  at_ = room.at;
  room_ = room.size;
}

void RecordStream::finish() {
  if (taken_ == 0) return;
  unit_take_room(unit_, taken_);
  taken_ = 0;
}

// A record that does not go in place (the unit's first, a full buffer, a
// pending interrupt) is built apart and written as a write statement writes
// it, after the records laid out before it.
char* RecordStream::begin_apart() {
  finish();
  in_place_ = false;
  return record_;
}

void RecordStream::write_apart(std::size_t length) {
  if (!tally_.failed()) tally_.failure = unit_write(unit_, record_, length);
  find_room();
}

// The diagnostic line may hand the unit's records to the system first (a
// listing on standard output keeps its order with standard error): the room
// is found again after it.
void RecordStream::report_overflow() {
  if (tally_.failed()) return;
  finish();
  report_unit_diagnostic(kOutputConversion, unit_);
  ++tally_.overflowed;
  find_room();
}

}  // namespace vorna
