// The interrupts and the event names their diagnostic line carries, for
// tests parameterised over the four of them.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <cctype>
#include <ostream>
#include <string>

namespace vorna_test {

struct InterruptCase {
  int signal_number;
  const char* event;
};

inline void PrintTo(const InterruptCase& c, std::ostream* out) { *out << c.event; }

inline auto all_interrupts() {
  return ::testing::Values(
      InterruptCase{SIGINT, "control-C"}, InterruptCase{SIGQUIT, "control-BREAK"},
      InterruptCase{SIGHUP, "window-CLOSE"}, InterruptCase{SIGTERM, "TERMINATE"});
}

// Test names made of the event's letters and digits, such as "controlC".
inline std::string interrupt_name(const ::testing::TestParamInfo<InterruptCase>& info) {
  std::string name;
  for (const char* c = info.param.event; *c != '\0'; ++c) {
    if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
  }
  return name;
}

}  // namespace vorna_test
