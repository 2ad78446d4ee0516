// A run's JSON summary as vorna-plot reads it: the keys it uses, whatever
// else the summary holds around them, and one clear place for what is not
// one run's summary.
#include "plot/run_summary.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vorna::plot {
namespace {

struct Good {
  const char* json;
  const char* series;
  const char* print_file;
  const char* listing_file;
  const char* column;
  bool has_band;
  double band;
};

TEST(RunSummary, ReadsTheKeysItUsesAndPassesOverTheRest) {
  const Good cases[] = {
      {R"({"series":"wave.txt","print_file":"/d/wave.prt","listing_file":"/d/wave.lst",)"
       R"("steps":300,"hysteresis":null,"warnings":[]})",
       "wave.txt", "/d/wave.prt", "/d/wave.lst", "", false, 0},
      // Keys of other versions, nested values among them, in any order.
      {R"( { "global_max" : {"value":2.5,"time":[1,2e-3,-0.5]}, "hysteresis": 0.016,)"
       R"( "cycles":[{"range":1,"count":0.5}], "column":"Hs", "series":"a\"b\\c",)"
       R"( "ok":true, "none":false, "print_file":"p.prt", "listing_file":null }
)",
       "a\"b\\c", "p.prt", "", "Hs", true, 0.016},
      {R"({"column":3,"series":"caf\u00e9 \ud83c\udf0a \ufffd\n"})",
       "caf\xC3\xA9 \xF0\x9F\x8C\x8A \xEF\xBF\xBD\n", "", "", "3", false, 0},
      {R"({"column":{"name":"Hs"},"hysteresis":0})", "", "", "", "", true, 0},
      {"{}", "", "", "", "", false, 0},
  };
  auto summary = std::make_unique<RunSummary>();
  for (const Good& good : cases) {
    std::size_t where = 0;
    const char* what = "";
    ASSERT_TRUE(parse_run_summary(good.json, *summary, where, what))
        << good.json << ": " << what << " at " << where;
    EXPECT_STREQ(summary->series, good.series) << good.json;
    EXPECT_STREQ(summary->print_file, good.print_file) << good.json;
    EXPECT_STREQ(summary->listing_file, good.listing_file) << good.json;
    EXPECT_STREQ(summary->column, good.column) << good.json;
    EXPECT_EQ(summary->has_band, good.has_band) << good.json;
    EXPECT_EQ(summary->band, good.band) << good.json;
  }
}

struct Bad {
  const char* json;
  std::size_t where;
  const char* what;
};

TEST(RunSummary, RefusesWhatIsNotOneRunsSummary) {
  const Bad cases[] = {
      {"", 0, "expected '{', the start of vorna's --json summary"},
      {"[1]", 0, "expected '{', the start of vorna's --json summary"},
      {R"({"series":1})", 10, "expected a text in double quotes"},
      {R"({"series":"a)", 12, "a text without its closing double quote"},
      {"{\"series\":\"a\tb\"}", 13, "a control character in a text"},
      {R"({"series":"\x"})", 11, "an unknown escape in a text"},
      {R"({"series":"\u12"})", 11, "a \\u escape without four hex digits"},
      {R"({"steps":012})", 9, "a number with a leading zero"},
      {R"({"steps":1.})", 11, "expected digits after the decimal point"},
      {R"({"hysteresis":-1})", 16, "the band is not a number, 0 or above"},
      {R"({"a" 1})", 5, "expected ':' after a key"},
      {R"({"a":[1 2]})", 8, "expected ',' or ']'"},
      {R"({"a":1 "b":2})", 7, "expected ',' or '}'"},
      {R"({"a":tru})", 5, "expected a value"},
      {"{\"series\":\"a\"}\n{\"series\":\"b\"}\n", 15, "a second run: give the summary of one run"},
      {R"({} x)", 3, "more text after the summary"},
  };
  auto summary = std::make_unique<RunSummary>();
  for (const Bad& bad : cases) {
    std::size_t where = 0;
    const char* what = "";
    ASSERT_FALSE(parse_run_summary(bad.json, *summary, where, what)) << bad.json;
    EXPECT_EQ(where, bad.where) << bad.json;
    EXPECT_STREQ(what, bad.what) << bad.json;
  }
  // Nesting deeper than any summary's is refused, not followed.
  std::string deep = "{\"a\":" + std::string(100, '[') + std::string(100, ']') + "}";
  std::size_t where = 0;
  const char* what = "";
  EXPECT_FALSE(parse_run_summary(deep, *summary, where, what));
  EXPECT_STREQ(what, "values nested too deep");
}

}  // namespace
}  // namespace vorna::plot
