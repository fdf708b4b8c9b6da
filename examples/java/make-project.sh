#!/bin/sh
# Makes a copy of this example in a folder of your own, with the project file
# JavaDemo.srd naming it, and prints the command that opens it. For an
# installed Korvane:
#   sh /usr/share/doc/korvane/examples/java/make-project.sh ~/korvane-demo
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -ne 1 ]; then
    echo "usage: make-project.sh FOLDER" >&2
    exit 2
fi
mkdir -p "$1/out"
target=$(cd "$1" && pwd)
case "$target" in
    *'|'* | *'&'* | *'\'*)
        echo "make-project.sh: $target: choose a folder whose name holds no | & or \\" >&2
        exit 2
        ;;
esac
cp -R "$here/src" "$target/"
# The project file as the build writes it: CR LF line ends, no tool root (an
# installed korvane finds its tools itself).
sed -e '/^ToolRootDir=@TOOL_ROOT@/d' -e "s|@EXAMPLE_DIR@|$target|g" -e 's/\r*$/\r/' \
    "$here/JavaDemo.srd.in" > "$target/JavaDemo.srd"
echo "korvane -proj $target/JavaDemo.srd"
