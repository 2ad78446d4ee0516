# Front door: every target delegates to CMake. The build directories and
# their settings are the presets in CMakePresets.json: build/ (default) and
# build-sanitize/ (sanitizers).
BUILD := build
PREFIX ?= /usr/local
JOBS ?= 2
# More configure arguments, e.g. CMAKE_ARGS=-DVORNA_WERROR=ON as CI sets it.
CMAKE_ARGS ?=
# The programs that make install installs.
PROGRAMS := vorna vorna-plot
# The tracked C++ sources, for the formatting targets.
FORMATTED = $(shell git ls-files '*.cpp' '*.h')

.PHONY: all build program run test test-sanitize bench fuzz install example-plot format \
        format-check clean

all: build

# A first configure leaves the tests out, so that the program alone builds
# without GoogleTest; `make test` turns them on.
$(BUILD)/CMakeCache.txt:
	cmake --preset default -DVORNA_BUILD_TESTS=OFF $(CMAKE_ARGS)

# Only the program, build/vorna.
program: $(BUILD)/CMakeCache.txt
	cmake --build --preset default --target vorna -j $(JOBS)

run: program
	cd examples && ../$(BUILD)/vorna

# Everything the build directory is configured for.
build: $(BUILD)/CMakeCache.txt
	cmake --build --preset default -j $(JOBS)

test:
	cmake --preset default -DVORNA_BUILD_TESTS=ON $(CMAKE_ARGS)
	cmake --build --preset default -j $(JOBS)
	ctest --preset default -j $(JOBS)

test-sanitize:
	cmake --preset sanitizers $(CMAKE_ARGS)
	cmake --build --preset sanitizers -j $(JOBS)
	ctest --preset sanitizers -j $(JOBS)

bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVORNA_BUILD_BENCHMARKS=ON -DVORNA_BUILD_TESTS=OFF $(CMAKE_ARGS)
	cmake --build build-bench -j $(JOBS)
	for b in build-bench/bench/*_bench; do $$b --benchmark_min_time=0.2; done
	bench/run_bench.sh build-bench

fuzz:
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORNA_BUILD_FUZZERS=ON -DVORNA_BUILD_TESTS=OFF $(CMAKE_ARGS)
	cmake --build build-fuzz -j $(JOBS)

# DESTDIR (a staging root, empty by default) reaches cmake --install through
# its environment.
install: $(BUILD)/CMakeCache.txt
	cmake --build --preset default --target $(PROGRAMS) -j $(JOBS)
	DESTDIR='$(DESTDIR)' cmake --install $(BUILD) --prefix '$(PREFIX)'

# The example pictures shown in the README, from runs on examples/wave.txt
# and on examples/swell.txt (long enough for the detail panel).
example-plot: $(BUILD)/CMakeCache.txt
	cmake --build --preset default --target $(PROGRAMS) -j $(JOBS)
	cd examples && printf 'out.prt\nwave.txt\n\n\n' | ../$(BUILD)/vorna >/dev/null && \
	  ../$(BUILD)/vorna-plot out.prt fort.36 -o ../doc/wave-plot.svg
	cd examples && printf 'out.prt\nswell.txt\n\n\n' | ../$(BUILD)/vorna >/dev/null && \
	  ../$(BUILD)/vorna-plot out.prt fort.36 -o ../doc/swell-plot.svg

# clang-format 14 with the repository's .clang-format.
format:
	@echo "clang-format -i on $(words $(FORMATTED)) files"
	@clang-format -i $(FORMATTED)

format-check:
	@echo "clang-format --dry-run --Werror on $(words $(FORMATTED)) files"
	@clang-format --dry-run --Werror $(FORMATTED)

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz build-bench
