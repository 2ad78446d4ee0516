// Local extremum detection: the comparison table, plateaus, level steps,
// not-a-number suppression, bit-for-bit copies and the bounds of the scan.
#include "analysis/extrema.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/bits.h"

namespace {

using vorna::locate_extrema;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kBuffer = 64;

using vorna_test::bits;
using vorna_test::from_bits;

// A pattern no result can carry: a not-a-number with a marked payload.
const std::uint64_t kUntouchedBits = 0x7ff4deadbeef0001ULL;
constexpr int kUntouchedPosition = -777;

struct Extremum {
  int position;
  double value;
};

std::string describe(const std::vector<double>& y) {
  std::ostringstream out;
  out.precision(17);
  out << "series (" << y.size() << "):";
  for (double v : y) out << ' ' << v;
  return out.str();
}

// Runs locate_extrema on y, placed at the front of a buffer whose tail holds
// `tail` (read past n would see it), and checks the result against `expected`
// bit for bit. Also checks that nothing at or past index m is written.
void check(const std::vector<double>& y, const std::vector<Extremum>& expected,
           double tail = kNaN) {
  SCOPED_TRACE(describe(y));
  ASSERT_LE(y.size(), static_cast<std::size_t>(kBuffer));
  static double samples[kBuffer];
  static double values[kBuffer];
  static int positions[kBuffer];
  for (int i = 0; i < kBuffer; ++i) {
    samples[i] = tail;
    values[i] = from_bits(kUntouchedBits);
    positions[i] = kUntouchedPosition;
  }
  for (std::size_t i = 0; i < y.size(); ++i) samples[i] = y[i];

  const int m = locate_extrema(samples, static_cast<int>(y.size()), values, positions);

  ASSERT_EQ(m, static_cast<int>(expected.size()));
  for (int j = 0; j < m; ++j) {
    SCOPED_TRACE("extremum " + std::to_string(j + 1));
    EXPECT_EQ(positions[j], expected[j].position);
    EXPECT_EQ(bits(values[j]), bits(expected[j].value));
    // The value is the sample at the reported position, bit for bit.
    ASSERT_GE(positions[j], 2);
    ASSERT_LE(positions[j], static_cast<int>(y.size()) - 1);
    EXPECT_EQ(bits(values[j]), bits(y[positions[j] - 1]));
    if (j > 0) {
      EXPECT_LT(positions[j - 1], positions[j]);
    }
  }
  for (int j = m; j < kBuffer; ++j) {
    EXPECT_EQ(bits(values[j]), kUntouchedBits) << "value slot " << j << " written";
    EXPECT_EQ(positions[j], kUntouchedPosition) << "position slot " << j << " written";
  }
}

struct Case {
  const char* name;
  std::vector<double> y;
  std::vector<Extremum> expected;
};

TEST(LocateExtrema, Table) {
  const std::vector<Case> cases = {
      {"empty", {}, {}},
      {"one sample", {4.0}, {}},
      {"two samples", {4.0, 1.0}, {}},
      {"constant", {2.5, 2.5, 2.5, 2.5, 2.5, 2.5}, {}},
      {"strictly increasing", {-3.0, -1.0, 0.0, 0.5, 7.0, 1e300}, {}},
      {"strictly decreasing", {1e300, 7.0, 0.5, 0.0, -1.0, -3.0}, {}},
      {"three equal", {5.0, 5.0, 5.0}, {}},
      {"zigzag", {0.0, 1.0, 0.0, 1.0, 0.0}, {{2, 1.0}, {3, 0.0}, {4, 1.0}}},
      {"single peak", {1.0, 3.0, 1.0}, {{2, 3.0}}},
      {"single trough", {3.0, 1.0, 3.0}, {{2, 1.0}}},
      {"flat top", {1.0, 3.0, 3.0, 1.0}, {{3, 3.0}}},
      {"long flat top", {1.0, 3.0, 3.0, 3.0, 1.0}, {{4, 3.0}}},
      {"flat bottom", {3.0, 1.0, 1.0, 3.0}, {{3, 1.0}}},
      {"long flat bottom", {3.0, 1.0, 1.0, 1.0, 1.0, 3.0}, {{5, 1.0}}},
      {"level step rising", {1.0, 2.0, 2.0, 3.0}, {{3, 2.0}}},
      {"level step falling", {3.0, 2.0, 2.0, 1.0}, {{3, 2.0}}},
      // Two steps in one rise: two troughs in a row.
      {"two level steps rising", {1.0, 2.0, 2.0, 3.0, 3.0, 4.0}, {{3, 2.0}, {5, 3.0}}},
      // A level start or end is not an extremum on its own.
      {"level start then fall", {2.0, 2.0, 1.0}, {{2, 2.0}}},
      {"rise then level end", {1.0, 2.0, 2.0}, {}},
      {"fall then level end", {3.0, 2.0, 2.0}, {}},
      {"ends are never extrema", {9.0, 1.0, 2.0, -9.0}, {{2, 1.0}, {3, 2.0}}},
      {"infinite peak", {1.0, kInf, 1.0}, {{2, kInf}}},
      {"infinite trough", {1.0, -kInf, 1.0}, {{2, -kInf}}},
      {"infinite plateau", {kInf, kInf, 0.0}, {{2, kInf}}},
      {"extreme magnitudes", {-1e308, 1e308, -1e308}, {{2, 1e308}}},
      {"subnormal trough", {1e-310, 4.9e-324, 1e-310}, {{2, 4.9e-324}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    check(c.y, c.expected);
  }
}

TEST(LocateExtrema, ValuesAreBitForBitCopies) {
  // Zeros of either sign compare equal, so each is a plateau member; the
  // copy must keep the sign of the sample at the reported position.
  check({-1.0, 0.0, -0.0, -1.0}, {{3, -0.0}});
  check({-1.0, -0.0, 0.0, -1.0}, {{3, 0.0}});
  check({1.0, -0.0, 1.0}, {{2, -0.0}});
  check({1.0, 0.0, -0.0, 1.0}, {{3, -0.0}});
  check({0.0, -0.0, 1.0}, {{2, -0.0}});
  check({-0.0, 0.0, -1.0}, {{2, 0.0}});
  // A value with all mantissa bits in use.
  const double third = 1.0 / 3.0;
  check({0.0, third, 0.0}, {{2, third}});
}

TEST(LocateExtrema, ReadsOnlyTheFirstNSamples) {
  // The sample after the last would complete a turning point if it were read.
  check({1.0, 2.0}, {}, 1.0);
  check({0.0, 1.0, 0.0, 1.0}, {{2, 1.0}, {3, 0.0}}, 0.0);
  check({3.0, 3.0}, {}, 1.0);
}

TEST(LocateExtrema, NotANumberSuppressesItsNeighbours) {
  // Every interior sample of the zigzag is an extremum; a not-a-number at
  // position i removes exactly those at i - 1, i and i + 1.
  const std::vector<double> zigzag = {0.0, 1.0, 0.0, 1.0, 0.0, 1.0, 0.0, 1.0, 0.0};
  const int n = static_cast<int>(zigzag.size());
  const double nans[] = {kNaN, -kNaN, from_bits(0x7ff0000000000001ULL)};
  for (double nan : nans) {
    for (int i = 1; i <= n; ++i) {
      SCOPED_TRACE("not-a-number at position " + std::to_string(i));
      std::vector<double> y = zigzag;
      y[i - 1] = nan;
      std::vector<Extremum> expected;
      for (int p = 2; p <= n - 1; ++p) {
        if (p >= i - 1 && p <= i + 1) continue;
        expected.push_back({p, y[p - 1]});
      }
      check(y, expected);
    }
  }
  // On a plateau the neighbour on either side is suppressed too.
  check({1.0, 3.0, 3.0, kNaN, 3.0, 1.0}, {});
  check({1.0, 3.0, kNaN, 3.0, 3.0, 1.0}, {{5, 3.0}});
  check({kNaN, 2.0, 2.0, 1.0}, {{3, 2.0}});
  check({kNaN, kNaN, kNaN, kNaN}, {});
}

// ---------------------------------------------------------------------------
// Property: a second reading of the comparison table, written as a lookup on
// the order of (prev, cur) and of (cur, next).

enum Order { kLess = 0, kEqual = 1, kGreater = 2, kUnordered = 3 };

// Order of a relative to b.
Order order_of(double a, double b) {
  if (std::isunordered(a, b)) return kUnordered;
  if (std::isless(a, b)) return kLess;
  if (std::isgreater(a, b)) return kGreater;
  return kEqual;
}

// kTurn[order of cur against prev][order of next against cur]:
// 'P' peak, 'T' trough, '.' none.
constexpr char kTurn[4][4] = {
    //          next<cur next=cur next>cur unordered
    /* cur<prev */ {'.', '.', 'T', '.'},
    /* cur=prev */ {'P', '.', 'T', '.'},
    /* cur>prev */ {'P', '.', '.', '.'},
    /* unordered*/ {'.', '.', '.', '.'},
};

std::vector<Extremum> reference_extrema(const std::vector<double>& y) {
  std::vector<Extremum> out;
  for (std::size_t k = 1; k + 1 < y.size(); ++k) {
    const char turn = kTurn[order_of(y[k], y[k - 1])][order_of(y[k + 1], y[k])];
    if (turn != '.') out.push_back({static_cast<int>(k) + 1, y[k]});
  }
  return out;
}

TEST(LocateExtrema, AgreesWithTheComparisonTableOnRandomSeries) {
  // A small alphabet makes plateaus, level steps and equalities common.
  const double alphabet[] = {0.0, -0.0, 1.0, 1.0, 2.0, 2.0, -1.0, 3.5, kInf, -kInf, kNaN};
  constexpr unsigned kAlphabet = sizeof alphabet / sizeof alphabet[0];
  constexpr std::uint32_t kSeed = 20240611u;
  constexpr int kSeries = 5000;
  std::mt19937 rng(kSeed);
  for (int s = 0; s < kSeries; ++s) {
    const std::size_t n = rng() % 17;
    std::vector<double> y(n);
    // About one series in three uses only three letters: long plateaus.
    const unsigned letters = (rng() % 3 == 0) ? 3u : kAlphabet;
    for (double& v : y) v = alphabet[rng() % letters];
    if (rng() % 4 == 0 && n > 0) y[rng() % n] = kNaN;

    SCOPED_TRACE("seed " + std::to_string(kSeed) + ", series " + std::to_string(s));
    check(y, reference_extrema(y), alphabet[rng() % kAlphabet]);
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
