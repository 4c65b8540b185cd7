#!/usr/bin/env bash
# Checks that the folders under src/ form a one-way graph: each file includes only its own folder
# and the folders below it, and the maths includes no Qt header. Every include form counts:
# quotes or angle brackets, blanks before or after the '#', and paths through "../". Prints every
# include that breaks the order and exits 1 if there is one.
set -euo pipefail
src=$(cd "${1:-$(dirname "$0")/../src}" && pwd)

# What each folder may include besides itself, bottom to top.
declare -A below=(
  [dsp]=""
  [forms]=""
  [screens]="forms dsp"
  [synthesis]="screens forms dsp"
  [harmonics]="screens forms dsp"
  [fir]="screens forms dsp"
  [program]="synthesis harmonics fir screens forms dsp"
)
include_line='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][^>"]+[>"]'

# The folder under src/ that an include names, if any: the first part of its path, or where a
# path through "../" leads from the including file.
included_folder() {
  local file=$1 path=$2 resolved
  if [[ "$path" == ../* || "$path" == ./* ]]; then
    resolved=$(realpath -m --relative-to="$src" "$(dirname "$file")/$path")
    [[ "$resolved" == ../* ]] && { echo "(outside src)"; return; }
    path=$resolved
  fi
  [[ "$path" == */* ]] && echo "${path%%/*}"
  return 0
}

status=0
while IFS= read -r hit; do
  file=${hit%%:*}
  folder=${file#"$src"/}
  folder=${folder%%/*}
  path=$(sed -E 's/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' \
         <<<"$hit")
  target=$(included_folder "$file" "$path")
  [[ -z "$target" || "$target" == "$folder" ]] && continue
  if [[ "$target" == "(outside src)" || -n "${below[$target]+set}" ]]; then
    if [[ " ${below[$folder]-} " != *" $target "* ]]; then
      echo "${file#"$src"/}: $folder may not include $target/ (${hit#*:*:})"
      status=1
    fi
  fi
done < <(grep -rnE "$include_line" "$src" --include='*.h' --include='*.cpp' || true)

# Every folder that holds code has its place in the order.
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [[ -z "${below[$folder]+set}" ]]; then
    echo "src/$folder has no place in the include order of scripts/check-includes.sh"
    status=1
  fi
done

if grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]Q' "$src/dsp"; then
  echo "dsp/ is the maths library: it includes no Qt header"
  status=1
fi
[[ $status == 0 ]] && echo "The include graph runs one way."
exit $status
