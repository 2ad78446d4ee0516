// The interrupts and the event names their diagnostic line carries, for
// tests parameterised over the four of them.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <ostream>
#include <string>

namespace vorna_test {

struct InterruptCase {
  int signal_number;
  const char* event;
};

inline void PrintTo(const InterruptCase& c, std::ostream* out) { *out << c.event; }

inline auto all_interrupts() {
  return ::testing::Values(InterruptCase{SIGINT, "control-C"},
                           InterruptCase{SIGQUIT, "control-BREAK"},
                           InterruptCase{SIGHUP, "window-CLOSE"},
                           InterruptCase{SIGTERM, "TERMINATE"});
}

// Test names such as "Inte2" for SIGINT.
inline std::string interrupt_name(const ::testing::TestParamInfo<InterruptCase>& info) {
  return std::string(strsignal(info.param.signal_number)).substr(0, 4) +
         std::to_string(info.param.signal_number);
}

}  // namespace vorna_test
