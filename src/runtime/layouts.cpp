#include "runtime/layouts.h"

#include "runtime/unit_table.h"
#include "runtime/write_statement.h"
#include "text/run_files.h"

namespace vorna {

void write_banner(WriteTally& tally) {
  // Every line after the first is one blank and a 58-character text.
  static const char kBannerTexts[][59] = {
      "                                                          ",
      "                                                          ",
      "                                                          ",
      "          ================================================",
      "          -                                              -",
      "          -          ==== V  O   R  N  A  ====           -",
      "          -                                              -",
      "          -          Computes Max/Min of one             -",
      "          -          General Time Series.                -",
      "          -                                              -",
      "          -            Version 1.0/2005-12-17            -",
      "          -          Report problems: see the README     -",
      "          ================================================",
      "                                                          ",
      "                                                          ",
      "                                                          ",
  };
  WriteStatement banner(tally, kConsoleOutput);
  banner.skip(6).text("                                                ");
  for (const char* text : kBannerTexts) banner.end_record().skip(1).text(text, 58);
  banner.finish();
}

void write_prompt_record(WriteTally& tally, int unit, const char* text, std::size_t length) {
  WriteStatement(tally, unit).text(" ").text(text, length).finish_continued();
}

void write_message_line(WriteTally& tally, int unit, const char* message,
                        std::size_t message_length, const char* field, std::size_t field_length) {
  WriteStatement(tally, unit).text(message, message_length).text(field, field_length).finish();
}

void write_count_line(WriteTally& tally, int unit, const char* label, std::size_t label_length,
                      int value) {
  WriteStatement(tally, unit).text(label, label_length).integer(value, kHeaderCount).finish();
}

void write_fixed_line(WriteTally& tally, int unit, const char* label, std::size_t label_length,
                      double value) {
  WriteStatement(tally, unit).text(label, label_length).fixed(value, kHeaderFixed).finish();
}

void write_exponent_line(WriteTally& tally, int unit, const char* label, std::size_t label_length,
                         double value) {
  WriteStatement(tally, unit).text(label, label_length).exponent(value, kHeaderExponent).finish();
}

namespace {

// A line of fields laid out side by side, with its CR LF after them.
constexpr std::size_t kLineEnd = 2;

bool put_fixed(double value, FieldLayout field, char* line) {
  return format_fixed(value, field.width, field.digits, line + field.offset);
}

bool put_exponent(double value, FieldLayout field, char* line) {
  return format_exponent(value, field.width, field.digits, line + field.offset);
}

void end_line(char* line, std::size_t length) {
  line[length] = '\r';
  line[length + 1] = '\n';
}

}  // namespace

void write_listing_line(RecordStream& lines, double time, double value) {
  char* const line = lines.begin(kListingLineLength + kLineEnd);
  bool overflow = put_fixed(time, kListingTime, line);
  overflow |= put_exponent(value, kListingValue, line);
  end_line(line, kListingLineLength);
  lines.end(kListingLineLength + kLineEnd, overflow);
}

void write_table_line(RecordStream& lines, double time, double value, double height) {
  char* const line = lines.begin(kTableLineLength + kLineEnd);
  bool overflow = put_fixed(time, kTableTime, line);
  overflow |= put_exponent(value, kTableValue, line);
  overflow |= put_exponent(height, kTableHeight, line);
  end_line(line, kTableLineLength);
  lines.end(kTableLineLength + kLineEnd, overflow);
}

void write_date_stamp(WriteTally& tally, char* target, std::size_t length, const int clock[6]) {
  static const char kSeparators[] = "-- ::";
  WriteStatement stamp(tally, kInternalUnit);
  stamp.text(" Date : ").integer(clock[0], 4);
  for (int i = 0; i < 5; ++i) stamp.text(kSeparators + i, 1).integer(clock[i + 1], 2, 2);
  stamp.finish_into(target, length);
}

}  // namespace vorna
