#!/usr/bin/env bash
# The command line's table reader against the dialogue's reader: median
# wall time of five runs of the real program, and instructions
# (valgrind --tool=callgrind) of one, on
#   dialogue   a two-column file of N samples through the questions,
#   two        the same file on the command line,
#   six -c 4   a six-column CSV with a header, N rows, value column 4.
# Usage: bench/table_bench.sh [BUILD_DIR] [N]   (default build/, 1000000)
set -euo pipefail
. "$(dirname "$0")/bench_common.sh"
bench_program "${1:-}"
n="${2:-1000000}"
mkdir -p "$data"
bench_work_dir

two="$data/two-$n.txt"
six="$data/six-$n.csv"
if [ ! -f "$two" ] || [ ! -f "$six" ]; then
  # The same times and values in both; the other four columns are numbers
  # of the same form, so a line of six is about three times as long.
  awk -v n="$n" -v two="$two" -v six="$six" 'BEGIN {
    print "time,pressure,flow,force,temperature,speed" > six
    for (k = 0; k < n; k++) {
      t = k / 1000; v = sin(t * 2.1) + 0.3 * sin(t * 13.7) + 0.01 * ((k * 7919) % 101 - 50)
      printf "%.4f   %.13E\n", t, v > two
      printf "%.4f,%.13E,%.13E,%.13E,%.13E,%.13E\n", t, v / 3, v * 2, v, v + 1, -v > six
    }
  }'
fi

# Runs the program in $work with the answers (empty: none) and arguments.
run_once() {
  local answers="$1"
  shift
  if [ -n "$answers" ]; then
    printf "$answers" | "$@" >/dev/null 2>&1
  else
    "$@" </dev/null >/dev/null 2>&1
  fi
}

measure() {
  local label="$1" answers="$2"
  shift 2
  local walls=()
  for _ in 1 2 3 4 5; do
    local start end
    start=$(date +%s.%N)
    (cd "$work" && run_once "$answers" "$@") || true
    end=$(date +%s.%N)
    walls+=("$(echo "$end - $start" | bc -l)")
  done
  local wall instructions
  wall=$(printf '%s\n' "${walls[@]}" | median)
  instructions=$(callgrind_count "$answers" "$@")
  printf '%-10s %9s %8.3f %14s\n' "$label" "$n" "$wall" "$instructions"
}

printf '%-10s %9s %8s %14s\n' run samples wall_s instructions
measure dialogue "out.prt\n$two\n-1E30\n\n" "$program"
measure two "" "$program" "$two"
measure "six -c 4" "" "$program" -c 4 "$six"
