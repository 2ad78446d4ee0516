// Fuzz target of the line splitter. Input: a mode byte (bit 0: one-byte
// mode; bits 1..6: the first buffer's size less one), a count byte, that
// many read-size bytes (used in turn, 0 standing for "as much as asked"),
// then the byte stream. The stream is split twice, the second time after a
// reset and in the other mode; both must give exactly the records of a
// plain reference splitter, records never hold a line feed, and in one-byte
// mode nothing past the current line end is taken from the source. The
// first buffer is a heap block of exactly its size, so any access past it
// is caught; every record is also moved into a field of a length from the
// input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "runtime/line_reader.h"
#include "text/line_splitter.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

struct Record {
  std::string bytes;
  std::size_t consumed;  // stream bytes up to and including its line end
};

// Records end at a line feed, one carriage return before it is dropped, a
// last line without a line feed is a record, a record of one control-Z ends
// the stream.
std::vector<Record> reference_split(const std::string& stream) {
  std::vector<Record> records;
  std::size_t start = 0;
  while (start < stream.size()) {
    const std::size_t feed = stream.find('\n', start);
    const std::size_t end = feed == std::string::npos ? stream.size() : feed;
    std::string record = stream.substr(start, end - start);
    if (!record.empty() && record.back() == '\r') record.pop_back();
    const std::size_t consumed = feed == std::string::npos ? stream.size() : feed + 1;
    if (record == "\x1a") break;
    records.push_back({record, consumed});
    start = consumed;
  }
  return records;
}

struct Source {
  const std::string* stream;
  std::size_t offset;
  const std::vector<std::size_t>* sizes;
  std::size_t next_size;
  std::size_t largest_request;
};

long read_source(void* context, char* into, std::size_t capacity) {
  Source& source = *static_cast<Source*>(context);
  require(capacity > 0);
  std::size_t take = source.stream->size() - source.offset;
  if (take > capacity) take = capacity;
  if (!source.sizes->empty()) {
    const std::size_t size = (*source.sizes)[source.next_size++ % source.sizes->size()];
    if (size > 0 && take > size) take = size;
  }
  if (capacity > source.largest_request) source.largest_request = capacity;
  // Writes every byte the splitter offers, so that a capacity past its
  // buffer is caught even when the stream has fewer bytes left.
  std::memset(into, 0x55, capacity);
  std::memcpy(into, source.stream->data() + source.offset, take);
  source.offset += take;
  return static_cast<long>(take);
}

void split_and_check(const std::string& stream, const std::vector<Record>& expected,
                     const std::vector<std::size_t>& sizes, std::size_t buffer_size,
                     bool one_byte_mode, int field_length, bool reset_first) {
  const vorna::ReadMode mode = one_byte_mode ? vorna::ReadMode::kOneByte : vorna::ReadMode::kBlocks;
  std::unique_ptr<char[]> initial(new char[buffer_size]);
  vorna::LineSplitter splitter(initial.get(), buffer_size, mode);
  if (reset_first) {
    // Some bytes of another stream first, then forgotten.
    const std::string other = "left\r\nover";
    const std::vector<std::size_t> none;
    Source first{&other, 0, &none, 0, 0};
    const char* record;
    std::size_t length;
    require(splitter.next(read_source, &first, record, length) == vorna::SplitStatus::kRecord);
    require(std::string(record, length) == "left");
    splitter.reset(mode);
  }
  Source source{&stream, 0, &sizes, 0, 0};
  std::unique_ptr<char[]> field(new char[static_cast<std::size_t>(field_length)]);
  std::size_t index = 0;
  for (;;) {
    const char* record = nullptr;
    std::size_t length = 0;
    const vorna::SplitStatus status = splitter.next(read_source, &source, record, length);
    if (status == vorna::SplitStatus::kEnd) break;
    require(status == vorna::SplitStatus::kRecord);
    require(index < expected.size());
    require(std::memchr(record, '\n', length) == nullptr);
    require(std::string(record, length) == expected[index].bytes);
    if (one_byte_mode) {
      require(source.largest_request == 1);
      require(source.offset == expected[index].consumed);
    }
    vorna::transfer_record(record, length, field.get(), field_length);
    const std::size_t field_size = static_cast<std::size_t>(field_length);
    const std::size_t taken = length < field_size ? length : field_size;
    require(std::memcmp(field.get(), record, taken) == 0);
    for (std::size_t i = taken; i < field_size; ++i) {
      require(field[i] == ' ');
    }
    ++index;
  }
  require(index == expected.size());
  // The end stays the end.
  const char* record = nullptr;
  std::size_t length = 0;
  require(splitter.next(read_source, &source, record, length) == vorna::SplitStatus::kEnd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const bool one_byte_mode = (data[0] & 1) != 0;
  const std::size_t buffer_size = 1 + ((data[0] >> 1) & 63);
  std::size_t count = data[1] % 16;
  std::size_t at = 2;
  std::vector<std::size_t> sizes;
  while (count-- > 0 && at < size) sizes.push_back(data[at++]);
  const std::string stream(reinterpret_cast<const char*>(data) + at, size - at);
  const std::vector<Record> expected = reference_split(stream);
  const int field_length = 1 + static_cast<int>(size % 300);
  split_and_check(stream, expected, sizes, buffer_size, one_byte_mode, field_length, false);
  split_and_check(stream, expected, sizes, buffer_size, !one_byte_mode, field_length, true);
  return 0;
}
