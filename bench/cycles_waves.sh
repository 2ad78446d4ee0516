#!/usr/bin/env bash
# What --cycles and --waves add to a run: the 1,000,000-sample noisy series
# of gen_series.py, run from the command line without and with the options,
# the two in turn ROUNDS times. Prints the medians of the wall time and of
# the processor time (user and system) of each, and their ratios; on a
# machine that other work shares the wall time varies with that work, the
# processor time hardly. Usage:
#   bench/cycles_waves.sh [BUILD_DIR] [SAMPLES] [ROUNDS]
set -euo pipefail
. "$(dirname "$0")/bench_common.sh"
bench_program "${1:-}"
samples="${2:-1000000}"
rounds="${3:-11}"
series=$(bench_series noisy "$samples")
bench_work_dir

# One run: "wall cpu" in seconds.
timed_run() {
  (cd "$work" && /usr/bin/time -f '%e %U %S' -o "$work/time.txt" "$program" -q "$@" "$series" \
    2>/dev/null) || true
  awk '{printf "%s %.2f\n", $1, $2 + $3}' "$work/time.txt"
}

: >"$work/plain.txt"
: >"$work/options.txt"
for _ in $(seq "$rounds"); do
  timed_run >>"$work/plain.txt"
  timed_run --cycles --waves >>"$work/options.txt"
done
plain_wall=$(cut -d' ' -f1 "$work/plain.txt" | median)
plain_cpu=$(cut -d' ' -f2 "$work/plain.txt" | median)
with_wall=$(cut -d' ' -f1 "$work/options.txt" | median)
with_cpu=$(cut -d' ' -f2 "$work/options.txt" | median)
lines=$(cd "$work" && "$program" -q --cycles --waves "$series" 2>/dev/null &&
  echo "$(grep -vc '^#' noisy-"$samples".cyc) cycles, $(grep -vc '^#' noisy-"$samples".wav) waves")
printf '%-22s %8s %8s\n' run wall_s cpu_s
printf '%-22s %8s %8s\n' plain "$plain_wall" "$plain_cpu"
printf '%-22s %8s %8s\n' "--cycles --waves" "$with_wall" "$with_cpu"
printf '%-22s %8.2f %8.2f\n' ratio "$(echo "$with_wall / $plain_wall" | bc -l)" \
  "$(echo "$with_cpu / $plain_cpu" | bc -l)"
echo "($samples samples, $rounds rounds, medians; $lines)"
