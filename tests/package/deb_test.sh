#!/usr/bin/env bash
# Builds the Debian package with CPack, unpacks it into a scratch root and checks what a user
# would get: the program runs and draws, the menu entry and metadata validate, the manual page
# renders, the package's own papers are in order, and lintian reports no error.
#
#   deb_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Into a scratch folder, so this test neither leaves a package behind nor meets a packaging run
# of the user's in the build folder.
(cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
debs=("$scratch"/out/dsplab_*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || { echo "no single dsplab_*.deb made"; cat "$scratch/cpack.log"; exit 1; }
deb=${debs[0]}
echo "== $(basename "$deb")"
dpkg-deb --info "$deb"

field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == dsplab ]]
[[ $(field Section) =~ ^(science|education)$ ]] || { echo "Section: $(field Section)"; exit 1; }
[[ -n $(field Homepage) ]] || { echo "no Homepage"; exit 1; }
# Dependencies come from the linked libraries: Qt's widgets and the C++ runtime at least.
depends=$(field Depends)
depended=" $(sed -E 's/ *\([^)]*\)//g; s/,/ /g' <<<"$depends") "
for library in libqt6widgets6 libstdc++6 libc6; do
  [[ $depended == *" $library "* ]] || { echo "Depends lacks $library: $depends"; exit 1; }
done

root="$scratch/root"
dpkg -x "$deb" "$root"
failed=0
must_exist() { [[ -e "$root/$1" ]] || { echo "not in the package: /$1"; failed=1; }; }
must_exist usr/bin/dsplab
must_exist usr/share/applications/org.dsplab.DSPLab.desktop
must_exist usr/share/metainfo/org.dsplab.DSPLab.metainfo.xml
must_exist usr/share/icons/hicolor/scalable/apps/org.dsplab.DSPLab.svg
must_exist usr/share/icons/hicolor/48x48/apps/org.dsplab.DSPLab.png
must_exist usr/share/man/man1/dsplab.1.gz
must_exist usr/share/doc/dsplab/copyright
must_exist usr/share/doc/dsplab/changelog.gz
(( failed == 0 )) || { dpkg-deb --contents "$deb"; exit 1; }

# Owned by root, nothing writable by others, the program stripped and executable.
contents=$(dpkg-deb --contents "$deb")
if awk '$2 != "root/root" || $1 ~ /^.{8}w/' <<<"$contents" | grep .; then
  echo "files above are not root-owned or are world-writable"; exit 1
fi
grep -qE '^-rwxr-xr-x .* \./usr/bin/dsplab$' <<<"$contents" ||
  { echo "usr/bin/dsplab is not mode 0755"; exit 1; }
file "$root/usr/bin/dsplab" | grep -q ', stripped' || { echo "not stripped: $(file -b "$root/usr/bin/dsplab")"; exit 1; }
# Compressed without a name or timestamp in the header, so that the package is reproducible.
for gz in "$root"/usr/share/man/man1/dsplab.1.gz "$root"/usr/share/doc/dsplab/changelog.gz; do
  gzip -t "$gz"
  [[ $(od -An -tu4 -j4 -N4 "$gz" | tr -d ' ') == 0 ]] || { echo "$gz carries a timestamp"; exit 1; }
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$root/usr/share/doc/dsplab/copyright" || { echo "copyright is not machine-readable"; exit 1; }
zcat "$root/usr/share/doc/dsplab/changelog.gz" | head -n 1 |
  grep -q "^dsplab ($(field Version)) " || { echo "the changelog's newest entry is not version $(field Version)"; exit 1; }

echo "== the unpacked program"
program="$root/usr/bin/dsplab"
version=$("$program" --version)
[[ $version == "dsplab $(field Version)" ]] || { echo "--version says '$version', the package $(field Version)"; exit 1; }
QT_QPA_PLATFORM=offscreen "$program" --screen square --answer 3 --snapshot "$scratch/snapshot"
[[ -s "$scratch/snapshot/state.json" ]] || { echo "the snapshot wrote no state.json"; exit 1; }
grep -q '"Form3"' "$scratch/snapshot/state.json" || { echo "the snapshot does not show the square wave screen"; exit 1; }
ls "$scratch"/snapshot/*.png >/dev/null

echo "== desktop entry, metadata, manual page"
desktop-file-validate "$root/usr/share/applications/org.dsplab.DSPLab.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.dsplab.DSPLab.metainfo.xml"
man_warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man1/dsplab.1.gz" 2>&1 >"$scratch/man.txt") || true
[[ -z "$man_warnings" ]] || { echo "man reports: $man_warnings"; exit 1; }
grep -q 'dsplab - Fourier synthesis' "$scratch/man.txt" || { echo "the manual page did not render:"; cat "$scratch/man.txt"; exit 1; }

echo "== lintian"
as_root=()
[[ $(id -u) -ne 0 ]] || as_root=(--allow-root)
lintian "${as_root[@]}" --fail-on error --display-info "$deb" | tee "$scratch/lintian.log"
echo "lintian: no error"
