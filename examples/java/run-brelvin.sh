#!/usr/bin/env bash
# Runs brelvin over a copy of this example tree and shows what it changed.
# brelvin repairs the listed files in place, so the tree is copied to a
# temporary folder first; the folder is removed afterwards unless KEEP=1.
#
#   examples/java/run-brelvin.sh            (from anywhere)
#   KORVANE_BUILD=/path/to/build examples/java/run-brelvin.sh
#   BRELVIN=/path/to/brelvin KEEP=1 examples/java/run-brelvin.sh
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
brelvin=${BRELVIN:-${KORVANE_BUILD:-$repo/build}/bin/brelvin}
if [[ ! -x $brelvin ]]; then
    echo "brelvin not found at $brelvin (build it, or set KORVANE_BUILD or BRELVIN)" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/brelvin-example.XXXXXX")
if [[ ${KEEP:-0} == 1 ]]; then
    echo "keeping $work"
else
    trap 'rm -rf "$work"' EXIT
fi
cp -r "$here/." "$work/"
rm -f "$work/run-brelvin.sh" "$work/README.md" "$work/.gitattributes"

echo "== brelvin last.xml (in $work)"
status=0
(cd "$work" && "$brelvin" last.xml) || status=$?
echo "== exit status $status"

echo "== changes (line ends ignored: every written line now ends in CR LF)"
diff -ru --strip-trailing-cr "$here/src" "$work/src" \
    -x '*.eredeti.txt' -x '*.javitott.txt' | sed "s|$work|<copy>|g; s|$here|<example>|g" || true

echo "== copies left beside each repaired file"
(cd "$work" && find src -name '*.eredeti.txt' -o -name '*.javitott.txt' | sort)

if command -v javac >/dev/null 2>&1; then
    echo "== javac over the repaired sources"
    if (cd "$work" && javac -d classes $(find src -name '*.java')); then
        echo "compiles"
    else
        status=1
    fi
fi
exit "$status"
