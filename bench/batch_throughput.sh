#!/usr/bin/env bash
# Files per second for a batch of series, one run per file, as the README's
# "Many files" recipes run them: FILES series of SAMPLES samples, 1 and 2
# runs at a time, through GNU parallel (parallel -j N vorna --json {} ...,
# the table recipe) and through xargs -P N (vorna -q). Each batch runs ROUNDS
# times; the medians of its wall time and of the processor time it used
# (user and system, of the tool and the runs) count: on a machine that other
# work shares, the wall time varies with that work, the processor time
# hardly. Usage:
#   bench/batch_throughput.sh [BUILD_DIR] [FILES] [SAMPLES] [ROUNDS]
set -euo pipefail
. "$(dirname "$0")/bench_common.sh"
bench_program "${1:-}"
files="${2:-1000}"
samples="${3:-10000}"
rounds="${4:-3}"
bench_work_dir

# Twenty distinct series (noisy and smooth), linked round-robin to FILES
# names: the runs read the same bytes as from FILES copies, from the page
# cache, without the disk space of FILES copies.
mkdir -p "$work/seed" "$work/data"
for seed in $(seq 1 20); do
  kind=$([ $((seed % 2)) -eq 0 ] && echo smooth || echo noisy)
  python3 "$here/gen_series.py" --seed "$seed" --kind "$kind" --dt 0.01 "$samples" \
    "$work/seed/$seed.txt"
done
for i in $(seq 1 "$files"); do
  ln "$work/seed/$(((i - 1) % 20 + 1)).txt" "$work/data/$(printf 'run%05d' "$i").txt"
done

# "WALL CPU" in seconds for one batch: the command runs in an empty folder
# and must succeed for every file.
time_batch() {
  rm -rf "$work/out" && mkdir "$work/out"
  local TIMEFORMAT='%R %U %S' times
  times=$({ time (cd "$work/out" && "$@" 2> "$work/errors.txt"); } 2>&1)
  echo "$times" | awk '{ printf "%s %.3f\n", $1, $2 + $3 }'
}

with_xargs() { printf '%s\0' "$work"/data/*.txt | xargs -0 -n 1 -P "$1" "$program" -q; }
with_parallel() { parallel -j "$1" "$program" --json {} ::: "$work"/data/*.txt > runs.jsonl; }

tools=(xargs)
if command -v parallel > /dev/null; then
  tools=(parallel xargs)
else
  echo "parallel is not installed: only xargs is measured" >&2
fi

echo "# $files files of $samples samples, median of $rounds rounds, $(nproc) cores," \
  "load average $(cut -d ' ' -f 1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC')"
printf '%-9s %4s %6s %9s %11s %14s\n' tool jobs files wall_s files_per_s cpu_ms_per_file
for tool in "${tools[@]}"; do
  for jobs in 1 2; do
    rm -f "$work/times.txt"
    for _ in $(seq 1 "$rounds"); do time_batch "with_$tool" "$jobs" >> "$work/times.txt"; done
    wall=$(cut -d ' ' -f 1 "$work/times.txt" | median)
    cpu=$(cut -d ' ' -f 2 "$work/times.txt" | median)
    awk -v t="$tool" -v j="$jobs" -v n="$files" -v w="$wall" -v c="$cpu" \
      'BEGIN { printf "%-9s %4s %6d %9.2f %11.1f %14.2f\n", t, j, n, w, n / w, 1000 * c / n }'
  done
done
