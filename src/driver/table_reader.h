// The command line's series reader: the series file read as a table. Each
// line that is not a comment ("$", "#" or "!" first) or blank is split into
// fields by one delimiter (the first such line's, or -d); a first line that
// is not all numbers, missing values and times names the columns. The time
// and the value come from the columns -t and -c: numbers, or in the time
// column ISO 8601 date-times, dates or clock times, read as seconds after the
// first accepted sample. A line with a missing time or value is left out; a
// field that is none of these is the failure 59 with a line naming the
// line, the column and the field.
#pragma once

#include <cstddef>
#include <cstdint>

#include "analysis/series.h"
#include "driver/command_line.h"
#include "driver/series_reader.h"
#include "runtime/failure.h"
#include "runtime/line_text.h"
#include "text/table_fields.h"

namespace vorna {

// Fields of one line looked at: the columns a first line can list, and the
// highest column -t or -c can name.
constexpr int kMaxColumns = 4096;

// What the JSON summary shows of the table.
struct TableFacts {
  char column[128] = {};  // the value column: the name in the header, else its number
  bool column_named = false;
  // The first accepted sample's date or clock time as ISO 8601 text; empty
  // for plain numbers.
  char first_timestamp[48] = {};
};

class TableReader {
 public:
  // The reading is watched by input's watch, from the start; its failures
  // name their places through input's places.
  TableReader(const RunSettings& settings, SeriesInput& input, Series& series);

  // Reads up to the first line that is not a comment or blank: its
  // delimiter and its header or first sample. A column that the line does
  // not have is a wrong command line (kUsageProblem) whose problem lists
  // the columns there are. Nothing else is read from the unit before
  // read_rest.
  Failure start();
  // Reads the first sample's line and the rest of the file, or up to the
  // first line past the window.
  Failure read_rest();

  const TableFacts& facts() const { return facts_; }

 private:
  struct Column {
    int index = 0;  // 0-based
    const char* option = "";
  };

  // Reads up to the next line that holds data, counting every line read:
  // kRecordRead with the line, kEndOfStream, or the read's diagnostic number.
  int next_data_line(const char*& record, std::size_t& length);

  bool is_header(const FieldSpan* fields, int count) const;
  // The failures: each keeps its failure in failure_ and returns false (-1
  // for find_column), which ends the reading.
  bool choose_columns(const FieldSpan* names, int count, bool header);
  int find_column(const char* wanted, const char* option, const FieldSpan* names, int count,
                  bool header);
  void end_with_problem(const LineText& problem);
  bool fail_on_number(FieldRead read, const Column& column, FieldSpan field);
  bool fail_on_short_line(int count, const char* record, std::size_t length);
  bool fail_on_field(int status, const Column& column, FieldSpan field, const char* reason,
                     const char* fix);
  LineText& add_where(LineText& line) const;
  LineText& add_column_name(LineText& line, const Column& column) const;
  bool take_form(FieldSpan time_field);
  // One data line; false when it ends the reading.
  bool take_line(const char* record, std::size_t length);
  // A sample read from a line: the window, then the series.
  bool take_sample(double time, std::int64_t instant, double value, FieldSpan time_field,
                   const char* record, std::size_t length);
  // Whether the line has a time (false for a missing one, or a failure).
  bool read_time(FieldSpan field, const char* record, std::size_t length, double& time,
                 std::int64_t& instant);
  void accept(double time, std::int64_t instant, double value, FieldSpan time_field,
              const char* record, std::size_t length);

  const RunSettings& settings_;
  const TableSettings& table_;
  InputPlaces& places_;
  SeriesWatch& watch_;
  Series& series_;
  Failure failure_;
  TableFacts facts_;
  char delimiter_ = kBlankRuns;
  Column time_;
  Column value_;
  int needed_ = 2;  // fields split per line
  LineNumber line_number_ = 0;
  char header_names_[2][128] = {};  // the two columns' names, "" without a header
  // The time column's form, known from the first data line.
  bool form_known_ = false;
  bool stamps_ = false;
  StampForm form_ = StampForm::kDateTime;
  LineNumber form_line_ = 0;
  std::int64_t first_instant_ = 0;        // the first data line's
  std::int64_t origin_ = 0;               // the first accepted sample's
  std::int64_t previous_clock_ = 0;       // the last clock time, days passed included
  std::int64_t days_passed_ = 0;          // whole days added to clock times
  const char* pending_record_ = nullptr;  // the first data line, read by read_rest
  std::size_t pending_length_ = 0;
  FieldSpan fields_[kMaxColumns];
};

}  // namespace vorna
