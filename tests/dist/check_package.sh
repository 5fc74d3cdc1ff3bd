#!/usr/bin/env bash
# The package a user downloads: VT2-<version>-<win32|win64>.zip, one folder holding what dist/ holds.
# The 64-bit one serves both kinds of game with one program to start: its VT2.exe is 64-bit, its
# demo games a 32-bit and a 64-bit one.
set -u
build=$1
version=$2
system=$3
demo32_descriptor=${4:-}  # win64: the descriptor the build wrote for the 32-bit demo game
objdump=${5:-objdump}     # one that reads these programs' sections
out=$(mktemp -d "$build/package-check.XXXXXX")
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack --config CPackConfig.cmake -B "$out" >/dev/null) || { echo "cpack failed"; exit 1; }
folder="VT2-$version-$system"
zip="$out/$folder.zip"
[ -f "$zip" ] || { echo "no $zip"; ls "$out"; exit 1; }
listing=$(cd "$out" && cmake -E tar tf "$zip")
status=0
files="VT2.exe VT2OutputServer.exe memcfg/demo.ini joycfg/default.ini feedback/default.ini demo/VT2DemoGame.exe docs/demo.txt
       docs/model2.txt m2setupfiles/VTStub.exe m2setupfiles/m2roms.lst m2setupfiles/scripts/VT2.lua"
[ "$system" = win64 ] && files="$files demo/VT2DemoGame64.exe memcfg/demo64.ini"
for f in $files; do
    grep -qx "$folder/$f" <<<"$listing" || { echo "missing in the package: $f"; status=1; }
done
outside=$(grep -v "^$folder/" <<<"$listing")
[ -z "$outside" ] || { echo "outside the package's folder: $outside"; status=1; }
# One program to start: no second VT2 beside the first.
top=$(grep -E "^$folder/[^/]+\.exe$" <<<"$listing" | sed "s|^$folder/||" | sort | tr '\n' ' ')
[ "$top" = "VT2.exe VT2OutputServer.exe " ] || { echo "programs at the top: $top"; status=1; }

(cd "$out" && cmake -E tar xf "$zip")
kind() { file -b "$out/$folder/$1" | cut -d' ' -f1; }
expect_kind() {  # $1 = file, $2 = PE32 or PE32+
    [ "$(kind "$1")" = "$2" ] || { echo "$1 is $(file -b "$out/$folder/$1"), not $2"; status=1; }
}
if [ "$system" = win64 ]; then
    expect_kind VT2.exe PE32+
    expect_kind demo/VT2DemoGame.exe PE32
    expect_kind demo/VT2DemoGame64.exe PE32+
    grep -aq "^ExeName=VT2DemoGame64.exe" "$out/$folder/memcfg/demo64.ini" || { echo "demo64.ini names another program"; status=1; }
    # The 32-bit game's descriptor is the one written from its own symbols.
    cmp -s "$out/$folder/memcfg/demo.ini" "$demo32_descriptor" || { echo "demo.ini is not $demo32_descriptor"; status=1; }
else
    expect_kind VT2.exe PE32
    expect_kind demo/VT2DemoGame.exe PE32
fi
# A player's programs carry no debug information; their symbols lie beside the zip, each program
# naming its own file.
while IFS= read -r program; do
    sections=$("$objdump" -h "$program" 2>&1) || { echo "$program: $objdump cannot read it: $sections"; status=1; continue; }
    debug=$(grep -oE '\.debug_[a-z_]+' <<<"$sections" | sort -u | tr '\n' ' ')
    [ -z "$debug" ] || { echo "${program#"$out/"} carries debug information: $debug"; status=1; }
    name=$(basename "$program")
    [ -s "$build/symbols/$name.debug" ] || { echo "no symbols of $name in $build/symbols/"; status=1; }
    grep -q '\.gnu_debuglink' <<<"$sections" || { echo "${program#"$out/"} does not name its symbols' file"; status=1; }
done < <(find "$out/$folder" -name '*.exe')
[ $status -eq 0 ] && echo "ok: $(basename "$zip"), $(wc -l <<<"$listing") entries"
exit $status
