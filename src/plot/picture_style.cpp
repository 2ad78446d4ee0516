#include "plot/picture_style.h"

#include <cmath>

namespace vorna::plot {

Fonts fonts_for(const PictureSize& size) {
  const double base = std::fmax(11.0, std::fmin(size.width / 64.0, size.height / 26.0));
  const double smallest = 10.0;
  return {base,
          1.3 * base,
          std::fmax(smallest, 0.85 * base),
          std::fmax(smallest, 0.9 * base),
          std::fmax(smallest, 0.85 * base),
          base,
          base,
          std::fmax(4.0, std::round(0.6 * base)),
          std::fmax(1.0, std::round(base / 1.5) / 10)};
}

}  // namespace vorna::plot
