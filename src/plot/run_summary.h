// The JSON summary of a command-line run (vorna --json ... > run.json), read
// for the picture: the series' name, the print and listing files, the
// hysteresis band and the value column. It is read leniently: keys the
// picture does not use, whatever their values, are passed over, so that
// summaries with more keys read the same.
#pragma once

#include <cstddef>
#include <string_view>

#include "plot/plot_input.h"

namespace vorna::plot {

struct RunSummary {
  static constexpr std::size_t kMaxText = 4096;
  // Each text is empty when the summary has no such key or null for it.
  char series[kMaxText] = {};
  char print_file[kMaxText] = {};
  char listing_file[kMaxText] = {};
  char column[kMaxText] = {};  // a column's name, or its number in digits
  bool has_band = false;       // "hysteresis" is a number
  double band = 0.0;
};

// Reads the one JSON object of text into summary. False with where (the
// byte offset) and what set when text is not one JSON object.
bool parse_run_summary(std::string_view text, RunSummary& summary, std::size_t& where,
                       const char*& what);

// Reads the summary in the file at path. False with problem set when it
// cannot be read or is not one run's summary.
bool read_run_summary(const char* path, RunSummary& summary, Problem& problem);

}  // namespace vorna::plot
