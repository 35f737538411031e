#!/bin/bash
# Each program must run from a bare copy: it may import only DLLs that every
# Windows has (no libstdc++, libgcc or winpthread DLLs beside it).
#   check-imports.sh PROGRAM.exe...
set -euo pipefail
system='^(kernel32|user32|gdi32|comctl32|comdlg32|ole32|oleaut32|shell32|shlwapi|advapi32|msvcrt|uuid|ntdll|ws2_32)\.dll$'
status=0
for program in "$@"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
  [ -n "$dlls" ] || { echo "$program: no imports found"; status=1; }
  for dll in $dlls; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$system"; then
      echo "$program imports $dll, which is not a system DLL"
      status=1
    fi
  done
  echo "$program: $(echo $dlls)"
done
exit $status
