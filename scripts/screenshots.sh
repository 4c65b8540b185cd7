#!/usr/bin/env bash
# Renders a sample session of every screen with the snapshot mode, offscreen, into a folder
# (default: docs/screenshots). Each picture is named after its scene and window.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/screenshots}
dsplab=${DSPLAB:-$root/build/src/dsplab}
export QT_QPA_PLATFORM=offscreen
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

scene() {
  local name=$1; shift
  if "$dsplab" "$@" --snapshot "$work/$name" >/dev/null 2>"$work/$name.err"; then
    # The topmost window is the one the scene is about.
    top=$(grep -o '"name": "[^"]*"' "$work/$name/state.json" | tail -n 1 | cut -d'"' -f4)
    [[ -n "$top" ]] && cp "$work/$name/$top.png" "$out/$name.png"
    echo "  $name"
  else
    echo "  $name: not rendered ($(tail -n 1 "$work/$name.err"))"
  fi
}

filter=(--answer 1000 --answer 150 --answer 15)
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
echo "Pictures are in $out"
