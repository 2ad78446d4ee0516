// UTF-8 as the program's texts may hold it: names, titles, labels.
#pragma once

#include <cstddef>

namespace vorna {

// The length of the valid UTF-8 character at bytes (1 to 4), or 0 when the
// bytes before end do not form one: a stray continuation byte, a cut
// sequence, an overlong form, a surrogate or a value past U+10FFFF.
std::size_t utf8_length(const unsigned char* bytes, const unsigned char* end);

}  // namespace vorna
