// Every line the program writes, laid out in one place.
#pragma once

#include <cstddef>

namespace vorna {

// The 17-line start-up banner on the console.
void write_banner();
// ' ', A, $: a prompt left open for the answer.
void write_prompt_record(int unit, const char* text, std::size_t length);
// A, A: a message followed by a whole text field, e.g. " Cannot Open file :"
// and the 256-character name.
void write_message_line(int unit, const char* message, std::size_t message_length,
                        const char* field, std::size_t field_length);
// The lines with numbers return whether a field overflowed (a row of
// asterisks and the output conversion diagnostic).
// A, I12 / A, F12.3 / A, 1P, E12.3: the console summary and the print
// file's header block.
bool write_count_line(int unit, const char* label, std::size_t label_length, int value);
bool write_fixed_line(int unit, const char* label, std::size_t label_length, double value);
bool write_exponent_line(int unit, const char* label, std::size_t label_length, double value);
// F15.3, 1P, E15.5: one listing line.
bool write_listing_line(double time, double value);
// F12.3, 1P, 2E12.4: one extremum table line.
bool write_table_line(double time, double value, double height);
// A, I4, A, I2.2, ...: the date stamp into an 80-character text. fields is
// how many clock values follow the year (0 to 5).
void write_date_stamp(char* target, std::size_t length, int fields, const int clock[6]);

}  // namespace vorna
