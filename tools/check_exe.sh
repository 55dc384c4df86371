#!/usr/bin/env bash
# Checks that zorvik.exe (default build/windows/zorvik.exe) stays a single small file: at most
# 128 KB, and importing only DLLs every Windows system has, so that nothing need lie beside it.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1

exe=${1:-build/windows/zorvik.exe}
limit=$((128 * 1024))
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|msvcrt)\.dll$'

[[ -f $exe ]] || { echo "check_exe: $exe is missing" && exit 1; }
size=$(stat -c %s "$exe")
failed=0
if ((size > limit)); then
  echo "check_exe: $exe is $size bytes, more than $limit" && failed=1
fi
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[[ -n $imports ]] || { echo "check_exe: no import table read from $exe" && exit 1; }
while read -r dll; do
  if ! grep -qiE "$system_dlls" <<<"$dll"; then
    echo "check_exe: $exe imports $dll, which is not a system DLL" && failed=1
  fi
done <<<"$imports"
((failed)) && exit 1
echo "check_exe: $exe is $size bytes and imports only $(paste -sd " " <<<"$imports")"
