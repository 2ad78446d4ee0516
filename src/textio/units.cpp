#include "textio/units.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <iterator>

#include "textio/diagnostics.h"
#include "textio/run_files.h"
#include "textio/stop.h"
#include "textio/system_io.h"
#include "util/text_field.h"

extern char** environ;

namespace vorna {
namespace {

// Room for a working directory, a slash and a whole name field.
constexpr std::size_t kMaxFileName = PATH_MAX + 1 + kTextLength + 1;

struct Unit {
  Unit(int unit_number, char* output, std::size_t output_size, char* line_buffer,
       std::size_t line_buffer_size)
      : number(unit_number),
        out(output),
        out_capacity(output_size),
        input(line_buffer, line_buffer_size, ReadMode::kBlocks) {
    // The console units are connected from the start.
    if (number == kConsoleInput || number == kConsoleOutput) {
      connected = true;
      fd = number == kConsoleInput ? STDIN_FILENO : STDOUT_FILENO;
      read_only = number == kConsoleInput;
      std::strcpy(name, number == kConsoleInput ? "CONIN$" : "CONOUT$");
    }
  }

  int number;
  char* out;
  std::size_t out_capacity;
  std::size_t pending = 0;  // bytes in out: whole records only
  LineSplitter input;
  bool connected = false;
  int fd = -1;
  bool owns_fd = false;      // opened by name, closed with the unit
  bool read_only = false;    // write access was refused: writing is 47
  bool cut_pending = false;  // a regular file not yet written: lock and cut it first
  bool failed = false;       // a write failed; reported when the unit is closed
  int read_error = 0;
  struct stat identity {};  // the file, so another unit cannot take it too
  char name[kMaxFileName] = "";
};

bool is_console(const Unit& unit) {
  return unit.number == kConsoleInput || unit.number == kConsoleOutput;
}

// Output buffers: large blocks, so a report of a million lines costs a few
// dozen system calls. The console is written record by record.
char g_console_in[4096], g_console_out[4096];
char g_print_out[1 << 20], g_print_in[4096];
char g_series_out[4096], g_series_in[1 << 20];
char g_listing_out[1 << 20], g_listing_in[4096];
char g_spare_out[2][4096], g_spare_in[2][4096];

Unit g_units[] = {
    {kConsoleOutput, g_console_out, sizeof g_console_out, nullptr, 0},
    {kConsoleInput, nullptr, 0, g_console_in, sizeof g_console_in},
    {kPrintUnit, g_print_out, sizeof g_print_out, g_print_in, sizeof g_print_in},
    {kSeriesUnit, g_series_out, sizeof g_series_out, g_series_in, sizeof g_series_in},
    {kListingUnit, g_listing_out, sizeof g_listing_out, g_listing_in, sizeof g_listing_in},
    // Spare records for other units a caller connects by name.
    {0, g_spare_out[0], sizeof g_spare_out[0], g_spare_in[0], sizeof g_spare_in[0]},
    {0, g_spare_out[1], sizeof g_spare_out[1], g_spare_in[1], sizeof g_spare_in[1]},
};
constexpr int kFixedUnits = 5;
bool g_console_is_terminal = false;

// Unit number to record, for the numbers 1 to 99: every record written or
// read looks its unit up here.
struct UnitIndex {
  Unit* of[100] = {};
  UnitIndex() {
    for (Unit& unit : g_units) {
      if (unit.number > 0) of[unit.number] = &unit;
    }
  }
};
UnitIndex g_unit_index;

Unit* find_unit(int number) {
  return number > 0 && number < 100 ? g_unit_index.of[number] : nullptr;
}

// The unit's record, or a spare one for a unit of 1 to 99 seen first.
Unit* find_or_add_unit(int number) {
  if (Unit* unit = find_unit(number)) return unit;
  if (number < 1 || number > 99) return nullptr;
  for (Unit* spare = g_units + kFixedUnits; spare != std::end(g_units); ++spare) {
    if (!spare->connected) {
      if (spare->number > 0) g_unit_index.of[spare->number] = nullptr;
      spare->number = number;
      g_unit_index.of[number] = spare;
      return spare;
    }
  }
  return nullptr;
}

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool is_descriptor(int fd, const struct stat& file) {
  struct stat info;
  return fstat(fd, &info) == 0 && same_file(info, file);
}

// ---- writing ----

// After a failed write of bytes[0..written) the file may end inside a
// record: cut it back to the last line end written (records end with one),
// when nothing was written after it.
void cut_back_torn_record(const Unit& unit, const char* bytes, std::size_t written) {
  const void* line_end = memrchr(bytes, '\n', written);
  const std::size_t kept =
      line_end == nullptr
          ? 0
          : static_cast<std::size_t>(static_cast<const char*>(line_end) - bytes) + 1;
  const off_t at = lseek(unit.fd, 0, SEEK_CUR);
  struct stat info;
  if (kept == written || at < 0 || fstat(unit.fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size != at) {
    return;
  }
  const off_t end = at - static_cast<off_t>(written - kept);
  if (ftruncate(unit.fd, end) == 0) lseek(unit.fd, end, SEEK_SET);
}

// Hands bytes to the unit's descriptor. False, with the unit marked as
// failed and its file cut back to whole records, when the system refuses.
bool hand_to_system(Unit& unit, const char* bytes, std::size_t count) {
  const std::size_t written = write_fully(unit.fd, bytes, count);
  if (written == count || errno == 0) return true;  // all taken, or dropped while ending
  cut_back_torn_record(unit, bytes, written);
  unit.failed = true;
  return false;
}

bool hand_pending(Unit& unit) {
  const std::size_t count = unit.pending;
  unit.pending = 0;
  if (count > 0 && !unit.failed) hand_to_system(unit, unit.out, count);
  return !unit.failed;
}

// Files written through standard output or error: their records go out
// before what follows on that stream. Returns the first that failed.
Unit* hand_standard_stream_units() {
  Unit* failed = nullptr;
  for (Unit& unit : g_units) {
    if (unit.connected && !unit.owns_fd && !is_console(unit) && !hand_pending(unit) &&
        failed == nullptr) {
      failed = &unit;
    }
  }
  return failed;
}

// Closes a unit's own descriptor; a console or standard stream stays open.
bool release(Unit& unit) {
  if (!is_console(unit)) unit.connected = false;
  if (!unit.owns_fd) return true;
  unit.owns_fd = false;
  return ::close(unit.fd) == 0 || errno != EIO;
}

[[noreturn]] void fail_write(Unit& unit) {
  release(unit);
  unit.failed = false;
  fail_run(kWriteError, unit.number);
}

// Another run writing the same file would mix its records with ours: an
// advisory lock keeps one writer at a time. Without lock support the run
// goes on unlocked.
void lock_against_other_runs(const Unit& unit) {
  if (flock(unit.fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
  report_note("waiting for another program to finish writing", unit.number);
  while (flock(unit.fd, LOCK_EX) != 0 && errno == EINTR) end_if_interrupted();
}

void lock_and_cut(Unit& unit) {
  unit.cut_pending = false;
  lock_against_other_runs(unit);
  if (ftruncate(unit.fd, 0) != 0) fail_write(unit);
}

// ---- connecting ----

int error_number_of(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return kFileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return kAccessDenied;
    case ENAMETOOLONG:
      return kFileNameError;
    default:
      return kOpenFailure;
  }
}

bool write_refused(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY;
}

// The name diagnostics show: absolute against the working directory, or as
// given when the working directory has no name; cut to the field.
void set_shown_name(Unit& unit, const char* name, std::size_t length) {
  std::size_t used = 0;
  if (name[0] != '/' && getcwd(unit.name, PATH_MAX + 1) != nullptr) {
    used = std::strlen(unit.name);
    if (unit.name[used - 1] != '/') unit.name[used++] = '/';
  }
  const std::size_t taken = length < kMaxFileName - 1 - used ? length : kMaxFileName - 1 - used;
  std::memcpy(unit.name + used, name, taken);
  unit.name[used + taken] = '\0';
}

int open_interruptibly(const char* path, int flags) {
  int fd;
  while ((fd = ::open(path, flags, 0666)) < 0 && errno == EINTR) end_if_interrupted();
  return fd;
}

// Opens for reading and writing (a missing file created for status
// UNKNOWN). A pipe read as status OLD is opened for reading only, so that it
// has an end; one written is opened for both, so the open never waits. When
// write access is refused the file is opened for reading only.
int open_file(const char* path, OpenStatus status, bool& read_only) {
  struct stat info;
  int flags = O_RDWR | O_CLOEXEC;
  if (status == OpenStatus::kUnknown) {
    flags |= O_CREAT;
  } else if (stat(path, &info) == 0 && S_ISFIFO(info.st_mode)) {
    flags = O_RDONLY | O_CLOEXEC;
  }
  read_only = false;
  int fd = open_interruptibly(path, flags);
  if (fd >= 0 || !write_refused(errno)) return fd;
  const int refusal = errno;
  fd = open_interruptibly(path, O_RDONLY | O_CLOEXEC);
  read_only = fd >= 0;
  if (fd < 0 && errno == ENOENT) errno = refusal;  // creating it was refused
  return fd;
}

// One file, one unit: a file connected to another unit, or an output file
// that the run reads as its standard input. Devices such as /dev/null may
// serve several units.
bool taken_elsewhere(const Unit& unit, const struct stat& file, OpenStatus status) {
  if (S_ISCHR(file.st_mode)) return false;
  for (const Unit& other : g_units) {
    if (&other != &unit && other.connected && !is_console(other) &&
        same_file(other.identity, file)) {
      return true;
    }
  }
  return status == OpenStatus::kUnknown && is_descriptor(STDIN_FILENO, file);
}

void listing_file_name(const char*& name, std::size_t& length) {
  const std::string_view listing = listing_name_from_environment();
  name = listing.data();
  length = listing.size();
}

// ---- reading ----

long read_unit_bytes(void* context, char* into, std::size_t capacity) {
  Unit& unit = *static_cast<Unit*>(context);
  for (;;) {
    const long got = read_some(unit.fd, into, capacity);
    unit.read_error = got < 0 ? errno : 0;
    if (got >= 0 || errno != EINTR) return got;
    end_if_interrupted();
  }
}

// unit_write for all but a file record that fits the buffer of a unit
// already written: the listing's connection, the lock and cut of the first
// write, the console, and a full buffer. Kept out of line, so that the
// common case stays a copy.
[[gnu::noinline]] void write_record_slowly(Unit& unit, const char* bytes, std::size_t count) {
  const int number = unit.number;
  if (!unit.connected && number == kListingUnit) {
    const char* name;
    std::size_t length;
    listing_file_name(name, length);
    const int error = connect_unit(number, name, length, OpenStatus::kUnknown);
    if (error != 0) fail_run(error, number);
  }
  if (!unit.connected) fail_run(kWriteError, number);
  if (unit.read_only) fail_run(kWriteToReadOnly, number);
  if (unit.cut_pending) lock_and_cut(unit);
  if (number == kConsoleOutput) {
    if (Unit* failed = hand_standard_stream_units()) fail_write(*failed);
  }
  // Blocks are handed at record ends only: the buffer never holds part of a
  // record, so an ending at any safe point closes the file on whole records.
  if (count > unit.out_capacity - unit.pending && !hand_pending(unit)) fail_write(unit);
  if (count > unit.out_capacity) {
    if (!hand_to_system(unit, bytes, count)) fail_write(unit);
  } else {
    std::memcpy(unit.out + unit.pending, bytes, count);
    unit.pending += count;
    if (number == kConsoleOutput && !hand_pending(unit)) fail_write(unit);
  }
}

// Standard input that is not a terminal is read a byte at a time; a
// terminal in line mode a typed line at a time.
ReadMode console_read_mode() {
  if (!g_console_is_terminal) return ReadMode::kOneByte;
  termios settings;
  if (tcgetattr(STDIN_FILENO, &settings) == 0 && (settings.c_lflag & ICANON) != 0) {
    return ReadMode::kTerminalLines;
  }
  return ReadMode::kBlocks;
}

}  // namespace

void start_units() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) == -1) {
      const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
      if (opened != fd && opened >= 0) ::close(opened);
    }
  }
  g_console_is_terminal = isatty(STDIN_FILENO) != 0;
  find_unit(kConsoleInput)->input.reset(console_read_mode());
}

int connect_unit(int number, const char* name, std::size_t length, OpenStatus status) {
  Unit* unit = find_or_add_unit(number);
  if (unit == nullptr || is_console(*unit)) return kOpenFailure;
  close_unit(number);
  while (length > 0 && name[0] == ' ') ++name, --length;
  while (length > 0 && name[length - 1] == ' ') --length;
  unit->name[0] = '\0';
  if (length == 0) return kOpenFailure;
  set_shown_name(*unit, name, length);
  if (std::memchr(name, '\0', length) != nullptr || length > PATH_MAX) return kFileNameError;
  char path[PATH_MAX + 1];
  std::memcpy(path, name, length);
  path[length] = '\0';

  bool read_only = false;
  int fd = open_file(path, status, read_only);
  if (fd < 0) return error_number_of(errno);
  struct stat file;
  if (fstat(fd, &file) != 0 || taken_elsewhere(*unit, file, status)) {
    ::close(fd);
    return kOpenFailure;
  }
  unit->owns_fd = true;
  if (status == OpenStatus::kUnknown) {
    // A file that is standard output or error is written through it, after
    // what is already there.
    for (int stream : {STDOUT_FILENO, STDERR_FILENO}) {
      if (unit->owns_fd && is_descriptor(stream, file)) {
        ::close(fd);
        fd = stream;
        unit->owns_fd = false;
      }
    }
  }
  unit->fd = fd;
  unit->identity = file;
  unit->connected = true;
  unit->read_only = read_only;
  unit->cut_pending = unit->owns_fd && S_ISREG(file.st_mode);
  unit->failed = false;
  unit->pending = 0;
  unit->input.reset(ReadMode::kBlocks);
  return 0;
}

bool unit_connected(int number) {
  const Unit* unit = find_unit(number);
  return unit != nullptr && unit->connected;
}

const char* unit_file_name(int number) {
  if (number == kInternalUnit) return kInternalReadName;
  const Unit* unit = find_unit(number);
  return unit == nullptr ? "" : unit->name;
}

SplitStatus unit_read_record(int number, const char*& record, std::size_t& length) {
  end_if_interrupted();
  Unit* unit = find_unit(number);
  if (unit == nullptr || !unit->connected) return SplitStatus::kReadFailed;
  return unit->input.next(read_unit_bytes, unit, record, length);
}

bool unit_hung_up(int number) {
  const Unit* unit = find_unit(number);
  if (number != kConsoleInput || unit == nullptr || !g_console_is_terminal) return false;
  // A terminal that hung up refuses its controls; one whose other side has
  // just closed fails reads with EIO while we are still its foreground.
  const pid_t foreground = tcgetpgrp(unit->fd);
  if (foreground < 0) return errno == EIO;
  return unit->read_error == EIO && foreground == getpgrp();
}

void unit_write(int number, const char* bytes, std::size_t count) {
  Unit* unit = find_unit(number);
  if (unit == nullptr) return;
  if (unit->connected && !unit->cut_pending && !unit->read_only && number != kConsoleOutput &&
      count <= unit->out_capacity - unit->pending) {
    std::memcpy(unit->out + unit->pending, bytes, count);
    unit->pending += count;
  } else {
    write_record_slowly(*unit, bytes, count);
  }
  end_if_interrupted();
}

void close_unit(int number) {
  Unit* unit = find_unit(number);
  if (unit == nullptr || !unit->connected) return;
  if (!hand_pending(*unit)) fail_write(*unit);
  if (!release(*unit)) fail_run(kWriteError, number);
}

void close_all_units(void (*report)(int unit)) {
  for (Unit& unit : g_units) {
    if (!unit.connected) continue;
    const bool written = hand_pending(unit);
    if (!release(unit) || !written) report(unit.number);
    unit.failed = false;
  }
}

void flush_units_on_standard_streams() { hand_standard_stream_units(); }

}  // namespace vorna
