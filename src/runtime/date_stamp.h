// The date and time text that heads the print file.
#pragma once

#include "runtime/failure.h"

namespace vorna {

struct ClockReading {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The local calendar date and time of day, to the second.
ClockReading read_clock();

using ClockFunction = ClockReading (*)();

// Fills result[0..result_length) with " Date : " and the date and time to
// the second, blank padded: " Date : 2007-03-02 09:05:03". A year below
// 1000 is taken as years since 1900.
Failure date_stamp(char* result, int result_length, ClockFunction clock = read_clock);

}  // namespace vorna
