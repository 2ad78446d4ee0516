#include "support/report_text.h"

#include <gtest/gtest.h>

#include <regex>

namespace vorna_test {

const std::string kPrompts =
    " Give output file for misc print   :  "
    " Give file containing Time Series  :  "
    " First Time        / whole series/ :  "
    " Last Time         / whole series/ :  ";

std::string field(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string console_summary(const std::string& steps, const std::string& length,
                            const std::string& height, const std::string& time) {
  return " Number of steps in Time Series:" + field(steps, 12) + "\r\n" +
         " Simulation Length             :" + field(length, 12) + "\r\n" +
         " Maximum Height                :" + field(height, 12) + "\r\n" +
         " Time For max height           :" + field(time, 12) + "\r\n";
}

std::string print_header(const std::string& steps, const std::string& first,
                         const std::string& last, const std::string& increment,
                         const std::string& length, const std::string& height,
                         const std::string& time) {
  return "# Time Series steps     : " + field(steps, 12) + "\r\n" +
         "# First Time            : " + field(first, 12) + "\r\n" +
         "# Last  Time            : " + field(last, 12) + "\r\n" +
         "# Time Increment        : " + field(increment, 12) + "\r\n" +
         "# Simulation Length     : " + field(length, 12) + "\r\n" +
         "# Maximum Height        : " + field(height, 12) + "\r\n" +
         "# Time For max height   : " + field(time, 12) + "\r\n" + "#" + std::string(25, ' ') +
         "\r\n";
}

std::string after_stamp_line(const std::string& print_file) {
  const std::size_t end = print_file.find("\r\n");
  if (end == std::string::npos) {
    ADD_FAILURE() << "no line end in the print file";
    return "";
  }
  const std::string line = print_file.substr(0, end);
  static const std::regex kStampLine(
      "# Date : [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} {229}");
  EXPECT_TRUE(std::regex_match(line, kStampLine)) << "first line: [" << line << "]";
  return print_file.substr(end + 2);
}

}  // namespace vorna_test
