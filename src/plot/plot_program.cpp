#include "plot/plot_program.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "plot/block_reader.h"
#include "plot/command_line.h"
#include "plot/cycle_picture.h"
#include "plot/picture.h"
#include "plot/picture_layout.h"
#include "plot/plot_input.h"
#include "plot/run_summary.h"
#include "plot/svg_output.h"
#include "system/descriptors.h"
#include "system/replaced_file.h"
#include "system/usage_error.h"

namespace vorna::plot {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The large working storage of one run, fixed in size: taken once from the
// heap, as it is too large for the stack.
struct Storage {
  BlockReader reader;
  BlockReader table_reader;
  PrintFile print_file;
  Listing listing;
};

int fail(const Problem& problem, int status) {
  char line[sizeof problem.message + 16] = "vorna-plot: ";
  std::strncat(line, problem.message, sizeof line - std::strlen(line) - 2);
  std::strcat(line, "\n");
  write_all(STDERR_FILENO, line);
  return status;
}

// A text on standard output, for --help and --version.
int write_to_standard_output(std::string_view text) {
  if (write_all(STDOUT_FILENO, text)) return 0;
  Problem problem;
  problem.set("standard output: cannot write: %s", std::strerror(errno));
  return fail(problem, kExitFailure);
}

bool writes_to_standard_output(const char* output) {
  return output == nullptr || std::strcmp(output, "-") == 0;
}

// An output that is one of the inputs (by any name: ./, links) would
// destroy it: refused before anything is opened for writing.
bool output_is_not_an_input(const char* output, const char* const inputs[2], Problem& problem) {
  struct stat target;
  if (writes_to_standard_output(output) || ::stat(output, &target) != 0) return true;
  for (int i = 0; i < 2; ++i) {
    struct stat input;
    if (::stat(inputs[i], &input) == 0 && same_file(target, input)) {
      problem.set("%s: is the input file %s; name another output", output, inputs[i]);
      return false;
    }
  }
  return true;
}

// Where the picture goes. A regular file (or a new one) is written whole
// to a temporary file beside it and renamed over it at the end, so that a
// failure leaves the old file as it was; standard output, a device or a
// pipe is written through as it stands, never truncated.
struct Destination {
  int fd = STDOUT_FILENO;
  const char* shown = "standard output";
  bool replaced = false;  // written to temporary, then renamed to final_path
  char temporary[vorna::kReplacedPathSize] = {};
  char final_path[vorna::kReplacedPathSize] = {};
};

bool open_destination(const char* output, Destination& destination, Problem& problem) {
  if (writes_to_standard_output(output)) return true;
  destination.shown = output;
  struct stat target, standard_output;
  const bool exists = ::stat(output, &target) == 0;
  if (exists && ::fstat(STDOUT_FILENO, &standard_output) == 0 &&
      same_file(target, standard_output)) {
    return true;
  }
  if (exists && !S_ISREG(target.st_mode)) {
    do {
      destination.fd = ::open(output, O_WRONLY | O_CLOEXEC);
    } while (destination.fd < 0 && errno == EINTR);
    if (destination.fd >= 0) return true;
    problem.set("%s: cannot open: %s", output, std::strerror(errno));
    return false;
  }
  // Through a symbolic link, a dangling one too, the file it leads to is
  // written and the link stays; a loop of links is refused as a shell's
  // redirection refuses it.
  const int unresolved =
      resolve_link_target(output, destination.final_path, sizeof destination.final_path);
  if (unresolved != 0) {
    problem.set("%s: cannot create: %s", output, std::strerror(unresolved));
    return false;
  }
  // The temporary file has a short name of its own in the output's folder,
  // so an output name as long as a folder allows still has room beside it.
  destination.fd = create_temporary_beside(destination.final_path, ".vorna-plot.",
                                           destination.temporary, sizeof destination.temporary);
  if (destination.fd < 0) {
    problem.set("%s: cannot create: %s", output, std::strerror(errno));
    return false;
  }
  destination.replaced = true;
  return true;
}

// Closes the destination; the temporary file becomes the output, or goes
// when anything failed. False with errno set when the picture is not all
// in place.
bool close_destination(Destination& destination, bool written) {
  if (destination.fd == STDOUT_FILENO) return written;
  int error = errno;
  if (::close(destination.fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (destination.replaced) {
    if (written && ::rename(destination.temporary, destination.final_path) != 0) {
      written = false;
      error = errno;
    }
    if (!written) ::unlink(destination.temporary);
  }
  errno = error;
  return written;
}

// draw(out) draws the picture.
template <typename Draw>
int write_picture(const Options& options, Draw draw) {
  Problem problem;
  Destination destination;
  if (!open_destination(options.output, destination, problem)) return fail(problem, kExitFailure);
  const auto out = std::make_unique<SvgOutput>(destination.fd);
  draw(*out);
  const bool finished = out->finish();
  if (close_destination(destination, finished)) return 0;
  problem.set("%s: cannot write: %s", destination.shown, std::strerror(errno));
  return fail(problem, kExitFailure);
}

// The range exceedance of a cycle file.
int plot_cycles(const Options& options, Storage& storage) {
  Problem problem;
  const char* const inputs[2] = {options.cycles, options.cycles};
  CycleFile file;
  if (!output_is_not_an_input(options.output, inputs, problem) ||
      !read_cycle_file(options.cycles, storage.reader, file, problem)) {
    return fail(problem, kExitFailure);
  }
  return write_picture(options, [&](SvgOutput& out) {
    draw_cycle_picture(file, options.cycles, options.size, options.texts, out);
  });
}

}  // namespace

int run_plot(int argc, char** argv) {
  // A file size limit makes a write fail, reported as any other, rather
  // than end the program with the temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  Options options;
  Problem problem;
  if (!parse_command_line(argc, argv, options, problem)) {
    write_usage_error("vorna-plot", problem.message);
    return kExitUsage;
  }
  if (options.action == Options::Action::kHelp) return write_to_standard_output(kHelpText);
  if (options.action == Options::Action::kVersion) {
    return write_to_standard_output("vorna-plot 1.0\n");
  }
  const auto storage = std::make_unique<Storage>();
  if (options.cycles != nullptr) return plot_cycles(options, *storage);
  RunSummary summary;
  if (options.run != nullptr && (!read_run_summary(options.run, summary, problem) ||
                                 !take_run_summary(summary, options.run, options, problem))) {
    return fail(problem, kExitFailure);
  }
  ListingChoice listing;
  listing.name = options.listing;
  if (listing.name != nullptr && listing.name == summary.listing_file) {
    listing.source = ListingSource::kRunSummary;
  }
  if (listing.name == nullptr && !choose_listing(options.print_file, listing, problem)) {
    return fail(problem, kExitFailure);
  }
  // "-" is standard input, as vorna -l - writes the listing on standard output.
  const char* const listing_name =
      std::strcmp(listing.name, "-") == 0 ? "/dev/stdin" : listing.name;
  const char* const inputs[2] = {options.print_file, listing_name};
  if (!output_is_not_an_input(options.output, inputs, problem)) return fail(problem, kExitFailure);
  // The detail panel asks for three samples per four columns, so that each
  // keeps a column of its own when wide value labels narrow the plot.
  const int columns = plot_columns(options.size);
  const int detail_columns = options.texts.detail ? columns * 3 / 4 : 0;
  PrintFile& print_file = storage->print_file;
  Listing& samples = storage->listing;
  if (!read_print_file(options.print_file, storage->reader, print_file, problem)) {
    return fail(problem, kExitFailure);
  }
  if (!read_listing(listing_name, options.print_file, print_file, columns, detail_columns,
                    storage->reader, storage->table_reader, samples, problem)) {
    explain_listing_choice(listing, options.print_file, options.run, problem);
    return fail(problem, kExitFailure);
  }
  const PictureSources sources = {options.print_file, listing_name};
  return write_picture(options, [&](SvgOutput& out) {
    draw_picture(print_file, samples, sources, options.size, options.texts, out);
  });
}

}  // namespace vorna::plot
