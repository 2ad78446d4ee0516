// Reversals with a band: turns only, level runs, the band's edge, the ends
// of the record; the maximum height without a table; the spread of the
// values and the band suggested from it.
#include "analysis/reversals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "analysis/extrema.h"
#include "analysis/heights.h"

namespace {

using vorna::locate_reversals;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using Turns = std::vector<std::pair<int, double>>;  // (1-based position, value)

Turns reversals(const std::vector<double>& y, double band) {
  std::vector<double> values(y.size() + 1);
  std::vector<int> positions(y.size() + 1);
  const int m =
      locate_reversals(y.data(), static_cast<int>(y.size()), band, values.data(), positions.data());
  Turns turns;
  for (int j = 0; j < m; ++j) turns.emplace_back(positions[j], values[j]);
  return turns;
}

struct Case {
  const char* name;
  std::vector<double> y;
  double band;
  Turns expected;
};

TEST(Reversals, HandCases) {
  const Case cases[] = {
      {"level steps on slopes are no turns",
       {0, 1, 2, 2, 3, 4, 4, 4, 3, 2, 2, 1, 0, 0, 1},
       0.0,
       {{8, 4}, {14, 0}}},
      {"a flat top stands on its last sample", {1, 3, 3, 1}, 0.0, {{3, 3}}},
      {"a flat bottom stands on its last sample", {3, 1, 1, 3}, 0.0, {{3, 1}}},
      {"a dip as deep as the band is kept", {0, 2, 1.5, 3, 0}, 0.5, {{2, 2}, {3, 1.5}, {4, 3}}},
      {"a dip shallower than the band is not", {0, 2, 1.5, 3, 0}, 0.75, {{4, 3}}},
      {"a swing below the band keeps nothing", {0, 1, 0, 1, 0}, 1.5, {}},
      {"neither the first nor the last sample", {1, 5, 1, 5}, 0.0, {{2, 5}, {3, 1}}},
      {"a first move down", {5, 1, 5}, 0.0, {{2, 1}}},
      {"a record that starts on a level run", {1, 1, 1, 3, 0}, 0.0, {{3, 1}, {4, 3}}},
      {"a first turn level with the first sample", {1, 2, 1, 3}, 1.5, {{3, 1}}},
      {"a first peak level with the first sample", {3, 2, 3, 1}, 1.5, {{3, 3}}},
      {"the first sample itself is no turn", {0.5, 1, 0.8, 3, 1}, 1.5, {{4, 3}}},
      {"two samples", {5, 1}, 0.0, {}},
      {"a constant series", {2, 2, 2, 2}, 0.0, {}},
      {"a monotone series", {1, 2, 3, 4}, 0.0, {}},
      {"not-a-number passed over", {0, 2, kNaN, 0}, 0.0, {{2, 2}}},
      {"a start below the band, then a swing", {1, 1.1, 0.9, 3, 0}, 1.0, {{3, 0.9}, {4, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(reversals(c.y, c.band), c.expected);
  }
}

// Without level steps on slopes and with band 0, the reversals are the
// default extrema: a turn at any place, also the end of a level run the
// record starts with.
TEST(Reversals, BandZeroIsTheDefaultTable) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<double> noise(2000);
  for (double& v : noise) v = uniform(random);
  const std::vector<double> records[] = {
      noise, {5, 5, 0, 5, 0}, {0, 0, 0, 2, 1, 2}, {1, 2, 1, 3, 3}, {4, 4, 4, 4, 9, 9, 1}};
  for (const std::vector<double>& y : records) {
    std::vector<double> values(y.size());
    std::vector<int> positions(y.size());
    const int m = vorna::locate_extrema(y.data(), static_cast<int>(y.size()), values.data(),
                                        positions.data());
    Turns expected;
    for (int j = 0; j < m; ++j) expected.emplace_back(positions[j], values[j]);
    EXPECT_EQ(reversals(y, 0.0), expected);
  }
}

// 5000 samples of a sine of peak-to-peak 2.0, stored with a resolution
// (quantised) or with gaussian noise of the given deviation.
std::vector<double> sine(double period, double resolution, double noise) {
  std::mt19937 random(11);
  std::normal_distribution<double> gauss(0.0, noise > 0 ? noise : 1.0);
  std::vector<double> y(5000);
  for (std::size_t k = 0; k < y.size(); ++k) {
    double v = std::sin(2.0 * M_PI * static_cast<double>(k) / period + 0.3);
    if (noise > 0) v += gauss(random);
    if (resolution > 0) v = std::round(v / resolution) * resolution;
    y[k] = v;
  }
  return y;
}

struct Analysis {
  int extrema;
  double max_height;
};

Analysis analyse(const std::vector<double>& y, double band) {
  const int n = static_cast<int>(y.size());
  std::vector<double> values(y.size()), heights(y.size());
  std::vector<int> positions(y.size());
  const int m = band < 0 ? vorna::locate_extrema(y.data(), n, values.data(), positions.data())
                         : locate_reversals(y.data(), n, band, values.data(), positions.data());
  const auto result =
      vorna::height_statistics(m, values.data(), positions.data(), 0.0, 0.01, heights.data());
  return {m, result.max_height};
}

// The scan without a table finds what the table and height_statistics find.
TEST(Reversals, MaxHeightWithoutATable) {
  const std::vector<double> y = sine(100.0, 0.0, 0.05);
  for (const double band : {0.0, 0.05, 0.2, 1.0, 3.0}) {
    SCOPED_TRACE(band);
    const Analysis table = analyse(y, band);
    int count = -1;
    EXPECT_EQ(vorna::reversal_max_height(y.data(), static_cast<int>(y.size()), band, &count),
              table.max_height);
    EXPECT_EQ(count, table.extrema);
  }
}

TEST(ValueSpread, ExtremesAtTheirFirstPlaceAndTheSteps) {
  const std::vector<double> y = {kNaN, 2, 5, 5, kNaN, -1, 2.5, -1, 5};
  const vorna::ValueSpread s = vorna::measure_spread(y.data(), static_cast<int>(y.size()));
  EXPECT_EQ(s.finite, 7);
  EXPECT_EQ(s.first_at, 1);
  EXPECT_EQ(s.last_at, 8);
  EXPECT_EQ(s.highest_at, 2);
  EXPECT_EQ(s.lowest_at, 5);
  EXPECT_EQ(s.highest, 5.0);
  EXPECT_EQ(s.lowest, -1.0);
  // Steps 3, 0, -6, 3.5, -3.5, 6 between the numbers.
  EXPECT_EQ(s.mean_bend, (3 + 6 + 9.5 + 7 + 9.5) / 5.0);
  EXPECT_EQ(s.smallest_step, 3.0);
  EXPECT_EQ(vorna::measure_spread(y.data(), 1).highest_at, -1);
}

// Infinities are extremes but no steps: the steps and bends are those of the
// finite values 1, 2, 3, 0 (steps 1, 1, -3; bends 0 and 4).
TEST(ValueSpread, InfinitiesAreExtremesWithoutSteps) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> y = {1, inf, 2, -inf, 3, kNaN, 0};
  const vorna::ValueSpread s = vorna::measure_spread(y.data(), static_cast<int>(y.size()));
  EXPECT_EQ(s.finite, 6);
  EXPECT_EQ(s.first_at, 0);
  EXPECT_EQ(s.last_at, 6);
  EXPECT_EQ(s.highest_at, 1);
  EXPECT_EQ(s.lowest_at, 3);
  EXPECT_EQ(s.mean_bend, 2.0);
  EXPECT_EQ(s.smallest_step, 1.0);
}

TEST(SuggestedBand, NineMeanBendsOrTwoResolutionsToTwoDigits) {
  struct BandCase {
    const char* name;
    double mean_bend, smallest_step, lowest, highest;
    int n;
    double band;
  } const cases[] = {
      {"nine mean bends, two digits", 0.00123, 1e-6, -1, 1, 100, 0.011},
      {"twice the resolution", 0.0004, 0.01, -1, 1, 100, 0.02},
      {"half the range is too wide", 0.112, 0.01, -1, 1, 100, 0.0},
      {"just under half the range", 0.11, 0.01, -1, 1, 100, 0.99},
      {"too short to judge", 0.001, 0.001, -1, 1, 19, 0.0},
      {"a level record", 0.0, 0.0, 1, 1, 100, 0.0},
  };
  for (const BandCase& c : cases) {
    SCOPED_TRACE(c.name);
    vorna::ValueSpread s;
    s.mean_bend = c.mean_bend;
    s.smallest_step = c.smallest_step;
    s.lowest = c.lowest;
    s.highest = c.highest;
    EXPECT_EQ(vorna::suggested_band(s, c.n), c.band);
  }
}

}  // namespace
