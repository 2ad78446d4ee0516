#include "text/line_splitter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vorna {
namespace {

struct Stream {
  std::string bytes;
  std::size_t offset = 0;
  std::size_t largest_request = 0;
};

long read_stream(void* context, char* into, std::size_t capacity) {
  auto* stream = static_cast<Stream*>(context);
  if (capacity > stream->largest_request) stream->largest_request = capacity;
  const std::size_t left = stream->bytes.size() - stream->offset;
  const std::size_t count = capacity < left ? capacity : left;
  std::memcpy(into, stream->bytes.data() + stream->offset, count);
  stream->offset += count;
  return static_cast<long>(count);
}

std::string next_record(LineSplitter& splitter, Stream& stream) {
  const char* record;
  std::size_t length;
  EXPECT_EQ(splitter.next(read_stream, &stream, record, length), SplitStatus::kRecord);
  return std::string(record, length);
}

TEST(LineSplitterHandover, ReadsOnInBlocksFromWhereTheOneByteReadsStopped) {
  // Answers read a byte at a time, then the rest of the stream in blocks:
  // no byte is lost or read twice.
  Stream stream{"first\nsecond\n1 2\n3 4\n"};
  char initial[64];
  LineSplitter splitter(initial, sizeof initial, ReadMode::kOneByte);
  EXPECT_EQ(next_record(splitter, stream), "first");
  EXPECT_EQ(stream.offset, 6u);
  EXPECT_EQ(splitter.unread(), 0u);
  splitter.set_mode(ReadMode::kBlocks);
  EXPECT_EQ(splitter.mode(), ReadMode::kBlocks);
  EXPECT_EQ(next_record(splitter, stream), "second");
  EXPECT_GT(stream.largest_request, 1u);
  EXPECT_EQ(splitter.unread(), 8u);  // "1 2\n3 4\n" read ahead
  EXPECT_EQ(next_record(splitter, stream), "1 2");
  EXPECT_EQ(splitter.unread(), 4u);
  EXPECT_EQ(next_record(splitter, stream), "3 4");
  EXPECT_EQ(splitter.unread(), 0u);
}

TEST(LineSplitterHandover, NothingIsUnreadAfterTheEndOfTheStreamMark) {
  Stream stream{"a\n\x1a\nafter the mark\n"};
  char initial[64];
  LineSplitter splitter(initial, sizeof initial, ReadMode::kBlocks);
  EXPECT_EQ(next_record(splitter, stream), "a");
  const char* record;
  std::size_t length;
  EXPECT_EQ(splitter.next(read_stream, &stream, record, length), SplitStatus::kEnd);
  EXPECT_EQ(splitter.unread(), 0u);
}

// vorna-plot's reading of the files vorna wrote: the buffer never grows and a
// control-Z line is a line like any other.
TEST(LineSplitterLimits, AFixedBufferRefusesALongerLineAndControlZIsALine) {
  char initial[8];
  const SplitLimits fixed = {sizeof initial, false};
  Stream marked{"a\r\n\x1a\nb"};
  LineSplitter splitter(initial, sizeof initial, ReadMode::kBlocks, fixed);
  EXPECT_EQ(next_record(splitter, marked), "a");
  EXPECT_EQ(next_record(splitter, marked), "\x1a");
  EXPECT_EQ(next_record(splitter, marked), "b");
  const char* record;
  std::size_t length;
  EXPECT_EQ(splitter.next(read_stream, &marked, record, length), SplitStatus::kEnd);
  for (const char* bytes : {"1234567\n", "12345678\n", "123456789"}) {
    Stream stream{bytes};
    splitter.reset(ReadMode::kBlocks);
    const SplitStatus status = splitter.next(read_stream, &stream, record, length);
    EXPECT_EQ(status,
              std::strlen(bytes) <= sizeof initial ? SplitStatus::kRecord : SplitStatus::kTooLong)
        << bytes;
  }
}

}  // namespace
}  // namespace vorna
