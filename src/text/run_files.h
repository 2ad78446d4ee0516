// The files a run writes besides the console, described once for the
// program that writes them and for vorna-plot that reads them back: the
// print file's header labels and field layouts, the listing's field
// layouts and the rule that names the listing, the lines of the cycle and
// wave files.
#pragma once

#include <cstddef>
#include <string_view>

namespace vorna {

// A numeric field: w characters, d decimals (F), digits after the point
// (1PE) or least digits (I), starting at an offset in its line. The offsets
// follow from the widths of the fields before, so that the writer and the
// readers of a line cannot disagree on where a field is.
struct FieldLayout {
  int width;
  int digits;
  std::size_t offset = 0;

  constexpr std::size_t end() const { return offset + static_cast<std::size_t>(width); }
};

// The field of the given width and digits right after another.
constexpr FieldLayout field_after(FieldLayout before, int width, int digits) {
  return {width, digits, before.end()};
}

// The text of a field in one of the lines described here; shorter or empty
// when the line ends early.
constexpr std::string_view field_text(std::string_view line, FieldLayout field) {
  return field.offset < line.size()
             ? line.substr(field.offset, static_cast<std::size_t>(field.width))
             : std::string_view();
}

// Lines 2 to 8 of the print file's header block: a 26-character label
// ending in ": ", then one 12-character field: I12 of the steps, F12.3 of
// the times, 1PE12.3 of the height. The console summary's lines end in the
// same fields after labels of their own.
inline constexpr std::size_t kHeaderLabelLength = 26;
inline constexpr char kStepsLabel[] = "# Time Series steps     : ";
inline constexpr char kFirstTimeLabel[] = "# First Time            : ";
inline constexpr char kLastTimeLabel[] = "# Last  Time            : ";
inline constexpr char kIncrementLabel[] = "# Time Increment        : ";
inline constexpr char kLengthLabel[] = "# Simulation Length     : ";
inline constexpr char kMaxHeightLabel[] = "# Maximum Height        : ";
inline constexpr char kMaxHeightTimeLabel[] = "# Time For max height   : ";
inline constexpr FieldLayout kHeaderCount = {12, 1, kHeaderLabelLength};
inline constexpr FieldLayout kHeaderFixed = {12, 3, kHeaderLabelLength};
inline constexpr FieldLayout kHeaderExponent = {12, 3, kHeaderLabelLength};
inline constexpr std::size_t kHeaderLineLength = kHeaderCount.end();
static_assert(kHeaderFixed.end() == kHeaderLineLength &&
              kHeaderExponent.end() == kHeaderLineLength);

// One extremum table line: F12.3 time, 1PE12.4 value, 1PE12.4 height.
inline constexpr FieldLayout kTableTime = {12, 3};
inline constexpr FieldLayout kTableValue = field_after(kTableTime, 12, 4);
inline constexpr FieldLayout kTableHeight = field_after(kTableValue, 12, 4);
inline constexpr std::size_t kTableLineLength = kTableHeight.end();

// One listing line: F15.3 time, 1PE15.5 value.
inline constexpr FieldLayout kListingTime = {15, 3};
inline constexpr FieldLayout kListingValue = field_after(kListingTime, 15, 5);
inline constexpr std::size_t kListingLineLength = kListingValue.end();

// The cycle and wave files' header blocks: 26-character labels as the print
// file's, each followed by an I12, F12.3 or 1PE12.3 field as the print
// file's or a text; the last header line heads the columns.
inline constexpr char kSeriesNameLabel[] = "# Series                : ";
// The cycle file's method line, with the record's ends counted or not; it
// starts with kCycleMethodLabel, by which vorna-plot knows a cycle file.
inline constexpr char kCycleMethodLabel[] = "# Method                : rainflow";
inline constexpr char kCycleMethodExtrema[] =
    "# Method                : rainflow, three-point; extrema only";
inline constexpr char kCycleMethodEnds[] =
    "# Method                : rainflow, three-point; extrema and ends";
inline constexpr char kFullCyclesLabel[] = "# Full cycles           : ";
inline constexpr char kHalfCyclesLabel[] = "# Half cycles           : ";
inline constexpr char kLargestRangeLabel[] = "# Largest range         : ";
inline constexpr char kCycleHeads[] =
    "#      Range        Mean       Count       Start       Close";
inline constexpr char kWaveHeads[] = "#      Start      Period      Height       Crest      Trough";

// One cycle file line: range and mean 1PE12.4, count (1.0 or 0.5) F12.1,
// the times where the cycle starts and closes F12.3.
inline constexpr FieldLayout kCycleRange = {12, 4};
inline constexpr FieldLayout kCycleMean = field_after(kCycleRange, 12, 4);
inline constexpr FieldLayout kCycleCount = field_after(kCycleMean, 12, 1);
inline constexpr FieldLayout kCycleStart = field_after(kCycleCount, 12, 3);
inline constexpr FieldLayout kCycleClose = field_after(kCycleStart, 12, 3);
inline constexpr std::size_t kCycleLineLength = kCycleClose.end();

// One wave file line: start and period F12.3, height, crest and trough
// 1PE12.4.
inline constexpr FieldLayout kWaveStart = {12, 3};
inline constexpr FieldLayout kWavePeriod = field_after(kWaveStart, 12, 3);
inline constexpr FieldLayout kWaveHeight = field_after(kWavePeriod, 12, 4);
inline constexpr FieldLayout kWaveCrest = field_after(kWaveHeight, 12, 4);
inline constexpr FieldLayout kWaveTrough = field_after(kWaveCrest, 12, 4);

// The listing's name: the value of the environment variable FORT36 (its
// name in any case) with the blanks at either end dropped, when it is set,
// even when nothing is left; "fort.36" otherwise. The view points into the
// environment and ends before any trailing blanks.
std::string_view listing_name_from_environment();
// Whether FORT36 is set (in any case), so that the rule above names the listing.
bool listing_name_is_set();

}  // namespace vorna
