// Measured records with a known answer: noise or a coarse resolution makes
// every wiggle an extremum, a warning says so with the maximum height a band
// gives, and --hysteresis with that band finds the swing again. Clean
// records stay silent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/run_shell.h"
#include "support/run_vorna.h"

namespace vorna_test {
namespace {

// "time value" lines, times k * dt, values to 6 decimals.
std::string record_text(const std::vector<double>& values, double dt) {
  std::string text;
  text.reserve(values.size() * 24);
  char line[64];
  for (std::size_t k = 0; k < values.size(); ++k) {
    std::snprintf(line, sizeof line, "%.3f %.6f\n", static_cast<double>(k) * dt, values[k]);
    text += line;
  }
  return text;
}

// A sine of peak-to-peak 2.0 and period 10 s sampled at 100 Hz, stored with
// a resolution (0: none) and gaussian noise of deviation noise.
std::string sine_record(int samples, double resolution, double noise) {
  std::mt19937 random(3);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::vector<double> values(static_cast<std::size_t>(samples));
  for (int k = 0; k < samples; ++k) {
    double v = std::sin(2.0 * M_PI * 0.1 * k * 0.01 + 0.3);
    if (noise > 0) v += noise * gauss(random);
    if (resolution > 0) v = std::round(v / resolution) * resolution;
    values[static_cast<std::size_t>(k)] = v;
  }
  return record_text(values, 0.01);
}

// 20 minutes of an irregular sea at 50 Hz: 60 wave components between 0.06
// and 0.24 Hz around a peak at 0.1 Hz, and a probe noise of deviation noise.
std::string sea_record(double noise) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> phase(0.0, 2.0 * M_PI);
  std::normal_distribution<double> gauss(0.0, 1.0);
  struct Component {
    double amplitude, frequency, phase;
  };
  std::vector<Component> components;
  for (int i = 0; i < 60; ++i) {
    const double f = 0.06 + 0.003 * i;
    const double shape = (f - 0.1) / 0.04;
    components.push_back({0.17 * std::exp(-shape * shape) + 0.028, f, phase(random)});
  }
  std::vector<double> values(60000);
  for (std::size_t k = 0; k < values.size(); ++k) {
    double v = 0.0;
    for (const Component& c : components) {
      v += c.amplitude *
           std::sin(2.0 * M_PI * c.frequency * static_cast<double>(k) * 0.02 + c.phase);
    }
    values[k] = v + noise * gauss(random);
  }
  return record_text(values, 0.02);
}

// Real records kept with the tests, each with its source and licence.
const std::string kData = std::string(VORNA_SOURCE_DIR) + "/tests/data/";

struct Summary {
  RunResult run;
  double extrema = 0, max_height = 0, time_of_max_height = 0;
};

double json_number(const std::string& json, const std::string& key) {
  const std::size_t at = json.find("\"" + key + "\":");
  return at == std::string::npos ? NAN : std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

Summary run_json(const TempDir& dir, const std::string& name, const std::string& band = "") {
  RunOptions options;
  options.arguments = {"--json", "-l", "/dev/null", name};
  if (!band.empty()) options.arguments.insert(options.arguments.begin(), "--hysteresis=" + band);
  Summary s{run_vorna_with(dir.path(), "", options)};
  s.extrema = json_number(s.run.out, "extrema");
  s.max_height = json_number(s.run.out, "max_height");
  s.time_of_max_height = json_number(s.run.out, "time_of_max_height");
  return s;
}

// The band the warning suggests, "" without the warning.
std::string suggested_band(const std::string& err) {
  const std::string marker = " with --hysteresis=";
  const std::size_t at = err.find(marker);
  if (at == std::string::npos) return "";
  return err.substr(at + marker.size(), err.find(' ', at + marker.size()) - at - marker.size());
}

// The maximum height the warning gives with that band.
double warned_height(const std::string& err) {
  const std::size_t at = err.find(" with --hysteresis=");
  const std::size_t start = err.rfind(", ", at);
  return at == std::string::npos ? NAN : std::strtod(err.c_str() + start + 2, nullptr);
}

constexpr char kSmallReversals[] = "vorna: warning: small reversals decide the maximum height: ";

struct NoisyCase {
  const char* name;
  std::string text;
  double swing;      // the record's largest swing without noise (0: no warning)
  double tolerance;  // relative
  double time;       // and its time, where the filter must find it (-1: any)
};

TEST(NoisyRecords, SmallReversalsDecidingTheMaximumAreWarnedAndTheBandFindsTheSwing) {
  // The clean sea's largest wave, and where it ends.
  TempDir clean_dir;
  write_file(clean_dir.file("clean.txt"), sea_record(0.0));
  const Summary clean = run_json(clean_dir, "clean.txt");
  ASSERT_EQ(clean.run.err, "");
  const NoisyCase cases[] = {
      {"quantised sine", sine_record(5000, 0.01, 0.0), 2.0, 0.02, -1},
      {"irregular sea with 1 cm probe noise", sea_record(0.01), clean.max_height, 0.02,
       clean.time_of_max_height},
      {"clean sea", sea_record(0.0), 0, 0, 0},
      // Real records whose turns are their own: a seasonal cycle with
      // weekly scatter, and the solar cycle.
      {"weekly CO2 at Mauna Loa", read_file(kData + "co2-weekly.txt"), 0, 0, 0},
      {"yearly sunspots", read_file(kData + "sunspots-yearly.txt"), 0, 0, 0},
      {"clean sine", sine_record(5000, 0.0, 0.0), 0, 0, 0},
      {"clean sine of 20 samples a period",
       record_text(
           [] {
             std::vector<double> v(2000);
             for (std::size_t k = 0; k < v.size(); ++k)
               v[k] = std::sin(0.1 * M_PI * static_cast<double>(k));
             return v;
           }(),
           0.05),
       0, 0, 0},
  };
  for (const NoisyCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    write_file(dir.file("r.txt"), c.text);
    const Summary plain = run_json(dir, "r.txt");
    EXPECT_EQ(plain.run.status, 0);
    const std::string band = suggested_band(plain.run.err);
    if (c.swing == 0) {
      EXPECT_EQ(plain.run.err, "");
      continue;
    }
    ASSERT_NE(band, "") << plain.run.err;
    EXPECT_EQ(plain.run.err.rfind(kSmallReversals, 0), 0u);
    EXPECT_NE(plain.run.out.find("\"warnings\":[\"small reversals decide"), std::string::npos);
    EXPECT_LT(plain.max_height, 0.6 * c.swing);  // the wiggle that noise made the maximum
    const Summary filtered = run_json(dir, "r.txt", band);
    EXPECT_NEAR(filtered.max_height, c.swing, c.tolerance * c.swing) << "band " << band;
    EXPECT_NEAR(warned_height(plain.run.err), filtered.max_height, 5e-4 * c.swing);
    if (c.time >= 0) {
      EXPECT_NEAR(filtered.time_of_max_height, c.time, 0.2);
    }
    EXPECT_NE(filtered.run.out.find("\"warnings\":[]"), std::string::npos) << filtered.run.err;
  }
}

// A million samples of the sine with noise of 3 % of its amplitude.
TEST(NoisyRecords, SlowAMillionNoisySamplesGetTheWarningAndTheBandFindsTheSwing) {
  TempDir dir;
  write_file(dir.file("r.txt"), sine_record(1'000'000, 0.0, 0.03));
  const Summary plain = run_json(dir, "r.txt");
  const std::string band = suggested_band(plain.run.err);
  ASSERT_NE(band, "") << plain.run.err;
  EXPECT_GT(plain.extrema, 600000);
  EXPECT_LT(plain.max_height, 0.5);
  // The swing plus the noise's own excursions at a crest and a trough.
  const Summary filtered = run_json(dir, "r.txt", band);
  EXPECT_GT(filtered.max_height, 2.0);
  EXPECT_LT(filtered.max_height, 2.0 + 12 * 0.03);
  // Two turns a period, 1,000 periods, and a few noise excursions at the
  // crests deeper than the band.
  EXPECT_GE(filtered.extrema, 2000);
  EXPECT_LT(filtered.extrema, 0.01 * plain.extrema);
}

// The benchmark generator's series: the noisy one gets the one warning, the
// smooth one none.
TEST(NoisyRecords, TheBenchmarkGeneratorsNoisySeriesAloneIsWarned) {
  TempDir dir;
  const std::string generator = std::string(VORNA_SOURCE_DIR) + "/bench/gen_series.py";
  const ShellResult made = run_shell(
      dir.path(), "python3 '" + generator + "' --kind noisy 100000 noisy.txt && python3 '" +
                      generator + "' --kind smooth 100000 smooth.txt");
  if (made.status == 127) GTEST_SKIP() << "no python3 to run the generator";
  ASSERT_EQ(made.status, 0) << made.output;
  const Summary noisy = run_json(dir, "noisy.txt");
  EXPECT_EQ(noisy.run.err.rfind(kSmallReversals, 0), 0u);
  EXPECT_EQ(noisy.run.err.find("\r\n"), noisy.run.err.size() - 2) << "one line";
  EXPECT_EQ(run_json(dir, "smooth.txt").run.err, "");
}

// A free decay from its largest deflection: the first swing, 1 to -0.78 (the
// sampled trough is a little before the half period, at -0.7816), is no height (the first sample is
// never an extremum), and a warning names it; the JSON gives the record's extremes, the first
// sample the highest.
TEST(NoisyRecords, AFreeDecayNamesItsFirstSwing) {
  TempDir dir;
  std::vector<double> decay(200);
  for (std::size_t k = 0; k < decay.size(); ++k) {
    const double t = static_cast<double>(k);
    decay[k] = std::cos(M_PI * t / 25.0) * std::pow(0.78, t / 25.0);
  }
  write_file(dir.file("r.txt"), record_text(decay, 0.1));
  const Summary run = run_json(dir, "r.txt");
  EXPECT_EQ(run.run.err,
            "vorna: warning: the swing from the first sample to the first extremum, 1.782, is "
            "larger than the maximum height 1.391: the first and the last sample are never "
            "extrema, so no height holds it\r\n");
  EXPECT_NE(run.run.out.find("\"global_max\":{\"time\":0,\"value\":1},\"global_min\":{"
                             "\"time\":2.4,\"value\":-0.781579}"),
            std::string::npos)
      << run.run.out;
}

}  // namespace
}  // namespace vorna_test
