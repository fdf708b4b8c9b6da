#!/usr/bin/env bash
# Adding a large folder tree to the source list, compared with listing the
# same tree with find.
#
# Lays out 100,000 Cobol sources in a tree three folder levels deep
# (10 x 10 x 10 folders of 100 files). Each of 5 rounds times one
# "collections_bench add" run, which fills a source list with 50,000 of the
# files and then searches the tree and merges what it found into the list
# (the work of AddDirectoryToList without the window; only the search and
# the merge are timed), and one "find DIR -type f -name '*.cbl'" over the
# same tree. Prints the ratio of the median times, adding over find:
#
#   collections-add-folder: ratio R (target 1.2)
#
# The build folder comes from $KORVANE_BUILD (default build/ in the repository).
# Everything is created under one temporary folder that is removed at the end.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
driver=$build/bin/collections_bench
rounds=5
target=1.2

if [[ ! -x $driver ]]; then
    echo "collections.bench.sh: no collections_bench at $driver (set KORVANE_BUILD)" >&2
    exit 2
fi

bench_scratch collections

tree=$scratch/tree
"$driver" generate "$tree"
# One untimed pass of each, so both start from a warm directory cache.
"$driver" add "$tree" > /dev/null
find "$tree" -type f -name '*.cbl' > /dev/null


add_times=()
find_times=()
for ((r = 0; r < rounds; r++)); do
    ns=$("$driver" add "$tree" | awk '$1 == "elapsed_ns" { print $2 }')
    if [[ -z $ns ]]; then
        echo "collections.bench.sh: collections_bench add reported no time" >&2
        exit 1
    fi
    add_times+=("$ns")

    t0=$(now)
    find "$tree" -type f -name '*.cbl' > /dev/null
    t1=$(now)
    find_times+=($((t1 - t0)))
done

echo "add ${add_times[*]} find ${find_times[*]}" >&2
a=$(median "${add_times[@]}")
f=$(median "${find_times[@]}")
awk -v a="$a" -v f="$f" -v t="$target" 'BEGIN { printf "collections-add-folder: ratio %.2f (target %s)\n", a / f, t }'
