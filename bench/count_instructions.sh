#!/usr/bin/env bash
# Instructions (valgrind --tool=callgrind, "Collected") of the reference runs
# on gen_series.py's 1,000,000-sample noisy series: the dialogue with piped
# answers (the figure the project holds to, recorded in
# bench/instructions.md), the same series on the command line, and the
# command line with --cycles --waves and with --hysteresis. Builds the
# Release programs first (CMake, its own folder). Usage:
#   bench/count_instructions.sh [BUILD_DIR] [SAMPLES]   (build-release/, 1000000)
set -euo pipefail
. "$(dirname "$0")/bench_common.sh"
build_dir="${1:-$here/../build-release}"
samples="${2:-1000000}"
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 1; }
cmake -S "$here/.." -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build_dir" --target vorna >/dev/null
bench_program "$build_dir"
series=$(bench_series noisy "$samples")
bench_work_dir

printf '%-28s %14s\n' run instructions
printf '%-28s %14s\n' dialogue "$(callgrind_count "out.prt\n$series\n\n\n" "$program")"
printf '%-28s %14s\n' "command line" "$(callgrind_count "" "$program" -q "$series")"
printf '%-28s %14s\n' "--cycles --waves" \
  "$(callgrind_count "" "$program" -q --cycles --waves "$series")"
printf '%-28s %14s\n' "--hysteresis=0.18" \
  "$(callgrind_count "" "$program" -q --hysteresis=0.18 "$series")"
echo "($samples noisy samples, $(date -u '+%Y-%m-%d'), $(uname -m), $(nproc) cores)"
