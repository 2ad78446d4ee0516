// The files a run writes besides the console, described once for the
// program that writes them and for vorna-plot that reads them back: the
// print file's header labels and field layouts, the listing's field
// layouts and the rule that names the listing, the lines of the cycle and
// wave files.
#pragma once

#include <cstddef>
#include <string_view>

namespace vorna {

// A numeric field: w characters, d decimals (F) or digits after the point
// (1PE).
struct FieldLayout {
  int width;
  int digits;
};

// Lines 2 to 8 of the print file's header block: a 26-character label
// ending in ": ", then one 12-character field.
inline constexpr std::size_t kHeaderLabelLength = 26;
inline constexpr char kStepsLabel[] = "# Time Series steps     : ";
inline constexpr char kFirstTimeLabel[] = "# First Time            : ";
inline constexpr char kLastTimeLabel[] = "# Last  Time            : ";
inline constexpr char kIncrementLabel[] = "# Time Increment        : ";
inline constexpr char kLengthLabel[] = "# Simulation Length     : ";
inline constexpr char kMaxHeightLabel[] = "# Maximum Height        : ";
inline constexpr char kMaxHeightTimeLabel[] = "# Time For max height   : ";
inline constexpr int kHeaderCountWidth = 12;             // I12 of the steps
inline constexpr FieldLayout kHeaderFixed = {12, 3};     // F12.3 of the times
inline constexpr FieldLayout kHeaderExponent = {12, 3};  // 1PE12.3 of the height

// One extremum table line: F12.3 time, 1PE12.4 value, 1PE12.4 height.
inline constexpr FieldLayout kTableTime = {12, 3};
inline constexpr FieldLayout kTableValue = {12, 4};

// One listing line: F15.3 time, 1PE15.5 value.
inline constexpr FieldLayout kListingTime = {15, 3};
inline constexpr FieldLayout kListingValue = {15, 5};

// The cycle and wave files' header blocks: 26-character labels as the print
// file's, each followed by an I12, F12.3 or 1PE12.3 field or a text; the
// last header line heads the columns.
inline constexpr char kSeriesNameLabel[] = "# Series                : ";
inline constexpr char kCycleMethodLabel[] = "# Method                : rainflow";
inline constexpr char kFullCyclesLabel[] = "# Full cycles           : ";
inline constexpr char kHalfCyclesLabel[] = "# Half cycles           : ";
inline constexpr char kLargestRangeLabel[] = "# Largest range         : ";
inline constexpr char kCycleHeads[] =
    "#      Range        Mean       Count       Start       Close";
inline constexpr char kWaveHeads[] = "#      Start      Period      Height       Crest      Trough";

// One cycle file line: range and mean 1PE12.4, count (1.0 or 0.5) F12.1,
// the times where the cycle starts and closes F12.3.
inline constexpr FieldLayout kCycleValue = {12, 4};
inline constexpr FieldLayout kCycleCount = {12, 1};
inline constexpr FieldLayout kCycleTime = {12, 3};

// One wave file line: start and period F12.3, height, crest and trough
// 1PE12.4.
inline constexpr FieldLayout kWaveTime = {12, 3};
inline constexpr FieldLayout kWaveValue = {12, 4};

// The listing's name: the value of the environment variable FORT36 (its
// name in any case) with the blanks at either end dropped, when it is set,
// even when nothing is left; "fort.36" otherwise. The view points into the
// environment and ends before any trailing blanks.
std::string_view listing_name_from_environment();
// Whether FORT36 is set (in any case), so that the rule above names the listing.
bool listing_name_is_set();

}  // namespace vorna
