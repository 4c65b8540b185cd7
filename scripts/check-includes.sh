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
# The same after grep's "FILE:LINE:", capturing the included path.
include_path=':[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"]'

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
  [[ "$hit" =~ $include_path ]] || continue
  path=${BASH_REMATCH[1]}
  # Paths through "." or ".." are resolved; others are read without a subshell.
  if [[ "$path" == .* ]]; then
    target=$(included_folder "$file" "$path")
  elif [[ "$path" == */* ]]; then
    target=${path%%/*}
  else
    target=""
  fi
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
# Inside forms/ the units include one way too: each only the units of a lower level. A unit is
# a header and the sources named after it (form_canvas.cpp is part of form).
declare -A forms_level=(
  [canvas_overlay]=0 [form_host]=0 [drawing_record]=0 [palette]=0 [prompt_box]=0
  [safe_file]=0 [script]=0
  [form]=1 [vector_export]=1 [snapshot_files]=1
  [runtime]=2 [canvas_layer]=2
  [driver]=3 [snapshot]=3
)
# The unit a forms/ file belongs to: the longest unit name its own name starts with.
forms_unit() {
  local name=$1 unit best=""
  for unit in "${!forms_level[@]}"; do
    if [[ "$name" == "$unit" || "$name" == "$unit"_* ]] && (( ${#unit} > ${#best} )); then
      best=$unit
    fi
  done
  echo "$best"
}
if [[ -d "$src/forms" ]]; then
  while IFS= read -r hit; do
    file=${hit%%:*}
    [[ "$hit" =~ [\<\"]forms/([A-Za-z0-9_]+)\.h[\>\"] ]] || continue
    header=${BASH_REMATCH[1]}
    name=${file##*/}
    unit=$(forms_unit "${name%.*}")
    [[ -z "$unit" || -z "${forms_level[$header]+set}" || "$header" == "$unit" ]] && continue
    if (( forms_level[$header] >= forms_level[$unit] )); then
      echo "${file#"$src"/}: forms/$unit may not include forms/$header.h (${hit#*:*:})"
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]forms/[A-Za-z0-9_]+\.h' \
             "$src/forms" --include='*.h' --include='*.cpp' || true)
fi

[[ $status == 0 ]] && echo "The include graph runs one way."
exit $status
