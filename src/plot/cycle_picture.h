// The range-exceedance picture of a cycle file (vorna --cycles): for each
// range R, the number of cycles with a range of at least R (a half cycle
// counts 0.5), on a logarithmic scale against R. Titled and sized as the
// series picture.
#pragma once

#include <cstdint>
#include <memory>

#include "plot/block_reader.h"
#include "plot/picture_options.h"
#include "plot/picture_style.h"
#include "plot/plot_input.h"
#include "plot/print_file_reader.h"
#include "plot/svg_output.h"

namespace vorna::plot {

struct CountedRange {
  double range;
  double count;  // 1 or 0.5
};

struct CycleFile {
  char series[257] = {};  // the name after "# Series                : "
  std::int64_t full = 0;
  std::int64_t half = 0;
  HeaderField largest;
  // The cycles with a finite range, sorted from the largest range down.
  std::unique_ptr<CountedRange[]> cycles;
  std::int64_t count = 0;
  std::int64_t unplaceable = 0;  // ranges that are not finite numbers
};

// Reads a cycle file that vorna wrote. False with problem set when it
// cannot be read or is no such file (its header first, then lines of five
// fields whose number the header's counts give).
bool read_cycle_file(const char* path, BlockReader& reader, CycleFile& file, Problem& problem);

void draw_cycle_picture(const CycleFile& file, const char* source, const PictureSize& size,
                        const PictureTexts& texts, SvgOutput& out);

}  // namespace vorna::plot
