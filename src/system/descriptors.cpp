#include "system/descriptors.h"

#include <unistd.h>

#include <cerrno>

namespace vorna {

bool write_all(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t wrote = ::write(fd, bytes, count);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      if (wrote == 0) errno = EIO;
      return false;
    }
    bytes += wrote;
    count -= static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace vorna
