#include "textio/units.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "textio/diagnostics.h"

extern char** environ;

namespace vorna {
namespace {

struct UnitRecord {
  int number;
  bool connected;
  bool console;
  int fd;
  bool read_only;
  // An existing file keeps its content until the first write cuts it off.
  bool cut_pending;
  char* buffer;
  std::size_t capacity;
  std::size_t pending;
  unsigned connections;
  char name[kMaxFileName];
};

// Output buffers: large blocks, so a report of a million lines costs a few
// dozen system calls.
char g_console_buffer[1 << 16];
char g_print_buffer[1 << 20];
char g_listing_buffer[1 << 20];

UnitRecord g_units[] = {
    {kConsoleInput, true, true, STDIN_FILENO, true, false, nullptr, 0, 0, 0, "CONIN$"},
    {kConsoleOutput, true, true, STDOUT_FILENO, false, false, g_console_buffer,
     sizeof g_console_buffer, 0, 0, "CONOUT$"},
    {kPrintUnit, false, false, -1, false, false, g_print_buffer, sizeof g_print_buffer, 0, 0, ""},
    {kSeriesUnit, false, false, -1, false, false, nullptr, 0, 0, 0, ""},
    {kListingUnit, false, false, -1, false, false, g_listing_buffer, sizeof g_listing_buffer, 0, 0,
     ""},
    // Spare records for other units a caller connects by name.
    {0, false, false, -1, false, false, nullptr, 0, 0, 0, ""},
    {0, false, false, -1, false, false, nullptr, 0, 0, 0, ""},
};

// Unit number to record, for the numbers 0 to 99; every record line goes
// through it.
struct UnitIndex {
  UnitRecord* of[100] = {};
  UnitIndex() {
    for (UnitRecord& unit : g_units) {
      if (unit.number > 0) of[unit.number] = &unit;
    }
  }
};
UnitIndex g_unit_index;

UnitRecord* find_unit(int number) {
  return number > 0 && number < 100 ? g_unit_index.of[number] : nullptr;
}

bool is_spare(const UnitRecord& unit) { return &unit >= g_units + 5; }

// The unit's record, or a spare one for a unit of 1 to 99 seen first.
UnitRecord* find_or_add_unit(int number) {
  if (UnitRecord* unit = find_unit(number)) return unit;
  if (number < 1 || number > 99) return nullptr;
  for (UnitRecord& unit : g_units) {
    if (is_spare(unit) && !unit.connected) {
      if (unit.number > 0) g_unit_index.of[unit.number] = nullptr;
      unit.number = number;
      g_unit_index.of[number] = &unit;
      return &unit;
    }
  }
  return nullptr;
}

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

// Makes the name absolute against the working directory. False when the
// result does not fit the unit's name field; the field then holds as much
// of the absolute name as fits, so that a diagnostic can show it.
bool make_absolute(const char* name, std::size_t length, char* out) {
  std::size_t used = 0;
  if (name[0] != '/') {
    if (getcwd(out, kMaxFileName - 1) == nullptr) {
      out[0] = '\0';
      return false;
    }
    used = std::strlen(out);
    if (used == 0 || out[used - 1] != '/') out[used++] = '/';
  }
  const bool fits = used + length + 1 <= kMaxFileName;
  const std::size_t taken = fits ? length : kMaxFileName - 1 - used;
  std::memcpy(out + used, name, taken);
  out[used + taken] = '\0';
  return fits;
}

// Writes the unit's pending output. False (with the output dropped) when the
// system fails the write.
bool flush_buffer(UnitRecord& unit) {
  std::size_t done = 0;
  while (done < unit.pending) {
    ssize_t wrote = ::write(unit.fd, unit.buffer + done, unit.pending - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      unit.pending = 0;
      return false;
    }
    done += static_cast<std::size_t>(wrote);
  }
  unit.pending = 0;
  return true;
}

// A unit whose write failed is closed without another attempt, so that the
// closing after its diagnostic does not fail on it again.
[[noreturn]] void fail_write(UnitRecord& unit) {
  if (!unit.console) {
    ::close(unit.fd);
    unit.connected = false;
  }
  fail_run(kWriteError, unit.number);
}

void cut_off(UnitRecord& unit) {
  unit.cut_pending = false;
  struct stat info;
  if (fstat(unit.fd, &info) == 0 && S_ISREG(info.st_mode) && ftruncate(unit.fd, 0) != 0) {
    fail_write(unit);
  }
}

// Name of the listing file: FORT36 (any case, blanks around it dropped) or
// "fort.36".
void listing_file_name(const char*& name, std::size_t& length) {
  name = "fort.36";
  length = 7;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (equals == nullptr || equals - *entry != 6 || strncasecmp(*entry, "FORT36", 6) != 0) {
      continue;
    }
    name = equals + 1;
    length = std::strlen(name);
    return;
  }
}

std::timed_mutex g_units_mutex;
std::atomic<bool> g_lock_in_use{false};
std::atomic<bool> g_interrupt_pending{false};

[[noreturn]] void wait_to_be_ended() {
  g_units_mutex.unlock();
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

}  // namespace

int connect_unit(int number, const char* name, std::size_t name_length, OpenStatus status) {
  UnitRecord* unit = find_or_add_unit(number);
  if (unit == nullptr || unit->console) return kOpenFailure;
  while (name_length > 0 && name[0] == ' ') ++name, --name_length;
  while (name_length > 0 && name[name_length - 1] == ' ') --name_length;
  unit->name[0] = '\0';
  if (name_length == 0) return kOpenFailure;
  if (std::memchr(name, '\0', name_length) != nullptr) return kFileNameError;
  if (!make_absolute(name, name_length, unit->name)) return kFileNameError;

  int flags = O_RDWR | O_CLOEXEC | (status == OpenStatus::kUnknown ? O_CREAT : 0);
  // A pipe opened for reading and writing would never see its end.
  struct stat info;
  if (stat(unit->name, &info) == 0 && S_ISFIFO(info.st_mode)) {
    flags = (status == OpenStatus::kOld ? O_RDONLY : O_WRONLY) | O_CLOEXEC;
  }
  bool read_only = false;
  int fd = ::open(unit->name, flags, 0666);
  if (fd < 0 && write_refused(errno)) {
    fd = ::open(unit->name, O_RDONLY | O_CLOEXEC);
    read_only = true;
  }
  if (fd < 0) return error_number_of(errno);
  unit->fd = fd;
  unit->connected = true;
  unit->read_only = read_only;
  unit->cut_pending = true;
  unit->pending = 0;
  ++unit->connections;
  return 0;
}

bool unit_connected(int number) {
  const UnitRecord* unit = find_unit(number);
  return unit != nullptr && unit->connected;
}

const char* unit_file_name(int number) {
  if (number == kInternalUnit) return "Internal List-Directed Read";
  const UnitRecord* unit = find_unit(number);
  return unit == nullptr ? "" : unit->name;
}

int unit_descriptor(int number) {
  const UnitRecord* unit = find_unit(number);
  return unit != nullptr && unit->connected ? unit->fd : -1;
}

unsigned unit_connection_count(int number) {
  const UnitRecord* unit = find_unit(number);
  return unit == nullptr ? 0 : unit->connections;
}

void unit_write(int number, const char* bytes, std::size_t count) {
  UnitRecord* unit = find_unit(number);
  if (unit == nullptr) return;
  // The common case: a record that fits the buffer of a unit already written.
  if (unit->connected && !unit->cut_pending && !unit->read_only &&
      count <= unit->capacity - unit->pending) {
    std::memcpy(unit->buffer + unit->pending, bytes, count);
    unit->pending += count;
    return;
  }
  if (!unit->connected && number == kListingUnit) {
    const char* name;
    std::size_t length;
    listing_file_name(name, length);
    int error = connect_unit(number, name, length, OpenStatus::kUnknown);
    if (error != 0) fail_run(error, number);
  }
  if (!unit->connected || unit->buffer == nullptr) fail_run(kWriteError, number);
  if (unit->read_only) fail_run(kWriteToReadOnly, number);
  if (unit->cut_pending) cut_off(*unit);
  bool flushed = false;
  while (count > 0) {
    if (unit->pending == unit->capacity) {
      // A full block ends inside the record whenever the record length does
      // not divide the block: the rest of the record must be in the buffer
      // before an interrupt may close the unit.
      if (!flush_buffer(*unit)) fail_write(*unit);
      flushed = true;
    }
    std::size_t room = unit->capacity - unit->pending;
    std::size_t take = count < room ? count : room;
    std::memcpy(unit->buffer + unit->pending, bytes, take);
    unit->pending += take;
    bytes += take;
    count -= take;
  }
  if (flushed) yield_to_pending_interrupt();
}

void unit_flush(int number) {
  UnitRecord* unit = find_unit(number);
  if (unit == nullptr || !unit->connected || unit->pending == 0) return;
  if (!flush_buffer(*unit)) fail_write(*unit);
  yield_to_pending_interrupt();
}

void unit_flush_quietly(int number) {
  UnitRecord* unit = find_unit(number);
  if (unit != nullptr && unit->connected && unit->pending > 0) flush_buffer(*unit);
}

void close_unit(int number) {
  UnitRecord* unit = find_unit(number);
  if (unit == nullptr || !unit->connected) return;
  unit_flush(number);
  if (unit->console) return;
  unit->connected = false;
  if (::close(unit->fd) != 0 && errno == EIO) fail_run(kWriteError, number);
}

void close_all_units() {
  for (UnitRecord& unit : g_units) {
    if (!unit.connected) continue;
    bool written = unit.pending == 0 || flush_buffer(unit);
    if (!unit.console) {
      unit.connected = false;
      if (::close(unit.fd) != 0 && errno == EIO) written = false;
    }
    // Reported, but the closing goes on: the other units still get their output.
    if (!written) write_diagnostic_line(kWriteError, unit.number);
  }
}

void units_lock_for_main_thread() {
  g_units_mutex.lock();
  g_lock_in_use = true;
}

UnitsUnlocked::UnitsUnlocked() {
  if (g_lock_in_use) g_units_mutex.unlock();
}

UnitsUnlocked::~UnitsUnlocked() {
  if (!g_lock_in_use) return;
  g_units_mutex.lock();
  yield_to_pending_interrupt();
}

bool units_lock_for_interrupt() {
  g_interrupt_pending = true;
  return g_units_mutex.try_lock_for(std::chrono::seconds(3));
}

void yield_to_pending_interrupt() {
  if (g_lock_in_use && g_interrupt_pending) wait_to_be_ended();
}

}  // namespace vorna
