# What the bench/*.bench.sh scripts share; each sources this file first.
#
# build   the build folder: $KORVANE_BUILD, default build/ in the repository

build=${KORVANE_BUILD:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}

now() { date +%s%N; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# bench_scratch NAME: a new temporary folder in $scratch, removed when the
# script ends, also on an interrupt.
bench_scratch() {
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/$1-bench.XXXXXX")
    trap 'rm -rf "$scratch"' EXIT
    trap 'exit 130' INT TERM
}
