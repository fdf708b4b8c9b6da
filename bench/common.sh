# What the bench/*.bench.sh scripts share; each sources this file first.
#
# build   the build folder: $KORVANE_BUILD, default build/ in the repository
# now, median, ratio, bench_scratch     clock, figures and the scratch folder
# bench_tool_tree, bench_project        a tool tree with a chain of copies of
#                                       korvane-step, and a project over it

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

# bench_warm_memory: touches 512 MiB of memory and lets it go again, right
# before a timed command. A virtual machine whose host takes back the memory
# it frees gets it back slowly: the first write to each page then costs some
# microseconds, which would fall on whichever command is the first to need
# more memory than was used lately. After this, a command that needs up to
# that much works on memory the machine holds, as on a machine of its own.
bench_warm_memory() {
    dd if=/dev/zero of=/dev/null bs=512M count=1 status=none
}

# bench_tool_tree TREE STEPS [SETTING...]: a tool root TREE with the shell
# (bin/korvane) and a Java chain of STEPS copies of korvane-step
# (bin/JAVVorl/pNN for step SNN with result extension ENN), and its settings
# file _Korvane.Src/Korvane.INI holding the language, the steps and then the
# given setting lines. Copies are hard links where the file system allows.
bench_tool_tree() {
    local tree=$1 steps=$2 k p
    shift 2
    mkdir -p "$tree/bin/JAVVorl" "$tree/_Korvane.Src"
    ln "$build/bin/korvane" "$tree/bin/korvane" 2> /dev/null || cp "$build/bin/korvane" "$tree/bin/korvane"
    {
        printf '%s\r\n' "[Languages]" "DefaultLanguage=JAV" "JAV=Java,JAV,\"\"" "JAV.Copy=.jcp" \
            "JAV.OuputExtension=.java" "JAV.Filter=Java sources (*.java)|*.java"
        for ((k = 1; k <= steps; k++)); do printf 'JAV.Step%02d=S%02d,p%02d,E%02d\r\n' $k $k $k $k; done
        if (($# > 0)); then printf '%s\r\n' "$@"; fi
    } > "$tree/_Korvane.Src/Korvane.INI"
    for ((k = 1; k <= steps; k++)); do
        p=$(printf 'p%02d' $k)
        ln "$build/bin/korvane-step" "$tree/bin/JAVVorl/$p" 2> /dev/null ||
            cp "$build/bin/korvane-step" "$tree/bin/JAVVorl/$p"
        printf 'Step=S%02d\nResultExtension=E%02d\n' $k $k > "$tree/bin/JAVVorl/$p.step"
    done
}

# bench_project TREE SOURCES: the project TREE/Bench.srd (system Run, product
# Bench, Java) with every file below SOURCES checked, in sorted order, and
# the output directory TREE/out.
bench_project() {
    local tree=$1 sources=$2
    mkdir -p "$tree/out"
    {
        printf '%s\r\n' "StreamToIni.FileFormat=1" "[Properties]" "ProjectName=Bench" "ProjectProductName=Bench" \
            "ProjectSystemName=Run" "BatchRunning=N" "ProjectDirectory=$tree/" "ProjectVersion=JAV" "MaxDirDepth=100" \
            "[Konyec szkazki]" "[Form - frmKorvaneMain]" "[TFrames]" \
            "frmKorvaneMain.FrameFindDirectoryOutputDir.Edit=$tree/out" "[Editboxes]" \
            "frmKorvaneMain.EditSystemName=Run" "frmKorvaneMain.EditProductName=Bench" "[CheckListBoxes]" \
            "[TCheckListBox - frmKorvaneMain.CheckListBoxSelectedFiles]" \
            "frmKorvaneMain.CheckListBoxSelectedFiles=CheckListBoxSelectedFiles" \
            "frmKorvaneMain.CheckListBoxSelectedFiles.Tag=0"
        find "$sources" -type f | sort | sed 's/^/YY/; s/$/\r/'
        printf '%s\r\n' "[Konyec szkazki]"
    } > "$tree/Bench.srd"
}
