// The height label's place, as geometry: every place found keeps its
// clearance from each line and dot (checked by sampling the lines, not by
// the clipping the placement uses), stays in its area and within reach of
// its bar, and the nearest free place is the one taken; among what the
// picture draws (a curve, dots, the measure with its guides and caps, texts)
// the height label crosses none.
#include "plot/label_place.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
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

// A panel as the picture draws it: a curve through the extrema, a dot at
// each, the pair of maximum height with its measure, guides and caps, and
// the texts already placed. The height label, placed beside the measure,
// keeps its clearance from every one of them.
struct DrawnPanel {
  const char* name;
  std::vector<std::array<double, 2>> curve;  // its turns, joined in order
  PairPoints pair;
  std::vector<Box> texts;
  bool placed;
};

std::vector<std::array<double, 2>> teeth(double x_step, double low, double high) {
  std::vector<std::array<double, 2>> turns;
  for (int i = 0; i * x_step <= 400; ++i) turns.push_back({i * x_step, i % 2 ? low : high});
  return turns;
}

TEST(LabelPlace, TheHeightLabelCrossesNoCurveDotBarOrText) {
  const DrawnPanel panels[] = {
      {"a falling pair", teeth(50, 150, 50), {100, 50, 150, 150}, {}, true},
      {"a rising pair", teeth(50, 150, 50), {150, 150, 200, 50}, {}, true},
      {"the pair at the right edge: the measure left of it",
       teeth(50, 150, 50),
       {350, 150, 400, 50},
       {},
       true},
      {"a ring's label beside the measure",
       teeth(50, 150, 50),
       {100, 50, 150, 150},
       {{160, 40, 200, 60}, {160, 140, 200, 160}},
       true},
      {"a short pair: its caps and guides in the way",
       {{0, 190}, {400, 190}},
       {100, 95, 150, 105},
       {},
       true},
      {"a short pair at the right edge", {{0, 190}, {400, 190}}, {300, 105, 398, 95}, {}, true},
      {"a curve too dense to leave room", teeth(4, 190, 10), {100, 10, 104, 190}, {}, false},
  };
  const double half_width = 0.75, dot_radius = 4.5;
  auto marks = std::make_unique<Marks>();
  for (const DrawnPanel& panel : panels) {
    marks->count = 0;
    for (std::size_t i = 0; i < panel.curve.size(); ++i) {
      marks->add(panel.curve[i][0], panel.curve[i][1], i > 0, 0.6);
    }
    for (const auto& turn : panel.curve) marks->add(turn[0], turn[1], false, 2.5);
    for (const Box& text : panel.texts) marks->add_box(text);
    const double measure = measure_x(panel.pair, 6, kArea.right);
    EXPECT_EQ(measure<panel.pair.x2, panel.pair.x2 + 6> kArea.right) << panel.name;
    add_measure_marks(panel.pair, measure, half_width, dot_radius, *marks);
    const PairPoints& p = panel.pair;
    const double top = std::fmin(p.y1, p.y2), bottom = std::fmax(p.y1, p.y2);
    Box box{};
    const bool placed = place_label(
        {kArea, measure, top, bottom, kWidth, kHeight, kClearance, kReach}, *marks, box);
    ASSERT_EQ(placed, panel.placed) << panel.name;
    if (!placed) continue;
    const std::array<double, 5> drawn[] = {
        {measure, top, measure, bottom, half_width},         // the bar
        {p.x1, p.y1, measure, p.y1, half_width},             // the guides
        {p.x2, p.y2, measure, p.y2, half_width},             //
        {measure - 5, p.y1, measure + 5, p.y1, half_width},  // the caps
        {measure - 5, p.y2, measure + 5, p.y2, half_width},  //
        {p.x1, p.y1, p.x1, p.y1, dot_radius},                // the pair's dots
        {p.x2, p.y2, p.x2, p.y2, dot_radius},                //
    };
    for (const auto& line : drawn) {
      EXPECT_GE(distance_to_line(box, line), kClearance + line[4] - 1e-9) << panel.name;
    }
    for (std::size_t i = 0; i < panel.curve.size(); ++i) {
      const auto& a = panel.curve[i > 0 ? i - 1 : 0];
      const auto& b = panel.curve[i];
      EXPECT_GE(distance_to_line(box, {a[0], a[1], b[0], b[1], 0.6}), kClearance + 0.6 - 1e-9)
          << panel.name << ", segment " << i;
      EXPECT_GE(distance(box, b[0], b[1]), kClearance + 2.5 - 1e-9) << panel.name;
    }
    for (const Box& text : panel.texts) {
      const bool apart = box.right + kClearance <= text.left ||
                         text.right + kClearance <= box.left ||
                         box.bottom + kClearance <= text.top || text.bottom + kClearance <= box.top;
      EXPECT_TRUE(apart) << panel.name;
    }
  }
}

// A ring's "max" or "min" goes right of it unless that leaves the plot or
// crosses the measure.
TEST(LabelPlace, ARingLabelGoesRightWhenItStaysInAndClearOfTheMeasure) {
  const struct {
    double x, right, measure;
    bool goes_right;
  } cases[] = {
      {100, 400, NAN, true},   // no measure
      {100, 400, 300, true},   // the measure far right
      {100, 400, 80, true},    // the measure left of the ring
      {100, 400, 120, false},  // the measure where the label would stand
      {100, 400, 97, false},   // the measure through the ring's gap
      {370, 400, NAN, false},  // the label would pass the plot's right
      {350, 400, NAN, true},   // it just fits: 350 + 2 * 5 + 40
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ring_label_goes_right(c.x, 5, 40, c.right, c.measure), c.goes_right)
        << "ring at " << c.x << ", measure at " << c.measure;
  }
}

}  // namespace
}  // namespace vorna::plot
