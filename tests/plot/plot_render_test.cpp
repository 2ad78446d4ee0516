// Pictures rendered by a real SVG renderer (rsvg-convert) and read back
// pixel by pixel: nothing is drawn in the outer two pixels at any size, so
// no glyph or mark is cut at the edge; the detail panel and the texts the
// command line gives appear where they should.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "plot/run_command.h"
#include "support/run_vorna.h"

#ifdef VORNA_HAVE_LIBPNG
#include <png.h>
#endif

namespace vorna_test {
namespace {

// A series that asks much of the layout: wide negative values, 2600
// samples in the window from time 0 (more than the columns of most sizes).
std::string demanding_series() {
  std::string series;
  char line[96];
  for (int k = 0; k < 3000; ++k) {
    std::snprintf(line, sizeof line, "%.2f %.6f\n", k * 0.25 - 100.0,
                  -123456.789 + 1000.0 * std::sin(k / 40.0) + 30.0 * std::sin(k * 1.0));
    series += line;
  }
  return series;
}

const char kLongTitle[] =
    "Wave probe 3, \xC3\xA9t\xC3\xA9 2026: elevation of the sea surface against time & "
    "<everything> a report could want to say about it, and more";

#ifdef VORNA_HAVE_LIBPNG
// The pixels of a PNG as RGBA rows; false when it cannot be read.
bool read_png(const std::string& bytes, std::vector<unsigned char>& pixels, unsigned& width,
              unsigned& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  image.format = PNG_FORMAT_RGBA;
  pixels.resize(PNG_IMAGE_SIZE(image));
  width = image.width;
  height = image.height;
  return png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
}
#endif

struct RenderCase {
  int width, height;
  const char* zoom;  // rendered smaller, so that the picture fits in memory
  int border;        // pixels of the rendered picture that must stay white
};

TEST(PlotRender, NothingIsDrawnInTheOuterTwoPixels) {
#ifndef VORNA_HAVE_LIBPNG
  GTEST_SKIP() << "libpng is not installed (Debian package libpng-dev)";
#else
  const std::string rsvg = find_on_path("rsvg-convert");
  if (rsvg.empty()) GTEST_SKIP() << "rsvg-convert is not installed (Debian package librsvg2-bin)";
  TempDir directory;
  write_file(directory.file("series.txt"), demanding_series());
  ASSERT_EQ(run_vorna(directory.path(), "out.prt\nseries.txt\n\n\n").status, 0);
  const RenderCase cases[] = {
      {300, 300, "1", 2}, {600, 300, "1", 2}, {1200, 500, "1", 2}, {10000, 10000, "0.1", 2}};
  for (const RenderCase& c : cases) {
    for (const bool titled : {false, true}) {
      const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
      std::vector<std::string> arguments = {"out.prt", "-o", "out.svg",
                                            "--width=" + std::to_string(c.width),
                                            "--height=" + std::to_string(c.height)};
      if (titled) arguments.push_back(std::string("--title=") + kLongTitle);
      const RunResult plot = run_plot(directory.path(), arguments);
      ASSERT_EQ(plot.status, 0) << size << ": " << plot.err;
      const RunResult render =
          run_command(directory.path(), {rsvg, "--zoom", c.zoom, "out.svg", "-o", "out.png"});
      ASSERT_EQ(render.status, 0) << size << ": " << render.err;
      std::vector<unsigned char> pixels;
      unsigned width = 0, height = 0;
      ASSERT_TRUE(read_png(read_file(directory.file("out.png")), pixels, width, height)) << size;
      int drawn = 0;
      std::string first;
      for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
          const bool edge = x < unsigned(c.border) || y < unsigned(c.border) ||
                            x >= width - c.border || y >= height - c.border;
          const unsigned char* p = &pixels[(std::size_t{y} * width + x) * 4];
          if (!edge || (p[0] == 255 && p[1] == 255 && p[2] == 255)) continue;
          if (drawn++ == 0) first = std::to_string(x) + "," + std::to_string(y);
        }
      }
      EXPECT_EQ(drawn, 0) << size << (titled ? " titled" : "") << ": first at " << first;
    }
  }
#endif
}

TEST(PlotRender, DetailPanelShowsEverySampleAroundTheMaximumHeight) {
  TempDir directory;
  write_file(directory.file("series.txt"), demanding_series());
  ASSERT_EQ(run_vorna(directory.path(), "out.prt\nseries.txt\n\n\n").status, 0);
  const RunResult plot = run_plot(directory.path(), {"out.prt", "-o", "out.svg"});
  ASSERT_EQ(plot.status, 0) << plot.err;
  const std::string svg = read_file(directory.file("out.svg"));
  // The window starts at time 0, as vorna's answers leave it.
  EXPECT_NE(svg.find("<title>out.prt: 2600 steps, time 0.000 to 649.750</title>"),
            std::string::npos);
  const std::size_t detail = svg.find("<g id=\"detail\">");
  ASSERT_NE(detail, std::string::npos);
  EXPECT_NE(svg.find("<rect id=\"detail-range\""), std::string::npos);
  EXPECT_NE(svg.find(">detail range</text>"), std::string::npos);
  // The caption names the samples; one point of the line per sample.
  const std::size_t caption = svg.find("Detail around the maximum height: samples ", detail);
  ASSERT_NE(caption, std::string::npos);
  long long first = 0, last = 0;
  ASSERT_EQ(std::sscanf(svg.c_str() + caption,
                        "Detail around the maximum height: samples %lld to "
                        "%lld, every sample",
                        &first, &last),
            2);
  EXPECT_NE(svg.find(", every sample</text>", caption), std::string::npos);
  const std::size_t path = svg.find("<path class=\"series\"", detail);
  ASSERT_NE(path, std::string::npos);
  const std::string d = svg.substr(path, svg.find("/>", path) - path);
  std::size_t points = 0;
  for (char c : d) points += c == 'M' || c == 'L';
  EXPECT_EQ(points, static_cast<std::size_t>(last - first + 1));
  // The pair and its measure are drawn again in the panel.
  EXPECT_NE(svg.find("<g id=\"detail-max-height\"", detail), std::string::npos);

  const RunResult without = run_plot(directory.path(), {"out.prt", "--no-detail"});
  ASSERT_EQ(without.status, 0) << without.err;
  EXPECT_EQ(without.out.find("id=\"detail"), std::string::npos);
}

TEST(PlotRender, TitleAndAxisLabelsFromTheCommandLine) {
  TempDir directory;
  write_file(directory.file("series.txt"), demanding_series());
  ASSERT_EQ(run_vorna(directory.path(), "out.prt\nseries.txt\n\n\n").status, 0);
  const RunResult plot = run_plot(directory.path(), {"out.prt", "--title=Probe 3 & \"sea\"",
                                                     "--xlabel=t (s)", "--ylabel=\xCE\xB7 (mm)"});
  ASSERT_EQ(plot.status, 0) << plot.err;
  EXPECT_NE(plot.out.find("<title>Probe 3 &amp; &quot;sea&quot;</title>"), std::string::npos);
  EXPECT_NE(plot.out.find(">Probe 3 &amp; &quot;sea&quot;</tspan>"), std::string::npos);
  EXPECT_NE(plot.out.find(">t (s)</text>"), std::string::npos);
  EXPECT_NE(plot.out.find(" rotate(-90)\">\xCE\xB7 (mm)</text>"), std::string::npos);
  // Negative values take the minus sign, never a hyphen.
  EXPECT_NE(plot.out.find(">\xE2\x88\x92"
                          "12"),
            std::string::npos);
  EXPECT_EQ(plot.out.find(">-"), std::string::npos);
  // A title too long for the width ends in an ellipsis.
  const RunResult narrow = run_plot(directory.path(), {"out.prt", "--width=300", "--height=300",
                                                       std::string("--title=") + kLongTitle});
  ASSERT_EQ(narrow.status, 0) << narrow.err;
  EXPECT_NE(narrow.out.find("\xE2\x80\xA6</tspan>"), std::string::npos);
}

}  // namespace
}  // namespace vorna_test
