#include "runtime/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace vorna {
namespace {

// A byte stream handed out in reads of at most chunk bytes, optionally
// failing with an errno once its bytes are used up.
struct ChunkedStream {
  std::string bytes;
  std::size_t chunk;
  int final_errno = 0;
  std::size_t offset = 0;
};

long read_chunk(void* context, char* into, std::size_t capacity) {
  auto* stream = static_cast<ChunkedStream*>(context);
  if (stream->offset == stream->bytes.size()) {
    if (stream->final_errno == 0) return 0;
    errno = stream->final_errno;
    return -1;
  }
  std::size_t count = std::min({capacity, stream->chunk, stream->bytes.size() - stream->offset});
  std::memcpy(into, stream->bytes.data() + stream->offset, count);
  stream->offset += count;
  return static_cast<long>(count);
}

struct Split {
  std::vector<std::string> records;
  SplitStatus last;
};

Split split_all(const std::string& bytes, std::size_t chunk, std::size_t buffer_size,
                ReadMode mode = ReadMode::kBlocks, int final_errno = 0) {
  ChunkedStream stream{bytes, chunk, final_errno};
  std::vector<char> initial(buffer_size);
  LineSplitter splitter(initial.data(), initial.size(), mode);
  Split result;
  const char* record;
  std::size_t length;
  while ((result.last = splitter.next(read_chunk, &stream, record, length)) ==
         SplitStatus::kRecord) {
    result.records.emplace_back(record, length);
  }
  return result;
}

struct SplitCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> records;
};

void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }

class RecordSplitting : public ::testing::TestWithParam<SplitCase> {};

// Every case gives the same records whatever the read sizes and the initial
// buffer size (the buffer grows when a line does not fit).
TEST_P(RecordSplitting, GivesTheSameRecordsForAnyReadSize) {
  const SplitCase& c = GetParam();
  for (std::size_t chunk : {1u, 2u, 3u, 7u, 64u, 4096u}) {
    for (std::size_t buffer : {1u, 2u, 5u, 16u, 65536u}) {
      for (ReadMode mode : {ReadMode::kBlocks, ReadMode::kOneByte}) {
        Split split = split_all(c.bytes, chunk, buffer, mode);
        EXPECT_EQ(split.records, c.records) << c.name << " chunk " << chunk << " buffer " << buffer
                                            << " one-byte " << (mode == ReadMode::kOneByte);
        EXPECT_EQ(split.last, SplitStatus::kEnd);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, RecordSplitting,
    ::testing::Values(
        SplitCase{"empty", "", {}}, SplitCase{"lf", "a\nbb\n\nccc\n", {"a", "bb", "", "ccc"}},
        SplitCase{"crlf", "a\r\nbb\r\n\r\n", {"a", "bb", ""}},
        SplitCase{"two carriage returns keep one", "a\r\r\nb\n", {"a\r", "b"}},
        SplitCase{"inner carriage return", "a\rb\n", {"a\rb"}},
        SplitCase{"carriage returns alone make one record", "a\rb\rc\r", {"a\rb\rc"}},
        SplitCase{"last line without line end", "a\nlast", {"a", "last"}},
        SplitCase{"control-Z ends the stream", "a\n\x1a\nnever\n", {"a"}},
        SplitCase{"control-Z with CR LF", "a\r\n\x1a\r\nnever\n", {"a"}},
        SplitCase{"control-Z last", "a\n\x1a", {"a"}},
        SplitCase{"control-Z inside a line is data", "\x1a\x1a\nb\n", {"\x1a\x1a", "b"}},
        SplitCase{"long line", std::string(70000, 'x') + "\nb\n", {std::string(70000, 'x'), "b"}},
        SplitCase{"nul bytes", std::string("a\0b\n", 4), {std::string("a\0b", 3)}}),
    [](const ::testing::TestParamInfo<SplitCase>& case_info) {
      std::string name;
      for (const char* p = case_info.param.name; *p; ++p) name += std::isalnum(*p) ? *p : '_';
      return name;
    });

TEST(RecordSplittingFailures, ReadFailureIsReportedAfterTheBytesBeforeIt) {
  Split split = split_all("a\nb", 4, 16, ReadMode::kBlocks, EIO);
  EXPECT_EQ(split.records, std::vector<std::string>{"a"});
  EXPECT_EQ(split.last, SplitStatus::kReadFailed);
}

TEST(RecordSplittingFailures, BrokenPipeIsTheEndOfTheStream) {
  Split split = split_all("a\nb", 4, 16, ReadMode::kBlocks, EPIPE);
  EXPECT_EQ(split.records, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(split.last, SplitStatus::kEnd);
}

TEST(RecordSplittingModes, OneByteModeTakesNothingPastTheLine) {
  ChunkedStream stream{"first\nsecond\n", 4096};
  char initial[64];
  LineSplitter splitter(initial, sizeof initial, ReadMode::kOneByte);
  const char* record;
  std::size_t length;
  ASSERT_EQ(splitter.next(read_chunk, &stream, record, length), SplitStatus::kRecord);
  EXPECT_EQ(std::string(record, length), "first");
  EXPECT_EQ(stream.offset, 6u);
}

// What a terminal in line mode hands out: each read at most one typed piece
// (ended by Enter or control-D), cut by the space the read offers.
struct TypedPieces {
  std::vector<std::string> pieces;
  std::size_t piece = 0;
  std::size_t offset = 0;
};

long read_typed(void* context, char* into, std::size_t capacity) {
  auto* typed = static_cast<TypedPieces*>(context);
  if (typed->piece == typed->pieces.size()) return 0;
  const std::string& piece = typed->pieces[typed->piece];
  const std::size_t count = std::min(capacity, piece.size() - typed->offset);
  std::memcpy(into, piece.data() + typed->offset, count);
  typed->offset += count;
  if (typed->offset == piece.size()) ++typed->piece, typed->offset = 0;
  return static_cast<long>(count);
}

TEST(RecordSplittingModes, TextSentByControlDOnATerminalIsARecord) {
  const struct {
    std::size_t buffer;
    std::vector<std::string> pieces;
    std::vector<std::string> records;
  } cases[] = {
      {64, {"p.txt", "s.txt\n", "\r\n"}, {"p.txt", "s.txt", ""}},
      {64, {"a\r", "b\n"}, {"a", "b"}},
      // A piece longer than the buffer fills it: the buffer grows and the
      // rest of the piece follows.
      {4, {"abcdef", "g\n"}, {"abcdef", "g"}},
      // A piece that fills the free part exactly looks like the start of a
      // longer one: it is read on.
      {4, {"abcd", "\n"}, {"abcd"}},
  };
  for (const auto& c : cases) {
    TypedPieces typed{c.pieces};
    std::vector<char> initial(c.buffer);
    LineSplitter splitter(initial.data(), initial.size(), ReadMode::kTerminalLines);
    std::vector<std::string> records;
    const char* record;
    std::size_t length;
    SplitStatus status;
    while ((status = splitter.next(read_typed, &typed, record, length)) == SplitStatus::kRecord) {
      records.emplace_back(record, length);
    }
    EXPECT_EQ(records, c.records) << c.pieces.front();
    EXPECT_EQ(status, SplitStatus::kEnd);
  }
}

TEST(RecordTransfer, PadsCutsAndFillsTheField) {
  char field[8];
  transfer_record("abc", 3, field, 8);
  EXPECT_EQ(std::string(field, 8), "abc     ");
  transfer_record("abcdefghij", 10, field, 8);
  EXPECT_EQ(std::string(field, 8), "abcdefgh");
  transfer_record("", 0, field, 8);
  EXPECT_EQ(std::string(field, 8), std::string(8, ' '));
  transfer_record("a\tb", 3, field, 4);
  EXPECT_EQ(std::string(field, 4), "a\tb ");
}

}  // namespace
}  // namespace vorna
