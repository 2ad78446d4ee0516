# The set-up the bench scripts share; sourced, not run:
#   . "$(dirname "$0")/bench_common.sh"
#   bench_program "${1:-}"       # $program: the build's vorna (build/ by default)
#   bench_work_dir               # $work: a temporary folder, gone at exit
#   series=$(bench_series noisy 1000000)
# $here is the bench folder; $data the folder of the generated series
# (build-bench-data/ beside it), made once and kept between runs.

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
data="$here/../build-bench-data"

# $build and $program from the build folder given (default build/); stops
# the script when the program is not built.
bench_program() {
  build="$(cd "${1:-$here/../build}" && pwd)"
  program="$build/vorna"
  [ -x "$program" ] || { echo "no program at $program (run make first)" >&2; exit 1; }
}

# $work: a new temporary folder, removed when the script ends.
bench_work_dir() {
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
}

# The path of gen_series.py's series of KIND (noisy or smooth) with SAMPLES
# samples and seed 1, written the first time it is asked for.
bench_series() {
  local kind="$1" samples="$2"
  mkdir -p "$data"
  local series="$data/$kind-$samples.txt"
  [ -f "$series" ] || python3 "$here/gen_series.py" --seed 1 --kind "$kind" "$samples" "$series"
  echo "$series"
}

# The median of the numbers on standard input, one a line.
median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# Instructions (valgrind --tool=callgrind, "Collected") of one run of the
# command in $work, with ANSWERS (printf form; empty: no standard input) on
# standard input; "-" without valgrind or with VORNA_BENCH_CALLGRIND=0.
# Usage: callgrind_count ANSWERS COMMAND...
callgrind_count() {
  local answers="$1"
  shift
  if ! command -v valgrind >/dev/null || [ "${VORNA_BENCH_CALLGRIND:-1}" != 1 ]; then
    echo "-"
    return
  fi
  (
    cd "$work" || exit 1
    if [ -n "$answers" ]; then
      # shellcheck disable=SC2059 # the answers are a printf form
      printf "$answers" | valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" \
        --log-file="$work/cg.txt" "$@" >/dev/null 2>&1
    else
      valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" --log-file="$work/cg.txt" \
        "$@" </dev/null >/dev/null 2>&1
    fi
  ) || true
  awk '/Collected :/ { print $4 }' "$work/cg.txt"
}
