// Feeds arbitrary text to the free-form number reader, once in a blank-padded
// field of the program's length and once in a buffer of exactly the text's
// length (so that any read past the record end is caught), with one and
// with two targets. Every real it accepts must survive a shortest decimal
// round trip bit for bit.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>

#include "textio/number_reader.h"

namespace {

constexpr std::size_t kFieldLength = 256;
// A pattern no value text gives: a target still holding it received nothing.
constexpr std::uint64_t kUntouched = 0x7FF4DEADBEEF0001ull;

std::uint64_t bits_of(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double untouched() {
  double value;
  std::memcpy(&value, &kUntouched, sizeof value);
  return value;
}

// The shortest decimal form of the real must read back to the same bits.
void check_round_trip(double value) {
  if (bits_of(value) == kUntouched) return;
  char text[64];
  std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
  if (written.ec != std::errc()) std::abort();
  double back = 0.0;
  std::from_chars_result read = std::from_chars(text, written.ptr, back);
  if (read.ec != std::errc() || read.ptr != written.ptr || bits_of(back) != bits_of(value))
    std::abort();
}

void scan_and_check(const char* field, int length, int count) {
  double values[2] = {untouched(), untouched()};
  double* targets[] = {&values[0], &values[1]};
  vorna::ReadStatus status = vorna::scan_numbers(field, length, targets, count);
  switch (status) {
    case vorna::ReadStatus::kOk:
    case vorna::ReadStatus::kEndOfRecord:
    case vorna::ReadStatus::kSyntax:
    case vorna::ReadStatus::kConversion:
      break;
    default:
      std::abort();
  }
  if (status != vorna::ReadStatus::kOk) return;
  for (int i = 0; i < count; ++i) check_round_trip(values[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t used = size < kFieldLength ? size : kFieldLength;
  // The program's own case: a full blank-padded field.
  std::unique_ptr<char[]> field(new char[kFieldLength]);
  std::memset(field.get(), ' ', kFieldLength);
  std::memcpy(field.get(), data, used);
  // The record cut at the text's end, in a buffer of exactly that size.
  std::unique_ptr<char[]> exact(new char[used > 0 ? used : 1]);
  std::memcpy(exact.get(), data, used);
  for (int count = 1; count <= 2; ++count) {
    scan_and_check(field.get(), static_cast<int>(kFieldLength), count);
    scan_and_check(exact.get(), static_cast<int>(used), count);
  }
  return 0;
}
