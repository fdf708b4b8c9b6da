#!/usr/bin/env bash
# A source list box of 100,000 entries, compared with sed over the same
# 100,000 paths.
#
# Generates 100,000 source paths (mixed case, spread over 10 x 100 folders,
# as project.bench.sh does). Each of 5 rounds runs "checklist_bench", which
# times, in a window shown offscreen, filling a check-list box with the
# paths, sorting it, checking all and inverting twice, and computing the
# common root and horizontal extent with every row drawn elided (only that
# work is timed, not the program's start), and times one sed that writes
# each path as a checked project entry ("Y" before it). Prints the ratio of
# the median times:
#
#   checklist-100k: ratio R (target T)
#
# The build folder comes from $KORVANE_BUILD (default build/ in the repository).
# Everything is created under one temporary folder that is removed at the end.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
driver=$build/bin/checklist_bench
sources=100000
rounds=5
target=10

if [[ ! -x $driver ]]; then
    echo "checklist.bench.sh: no checklist_bench at $driver (set KORVANE_BUILD)" >&2
    exit 2
fi
export QT_QPA_PLATFORM=offscreen

bench_scratch checklist
# Qt's run-time folder, so that it does not complain of a missing one.
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

paths=$scratch/paths.txt
awk -v n="$sources" 'BEGIN {
    for (i = 0; i < n; i++) {
        sys = (i * 7) % 10; mod = (i * 13) % 100
        name = (i % 3 == 0) ? "prog" : ((i % 3 == 1) ? "Prog" : "PROG")
        printf "/srv/Legacy/Sources/System%02d/module%03d/%s%06d.cbl\n", sys, mod, name, (i * 7919) % 1000003
    }
}' > "$paths"


box_times=()
sed_times=()
for ((r = 0; r < rounds; r++)); do
    if ! out=$("$driver" "$paths" 2> "$scratch/driver.err"); then
        cat "$scratch/driver.err" >&2
        exit 1
    fi
    ns=$(awk '$1 == "elapsed_ns" { print $2 }' <<< "$out")
    # Sanity: every path is in, all checked after check all and two inversions.
    if [[ -z $ns ]] || ! grep -q "^entries $sources checked $sources root /srv/Legacy/Sources " <<< "$out"; then
        echo "checklist.bench.sh: unexpected result of checklist_bench: $out" >&2
        exit 1
    fi
    box_times+=("$ns")

    t0=$(now)
    sed 's/^/Y/' "$paths" > "$scratch/entries$r.txt"
    t1=$(now)
    sed_times+=($((t1 - t0)))
done

if [[ -n ${BENCH_VERBOSE:-} ]]; then
    echo "box ${box_times[*]} sed ${sed_times[*]}" >&2
fi
b=$(median "${box_times[@]}")
s=$(median "${sed_times[@]}")
awk -v b="$b" -v s="$s" -v t="$target" 'BEGIN { printf "checklist-100k: ratio %.2f (target %s)\n", b / s, t }'
