#!/usr/bin/env bash
# Renders a sample session of every screen with the snapshot mode, offscreen, into a folder
# (default: docs/screenshots). Each picture is named after its scene: SCENE.png, the window the
# scene is about. Exits non-zero, naming each scene, when any scene did not render.
#
#   screenshots.sh [FOLDER]   render every scene
#   screenshots.sh --list     print the scene names, one a line
#
#   DSPLAB  the program to run (default: build/bin/dsplab)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

filter=(--answer 1000 --answer 150 --answer 15)
scenes=()
declare -A scene_arguments

scene() {
  local name=$1; shift
  scenes+=("$name")
  scene_arguments[$name]=""
  (( $# )) && scene_arguments[$name]=$(printf '%q ' "$@")
  return 0
}

scene start
scene menu --screen menu
scene about --screen menu --menu Help/About
scene square --screen square --answer 3
scene square-harmonics --screen square --answer 3 --click "View Spectrum"
scene triangle --screen triangle --answer 3
scene triangle-harmonics --screen triangle --answer 3 --click "View Spectrum"
scene sawtooth --screen sawtooth --answer 3
scene sawtooth-harmonics --screen sawtooth --answer 3 --click "View Spectrum"
scene rectified-full --screen rectified --answer F --answer 3
scene rectified-full-harmonics --screen rectified --answer F --answer 3 --click "View Spectrum"
scene rectified-half --screen rectified --answer H --answer 3
scene rectified-half-harmonics --screen rectified --answer H --answer 3 --click "View Spectrum"
scene pulse --screen pulse --answer 13 --answer 0.2
scene pulse-harmonics --screen pulse --answer 13 --answer 0.2 --click "View Spectrum"
scene lowpass-rect --screen lowpass-rect "${filter[@]}"
scene lowpass-rect-taps-phase --screen lowpass-rect "${filter[@]}" --toggle "Plot Coefficients" \
  --toggle "Plot Phase Response" --click "Do Another" "${filter[@]}"
scene lowpass --screen lowpass "${filter[@]}" --answer y
scene highpass --screen highpass --answer 1000 --answer 350 --answer 15 --answer y
scene bandpass --screen bandpass --answer 1000 --answer 100 --answer 250 --answer 21 --answer y
scene bandstop --screen bandstop --answer 1000 --answer 200 --answer 250 --answer 29 --answer y
# A held design under the next one: the canvas tools' "Hold this trace", then " Do Another".
scene lowpass-held --screen lowpass "${filter[@]}" --answer n --hold --click "Do Another" \
  --answer 1000 --answer 250 --answer 31 --answer n
for box in frmAbout frmAbout2 frmAbout3 frmAbout4 frmAbout5; do
  scene "$box" --screen "$box"
done

if [[ "${1:-}" == --list ]]; then
  printf '%s\n' "${scenes[@]}"
  exit 0
fi

out=${1:-$root/docs/screenshots}
dsplab=${DSPLAB:-$root/build/bin/dsplab}
if [[ ! -x "$dsplab" ]]; then
  echo "The program is not at $dsplab: build it first (scripts/build.sh)." >&2
  exit 1
fi
command -v jq >/dev/null || { echo "jq is needed to read the sessions' state." >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The topmost window is the one the scene is about: the last one in the state's list.
render() {
  local name=$1 folder="$work/$1" top
  eval "local arguments=(${scene_arguments[$name]})"
  if ! "$dsplab" "${arguments[@]}" --snapshot "$folder" >/dev/null 2>"$folder.err"; then
    echo "the program failed: $(tail -n 1 "$folder.err")"
    return 1
  fi
  top=$(jq -er '.windows[-1].name' "$folder/state.json" 2>/dev/null) \
    || { echo "no window in its state.json"; return 1; }
  [[ -s "$folder/$top.png" ]] || { echo "no picture of $top"; return 1; }
  cp "$folder/$top.png" "$out/$name.png"
}

failed=()
for name in "${scenes[@]}"; do
  if problem=$(render "$name"); then
    echo "  $name"
  else
    echo "  $name: not rendered ($problem)"
    failed+=("$name")
  fi
done
if (( ${#failed[@]} )); then
  echo "${#failed[@]} of ${#scenes[@]} scenes did not render: ${failed[*]}" >&2
  exit 1
fi
echo "All ${#scenes[@]} pictures are in $out"
