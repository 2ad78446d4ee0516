#include "plot/plot_program.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "plot/block_reader.h"
#include "plot/command_line.h"
#include "plot/picture.h"
#include "plot/plot_input.h"
#include "plot/svg_output.h"

namespace vorna::plot {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The large working storage of the run, fixed in size.
BlockReader g_reader;
PrintFile g_print_file;
Listing g_listing;

void write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t wrote = ::write(fd, text.data(), text.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(wrote));
  }
}

int fail(const Problem& problem, int status) {
  char line[sizeof problem.message + 16] = "vorna-plot: ";
  std::strncat(line, problem.message, sizeof line - std::strlen(line) - 2);
  std::strcat(line, "\n");
  write_all(STDERR_FILENO, line);
  return status;
}

bool writes_to_standard_output(const char* output) {
  return output == nullptr || std::strcmp(output, "-") == 0;
}

// Writes the picture to the output named on the command line. A file
// left incomplete by a failed write is removed.
int write_picture(const Options& options, const PictureSources& sources) {
  Problem problem;
  const bool to_standard_output = writes_to_standard_output(options.output);
  const char* output_name = to_standard_output ? "standard output" : options.output;
  int fd = STDOUT_FILENO;
  if (!to_standard_output) {
    do {
      fd = ::open(options.output, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
      problem.set("%s: cannot create: %s", output_name, std::strerror(errno));
      return fail(problem, kExitFailure);
    }
  }
  static SvgOutput out(fd);
  draw_picture(g_print_file, g_listing, sources, options.size, out);
  bool written = out.finish();
  int error = errno;
  if (!to_standard_output) {
    struct stat info;
    const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (::close(fd) != 0 && written) {
      written = false;
      error = errno;
    }
    if (!written && regular) ::unlink(options.output);
  }
  if (written) return 0;
  problem.set("%s: cannot write: %s", output_name, std::strerror(error));
  return fail(problem, kExitFailure);
}

}  // namespace

int run_plot(int argc, char** argv) {
  Options options;
  Problem problem;
  if (!parse_command_line(argc, argv, options, problem)) return fail(problem, kExitUsage);
  if (options.action == Options::Action::kHelp) {
    write_all(STDOUT_FILENO, kHelpText);
    return 0;
  }
  if (options.action == Options::Action::kVersion) {
    write_all(STDOUT_FILENO, "vorna-plot 1.0\n");
    return 0;
  }
  const char* listing_name = options.listing;
  if (listing_name == nullptr && !listing_default_name(listing_name, problem)) {
    return fail(problem, kExitFailure);
  }
  if (!read_print_file(options.print_file, g_reader, g_print_file, problem) ||
      !read_listing(listing_name, g_print_file.steps, options.print_file,
                    plot_columns(options.size), g_reader, g_listing, problem)) {
    return fail(problem, kExitFailure);
  }
  return write_picture(options, {options.print_file, listing_name});
}

}  // namespace vorna::plot
