// A value given as a text of its own (a command-line option of either
// program), read as the answer to a window question is.
#pragma once

namespace vorna {

// Cut to the answer field; a blank first character (an empty text too)
// takes default_value, a text that gives no value leaves 0. False when the
// text is not a number.
bool read_answer_text(const char* text, double default_value, double& value);

}  // namespace vorna
