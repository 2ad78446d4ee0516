// What a reader of the picture relies on, at the sizes it is looked at:
// one precision for the tick labels of an axis, text of 10 pixels at least,
// a detail panel only when it shows less than half the record, a gap in
// time drawn as a break, and values near the smallest doubles drawn with a
// note and labels that do not read as subtractions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "plot/run_command.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

const std::string kSourceDir = VORNA_SOURCE_DIR;
const char* const kSizes[][2] = {{"300", "300"}, {"600", "300"}, {"1200", "500"}, {"2400", "1000"}};

// The picture of a dialogue run on series at a size.
std::string picture_of(const TempDir& directory, const std::string& series, const char* width,
                       const char* height) {
  write_file(directory.file("series.txt"), series);
  EXPECT_EQ(run_vorna(directory.path(), "out.prt\nseries.txt\n\n\n").status, 0);
  const RunResult plot = run_plot(
      directory.path(),
      {"out.prt", "fort.36", std::string("--width=") + width, std::string("--height=") + height});
  EXPECT_EQ(plot.status, 0) << plot.err;
  return plot.out;
}

// The texts of the elements in svg from at to the end of its group.
std::vector<std::string> texts_in_group(const std::string& svg, std::size_t at,
                                        const std::string& anchor) {
  std::vector<std::string> texts;
  const std::size_t end = svg.find("</g>", at);
  const std::string head = "text-anchor=\"" + anchor + "\">";
  for (std::size_t open = svg.find(head, at); open < end; open = svg.find(head, open + 1)) {
    const std::size_t begin = open + head.size();
    texts.push_back(svg.substr(begin, svg.find("</text>", begin) - begin));
  }
  return texts;
}

int decimals_of(const std::string& label) {
  const std::size_t point = label.find('.');
  return point == std::string::npos ? 0 : static_cast<int>(label.size() - point - 1);
}

TEST(PlotPicturePoints, TickLabelsOfAnAxisShareOnePrecision) {
  for (const char* series : {"wave.txt", "swell.txt"}) {
    for (const auto& size : kSizes) {
      TempDir directory;
      const std::string svg =
          picture_of(directory, read_file(kSourceDir + "/examples/" + series), size[0], size[1]);
      int groups = 0;
      for (std::size_t at = svg.find("class=\"tick-labels\""); at != std::string::npos;
           at = svg.find("class=\"tick-labels\"", at + 1), ++groups) {
        for (const char* anchor : {"middle", "end"}) {
          const std::vector<std::string> labels = texts_in_group(svg, at, anchor);
          ASSERT_GE(labels.size(), 2u) << series << " " << size[0];
          for (const std::string& label : labels) {
            EXPECT_EQ(decimals_of(label), decimals_of(labels[0]))
                << series << " at " << size[0] << "x" << size[1] << ": " << label << " beside "
                << labels[0];
          }
        }
      }
      EXPECT_GE(groups, 1) << series;
    }
  }
}

TEST(PlotPicturePoints, TextIsTenPixelsAtLeastAndTheDetailUnderHalfTheRecord) {
  for (const char* series : {"wave.txt", "swell.txt"}) {
    for (const auto& size : kSizes) {
      TempDir directory;
      const std::string svg =
          picture_of(directory, read_file(kSourceDir + "/examples/" + series), size[0], size[1]);
      const std::string what = std::string(series) + " at " + size[0] + "x" + size[1];
      for (std::size_t at = svg.find("font-size=\""); at != std::string::npos;
           at = svg.find("font-size=\"", at + 1)) {
        EXPECT_GE(std::stod(svg.substr(at + 11)), 10.0) << what;
      }
      const std::size_t shown = svg.find("a detail panel below shows samples ");
      if (shown == std::string::npos) continue;
      long long first = 0, last = 0;
      ASSERT_EQ(std::sscanf(svg.c_str() + shown, "a detail panel below shows samples %lld to %lld",
                            &first, &last),
                2);
      const long long samples = std::string(series) == "wave.txt" ? 300 : 6000;
      EXPECT_LT(2 * (last - first + 1), samples) << what;
    }
  }
}

// A record whose times jump by 5.0 after time 1.5: the listing and the
// extremum table as a run with the times of the file would write them.
std::string moved_later(const std::string& file, std::size_t time_width) {
  std::string moved;
  for (std::size_t begin = 0, end; (end = file.find("\r\n", begin)) != std::string::npos;
       begin = end + 2) {
    std::string line = file.substr(begin, end - begin);
    const double time = std::atof(line.substr(0, time_width).c_str());
    if (line[0] != '#' && time > 1.5) {
      char field[32];
      std::snprintf(field, sizeof field, "%*.3f", static_cast<int>(time_width), time + 5.0);
      line.replace(0, time_width, field);
    }
    moved += line + "\r\n";
  }
  return moved;
}

TEST(PlotPicturePoints, GapInTimeIsABreakInTheLine) {
  TempDir directory;
  write_file(directory.file("series.txt"), "0 0\n0.5 2\n1 1\n1.5 3\n2 0\n2.5 2\n3 1\n3.5 3\n");
  ASSERT_EQ(run_vorna(directory.path(), "out.prt\nseries.txt\n\n\n").status, 0);
  write_file(directory.file("gap.prt"), moved_later(read_file(directory.file("out.prt")), 12));
  write_file(directory.file("gap.lst"), moved_later(read_file(directory.file("fort.36")), 15));
  const RunResult plot = run_plot(directory.path(), {"gap.prt", "gap.lst"});
  ASSERT_EQ(plot.status, 0) << plot.err;
  const std::size_t path = plot.out.find("<path class=\"series\"");
  ASSERT_NE(path, std::string::npos);
  const std::string d = plot.out.substr(path, plot.out.find("/>", path) - path);
  std::vector<char> commands;
  for (char c : d) {
    if (c == 'M' || c == 'L') commands.push_back(c);
  }
  EXPECT_EQ(std::string(commands.begin(), commands.end()), "MLLLMLLL");
  EXPECT_NE(plot.out.find(">1 gap in time (a step over 1.5 time increments): the line breaks "
                          "there.</text>"),
            std::string::npos);
}

TEST(PlotPicturePoints, ValuesNearTheSmallestDoublesAreDrawnWithANote) {
  TempDir directory;
  const std::string svg = picture_of(directory,
                                     "0 4.9406564584124654E-324\n1 -4.9406564584124654E-324\n"
                                     "2 0\n3 9.8813129168249309E-324\n4 0\n",
                                     "600", "300");
  EXPECT_NE(svg.find("the value axis is labelled at its ends.</text>"), std::string::npos);
  // The legend's height, and the value labels, in the exponent form with
  // its letter and the minus sign.
  EXPECT_NE(svg.find(">max height 1.482E\xE2\x88\x92"
                     "323 at 3.000</text>"),
            std::string::npos);
  const std::vector<std::string> labels =
      texts_in_group(svg, svg.find("class=\"tick-labels\""), "end");
  ASSERT_EQ(labels.size(), 2u);
  for (const std::string& label : labels) {
    EXPECT_NE(label.find("E\xE2\x88\x92"
                         "32"),
              std::string::npos)
        << label;
  }
  // Five points at five heights, the lowest and the highest far apart.
  const std::size_t path = svg.find("<path class=\"series\"");
  ASSERT_NE(path, std::string::npos);
  std::vector<double> heights;
  for (std::size_t at = svg.find_first_of("ML", path); at < svg.find("/>", path);
       at = svg.find_first_of("ML", at + 1)) {
    double x = 0, y = 0;
    ASSERT_EQ(std::sscanf(svg.c_str() + at + 1, "%lf %lf", &x, &y), 2);
    heights.push_back(y);
  }
  ASSERT_EQ(heights.size(), 5u);
  EXPECT_GT(heights[1] - heights[3], 100.0);  // -1 ulp is well below +2 ulps
  EXPECT_LT(heights[2], heights[1]);
  EXPECT_GT(heights[2], heights[0]);
}

}  // namespace
}  // namespace vorna_test
