#!/usr/bin/env bash
# The internal viewer opening a 50 MiB log, compared with copying the file.
#
# Generates a file of 524,288 lines of 101 bytes (a number, filler, CR LF):
# about 50 MiB, of which the viewer shows the last 16 MB. Each of 5 rounds runs
# "viewer_bench", which times, in a window shown offscreen, the open call
# until the page shows its text (only that is timed, not the program's
# start), and times one cp of the file. Prints the ratio of the median
# times:
#
#   viewer-open-50mib: ratio R (target T)
#
# The build folder comes from $KORVANE_BUILD (default build/ in the repository).
# Everything is created under one temporary folder that is removed at the end.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
driver=$build/bin/viewer_bench
lines=524288
rounds=5
target=50

if [[ ! -x $driver ]]; then
    echo "viewer.bench.sh: no viewer_bench at $driver (set KORVANE_BUILD)" >&2
    exit 2
fi
export QT_QPA_PLATFORM=offscreen

bench_scratch viewer
# Qt's run-time folder, so that it does not complain of a missing one.
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

big=$scratch/big.log
awk -v n="$lines" 'BEGIN {
    filler = sprintf("%91s", ""); gsub(/ /, "x", filler)
    for (i = 0; i < n; i++) printf "%07d %s\r\n", i, filler
}' > "$big"
# One untimed pass of each, so both read the file from the page cache.
cp "$big" "$scratch/warm.log"
rm "$scratch/warm.log"
"$driver" "$big" > /dev/null 2> "$scratch/driver.err" || { cat "$scratch/driver.err" >&2; exit 1; }


# The page holds the last 16,000,000 bytes from a whole line on: 158,415
# lines of 101 bytes.
shown=$((16000000 / 101))
open_times=()
cp_times=()
for ((r = 0; r < rounds; r++)); do
    if ! out=$("$driver" "$big" 2> "$scratch/driver.err"); then
        cat "$scratch/driver.err" >&2
        exit 1
    fi
    ns=$(awk '$1 == "elapsed_ns" { print $2 }' <<< "$out")
    if [[ -z $ns ]] || ! grep -q "^blocks $shown note 1$" <<< "$out"; then
        echo "viewer.bench.sh: unexpected result of viewer_bench: $out" >&2
        exit 1
    fi
    open_times+=("$ns")

    t0=$(now)
    cp "$big" "$scratch/copy.log"
    t1=$(now)
    cp_times+=($((t1 - t0)))
    rm "$scratch/copy.log"
done

if [[ -n ${BENCH_VERBOSE:-} ]]; then
    echo "open ${open_times[*]} cp ${cp_times[*]}" >&2
fi
o=$(median "${open_times[@]}")
c=$(median "${cp_times[@]}")
awk -v o="$o" -v c="$c" -v t="$target" 'BEGIN { printf "viewer-open-50mib: ratio %.2f (target %s)\n", o / c, t }'
