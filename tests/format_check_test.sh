#!/usr/bin/env bash
# The layout check passes on a source as it is and fails, naming the file, on the same source with
# its layout broken.
set -euo pipefail
check=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$source" "$work/as_it_is.cpp"
"$check" "$work" >/dev/null || { echo "the check fails on $source as it is"; exit 1; }

# Two-space indents instead of four.
sed 's/^    /  /' "$source" >"$work/misformatted.cpp"
if output=$("$check" "$work"); then
  echo "a misformatted file passed"
  exit 1
fi
[[ "$output" == *misformatted.cpp* && "$output" != *as_it_is.cpp* ]] \
  || { echo "the check did not name the misformatted file alone: $output"; exit 1; }
echo "1 passed, 0 failed"
