// Fuzz target of vorna-plot's readers of a run's files. The first byte
// chooses the test:
// - even: the rest makes a run (a first time, a time increment and up to 64
//   values, eight bytes each); its print file and listing are written with
//   the program's own field formatters, header labels and layouts, the
//   extrema taken as every sample that turns. The readers must accept both
//   files as one run and read back every field as strtod reads its text.
// - odd: the rest is a print file and a listing, split at the first 0xFF
//   byte. The readers either refuse them with a line that starts with the
//   file's name and a colon, or accept them, and then the picture must be
//   well-formed: valid UTF-8, no control bytes but line feeds, markup
//   balanced, one root element.
// Files live in memory (memfd) and are named by /proc/self/fd paths.
#include <sys/mman.h>
#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "plot/block_reader.h"
#include "plot/picture.h"
#include "plot/plot_input.h"
#include "plot/svg_output.h"
#include "plot/text_measure.h"
#include "text/field_format.h"
#include "text/run_files.h"

namespace {

using namespace vorna;
using namespace vorna::plot;

// Ends the run with the line of the property that failed.
void require(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "plot_readers_fuzz.cpp:%d: property failed\n", line);
  std::abort();
}

// A file in memory holding bytes, and its path.
struct MemoryFile {
  int fd = -1;
  std::string path;
  explicit MemoryFile(const std::string& bytes) {
    fd = memfd_create("plot-fuzz", 0);
    require(fd >= 0);
    require(write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
    path = "/proc/self/fd/" + std::to_string(fd);
  }
  ~MemoryFile() { close(fd); }
  std::string contents() const {
    std::string bytes;
    char block[65536];
    ssize_t got;
    for (off_t at = 0; (got = pread(fd, block, sizeof block, at)) > 0; at += got) {
      bytes.append(block, static_cast<std::size_t>(got));
    }
    return bytes;
  }
};

BlockReader g_reader, g_table_reader;
PrintFile g_file;
Listing g_listing;

void reset_storage() {
  g_file.~PrintFile();
  new (&g_file) PrintFile();
  g_listing.~Listing();
  new (&g_listing) Listing();
}

std::string field(bool exponent, double value, FieldLayout layout) {
  char text[64];
  if (exponent) {
    format_exponent(value, layout.width, layout.digits, text);
  } else {
    format_fixed(value, layout.width, layout.digits, text);
  }
  return std::string(text, static_cast<std::size_t>(layout.width));
}

// The value of a field's text as strtod reads it: the exponent letter
// put back where three digits left it out ("1.0000+100"). A text beyond
// the largest double ("1.7977+308", rounded up) reads as the largest
// finite value with its sign, as the readers document.
double strtod_of(const std::string& text) {
  std::string number = text.substr(text.find_first_not_of(' '));
  const std::size_t sign = number.find_last_of("+-");
  if (sign != std::string::npos && sign > 0 && number[sign - 1] != 'E') number.insert(sign, "E");
  const double value = std::strtod(number.c_str(), nullptr);
  return std::isinf(value) ? std::copysign(DBL_MAX, value) : value;
}

// A value read back as the text says; below the normal range the reader
// may give zero.
bool reads_as(double read, const std::string& text) {
  const double expected = strtod_of(text);
  return read == expected || (std::fabs(expected) < DBL_MIN && read == 0.0);
}

bool is_number_text(const std::string& text) {
  return text.find('*') == std::string::npos && text.find('N') == std::string::npos &&
         text.find('I') == std::string::npos;
}

struct Run {
  double first = 0.0, increment = 1.0;
  std::vector<double> values;
};

Run run_of(const std::uint8_t* data, std::size_t size) {
  Run run;
  std::vector<double> numbers;
  for (std::size_t at = 0; at + 8 <= size && numbers.size() < 66; at += 8) {
    double number;
    std::memcpy(&number, data + at, 8);
    numbers.push_back(number);
  }
  if (numbers.size() >= 2) {
    run.first = numbers[0];
    run.increment = numbers[1];
    run.values.assign(numbers.begin() + 2, numbers.end());
  }
  return run;
}

void check_round_trip(const std::uint8_t* data, std::size_t size) {
  const Run run = run_of(data, size);
  const std::size_t n = run.values.size();
  std::string print = "#" + std::string(256, ' ') + "\r\n";
  // Times rebuilt as the program rebuilds them, with a real counter.
  const double last =
      n > 0 ? (static_cast<double>(n) * run.increment + run.first) - run.increment : run.first;
  char steps[16];
  format_integer(static_cast<int>(n), kHeaderCount.width, kHeaderCount.digits, steps);
  print += kStepsLabel + std::string(steps, kHeaderCount.width) + "\r\n";
  print += kFirstTimeLabel + field(false, run.first, kHeaderFixed) + "\r\n";
  print += kLastTimeLabel + field(false, last, kHeaderFixed) + "\r\n";
  print += kIncrementLabel + field(false, run.increment, kHeaderFixed) + "\r\n";
  print += kLengthLabel + field(false, last - run.first, kHeaderFixed) + "\r\n";
  print += kMaxHeightLabel + field(true, 0.0, kHeaderExponent) + "\r\n";
  print += kMaxHeightTimeLabel + field(false, 0.0, kHeaderFixed) + "\r\n";
  print += "#" + std::string(25, ' ') + "\r\n";
  std::string listing;
  std::vector<std::string> time_texts, value_texts, table_times, table_values;
  double previous = 0.0;
  double counter = 1.0;
  for (std::size_t k = 0; k < n; ++k, counter += 1.0) {
    const double time = (counter * run.increment + run.first) - run.increment;
    time_texts.push_back(field(false, time, kListingTime));
    value_texts.push_back(field(true, run.values[k], kListingValue));
    listing += time_texts.back() + value_texts.back() + "\r\n";
    const bool turns = k > 0 && k + 1 < n &&
                       ((run.values[k] > run.values[k - 1] && run.values[k] > run.values[k + 1]) ||
                        (run.values[k] < run.values[k - 1] && run.values[k] < run.values[k + 1]));
    if (!turns) continue;
    table_times.push_back(field(false, time, kTableTime));
    table_values.push_back(field(true, run.values[k], kTableValue));
    const double height = table_times.size() == 1 ? 0.0 : run.values[k] - previous;
    previous = run.values[k];
    print += table_times.back() + table_values.back() + field(true, height, kTableHeight) + "\r\n";
  }
  MemoryFile print_file(print), listing_file(listing);
  reset_storage();
  Problem problem;
  require(read_print_file(print_file.path.c_str(), g_reader, g_file, problem));
  require(g_file.steps == static_cast<std::int64_t>(n));
  require(g_file.extremum_count == static_cast<std::int64_t>(table_times.size()));
  int stored = 0;
  for (std::size_t j = 0; j < table_times.size(); ++j) {
    if (!is_number_text(table_times[j]) || !is_number_text(table_values[j])) continue;
    require(reads_as(g_file.extrema[stored].time, table_times[j]));
    require(reads_as(g_file.extrema[stored].value, table_values[j]));
    ++stored;
  }
  require(g_file.stored_extrema == stored);
  require(read_listing(listing_file.path.c_str(), print_file.path.c_str(), g_file, 100, 60,
                       g_reader, g_table_reader, g_listing, problem));
  // The lowest and highest value texts, by strtod.
  const std::string* lowest = nullptr;
  const std::string* highest = nullptr;
  std::int64_t valued = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const std::string& text = value_texts[k];
    if (!is_number_text(text)) continue;
    if (lowest == nullptr || strtod_of(text) < strtod_of(*lowest)) lowest = &text;
    if (highest == nullptr || strtod_of(text) > strtod_of(*highest)) highest = &text;
    ++valued;
  }
  require(g_listing.valued_samples == valued);
  require(lowest == nullptr ||
          (reads_as(g_listing.values.low, *lowest) && reads_as(g_listing.values.high, *highest)));
}

// Valid UTF-8, no control bytes but line feeds, every '<' closed by a '>'
// before the next, as many end tags as start tags, one root.
void check_well_formed(const std::string& svg) {
  for (std::size_t at = 0; at < svg.size();) {
    const char32_t c = decode_utf8(svg, at);
    require(c != kInvalidCodePoint && (c == '\n' || c >= 0x20));
  }
  require(svg.compare(0, 5, "<?xml") == 0);
  require(svg.size() >= 7 && svg.compare(svg.size() - 7, 7, "</svg>\n") == 0);
  long depth = 0;
  bool root_closed = false;
  for (std::size_t at = svg.find('<', 1); at != std::string::npos; at = svg.find('<', at + 1)) {
    const std::size_t end = svg.find('>', at);
    require(end != std::string::npos);
    require(svg.find('<', at + 1) > end);
    require(!root_closed);
    if (svg[at + 1] == '/') {
      require(--depth >= 0);
      root_closed = depth == 0;
    } else if (svg[end - 1] != '/') {
      ++depth;
    }
  }
  require(root_closed && depth == 0);
}

void check_arbitrary(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t split = bytes.find('\xFF');
  MemoryFile print_file(bytes.substr(0, split));
  MemoryFile listing_file(split == std::string::npos ? std::string() : bytes.substr(split + 1));
  reset_storage();
  Problem problem;
  const bool read = read_print_file(print_file.path.c_str(), g_reader, g_file, problem) &&
                    read_listing(listing_file.path.c_str(), print_file.path.c_str(), g_file, 200,
                                 150, g_reader, g_table_reader, g_listing, problem);
  if (!read) {
    const std::string message = problem.message;
    require(message.compare(0, print_file.path.size() + 1, print_file.path + ":") == 0 ||
            message.compare(0, listing_file.path.size() + 1, listing_file.path + ":") == 0);
    return;
  }
  MemoryFile picture("");
  const std::unique_ptr<SvgOutput> out(new SvgOutput(picture.fd));
  PictureSize picture_size;
  picture_size.width = 300 + data[0] % 7 * 100;
  picture_size.height = 300;
  draw_picture(g_file, g_listing, {print_file.path.c_str(), listing_file.path.c_str()},
               picture_size, PictureTexts(), *out);
  require(out->finish());
  check_well_formed(picture.contents());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] % 2 == 0) {
    check_round_trip(data + 1, size - 1);
  } else {
    check_arbitrary(data, size);
  }
  return 0;
}
