#!/usr/bin/env bash
# A run of file-local steps split into parallel jobs, against the same run as
# one job.
#
# A project over 2,000 generated Java sources (run_bench generate) whose
# chain is 5 steps, each a copy of korvane-step declared file-local
# (JAV.FileLocal=Y) and made processor-bound with KORVANE_STEP_BURN (by
# default 1 millisecond per source and step, so that one job takes 10 to 20
# seconds on 2 processors). Each round times
#
#   korvane -proj Bench.srd -batch run -quiet -jobs 1
#   korvane -proj Bench.srd -batch run -quiet -jobs 2
#
# one after the other into the same output directory; the figures are the
# medians of 3 rounds. The first round also checks that both runs end with
# "Processing finished" and leave the output directory byte for byte the
# same (results, work area, last.xml, system log, Console.log). Prints
#
#   run-parallel: ratio R (target 0.6)
#
# where R is the time of two jobs over the time of one.
#
# BENCH_BURN_MS sets the processor time per source and step in milliseconds.
# The build folder comes from $KORVANE_BUILD (default build/ in the repository).
# Everything is created under one temporary folder that is removed at the end.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
driver=$build/bin/run_bench
rounds=3
target=0.6
sources=2000
steps=5
burn=${BENCH_BURN_MS:-1}
for program in "$build/bin/korvane" "$build/bin/korvane-step" "$driver"; do
    if [[ ! -x $program ]]; then
        echo "parallel.bench.sh: no $(basename "$program") at $program (set KORVANE_BUILD)" >&2
        exit 2
    fi
done

bench_scratch parallel
# The shell's per-user settings and desktop files stay in the scratch folder.
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data HOME=$scratch/home
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export KORVANE_STEP_BURN=$burn

verbose() { if [[ ${BENCH_VERBOSE:-0} == 1 ]]; then echo "$@" >&2; fi; }

tree=$scratch/tree
mkdir -p "$tree/src"
"$driver" generate "$tree/src" "$sources"
bench_tool_tree "$tree" "$steps" "JAV.FileLocal=Y" \
    "Runcontrol.UseDOSBox=N" "Runcontrol.CaptureLog=Y" "Runcontrol.DeleteAfter=N"
bench_project "$tree" "$tree/src"

# batch_run JOBS: one timed run; its time in nanoseconds in $took. The tools
# append to Console.log, which is removed first so that it holds this run's
# output only.
batch_run() {
    local t0 t1 status=0
    rm -f "$tree/out/Console.log"
    t0=$(now)
    "$tree/bin/korvane" -proj "$tree/Bench.srd" -batch run -quiet -jobs "$1" \
        > /dev/null 2> "$scratch/stderr" || status=$?
    t1=$(now)
    took=$((t1 - t0))
    if ((status == 0)); then return; fi
    if ((status == 2)); then
        echo "parallel.bench.sh: korvane refused the run with -jobs $1 (exit status 2):" >&2
    else
        echo "parallel.bench.sh: the run with -jobs $1 did not end with \"Processing finished\"" \
            "(exit status $status):" >&2
    fi
    head -n 20 "$scratch/stderr" >&2
    exit 1
}

one=() two=()
for ((r = 0; r < rounds; r++)); do
    batch_run 1
    one+=("$took")
    if ((r == 0)); then cp -a "$tree/out" "$scratch/one-job"; fi
    batch_run 2
    two+=("$took")
    if ((r == 0)) && ! diff -r "$scratch/one-job" "$tree/out" > "$scratch/differences"; then
        echo "parallel.bench.sh: two jobs left another output directory than one job:" >&2
        head -n 20 "$scratch/differences" >&2
        exit 1
    fi
    rm -rf "$scratch/one-job"
    verbose "round $r: one job ${one[-1]} ns, two jobs ${two[-1]} ns"
done

echo "run-parallel: ratio $(ratio "$(median "${two[@]}")" "$(median "${one[@]}")") (target $target)"
