// The height label's place, as geometry: every place found keeps its
// clearance from each line and dot (checked by sampling the lines, not by
// the clipping the placement uses), stays in its area and within reach of
// its bar, and the nearest free place is the one taken.
#include "plot/label_place.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace vorna::plot {
namespace {

constexpr Box kArea = {0, 0, 400, 200};
constexpr double kWidth = 80, kHeight = 14, kClearance = 4, kReach = 60;

struct Scene {
  const char* name;
  std::vector<std::array<double, 5>> lines;  // x1, y1, x2, y2, half width
  std::vector<std::array<double, 3>> dots;   // x, y, radius
  double bar_x;
  bool placed;
};

double distance(const Box& box, double x, double y) {
  const double dx = std::fmax(0.0, std::fmax(box.left - x, x - box.right));
  const double dy = std::fmax(0.0, std::fmax(box.top - y, y - box.bottom));
  return std::hypot(dx, dy);
}

// The least distance from the box to the line, by points a quarter pixel
// apart along it.
double distance_to_line(const Box& box, const std::array<double, 5>& line) {
  const double length = std::hypot(line[2] - line[0], line[3] - line[1]);
  const int steps = static_cast<int>(length * 4) + 1;
  double least = INFINITY;
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    least = std::fmin(
        least, distance(box, line[0] + t * (line[2] - line[0]), line[1] + t * (line[3] - line[1])));
  }
  return least;
}

std::vector<std::array<double, 5>> zigzag() {
  std::vector<std::array<double, 5>> lines;
  for (double x = 0; x < 400; x += 6) lines.push_back({x, 0, x + 3, 200, 0.5});
  return lines;
}

TEST(LabelPlace, KeepsClearOfEveryLineAndDot) {
  const Scene scenes[] = {
      {"nothing drawn", {}, {}, 200, true},
      {"a level line through the bar's middle", {{0, 100, 400, 100, 1}}, {}, 200, true},
      {"dots beside the bar", {}, {{210, 100, 3}, {215, 90, 3}, {190, 110, 3}}, 200, true},
      {"a curve crossing beside the bar",
       {{150, 20, 205, 100, 1}, {205, 100, 260, 180, 1}},
       {{205, 100, 4}},
       200,
       true},
      {"the bar at the area's right edge", {}, {}, 390, true},
      {"guides and caps of the bar",
       {{140, 60, 200, 60, 1}, {195, 60, 205, 60, 1}, {195, 140, 205, 140, 1}},
       {{140, 60, 5}, {170, 140, 5}},
       200,
       true},
      {"lines everywhere", zigzag(), {}, 200, false},
  };
  auto marks = std::make_unique<Marks>();
  for (const Scene& scene : scenes) {
    marks->count = 0;
    for (const auto& l : scene.lines) marks->add_line(l[0], l[1], l[2], l[3], l[4]);
    for (const auto& d : scene.dots) marks->add(d[0], d[1], false, d[2]);
    const LabelRequest request = {kArea, scene.bar_x, 60, 140, kWidth, kHeight, kClearance, kReach};
    Box box{};
    const bool placed = place_label(request, *marks, box);
    ASSERT_EQ(placed, scene.placed) << scene.name;
    if (!placed) continue;
    EXPECT_GE(box.left, kArea.left) << scene.name;
    EXPECT_LE(box.right, kArea.right) << scene.name;
    EXPECT_NEAR(box.right - box.left, kWidth, 1e-9) << scene.name;
    const std::array<double, 5> bar = {scene.bar_x, 60, scene.bar_x, 140, 0};
    EXPECT_GE(distance_to_line(box, bar), kClearance - 1e-9) << scene.name;
    EXPECT_LE(distance_to_line(box, bar), kReach + 1e-9) << scene.name;
    for (const auto& line : scene.lines) {
      EXPECT_GE(distance_to_line(box, line), kClearance + line[4] - 1e-9) << scene.name;
    }
    for (const auto& dot : scene.dots) {
      EXPECT_GE(distance(box, dot[0], dot[1]), kClearance + dot[2] - 1e-9) << scene.name;
    }
  }
}

// With nothing in the way the label stands just right of the bar, level
// with its middle; at the right edge, just left of it.
TEST(LabelPlace, TakesTheNearestFreePlace) {
  auto marks = std::make_unique<Marks>();
  Box box{};
  ASSERT_TRUE(place_label({kArea, 200, 60, 140, kWidth, kHeight, kClearance, kReach}, *marks, box));
  EXPECT_DOUBLE_EQ(box.left, 200 + kClearance);
  EXPECT_DOUBLE_EQ((box.top + box.bottom) / 2, 100);
  ASSERT_TRUE(place_label({kArea, 390, 60, 140, kWidth, kHeight, kClearance, kReach}, *marks, box));
  EXPECT_DOUBLE_EQ(box.right, 390 - kClearance);
  EXPECT_DOUBLE_EQ((box.top + box.bottom) / 2, 100);
}

}  // namespace
}  // namespace vorna::plot
