#!/usr/bin/env bash
# Times whole runs of the program on generated series: median wall time of
# five runs and peak memory (/usr/bin/time -v), and instructions
# (valgrind --tool=callgrind). Usage: bench/run_bench.sh [BUILD_DIR] [SIZES...]
set -euo pipefail
. "$(dirname "$0")/bench_common.sh"
bench_program "${1:-}"
shift || true
sizes=("${@:-100000 1000000}")
[ $# -eq 0 ] && sizes=(100000 1000000)
bench_work_dir

printf '%-8s %9s %10s %14s %9s\n' kind samples wall_s instructions peak_MiB
for kind in noisy smooth; do
  for n in "${sizes[@]}"; do
    series=$(bench_series "$kind" "$n")
    answers="out.prt\n$series\n\n\n"
    walls=()
    peak=0
    for _ in 1 2 3 4 5; do
      (cd "$work" && printf "$answers" | /usr/bin/time -v "$program" >/dev/null 2>"$work/time.txt") || true
      walls+=("$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,p,":"); s=0; for(i=1;i<=n;i++) s=s*60+p[i]; print s}' "$work/time.txt")")
      kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
      [ "$kb" -gt "$peak" ] && peak=$kb
    done
    wall=$(printf '%s\n' "${walls[@]}" | median)
    instructions=$(callgrind_count "$answers" "$program")
    printf '%-8s %9s %10s %14s %9.1f\n' "$kind" "$n" "$wall" "$instructions" "$(echo "$peak / 1024" | bc -l)"
  done
done
