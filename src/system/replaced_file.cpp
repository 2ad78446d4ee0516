#include "system/replaced_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vorna {
namespace {

// As many links as the system itself follows in one path.
constexpr int kMaxLinks = 40;

mode_t mode_for_new_file() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The length of path's folder part with its slash, 0 for a bare name.
std::size_t folder_length(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash == nullptr ? 0 : static_cast<std::size_t>(slash - path) + 1;
}

}  // namespace

int resolve_link_target(const char* name, char* target, std::size_t size) {
  if (std::snprintf(target, size, "%s", name) >= static_cast<int>(size)) return ENAMETOOLONG;
  for (int links = 0; links <= kMaxLinks; ++links) {
    struct stat info;
    if (::lstat(target, &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
    char link[PATH_MAX + 1];
    const ssize_t length = ::readlink(target, link, sizeof link - 1);
    if (length < 0) return errno;
    if (static_cast<std::size_t>(length) >= sizeof link - 1) return ENAMETOOLONG;
    link[length] = '\0';
    // A relative link leads on from the link's own folder.
    const std::size_t folder = link[0] == '/' ? 0 : folder_length(target);
    if (folder + static_cast<std::size_t>(length) >= size) return ENAMETOOLONG;
    std::memcpy(target + folder, link, static_cast<std::size_t>(length) + 1);
  }
  return ELOOP;
}

int create_temporary_beside(const char* final_path, const char* prefix, char* temporary,
                            std::size_t size) {
  const int folder = static_cast<int>(folder_length(final_path));
  if (std::snprintf(temporary, size, "%.*s%sXXXXXX", folder, final_path, prefix) >=
      static_cast<int>(size)) {
    errno = ENAMETOOLONG;
    return -1;
  }
  const int fd = ::mkostemp(temporary, O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat replaced;
  ::fchmod(fd,
           ::stat(final_path, &replaced) == 0 ? (replaced.st_mode & 07777) : mode_for_new_file());
  return fd;
}

}  // namespace vorna
