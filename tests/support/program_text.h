// The program's own texts as the end-to-end tests expect them: the banner,
// the questions, the dialogue's failure lines, common diagnostic lines and
// the report lines, each in one place.
#pragma once

#include <cstddef>
#include <string>

namespace vorna_test {

// The 17 lines of the start-up banner, byte for byte: what the program
// writes to the console before the first question.
const std::string& banner();

// The four questions, each left open for its answer, and all four in a row
// as a run with piped answers writes them.
extern const std::string kPrintPrompt;
extern const std::string kSeriesPrompt;
extern const std::string kFirstPrompt;
extern const std::string kLastPrompt;
extern const std::string kPrompts;

// A file name as the failure lines show it: the whole 256-character field.
std::string name_field(const std::string& name);
// " Cannot Open file :" and " Nonexisting file :" lines for a name.
std::string cannot_open_line(const std::string& name);
std::string nonexisting_line(const std::string& name);

// Diagnostic lines that many tests expect.
extern const std::string kEndOfInput;   // 24 at a question
extern const std::string kSyntaxError;  // 59 in a number

// The warning line of a record with fewer than two extrema, with or without
// --hysteresis.
std::string no_height_warning(int extrema, int samples, bool filtered = false);

// Right-justifies text in width columns.
std::string field(const std::string& text, std::size_t width);

// The console summary after the dialogue; each argument is the field's text
// as it must appear (already right-justified in 12 columns).
std::string console_summary(const std::string& steps, const std::string& length,
                            const std::string& height, const std::string& time);

// The print file's lines 2 to 9 (after the date stamp line).
std::string print_header(const std::string& steps, const std::string& first,
                         const std::string& last, const std::string& increment,
                         const std::string& length, const std::string& height,
                         const std::string& time);

// One extremum table line of the print file and one listing file line.
std::string table_line(const std::string& time, const std::string& value,
                       const std::string& height);
std::string listing_line(const std::string& time, const std::string& value);

// Whether a line (without its CR LF) is a date stamp line:
// "# Date : YYYY-MM-DD hh:mm:ss" and blanks to column 257.
bool is_stamp_line(const std::string& line);

// Checks that the print file starts with a date stamp line and returns the
// rest of the file (an empty string and a test failure otherwise).
std::string after_stamp_line(const std::string& print_file);

}  // namespace vorna_test
