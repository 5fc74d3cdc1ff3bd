#!/usr/bin/env bash
# Every program in dist/ is a Windows GUI program (32-bit, or 64-bit in a 64-bit build) that needs
# only the system's own DLLs.
set -u
dist=$1
objdump=${2:-i686-w64-mingw32-objdump}
status=0
for exe in "$dist/VT2.exe" "$dist/demo/VT2DemoGame.exe" "$dist/VT2OutputServer.exe" "$dist/m2setupfiles/VTStub.exe"; do
    if [ ! -f "$exe" ]; then echo "missing: $exe"; status=1; continue; fi
    kind=$(file -b "$exe")
    case "$kind" in
        "PE32 executable (GUI) Intel 80386"* | "PE32+ executable (GUI) x86-64"*) echo "ok: $exe is $kind" ;;
        "PE32 executable (console) Intel 80386"* | "PE32+ executable (console) x86-64"*)
            # The output server is a console tool; the programs a user starts by name are GUI ones.
            case "$exe" in *VT2OutputServer.exe) echo "ok: $exe is $kind" ;; *) echo "wrong kind: $exe is $kind"; status=1 ;; esac ;;
        *) echo "wrong kind: $exe is $kind"; status=1 ;;
    esac
    while read -r dll; do
        case "$(echo "$dll" | tr 'A-Z' 'a-z')" in
            kernel32.dll|user32.dll|gdi32.dll|shell32.dll|comctl32.dll|msvcrt.dll|advapi32.dll|ole32.dll|dinput8.dll|ws2_32.dll|winmm.dll|hid.dll|setupapi.dll|cfgmgr32.dll) ;;
            *) echo "needs a non-system DLL: $exe -> $dll"; status=1 ;;
        esac
    done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
# The stub is copied into other programs' folders: it needs nothing but kernel32.
if "$objdump" -p "$dist/m2setupfiles/VTStub.exe" 2>/dev/null | sed -n 's/^\s*DLL Name: //p' | grep -viq '^kernel32.dll$'; then
    echo "the stub needs more than kernel32.dll"; status=1
fi
for f in m2roms.lst scripts/VT2.lua artwork/crosshairs/p1.png artwork/crosshairs/p2.png CFG/README.txt; do
    [ -f "$dist/m2setupfiles/$f" ] || { echo "missing: $dist/m2setupfiles/$f"; status=1; }
done
exit $status
