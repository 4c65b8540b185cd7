#!/usr/bin/env bash
# Checks that every C++ source of the given folders (default: src, tests, bench) is laid out as
# .clang-format says. Prints each file that is not and exits 1 if there is one; clang-format -i
# on a file lays it out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
style="$root/.clang-format"
(( $# )) || set -- "$root/src" "$root/tests" "$root/bench"

status=0
while IFS= read -r -d '' file; do
  if ! clang-format --style="file:$style" --dry-run -Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file"
    status=1
  fi
done < <(find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
[[ $status == 0 ]] && echo "Every source is formatted."
exit $status
