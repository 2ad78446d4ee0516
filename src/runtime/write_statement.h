// One write statement of the layout engine: fields placed into records,
// each record handed to a unit with its CR LF line end, or one record
// placed into a fixed-length text.
#pragma once

#include <cstddef>

#include "runtime/failure.h"
#include "text/field_format.h"
#include "text/run_files.h"

namespace vorna {

// What the records written so far came to: the first failure, after which
// nothing more is written or reported, and how many records had a field too
// wide for it (a row of asterisks and the output conversion diagnostic).
// One tally serves a run's reports; its writers check it once a record.
struct WriteTally {
  Failure failure;
  long overflowed = 0;
  bool failed() const { return failure.failed(); }
};

class WriteStatement {
 public:
  // A statement on a unit; kInternalUnit stands for an in-memory write.
  // Once the tally holds a failure, nothing is written.
  WriteStatement(WriteTally& tally, int unit) : tally_(tally), unit_(unit) {}
  WriteStatement(const WriteStatement&) = delete;
  WriteStatement& operator=(const WriteStatement&) = delete;

  // Literal text or a character field: all of its characters, trailing
  // blanks included.
  WriteStatement& text(const char* characters, std::size_t count);
  template <std::size_t N>
  WriteStatement& text(const char (&literal)[N]) {
    return text(literal, N - 1);
  }
  // nX: moves n columns right; the record only grows when text follows.
  WriteStatement& skip(int columns);
  // Iw.m, Fw.d and 1PEw.d fields. Inline: a report of a million lines
  // places three million of them.
  WriteStatement& integer(int value, int w, int m = 1) {
    overflow_ |= format_integer(value, w, m, place(static_cast<std::size_t>(w)));
    return *this;
  }
  WriteStatement& fixed(double value, int w, int d) {
    overflow_ |= format_fixed(value, w, d, place(static_cast<std::size_t>(w)));
    return *this;
  }
  WriteStatement& exponent(double value, int w, int d) {
    overflow_ |= format_exponent(value, w, d, place(static_cast<std::size_t>(w)));
    return *this;
  }
  // The same fields as a run file's line describes them; a statement places
  // them one after the other, so it writes them in the line's order (the
  // offsets are for the readers).
  WriteStatement& integer(int value, FieldLayout field) {
    return integer(value, field.width, field.digits);
  }
  WriteStatement& fixed(double value, FieldLayout field) {
    return fixed(value, field.width, field.digits);
  }
  WriteStatement& exponent(double value, FieldLayout field) {
    return exponent(value, field.width, field.digits);
  }
  // "/": writes the record and starts a new one.
  WriteStatement& end_record();

  // Writes the last record with its line end, then the output conversion
  // diagnostic when a field overflowed (counted in the tally).
  void finish();
  // "$": the last record without its line end (a prompt).
  void finish_continued();
  // In-memory write: the record goes into target[0..length), blank padded.
  void finish_into(char* target, std::size_t length);

  static constexpr std::size_t kRecordCapacity = 1024;

 private:
  // Room for count characters (at most kRecordCapacity) at the position;
  // columns skipped over since the last text become blanks.
  char* place(std::size_t count) {
    if (position_ + count > kRecordCapacity) return overflowing_place();
    if (position_ > high_water_) blank_skipped_columns();
    char* at = record_ + position_;
    position_ += count;
    if (position_ > high_water_) high_water_ = position_;
    return at;
  }
  // A record longer than its capacity is the severe 66: the tally takes
  // it, and the room given is thrown away.
  char* overflowing_place();
  void fail_with(int number);
  void blank_skipped_columns();
  void write_record(bool line_end);
  void report_overflow();
  const char* file_name() const;

  WriteTally& tally_;
  int unit_;
  std::size_t position_ = 0;    // column of the next text, from 0
  std::size_t high_water_ = 0;  // columns transferred so far
  bool overflow_ = false;
  char record_[kRecordCapacity + 2];
};

}  // namespace vorna
