#pragma once

#include "runtime/write_statement.h"

namespace vorna {

// Writes one blank and the first min(length, 80) characters of text on the
// unit, without a line end, so the answer is typed on the same line.
void write_prompt(WriteTally& tally, int unit, const char* text, int length);

}  // namespace vorna
