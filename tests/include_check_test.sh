#!/usr/bin/env bash
# The include check passes on the tree as it is, and fails on a copy with one upward include
# planted, in each form an include can take.
set -euo pipefail
check=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$check" "$src" >/dev/null || { echo "the check fails on the tree as it is"; exit 1; }

# folder|line planted at the end of a new file there
planted=(
  'dsp|#include "fir/design_screen.h"'
  'dsp|    #include "fir/design_screen.h"'
  'dsp|#  include "fir/design_screen.h"'
  'forms|#include <program/session.h>'
  'screens|#include "../program/session.h"'
  'synthesis|#include "./../fir/design_screen.h"'
  'dsp|#include <QString>'
  'dsp|  # include <QtCore/QString>'
)
failures=0
for row in "${planted[@]}"; do
  folder=${row%%|*}
  line=${row#*|}
  rm -rf "$work/src"
  cp -r "$src" "$work/src"
  printf '#pragma once\n%s\n' "$line" >"$work/src/$folder/planted.h"
  if output=$("$check" "$work/src"); then
    echo "not caught in $folder/: $line"
    failures=$((failures + 1))
  elif [[ "$output" != *"planted.h"* && "$output" != *"dsp/ is the maths library"* ]]; then
    echo "caught in $folder/ without naming the file: $line"
    failures=$((failures + 1))
  fi
done
echo "$(( ${#planted[@]} - failures )) passed, $failures failed"
(( failures == 0 ))
