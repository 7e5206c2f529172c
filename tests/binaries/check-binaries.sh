#!/usr/bin/env bash
# Checks the three deliverables: the provider exports exactly its two entry
# points by their plain names, and no program needs a DLL beyond the system's.
set -u
objdump=$1 bin=$2
failed=0

exports=$("$objdump" -p "$bin/QFW.DLL" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/\[/{print $NF}' | grep -v Table | sort | tr '\n' ' ')
if [ "$exports" != "SpiIoControl WSPStartup " ]; then
  echo "QFW.DLL exports: '$exports'"
  failed=1
fi

system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll mpr.dll msimg32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll urlmon.dll user32.dll version.dll winmm.dll wininet.dll ws2_32.dll wsock32.dll "
for f in QFW.exe QFW.DLL Update.exe; do
  for dll in $("$objdump" -p "$bin/$f" | awk '/DLL Name:/{print tolower($3)}'); do
    case "$system_dlls" in
      *" $dll "*) ;;
      *) echo "$f imports $dll, which is not a system DLL"; failed=1 ;;
    esac
  done
done
[ $failed = 0 ] && echo "deliverables: exports and imports as expected"
exit $failed
