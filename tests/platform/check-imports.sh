#!/usr/bin/env bash
# check-imports.sh OBJDUMP BINDIR: fails when a shipped .exe imports a DLL
# that is not part of Windows itself, or when a program that runs on the
# players' machines (setup.exe, Uninst.exe, the sample game) imports a
# function that came after Windows 2000: such a program would not even start
# on an older system. Newer functions are looked up at run time instead.
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
too_new='^(GetFileSizeEx|SetFilePointerEx|GetFileInformationByHandleEx|SetFileInformationByHandle|GetTickCount64|GetSystemTimePreciseAsFileTime|GetModuleHandleEx[AW]|GetNativeSystemInfo|GetFinalPathNameByHandle[AW]|CreateSymbolicLink[AW]|CancelIoEx|Fls(Alloc|Free|GetValue|SetValue)|InitOnce[A-Za-z]*|[A-Za-z]*ConditionVariable[A-Za-z]*|[A-Za-z]*SRWLock[A-Za-z]*|GetVolumePathName[AW]|SetDllDirectory[AW]|AttachConsole|QueueUserWorkItem|CreateWaitableTimerEx[AW])$'
for exe in "$bindir/setup.exe" "$bindir/Uninst.exe" "$bindir/Game.exe"; do
  [ -f "$exe" ] || continue
  while read -r name; do
    echo "$name" | grep -qE "$too_new" && { echo "$(basename "$exe") imports $name, which older Windows lacks"; status=1; }
  done < <("$objdump" -p "$exe" | awk '/DLL Name:/ {in_dll = 1; next} in_dll && NF >= 3 && $1 ~ /^[0-9a-f]+$/ {print $NF}')
done
echo "checked $checked shipped executables"
[ "$checked" -gt 0 ] || { echo "no shipped executables found in $bindir"; exit 1; }
exit $status
