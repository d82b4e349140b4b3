#!/usr/bin/env bash
# Builds the Debian package from the build's install rules and checks what a player's apt sees:
# its name, control fields, dependencies found from the binary, and the files it puts on disk.
# Usage: check_deb.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "check_deb: $*" >&2; exit 1; }

arch=$(dpkg --print-architecture)
cpack --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || {
    cat "$tmp/cpack.log"
    fail "cpack failed"
}
deb=$tmp/plinx_${version}_${arch}.deb
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$tmp")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = plinx ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ "$(field Description | wc -l)" -gt 2 ] || fail "no long description: $(field Description)"
# Versioned, as dpkg-shlibdeps writes them from the libraries' symbols (libGL has no versions).
depends=$(field Depends)
for library in 'libc6 (>= ' 'libsdl2-2.0-0 (>= ' 'libmpg123-0 (>= ' 'libgl1'; do
    grep -qF "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

contents=$(dpkg-deb -c "$deb")
paths=$(awk '{print $6}' <<<"$contents")
for path in ./usr/games/plinx ./usr/share/plinx/Brisk.tga ./usr/share/plinx/scores.txt \
    ./usr/share/plinx/prefs.txt ./usr/share/plinx/menublip.mp3 \
    ./usr/share/applications/plinx.desktop ./usr/share/metainfo/com.tallowbrook.plinx.metainfo.xml \
    ./usr/share/icons/hicolor/256x256/apps/plinx.png ./usr/share/man/man6/plinx.6.gz \
    ./usr/share/doc/plinx/copyright ./usr/share/doc/plinx/changelog.gz; do
    grep -qxF "$path" <<<"$paths" || fail "the package lacks $path"
done
outside=$(grep -vE '^\./$|^\./usr(/|$)' <<<"$paths" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
! grep -qE '^\./usr/(local|bin)' <<<"$paths" || fail "files under /usr/local or /usr/bin"
others=$(awk '$2 != "root/root"' <<<"$contents")
[ -z "$others" ] || fail "files not owned by root: $others"
changelog=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/plinx/changelog.gz | zcat)
[[ "$changelog" == "plinx ($version) "* ]] || fail "the changelog does not start at $version"
echo "deb package ok: $(basename "$deb"), $(wc -l <<<"$paths") paths"
