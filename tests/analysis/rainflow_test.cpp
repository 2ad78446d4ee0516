// Rainflow counting: the standard example load history, ties, the residue,
// records without turns, the reduction to turning points, and random
// histories against a literal reading of the method that erases points
// from a list.
#include "analysis/rainflow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

using vorna::LoadHistory;
using vorna::RainflowCycle;

// A history with room for its points, and its counted cycles.
struct Counted {
  std::vector<double> values;
  std::vector<int> positions;
  LoadHistory history;
  std::vector<RainflowCycle> cycles;
};

// Counts the extrema ex (at positions 2, 3, ... of y) of the record y.
Counted count(const std::vector<double>& ex, const std::vector<double>& y = {}, bool ends = false) {
  Counted c;
  c.values.resize(ex.size() + 2);
  c.positions.resize(ex.size() + 2);
  std::vector<int> ex_positions(ex.size());
  for (std::size_t j = 0; j < ex.size(); ++j) ex_positions[j] = static_cast<int>(j) + 2;
  c.history =
      vorna::reduce_to_turns(ex.data(), ex_positions.data(), static_cast<int>(ex.size()), y.data(),
                             static_cast<int>(y.size()), ends, c.values.data(), c.positions.data());
  // A table that needs no reducing is told so.
  if (!ends) {
    EXPECT_EQ(vorna::turns_at_every_point(ex.data(), static_cast<int>(ex.size())),
              c.history.count == static_cast<int>(ex.size()));
  }
  std::vector<int> stack(c.values.size());
  c.cycles.resize(c.values.size());
  c.cycles.resize(
      static_cast<std::size_t>(vorna::count_rainflow(c.history, stack.data(), c.cycles.data())));
  return c;
}

// (range, count) in the order found.
std::vector<std::pair<double, double>> ranges(const Counted& c) {
  std::vector<std::pair<double, double>> found;
  for (const RainflowCycle& cycle : c.cycles) {
    found.emplace_back(vorna::cycle_range(c.history, cycle), cycle.full() ? 1.0 : 0.5);
  }
  return found;
}

TEST(Rainflow, StandardExampleHistory) {
  const Counted c = count({-2, 1, -3, 5, -1, 3, -4, 4, -2});
  std::map<double, double> histogram;
  for (const auto& [range, n] : ranges(c)) histogram[range] += n;
  const std::map<double, double> expected = {{3, 0.5}, {4, 1.5}, {6, 0.5}, {8, 1.0}, {9, 0.5}};
  EXPECT_EQ(histogram, expected);
  // Found in this order: the 4 from -1 to 3 is the one full cycle, closed by
  // the range that ends at -4 (point 6).
  const std::vector<std::pair<double, double>> order = {{3, 0.5}, {4, 0.5}, {4, 1.0}, {8, 0.5},
                                                        {9, 0.5}, {8, 0.5}, {6, 0.5}};
  EXPECT_EQ(ranges(c), order);
  EXPECT_EQ(c.cycles[2].closed_by, 6);
  const vorna::CycleSummary summary =
      vorna::summarise_cycles(c.history, c.cycles.data(), static_cast<int>(c.cycles.size()), 1.0);
  EXPECT_EQ(summary.full, 1);
  EXPECT_EQ(summary.half, 6);
  EXPECT_EQ(summary.largest_range, 9.0);
  EXPECT_EQ(summary.largest, 4);
  // Slope 1: the count-weighted mean range, (0.5*3 + 1.5*4 + 0.5*6 + 8 + 0.5*9) / 4.
  EXPECT_EQ(summary.equivalent_range, 23.0 / 4.0);
}

TEST(Rainflow, HandCases) {
  struct Case {
    const char* name;
    std::vector<double> extrema;
    std::vector<std::pair<double, double>> expected;
  };
  const Case cases[] = {
      {"an equal range closes (ties count)",
       {0, 4, 1, 3, 1, 4, 0},
       {{2, 1.0}, {3, 1.0}, {4, 0.5}, {4, 0.5}}},
      {"equal swings from the start are halves", {-2, 1, -2, 1}, {{3, 0.5}, {3, 0.5}, {3, 0.5}}},
      {"a narrowing swing is all residue",
       {0, 5, 1, 4, 2, 3},
       {{5, 0.5}, {4, 0.5}, {3, 0.5}, {2, 0.5}, {1, 0.5}}},
      {"a widening swing closes nothing fully", {0, 1, -1, 2}, {{1, 0.5}, {2, 0.5}, {3, 0.5}}},
      {"a level step at a turn is one turn", {0, 3, 3, 1, 3}, {{2, 1.0}, {3, 0.5}}},
      {"a step inside a swing is no turn", {0, 5, 3, 1, 4}, {{5, 0.5}, {4, 0.5}, {3, 0.5}}},
      {"one extremum", {2}, {}},
      {"none", {}, {}},
  };
  for (const Case& test : cases) EXPECT_EQ(ranges(count(test.extrema)), test.expected) << test.name;
}

TEST(Rainflow, RecordEnds) {
  struct Case {
    const char* name;
    std::vector<double> y;  // the record; its extrema are the interior turns listed
    std::vector<double> extrema;
    bool ends;
    std::vector<std::pair<double, double>> expected;
  };
  const Case cases[] = {
      {"a constant record", {2, 2, 2, 2}, {}, true, {}},
      {"a monotone record without its ends", {1, 2, 3, 4}, {}, false, {}},
      {"a monotone record with its ends", {1, 2, 3, 4}, {}, true, {{3, 0.5}}},
      {"a swing cut by the start counts as half",
       {1, 5, 0, 2},
       {5, 0},
       true,
       {{4, 0.5}, {5, 0.5}, {2, 0.5}}},
      {"an end past the last extremum replaces it",
       {0, 4, 1, 3, 6},
       {4, 1, 3},
       true,
       {{3, 1.0}, {6, 0.5}}},
      {"not-a-number ends are passed over", {NAN, 1, 5, 0, NAN}, {5}, true, {{4, 0.5}, {5, 0.5}}},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(ranges(count(test.extrema, test.y, test.ends)), test.expected) << test.name;
  }
  // The ends carry their own sample positions.
  const Counted c = count({5, 0}, {1, 5, 0, 2}, true);
  EXPECT_EQ(std::vector<int>(c.positions.begin(), c.positions.begin() + c.history.count),
            (std::vector<int>{1, 2, 3, 4}));
}

// The method as the standard words it, on a list that points are erased
// from: read a point; while three or more remain, compare the latest range
// X with the one before it Y; X >= Y closes Y: half a cycle when Y holds
// the starting point (the list's first), which is then erased, else a full
// cycle, both its points erased. At the end every range left is half.
std::vector<std::pair<double, double>> literal_rainflow(const std::vector<double>& history) {
  std::vector<double> held;
  std::vector<std::pair<double, double>> found;
  for (double point : history) {
    held.push_back(point);
    while (held.size() >= 3) {
      const std::size_t n = held.size();
      const double x = std::fabs(held[n - 1] - held[n - 2]);
      const double y = std::fabs(held[n - 2] - held[n - 3]);
      if (x < y) break;
      if (n == 3) {
        found.emplace_back(y, 0.5);
        held.erase(held.begin());
      } else {
        found.emplace_back(y, 1.0);
        held.erase(held.begin() + static_cast<long>(n) - 3,
                   held.begin() + static_cast<long>(n) - 1);
      }
    }
  }
  for (std::size_t k = 0; k + 1 < held.size(); ++k) {
    found.emplace_back(std::fabs(held[k + 1] - held[k]), 0.5);
  }
  return found;
}

TEST(Rainflow, RandomHistoriesAgreeWithTheLiteralMethod) {
  std::mt19937 random(30);
  for (int trial = 0; trial < 300; ++trial) {
    // Small integers, so that ties are common.
    std::uniform_int_distribution<int> value(-6, 6);
    std::vector<double> turns;
    for (int k = 0; k < 1 + trial % 40; ++k) {
      const double v = value(random);
      const std::size_t n = turns.size();
      if (n > 0 && v == turns[n - 1]) continue;
      if (n > 1 && (turns[n - 1] - turns[n - 2]) * (v - turns[n - 1]) > 0) continue;
      turns.push_back(v);
    }
    const Counted c = count(turns);
    ASSERT_EQ(c.history.count, static_cast<int>(turns.size()));
    ASSERT_EQ(ranges(c), literal_rainflow(turns)) << "trial " << trial;
    // Every point but one is used up by a cycle: two by a full, one by a half.
    int used = 0;
    for (const RainflowCycle& cycle : c.cycles) {
      used += cycle.full() ? 2 : 1;
      // A cycle's range holds every point that came between its two.
      for (int k = cycle.from + 1; k < cycle.to; ++k) {
        EXPECT_LE(std::fabs(c.values[k] - vorna::cycle_mean(c.history, cycle)),
                  vorna::cycle_range(c.history, cycle) / 2);
      }
    }
    EXPECT_EQ(used, std::max(0, c.history.count - 1));
  }
}

}  // namespace
