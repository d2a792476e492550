#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks what it holds.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/quorvax-deb-XXXXXX)
trap 'rm -rf "$work"' EXIT

if ! cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    exit 1
fi
debs=("$work"/quorvax_*.deb)
[ -f "${debs[0]}" ] || { echo "no package made"; cat "$work/cpack.log"; exit 1; }
deb=${debs[0]}
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"

status=0
id=net.quorvax.Quorvax
for f in ./usr/bin/quorvax ./usr/share/quorvax/First.jpg ./usr/share/quorvax/SONAT_A1.MID \
    ./usr/share/quorvax/wood.bmp ./usr/share/quorvax/over.wav \
    ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/man/man6/quorvax.6 ./usr/share/icons/hicolor/256x256/apps/$id.png; do
    grep -qxF "$f" "$work/contents" || { echo "missing from the package: $f"; status=1; }
done
if grep -q '^\./usr/share/quorvax/scores\.dat$' "$work/contents"; then
    echo "the package must not carry a score table"
    status=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2 libfluidsynth fonts-dejavu-core; do
    grep -q "$lib" <<<"$depends" || { echo "Depends lacks $lib: $depends"; status=1; }
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || { echo "section is not games"; status=1; }
exit $status
