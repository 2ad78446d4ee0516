// A number given as a text of its own (an option's value on either
// program's command line): the whole text is one number in the form the
// series reader accepts, and nothing else.
#pragma once

namespace vorna {

// The value of text when the whole of it is one number ("2.5", "-1E3",
// "1.0D1"); -0 gives 0. False, value untouched, for anything else: an empty
// text, blanks, a second value ("1,2", "2 days"), a stray character, a
// magnitude beyond the largest real.
bool read_strict_number(const char* text, double& value);

// A hysteresis band, the height that a reversal must reach (--hysteresis of
// either program): one number as above, 0 or more. False, band untouched,
// for anything else.
bool read_band(const char* text, double& band);

}  // namespace vorna
