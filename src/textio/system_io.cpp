#include "textio/system_io.h"

#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

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

// Milliseconds left of the grace time; it starts at the first call.
int grace_left() {
  static long end = 0;
  if (end == 0) end = now_milliseconds() + kGraceMilliseconds;
  const long left = end - now_milliseconds();
  return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until the descriptor is ready: > 0 ready (or an error the next call
// reports), 0 when the time ran out, -1 with errno. A wait without a time
// limit ends with EINTR on an interrupt, also one that came just before it:
// signals are blocked from the check until poll waits.
int wait_ready(int fd, short events, int timeout_milliseconds) {
  sigset_t all, open;
  sigfillset(&all);
  sigprocmask(SIG_BLOCK, &all, &open);
  pollfd entry{fd, events, 0};
  timespec limit{timeout_milliseconds / 1000, (timeout_milliseconds % 1000) * 1000000L};
  int result = -1;
  if (timeout_milliseconds < 0 && g_interrupt_signal != 0) {
    errno = EINTR;
  } else {
    result = ppoll(&entry, 1, timeout_milliseconds < 0 ? nullptr : &limit, &open);
  }
  const int error = errno;
  sigprocmask(SIG_SETMASK, &open, nullptr);
  errno = error;
  return result;
}

bool is_regular_file(int fd) {
  struct stat info;
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void record_interrupt(int signal_number) { g_interrupt_signal = signal_number; }

std::size_t write_fully(int fd, const char* bytes, std::size_t count) {
  // A regular file takes any count at once; a pipe or terminal is waited
  // for in poll and given at most PIPE_BUF bytes, which it takes without
  // blocking once it polls ready.
  const bool may_block = !is_regular_file(fd);
  std::size_t done = 0;
  while (done < count) {
    std::size_t chunk = count - done;
    if (may_block) {
      const int ready = wait_ready(fd, POLLOUT, pending_interrupt() != 0 ? grace_left() : -1);
      if (ready == 0) {
        errno = 0;  // the grace time is over: the rest is dropped
        return done;
      }
      if (ready < 0 && errno == EINTR) continue;
      if (chunk > PIPE_BUF) chunk = PIPE_BUF;
    }
    const ssize_t wrote = ::write(fd, bytes + done, chunk);
    if (wrote > 0) {
      done += static_cast<std::size_t>(wrote);
    } else if (wrote == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) {
      if (wrote == 0) errno = EIO;
      return done;
    }
  }
  return done;
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
