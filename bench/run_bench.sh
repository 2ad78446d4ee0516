#!/usr/bin/env bash
# Times whole runs of the program on generated series: median wall time of
# five runs and peak memory (/usr/bin/time -v), and instructions
# (valgrind --tool=callgrind). Usage: bench/run_bench.sh [BUILD_DIR] [SIZES...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
shift || true
sizes=("${@:-100000 1000000}")
[ $# -eq 0 ] && sizes=(100000 1000000)
program="$build/vorna"
[ -x "$program" ] || { echo "no program at $program (run make first)" >&2; exit 1; }
data="$here/../build-bench-data"
mkdir -p "$data"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

printf '%-8s %9s %10s %14s %9s\n' kind samples wall_s instructions peak_MiB
for kind in noisy smooth; do
  for n in "${sizes[@]}"; do
    series="$data/$kind-$n.txt"
    [ -f "$series" ] || python3 "$here/gen_series.py" --seed 1 --kind "$kind" "$n" "$series"
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
    instructions="-"
    if command -v valgrind >/dev/null && [ "${VORNA_BENCH_CALLGRIND:-1}" = 1 ]; then
      (cd "$work" && printf "$answers" | valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" \
        "$program" >/dev/null 2>"$work/cg.txt") || true
      instructions=$(awk '/Collected :/ {print $4}' "$work/cg.txt")
    fi
    printf '%-8s %9s %10s %14s %9.1f\n' "$kind" "$n" "$wall" "$instructions" "$(echo "$peak / 1024" | bc -l)"
  done
done
