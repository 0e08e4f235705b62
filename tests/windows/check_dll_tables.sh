#!/usr/bin/env bash
# Fails unless the DLL exports exactly winampVisGetHeader and imports only
# from Windows' own DLLs, and is built for the expected machine (32 or 64 bits).
# With ROLE exe: the host program, which exports nothing.
# Usage: check_dll_tables.sh OBJDUMP DLL BITS [ROLE]
set -euo pipefail
objdump=$1
dll=$2
bits=${3:-32}
role=${4:-dll}
allowed='^(kernel32|user32|gdi32|opengl32|glu32|msvcrt)\.dll$'

dump=$("$objdump" -p "$dll")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^\s*\[ *[0-9]*\] //p')
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump")

echo "exports: $(tr '\n' ' ' <<<"$exports")"
echo "imports: $(tr '\n' ' ' <<<"$imports")"

status=0
if [ "$role" = exe ]; then
  if [ -n "$exports" ]; then
    echo "FAIL: the program exports $exports" >&2
    status=1
  fi
elif [ "$exports" != "winampVisGetHeader" ]; then
  echo "FAIL: the DLL must export winampVisGetHeader and nothing else" >&2
  status=1
fi
while read -r name; do
  [ -z "$name" ] && continue
  if ! tr 'A-Z' 'a-z' <<<"$name" | grep -Eq "$allowed"; then
    echo "FAIL: import from $name, which is not one of Windows' own DLLs" >&2
    status=1
  fi
done <<<"$imports"
kind=$(file -b "$dll")
if [ "$bits" = 64 ]; then
  grep -q 'PE32+ .*x86-64' <<<"$kind" || { echo "FAIL: not a 64-bit Windows $role: $kind" >&2; status=1; }
elif ! grep -q 'PE32 ' <<<"$kind" && ! grep -q 'Intel 80386\|i386' <<<"$kind"; then
  echo "FAIL: not a 32-bit Windows $role: $kind" >&2
  status=1
fi
[ $status -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $status
