// The bit patterns of doubles, for tests that compare results bit for bit.
#pragma once

#include <cstdint>
#include <cstring>

namespace vorna_test {

inline std::uint64_t bits(double x) {
  std::uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

inline double from_bits(std::uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

}  // namespace vorna_test
