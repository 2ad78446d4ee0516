// One JSON text written in pieces: strings escaped as JSON requires, numbers
// in their shortest round-trip form. The caller places the punctuation.
#pragma once

#include <cstddef>

namespace vorna {

// Where the text goes: bytes[0..count) in order.
using JsonSink = void (*)(void* context, const char* bytes, std::size_t count);

class JsonWriter {
 public:
  JsonWriter(JsonSink sink, void* context) : sink_(sink), context_(context) {}
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  // Punctuation and key texts as they stand.
  void raw(const char* text);
  // A string: '"' and '\' escaped, bytes below 32 as \u00XX, each byte
  // outside valid UTF-8 as \ufffd; the rest as it is. null for a null text.
  void string(const char* text) { put_string(text, false); }
  // A file name, so that its bytes can be had back: as string() writes it,
  // but in the string's value each byte outside valid UTF-8 is \xHH (two
  // lower-case hexadecimal digits) and a backslash is \\, so that bash's
  // printf '%b' turns the value back into the name's bytes.
  void name(const char* text) { put_string(text, true); }
  // The shortest text that reads back as the same 8-byte real ("0.1",
  // "1e+30", "-0"), whole numbers below 10^15 in plain digits ("1000000");
  // null for a value that is not finite.
  void number(double value);
  // Hands what is buffered to the sink.
  void flush();

 private:
  void put_string(const char* text, bool byte_escapes);
  void put_hex(unsigned char c);
  void put(char c) {
    if (used_ == sizeof buffer_) flush();
    buffer_[used_++] = c;
  }

  JsonSink sink_;
  void* context_;
  char buffer_[4096];
  std::size_t used_ = 0;
};

}  // namespace vorna
