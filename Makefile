# Front door: every target delegates to CMake.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
PREFIX ?= /usr/local
JOBS ?= 2

.PHONY: all build run test test-sanitize bench fuzz install clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

run: build
	cd examples && ../$(BUILD)/vorna

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-sanitize:
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNA_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && \
	  ASAN_OPTIONS="$${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=1:detect_leaks=1}" \
	  UBSAN_OPTIONS="$${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}" \
	  ctest --output-on-failure -j$(JOBS)

bench:
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DVORNA_BUILD_BENCHMARKS=ON -DVORNA_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j$(JOBS)
	for b in $(BENCH_BUILD)/bench/*_bench; do $$b --benchmark_min_time=0.2; done
	bench/run_bench.sh $(BENCH_BUILD)

fuzz:
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNA_BUILD_FUZZERS=ON -DVORNA_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j$(JOBS)

# DESTDIR (a staging root, empty by default) reaches cmake --install through
# its environment.
install: build
	DESTDIR='$(DESTDIR)' cmake --install $(BUILD) --prefix '$(PREFIX)'

# The example picture shown in the README, from a run on examples/wave.txt.
.PHONY: example-plot
example-plot: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target vorna vorna-plot
	cd examples && printf 'out.prt\nwave.txt\n\n\n' | ../$(BUILD)/vorna >/dev/null && \
	  ../$(BUILD)/vorna-plot out.prt fort.36 -o ../doc/wave-plot.svg

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
