// Every line the program writes, laid out in one place.
#pragma once

#include <cstddef>

#include "runtime/record_stream.h"
#include "runtime/write_statement.h"

namespace vorna {

// Each writer writes through the tally: nothing once it holds a failure.

// The 17-line start-up banner on the console.
void write_banner(WriteTally& tally);
// ' ', A, $: a prompt left open for the answer.
void write_prompt_record(WriteTally& tally, int unit, const char* text, std::size_t length);
// A, A: a message followed by a whole text field, e.g. " Cannot Open file :"
// and the 256-character name.
void write_message_line(WriteTally& tally, int unit, const char* message,
                        std::size_t message_length, const char* field, std::size_t field_length);
// A, I12 / A, F12.3 / A, 1P, E12.3: the console summary and the print
// file's header block.
void write_count_line(WriteTally& tally, int unit, const char* label, std::size_t label_length,
                      int value);
void write_fixed_line(WriteTally& tally, int unit, const char* label, std::size_t label_length,
                      double value);
void write_exponent_line(WriteTally& tally, int unit, const char* label, std::size_t label_length,
                         double value);
// F15.3, 1P, E15.5: a listing line, into a record stream on the listing
// unit.
void write_listing_line(RecordStream& lines, double time, double value);
// F12.3, 1P, 2E12.4: an extremum table line, into a record stream on the
// print file's unit.
void write_table_line(RecordStream& lines, double time, double value, double height);
// A, I4, 5(A, I2.2): the date stamp into an 80-character text.
void write_date_stamp(WriteTally& tally, char* target, std::size_t length, const int clock[6]);

}  // namespace vorna
