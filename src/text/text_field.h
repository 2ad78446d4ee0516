// Fixed-length, blank-padded texts: the two lengths the program uses.
#pragma once

namespace vorna {

// File names, the line field every record is read into, the header line.
constexpr int kTextLength = 256;
// The prompt work field and the date stamp.
constexpr int kWorkFieldLength = 80;

}  // namespace vorna
