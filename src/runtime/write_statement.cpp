#include "runtime/write_statement.h"

#include <cstring>

#include "runtime/diagnostics.h"
#include "runtime/stop.h"
#include "runtime/unit_table.h"

namespace vorna {

void WriteStatement::fail_with(int number) {
  if (!tally_.failed()) tally_.failure = {number, unit_, file_name(), nullptr};
}

char* WriteStatement::overflowing_place() {
  fail_with(kRecordOverflow);
  position_ = 0;
  high_water_ = 0;
  return record_;
}

void WriteStatement::blank_skipped_columns() {
  std::memset(record_ + high_water_, ' ', position_ - high_water_);
}

WriteStatement& WriteStatement::text(const char* characters, std::size_t count) {
  if (count > kRecordCapacity) {
    fail_with(kRecordOverflow);
    return *this;
  }
  std::memcpy(place(count), characters, count);
  return *this;
}

WriteStatement& WriteStatement::skip(int columns) {
  position_ += static_cast<std::size_t>(columns);
  return *this;
}

void WriteStatement::write_record(bool line_end) {
  std::size_t length = high_water_;
  if (line_end) {
    record_[length++] = '\r';
    record_[length++] = '\n';
  }
  if (!tally_.failed()) {
    const UnitResult written = unit_put_record(unit_, record_, length);
    if (!written.done()) tally_.failure = unit_failure(written);
  }
  position_ = 0;
  high_water_ = 0;
}

WriteStatement& WriteStatement::end_record() {
  write_record(true);
  return *this;
}

// Diagnostics name an in-memory write by its kind; a unit by its file.
const char* WriteStatement::file_name() const {
  return unit_ == kInternalUnit ? kInternalWriteName : nullptr;
}

void WriteStatement::report_overflow() {
  if (!overflow_ || tally_.failed()) return;
  report_unit_diagnostic(kOutputConversion, unit_, file_name());
  ++tally_.overflowed;
}

void WriteStatement::finish() {
  write_record(true);
  report_overflow();
}

void WriteStatement::finish_continued() {
  write_record(false);
  report_overflow();
}

void WriteStatement::finish_into(char* target, std::size_t length) {
  if (high_water_ > length) fail_with(kRecordOverflow);
  if (tally_.failed()) return;
  std::memcpy(target, record_, high_water_);
  std::memset(target + high_water_, ' ', length - high_water_);
  report_overflow();
}

}  // namespace vorna
