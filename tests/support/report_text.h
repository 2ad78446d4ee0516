// Expected report texts for end-to-end tests, built from the fields' text.
#pragma once

#include <string>

namespace vorna_test {

extern const std::string kPrompts;  // the four questions, each left open

// The console summary after the dialogue; each argument is the field's text
// as it must appear (already right-justified in 12 columns).
std::string console_summary(const std::string& steps, const std::string& length,
                            const std::string& height, const std::string& time);

// The print file's lines 2 to 9 (after the date stamp line).
std::string print_header(const std::string& steps, const std::string& first,
                         const std::string& last, const std::string& increment,
                         const std::string& length, const std::string& height,
                         const std::string& time);

// Right-justifies text in width columns.
std::string field(const std::string& text, std::size_t width);

// Checks that the print file starts with "#", a date stamp and blanks to
// column 257, and returns the rest of the file (an empty string and a test
// failure otherwise).
std::string after_stamp_line(const std::string& print_file);

}  // namespace vorna_test
