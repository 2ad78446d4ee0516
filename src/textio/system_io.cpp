#include "textio/system_io.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace vorna {
namespace {

volatile std::sig_atomic_t g_interrupt = 0;

// After an interrupt the run must end within a second, even when nobody
// reads the console: writes that may block share this much time in all.
constexpr long kGraceMilliseconds = 500;
// A pipe or terminal that polls ready takes this much without blocking.
constexpr std::size_t kUnblockedChunk = 256;

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

// poll for one descriptor: > 0 ready (or an error the next call reports),
// 0 when the time ran out, -1 with errno.
int wait_ready(int fd, short events, int timeout_milliseconds) {
  pollfd entry{fd, events, 0};
  return poll(&entry, 1, timeout_milliseconds);
}

}  // namespace

void record_interrupt(int signal_number) { g_interrupt = signal_number; }

int pending_interrupt() { return g_interrupt; }

std::size_t write_fully(int fd, const char* bytes, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    std::size_t chunk = count - done;
    if (pending_interrupt() != 0) {
      // A regular file is always ready; a console that stays blocked loses
      // the rest.
      const int ready = wait_ready(fd, POLLOUT, grace_left());
      if (ready == 0) {
        errno = 0;
        return done;
      }
      if (ready < 0 && errno == EINTR) continue;
      if (chunk > kUnblockedChunk) chunk = kUnblockedChunk;
    }
    const ssize_t wrote = ::write(fd, bytes + done, chunk);
    if (wrote > 0) {
      done += static_cast<std::size_t>(wrote);
    } else if (wrote < 0 && errno == EINTR) {
      continue;
    } else if (wrote < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (pending_interrupt() == 0) wait_ready(fd, POLLOUT, -1);
    } else {
      if (wrote == 0) errno = EIO;
      return done;
    }
  }
  return done;
}

long read_some(int fd, char* into, std::size_t capacity) {
  for (;;) {
    const ssize_t got = ::read(fd, into, capacity);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
    if (wait_ready(fd, POLLIN, -1) < 0) return -1;
  }
}

}  // namespace vorna
