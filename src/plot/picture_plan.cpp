#include "plot/picture_plan.h"

#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <string_view>

#include "plot/ticks.h"
#include "text/formatted_text.h"

namespace vorna::plot {

void Notes::add(const char* format, ...) {
  if (count == kMax) return;
  std::va_list arguments;
  va_start(arguments, format);
  format_text_v(text[count++], sizeof text[0], format, arguments);
  va_end(arguments);
}

namespace {

double clamp_finite(double v) { return std::fmin(std::fmax(v, -DBL_MAX), DBL_MAX); }

long long as_count(std::int64_t n) { return static_cast<long long>(n); }

const char* samples(std::int64_t n) { return n == 1 ? "sample" : "samples"; }

void choose_axes(const Listing& listing, Plan& plan) {
  if (listing.times.low < listing.times.high ||
      (listing.timed_samples == 1 && listing.valued_samples == 1)) {
    plan.mode = XMode::kTime;
    plan.x_low = listing.times.low;
    plan.x_high = listing.times.high;
    plan.y_low = listing.timed_values.low;
    plan.y_high = listing.timed_values.high;
  } else if (listing.valued_samples > 0) {
    plan.mode = XMode::kNumber;
    plan.x_low = listing.numbers.low;
    plan.x_high = listing.numbers.high;
    plan.y_low = listing.values.low;
    plan.y_high = listing.values.high;
  } else {
    plan.mode = XMode::kNothing;
    return;
  }
  widen_single(plan.x_low, plan.x_high);
  widen_single(plan.y_low, plan.y_high);
  pad(plan.y_low, plan.y_high, 0.05);
}

void note_no_samples(const PrintFile& file, Notes& notes) {
  if (file.steps == 0) {
    notes.add("The series has no samples.");
  } else {
    notes.add("No sample of the listing has both a time and a value to draw.");
  }
}

void note_samples_by_number(const PrintFile& file, Notes& notes) {
  if (file.increment.value.is_number() && file.increment.value.value == 0.0) {
    notes.add("Time increment %.*s: samples drawn by their number; extrema not placed.",
              static_cast<int>(file.increment.shown().size()), file.increment.shown().data());
  } else {
    notes.add(
        "The listing's times cannot be told apart: samples drawn by their number; "
        "extrema not placed.");
  }
}

void note_left_out_samples(const PrintFile& file, const Listing& listing, Plan& plan) {
  Notes& notes = plan.notes;
  if (plan.mode == XMode::kNothing) {
    note_no_samples(file, notes);
    return;
  }
  if (plan.mode == XMode::kTime && listing.time_asterisks > 0) {
    notes.add(
        "Left out: %lld %s with asterisks for the time in the listing (too wide for the "
        "field).",
        as_count(listing.time_asterisks), samples(listing.time_asterisks));
  }
  if (plan.mode == XMode::kTime && listing.time_words > 0) {
    notes.add("Left out: %lld %s with NaN or Infinity for the time.", as_count(listing.time_words),
              samples(listing.time_words));
  }
  if (listing.value_not_number > 0) {
    notes.add(
        "Left out: %lld %s with a value that is not a number (NaN, Infinity or "
        "asterisks).",
        as_count(listing.value_not_number), samples(listing.value_not_number));
  }
  if (plan.mode == XMode::kNumber) note_samples_by_number(file, notes);
}

void plan_extremum_dots(const PrintFile& file, int columns, Plan& plan) {
  Notes& notes = plan.notes;
  if (file.extremum_count > columns / kColumnsPerMarker) {
    notes.add("%lld extrema: too many to mark at this width.", as_count(file.extremum_count));
    return;
  }
  plan.mark_extrema = file.stored_extrema > 0;
  if (file.unplaceable_extrema > 0) {
    notes.add(
        "Left out: %lld %s with a time or value that is not a number (asterisks, NaN "
        "or Infinity).",
        as_count(file.unplaceable_extrema), file.unplaceable_extrema == 1 ? "extremum" : "extrema");
  }
}

void plan_pair(const PrintFile& file, Plan& plan) {
  const MaxHeightPair& pair = file.pair;
  if (!pair.found) {
    plan.notes.add(file.extremum_count < 2
                       ? "Fewer than two extrema: no height to mark."
                       : "No two successive extrema differ: no height to mark.");
  } else if (pair.from_time.is_number() && pair.from_value.is_number() &&
             pair.to_time.is_number() && pair.to_value.is_number()) {
    plan.draw_pair = true;
  } else {
    plan.notes.add("The pair of extrema of the maximum height cannot be placed.");
  }
}

void plan_extrema(const PrintFile& file, int columns, Plan& plan) {
  if (plan.mode != XMode::kTime) return;
  plan_extremum_dots(file, columns, plan);
  plan_pair(file, plan);
}

// The header's times are the series reader's; the listing's are rebuilt on
// an even grid. Uneven sampling parts them: the picture follows the listing.
void note_header_against_listing(const PrintFile& file, const Listing& listing, Plan& plan) {
  if (listing.lines == 0) return;
  const struct {
    const HeaderField& field;
    const char* name;
    const char* listing_time;
    const char* which;
  } ends[] = {{file.first_time, "First Time", listing.first_time, "first"},
              {file.last_time, "Last Time", listing.last_time, "last"}};
  for (const auto& end : ends) {
    const std::string_view header = end.field.shown();
    const char lead = end.listing_time[0];
    const bool listing_number = (lead >= '0' && lead <= '9') || lead == '-' || lead == '.';
    if (!end.field.value.is_number() || !listing_number || header == end.listing_time) continue;
    plan.notes.add(
        "The print file's %s %.*s is not the listing's %s time %s (uneven sampling?): drawn as "
        "the listing says.",
        end.name, static_cast<int>(header.size()), header.data(), end.which, end.listing_time);
  }
}

// Values so close together that no round step parts them (near the
// smallest doubles) are drawn all the same, their axis labelled at its ends.
void note_tiny_values(Plan& plan) {
  if (plan.mode == XMode::kNothing || choose_ticks(plan.y_low, plan.y_high, 2).count >= 2) return;
  plan.notes.add(
      "The values lie too close together for round ticks (near the smallest doubles): the "
      "value axis is labelled at its ends.");
}

void note_time_gaps(const Listing& listing, Plan& plan) {
  if (plan.mode != XMode::kTime || listing.time_gaps == 0) return;
  plan.notes.add("%lld %s in time (a step over 1.5 time increments): the line breaks there.",
                 as_count(listing.time_gaps), listing.time_gaps == 1 ? "gap" : "gaps");
}

// A detail panel of half the record or more shows little that the plot
// above it does not.
bool detail_worth_showing(const Listing& listing) {
  const DetailWindow& window = listing.detail;
  return window.shown() && 2 * (window.last - window.first + 1) < listing.lines;
}

void note_reversals(const PictureTexts& texts, Plan& plan) {
  if (texts.hysteresis == nullptr) return;
  plan.reversals = true;
  plan.notes.add(
      "Extrema: the reversals that the series moves back from by at least %s "
      "(vorna --hysteresis).",
      texts.hysteresis);
}

}  // namespace

void widen_single(double& low, double& high) {
  if (low < high) return;
  const double half = low != 0.0 ? std::fabs(low) * 0.1 : 1.0;
  const double centre = low;
  low = clamp_finite(centre - half);
  high = clamp_finite(centre + half);
  if (!(low < high)) {
    low = std::nextafter(centre, -DBL_MAX);
    high = std::nextafter(centre, DBL_MAX);
  }
}

void pad(double& low, double& high, double fraction) {
  const double span = high - low;
  const double margin =
      std::isfinite(span) ? span * fraction : (high * 0.5 - low * 0.5) * (2.0 * fraction);
  low = std::fmin(clamp_finite(low - margin), std::nextafter(low, -DBL_MAX));
  high = std::fmax(clamp_finite(high + margin), std::nextafter(high, DBL_MAX));
}

Plan plan_picture(const PrintFile& file, const Listing& listing, int columns,
                  const PictureTexts& texts) {
  Plan plan;
  choose_axes(listing, plan);
  note_left_out_samples(file, listing, plan);
  plan_extrema(file, columns, plan);
  if (file.header_asterisks) {
    plan.notes.add(
        "Some values of the print file's header are asterisks (too wide for "
        "their fields).");
  }
  note_header_against_listing(file, listing, plan);
  note_time_gaps(listing, plan);
  note_tiny_values(plan);
  plan.detail = texts.detail && plan.draw_pair && detail_worth_showing(listing);
  note_reversals(texts, plan);
  return plan;
}

}  // namespace vorna::plot
