#!/usr/bin/env bash
# Checks, without building, the layout rules that keep the core and the platform backends
# apart (../shared/DESIGN.md, "Layout"):
#   1. Only the desktop stand-in's own files (platform/win32/stand_in*) include stand_in.h, so a
#      port to the handheld replaces those files and nothing else.
#   2. Every function that platform/X.h declares is defined exactly once in each backend: in
#      platform/win32/X.cpp or platform/win32/stand_in_X.cpp, and in platform/sim/X.cpp.
#   3. The core includes downward only: base/ < icon/ < clock/ < menu/, info/, procview/ < app/;
#      no two of its folders include each other, and it includes no backend's file.
#   4. The bare-metal backend, platform/xscale, serves hardware.h and memory.h only: each of their
#      operations is defined there exactly once, in hardware.* or memory.* (C++ or assembly, the
#      files it is made of besides its own header), and it defines no other platform operation.
#      Nothing outside platform/xscale and its image, tests/xscale, includes it.
#   5. Nothing under platform/ includes anything above it: a platform header only platform/*.h,
#      a backend's file (any folder platform/<backend>/) only platform/*.h and its own folder.
#      The program's entry is declared in platform/entry.h, which the program defines.
# Exit 0 when every rule holds; otherwise each breach is printed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

backends=(win32 sim)

breaches=0
breach() {
  echo "check_layout: $*"
  breaches=$((breaches + 1))
}

# ---- 1. The stand-in is included by its own files only ----------------------------------------

while IFS= read -r file; do
  [[ $file == platform/win32/stand_in* ]] ||
    breach "$file includes the stand-in (platform/win32/stand_in.h); only platform/win32/stand_in* may"
done < <(grep -rlE '#include[[:space:]]+"([^"]*/)?stand_in\.h"' \
  --include='*.cpp' --include='*.h' --exclude-dir=build --exclude-dir=.git . | sed 's|^\./||' | sort)

# ---- 2. One home for every operation ----------------------------------------------------------

# declared HEADER: the functions the platform header declares, one a line. Comments, type and
# constant definitions, inline functions with their bodies and static assertions are not
# declarations of operations.
declared() {
  sed -e 's|//.*$||' -e 's|/\*.*\*/||g' "$1" | tr '\n' ' ' | tr ';{}' '\n\n\n' | awk '
    {
      sub(/^[[:space:]]+/, "")
      if ($0 !~ /\(/) next
      if ($0 ~ /^(using|static_assert|inline|constexpr|enum|struct|namespace|return|template|typedef|#)/) next
      head = substr($0, 1, index($0, "(") - 1)
      if (head ~ /=/) next
      if (match(head, /[A-Za-z_][A-Za-z0-9_]*[[:space:]]*$/) == 0) next
      name = substr(head, RSTART, RLENGTH)
      sub(/[[:space:]]+$/, "", name)
      print name
    }' | sort -u
}

# defined FILE...: "FILE NAME" for every function defined at namespace scope in namespace plat
# (or qualified plat::NAME). A definition starts at column 0 and reaches "{" before any ";".
defined() {
  awk '
    FNR == 1 { inPlat = 0; pending = "" }
    /^namespace plat \{/ { inPlat = 1; next }
    /^\}[[:space:]]*\/\/[[:space:]]*namespace plat/ { inPlat = 0; next }
    {
      line = $0
      sub(/\/\/.*$/, "", line)
      if (pending == "" && line ~ /^[A-Za-z_]/ && line ~ /\(/) {
        head = substr(line, 1, index(line, "(") - 1)
        if (head !~ /=/ && head !~ /^(using|static_assert|return|namespace|struct|enum|template|typedef)([[:space:]]|$)/ &&
            match(head, /(plat::)?[A-Za-z_][A-Za-z0-9_]*[[:space:]]*$/)) {
          name = substr(head, RSTART, RLENGTH)
          sub(/[[:space:]]+$/, "", name)
          qualified = name ~ /^plat::/
          sub(/^plat::/, "", name)
          if (inPlat || qualified) { pending = name; rest = substr(line, index(line, "(")) }
        }
      } else if (pending != "") {
        rest = line
      }
      if (pending != "") {
        brace = index(rest, "{")
        semicolon = index(rest, ";")
        if (brace > 0 && (semicolon == 0 || brace < semicolon)) { print FILENAME, pending; pending = "" }
        else if (semicolon > 0) pending = ""
      }
    }' "$@"
}

definitions=$(mktemp)
trap 'rm -f "$definitions"' EXIT
for backend in "${backends[@]}"; do
  defined platform/"$backend"/*.cpp >>"$definitions"
done

for header in platform/*.h; do
  group=$(basename "$header" .h)
  [[ $group == entry ]] && continue # the program's own entry, which no backend defines
  while IFS= read -r name; do
    for backend in "${backends[@]}"; do
      homes=(platform/"$backend/$group".cpp)
      [[ $backend == win32 ]] && homes+=(platform/win32/stand_in_"$group".cpp)
      files=$(awk -v n="$name" -v b="platform/$backend/" \
        '$2 == n && index($1, b) == 1 { print $1 }' "$definitions")
      count=$(grep -c . <<<"$files" || true)
      if ((count == 0)); then
        breach "$header declares $name, which platform/$backend does not define"
        continue
      fi
      ((count == 1)) || breach "$header declares $name, which is defined $count times:" $files
      for file in $files; do
        home=0
        for allowed in "${homes[@]}"; do [[ $file == "$allowed" ]] && home=1; done
        ((home)) || breach "$header declares $name, defined in $file instead of ${homes[*]}"
      done
    done
  done < <(declared "$header")
done

# ---- 3. The core includes downward ------------------------------------------------------------

declare -A floor=([base]=0 [icon]=1 [clock]=2 [menu]=3 [info]=3 [procview]=3 [app]=4)
for folder in "${!floor[@]}"; do
  while IFS=: read -r file target; do
    target=${target#*\"}
    target=${target%%\"*}
    to=${target%%/*}
    if [[ $to == platform ]]; then
      [[ $target == platform/*/* ]] && breach "$file includes $target: the core sees only platform/*.h"
      continue
    fi
    [[ -v floor[$to] && $to != "$folder" ]] || continue
    ((floor[$to] < floor[$folder])) ||
      breach "$file includes $target: $folder/ may include only the folders below it (base < icon < clock < menu, info, procview < app)"
  done < <(grep -HE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$folder"/*.cpp "$folder"/*.h 2>/dev/null)
  if grep -lE '#[[:space:]]*include[[:space:]]*<windows\.h>' "$folder"/*.cpp "$folder"/*.h 2>/dev/null; then
    breach "$folder/ includes <windows.h>: the core sees only platform/*.h"
  fi
done

# ---- 4. The bare-metal backend serves the register code only -------------------------------------

# defined_asm FILE...: "FILE NAME" for every global label of a function in namespace plat that an
# assembly source defines (its C++ name mangled: _ZN4plat, the name's length, the name).
defined_asm() {
  (($# > 0)) || return 0
  grep -HoE '^_ZN4plat[0-9]+[A-Za-z_][A-Za-z0-9_]*:' "$@" | awk -F: '{
      rest = substr($2, 9)
      match(rest, /^[0-9]+/)
      print $1, substr(rest, RLENGTH + 1, substr(rest, 1, RLENGTH) + 0)
    }'
}

xscale_served=(hardware memory)
shopt -s nullglob
xscale_sources=(platform/xscale/*.cpp platform/xscale/*.S)
shopt -u nullglob
for file in "${xscale_sources[@]}"; do
  base=$(basename "$file")
  [[ $base == hardware.* || $base == memory.* ]] ||
    breach "$file: platform/xscale is made of hardware.* and memory.* only"
done
xscale_definitions=$( (
  ((${#xscale_sources[@]} > 0)) && defined $(printf '%s\n' "${xscale_sources[@]}" | grep '\.cpp$')
  defined_asm $(printf '%s\n' "${xscale_sources[@]}" | grep '\.S$')
) || true)
for header in platform/*.h; do
  group=$(basename "$header" .h)
  served=0
  for name in "${xscale_served[@]}"; do [[ $group == "$name" ]] && served=1; done
  while IFS= read -r name; do
    files=$(awk -v n="$name" '$2 == n { print $1 }' <<<"$xscale_definitions")
    count=$(grep -c . <<<"$files" || true)
    if ((!served)); then
      ((count == 0)) || breach "platform/xscale defines $name of $header, which it does not serve:" $files
      continue
    fi
    if ((count != 1)); then
      breach "$header declares $name, which platform/xscale defines $count times" $files
      continue
    fi
    [[ $files == platform/xscale/"$group".* ]] ||
      breach "$header declares $name, defined in $files instead of platform/xscale/$group.*"
  done < <(declared "$header")
done

while IFS= read -r file; do
  [[ $file == platform/xscale/* || $file == tests/xscale/* ]] ||
    breach "$file includes platform/xscale; only platform/xscale and tests/xscale may"
done < <(grep -rlE '#[[:space:]]*include[[:space:]]+"platform/xscale/' \
  --include='*.cpp' --include='*.h' --include='*.S' --exclude-dir=build --exclude-dir=.git . |
  sed 's|^\./||' | sort)

# ---- 5. The platform includes nothing above it ----------------------------------------------

# Every source of every folder under platform/, whichever backends there are; an include is
# resolved beside the including file first, then from the source root, as the compilers do.
while IFS= read -r file; do
  dir=$(dirname "$file")
  backend=${file#platform/}
  backend=${backend%%/*}
  [[ $file == platform/*/* ]] || backend=""
  while IFS= read -r target; do
    target=${target#*\"}
    target=${target%%\"*}
    resolved=$(realpath -m --relative-to=. "$dir/$target")
    [[ -e $resolved ]] || resolved=$(realpath -m --relative-to=. "$target")
    case $resolved in
      platform/*/*)
        [[ -n $backend && $resolved == platform/"$backend"/* ]] ||
          breach "$file includes $resolved: a platform file includes only platform/*.h${backend:+ and platform/$backend/}"
        ;;
      platform/*) ;;
      *) breach "$file includes $resolved, which is above platform/: the program is reached through platform/entry.h" ;;
    esac
  done < <(grep -hE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$file" || true)
done < <(find platform -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.inc' -o -name '*.c' \
  -o -name '*.cpp' -o -name '*.S' -o -name '*.s' \) | sort)

if ((breaches > 0)); then
  echo "check_layout: $breaches breaches (backends checked: ${backends[*]} xscale)"
  exit 1
fi
echo "check_layout: the stand-in, one home per operation (${backends[*]}; xscale for hardware.h and" \
  "memory.h), the bare-metal backend apart and downward includes (core and platform/) hold"
