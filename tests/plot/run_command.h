// Runs vorna-plot and the tools that check its pictures, the way a user's
// shell would: arguments, a working directory, an environment.
#pragma once

#include <string>
#include <vector>

#include "support/run_vorna.h"

namespace vorna_test {

// Runs arguments[0] (a path) with the arguments in directory, standard
// input from /dev/null. The environment is the test's own without FORT36
// in any case, then environment added.
RunResult run_command(const std::string& directory, const std::vector<std::string>& arguments,
                      const Environment& environment = {});

// Runs the built vorna-plot with the arguments in directory.
RunResult run_plot(const std::string& directory, const std::vector<std::string>& arguments,
                   const Environment& environment = {});

// The path of a program found on PATH, or "" when there is none.
std::string find_on_path(const std::string& name);

// The text with every date stamp "Date : YYYY-MM-DD hh:mm:ss" made
// "Date : (stamp)", so that pictures of different runs compare.
std::string without_date_stamps(const std::string& text);

// The start tags in svg that begin with head ("<circle r=\"4.5\""), in
// order.
std::vector<std::string> elements_of(const std::string& svg, const std::string& head);

// The value of attribute name in a start tag; "" when it has none.
std::string attribute_of(const std::string& element, const std::string& name);

}  // namespace vorna_test
