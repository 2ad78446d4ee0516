#include "driver/json_writer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vorna {
namespace {

void append(void* context, const char* bytes, std::size_t count) {
  static_cast<std::string*>(context)->append(bytes, count);
}

template <typename Write>
std::string written(Write write) {
  std::string out;
  JsonWriter json(append, &out);
  write(json);
  json.flush();
  return out;
}

TEST(JsonWriter, StringsAreEscapedAsJsonRequires) {
  const struct {
    std::string text;
    std::string json;
  } cases[] = {
      {"wave.txt", R"("wave.txt")"},
      {"", R"("")"},
      {"say \"hi\"", R"("say \"hi\"")"},
      {"C:\\data\\", R"("C:\\data\\")"},
      {"tab\there", R"("tab\u0009here")"},
      {"cr\r\nlf", R"("cr\u000d\u000alf")"},
      {"\x01\x1f", R"("\u0001\u001f")"},
      // A blank, a slash, DEL and bytes above 127 need no escape.
      {" /\x7f", "\" /\x7f\""},
      {"\xc3\xa9t\xc3\xa9", "\"\xc3\xa9t\xc3\xa9\""},
      // Bytes outside valid UTF-8 (a stray byte, a cut or overlong form).
      {"c\xff.txt", R"("c\ufffd.txt")"},
      {"\x9b\xc3", R"("\ufffd\ufffd")"},
      {"\xc0\xaf", R"("\ufffd\ufffd")"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(written([&](JsonWriter& json) { json.string(c.text.c_str()); }), c.json) << c.json;
  }
}

TEST(JsonWriter, NumbersAreTheShortestTextThatReadsBackExactly) {
  const struct {
    double value;
    const char* json;
  } cases[] = {
      {0.0, "0"},
      {-0.0, "-0"},
      {0.1, "0.1"},
      {29.9, "29.9"},
      {1e30, "1e+30"},
      {-2.5e-7, "-2.5e-07"},
      {DBL_MAX, "1.7976931348623157e+308"},
      {DBL_TRUE_MIN, "5e-324"},
      {1.0 / 3.0, "0.3333333333333333"},
      {NAN, "null"},
      {INFINITY, "null"},
      {-INFINITY, "null"},
      {123456789.0, "123456789"},
      {1000000.0, "1000000"},
      {-200000.0, "-200000"},
      {999999999999999.0, "999999999999999"},
      {1e15, "1e+15"},
  };
  for (const auto& c : cases) {
    const std::string text = written([&](JsonWriter& json) { json.number(c.value); });
    EXPECT_EQ(text, c.json);
    if (std::isfinite(c.value)) {
      const double back = std::strtod(text.c_str(), nullptr);
      EXPECT_EQ(std::memcmp(&back, &c.value, sizeof back), 0) << text;
    }
  }
}

TEST(JsonWriter, LongTextsPassThroughTheBufferWholeAndNullTextIsNull) {
  const std::string name(10000, 'a');
  const std::string text = written([&](JsonWriter& json) {
    json.raw("[");
    json.string(name.c_str());
    json.raw(",");
    json.string(nullptr);
    json.raw(",");
    json.number(-2147483648.0);
    json.raw("]");
  });
  EXPECT_EQ(text, "[\"" + name + "\",null,-2147483648]");
}

}  // namespace
}  // namespace vorna
