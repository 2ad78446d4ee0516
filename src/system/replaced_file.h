// An output file written whole to a temporary file in its folder and renamed
// over its name at the end, so that readers never see half of it and a
// failure leaves no partial file. A symbolic link on the name stays: the
// file it leads to is the one replaced.
#pragma once

#include <sys/types.h>

#include <climits>
#include <cstddef>

namespace vorna {

// Room for a path and the temporary file's short name beside it.
constexpr std::size_t kReplacedPathSize = PATH_MAX + 32;

// The file that name leads to through symbolic links, a dangling one too
// (its target is where a new file goes): 0 with the path in target, or the
// errno of the failure, ELOOP for a loop, ENAMETOOLONG.
int resolve_link_target(const char* name, char* target, std::size_t size);

// Creates a temporary file, readable and writable, with a short name of its
// own (prefix and six random characters) in the folder of final_path, with
// the mode bits of the file it will replace, or of a new file. Returns the
// descriptor, close-on-exec, with the name in temporary; -1 with errno set.
int create_temporary_beside(const char* final_path, const char* prefix, char* temporary,
                            std::size_t size);

}  // namespace vorna
