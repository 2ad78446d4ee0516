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
  WriteStatement(tally, unit).text(label, label_length).integer(value, 12).finish();
}

void write_fixed_line(WriteTally& tally, int unit, const char* label, std::size_t label_length,
                      double value) {
  WriteStatement(tally, unit).text(label, label_length).fixed(value, 12, 3).finish();
}

void write_exponent_line(WriteTally& tally, int unit, const char* label, std::size_t label_length,
                         double value) {
  WriteStatement(tally, unit).text(label, label_length).exponent(value, 12, 3).finish();
}

namespace {

// A line of fields laid out side by side from at, with its CR LF.
constexpr std::size_t kLineEnd = 2;
constexpr std::size_t kListingLine =
    static_cast<std::size_t>(kListingTime.width + kListingValue.width) + kLineEnd;
constexpr std::size_t kTableLine =
    static_cast<std::size_t>(kTableTime.width + 2 * kTableValue.width) + kLineEnd;

void end_line(char* at) {
  at[0] = '\r';
  at[1] = '\n';
}

}  // namespace

void write_listing_line(RecordStream& lines, double time, double value) {
  char* const at = lines.begin(kListingLine);
  bool overflow = format_fixed(time, kListingTime.width, kListingTime.digits, at);
  overflow |=
      format_exponent(value, kListingValue.width, kListingValue.digits, at + kListingTime.width);
  end_line(at + kListingTime.width + kListingValue.width);
  lines.end(kListingLine, overflow);
}

void write_table_line(RecordStream& lines, double time, double value, double height) {
  char* const at = lines.begin(kTableLine);
  char* field = at;
  bool overflow = format_fixed(time, kTableTime.width, kTableTime.digits, field);
  field += kTableTime.width;
  overflow |= format_exponent(value, kTableValue.width, kTableValue.digits, field);
  field += kTableValue.width;
  overflow |= format_exponent(height, kTableValue.width, kTableValue.digits, field);
  end_line(field + kTableValue.width);
  lines.end(kTableLine, overflow);
}

void write_date_stamp(WriteTally& tally, char* target, std::size_t length, const int clock[6]) {
  static const char kSeparators[] = "-- ::";
  WriteStatement stamp(tally, kInternalUnit);
  stamp.text(" Date : ").integer(clock[0], 4);
  for (int i = 0; i < 5; ++i) stamp.text(kSeparators + i, 1).integer(clock[i + 1], 2, 2);
  stamp.finish_into(target, length);
}

}  // namespace vorna
