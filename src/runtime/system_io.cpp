#include "runtime/system_io.h"

#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace vorna {

volatile std::sig_atomic_t g_interrupt_signal = 0;

namespace {

// After an interrupt the run must end within a second, even when nobody
// reads the console: writes that wait share this much time in all.
constexpr long kGraceMilliseconds = 500;

long now_milliseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The waits' signal state: one per process, as the signals are.
struct Waits {
  sigset_t mask;
  bool mask_set = false;
  long grace_end = 0;  // when the grace time after an interrupt ends; 0: not started
};
Waits g_waits;

// Milliseconds left of the grace time; it starts at the first call.
int grace_left() {
  if (g_waits.grace_end == 0) g_waits.grace_end = now_milliseconds() + kGraceMilliseconds;
  const long left = g_waits.grace_end - now_milliseconds();
  return left > 0 ? static_cast<int>(left) : 0;
}

const sigset_t* wait_mask() { return g_waits.mask_set ? &g_waits.mask : nullptr; }

timespec time_of(int milliseconds) {
  return timespec{milliseconds / 1000, (milliseconds % 1000) * 1000000L};
}

// Waits until the descriptor is ready: > 0 ready (or an error the next call
// reports), 0 when the time ran out, -1 with errno. A wait without a time
// limit ends with EINTR on an interrupt, also one that came just before it:
// the interrupts are blocked but in ppoll.
int wait_ready(int fd, short events, int timeout_milliseconds) {
  if (timeout_milliseconds < 0 && g_interrupt_signal != 0) {
    errno = EINTR;
    return -1;
  }
  pollfd entry{fd, events, 0};
  const timespec limit = time_of(timeout_milliseconds);
  return ppoll(&entry, 1, timeout_milliseconds < 0 ? nullptr : &limit, wait_mask());
}

// The length of the next piece for a pipe or terminal: at most PIPE_BUF
// bytes, ending after the piece's last line end when it holds one.
std::size_t piece_length(const char* bytes, std::size_t left) {
  if (left <= PIPE_BUF) return left;
  const void* line_end = memrchr(bytes, '\n', PIPE_BUF);
  if (line_end == nullptr) return PIPE_BUF;
  return static_cast<std::size_t>(static_cast<const char*>(line_end) - bytes) + 1;
}

bool is_regular_file(int fd) {
  struct stat info;
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void record_interrupt(int signal_number) { g_interrupt_signal = signal_number; }

void wait_with_signal_mask(const sigset_t& mask) {
  g_waits.mask = mask;
  g_waits.mask_set = true;
}

void take_blocked_interrupts() {
  if (!g_waits.mask_set) return;
  const timespec none{0, 0};
  ppoll(nullptr, 0, &none, &g_waits.mask);
}

void sleep_interruptibly(int milliseconds) {
  const timespec limit = time_of(milliseconds);
  ppoll(nullptr, 0, &limit, wait_mask());
}

WriteResult write_fully(int fd, const char* bytes, std::size_t count) {
  // A regular file takes any count at once; a pipe or terminal is waited
  // for in poll and given a piece of at most PIPE_BUF bytes, which it takes
  // whole without blocking once it polls ready.
  const bool may_block = !is_regular_file(fd);
  std::size_t done = 0;
  while (done < count) {
    std::size_t piece = count - done;
    if (may_block) {
      const int ready = wait_ready(fd, POLLOUT, pending_interrupt() != 0 ? grace_left() : -1);
      if (ready == 0) return {done, WriteOutcome::kDropped, 0};
      if (ready < 0 && errno == EINTR) continue;
      piece = piece_length(bytes + done, piece);
    }
    const ssize_t wrote = ::write(fd, bytes + done, piece);
    if (wrote > 0) {
      done += static_cast<std::size_t>(wrote);
    } else if (wrote == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
      return {done, WriteOutcome::kFailed, wrote == 0 ? EIO : errno};
    }
  }
  // A regular file never waits in poll: an interrupt that came while it was
  // written is let in here.
  if (!may_block) take_blocked_interrupts();
  return {done, WriteOutcome::kAll, 0};
}

long read_some(int fd, char* into, std::size_t capacity) {
  for (;;) {
    if (wait_ready(fd, POLLIN, -1) < 0) return -1;
    const ssize_t got = ::read(fd, into, capacity);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
  }
}

}  // namespace vorna
