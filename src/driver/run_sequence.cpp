#include "driver/run_sequence.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "analysis/series.h"
#include "driver/reports.h"
#include "driver/series_reader.h"
#include "textio/layouts.h"
#include "textio/stop.h"
#include "textio/units.h"
#include "util/date_stamp.h"
#include "util/file_connection.h"
#include "util/line_reader.h"
#include "util/prompt.h"

namespace vorna {
namespace {

constexpr int kNameLength = 256;
constexpr int kHeaderLength = 256;

char g_header_line[kHeaderLength];
char g_print_file_name[kNameLength];
char g_series_file_name[kNameLength];
Series g_series;

// A closed standard stream would let a file take its descriptor and receive
// console output; /dev/null stands in for it.
void keep_standard_streams_open() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) == -1) {
      int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
      if (opened != fd && opened >= 0) ::close(opened);
    }
  }
}

void take_date_stamp() {
  char stamp[80];
  date_stamp(stamp, sizeof stamp, 6);
  std::memcpy(g_header_line, stamp, sizeof stamp);
  std::memset(g_header_line + sizeof stamp, ' ', kHeaderLength - sizeof stamp);
}

// Asks for a file name until the file is connected; each failure prints the
// failure text followed by the whole name field.
void connect_by_dialogue(char* name, const char* prompt, int unit, int mode,
                         const char* failure_text) {
  int failure_flag = -1;
  for (;;) {
    std::memset(name, ' ', kNameLength);
    write_prompt(kConsoleOutput, prompt, static_cast<int>(std::strlen(prompt)));
    read_line(kConsoleInput, name, kNameLength, false);
    open_text_file(name, kNameLength, unit, mode, failure_flag);
    if (failure_flag == 0) return;
    write_message_line(kConsoleOutput, failure_text, std::strlen(failure_text), name, kNameLength);
  }
}

}  // namespace

void run_program() {
  keep_standard_streams_open();
  install_interrupt_handler();
  take_date_stamp();
  write_banner();
  connect_by_dialogue(g_print_file_name, "Give output file for misc print   :  ", kPrintUnit, 0,
                      " Cannot Open file :");
  connect_by_dialogue(g_series_file_name, "Give file containing Time Series  :  ", kSeriesUnit, 1,
                      " Nonexisting file :");
  read_series(g_series);
  write_reports(g_series, g_header_line);
}

}  // namespace vorna
