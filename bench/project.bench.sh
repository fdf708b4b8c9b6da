#!/usr/bin/env bash
# Saving and loading a project whose source list holds 100,000 files,
# compared with sorting the same 100,000 paths.
#
# Generates 100,000 source paths (mixed case, spread over 10 x 100 folders).
# Each of 5 rounds times one "project_bench save" run, which builds the main
# window's project controls in memory with the paths in the source list and
# writes the project file (properties, the control dump, CR LF lines, written
# through a temporary file), one "project_bench load" run, which reads that
# file back into a fresh window, and one "sort -f" of the path list. Prints
# the ratios of the median times, save over sort and load over sort:
#
#   project-save: ratio R (target 2.0)
#   project-load: ratio R (target 2.0)
#
# The build folder comes from $KORVANE_BUILD (default build/ in the repository).
# Everything is created under one temporary folder that is removed at the end.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
driver=$build/bin/project_bench
sources=${PROJECT_BENCH_SOURCES:-100000}
rounds=5
target=2.0

if [[ ! -x $driver ]]; then
    echo "project.bench.sh: no project_bench at $driver (set KORVANE_BUILD)" >&2
    exit 2
fi

bench_scratch project

paths=$scratch/paths.txt
awk -v n="$sources" 'BEGIN {
    for (i = 0; i < n; i++) {
        sys = (i * 7) % 10; mod = (i * 13) % 100
        name = (i % 3 == 0) ? "prog" : ((i % 3 == 1) ? "Prog" : "PROG")
        printf "/srv/Legacy/Sources/System%02d/module%03d/%s%06d.cbl\n", sys, mod, name, (i * 7919) % 1000003
    }
}' > "$paths"


save_times=()
load_times=()
sort_times=()
for ((r = 0; r < rounds; r++)); do
    project=$scratch/round$r.srd
    t0=$(now)
    "$driver" save "$paths" "$project"
    t1=$(now)
    loaded=$("$driver" load "$project")
    t2=$(now)
    sort -f "$paths" > "$scratch/sorted$r.txt"
    t3=$(now)
    save_times+=($((t1 - t0)))
    load_times+=($((t2 - t1)))
    sort_times+=($((t3 - t2)))
    # Sanity: every source came back.
    if [[ ${loaded%% *} -ne $sources ]]; then
        echo "project.bench.sh: the project loaded ${loaded%% *} of $sources sources" >&2
        exit 1
    fi
done

if [[ -n ${BENCH_VERBOSE:-} ]]; then
    echo "save ${save_times[*]} load ${load_times[*]} sort ${sort_times[*]}" >&2
fi
s=$(median "${save_times[@]}")
l=$(median "${load_times[@]}")
c=$(median "${sort_times[@]}")
awk -v s="$s" -v l="$l" -v c="$c" -v t="$target" 'BEGIN {
    printf "project-save: ratio %.2f (target %s)\n", s / c, t
    printf "project-load: ratio %.2f (target %s)\n", l / c, t
}'
