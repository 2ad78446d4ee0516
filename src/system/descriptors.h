// Whole writes to a descriptor and the identity of a file: the small POSIX
// jobs that both programs do.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string_view>

namespace vorna {

// Writes the count bytes to fd, again after an interrupted or partial write.
// False with errno set when a write fails (EIO when it takes nothing).
bool write_all(int fd, const char* bytes, std::size_t count);
inline bool write_all(int fd, std::string_view text) {
  return write_all(fd, text.data(), text.size());
}

// Whether two files are one (the same device and inode), by whatever names
// or descriptors they were found.
inline bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace vorna
