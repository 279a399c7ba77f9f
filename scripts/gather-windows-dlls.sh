#!/usr/bin/env bash
# gather-windows-dlls.sh FOLDER SEARCH_DIR...: copies into FOLDER every DLL that the .exe and
# .dll files in FOLDER (and its plugin subfolders) import, and what those import in turn,
# found in the SEARCH_DIRs (Qt's bin, the mingw runtime...). The import tables are read with
# x86_64-w64-mingw32-objdump -p, so no list is kept by hand. A DLL found in no SEARCH_DIR is
# taken for Windows' own (KERNEL32.dll, USER32.dll...) and listed on stderr; one Windows
# does not have shows when the program is started under wine.
set -euo pipefail
folder=$1
shift
objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || { echo "gather-windows-dlls: $objdump is missing (binutils-mingw-w64-x86-64)" >&2; exit 1; }

declare -A seen=()
declare -A system=()
queue=()
while IFS= read -r -d '' file; do
  queue+=("$file")
done < <(find "$folder" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
for file in "${queue[@]}"; do seen[$(basename "${file,,}")]=1; done

find_dll() {
  local name=$1 dir candidate
  for dir in "${search[@]}"; do
    # Windows' names ignore case; the files on Linux keep theirs.
    candidate=$(find "$dir" -maxdepth 1 -iname "$name" -print -quit 2>/dev/null)
    if [ -n "$candidate" ]; then
      echo "$candidate"
      return 0
    fi
  done
  return 1
}

search=("$@")
i=0
while [ $i -lt ${#queue[@]} ]; do
  file=${queue[$i]}
  i=$((i + 1))
  while read -r dll; do
    key=${dll,,}
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    if path=$(find_dll "$dll"); then
      cp "$path" "$folder/"
      queue+=("$folder/$(basename "$path")")
      echo "gather-windows-dlls: $dll ← $path" >&2
    else
      system[$dll]=1
    fi
  done < <("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
echo "gather-windows-dlls: taken for Windows' own: ${!system[*]}" >&2
