#!/usr/bin/env bash
# Checks that zorvik.exe (default build/windows/zorvik.exe) stays a single small file: at most
# 128 KB, and importing only DLLs every Windows system has, so that nothing need lie beside it;
# and that its version resource carries the project's version.
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

# The version resource: its fixed part (what the file's properties show as the file and product
# version) holds the project's version from CMakeLists.txt, and its strings name the product.
version=$(sed -nE 's/^project\(zorvik VERSION ([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' CMakeLists.txt)
IFS=. read -r major minor patch <<<"$version"
le32() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24)); }
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n'; }
# The fixed part's signature and layout version, then the file version twice (file, product).
fixed="bd04effe00000100$(le32 $((major << 16 | minor)))$(le32 $((patch << 16)))"
fixed+="$(le32 $((major << 16 | minor)))$(le32 $((patch << 16)))"
bytes=$(od -An -v -tx1 "$exe" | tr -d ' \n')
[[ $bytes == *"$fixed"* ]] || { echo "check_exe: $exe has no version resource of version $version" && failed=1; }
for text in Brenmor Zorvik "$version" "Управление частотой процессора КПК"; do
  [[ $bytes == *"$(utf16 "$text")"* ]] || { echo "check_exe: $exe's version strings lack \"$text\"" && failed=1; }
done

((failed)) && exit 1
echo "check_exe: $exe is $size bytes, version $version, and imports only $(paste -sd " " <<<"$imports")"
