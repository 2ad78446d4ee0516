// Tick choice: round steps of 1, 2 or 5 x 10^k over a range, and their
// labels.
#include "plot/ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace vorna::plot {
namespace {

std::string label_of(double value, const Ticks& ticks) {
  char label[kMaxLabel];
  return std::string(label, tick_label(value, ticks, label));
}

std::vector<std::string> labels_of(const Ticks& ticks) {
  std::vector<std::string> labels;
  for (int i = 0; i < ticks.count; ++i) labels.push_back(label_of(ticks.values[i], ticks));
  return labels;
}

struct TickCase {
  double low, high;
  int max_count;
  double min_step;
  double step;
  std::vector<std::string> labels;
};

TEST(Ticks, ChoosesRoundStepsAndLabels) {
  const TickCase cases[] = {
      // The example series: 0 to 29.9 over about 12 ticks.
      {0.0, 29.9, 12, 0.0, 5.0, {"0", "5", "10", "15", "20", "25"}},
      {0.0, 29.9, 4, 0.0, 10.0, {"0", "10", "20"}},
      {0.0,
       1.0,
       10,
       0.0,
       0.1,
       {"0.0", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1.0"}},
      {-2.97, 2.82, 8, 0.0, 1.0, {"-2", "-1", "0", "1", "2"}},
      {-2.97, 2.82, 3, 0.0, 2.0, {"-2", "0", "2"}},
      {0.0012, 0.0061, 4, 0.0, 0.002, {"0.002", "0.004", "0.006"}},
      {1.5, 1.50045, 3, 0.0, 0.0002, {"1.5000", "1.5002", "1.5004"}},
      {1e8, 3e8, 4, 0.0, 5e7, {"100000000", "150000000", "200000000", "250000000", "300000000"}},
      {1e9, 3e9, 2, 0.0, 1e9, {"1.0E+09", "2.0E+09", "3.0E+09"}},
      {2e-7, 9e-7, 3, 0.0, 2e-7, {"2.0E-07", "4.0E-07", "6.0E-07", "8.0E-07"}},
      // Between two multiples of 5: the next smaller step shows two ticks.
      {0.51, 0.99, 2, 0.0, 0.2, {"0.6", "0.8"}},
      {2e-6, 9e-6, 4, 0.0, 2e-6, {"0.000002", "0.000004", "0.000006", "0.000008"}},
      {-4.5e12, 4.5e12, 3, 0.0, 2e12, {"-4.0E+12", "-2.0E+12", "0", "2.0E+12", "4.0E+12"}},
      // Sample numbers are whole.
      {1.0, 5.0, 10, 1.0, 1.0, {"1", "2", "3", "4", "5"}},
      {1.0,
       1000000.0,
       10,
       1.0,
       100000.0,
       {"100000", "200000", "300000", "400000", "500000", "600000", "700000", "800000", "900000",
        "1000000"}},
  };
  for (const TickCase& c : cases) {
    const Ticks ticks = choose_ticks(c.low, c.high, c.max_count, c.min_step);
    EXPECT_DOUBLE_EQ(ticks.step, c.step) << c.low << " to " << c.high;
    EXPECT_EQ(labels_of(ticks), c.labels) << c.low << " to " << c.high;
  }
}

TEST(Ticks, NoTicksWithoutARange) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const auto& [low, high] : std::vector<std::pair<double, double>>{{5.0, 5.0},
                                                                        {2.0, 1.0},
                                                                        {nan, 1.0},
                                                                        {0.0, nan},
                                                                        {-inf, 1.0},
                                                                        {0.0, inf},
                                                                        {0.0, 4.9e-324}}) {
    EXPECT_EQ(choose_ticks(low, high, 10).count, 0) << low << " to " << high;
  }
}

// Values near the largest doubles: the span overflows, its halves do not.
TEST(Ticks, LabelARangeAcrossNearlyAllDoubles) {
  const Ticks across = choose_ticks(-1.7e308, 1.7e308, 10);
  EXPECT_EQ(labels_of(across), (std::vector<std::string>{"-1.5E+308", "-1.0E+308", "-5.0E+307", "0",
                                                         "5.0E+307", "1.0E+308", "1.5E+308"}));
  // Two ticks asked for: 2E+308 overflows, so 1E+308 serves.
  const Ticks two = choose_ticks(-1.7e308, 1.7e308, 2);
  EXPECT_EQ(two.step, 1e308);
  EXPECT_EQ(two.count, 3);
  const Ticks top = choose_ticks(1.6e308, 1.7976931348623157e308, 5);
  EXPECT_GE(top.count, 2);
  for (int i = 0; i < top.count; ++i) EXPECT_TRUE(std::isfinite(top.values[i]));
}

TEST(Ticks, EndsOnInexactMultiplesAndAPositiveZero) {
  // -0.3 / 0.1 is -2.9999999999999996 in doubles: -0.3 is still a tick.
  const Ticks ticks = choose_ticks(-0.3, 0.3, 6);
  EXPECT_EQ(labels_of(ticks),
            (std::vector<std::string>{"-0.3", "-0.2", "-0.1", "0.0", "0.1", "0.2", "0.3"}));
  ASSERT_EQ(ticks.count, 7);
  EXPECT_EQ(ticks.values[3], 0.0);
  EXPECT_FALSE(std::signbit(ticks.values[3]));
  // ceil(-0.9) is -0: the tick stays +0.
  const Ticks wide = choose_ticks(-4.5, 4.5, 2);
  ASSERT_EQ(wide.count, 5);
  EXPECT_FALSE(std::signbit(wide.values[2]));
}

// The number of multiples of step in [low, high].
double multiples_inside(double low, double high, double step) {
  return std::floor(high / step) - std::ceil(low / step) + 1;
}

// Over random ranges: the step is 1, 2 or 5 x 10^k; either it is the
// smallest such step that keeps to max_count steps across the range, or a
// smaller one because that one left fewer than two ticks; the ticks are its
// multiples, all inside, none missed at either end.
TEST(Ticks, SeededRangesGiveRoundStepsInside) {
  const unsigned seed = 17;
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-20, 20);
  std::uniform_int_distribution<int> count(2, 30);
  for (int i = 0; i < 20000; ++i) {
    const double scale = std::pow(10.0, exponent(random));
    double low = unit(random) * scale, high = unit(random) * scale;
    if (low > high) std::swap(low, high);
    if (!(low < high)) continue;
    const int max_count = count(random);
    const Ticks ticks = choose_ticks(low, high, max_count);
    const double mantissa = ticks.step / std::pow(10.0, ticks.power);
    ASSERT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                std::fabs(mantissa - 5) < 1e-9)
        << "seed " << seed << ": step " << ticks.step;
    const double span = high - low;
    const double next = std::fabs(mantissa - 2) < 1e-9 ? 2.5 * ticks.step : 2.0 * ticks.step;
    if (ticks.step * max_count >= span * (1 - 1e-12)) {
      ASSERT_LE(ticks.step * max_count, span * 2.5 * (1 + 1e-12)) << "seed " << seed;
      ASSERT_LE(ticks.count, max_count + 1);
    } else {
      ASSERT_LT(multiples_inside(low, high, next), 2.0) << "seed " << seed;
    }
    ASSERT_GE(ticks.count, 2) << "seed " << seed << ": " << low << " to " << high;
    const double slack = ticks.step * 1e-8;
    for (int t = 0; t < ticks.count; ++t) {
      ASSERT_GE(ticks.values[t], low - slack) << "seed " << seed;
      ASSERT_LE(ticks.values[t], high + slack) << "seed " << seed;
    }
    ASSERT_LT(ticks.values[0] - ticks.step, low) << "seed " << seed;
    ASSERT_GT(ticks.values[ticks.count - 1] + ticks.step, high) << "seed " << seed;
  }
}

}  // namespace
}  // namespace vorna::plot
