// Heights between successive extrema, the maximum height with its time, and
// the rule that rebuilds the time of a sample position.
#include "analysis/heights.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "support/bits.h"

namespace {

using vorna::height_statistics;
using vorna::HeightResult;
using vorna::sample_time;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kSlots = 16;

using vorna_test::bits;
using vorna_test::from_bits;

const std::uint64_t kUntouchedBits = 0x7ff4deadbeef0002ULL;

// The time rule computed one rounded step at a time.
double stepwise_time(double k, double t0, double dt) {
  volatile double scaled = k * dt;
  volatile double shifted = scaled + t0;
  volatile double time = shifted - dt;
  return time;
}

// The same time by the other, mathematically equal, order.
double offset_time(double k, double t0, double dt) {
  volatile double steps = k - 1.0;
  volatile double offset = steps * dt;
  volatile double time = t0 + offset;
  return time;
}

struct Outcome {
  HeightResult result;
  std::vector<double> heights;  // the first m slots (at least one)
};

// Runs height_statistics with a heights array prefilled with a marker, and
// checks that no slot past max(m, 1) is written.
Outcome analyse(const std::vector<double>& values, const std::vector<int>& positions, double t0,
                double dt) {
  static double heights[kSlots];
  for (double& h : heights) h = from_bits(kUntouchedBits);
  const int m = static_cast<int>(values.size());
  Outcome out;
  out.result = height_statistics(m, values.data(), positions.data(), t0, dt, heights);
  const int written = m > 0 ? m : 1;
  out.heights.assign(heights, heights + written);
  for (int j = written; j < kSlots; ++j)
    EXPECT_EQ(bits(heights[j]), kUntouchedBits) << "height slot " << j << " written";
  return out;
}

TEST(HeightStatistics, NoExtremaStillSetsTheFirstHeight) {
  const double unused_value = 5.0;
  const int unused_position = 7;
  static double heights[kSlots];
  for (double& h : heights) h = from_bits(kUntouchedBits);
  const HeightResult r = height_statistics(0, &unused_value, &unused_position, 10.0, 0.5, heights);
  EXPECT_EQ(bits(heights[0]), bits(0.0));
  EXPECT_EQ(bits(heights[1]), kUntouchedBits);
  EXPECT_EQ(bits(r.max_height), bits(0.0));
  EXPECT_EQ(bits(r.time_of_max_height), bits(0.0));
}

TEST(HeightStatistics, OneExtremumHasNoHeight) {
  const Outcome r = analyse({5.0}, {7}, 10.0, 0.5);
  EXPECT_EQ(bits(r.heights[0]), bits(0.0));
  EXPECT_EQ(bits(r.result.max_height), bits(0.0));
  EXPECT_EQ(bits(r.result.time_of_max_height), bits(0.0));
}

TEST(HeightStatistics, SignedHeightsAndTheLargest) {
  const Outcome r = analyse({0.0, 2.0, -1.0}, {2, 5, 9}, 10.0, 0.5);
  ASSERT_EQ(r.heights.size(), 3u);
  EXPECT_EQ(bits(r.heights[0]), bits(0.0));
  EXPECT_EQ(bits(r.heights[1]), bits(2.0));
  EXPECT_EQ(bits(r.heights[2]), bits(-3.0));
  EXPECT_EQ(bits(r.result.max_height), bits(3.0));
  // The time of the later extremum of the pair, position 9.
  EXPECT_EQ(bits(r.result.time_of_max_height), bits(14.0));
}

TEST(HeightStatistics, HeightsAreRoundedDifferences) {
  const Outcome r = analyse({0.1, 0.3, -0.7}, {2, 3, 4}, 0.0, 1.0);
  volatile double a = 0.1, b = 0.3, c = -0.7;
  volatile double up = b - a, down = c - b;
  EXPECT_EQ(bits(r.heights[1]), bits(up));
  EXPECT_EQ(bits(r.heights[2]), bits(down));
  EXPECT_EQ(bits(r.heights[1]), 0x3fc9999999999999ULL);  // 0.19999999999999998
  EXPECT_EQ(bits(r.result.max_height), bits(-down));
}

TEST(HeightStatistics, EqualLaterHeightKeepsTheFirstTime) {
  const double t0 = 10.0, dt = 0.5;
  const Outcome r = analyse({0.0, 2.0, 0.0}, {2, 3, 4}, t0, dt);
  EXPECT_EQ(bits(r.heights[1]), bits(2.0));
  EXPECT_EQ(bits(r.heights[2]), bits(-2.0));
  EXPECT_EQ(bits(r.result.max_height), bits(2.0));
  EXPECT_EQ(bits(r.result.time_of_max_height), bits(sample_time(3, t0, dt)));
  EXPECT_EQ(bits(r.result.time_of_max_height), bits(11.0));
}

TEST(HeightStatistics, LaterLargerHeightReplacesTheMaximum) {
  const Outcome r = analyse({0.0, 1.0, -1.0, 3.0, 2.0}, {2, 4, 6, 8, 10}, 0.0, 1.0);
  EXPECT_EQ(bits(r.result.max_height), bits(4.0));
  EXPECT_EQ(bits(r.result.time_of_max_height), bits(7.0));
}

TEST(HeightStatistics, NotANumberNeverReplacesTheMaximum) {
  {
    // A not-a-number before any height: the maximum stays 0 at time 0.
    const Outcome r = analyse({kNaN, 1.0}, {2, 3}, 10.0, 0.5);
    EXPECT_EQ(bits(r.result.max_height), bits(0.0));
    EXPECT_EQ(bits(r.result.time_of_max_height), bits(0.0));
  }
  {
    // After a real height: the earlier maximum and its time stay.
    const Outcome r = analyse({0.0, 1.0, kNaN, 0.5}, {2, 3, 4, 5}, 0.0, 1.0);
    EXPECT_EQ(bits(r.heights[1]), bits(1.0));
    EXPECT_TRUE(std::isnan(r.heights[2]));
    EXPECT_TRUE(std::isnan(r.heights[3]));
    EXPECT_EQ(bits(r.result.max_height), bits(1.0));
    EXPECT_EQ(bits(r.result.time_of_max_height), bits(2.0));
  }
  {
    // Between two infinities of one sign the height is a not-a-number too.
    const Outcome r = analyse({1.0, kInf, kInf, 1.5}, {2, 3, 4, 5}, 0.0, 1.0);
    EXPECT_EQ(bits(r.result.max_height), bits(kInf));
    EXPECT_EQ(bits(r.result.time_of_max_height), bits(2.0));
    EXPECT_TRUE(std::isnan(r.heights[2]));
  }
  {
    // The maximum is found after the not-a-numbers as well.
    const Outcome r = analyse({kNaN, 0.0, 3.0}, {2, 3, 6}, 0.0, 1.0);
    EXPECT_EQ(bits(r.result.max_height), bits(3.0));
    EXPECT_EQ(bits(r.result.time_of_max_height), bits(5.0));
  }
}

TEST(HeightStatistics, ZeroHeightNeverReplacesTheMaximum) {
  // -0 - 0 is -0: its magnitude is not greater than the starting 0.
  const Outcome r = analyse({0.0, -0.0, -0.0}, {2, 3, 4}, 10.0, 0.5);
  EXPECT_EQ(bits(r.heights[1]), bits(-0.0));
  EXPECT_EQ(bits(r.result.max_height), bits(0.0));
  EXPECT_EQ(bits(r.result.time_of_max_height), bits(0.0));
}

TEST(HeightStatistics, NoIncrementGivesTheFirstTime) {
  const Outcome r = analyse({0.0, 1.0, -4.0}, {2, 5, 900000}, 7.25, 0.0);
  EXPECT_EQ(bits(r.result.max_height), bits(5.0));
  EXPECT_EQ(bits(r.result.time_of_max_height), bits(7.25));
  EXPECT_EQ(bits(sample_time(999999, 7.25, 0.0)), bits(7.25));
}

TEST(HeightStatistics, TimeUsesTheRuleOnTheLaterPosition) {
  // T0 = 0.3, DT = 0.1: the time of position 3 by the rule is one unit in the
  // last place above 0.5.
  const Outcome r = analyse({0.0, 1.0}, {2, 3}, 0.3, 0.1);
  EXPECT_EQ(bits(r.result.time_of_max_height), 0x3fe0000000000001ULL);
}

// ---------------------------------------------------------------------------
// The time rule: multiply, add the first time, subtract the increment. Each
// case was found by an offline search over small T0, DT and k so that
// T0 + (k - 1) * DT rounds to a different double.

struct TimeCase {
  double k;
  double t0;
  double dt;
  std::uint64_t expected_bits;     // (k * DT + T0) - DT
  std::uint64_t other_order_bits;  // T0 + (k - 1) * DT
};

TEST(SampleTime, EvaluationOrderFixesTheLastBits) {
  const TimeCase cases[] = {
      {3, 0.3, 0.1, 0x3fe0000000000001ULL, 0x3fe0000000000000ULL},    // 0.5 + 1 ulp
      {41, 10.0, 0.1, 0x402c000000000001ULL, 0x402c000000000000ULL},  // 14 + 1 ulp
      {14, 1.0, 0.01, 0x3ff2147ae147ae15ULL, 0x3ff2147ae147ae14ULL},  // 1.13
      {2, 0.3, 0.2, 0x3fdfffffffffffffULL, 0x3fe0000000000000ULL},    // 0.5 - 1 ulp
      {31, 10.0, 0.3, 0x4032ffffffffffffULL, 0x4033000000000000ULL},  // 19 - 1 ulp
      // Even the first position need not give back T0 exactly.
      {1, 0.1, 0.3, 0x3fb999999999999cULL, 0x3fb999999999999aULL},
  };
  for (const TimeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "k=" << c.k << " T0=" << c.t0 << " DT=" << c.dt);
    // The case is meaningful: the two orders really differ.
    ASSERT_EQ(bits(offset_time(c.k, c.t0, c.dt)), c.other_order_bits);
    ASSERT_NE(c.expected_bits, c.other_order_bits);
    ASSERT_EQ(bits(stepwise_time(c.k, c.t0, c.dt)), c.expected_bits);
    EXPECT_EQ(bits(sample_time(c.k, c.t0, c.dt)), c.expected_bits);
  }
}

TEST(SampleTime, ExactOnTheEvenGrid) {
  EXPECT_EQ(bits(sample_time(1, 10.0, 0.5)), bits(10.0));
  EXPECT_EQ(bits(sample_time(9, 10.0, 0.5)), bits(14.0));
  EXPECT_EQ(bits(sample_time(1000000, -2.0, 0.25)), bits(249997.75));
  // A real counter, as the listing uses.
  EXPECT_EQ(bits(sample_time(2.5, 10.0, 0.5)), bits(10.75));
}

}  // namespace
