#!/usr/bin/env bash
# The diff of "korvane -batch run -diff" over 1,000 changed sources of about
# 4 KB, compared with "diff -ru" of the same two trees.
#
# Generates 1,000 Java sources (run_bench generate) and a result tree in
# which every file has three lines changed, one added and one removed. Each
# of 5 rounds times "run_bench diff SRC OUT" (the batch mode's diff loop:
# every source against its result, unified, 3 lines of context) and
# "diff -ru SRC OUT", both written to a file. Prints the ratio of the
# median times, ours over diff's:
#
#   diff: ratio R (target 1.5)
#
# The build folder comes from $KORVANE_BUILD (default build/ in the repository);
# BENCH_VERBOSE=1 also prints the single times to standard error.
# Everything is created under one temporary folder that is removed at the end.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
driver=$build/bin/run_bench
files=1000
rounds=5
target=1.5

if [[ ! -x $driver ]]; then
    echo "diff.bench.sh: no run_bench at $driver (set KORVANE_BUILD)" >&2
    exit 2
fi
command -v diff > /dev/null || { echo "diff.bench.sh: no diff program" >&2; exit 2; }

bench_scratch diff

"$driver" generate "$scratch/src" "$files"
cp -r "$scratch/src" "$scratch/out"
# Three lines changed, one added, one removed in every result.
find "$scratch/out" -type f -exec sed -i -e '5s/$/ \/\/ changed/' -e '40s/int/long/' -e '80s/^/    /' \
    -e '20a\    // added' -e '60d' {} +


ours=()
theirs=()
for ((r = 0; r < rounds; r++)); do
    t0=$(now)
    "$driver" diff "$scratch/src" "$scratch/out" > "$scratch/ours.diff"
    t1=$(now)
    ours+=($((t1 - t0)))

    t0=$(now)
    diff -ru "$scratch/src" "$scratch/out" > "$scratch/theirs.diff" || [[ $? == 1 ]]
    t1=$(now)
    theirs+=($((t1 - t0)))
done

# Sanity: every source has its diff, with the same changed lines as diff's.
if [[ $(grep -c '^+++ ' "$scratch/ours.diff") -ne $files ]] ||
   [[ $(grep -c '^[-+][^-+]' "$scratch/ours.diff") -ne $(grep -c '^[-+][^-+]' "$scratch/theirs.diff") ]]; then
    echo "diff.bench.sh: the diff does not cover the $files changed sources as diff -ru does" >&2
    exit 1
fi

if [[ ${BENCH_VERBOSE:-0} == 1 ]]; then
    echo "run_bench diff ns: ${ours[*]}; diff -ru ns: ${theirs[*]}" >&2
fi
o=$(median "${ours[@]}")
t=$(median "${theirs[@]}")
awk -v o="$o" -v t="$t" -v g="$target" 'BEGIN { printf "diff: ratio %.2f (target %s)\n", o / t, g }'
