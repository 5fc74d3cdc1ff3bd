#!/usr/bin/env bash
# The package a user downloads: VT2-<version>-win32.zip, one folder holding what dist/ holds.
set -u
build=$1
version=$2
out=$(mktemp -d "$build/package-check.XXXXXX")
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack --config CPackConfig.cmake -B "$out" >/dev/null) || { echo "cpack failed"; exit 1; }
zip="$out/VT2-$version-win32.zip"
[ -f "$zip" ] || { echo "no $zip"; ls "$out"; exit 1; }
listing=$(cd "$out" && cmake -E tar tf "$zip")
status=0
for f in VT2.exe VT2OutputServer.exe memcfg/demo.ini joycfg/default.ini demo/VT2DemoGame.exe docs/demo.txt \
         docs/model2.txt m2setupfiles/VTStub.exe m2setupfiles/m2roms.lst m2setupfiles/scripts/VT2.lua; do
    grep -qx "VT2-$version-win32/$f" <<<"$listing" || { echo "missing in the package: $f"; status=1; }
done
outside=$(grep -v "^VT2-$version-win32/" <<<"$listing")
[ -z "$outside" ] || { echo "outside the package's folder: $outside"; status=1; }
[ $status -eq 0 ] && echo "ok: $(basename "$zip"), $(wc -l <<<"$listing") entries"
exit $status
