#!/usr/bin/env bash
# brelvin over a generated Java tree, compared with copying the same tree.
#
# Generates 2,000 Java files of about 50 KB each (about 100 MB in all; every
# tenth if condition lacks its ")") and a parameter file in the shell's form
# that lists all of them as work copies workinp/FILnnnn. Each of 5 rounds
# times one brelvin run over a fresh copy of the tree (the copying is not
# timed), brelvin's file work alone over another fresh copy (the driver
# brelvin_file_work: the same reading and writing of three files per source,
# without line ends, repairs or lines) and one "cp -r" of the same tree.
# Prints the ratios of the median times, brelvin over cp and the file work
# over cp:
#
#   brelvin: ratio R (its file work alone F; target 1.5)
#
# The build folder comes from $KORVANE_BUILD (default build/ in the repository);
# BENCH_VERBOSE=1 also prints the single times to standard error.
# Everything is created under one temporary folder that is removed at the end.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
brelvin=$build/bin/brelvin
file_work=$build/bin/brelvin_file_work
files=${BRELVIN_BENCH_FILES:-2000}
rounds=5
target=1.5

for program in "$brelvin" "$file_work"; do
    if [[ ! -x $program ]]; then
        echo "brelvin.bench.sh: no $(basename "$program") at $program (set KORVANE_BUILD)" >&2
        exit 2
    fi
done

bench_scratch brelvin

master=$scratch/master  # the generated work copies
mkdir -p "$master"

# The Java text: 188 small methods per file (about 50 KB), each with one if condition;
# a running count over all files breaks every tenth one.
awk -v files="$files" -v dir="$master" '
BEGIN {
    n = 0
    for (f = 0; f < files; f++) {
        path = sprintf("%s/FIL%04d", dir, f)
        printf "package bench.p%d;\n\nimport java.util.List;\n\npublic class Gen%d {\n", f % 50, f > path
        for (m = 0; m < 188; m++) {
            broken = (n++ % 10 == 0)
            printf "    /** Method %d of class Gen%d. */\n", m, f > path
            printf "    public int method%d(int a, int b, List<Integer> list) {\n", m > path
            printf "        int result = a + %d;\n", m > path
            if (broken)
                printf "        if (a > b && (result %% 7) != %d && list.size() > %d {\n", m % 7, m % 5 > path
            else
                printf "        if (a > b && (result %% 7) != %d && list.size() > %d) {\n", m % 7, m % 5 > path
            printf "            result = result * 2 - b;\n        }\n        return result;\n    }\n\n" > path
        }
        printf "}\n" > path
        close(path)
    }
}'

# The parameter file as the shell writes it, CR LF after every line.
{
    printf '<?xml version="1.0" encoding="UTF-8" ?>                 \r\n'
    printf '<!--DOCTYPE KORVANE SYSTEM "Vorl.dtd"-->           \r\n'
    printf '<VORL>                                              \r\n'
    printf ' <Names                                                 \r\n'
    printf '  ProductName = "BENCH"\r\n  SystemName  = "GEN"\r\n  Version     = "Java"\r\n />\r\n'
    printf ' <Parameters\r\n  Brelvin = "Y"\r\n /> \r\n'
    printf ' <Directories>\r\n  <Orig_Output_Dir>%s</Orig_Output_Dir>\r\n' "$scratch"
    printf '  <Input_Dir>workinp</Input_Dir>\r\n  <Output_Dir>workout</Output_Dir>\r\n'
    printf '  <Work_Dir>work</Work_Dir>\r\n </Directories>\r\n <Files>\r\n'
    for ((f = 0; f < files; f++)); do
        printf '  <Orig_File_%04d>%s/src/Gen%d.java</Orig_File_%04d>\r\n' "$f" "$scratch" "$f" "$f"
        printf '  <File_%04d>workinp/FIL%04d</File_%04d>\r\n' "$f" "$f" "$f"
    done
    printf ' </Files>\r\n</VORL>\r\n'
} > "$scratch/last.xml"
for ((f = 0; f < files; f++)); do printf 'workinp/FIL%04d\n' "$f"; done > "$scratch/work-copies"

# Every round works in folders of its own and nothing is deleted before the
# end: creating files right after deleting many is slow on some file systems
# (freshly freed inodes are skipped one by one), which would weigh on
# whichever command happens to follow a deletion.
brelvin_times=()
file_work_times=()
cp_times=()
for ((r = 0; r < rounds; r++)); do
    round=$scratch/round$r
    mkdir -p "$round"
    cp "$scratch/last.xml" "$round/last.xml"
    cp -r "$master" "$round/workinp"
    bench_warm_memory
    t0=$(now)
    (cd "$round" && "$brelvin" last.xml > /dev/null)
    t1=$(now)
    brelvin_times+=($((t1 - t0)))

    mkdir -p "$round/file-work"
    cp -r "$master" "$round/file-work/workinp"
    bench_warm_memory
    t0=$(now)
    (cd "$round/file-work" && "$file_work" < "$scratch/work-copies")
    t1=$(now)
    file_work_times+=($((t1 - t0)))

    bench_warm_memory
    t0=$(now)
    cp -r "$master" "$round/copy"
    t1=$(now)
    cp_times+=($((t1 - t0)))
done

# Sanity: the last brelvin round repaired every file and left its copies.
if [[ $(find "$round/workinp" -name '*.javitott.txt' | wc -l) -ne $files ]]; then
    echo "brelvin.bench.sh: brelvin did not repair all $files files" >&2
    exit 1
fi

if [[ ${BENCH_VERBOSE:-0} == 1 ]]; then
    echo "brelvin ns: ${brelvin_times[*]}; file work ns: ${file_work_times[*]}; cp -r ns: ${cp_times[*]}" >&2
fi
b=$(median "${brelvin_times[@]}")
w=$(median "${file_work_times[@]}")
c=$(median "${cp_times[@]}")
echo "brelvin: ratio $(ratio "$b" "$c") (its file work alone $(ratio "$w" "$c"); target $target)"
