#include "plot/label_place.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vorna::plot {
namespace {

Box grown(const Box& box, double by) {
  return {box.left - by, box.top - by, box.right + by, box.bottom + by};
}

// The distance from the box to the bar: 0 when they touch.
double distance_to_bar(const Box& box, const LabelRequest& request) {
  const double dx = std::fmax(0.0, std::fmax(box.left - request.bar_x, request.bar_x - box.right));
  const double dy =
      std::fmax(0.0, std::fmax(request.bar_top - box.bottom, box.top - request.bar_bottom));
  return std::hypot(dx, dy);
}

struct Candidate {
  double distance;    // from the bar
  double off_middle;  // of the label's middle from the bar's, in pixels
  bool left;          // the label stands left of the bar
  Box box;
};

bool before(const Candidate& a, const Candidate& b) {
  if (a.distance != b.distance) return a.distance < b.distance;
  if (a.off_middle != b.off_middle) return a.off_middle < b.off_middle;
  return !a.left && b.left;
}

// The places looked at: label edges a whole number of steps from the bar's
// clearance, on either side, and level with every step along it.
std::vector<Candidate> candidates(const LabelRequest& r, double step) {
  std::vector<Candidate> found;
  const double middle = (r.bar_top + r.bar_bottom) / 2;
  const int across = static_cast<int>((r.reach + r.width) / step) + 1;
  const int along = static_cast<int>((r.bar_bottom - r.bar_top) / 2 / step + r.reach / step) + 2;
  for (int side = 0; side < 2; ++side) {
    for (int i = -across; i <= across; ++i) {
      const double left =
          side == 0 ? r.bar_x + r.clearance + i * step : r.bar_x - r.clearance - r.width - i * step;
      if (left < r.area.left || left + r.width > r.area.right) continue;
      for (int j = -along; j <= along; ++j) {
        const double top = middle - r.height / 2 + j * step;
        if (top < r.area.top || top + r.height > r.area.bottom) continue;
        const Box box = {left, top, left + r.width, top + r.height};
        const double distance = distance_to_bar(box, r);
        if (distance > r.reach || distance < r.clearance * 0.999) continue;
        found.push_back({distance, std::fabs(j * step), box.right <= r.bar_x, box});
      }
    }
  }
  std::sort(found.begin(), found.end(), before);
  return found;
}

}  // namespace

bool segment_meets(const Box& box, double x1, double y1, double x2, double y2) {
  double enter = 0.0, leave = 1.0;
  const double dx = x2 - x1, dy = y2 - y1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - box.left, box.right - x1, y1 - box.top, box.bottom - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
    } else {
      const double t = q[i] / p[i];
      if (p[i] < 0.0) {
        enter = std::fmax(enter, t);
      } else {
        leave = std::fmin(leave, t);
      }
    }
  }
  return enter <= leave;
}

int covered_marks(const Box& box, double clearance, const Marks& marks) {
  int covered = 0;
  for (int i = 0; i < marks.count; ++i) {
    const bool joined = i > 0 && marks.joined[i];
    const double x0 = joined ? marks.x[i - 1] : marks.x[i];
    const double y0 = joined ? marks.y[i - 1] : marks.y[i];
    const Box near = grown(box, clearance + marks.radius[i]);
    // Most marks lie well away: their extent alone tells.
    if (std::fmax(x0, marks.x[i]) < near.left || std::fmin(x0, marks.x[i]) > near.right ||
        std::fmax(y0, marks.y[i]) < near.top || std::fmin(y0, marks.y[i]) > near.bottom) {
      continue;
    }
    if (segment_meets(near, x0, y0, marks.x[i], marks.y[i])) ++covered;
  }
  return covered;
}

double measure_x(const PairPoints& pair, double offset, double right) {
  return pair.x2 + offset <= right ? pair.x2 + offset : pair.x2 - offset;
}

void add_measure_marks(const PairPoints& p, double measure, double half_width, double dot_radius,
                       Marks& marks) {
  const double cap = kMeasureCapReach;
  marks.add_line(p.x1, p.y1, measure, p.y1, half_width);
  marks.add_line(p.x2, p.y2, measure, p.y2, half_width);
  marks.add_line(measure, p.y1, measure, p.y2, half_width);
  marks.add_line(measure - cap, p.y1, measure + cap, p.y1, half_width);
  marks.add_line(measure - cap, p.y2, measure + cap, p.y2, half_width);
  marks.add(p.x1, p.y1, false, dot_radius);
  marks.add(p.x2, p.y2, false, dot_radius);
}

bool ring_label_goes_right(double x, double gap, double width, double right, double measure) {
  const double right_end = x + 2 * gap + width;
  return right_end <= right && !(measure > x - gap && measure < right_end);
}

bool place_label(const LabelRequest& request, const Marks& marks, Box& placed) {
  if (!(request.width > 0.0 && request.height > 0.0 && request.bar_top <= request.bar_bottom)) {
    return false;
  }
  const double step = std::fmax(1.0, request.height / 3);
  for (const Candidate& candidate : candidates(request, step)) {
    if (covered_marks(candidate.box, request.clearance, marks) == 0) {
      placed = candidate.box;
      return true;
    }
  }
  return false;
}

}  // namespace vorna::plot
