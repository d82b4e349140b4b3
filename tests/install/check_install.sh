#!/usr/bin/env bash
# Installs the build into a temp prefix and checks what a desktop sees there: the layout, the
# desktop entry and metainfo through their validators, and the game's files found from bin/.
# Usage: check_install.sh BUILD_DIR PROBE SOURCE_DIR VERSION [CMAKE]
set -euo pipefail
build=$1 probe=$2 source=$3 version=$4 cmake=${5:-cmake}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() { echo "check_install: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

[ -x "$prefix/bin/plinx" ] || fail "bin/plinx missing or not executable"
for name in $(ls "$source/Resources"); do
    case $name in icons | *.desktop | *.metainfo.xml) continue ;; esac
    cmp -s "$source/Resources/$name" "$prefix/share/plinx/$name" || fail "share/plinx/$name differs"
done
[ "$(ls "$prefix/share/plinx" | wc -l)" -eq "$(ls "$source/Resources" | grep -cvE '^icons$|\.desktop$|\.metainfo\.xml$')" ] ||
    fail "share/plinx holds files that are not game assets"

desktop=$prefix/share/applications/plinx.desktop
metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml)
desktop-file-validate "$desktop" || fail "desktop-file-validate refused $desktop"
appstreamcli validate --no-net --pedantic "$metainfo" >/dev/null || {
    appstreamcli validate --no-net --pedantic "$metainfo"
    fail "appstreamcli refused $metainfo"
}
grep -qx 'Exec=plinx' "$desktop" || fail "desktop entry does not start bin/plinx"
grep -qx 'Icon=plinx' "$desktop" || fail "desktop entry does not name the plinx icon"
grep -q '<launchable type="desktop-id">plinx.desktop</launchable>' "$metainfo" ||
    fail "metainfo does not launch plinx.desktop"
grep -q "<release version=\"$version\" date=" "$metainfo" || fail "metainfo has no release $version"

manual=$prefix/share/man/man6/plinx.6.gz
[ -f "$manual" ] || fail "no manual page in share/man/man6"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null) || true
[ -z "$warnings" ] || fail "the manual page renders with warnings: $warnings"
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$manual" 2>/dev/null)
for heading in NAME SYNOPSIS DESCRIPTION OPTIONS CONTROLS FILES ENVIRONMENT 'EXIT STATUS'; do
    grep -qx "$heading" <<<"$page" || fail "the manual page has no $heading"
done
grep -q "plinx $version" <<<"$page" || fail "the manual page does not name version $version"

for size in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/plinx.png
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    # The PNG header's width and height, big-endian at bytes 16 and 20.
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$width $height" = "$size $size" ] || fail "${size}x${size} icon is ${width}x${height}"
done

# Run from the installed bin/ with a fresh player folder, from an unrelated working folder.
cp "$probe" "$prefix/bin/plinx_probe"
out=$(cd / && env -u HOME XDG_DATA_HOME="$tmp/data" "$prefix/bin/plinx_probe")
expect() { grep -qxF "$1" <<<"$out" || fail "expected \"$1\" in: $out"; }
expect "resources $prefix/share/plinx"
expect "scores $prefix/share/plinx/scores.txt"
expect "prefs $prefix/share/plinx/prefs.txt"
expect "saved $tmp/data/plinx/scores.txt"
expect "top Installed 100000"
[ -f "$tmp/data/plinx/prefs.txt" ] || fail "prefs.txt not saved in \$XDG_DATA_HOME/plinx"
cmp -s "$source/Resources/scores.txt" "$prefix/share/plinx/scores.txt" ||
    fail "the installed default scores.txt was overwritten"
echo "install layout ok"
