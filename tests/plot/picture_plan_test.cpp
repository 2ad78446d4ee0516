// The picture of a run between reading and drawing: what the plan shows and
// notes for what the files hold and the command line asks, and the layout
// that keeps every panel inside the margins or drops the detail panel with
// a note.
#include "plot/picture_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plot/picture_layout.h"
#include "plot/picture_text.h"

namespace vorna::plot {
namespace {

void set_field(HeaderField& field, const char* text, double value) {
  std::strcpy(field.text, text);
  field.value = {FieldKind::kNumber, value};
}

// The files of an even record of 300 samples 0.1 apart with 18 extrema, as
// the readers leave them; large, so on the heap.
struct RunFiles {
  std::unique_ptr<PrintFile> file = std::make_unique<PrintFile>();
  std::unique_ptr<Listing> listing = std::make_unique<Listing>();
  PictureTexts texts;

  RunFiles() {
    PrintFile& f = *file;
    std::strcpy(f.stamp, "Date : 2026-12-10 04:15:20");
    f.stamp_length = std::strlen(f.stamp);
    f.steps = 300;
    set_field(f.steps_text, "         300", 300);
    set_field(f.first_time, "       0.000", 0.0);
    set_field(f.last_time, "      29.900", 29.9);
    set_field(f.increment, "       0.100", 0.1);
    set_field(f.max_height, "   4.176E+00", 4.176);
    set_field(f.time_of_max_height, "      16.600", 16.6);
    f.extremum_count = f.stored_extrema = 18;
    f.pair = {true,
              {FieldKind::kNumber, 15.0},
              {FieldKind::kNumber, -1.8},
              {FieldKind::kNumber, 16.6},
              {FieldKind::kNumber, 2.3},
              12};
    Listing& l = *listing;
    l.lines = l.timed_samples = l.valued_samples = 300;
    l.times = {0.0, 29.9};
    l.timed_values = l.values = {-2.7, 2.6};
    l.numbers = {1, 300};
    std::strcpy(l.first_time, "0.000");
    std::strcpy(l.last_time, "29.900");
  }
};

// What a plan shows: its axes' mode, the extrema, the pair, the detail.
struct Shown {
  XMode mode;
  bool mark_extrema, draw_pair, detail;
};

struct PlanCase {
  const char* name;
  std::function<void(RunFiles&)> change;
  Shown shown;
  std::vector<std::string> notes;
};

TEST(PicturePlan, ShowsAndNotesWhatTheFilesHold) {
  const std::string by_number = "samples drawn by their number; extrema not placed.";
  const PlanCase cases[] = {
      {"an even record", [](RunFiles&) {}, {XMode::kTime, true, true, false}, {}},
      {"times that cannot be told apart",
       [](RunFiles& r) {
         r.listing->times = {5.0, 5.0};
       },
       {XMode::kNumber, false, false, false},
       {"The listing's times cannot be told apart: " + by_number}},
      {"a time increment of 0",
       [](RunFiles& r) {
         r.listing->times = {0.0, 0.0};
         set_field(r.file->increment, "       0.000", 0.0);
       },
       {XMode::kNumber, false, false, false},
       {"Time increment 0.000: " + by_number}},
      {"more extrema than the width marks",
       [](RunFiles& r) { r.file->extremum_count = 200; },
       {XMode::kTime, false, true, false},
       {"200 extrema: too many to mark at this width."}},
      {"no samples",
       [](RunFiles& r) {
         r.file->steps = r.listing->lines = 0;
         r.listing->timed_samples = r.listing->valued_samples = 0;
         r.listing->times = r.listing->values = Range();
       },
       {XMode::kNothing, false, false, false},
       {"The series has no samples."}},
      {"a detail window of a sixth of the record",
       [](RunFiles& r) {
         r.listing->detail.first = 101;
         r.listing->detail.last = 150;
       },
       {XMode::kTime, true, true, true},
       {}},
      {"a detail window of half the record",
       [](RunFiles& r) {
         r.listing->detail.first = 1;
         r.listing->detail.last = 150;
       },
       {XMode::kTime, true, true, false},
       {}},
      {"a band, two gaps and no detail asked",
       [](RunFiles& r) {
         r.listing->detail.first = 101;
         r.listing->detail.last = 150;
         r.listing->time_gaps = 2;
         r.texts.detail = false;
         r.texts.hysteresis = "0.5";
       },
       {XMode::kTime, true, true, false},
       {"2 gaps in time (a step over 1.5 time increments): the line breaks there.",
        "Extrema: the reversals that the series moves back from by at least 0.5 (vorna "
        "--hysteresis)."}},
      {"a last time the listing does not reach",
       [](RunFiles& r) { std::strcpy(r.listing->last_time, "28.400"); },
       {XMode::kTime, true, true, false},
       {"The print file's Last Time 29.900 is not the listing's last time 28.400 (uneven "
        "sampling?): drawn as the listing says."}},
  };
  for (const PlanCase& c : cases) {
    RunFiles run;
    c.change(run);
    const Plan plan = plan_picture(*run.file, *run.listing, 1000, run.texts);
    EXPECT_EQ(plan.mode, c.shown.mode) << c.name;
    EXPECT_EQ(plan.mark_extrema, c.shown.mark_extrema) << c.name;
    EXPECT_EQ(plan.draw_pair, c.shown.draw_pair) << c.name;
    EXPECT_EQ(plan.detail, c.shown.detail) << c.name;
    EXPECT_EQ(plan.reversals, run.texts.hysteresis != nullptr) << c.name;
    std::vector<std::string> notes(plan.notes.text, plan.notes.text + plan.notes.count);
    EXPECT_EQ(notes, c.notes) << c.name;
  }
}

bool inside(const Panel& panel, const Layout& layout) {
  const double margin = layout.f.margin;
  return panel.left >= margin && panel.right <= layout.width - margin && panel.left < panel.right &&
         panel.top >= margin && panel.bottom <= layout.height - margin && panel.top < panel.bottom;
}

// At every size the panels stay inside the margins, the detail panel under
// the plot; where it leaves either too low, it is dropped with a note.
TEST(PictureLayout, KeepsThePanelsInsideOrDropsTheDetailWithANote) {
  const struct {
    int width, height, extra_notes;
    bool detail;
  } cases[] = {{2400, 1000, 0, true},
               {1200, 500, 0, true},
               {600, 300, 0, true},
               {1200, 300, 7, false},
               {300, 300, 6, false}};
  for (const auto& c : cases) {
    RunFiles run;
    run.listing->detail.first = 101;
    run.listing->detail.last = 150;
    for (std::int64_t k = 101; k <= 150; ++k) {
      const double at = static_cast<double>(k - 1);
      run.listing->detail.samples[DetailWindow::slot(k)] = {k, 0.1 * at, std::sin(0.3 * at)};
    }
    Plan plan = plan_picture(*run.file, *run.listing, 1000, run.texts);
    for (int i = 0; i < c.extra_notes; ++i) plan.notes.add("A note.");
    const Quoted q = quoted_texts(*run.file);
    auto layout = std::make_unique<Layout>();
    lay_out(*run.file, *run.listing, plan, q, {c.width, c.height}, *layout);
    const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
    EXPECT_EQ(plan.detail, c.detail) << size;
    EXPECT_TRUE(inside(layout->overview, *layout)) << size;
    if (plan.detail) {
      EXPECT_TRUE(inside(layout->detail, *layout)) << size;
      EXPECT_GT(layout->detail.top, layout->overview.bottom) << size;
      EXPECT_GE(layout->detail.bottom - layout->detail.top, 3 * layout->f.base) << size;
    } else {
      EXPECT_STREQ(plan.notes.text[plan.notes.count - 1],
                   "No room for the detail panel at this height.")
          << size;
    }
    EXPECT_GE(layout->overview.top,
              layout->notes_top + kLineHeight * layout->f.note * plan.notes.count)
        << size;
  }
}

}  // namespace
}  // namespace vorna::plot
