#!/usr/bin/env bash
# Runs the README's run command as a newcomer without a display would: in a clean copy of the
# source tree (no build folder), with DISPLAY and WAYLAND_DISPLAY unset. Fails unless it exits 0
# and every scene of the sample session is there as a PNG picture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT

# The files a clone would have, and any new ones not yet committed; never a build folder.
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$root" ls-files -z --cached --others --exclude-standard \
    | (cd "$root" && tar --null --files-from=- -cf -) | tar -xf - -C "$copy"
else
  tar -C "$root" --exclude='./build*' --exclude=./snapshots -cf - . | tar -xf - -C "$copy"
fi

echo "== the run command in a clean copy, without a display"
started=$SECONDS
env -u DISPLAY -u WAYLAND_DISPLAY "$copy/scripts/run.sh"
echo "== it took $((SECONDS - started)) s"

missing=()
count=0
while read -r scene; do
  count=$((count + 1))
  picture="$copy/snapshots/$scene.png"
  # A PNG starts with these eight bytes.
  if [[ ! -s "$picture" ]] || [[ $(head -c 8 "$picture" | od -An -tx1 | tr -d ' ') \
                                   != 89504e470d0a1a0a ]]; then
    missing+=("$scene")
  fi
done < <("$copy/scripts/screenshots.sh" --list)
if (( count == 0 || ${#missing[@]} )); then
  echo "The run command left ${#missing[@]} of $count scenes without a picture: ${missing[*]}" >&2
  exit 1
fi
echo "The run command rendered all $count scenes."
