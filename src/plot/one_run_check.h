// Whether a print file and a listing are of one run: the extremum table,
// read a second time one extremum ahead of the listing, must be met in
// order, each extremum as a sample at its time with its value to the
// printed digits.
#pragma once

#include <cstdint>
#include <string_view>

#include "plot/block_reader.h"
#include "plot/field_reader.h"
#include "plot/listing_samples.h"
#include "plot/plot_input.h"
#include "plot/print_file_reader.h"

namespace vorna::plot {

// Whether an extremum's value (1PE12.4) and a sample's (1PE15.5) can be
// one value printed twice: each text is within half a unit of its last
// digit of the value, so they differ by less than 0.55E-04 of it.
bool same_printed_value(const Field& extremum, const Field& sample);

class OneRunCheck {
 public:
  // The print file at print_path, read again through reader, against the
  // listing at listing_path; file is what the first reading found.
  OneRunCheck(const char* print_path, const char* listing_path, const PrintFile& file,
              BlockReader& reader)
      : print_path_(print_path), listing_path_(listing_path), file_(file), reader_(reader) {}

  // Opens the print file again and waits for its first extremum.
  bool start(Problem& problem);

  // The sample of line, for the extremum waited for: marks the line as an
  // extremum when it is one. Sets from and to of window to the sample
  // numbers of the pair of maximum height when they are met.
  bool check(ListingLine& line, DetailWindow& window, Problem& problem);

  // At the end of the listing: false with problem set when an extremum
  // was never met.
  bool finish(Problem& problem);

 private:
  // To the next extremum whose time can be looked for.
  bool advance(Problem& problem);
  bool changed(Problem& problem);

  const char* print_path_;
  const char* listing_path_;
  const PrintFile& file_;
  BlockReader& reader_;
  bool waiting_ = false;
  std::int64_t index_ = 0;  // of the extremum waited for, 1-based
  long long line_number_ = 0;
  Field value_;
  char time_copy_[16] = {}, value_copy_[16] = {};
  std::string_view time_text_;
  std::int64_t last_unlike_ = 0;  // a sample at the time with another value
  char unlike_value_[16] = {};
};

}  // namespace vorna::plot
