// Zero down-crossing waves: hand records with and without a crossing band,
// records without waves, and a generated sea record against a plain scan
// for sign changes written here.
#include "analysis/waves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace {

using vorna::SampleClock;
using vorna::Wave;

std::vector<Wave> waves_of(const std::vector<double>& y, double level, double band,
                           SampleClock clock = {0.0, 1.0}) {
  std::vector<Wave> waves(y.size() / 2 + 1);
  waves.resize(static_cast<std::size_t>(
      vorna::find_waves(y.data(), static_cast<int>(y.size()), level, band, clock, waves.data())));
  return waves;
}

void expect_waves(const std::vector<Wave>& got, const std::vector<Wave>& expected,
                  const char* name) {
  ASSERT_EQ(got.size(), expected.size()) << name;
  for (std::size_t k = 0; k < got.size(); ++k) {
    EXPECT_EQ(got[k].start, expected[k].start) << name << " wave " << k;
    EXPECT_EQ(got[k].period, expected[k].period) << name << " wave " << k;
    EXPECT_EQ(got[k].crest, expected[k].crest) << name << " wave " << k;
    EXPECT_EQ(got[k].trough, expected[k].trough) << name << " wave " << k;
  }
}

TEST(Waves, HandRecords) {
  struct Case {
    const char* name;
    std::vector<double> y;  // at times 0, 1, 2, ...
    double level;
    double band;
    std::vector<Wave> expected;
  };
  const double wiggle = 2.0 + 0.1 / 2.1;  // the passage from 0.1 down to -2
  const Case cases[] = {
      {"a square wave", {1, -1, 1, -1, 1}, 0.0, 0.0, {{0.5, 2.0, 1, -1}}},
      {"a sample on the level", {2, 0, -2, 2, -2}, 0.0, 0.0, {{1.0, 2.5, 2, -2}}},
      {"about another level", {3, 1, 3, 1}, 2.0, 0.0, {{0.5, 2.0, 3, 1}}},
      {"a wiggle about the level makes a wave without a band",
       {2, -0.1, 0.1, -2, 2, -2},
       0.0,
       0.0,
       {{2.0 / 2.1, wiggle - 2.0 / 2.1, 0.1, -0.1}, {wiggle, 4.5 - wiggle, 2, -2}}},
      {"a band passes it over, from its last passage",
       {2, -0.1, 0.1, -2, 2, -2},
       0.0,
       1.0,
       {{wiggle, 4.5 - wiggle, 2, -2}}},
      {"the trough after the passage is the next wave's",
       {1, -1, 1, -3, 1, -1},
       0.0,
       0.0,
       {{0.5, 1.75, 1, -1}, {2.25, 2.25, 1, -3}}},
      {"not-a-number is passed over", {1, NAN, -1, 1, -1}, 0.0, 0.0, {{1.0, 2.5, 1, -1}}},
      {"one crossing is no wave", {1, -1, 1}, 0.0, 0.0, {}},
      {"a constant record", {1, 1, 1, 1}, 1.0, 0.0, {}},
      {"a band as wide as the range", {1, -1, 1, -1, 1, -1}, 0.0, 2.0, {}},
      {"a level above the record", {1, -1, 1, -1, 1, -1}, 5.0, 0.0, {}},
  };
  for (const Case& test : cases) {
    expect_waves(waves_of(test.y, test.level, test.band), test.expected, test.name);
  }
}

TEST(Waves, TimesComeFromTheClock) {
  // Samples at 10, 10.5, 11, ...: the passages at 10.25 and 11.25.
  expect_waves(waves_of({1, -1, 1, -1}, 0.0, 0.0, {10.0, 0.5}), {{10.25, 1.0, 1, -1}}, "clock");
  // The file's own times: passages at 0.5 and 5, between 0 and 1, 4 and 6.
  const double times[] = {0, 1, 4, 6};
  expect_waves(waves_of({1, -1, 1, -1}, 0.0, 0.0, {10.0, 0.5, times}), {{0.5, 4.5, 1, -1}},
               "file times");
}

TEST(Waves, Summary) {
  // Heights 2, 6, 4, 1, 3, 5 (periods 1 to 6): the highest third is 6 and 5.
  const double heights[] = {2, 6, 4, 1, 3, 5};
  std::vector<Wave> waves;
  for (int k = 0; k < 6; ++k) waves.push_back({10.0 * k, k + 1.0, heights[k] / 2, -heights[k] / 2});
  std::vector<double> work(waves.size());
  const vorna::WaveSummary s = vorna::summarise_waves(waves.data(), 6, work.data());
  EXPECT_EQ(s.count, 6);
  EXPECT_EQ(s.hmax, 6.0);
  EXPECT_EQ(s.time_of_hmax, 10.0);
  EXPECT_EQ(s.tmax, 2.0);
  EXPECT_EQ(s.h1_3, 5.5);
  EXPECT_EQ(s.hrms, std::sqrt(91.0 / 6.0));
  EXPECT_EQ(s.tz, 3.5);
  // One or two waves: the highest stands for the third.
  EXPECT_EQ(vorna::summarise_waves(waves.data(), 2, work.data()).h1_3, 6.0);
  const vorna::WaveSummary none = vorna::summarise_waves(waves.data(), 0, work.data());
  EXPECT_TRUE(std::isnan(none.hmax) && std::isnan(none.h1_3) && std::isnan(none.tz));
}

TEST(Waves, RecordLevels) {
  const std::vector<double> y = {1, NAN, -3, INFINITY, 5};
  const vorna::RecordLevels levels = vorna::record_levels(y.data(), 5);
  EXPECT_EQ(levels.lowest, -3.0);
  EXPECT_EQ(levels.highest, 5.0);
  EXPECT_EQ(levels.mean, 1.0);
  EXPECT_TRUE(std::isnan(vorna::record_levels(y.data() + 1, 1).mean));
}

// A sea record: five wave components and a little noise, sampled at 0.5 s.
std::vector<double> sea_record(int n) {
  std::mt19937 random(2030);
  std::uniform_real_distribution<double> phase(0.0, 6.283185307179586);
  std::normal_distribution<double> noise(0.0, 0.02);
  const double amplitude[] = {1.2, 0.8, 0.5, 0.35, 0.2};
  const double period[] = {9.0, 7.1, 5.3, 12.4, 3.9};
  double phases[5];
  for (double& p : phases) p = phase(random);
  std::vector<double> y(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    double v = noise(random);
    for (int c = 0; c < 5; ++c) {
      v += amplitude[c] * std::sin(6.283185307179586 * 0.5 * i / period[c] + phases[c]);
    }
    y[static_cast<std::size_t>(i)] = v;
  }
  return y;
}

TEST(Waves, SeaRecordAgreesWithAPlainScan) {
  const std::vector<double> y = sea_record(40000);
  const double dt = 0.5;
  // The plain scan: a crossing wherever a sample above zero is followed by
  // one below it (a generated record never lands on zero), at the time
  // where the line between them meets zero; a wave's crest and trough are
  // the extremes of the samples from one crossing to the next.
  std::vector<double> times;
  std::vector<std::size_t> first_below;
  for (std::size_t i = 1; i < y.size(); ++i) {
    if (y[i - 1] > 0 && y[i] < 0) {
      times.push_back(dt * static_cast<double>(i - 1) + dt * y[i - 1] / (y[i - 1] - y[i]));
      first_below.push_back(i);
    }
  }
  std::vector<double> heights;
  double periods = 0;
  for (std::size_t k = 0; k + 1 < first_below.size(); ++k) {
    const auto begin = y.begin() + static_cast<long>(first_below[k]);
    const auto end = y.begin() + static_cast<long>(first_below[k + 1]);
    heights.push_back(*std::max_element(begin, end) - *std::min_element(begin, end));
    periods += times[k + 1] - times[k];
  }
  const int count = static_cast<int>(heights.size());
  std::sort(heights.begin(), heights.end(), std::greater<double>());
  double third = 0;
  for (int k = 0; k < count / 3; ++k) third += heights[static_cast<std::size_t>(k)];

  const std::vector<Wave> waves = waves_of(y, 0.0, 0.0, {0.0, dt});
  std::vector<double> work(waves.size());
  const vorna::WaveSummary s = vorna::summarise_waves(waves.data(), count, work.data());
  ASSERT_EQ(static_cast<int>(waves.size()), count);
  EXPECT_GT(count, 1000);
  EXPECT_EQ(s.hmax, heights[0]);
  EXPECT_EQ(s.h1_3, third / (count / 3));
  EXPECT_NEAR(s.tz, periods / count, 1e-12 * s.tz);
}

}  // namespace
