#pragma once

namespace vorna {

// The 1-based position of the last character of text[0..length) that is not
// a blank, 0 when there is none (also for length <= 0). Only the space
// counts as blank: a trailing tab is part of the text.
int trimmed_length(const char* text, int length);

}  // namespace vorna
