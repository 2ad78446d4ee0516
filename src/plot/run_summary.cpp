#include "plot/run_summary.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>
#include <system_error>

namespace vorna::plot {
namespace {

// A summary is one line of a few hundred bytes; its warnings may add some.
constexpr std::size_t kMaxSummaryBytes = 1 << 20;
// Nesting of the values passed over, arrays and objects within each other.
constexpr int kMaxDepth = 64;

// A text to fill: the bytes of a decoded string, or nothing when data is
// null (a string passed over).
struct TextOut {
  char* data = nullptr;
  std::size_t capacity = 0;
  std::size_t size = 0;
  bool overflow = false;

  void put(char c) {
    if (data == nullptr) return;
    if (size + 1 < capacity) {
      data[size++] = c;
    } else {
      overflow = true;
    }
  }
  // A code point in UTF-8.
  void put_code_point(unsigned long c) {
    if (c < 0x80) {
      put(static_cast<char>(c));
    } else if (c < 0x800) {
      put(static_cast<char>(0xC0 | (c >> 6)));
      put(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      put(static_cast<char>(0xE0 | (c >> 12)));
      put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      put(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      put(static_cast<char>(0xF0 | (c >> 18)));
      put(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      put(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
};

// One pass over the JSON text; every failure leaves at and what set.
class Scan {
 public:
  explicit Scan(std::string_view text) : text_(text) {}

  std::size_t at() const { return at_; }
  const char* what() const { return what_; }

  bool fail(const char* what) {
    what_ = what;
    return false;
  }

  void skip_blanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }
  bool at_end() const { return at_ >= text_.size(); }
  char peek() const { return at_end() ? '\0' : text_[at_]; }
  bool take(char c) {
    skip_blanks();
    if (peek() != c) return false;
    ++at_;
    return true;
  }
  bool take_word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  // A string at the position, decoded into out.
  bool string(TextOut& out) {
    skip_blanks();
    if (!take('"')) return fail("expected a text in double quotes");
    for (;;) {
      if (at_end()) return fail("a text without its closing double quote");
      const char c = text_[at_++];
      if (c == '"') break;
      if (static_cast<unsigned char>(c) < 0x20) return fail("a control character in a text");
      if (c != '\\') {
        out.put(c);
        continue;
      }
      if (!escape(out)) return false;
    }
    if (out.overflow) return fail("a text too long to keep");
    if (out.data != nullptr) out.data[out.size] = '\0';
    return true;
  }

  // A number at the position, its text as written in number_text.
  bool number(std::string_view& number_text) {
    skip_blanks();
    const std::size_t start = at_;
    if (peek() == '-') ++at_;
    const bool zero = peek() == '0';
    const std::size_t first_digit = at_;
    if (!digits()) return fail("expected a value");
    if (zero && at_ - first_digit > 1) {
      at_ = start;
      return fail("a number with a leading zero");
    }
    if (peek() == '.') {
      ++at_;
      if (!digits()) return fail("expected digits after the decimal point");
    }
    if (peek() == 'e' || peek() == 'E') {
      ++at_;
      if (peek() == '+' || peek() == '-') ++at_;
      if (!digits()) return fail("expected the digits of an exponent");
    }
    number_text = text_.substr(start, at_ - start);
    return true;
  }

  // Any value, passed over.
  bool skip_value(int depth) {
    if (depth > kMaxDepth) return fail("values nested too deep");
    skip_blanks();
    const char c = peek();
    if (c == '"') {
      TextOut none;
      return string(none);
    }
    if (c == '{' || c == '[') return skip_container(depth);
    if (take_word("true") || take_word("false") || take_word("null")) return true;
    std::string_view ignored;
    return number(ignored);
  }

 private:
  bool digits() {
    const std::size_t start = at_;
    while (!at_end() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    return at_ > start;
  }

  // The four hex digits after "\u"; a failure is placed at its backslash.
  bool hex4(unsigned long& value) {
    const std::size_t backslash = at_ - 2;
    value = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = at_end() ? '\0' : text_[at_++];
      const int digit = h >= '0' && h <= '9'   ? h - '0'
                        : h >= 'a' && h <= 'f' ? h - 'a' + 10
                        : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                               : -1;
      if (digit < 0) {
        at_ = backslash;
        return fail("a \\u escape without four hex digits");
      }
      value = value * 16 + static_cast<unsigned long>(digit);
    }
    return true;
  }

  // The escape after a backslash; a surrogate pair is one code point.
  bool escape(TextOut& out) {
    const std::size_t backslash = at_ - 1;
    if (at_end()) return fail("a text without its closing double quote");
    static constexpr char kEscaped[] = "\"\\/bfnrt";
    static constexpr char kMeant[] = "\"\\/\b\f\n\r\t";
    const char e = text_[at_++];
    const char* const plain = std::strchr(kEscaped, e);
    if (e != '\0' && plain != nullptr) {
      out.put(kMeant[plain - kEscaped]);
      return true;
    }
    if (e != 'u') {
      at_ = backslash;
      return fail("an unknown escape in a text");
    }
    unsigned long code = 0;
    if (!hex4(code)) return false;
    if (code >= 0xD800 && code <= 0xDBFF && take_word("\\u")) {
      unsigned long low = 0;
      if (!hex4(low)) return false;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        out.put_code_point(0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
        return true;
      }
      out.put_code_point(0xFFFD);
      code = low;
    }
    out.put_code_point(code >= 0xD800 && code <= 0xDFFF ? 0xFFFD : code);
    return true;
  }

  bool skip_container(int depth) {
    const char close = peek() == '{' ? '}' : ']';
    const bool object = close == '}';
    ++at_;
    if (take(close)) return true;
    do {
      if (object) {
        TextOut none;
        if (!string(none)) return false;
        if (!take(':')) return fail("expected ':' after a key");
      }
      if (!skip_value(depth + 1)) return false;
    } while (take(','));
    if (!take(close)) return fail(object ? "expected ',' or '}'" : "expected ',' or ']'");
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  const char* what_ = "";
};

bool read_text_value(Scan& scan, char* target, std::size_t capacity) {
  scan.skip_blanks();
  if (scan.take_word("null")) {
    target[0] = '\0';
    return true;
  }
  TextOut out{target, capacity};
  return scan.string(out);
}

bool read_band_value(Scan& scan, RunSummary& summary) {
  scan.skip_blanks();
  summary.has_band = false;
  if (scan.take_word("null")) return true;
  std::string_view text;
  if (!scan.number(text)) return false;
  const std::from_chars_result result =
      std::from_chars(text.data(), text.data() + text.size(), summary.band);
  if (result.ec != std::errc() || !(summary.band >= 0.0)) {
    return scan.fail("the band is not a number, 0 or above");
  }
  summary.has_band = true;
  return true;
}

// A column's name as it stands, a number by its digits; anything else
// leaves the column unknown.
bool read_column_value(Scan& scan, RunSummary& summary) {
  scan.skip_blanks();
  summary.column[0] = '\0';
  if (scan.peek() == '"') return read_text_value(scan, summary.column, sizeof summary.column);
  if (scan.peek() == '-' || (scan.peek() >= '0' && scan.peek() <= '9')) {
    std::string_view digits;
    if (!scan.number(digits)) return false;
    if (digits.size() < sizeof summary.column) {
      summary.column[digits.copy(summary.column, digits.size())] = '\0';
    }
    return true;
  }
  return scan.skip_value(1);
}

bool read_member(Scan& scan, std::string_view key, RunSummary& summary) {
  if (key == "series") return read_text_value(scan, summary.series, sizeof summary.series);
  if (key == "print_file") {
    return read_text_value(scan, summary.print_file, sizeof summary.print_file);
  }
  if (key == "listing_file") {
    return read_text_value(scan, summary.listing_file, sizeof summary.listing_file);
  }
  if (key == "hysteresis") return read_band_value(scan, summary);
  if (key == "column") return read_column_value(scan, summary);
  return scan.skip_value(1);
}

}  // namespace

bool parse_run_summary(std::string_view text, RunSummary& summary, std::size_t& where,
                       const char*& what) {
  summary = RunSummary();
  Scan scan(text);
  const auto failed = [&]() {
    where = scan.at();
    what = scan.what();
    return false;
  };
  if (!scan.take('{')) {
    scan.fail("expected '{', the start of vorna's --json summary");
    return failed();
  }
  if (!scan.take('}')) {
    char key[64];
    do {
      TextOut out{key, sizeof key};
      if (!scan.string(out)) {
        // A key too long to keep is none the picture reads.
        if (!out.overflow) return failed();
        key[0] = '\0';
      }
      if (!scan.take(':')) {
        scan.fail("expected ':' after a key");
        return failed();
      }
      if (!read_member(scan, key, summary)) return failed();
    } while (scan.take(','));
    if (!scan.take('}')) {
      scan.fail("expected ',' or '}'");
      return failed();
    }
  }
  scan.skip_blanks();
  if (!scan.at_end()) {
    scan.fail(scan.peek() == '{' ? "a second run: give the summary of one run"
                                 : "more text after the summary");
    return failed();
  }
  return true;
}

bool read_run_summary(const char* path, RunSummary& summary, Problem& problem) {
  int fd;
  do {
    fd = ::open(path, O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    problem.set("%s: cannot open: %s", path, std::strerror(errno));
    return false;
  }
  std::string text(kMaxSummaryBytes + 1, '\0');
  std::size_t size = 0;
  for (;;) {
    const ssize_t got = ::read(fd, &text[size], text.size() - size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || (size += static_cast<std::size_t>(got)) == text.size()) {
      if (got < 0) {
        problem.set("%s: cannot read: %s", path, std::strerror(errno));
        ::close(fd);
        return false;
      }
      break;
    }
  }
  ::close(fd);
  if (size > kMaxSummaryBytes) {
    problem.set("%s: not a vorna --json summary (larger than %zu bytes)", path, kMaxSummaryBytes);
    return false;
  }
  text.resize(size);
  std::size_t where = 0;
  const char* what = "";
  if (parse_run_summary(text, summary, where, what)) return true;
  long long line = 1, column = 1;
  for (std::size_t i = 0; i < where && i < text.size(); ++i) {
    column = text[i] == '\n' ? 1 : column + 1;
    line += text[i] == '\n';
  }
  problem.set("%s:%lld:%lld: not a vorna --json summary (%s)", path, line, column, what);
  return false;
}

}  // namespace vorna::plot
