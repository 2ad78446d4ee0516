// Min/max decimation: which column each sample goes to, spikes that must
// survive wherever they fall, fewer samples than columns, gaps.
#include "plot/decimation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "plot/listing_reader.h"

namespace vorna::plot {
namespace {

struct Visited {
  std::int64_t number;
  double value;
  bool starts_run;
};

std::vector<Visited> points_of(const ColumnDecimator& decimator) {
  std::vector<Visited> points;
  decimator.for_each_point([&](const SamplePoint& point, bool starts_run) {
    points.push_back({point.number, point.value, starts_run});
  });
  return points;
}

// The decimator is large (fixed storage for the widest picture): one per
// test, on the heap.
std::unique_ptr<ColumnDecimator> make_decimator(std::int64_t samples, int columns) {
  auto decimator = std::make_unique<ColumnDecimator>();
  decimator->reset(samples, columns);
  return decimator;
}

void add_flat(ColumnDecimator& decimator, std::int64_t samples) {
  for (std::int64_t k = 1; k <= samples; ++k) {
    decimator.add({k, static_cast<double>(k) * 0.001, 0.0});
  }
}

TEST(Decimation, ColumnEdgesSplitTheSamplesEvenly) {
  // Sample k of 10 over 4 columns: (k - 1) * 4 / 10.
  const auto decimator = make_decimator(10, 4);
  const int expected[] = {0, 0, 0, 1, 1, 2, 2, 2, 3, 3};
  for (std::int64_t k = 1; k <= 10; ++k) {
    EXPECT_EQ(decimator->column_of(k), expected[k - 1]) << "sample " << k;
  }
  // A million samples over 1092 columns: the first and last of every
  // column are neighbours across its edge.
  const auto wide = make_decimator(1000000, 1092);
  EXPECT_EQ(wide->column_of(1), 0);
  EXPECT_EQ(wide->column_of(1000000), 1091);
  for (std::int64_t k = 2; k <= 1000000; ++k) {
    const int step = wide->column_of(k) - wide->column_of(k - 1);
    ASSERT_TRUE(step == 0 || step == 1) << "sample " << k;
  }
}

TEST(Decimation, KeepsEveryOneSampleSpike) {
  const std::int64_t samples = 1000000;
  const int columns = 1092;
  const auto probe = make_decimator(samples, columns);
  // Spikes at the first and the last sample of the series and of a column,
  // and anywhere in between.
  std::vector<std::int64_t> positions = {1, 2, 915, 916, 917, 500000, 999999, samples};
  for (std::int64_t k = 2; k <= samples; ++k) {
    if (probe->column_of(k) != probe->column_of(k - 1) && probe->column_of(k) == 600) {
      positions.push_back(k - 1);
      positions.push_back(k);
    }
  }
  for (const std::int64_t spike : positions) {
    for (const double height : {5.0, -5.0}) {
      const auto decimator = make_decimator(samples, columns);
      for (std::int64_t k = 1; k <= samples; ++k) {
        decimator->add({k, 0.0, k == spike ? height : 0.0});
      }
      bool seen = false;
      std::size_t count = 0;
      decimator->for_each_point([&](const SamplePoint& point, bool) {
        ++count;
        if (point.number == spike && point.value == height) seen = true;
      });
      EXPECT_TRUE(seen) << "spike " << height << " at sample " << spike;
      EXPECT_LE(count, 2u * columns);
    }
  }
}

TEST(Decimation, KeepsEverySampleWhenFewerThanColumns) {
  const auto decimator = make_decimator(5, 100);
  const double values[] = {3.0, -1.0, 4.0, 1.0, -5.0};
  for (std::int64_t k = 1; k <= 5; ++k) decimator->add({k, 0.0, values[k - 1]});
  const std::vector<Visited> points = points_of(*decimator);
  ASSERT_EQ(points.size(), 5u);
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(points[i].number, static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(points[i].value, values[i]);
    EXPECT_EQ(points[i].starts_run, i == 0);
  }
}

TEST(Decimation, KeepsTheLowestAndHighestInTheirOrder) {
  // One column of six samples: the high comes first, then the low.
  const auto decimator = make_decimator(6, 1);
  const double values[] = {0.0, 7.0, 2.0, -3.0, 1.0, 0.5};
  for (std::int64_t k = 1; k <= 6; ++k) decimator->add({k, 0.0, values[k - 1]});
  const std::vector<Visited> points = points_of(*decimator);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0].number, 2);
  EXPECT_EQ(points[0].value, 7.0);
  EXPECT_EQ(points[1].number, 4);
  EXPECT_EQ(points[1].value, -3.0);
  // A flat column keeps one point.
  const auto flat = make_decimator(6, 1);
  add_flat(*flat, 6);
  EXPECT_EQ(points_of(*flat).size(), 1u);
}

TEST(Decimation, SizeDependsOnColumnsNotSamples) {
  for (const std::int64_t samples : {5000, 50000, 1000000}) {
    const auto decimator = make_decimator(samples, 500);
    for (std::int64_t k = 1; k <= samples; ++k) {
      decimator->add({k, 0.0, (k % 2 == 0) ? 1.0 : -1.0});
    }
    EXPECT_EQ(points_of(*decimator).size(), 1000u) << samples << " samples";
  }
}

TEST(Decimation, GapBreaksTheLineBeforeTheNextSample) {
  const auto decimator = make_decimator(6, 6);
  decimator->add({1, 0.0, 1.0});
  decimator->add({2, 0.0, 2.0});
  decimator->add_gap();  // sample 3 cannot be drawn
  decimator->add({4, 0.0, 4.0});
  decimator->add({5, 0.0, 5.0});
  decimator->add_gap();  // sample 6 neither
  const std::vector<Visited> points = points_of(*decimator);
  ASSERT_EQ(points.size(), 4u);
  EXPECT_TRUE(points[0].starts_run);
  EXPECT_FALSE(points[1].starts_run);
  EXPECT_TRUE(points[2].starts_run);
  EXPECT_FALSE(points[3].starts_run);
}

// Three samples a column; each column draws its lowest and highest. A gap
// before sample g breaks the line before the first point drawn from g on,
// wherever g falls in its column.
TEST(Decimation, GapInsideAColumnBreaksTheLineWhereItFalls) {
  const double values[] = {0, 5, 1, 2, -3, 4, 0, 1, 2};
  for (std::int64_t gap = 2; gap <= 9; ++gap) {
    const auto decimator = make_decimator(9, 3);
    for (std::int64_t k = 1; k <= 9; ++k) {
      if (k == gap) decimator->add_gap();
      decimator->add({k, 0.0, values[k - 1]});
    }
    bool broken = false;
    for (const Visited& point : points_of(*decimator)) {
      const bool first_after_gap = !broken && point.number >= gap;
      broken = broken || first_after_gap;
      EXPECT_EQ(point.starts_run, point.number == 1 || first_after_gap)
          << "gap before " << gap << ", point " << point.number;
    }
  }
}

// Gaps in time: a missing sample is one, the listing's rounding of times
// and increment never is; no increment, no gaps.
TEST(Decimation, TimeGapIsMoreThanOneAndAHalfIncrements) {
  const struct {
    FieldKind kind;
    double increment, previous, time;
    bool gap;
  } cases[] = {
      {FieldKind::kNumber, 0.1, 2.0, 2.1, false},
      {FieldKind::kNumber, 0.1, 2.0, 2.2, true},
      {FieldKind::kNumber, 0.1, 2.000, 2.151, false},
      {FieldKind::kNumber, 0.001, 0.004, 0.006, false},
      {FieldKind::kNumber, 0.001, 0.004, 0.008, true},
      {FieldKind::kNumber, 0.0, 1.0, 9.0, false},
      {FieldKind::kAsterisks, 0.0, 1.0, 9.0, false},
      {FieldKind::kNumber, 5.0, NAN, 100.0, false},
  };
  for (const auto& c : cases) {
    Field increment;
    increment.kind = c.kind;
    increment.value = c.increment;
    EXPECT_EQ(is_time_gap(c.previous, c.time, time_gap_limit(increment)), c.gap)
        << c.increment << ": " << c.previous << " to " << c.time;
  }
}

TEST(Decimation, ResetForgetsEarlierSamples) {
  const auto decimator = make_decimator(4, 4);
  add_flat(*decimator, 4);
  decimator->reset(2, 4);
  EXPECT_TRUE(points_of(*decimator).empty());
  decimator->add({2, 0.0, 1.0});
  const std::vector<Visited> points = points_of(*decimator);
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(points[0].number, 2);
}

}  // namespace
}  // namespace vorna::plot
