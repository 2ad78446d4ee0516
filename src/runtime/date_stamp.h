// The date and time text that heads the print file.
#pragma once

namespace vorna {

struct ClockReading {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The local calendar date and time of day, to the second.
ClockReading read_clock();

using ClockFunction = ClockReading (*)();

// Fills result[0..result_length) with " Date : " and the date and time at
// the level of detail (1 year ... 5 minutes; any other value down to the
// second), blank padded: " Date : 2007-03-02 09:05:03" at the fullest. A
// year below 1000 is taken as years since 1900.
void date_stamp(char* result, int result_length, int level, ClockFunction clock = read_clock);

}  // namespace vorna
