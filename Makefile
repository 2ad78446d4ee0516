# Front door: every target calls a preset of CMakePresets.json, where the
# build directories and their settings are: build/ (default, dev and ci),
# build-sanitize/ (sanitize), build-fuzz/ (fuzz), build-bench/ (bench).
BUILD := build
PREFIX ?= /usr/local
# Parallel compile and test jobs; the workflows read them from the
# environment.
JOBS ?= 2
export CMAKE_BUILD_PARALLEL_LEVEL := $(JOBS)
export CTEST_PARALLEL_LEVEL := $(JOBS)
# The programs that make install installs.
PROGRAMS := vorna vorna-plot
# The tracked C++ sources, for the formatting targets.
FORMATTED = $(shell git ls-files '*.cpp' '*.h')

.PHONY: all build program run test test-sanitize bench fuzz install example-plot format \
        format-check clean

all: build

# A first configure leaves the tests out, so that the programs alone build
# without GoogleTest; `make test` turns them on.
$(BUILD)/CMakeCache.txt:
	cmake --preset default

# Only the program, build/vorna.
program: $(BUILD)/CMakeCache.txt
	cmake --build --preset program

run: program
	cd examples && ../$(BUILD)/vorna

# Everything the build directory is configured for.
build: $(BUILD)/CMakeCache.txt
	cmake --build --preset default

# Everything, with warnings as errors, and every test.
test:
	cmake --workflow --preset dev

test-sanitize:
	cmake --workflow --preset sanitize

bench:
	cmake --workflow --preset bench
	for b in build-bench/bench/*_bench; do $$b --benchmark_min_time=0.2; done
	bench/run_bench.sh build-bench
	bench/cycles_waves.sh build-bench

fuzz:
	cmake --workflow --preset fuzz

# DESTDIR (a staging root, empty by default) reaches cmake --install through
# its environment.
install: $(BUILD)/CMakeCache.txt
	cmake --build --preset programs
	DESTDIR='$(DESTDIR)' cmake --install $(BUILD) --prefix '$(PREFIX)'

# The example pictures shown in the README, from runs on examples/wave.txt
# and on examples/swell.txt (long enough for the detail panel).
example-plot: $(BUILD)/CMakeCache.txt
	cmake --build --preset programs
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
