# Front door: every target calls CMake. With CMake 3.25 or later it uses the
# presets of CMakePresets.json, where the build directories and their
# settings are: build/ (default, dev and ci), build-sanitize/ (sanitize),
# build-fuzz/ (fuzz), build-bench/ (bench). With CMake 3.22 to 3.24, which
# cannot read those presets, run, program, build, test, install and
# example-plot configure and build with the same settings without them, in
# $(BUILD); PRESETS=no takes that path with any CMake (CI checks it so).
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

# The CMake on PATH: its version, and whether it is at least the one named.
CMAKE_VERSION := $(shell cmake --version 2>/dev/null | \
                   sed -n 's/^cmake version \([0-9][0-9.]*\).*/\1/p')
cmake_at_least = $(shell printf '%s\n' '$(1)' '$(CMAKE_VERSION)' | sort -V | head -n 1 | \
                   grep -qx '$(1)' && echo yes)
found_cmake = $(if $(CMAKE_VERSION),this cmake is $(CMAKE_VERSION),no cmake found on PATH)
# Every target but these needs CMake 3.22 (the oldest that CMakeLists.txt
# accepts); the workflows alone need 3.25. Too old a CMake stops make at
# once with one line.
WITHOUT_CMAKE := clean format format-check
WORKFLOWS_ONLY := test-sanitize bench fuzz
GOALS := $(or $(MAKECMDGOALS),all)
ifneq ($(filter-out $(WITHOUT_CMAKE),$(GOALS)),)
  ifneq ($(call cmake_at_least,3.22),yes)
    $(error vorna needs CMake 3.22 or later to build ($(found_cmake)))
  endif
endif
ifneq ($(filter $(WORKFLOWS_ONLY),$(GOALS)),)
  ifneq ($(call cmake_at_least,3.25),yes)
    $(error make $(filter $(WORKFLOWS_ONLY),$(GOALS)) needs CMake 3.25 or later for its workflow preset ($(found_cmake)))
  endif
endif
PRESETS ?= $(if $(call cmake_at_least,3.25),yes,no)

ifeq ($(PRESETS),yes)
# The presets build in build/, whatever BUILD says.
override BUILD := build
CONFIGURE := cmake --preset default
BUILD_PROGRAM := cmake --build --preset program
BUILD_PROGRAMS := cmake --build --preset programs
BUILD_ALL := cmake --build --preset default
TEST_ALL := cmake --workflow --preset dev
else
# The presets' settings, given on the command line: default (programs only)
# and dev (everything, warnings as errors, every test).
CONFIGURE := cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
BUILD_PROGRAM := cmake --build $(BUILD) --target vorna
BUILD_PROGRAMS := cmake --build $(BUILD) --target $(PROGRAMS)
BUILD_ALL := cmake --build $(BUILD)
TEST_ALL := cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
              -DVORNA_WERROR=ON -DVORNA_CI_CHECKS=OFF && \
            cmake --build $(BUILD) && ctest --test-dir $(BUILD) --output-on-failure
endif

.PHONY: all build program run test test-sanitize bench fuzz install example-plot format \
        format-check clean

all: build

# A first configure leaves the tests out, so that the programs alone build
# without GoogleTest; `make test` turns them on.
$(BUILD)/CMakeCache.txt:
	$(CONFIGURE)

# Only the program, build/vorna.
program: $(BUILD)/CMakeCache.txt
	$(BUILD_PROGRAM)

run: program
	cd examples && ../$(BUILD)/vorna

# Everything the build directory is configured for.
build: $(BUILD)/CMakeCache.txt
	$(BUILD_ALL)

# Everything, with warnings as errors, and every test.
test:
	$(TEST_ALL)

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
	$(BUILD_PROGRAMS)
	DESTDIR='$(DESTDIR)' cmake --install $(BUILD) --prefix '$(PREFIX)'

# The example pictures of the README and the guide, from runs on
# examples/wave.txt and on examples/swell.txt (long enough for the detail
# panel).
example-plot: $(BUILD)/CMakeCache.txt
	$(BUILD_PROGRAMS)
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
	rm -rf $(BUILD) build-sanitize build-fuzz build-bench build-old-cmake
