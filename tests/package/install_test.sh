#!/usr/bin/env bash
# `cmake --install` into a scratch prefix puts the program, its menu entry, icons, metadata and
# manual page where a desktop looks for them, and the entry and metadata validate.
#
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/prefix"

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" ||
  { cat "$scratch/install.log"; exit 1; }

failed=0
expect() {  # a glob that must match exactly one installed file
  local matches=("$prefix"/$1)
  if [[ ${#matches[@]} -ne 1 || ! -f "${matches[0]}" ]]; then
    echo "missing under the prefix: $1"; failed=1
  fi
}
expect bin/dsplab
expect 'share/applications/*.desktop'
expect 'share/icons/hicolor/scalable/apps/*.svg'
for size in 16 24 32 48 64 128 256; do expect "share/icons/hicolor/${size}x${size}/apps/*.png"; done
expect 'share/metainfo/*.metainfo.xml'
expect share/man/man1/dsplab.1
expect share/doc/dsplab/copyright
(( failed == 0 )) || { find "$prefix" -type f; exit 1; }
[[ -x "$prefix/bin/dsplab" ]] || { echo "bin/dsplab is not executable"; exit 1; }

desktop=$(echo "$prefix"/share/applications/*.desktop)
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml

# The entry's icon and the metadata's ids name the files installed beside them.
id=$(basename "$desktop" .desktop)
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ]] ||
  { echo "Icon=$icon names no installed icon"; exit 1; }
grep -q "<id>$id</id>" "$prefix/share/metainfo/$id.metainfo.xml" ||
  { echo "the metadata file is not named after its id $id"; exit 1; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
  "$prefix/share/metainfo/$id.metainfo.xml" || { echo "the metadata does not launch $id.desktop"; exit 1; }
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x "$prefix/bin/$exec_name" ]] || { echo "Exec=$exec_name is not the installed program"; exit 1; }

# The icon sizes are what their folders say.
for png in "$prefix"/share/icons/hicolor/*x*/apps/*.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  file "$png" | grep -q "${size/x/ x }," || { echo "$png is not $size: $(file -b "$png")"; exit 1; }
done
echo "install tree under a scratch prefix is complete and validates"
