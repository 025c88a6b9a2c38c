#!/bin/bash
# The game installs like a Linux game: `cmake --install` into a scratch prefix lays out the
# program, its data, a valid desktop entry and AppStream file, the icon and a readable manual
# page; the installed game, started from / with the replay named relative to /, plays
# demo/lose.replay to the water; with no data folder it says where it looked and stops; and
# `cpack -G DEB` packs a .deb whose Depends name the libraries' packages.
. "$(dirname "$0")/game.sh"
in_runtime "$1"
runtime=$(pwd)
prefix="$work/prefix"

cmake --install "$runtime" --prefix "$prefix" >"$work/install.out" 2>&1 || fail "install: $(tail -n 5 "$work/install.out")"
for f in bin/gorbeck share/gorbeck/shader/bump.vert share/gorbeck/models/level.obj share/gorbeck/textures/youwin.jpg \
    share/gorbeck/sounds/gorbeck.mp3 share/icons/hicolor/128x128/apps/org.gorbeck.Gorbeck.png share/man/man6/gorbeck.6; do
    [ -s "$prefix/$f" ] || fail "not installed: $f"
done
file_type=$(file -b "$prefix/share/icons/hicolor/128x128/apps/org.gorbeck.Gorbeck.png")
[[ "$file_type" == "PNG image data, 128 x 128,"* ]] || fail "icon: $file_type"

desktop-file-validate "$prefix/share/applications/org.gorbeck.Gorbeck.desktop" >"$work/desktop" 2>&1 ||
    fail "desktop entry: $(cat "$work/desktop")"
[ ! -s "$work/desktop" ] || fail "desktop entry: $(cat "$work/desktop")"
appstreamcli validate --no-net "$prefix/share/metainfo/org.gorbeck.Gorbeck.metainfo.xml" >"$work/metainfo" 2>&1 ||
    fail "metainfo: $(cat "$work/metainfo")"
groff -man -Tutf8 -ww -z "$prefix/share/man/man6/gorbeck.6" >"$work/man" 2>&1 || fail "man page: $(cat "$work/man")"
[ ! -s "$work/man" ] || fail "man page warnings: $(cat "$work/man")"

# From /, on PATH, with the replay named relative to /.
(cd / && PATH="$prefix/bin:$PATH" timeout 300 gorbeck --replay "${source_dir#/}/demo/lose.replay" --draw-every 100000 \
    >"$work/out" 2>"$work/err") || fail "installed replay status $?: $(cat "$work/err")"
last=$(tail -n 1 "$work/out")
[[ "$last" =~ ^replay:\ [0-9]+\ frames,\ player\ at\ \(.*\),\ gameState\ -1$ ]] || fail "final line: $last"

# No data folder: one line naming where it looked, status 1, before any window.
mkdir "$work/empty"
status=0
(cd "$work" && GORBECK_DATA="$work/empty" "$prefix/bin/gorbeck" >"$work/none.out" 2>"$work/none.err") || status=$?
[ "$status" = 1 ] || fail "no data folder: status $status"
expected="gorbeck: no data folder (one holding shader/ and models/) in $work/empty; set GORBECK_DATA to the folder"
[ "$(cat "$work/none.err")" = "$expected" ] || fail "no data folder said: $(cat "$work/none.err")"
[ ! -s "$work/none.out" ] || fail "no data folder printed: $(head -c 300 "$work/none.out")"

cpack --config "$runtime/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.out" 2>&1 ||
    fail "cpack: $(tail -n 5 "$work/cpack.out")"
deb=$(ls "$work"/package/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libglfw3* ]] || fail "Depends names no libglfw3: $depends"
dpkg-deb -c "$deb" | grep -q ' ./usr/share/gorbeck/models/level.obj$' || fail "the package holds no level"
echo "PASS"
