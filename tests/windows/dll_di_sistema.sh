#!/usr/bin/env bash
# compattatore.exe runs on a Windows with nothing installed: every DLL it imports is one
# that every Windows has (the C and C++ runtimes and winpthread are linked in). A DLL of
# MinGW's (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll) or of anything else
# fails the test, named.
#
# usage: tests/windows/dll_di_sistema.sh OBJDUMP PROGRAM.exe
set -euo pipefail
objdump=$1
programma=$2
sistema=' kernel32.dll msvcrt.dll user32.dll gdi32.dll ws2_32.dll advapi32.dll shell32.dll ole32.dll '
importate=$("$objdump" -p "$programma" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r')
if [ -z "$importate" ]; then
  echo "no DLL found in the import table of $programma (is it a Windows program?)" >&2
  exit 1
fi
esito=0
for dll in $importate; do
  minuscolo=$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')
  case "$sistema" in
    *" $minuscolo "*) echo "system: $dll" ;;
    *) echo "not a system DLL: $dll" >&2; esito=1 ;;
  esac
done
exit $esito
