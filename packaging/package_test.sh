#!/bin/sh
# Builds the Debian package from a build folder and tries it as installed:
#   package_test.sh BUILD_DIR PACKAGE_DIR CMAKE
# - cpack -G DEB writes PACKAGE_DIR/korvane_<version>_<arch>.deb;
# - `cmake --install` names every file it installs in install_manifest.txt;
# - the package's files lie in the FHS places, its dependencies come from
#   dpkg-shlibdeps, its MIME package compiles with the magic rule;
# - unpacked into a temporary root (dpkg-deb -x), the installed korvane runs
#   the installed example in batch mode with the installed tool settings and
#   tools, and a per-user settings file overrides the installed one.
set -eu
build=$(cd "$1" && pwd)
out=$2
cmake=$3
cpack=$(dirname "$cmake")/cpack

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$out"
mkdir -p "$out"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/korvane-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# --- the package ---
(cd "$out" && "$cpack" -G DEB --config "$build/CPackConfig.cmake") > "$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$out"/korvane_*.deb)
echo "package: $deb"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in libc6 libqt6widgets6 libqt6core6 qt6-qpa-plugins; do
    case "$depends" in *"$d"*) ;; *) fail "Depends lacks $d" ;; esac
done

# --- every installed file is in install_manifest.txt ---
DESTDIR="$tmp/destdir" "$cmake" --install "$build" --prefix /usr > /dev/null
(cd "$tmp/destdir" && find . ! -type d | sed 's|^\.||' | sort) > "$tmp/installed.txt"
sed "s|^$tmp/destdir||" "$build/install_manifest.txt" | sort > "$tmp/manifest.txt"
diff "$tmp/manifest.txt" "$tmp/installed.txt" || fail "installed files missing from install_manifest.txt (> lines)"

# --- the files of the package, in their places ---
root="$tmp/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/korvane usr/bin/brelvin usr/share/korvane/Korvane.INI \
    usr/lib/korvane/JAVVorl/jvrealign usr/lib/korvane/JAVVorl/jvrealign.step usr/lib/korvane/JAVVorl/brelvin \
    usr/lib/korvane/COBVorl/cobscan usr/lib/korvane/COBVorl/FUNCTAB.COB \
    usr/share/doc/korvane/html/index.html usr/share/doc/korvane/copyright usr/share/doc/korvane/changelog.gz \
    usr/share/doc/korvane/examples/java/make-project.sh usr/share/doc/korvane/examples/java/src/com/example/shop/Cart.java \
    usr/share/applications/com.talmek.Korvane.desktop usr/share/mime/packages/korvane.xml \
    usr/share/metainfo/com.talmek.Korvane.metainfo.xml usr/share/icons/hicolor/48x48/apps/korvane.png \
    usr/share/icons/hicolor/256x256/apps/korvane.png \
    usr/share/icons/hicolor/48x48/mimetypes/application-x-zq-korvane-project-file.png; do
    [ -e "$root/$f" ] || fail "$f is not in the package"
done
ls "$root/usr/bin" | tr '\n' ' ' | grep -qx 'brelvin korvane ' || fail "usr/bin holds more than the two programs"
[ ! -e "$root/usr/_Korvane.Src" ] || fail "settings outside the FHS places"
[ -x "$root/usr/lib/korvane/JAVVorl/jvrealign" ] || fail "tool programs not executable"
if command -v file > /dev/null; then
    file "$root/usr/lib/korvane/JAVVorl/jvrealign" | grep -q 'not stripped' && fail "tool programs not stripped"
fi

# The MIME package compiles, with the first-line rule among the magic.
if command -v update-mime-database > /dev/null; then
    mkdir -p "$tmp/mime/packages"
    cp "$root/usr/share/mime/packages/korvane.xml" "$tmp/mime/packages/"
    update-mime-database "$tmp/mime" 2> /dev/null
    grep -q 'StreamToIni.FileFormat=' "$tmp/mime/magic" || fail "no magic rule for project files"
    grep -q 'application/x-zq-korvane-project-file text/plain' "$tmp/mime/subclasses" ||
        fail "project files are not text/plain"
fi

# --- the installed example, run from the unpacked root ---
home="$tmp/home"
mkdir -p "$home"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"
sh "$root/usr/share/doc/korvane/examples/java/make-project.sh" "$home/demo" > "$tmp/make.log"
grep -q "korvane -proj $home/demo/JavaDemo.srd" "$tmp/make.log" || fail "make-project.sh did not name the project"
status=0
"$root/usr/bin/korvane" -proj "$home/demo/JavaDemo.srd" -batch run > "$tmp/run.log" 2>&1 || status=$?
cat "$tmp/run.log"
[ "$status" = 0 ] || fail "korvane -batch run of the installed example ended with $status"
grep -q 'Processing finished' "$tmp/run.log" || fail "the run did not finish"
# The results are back under the sources' names (below the sources' common
# root), repaired by the installed brelvin; the installed tree is untouched.
cart="$home/demo/out/shop/Cart.java"
[ -f "$cart" ] || fail "no result for Cart.java"
cmp -s "$cart" "$home/demo/src/com/example/shop/Cart.java" && fail "Cart.java came back unrepaired"
[ ! -e "$root/usr/share/korvane/DOSBox.config" ] || fail "the run wrote into the installed settings folder"

# A per-user settings file overrides the installed one: without Java, the
# run cannot start.
mkdir -p "$XDG_CONFIG_HOME/korvane"
grep -v '^JAV' "$root/usr/share/korvane/Korvane.INI" > "$XDG_CONFIG_HOME/korvane/Korvane.INI"
status=0
"$root/usr/bin/korvane" -proj "$home/demo/JavaDemo.srd" -batch run > "$tmp/run2.log" 2>&1 || status=$?
[ "$status" != 0 ] || { cat "$tmp/run2.log"; fail "the per-user settings file was not read"; }
echo "package test passed"
