#include "runtime/layouts.h"

#include "runtime/units.h"
#include "runtime/write_statement.h"
#include "text/run_files.h"

namespace vorna {

void write_banner() {
  // Every line after the first is one blank and a 58-character text.
  static const char* const kBannerTexts[] = {
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
  WriteStatement banner(kConsoleOutput);
  banner.skip(6).text("                                                ");
  for (const char* text : kBannerTexts) banner.end_record().skip(1).text(text, 58);
  banner.finish();
}

void write_prompt_record(int unit, const char* text, std::size_t length) {
  WriteStatement(unit).text(" ").text(text, length).finish_continued();
}

void write_message_line(int unit, const char* message, std::size_t message_length,
                        const char* field, std::size_t field_length) {
  WriteStatement(unit).text(message, message_length).text(field, field_length).finish();
}

bool write_count_line(int unit, const char* label, std::size_t label_length, int value) {
  return WriteStatement(unit).text(label, label_length).integer(value, 12).finish();
}

bool write_fixed_line(int unit, const char* label, std::size_t label_length, double value) {
  return WriteStatement(unit).text(label, label_length).fixed(value, 12, 3).finish();
}

bool write_exponent_line(int unit, const char* label, std::size_t label_length, double value) {
  return WriteStatement(unit).text(label, label_length).exponent(value, 12, 3).finish();
}

bool write_listing_line(double time, double value) {
  return WriteStatement(kListingUnit)
      .fixed(time, kListingTime.width, kListingTime.digits)
      .exponent(value, kListingValue.width, kListingValue.digits)
      .finish();
}

bool write_table_line(double time, double value, double height) {
  return WriteStatement(kPrintUnit)
      .fixed(time, kTableTime.width, kTableTime.digits)
      .exponent(value, kTableValue.width, kTableValue.digits)
      .exponent(height, kTableValue.width, kTableValue.digits)
      .finish();
}

void write_date_stamp(char* target, std::size_t length, int fields, const int clock[6]) {
  static const char* const kSeparators[] = {"-", "-", " ", ":", ":"};
  WriteStatement stamp(kInternalUnit);
  stamp.text(" Date : ").integer(clock[0], 4);
  for (int i = 0; i < fields; ++i) stamp.text(kSeparators[i], 1).integer(clock[i + 1], 2, 2);
  stamp.finish_into(target, length);
}

}  // namespace vorna
