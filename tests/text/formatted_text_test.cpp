#include "text/formatted_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vorna {
namespace {

// What does not fit is cut, and the text always ends: a message never runs
// past its room, whatever the arguments.
TEST(FormattedText, IsCutToItsRoomAndAppendedAsFarAsThereIsRoom) {
  char out[12];
  format_text(out, sizeof out, "%s '%d'", "width", 20);
  EXPECT_STREQ(out, "width '20'");
  append_text(out, sizeof out, ": %s", "too narrow");
  EXPECT_STREQ(out, "width '20':");
  append_text(out, sizeof out, "%s", "more");
  EXPECT_STREQ(out, "width '20':");
  format_text(out, sizeof out, "%s", std::string(40, 'x').c_str());
  EXPECT_EQ(std::strlen(out), sizeof out - 1);
  char full[4] = {'a', 'b', 'c', 'd'};  // no end within its room
  append_text(full, sizeof full, "e");
  EXPECT_EQ(std::string(full, sizeof full), "abcd");
}

}  // namespace
}  // namespace vorna
