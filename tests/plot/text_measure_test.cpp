// Text in the picture: UTF-8 decoding, XML escaping by the SVG writer, and
// measured widths with the ellipsis that shortens a text.
#include "plot/text_measure.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "plot/svg_output.h"

namespace vorna::plot {
namespace {

// What SvgOutput::escaped writes for raw, read back through a pipe.
std::string escaped(const std::string& raw) {
  int pipe_ends[2];
  EXPECT_EQ(pipe(pipe_ends), 0);
  {
    static SvgOutput* out = nullptr;
    static char storage[sizeof(SvgOutput)];
    out = new (storage) SvgOutput(pipe_ends[1]);
    out->escaped(raw);
    EXPECT_TRUE(out->finish());
    out->~SvgOutput();
  }
  close(pipe_ends[1]);
  std::string written;
  char buffer[4096];
  ssize_t got;
  while ((got = read(pipe_ends[0], buffer, sizeof buffer)) > 0) {
    written.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipe_ends[0]);
  return written;
}

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(SvgEscaping, MarkupControlsAndUtf8) {
  const struct {
    const char* name;
    std::string raw, expected;
  } cases[] = {
      {"plain", "Run 7 (m)", "Run 7 (m)"},
      {"markup", "a & b < c > d \" e ' f", "a &amp; b &lt; c &gt; d &quot; e &#39; f"},
      {"entity stays text", "&amp;", "&amp;amp;"},
      {"controls",
       std::string("a\x01"
                   "b\tc\nd\x7f",
                   8),
       "a" + kReplacement + "b" + kReplacement + "c" + kReplacement + "d\x7f"},
      {"nul", std::string("a\0b", 3), "a" + kReplacement + "b"},
      {"two-byte",
       "\xC3\xBC"
       "ber \xCE\xBC"
       "m",
       "\xC3\xBC"
       "ber \xCE\xBC"
       "m"},
      {"three-byte",
       "\xE2\x88\x92"
       "1 \xE2\x80\xA6",
       "\xE2\x88\x92"
       "1 \xE2\x80\xA6"},
      {"four-byte", "\xF0\x9F\x93\x88", "\xF0\x9F\x93\x88"},
      {"stray continuation", "a\x80z", "a" + kReplacement + "z"},
      {"overlong slash", "\xC0\xAF", kReplacement + kReplacement},
      {"overlong three-byte", "\xE0\x80\xAF", kReplacement + kReplacement + kReplacement},
      {"surrogate", "\xED\xA0\x80", kReplacement + kReplacement + kReplacement},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80",
       std::string() + kReplacement + kReplacement + kReplacement + kReplacement},
      {"cut at the end", "ab\xE2\x88", "ab" + kReplacement + kReplacement},
      {"not a character", "\xEF\xBF\xBE", kReplacement},
      {"latin-1 byte", "caf\xE9!", "caf" + kReplacement + "!"},
  };
  for (const auto& c : cases) EXPECT_EQ(escaped(c.raw), c.expected) << c.name;
}

TEST(TextMeasure, WidthsFromTheFontTable) {
  // DejaVu Sans: "0" is 636/1000 of the size, "i" 278, "W" 989, the
  // minus sign 838; a code point outside the table a full square.
  EXPECT_DOUBLE_EQ(text_width("0", 10.0), 6.36);
  EXPECT_DOUBLE_EQ(text_width("iW", 10.0), 12.67);
  EXPECT_DOUBLE_EQ(text_width("\xE2\x88\x92"
                              "1",
                              20.0),
                   20.0 * (0.838 + 0.636));
  EXPECT_DOUBLE_EQ(text_width("\xE6\x97\xA5", 10.0), 10.0);
  EXPECT_DOUBLE_EQ(text_width("", 10.0), 0.0);
  EXPECT_DOUBLE_EQ(text_width("0", 10.0, true), 6.36 * 1.1);
  // A malformed byte is one square, never a crash or a skip.
  EXPECT_DOUBLE_EQ(text_width("\xFF", 10.0), 10.0);
}

TEST(TextMeasure, ShortensBetweenCodePointsWithRoomForTheEllipsis) {
  const std::string text = "\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC";  // four u-umlauts, 1000 each
  EXPECT_EQ(fitting_prefix(text, 10.0, 40.0), text.size());     // fits whole
  EXPECT_EQ(fitting_prefix(text, 10.0, 39.9), 4u);              // two and the ellipsis
  EXPECT_EQ(fitting_prefix(text, 10.0, 20.0), 2u);              // one and the ellipsis
  EXPECT_EQ(fitting_prefix(text, 10.0, 5.0), 0u);               // the ellipsis alone
  const std::string digits = "0123456789";
  const std::size_t fits = fitting_prefix(digits, 12.0, 50.0);
  EXPECT_LE(text_width(digits.substr(0, fits), 12.0) + text_width(kEllipsis, 12.0), 50.0);
  EXPECT_GT(text_width(digits.substr(0, fits + 1), 12.0) + text_width(kEllipsis, 12.0), 50.0);
}

}  // namespace
}  // namespace vorna::plot
