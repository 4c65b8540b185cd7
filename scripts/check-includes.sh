#!/usr/bin/env bash
# Checks that the folders under src/ form a one-way graph: each file includes only its own folder
# and the folders below it, and the maths includes no Qt header. Prints every include that breaks
# the order and exits 1 if there is one.
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

status=0
for folder in "${!below[@]}"; do
  [[ -d "$src/$folder" ]] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$hit")
    if [[ "$target" != "$folder" && " ${below[$folder]} " != *" $target "* ]]; then
      echo "${file#"$src"/}: $folder may not include $target/ ($(sed -E 's/^[^:]*:[0-9]+://' <<<"$hit"))"
      status=1
    fi
  done < <(grep -rnE '^#include "[^/"]+/' "$src/$folder" --include='*.h' --include='*.cpp' || true)
done

# Every folder that holds code has its place in the order.
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [[ -z "${below[$folder]+set}" ]]; then
    echo "src/$folder has no place in the include order of scripts/check-includes.sh"
    status=1
  fi
done

if grep -rnE '^#include <Q' "$src/dsp"; then
  echo "dsp/ is the maths library: it includes no Qt header"
  status=1
fi
[[ $status == 0 ]] && echo "The include graph runs one way."
exit $status
