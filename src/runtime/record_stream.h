// Many records of one layout in a row (the listing, the extremum table),
// laid out straight into the unit's output buffer while it has room: the
// same bytes, diagnostics and failures as one write statement a record,
// without building each record apart and copying it.
#pragma once

#include <cstddef>

#include "runtime/system_io.h"
#include "runtime/write_statement.h"

namespace vorna {

class RecordStream {
 public:
  // Once the tally holds a failure, nothing is written.
  RecordStream(WriteTally& tally, int unit);
  RecordStream(const RecordStream&) = delete;
  RecordStream& operator=(const RecordStream&) = delete;

  // Where the next record goes, with room for longest bytes (its line end
  // included).
  char* begin(std::size_t longest) {
    if (longest <= room_ && pending_interrupt() == 0) {
      in_place_ = true;
      return at_;
    }
    return begin_apart();
  }
  // The record of length bytes laid out at begin's place is complete;
  // overflow: a field of it was too narrow for its number (the output
  // conversion diagnostic follows the record, counted in the tally).
  void end(std::size_t length, bool overflow) {
    if (in_place_) {
      at_ += length;
      room_ -= length;
      taken_ += length;
    } else {
      write_apart(length);
    }
    if (overflow) report_overflow();
  }
  // Hands the records laid out in place to the unit; before anything else
  // uses the unit.
  void finish();

  static constexpr std::size_t kLongestRecord = 256;

 private:
  char* begin_apart();
  void write_apart(std::size_t length);
  void report_overflow();
  void find_room();

  WriteTally& tally_;
  int unit_;
  char* at_ = nullptr;
  std::size_t room_ = 0;
  std::size_t taken_ = 0;  // bytes laid out in place, not yet handed over
  bool in_place_ = false;
  char record_[kLongestRecord];
};

}  // namespace vorna
