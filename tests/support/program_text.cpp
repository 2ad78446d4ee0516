#include "support/program_text.h"

#include <gtest/gtest.h>

namespace vorna_test {

const std::string& banner() {
  static const std::string bytes =
      "                                                      \r\n"
      "                                                           \r\n"
      "                                                           \r\n"
      "                                                           \r\n"
      "           ================================================\r\n"
      "           -                                              -\r\n"
      "           -          ==== V  O   R  N  A  ====           -\r\n"
      "           -                                              -\r\n"
      "           -          Computes Max/Min of one             -\r\n"
      "           -          General Time Series.                -\r\n"
      "           -                                              -\r\n"
      "           -            Version 1.0/2005-12-17            -\r\n"
      "           -          Report problems: see the README     -\r\n"
      "           ================================================\r\n"
      "                                                           \r\n"
      "                                                           \r\n"
      "                                                           \r\n";
  return bytes;
}

const std::string kPrintPrompt = " Give output file for misc print   :  ";
const std::string kSeriesPrompt = " Give file containing Time Series  :  ";
const std::string kFirstPrompt = " First Time        / whole series/ :  ";
const std::string kLastPrompt = " Last Time         / whole series/ :  ";
const std::string kPrompts = kPrintPrompt + kSeriesPrompt + kFirstPrompt + kLastPrompt;

const std::string kEndOfInput =
    "vorna: severe (24): end-of-file during read, unit 5, file CONIN$\r\n";
const std::string kSyntaxError =
    "vorna: severe (59): list-directed I/O syntax error, unit -5, file Internal List-Directed "
    "Read\r\n";

std::string no_height_warning(int extrema, int samples, bool filtered) {
  return "vorna: warning: fewer than two extrema (" + std::to_string(extrema) + ") in " +
         std::to_string(samples) + (samples > 1 ? " samples" : " sample") +
         ": there is no height, so the Maximum Height 0 and the Time For max height 0.000 are "
         "not a height and a time of the record" +
         (filtered ? "; the --hysteresis band may be wider than every swing" : "") + "\r\n";
}

std::string name_field(const std::string& name) {
  return name.size() >= 256 ? name.substr(0, 256) : name + std::string(256 - name.size(), ' ');
}

std::string cannot_open_line(const std::string& name) {
  return " Cannot Open file :" + name_field(name) + "\r\n";
}

std::string nonexisting_line(const std::string& name) {
  return " Nonexisting file :" + name_field(name) + "\r\n";
}

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

std::string table_line(const std::string& time, const std::string& value,
                       const std::string& height) {
  return field(time, 12) + field(value, 12) + field(height, 12) + "\r\n";
}

std::string listing_line(const std::string& time, const std::string& value) {
  return field(time, 15) + field(value, 15) + "\r\n";
}

bool is_stamp_line(const std::string& line) {
  // "# Date : " then YYYY-MM-DD hh:mm:ss: a digit wherever the form has a 9.
  const std::string prefix = "# Date : ";
  const std::string form = "9999-99-99 99:99:99";
  if (line.size() != 257 || line.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = 0; i < form.size(); ++i) {
    const char c = line[prefix.size() + i];
    const bool digit = c >= '0' && c <= '9';
    if (form[i] == '9' ? !digit : c != form[i]) return false;
  }
  return line.find_first_not_of(' ', prefix.size() + form.size()) == std::string::npos;
}

std::string after_stamp_line(const std::string& print_file) {
  const std::size_t end = print_file.find("\r\n");
  if (end == std::string::npos) {
    ADD_FAILURE() << "no line end in the print file";
    return "";
  }
  const std::string line = print_file.substr(0, end);
  EXPECT_TRUE(is_stamp_line(line)) << "first line: [" << line << "]";
  return print_file.substr(end + 2);
}

}  // namespace vorna_test
