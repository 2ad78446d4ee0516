// Reversals with a band: turns only, level runs, the band's edge, the ends
// of the record, and the noise assessment on records with a known answer.
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

using vorna::assess_noise;
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
      {"a record that starts on a level run", {1, 1, 1, 3, 0}, 0.0, {{4, 3}}},
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

// Without level runs and with band 0, the reversals are the default extrema.
TEST(Reversals, BandZeroIsTheDefaultTableOnDistinctSteps) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<double> y(2000);
  for (double& v : y) v = uniform(random);
  std::vector<double> values(y.size());
  std::vector<int> positions(y.size());
  const int m =
      vorna::locate_extrema(y.data(), static_cast<int>(y.size()), values.data(), positions.data());
  Turns expected;
  for (int j = 0; j < m; ++j) expected.emplace_back(positions[j], values[j]);
  EXPECT_EQ(reversals(y, 0.0), expected);
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

TEST(NoiseAssessment, FiresOnWigglesAndTheBandRecoversTheSwing) {
  struct Record {
    const char* name;
    std::vector<double> y;
    bool noise_decides;
    double swing_tolerance;  // the noise's own excursions widen the swing
    int turns;               // two a period
  };
  const Record records[] = {
      {"clean sine", sine(20.0, 0.0, 0.0), false, 0.0, 0},
      {"slow quantised sine", sine(1000.0, 0.01, 0.0), true, 0.02, 10},
      {"noisy sine", sine(100.0, 0.0, 0.05), true, 0.3, 100},
  };
  for (const Record& r : records) {
    SCOPED_TRACE(r.name);
    const Analysis plain = analyse(r.y, -1.0);
    const auto verdict =
        assess_noise(r.y.data(), static_cast<int>(r.y.size()), plain.extrema, plain.max_height);
    EXPECT_EQ(verdict.noise_decides, r.noise_decides);
    if (!r.noise_decides) continue;
    const Analysis filtered = analyse(r.y, verdict.suggested_band);
    EXPECT_NEAR(filtered.max_height, 2.0, r.swing_tolerance);
    EXPECT_EQ(filtered.extrema, r.turns);
  }
}

// A wave of a few samples a period turns as often as noise, but its steps
// are as large as its swings: no band could help, so no warning.
TEST(NoiseAssessment, CoarselySampledWavesAreNotNoise) {
  for (const double samples_a_period : {3.0, 5.0, 7.0}) {
    SCOPED_TRACE(samples_a_period);
    const std::vector<double> y = sine(samples_a_period, 0.0, 0.0);
    const Analysis plain = analyse(y, -1.0);
    const auto verdict =
        assess_noise(y.data(), static_cast<int>(y.size()), plain.extrema, plain.max_height);
    EXPECT_TRUE(verdict.dense);
    EXPECT_FALSE(verdict.noise_decides);
  }
}

// Four times the mean step, to two significant digits, as a user types it.
TEST(NoiseAssessment, SuggestedBandHasTwoDigits) {
  std::vector<double> ramp(100);
  for (std::size_t k = 0; k < ramp.size(); ++k) ramp[k] = 0.00123 * static_cast<double>(k);
  EXPECT_EQ(assess_noise(ramp.data(), 100, 0, 0.0).suggested_band, 0.0049);
}

TEST(NoiseAssessment, ShortRecordsAreNotJudged) {
  const std::vector<double> y = {0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
  EXPECT_FALSE(assess_noise(y.data(), 10, 8, 1.0).noise_decides);
}

}  // namespace
