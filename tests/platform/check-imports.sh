#!/usr/bin/env bash
# check-imports.sh OBJDUMP BINDIR: fails when a shipped .exe imports a DLL
# that is not part of Windows itself.
set -u
objdump=$1; bindir=$2
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|msvcrt|shlwapi|version|winmm|uuid)\.dll$'
status=0; checked=0
for exe in "$bindir"/*.exe; do
  case "$(basename "$exe")" in *_tests.exe|*test*.exe|bench_*.exe) continue ;; esac
  checked=$((checked + 1))
  while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -qE "$allowed"; then
      echo "$(basename "$exe") imports $dll, which Windows does not provide"; status=1
    fi
  done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
done
echo "checked $checked shipped executables"
[ "$checked" -gt 0 ] || { echo "no shipped executables found in $bindir"; exit 1; }
exit $status
