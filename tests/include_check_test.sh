#!/usr/bin/env bash
# The include check passes on the tree as it is, and fails on a copy with one upward include
# planted, in each form an include can take, and on one planted inside forms/ against its order
# of units (the file's name says which unit it belongs to).
set -euo pipefail
check=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$check" "$src" >/dev/null || { echo "the check fails on the tree as it is"; exit 1; }

# folder|line planted in a new file planted.h there, or folder/file|line in that file
planted=(
  'dsp|#include "fir/design_screen.h"'
  'dsp|    #include "fir/design_screen.h"'
  'dsp|#  include "fir/design_screen.h"'
  'forms|#include <program/session.h>'
  'screens|#include "../program/session.h"'
  'synthesis|#include "./../fir/design_screen.h"'
  'dsp|#include <QString>'
  'dsp|  # include <QtCore/QString>'
  'forms/form_planted.h|#include "forms/runtime.h"'
  'forms/form_planted.cpp|#include "forms/canvas_layer.h"'
  'forms/runtime_planted.h|#include <forms/driver.h>'
  'forms/drawing_record_planted.h|#include "forms/form.h"'
  'forms/script_planted.cpp|#include "forms/prompt_box.h"'
)
failures=0
for row in "${planted[@]}"; do
  folder=${row%%|*}
  line=${row#*|}
  file=planted.h
  if [[ "$folder" == */* ]]; then
    file=${folder#*/}
    folder=${folder%%/*}
  fi
  rm -rf "$work/src"
  cp -r "$src" "$work/src"
  printf '#pragma once\n%s\n' "$line" >"$work/src/$folder/$file"
  if output=$("$check" "$work/src"); then
    echo "not caught in $folder/: $line"
    failures=$((failures + 1))
  elif [[ "$output" != *"$file"* && "$output" != *"dsp/ is the maths library"* ]]; then
    echo "caught in $folder/ without naming the file: $line"
    failures=$((failures + 1))
  fi
done
echo "$(( ${#planted[@]} - failures )) passed, $failures failed"
(( failures == 0 ))
