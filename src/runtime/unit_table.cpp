#include "runtime/unit_table.h"

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

#include "runtime/diagnostics.h"
#include "runtime/system_io.h"
#include "system/descriptors.h"
#include "system/replaced_file.h"
#include "text/run_files.h"

namespace vorna {
namespace {

// Room for a working directory, a slash and a whole name field.
constexpr std::size_t kMaxFileName = PATH_MAX + 1 + kUnitNameLength + 1;

// What a connected unit's descriptor is.
enum class StreamKind {
  kConsole,         // units 5 and 6: standard input and output, from the start
  kOwnFile,         // a file opened by name, closed with the unit
  kBorrowedStream,  // a file that is a standard stream, used through its descriptor
};

struct Unit {
  Unit(int unit_number, char* output, std::size_t output_size, char* line_buffer,
       std::size_t line_buffer_size)
      : number(unit_number),
        out(output),
        out_capacity(output_size),
        own_input(line_buffer, line_buffer_size, ReadMode::kBlocks) {
    // The console units are connected from the start.
    if (number == kConsoleInput || number == kConsoleOutput) {
      connected = true;
      kind = StreamKind::kConsole;
      fd = number == kConsoleInput ? STDIN_FILENO : STDOUT_FILENO;
      read_only = number == kConsoleInput;
      std::strcpy(name, number == kConsoleInput ? "CONIN$" : "CONOUT$");
    }
  }

  int number;
  char* out;
  std::size_t out_capacity;
  std::size_t pending = 0;  // bytes in out: whole records only
  LineSplitter own_input;
  // The splitter records are read through: the unit's own, or the console
  // input's for a file that is standard input.
  LineSplitter* input = &own_input;
  bool connected = false;
  StreamKind kind = StreamKind::kOwnFile;
  int fd = -1;
  bool read_only = false;    // opened for reading only: writing is 47
  bool cut_pending = false;  // a regular file not yet written: lock and cut it first
  bool failed = false;       // a write failed; reported when the unit is closed
  bool closed = false;       // the console output was closed at the start
  int read_error = 0;
  struct stat identity {};  // the file, so another unit cannot take it too
  char name[kMaxFileName] = "";
  // Status kReplace: written to temporary, renamed to target at the stop.
  bool replaces = false;
  char target[kReplacedPathSize] = "";
  char temporary[kReplacedPathSize] = "";
};

bool is_console(const Unit& unit) { return unit.kind == StreamKind::kConsole; }

// The unit table: one per process, not one per run, because the interrupt
// handler's ending closes every unit on whole records, whatever run is
// going on. Output buffers: large blocks, so a report of a million lines
// costs a few dozen system calls. The console is written record by record.
// The console input may carry a series after its answers (a file or pipe
// read in blocks): its buffer is as large as the series file's. The spare
// units write the cycle and wave files: blocks as large as the print
// file's.
struct UnitTable {
  char console_in[1 << 20], console_out[4096];
  char print_out[1 << 20], print_in[4096];
  char series_out[4096], series_in[1 << 20];
  char listing_out[1 << 20], listing_in[4096];
  char spare_out[2][1 << 20], spare_in[2][4096];
  Unit units[7] = {
      {kConsoleOutput, console_out, sizeof console_out, nullptr, 0},
      {kConsoleInput, nullptr, 0, console_in, sizeof console_in},
      {kPrintUnit, print_out, sizeof print_out, print_in, sizeof print_in},
      {kSeriesUnit, series_out, sizeof series_out, series_in, sizeof series_in},
      {kListingUnit, listing_out, sizeof listing_out, listing_in, sizeof listing_in},
      // Spare records for other units a caller connects by name.
      {0, spare_out[0], sizeof spare_out[0], spare_in[0], sizeof spare_in[0]},
      {0, spare_out[1], sizeof spare_out[1], spare_in[1], sizeof spare_in[1]},
  };
  // Unit number to record, for the numbers 1 to 99: every record written
  // or read looks its unit up here.
  Unit* of[100] = {};
  bool console_is_terminal = false;
  // Standard input is a regular file read in blocks: what was read past
  // the last record is given back at the end, for whoever reads the file
  // on.
  bool console_input_seekable = false;

  UnitTable() {
    for (Unit& unit : units) {
      if (unit.number > 0) of[unit.number] = &unit;
    }
  }
};
UnitTable g_table;
constexpr int kFixedUnits = 5;
// A named pipe written is opened once a reader has it open: tried again at
// this interval, so that an interrupt ends the wait.
constexpr int kReaderPollMilliseconds = 20;
// A file locked by another program is tried again at this interval.
constexpr int kLockPollMilliseconds = 20;

Unit* find_unit(int number) { return number > 0 && number < 100 ? g_table.of[number] : nullptr; }

// The unit's record, or a spare one for a unit of 1 to 99 seen first.
Unit* find_or_add_unit(int number) {
  if (Unit* unit = find_unit(number)) return unit;
  if (number < 1 || number > 99) return nullptr;
  for (Unit* spare = g_table.units + kFixedUnits; spare != std::end(g_table.units); ++spare) {
    if (!spare->connected) {
      if (spare->number > 0) g_table.of[spare->number] = nullptr;
      spare->number = number;
      g_table.of[number] = spare;
      return spare;
    }
  }
  return nullptr;
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
// Bytes dropped after the grace time of an interrupt are no failure.
bool hand_to_system(Unit& unit, const char* bytes, std::size_t count) {
  const WriteResult result = write_fully(unit.fd, bytes, count);
  if (result.outcome != WriteOutcome::kFailed) return true;
  cut_back_torn_record(unit, bytes, result.written);
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
  for (Unit& unit : g_table.units) {
    if (unit.connected && unit.kind == StreamKind::kBorrowedStream && !hand_pending(unit) &&
        failed == nullptr) {
      failed = &unit;
    }
  }
  return failed;
}

// Leaves the unit unconnected and closes its own descriptor; a console
// stays connected, a standard stream open.
bool release(Unit& unit) {
  if (is_console(unit)) return true;
  unit.connected = false;
  unit.input = &unit.own_input;
  return unit.kind != StreamKind::kOwnFile || ::close(unit.fd) == 0 || errno != EIO;
}

UnitResult failed_write(Unit& unit) {
  release(unit);
  unit.failed = false;
  return {kWriteError, unit.number};
}

UnitResult interrupted(const Unit& unit) { return {kInterrupt, unit.number}; }

// Another run writing the same file would mix its records with ours: an
// advisory lock keeps one writer at a time. Without lock support the run
// goes on unlocked. The lock is tried again while the other program holds
// it, so that an interrupt ends the wait: false then.
bool lock_against_other_runs(const Unit& unit) {
  if (flock(unit.fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return true;
  write_note_line("waiting for another program to finish writing", unit.number, unit.name);
  while (pending_interrupt() == 0) {
    sleep_interruptibly(kLockPollMilliseconds);
    if (flock(unit.fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) break;
  }
  return pending_interrupt() == 0;
}

// Nothing is cut once an interrupt is pending: the file keeps what it held.
UnitResult lock_and_cut(Unit& unit) {
  if (!lock_against_other_runs(unit)) return interrupted(unit);
  unit.cut_pending = false;
  if (ftruncate(unit.fd, 0) != 0) return failed_write(unit);
  return {};
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

// An open that may wait (a named pipe read before it has a writer) ends
// with EINTR on an interrupt.
int open_interruptibly(const char* path, int flags) {
  int fd;
  while ((fd = ::open(path, flags, 0666)) < 0 && errno == EINTR && pending_interrupt() == 0) {
  }
  return fd;
}

// A named pipe written: opened for writing only, so that the run sees its
// reader go (a failed write), once a reader has it open. The wait ends on an
// interrupt with EINTR.
int open_pipe_for_writing(const char* path) {
  for (;;) {
    const int fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return fd;
    }
    if (errno != ENXIO && errno != EINTR) return -1;
    if (pending_interrupt() != 0) {
      errno = EINTR;
      return -1;
    }
    sleep_interruptibly(kReaderPollMilliseconds);
  }
}

// A file read (status OLD) is opened for reading only. One written
// (UNKNOWN) is opened for reading and writing, a missing one created; when
// write access is refused it is opened for reading only, and writing it is
// 47 later.
int open_file(const char* path, OpenStatus status, bool& read_only) {
  read_only = true;
  // Not blocking: a named pipe read is opened at once and waited for in
  // poll, until a writer has written or gone.
  if (status == OpenStatus::kOld)
    return open_interruptibly(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat info;
  if (stat(path, &info) == 0 && S_ISFIFO(info.st_mode)) {
    read_only = false;
    return open_pipe_for_writing(path);
  }
  int fd = open_interruptibly(path, O_RDWR | O_CREAT | O_CLOEXEC);
  read_only = false;
  if (fd >= 0 || !write_refused(errno)) return fd;
  const int refusal = errno;
  fd = open_interruptibly(path, O_RDONLY | O_CLOEXEC);
  read_only = fd >= 0;
  if (fd < 0 && errno == ENOENT) errno = refusal;  // creating it was refused
  return fd;
}

// One file, one unit: a file connected to another unit, an output file
// that the run reads as its standard input, or an input file that the run
// writes as its standard output (it would read back its own lines).
// Devices such as /dev/null may serve several units.
bool taken_elsewhere(const Unit& unit, const struct stat& file, OpenStatus status) {
  if (S_ISCHR(file.st_mode)) return false;
  for (const Unit& other : g_table.units) {
    if (&other != &unit && other.connected && !is_console(other) &&
        same_file(other.identity, file)) {
      return true;
    }
  }
  return is_descriptor(status == OpenStatus::kOld ? STDOUT_FILENO : STDIN_FILENO, file);
}

// ---- replacing ----

// The length of path's folder part with its slash, 0 for a bare name.
std::size_t folder_part(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash == nullptr ? 0 : static_cast<std::size_t>(slash - path) + 1;
}

bool stat_folder(const char* path, struct stat& folder) {
  char name[kReplacedPathSize] = ".";
  const std::size_t length = folder_part(path);
  if (length > 0) {
    std::memcpy(name, path, length);
    name[length] = '\0';
  }
  return ::stat(name, &folder) == 0;
}

// Whether two names of files that may not exist yet name the same place:
// the same last part in the same folder.
bool same_place(const char* a, const char* b) {
  struct stat folder_a, folder_b;
  return std::strcmp(a + folder_part(a), b + folder_part(b)) == 0 && stat_folder(a, folder_a) &&
         stat_folder(b, folder_b) && same_file(folder_a, folder_b);
}

bool writable(const char* path) {
  const int fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return !write_refused(errno);
  ::close(fd);
  return true;
}

// Status kReplace: a temporary file in the folder of the file the name leads
// to, its descriptor in fd; 0, or the error number of a refusal (a file
// another unit has, a symbolic link loop). fd stays -1 for a name written as
// it stands: standard output or error, a device, a pipe, a folder (refused
// when opened), a read-only file (47 at its first write), a folder in which
// no file can be made.
int stage_replacement(Unit& unit, const char* path, int& fd) {
  fd = -1;
  struct stat file;
  if (::stat(path, &file) == 0) {
    if (!S_ISREG(file.st_mode) || is_descriptor(STDOUT_FILENO, file) ||
        is_descriptor(STDERR_FILENO, file) || !writable(path)) {
      return 0;
    }
    if (taken_elsewhere(unit, file, OpenStatus::kUnknown)) {
      errno = EEXIST;
      return kOpenFailure;
    }
  }
  const int resolved = resolve_link_target(path, unit.target, sizeof unit.target);
  errno = resolved;
  if (resolved != 0) return error_number_of(resolved);
  for (const Unit& other : g_table.units) {
    if (&other != &unit && other.replaces && same_place(other.target, unit.target)) {
      errno = EEXIST;
      return kOpenFailure;
    }
  }
  fd = create_temporary_beside(unit.target, ".vorna-", unit.temporary, sizeof unit.temporary);
  unit.replaces = fd >= 0;
  return 0;
}

// Name of the listing file: FORT36 (any case, blanks around it dropped) or
// "fort.36".
void listing_file_name(const char*& name, std::size_t& length) {
  const std::string_view listing = listing_name_from_environment();
  name = listing.data();
  length = listing.size();
}

// ---- reading ----

// A read that an interrupt cuts short fails with EINTR; any other is tried
// again.
long read_unit_bytes(void* context, char* into, std::size_t capacity) {
  Unit& unit = *static_cast<Unit*>(context);
  for (;;) {
    const long got = read_some(unit.fd, into, capacity);
    unit.read_error = got < 0 ? errno : 0;
    if (got >= 0 || errno != EINTR || pending_interrupt() != 0) return got;
  }
}

// A file that is standard input is read through the console input's
// splitter, on from the console's last answer. Nothing else reads the
// stream after it, so a pipe is read in blocks from then on.
void read_through_console(Unit& unit) {
  LineSplitter& console = find_unit(kConsoleInput)->own_input;
  if (console.mode() == ReadMode::kOneByte) console.set_mode(ReadMode::kBlocks);
  unit.input = &console;
  unit.fd = STDIN_FILENO;
}

// Standard input that is a regular file gives back what was read past the
// last record, so that the next reader of the file starts there.
void give_back_unread_console_input() {
  LineSplitter& console = find_unit(kConsoleInput)->own_input;
  const std::size_t unread = console.unread();
  if (g_table.console_input_seekable && unread > 0 &&
      lseek(STDIN_FILENO, -static_cast<off_t>(unread), SEEK_CUR) >= 0) {
    console.reset(console.mode());
  }
}

// unit_put_record for all but a file record that fits the buffer of a unit
// already written: the listing's connection, the lock and cut of the first
// write, the console, and a full buffer. Kept out of line, so that the
// common case stays a copy.
[[gnu::noinline]] UnitResult write_record_slowly(Unit& unit, const char* bytes, std::size_t count) {
  const int number = unit.number;
  if (!unit.connected && number == kListingUnit) {
    const char* name;
    std::size_t length;
    listing_file_name(name, length);
    const int error = connect_unit(number, name, length, OpenStatus::kUnknown);
    if (pending_interrupt() != 0) return interrupted(unit);
    if (error != 0) return {error, number};
  }
  if (!unit.connected) return {kWriteError, number};
  if (unit.read_only) return {kWriteToReadOnly, number};
  if (unit.cut_pending) {
    const UnitResult cut = lock_and_cut(unit);
    if (!cut.done()) return cut;
  }
  if (number == kConsoleOutput) {
    if (unit.closed) return failed_write(unit);
    if (Unit* failed = hand_standard_stream_units()) return failed_write(*failed);
  }
  // Blocks are handed at record ends only: the buffer never holds part of a
  // record, so an ending at any safe point closes the file on whole records.
  if (count > unit.out_capacity - unit.pending && !hand_pending(unit)) return failed_write(unit);
  if (count > unit.out_capacity) {
    if (!hand_to_system(unit, bytes, count)) return failed_write(unit);
  } else {
    std::memcpy(unit.out + unit.pending, bytes, count);
    unit.pending += count;
    if (number == kConsoleOutput && !hand_pending(unit)) return failed_write(unit);
  }
  return {};
}

// How the console input is read: a terminal in line mode a typed line at a
// time; a file or a device such as /dev/zero in blocks (a file gets back
// what was read past the last answer); a pipe or socket a byte at a time,
// since another program may read on after the answers.
ReadMode console_read_mode() {
  struct stat info;
  if (fstat(STDIN_FILENO, &info) != 0) return ReadMode::kOneByte;
  g_table.console_input_seekable = S_ISREG(info.st_mode);
  if (g_table.console_is_terminal) {
    termios settings;
    if (tcgetattr(STDIN_FILENO, &settings) == 0 && (settings.c_lflag & ICANON) != 0) {
      return ReadMode::kTerminalLines;
    }
    return ReadMode::kBlocks;
  }
  return S_ISREG(info.st_mode) || S_ISCHR(info.st_mode) ? ReadMode::kBlocks : ReadMode::kOneByte;
}

}  // namespace

void start_units() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) == -1) {
      const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
      if (opened != fd && opened >= 0) ::close(opened);
      // A console that cannot be written: its first record is the 38.
      if (fd == STDOUT_FILENO) find_unit(kConsoleOutput)->closed = true;
    }
  }
  g_table.console_is_terminal = isatty(STDIN_FILENO) != 0;
  find_unit(kConsoleInput)->own_input.reset(console_read_mode());
}

int connect_unit(int number, const char* name, std::size_t length, OpenStatus status) {
  Unit* unit = find_or_add_unit(number);
  if (unit == nullptr || is_console(*unit)) return kOpenFailure;
  const UnitResult closed = unit_close(number);
  if (!closed.done()) return closed.number;
  unit->name[0] = '\0';
  if (length == 0) {
    errno = ENOENT;
    return kOpenFailure;
  }
  set_shown_name(*unit, name, length);
  if (std::memchr(name, '\0', length) != nullptr || length > PATH_MAX) return kFileNameError;
  char path[PATH_MAX + 1];
  std::memcpy(path, name, length);
  path[length] = '\0';

  bool read_only = false;
  int fd = -1;
  if (status == OpenStatus::kReplace) {
    const int refused = stage_replacement(*unit, path, fd);
    if (refused != 0) return refused;
  }
  if (fd < 0) fd = open_file(path, status, read_only);
  if (fd < 0) return error_number_of(errno);
  struct stat file;
  // A directory opened for reading only is no text file either.
  if (fstat(fd, &file) != 0 || S_ISDIR(file.st_mode) || taken_elsewhere(*unit, file, status)) {
    // errno tells why: the folder, or the file another unit has.
    const int cause = S_ISDIR(file.st_mode) ? EISDIR : EEXIST;
    ::close(fd);
    errno = cause;
    return kOpenFailure;
  }
  unit->kind = StreamKind::kOwnFile;
  unit->fd = fd;
  unit->own_input.reset(ReadMode::kBlocks);
  // A file that is a standard stream is used through it: written after what
  // is already there, read on from where the console input stands.
  const int streams[] = {status == OpenStatus::kOld ? STDIN_FILENO : STDOUT_FILENO,
                         status == OpenStatus::kOld ? STDIN_FILENO : STDERR_FILENO};
  for (int stream : streams) {
    if (unit->kind == StreamKind::kOwnFile && is_descriptor(stream, file)) {
      ::close(fd);
      unit->kind = StreamKind::kBorrowedStream;
      unit->fd = stream;
      if (stream == STDIN_FILENO) read_through_console(*unit);
    }
  }
  unit->identity = file;
  unit->connected = true;
  unit->read_only = read_only;
  unit->cut_pending = unit->kind == StreamKind::kOwnFile && S_ISREG(file.st_mode) && !read_only;
  unit->failed = false;
  unit->pending = 0;
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
  Unit* unit = find_unit(number);
  if (unit == nullptr || !unit->connected) return SplitStatus::kReadFailed;
  return unit->input->next(read_unit_bytes, unit, record, length);
}

bool unit_hung_up(int number) {
  const Unit* unit = find_unit(number);
  if (number != kConsoleInput || unit == nullptr || !g_table.console_is_terminal) return false;
  // A terminal that hung up refuses its controls; one whose other side has
  // just closed fails reads with EIO while we are still its foreground.
  const pid_t foreground = tcgetpgrp(unit->fd);
  if (foreground < 0) return errno == EIO;
  return unit->read_error == EIO && foreground == getpgrp();
}

UnitResult unit_put_record(int number, const char* bytes, std::size_t count) {
  // Nothing is written once an interrupt is pending.
  if (pending_interrupt() != 0) return {kInterrupt, number};
  Unit* unit = find_unit(number);
  if (unit == nullptr) return {};
  if (unit->connected && !unit->cut_pending && !unit->read_only && number != kConsoleOutput &&
      count <= unit->out_capacity - unit->pending) {
    std::memcpy(unit->out + unit->pending, bytes, count);
    unit->pending += count;
    return {};
  }
  return write_record_slowly(*unit, bytes, count);
}

OutputRoom unit_output_room(int number) {
  Unit* unit = find_unit(number);
  if (unit == nullptr || !unit->connected || unit->cut_pending || unit->read_only ||
      number == kConsoleOutput) {
    return {};
  }
  return {unit->out + unit->pending, unit->out_capacity - unit->pending};
}

void unit_take_room(int number, std::size_t count) { find_unit(number)->pending += count; }

UnitResult unit_close(int number) {
  Unit* unit = find_unit(number);
  if (unit == nullptr || !unit->connected) return {};
  if (!hand_pending(*unit)) return failed_write(*unit);
  if (!release(*unit)) return {kWriteError, number};
  return {};
}

int close_all_units(void (*report)(int unit)) {
  give_back_unread_console_input();
  int failures = 0;
  for (Unit& unit : g_table.units) {
    if (!unit.connected) continue;
    const bool written = hand_pending(unit);
    if (!release(unit) || !written) {
      report(unit.number);
      ++failures;
    }
    unit.failed = false;
  }
  return failures;
}

UnitResult commit_replaced_files() {
  UnitResult failure;
  for (Unit& unit : g_table.units) {
    if (!unit.replaces) continue;
    unit.replaces = false;
    struct stat file;
    const bool written = ::stat(unit.temporary, &file) == 0 && file.st_size > 0;
    if (written && ::rename(unit.temporary, unit.target) == 0) continue;
    ::unlink(unit.temporary);
    if (written && failure.done()) failure = {kWriteError, unit.number};
  }
  return failure;
}

int discard_replaced_files(const char* removed[], int capacity) {
  int count = 0;
  for (Unit& unit : g_table.units) {
    if (!unit.replaces) continue;
    unit.replaces = false;
    ::unlink(unit.temporary);
    struct stat earlier;
    if (::lstat(unit.target, &earlier) == 0 && S_ISREG(earlier.st_mode) &&
        ::unlink(unit.target) == 0 && count < capacity) {
      removed[count++] = unit.name;
    }
  }
  return count;
}

void flush_units_on_standard_streams() { hand_standard_stream_units(); }

}  // namespace vorna
