#!/usr/bin/env bash
# The batch run engine, in three measurements, each the median of 5 rounds
# against a plain command doing comparable work on the same files:
#
#   preparation  run_bench prepare over 10,000 generated Java sources (about
#                40 MB): cleaning the work area, last.xml, the name map and
#                the working copies; against cp of the same files into one
#                folder (target 1.5)
#   chain        korvane -batch run of a project with 20 steps (each a copy
#                of korvane-step, which passes every file through) over 1,000
#                sources, start-up, preparation and collection included;
#                against a shell script running the same 20 programs one
#                after another, each with its own last.xml, after removing
#                the last results and copying the working copies afresh as a
#                run does (target 1.5)
#   collection   run_bench collect of 10,000 results back under the sources'
#                names; against cp -r of the result folder (target 2.0)
#
# bench/run takes one line per benchmark, so the three lines go to standard
# error and standard output gets the one furthest over (or nearest to) its
# target:
#
#   run: ratio R (target T)
#
# The build folder comes from $KORVANE_BUILD (default build/ in the repository).
# Everything is created under one temporary folder that is removed at the end.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
korvane=$build/bin/korvane
step=$build/bin/korvane-step
driver=$build/bin/run_bench
rounds=5
for program in "$korvane" "$step" "$driver"; do
    if [[ ! -x $program ]]; then
        echo "run.bench.sh: no $(basename "$program") at $program (set KORVANE_BUILD)" >&2
        exit 2
    fi
done

bench_scratch run
# The shell's per-user settings and desktop files stay in the scratch folder.
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data HOME=$scratch/home
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

verbose() { if [[ ${BENCH_VERBOSE:-0} == 1 ]]; then echo "$@" >&2; fi; }
elapsed() { awk '$1 == "elapsed_ns" { print $2 }'; }

# --- preparation of 10,000 sources against cp into one folder ---------------------
"$driver" generate "$scratch/src" 10000
copies=$scratch/cp
mkdir -p "$copies"
copy_all() { find "$scratch/src" -type f -print0 | xargs -0 cp -t "$copies"; }
"$driver" prepare "$scratch/src" "$scratch/out" > /dev/null
copy_all
prep=() cp1=()
for ((r = 0; r < rounds; r++)); do
    prep+=("$("$driver" prepare "$scratch/src" "$scratch/out" | elapsed)")
    t0=$(now); copy_all; t1=$(now)
    cp1+=($((t1 - t0)))
    verbose "preparation round $r: ${prep[-1]} ns, cp ${cp1[-1]} ns"
done
prep_ratio=$(ratio "$(median "${prep[@]}")" "$(median "${cp1[@]}")")
rm -rf "$scratch/out" "$copies"

# --- a chain of 20 steps over 1,000 sources against a script -----------------------
tree=$scratch/tree
mkdir -p "$tree/src" "$tree/params"
"$driver" generate "$tree/src" 1000
bench_tool_tree "$tree" 20 "Runcontrol.UseDOSBox=N" "Runcontrol.CaptureLog=N" "Runcontrol.DeleteAfter=N"
bench_project "$tree" "$tree/src"
batch_run() { "$tree/bin/korvane" -proj "$tree/Bench.srd" -batch run > /dev/null; }
if ! batch_run; then
    echo "run.bench.sh: the batch run of the chain did not end with \"Processing finished\"" >&2
    exit 1
fi
# The parameter file of each step, as the run wrote it before that step: the
# last one (before step 20) names the results of step 19.
for ((k = 1; k <= 20; k++)); do
    if ((k == 1)); then
        sed -E 's#workout/(FIL[0-9]+)\.E19#workinp/\1#' "$tree/out/last.xml"
    else
        sed -E "s#workout/(FIL[0-9]+)\\.E19#workout/\\1.E$(printf %02d $((k - 1)))#" "$tree/out/last.xml"
    fi > "$tree/params/last.$k.xml"
done
# The script starts from the state a run starts from: the results of the
# last run gone and fresh working copies (both are file system work that the
# run does too, and creating files right after deleting many is slow on some
# file systems), then runs the 20 programs.
cp -r "$tree/out/workinp" "$tree/copies"
script_run() {
    (
        cd "$tree/out"
        find workout -maxdepth 1 -name 'FIL*' -delete
        rm -rf workinp
        cp -r "$tree/copies" workinp
        for ((k = 1; k <= 20; k++)); do
            cp "$tree/params/last.$k.xml" last.xml
            "$tree/bin/JAVVorl/$(printf 'p%02d' $k)" last.xml > /dev/null
        done
    )
}
script_run
chain=() script=()
for ((r = 0; r < rounds; r++)); do
    t0=$(now); batch_run; t1=$(now)
    script_run; t2=$(now)
    chain+=($((t1 - t0)))
    script+=($((t2 - t1)))
    verbose "chain round $r: ${chain[-1]} ns, script ${script[-1]} ns"
done
chain_ratio=$(ratio "$(median "${chain[@]}")" "$(median "${script[@]}")")
rm -rf "$tree"

# --- collection of 10,000 results against cp -r of them ---------------------------
collect=() cp2=()
for ((r = 0; r < rounds; r++)); do
    rm -rf "$scratch/col" "$scratch/cpr"
    "$driver" stage "$scratch/src" "$scratch/col"
    t0=$(now); cp -r "$scratch/col/workout" "$scratch/cpr"; t1=$(now)
    cp2+=($((t1 - t0)))
    collect+=("$("$driver" collect "$scratch/src" "$scratch/col" | elapsed)")
    verbose "collection round $r: ${collect[-1]} ns, cp -r ${cp2[-1]} ns"
done
collect_ratio=$(ratio "$(median "${collect[@]}")" "$(median "${cp2[@]}")")

echo "run-preparation: ratio $prep_ratio (target 1.5)" >&2
echo "run-chain: ratio $chain_ratio (target 1.5)" >&2
echo "run-collection: ratio $collect_ratio (target 2.0)" >&2
# The one furthest over its target stands for all three.
awk -v a="$prep_ratio" -v b="$chain_ratio" -v c="$collect_ratio" 'BEGIN {
    r = a; t = 1.5
    if (b / 1.5 > r / t) { r = b; t = 1.5 }
    if (c / 2.0 > r / t) { r = c; t = 2.0 }
    printf "run: ratio %s (target %.1f)\n", r, t
}'
