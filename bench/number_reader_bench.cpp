// The free-form number reader on data lines as the series files hold them:
// a time and a value in a 256-character blank-padded field.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "text/number_reader.h"

namespace {

constexpr int kFieldLength = 256;
constexpr int kLines = 64;

// A set of fields in one layout, so that branch prediction sees varied digits.
struct Lines {
  char text[kLines][kFieldLength];
};

template <typename Format>
Lines make_lines(Format format) {
  Lines lines;
  for (int i = 0; i < kLines; ++i) {
    char line[kFieldLength + 1];
    double time = 0.001 * (i + 1);
    double value = 1.2345678901234 + 0.0731 * i - 0.0049 * i * i;
    int used = format(line, sizeof line, time, value);
    std::memset(lines.text[i], ' ', kFieldLength);
    std::memcpy(lines.text[i], line, static_cast<std::size_t>(used));
  }
  return lines;
}

void scan_lines(benchmark::State& state, const Lines& lines) {
  double time = 0.0, value = 0.0;
  double* targets[] = {&time, &value};
  int i = 0;
  for (auto _ : state) {
    vorna::ReadStatus status = vorna::scan_numbers(lines.text[i], kFieldLength, targets, 2);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(time);
    benchmark::DoNotOptimize(value);
    i = (i + 1) % kLines;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_BlankSeparatedExponent(benchmark::State& state) {
  static const Lines lines = make_lines([](char* out, std::size_t size, double t, double v) {
    return std::snprintf(out, size, "  %.4f   %.13E", t, v);
  });
  scan_lines(state, lines);
}
BENCHMARK(BM_BlankSeparatedExponent);

void BM_TabSeparatedLowerExponent(benchmark::State& state) {
  static const Lines lines = make_lines([](char* out, std::size_t size, double t, double v) {
    return std::snprintf(out, size, "%.3f\t%.10e", t, v);
  });
  scan_lines(state, lines);
}
BENCHMARK(BM_TabSeparatedLowerExponent);

void BM_CommaSeparatedFixed(benchmark::State& state) {
  static const Lines lines = make_lines([](char* out, std::size_t size, double t, double v) {
    return std::snprintf(out, size, "%.4f, %.8f", t, v);
  });
  scan_lines(state, lines);
}
BENCHMARK(BM_CommaSeparatedFixed);

void BM_FixedWidthColumns(benchmark::State& state) {
  static const Lines lines = make_lines([](char* out, std::size_t size, double t, double v) {
    return std::snprintf(out, size, "%12.5f%24.15E", t, v);
  });
  scan_lines(state, lines);
}
BENCHMARK(BM_FixedWidthColumns);

void BM_ShortestGeneral(benchmark::State& state) {
  static const Lines lines = make_lines([](char* out, std::size_t size, double t, double v) {
    return std::snprintf(out, size, "%.10g,%.12g", t, v);
  });
  scan_lines(state, lines);
}
BENCHMARK(BM_ShortestGeneral);

// Seventeen significant digits: beyond the exact one-operation path, every
// value goes through std::from_chars.
void BM_SeventeenDigits(benchmark::State& state) {
  static const Lines lines = make_lines([](char* out, std::size_t size, double t, double v) {
    return std::snprintf(out, size, "  %.4f   %.16E", t, 8 + v);
  });
  scan_lines(state, lines);
}
BENCHMARK(BM_SeventeenDigits);

// A D exponent letter: read like an E.
void BM_DExponent(benchmark::State& state) {
  static const Lines lines = make_lines([](char* out, std::size_t size, double t, double v) {
    int used = std::snprintf(out, size, "  %.4f   %.13E", t, v);
    char* letter = std::strchr(out, 'E');
    if (letter != nullptr) *letter = 'D';
    return used;
  });
  scan_lines(state, lines);
}
BENCHMARK(BM_DExponent);

}  // namespace
