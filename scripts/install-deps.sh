#!/usr/bin/env bash
# Installs the Debian packages DSP Lab needs, if any is missing. Uses sudo when not run as root.
#
#   install-deps.sh run    what building and running the program needs, nothing more
#   install-deps.sh test   that, and what the tests, benchmarks and checks need (the default)
#   install-deps.sh bench  what building and running the program needs, the benchmarks, and
#                          what bench/compare-with-scipy.sh compares them with
set -euo pipefail

mode=${1:-test}
case "$mode" in
  run | test | bench) ;;
  *) echo "usage: $0 [run|test|bench]" >&2; exit 2 ;;
esac

# libfftw3-dev: the FFTs of the filter screens' response sweep; Eigen finds the zeros of a filter
# design; Qt Multimedia plays the sounds. jq reads the state of the sample session that run.sh
# renders where there is no display.
run_packages=(
  cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev qt6-multimedia-dev libfftw3-dev
  libeigen3-dev fonts-liberation2 jq
)
test_packages=(
  googletest libgtest-dev libbenchmark-dev
  # The layout check of the sources.
  clang-format
  # The sanitizer and fuzzing build; the runtimes of this clang are added below.
  clang
  # The install and package tests: cpack's dependency lookup (dpkg-shlibdeps) and the checkers.
  dpkg-dev file desktop-file-utils appstream man-db lintian
  # The end-to-end tests: an X server, a window manager, X events, pictures, the memory checker.
  xvfb openbox xdotool x11-utils imagemagick valgrind
  # A sound server of the test's own with a null output, and its recorder.
  pulseaudio pulseaudio-utils
  # The exported PDF pictures are opened with pdftoppm, and the slides' text read with
  # pdftotext, in the command-line tests.
  poppler-utils
)

# scipy.signal.freqz, timed beside the response sweep; not needed by any test.
bench_packages=(libbenchmark-dev python3-scipy python3-numpy)

as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
updated=0

install_missing() {
  local missing=() package status
  for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
  done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  echo "Installing: ${missing[*]}"
  if (( ! updated )); then
    "${as_root[@]}" apt-get update -q
    updated=1
  fi
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

install_missing "${run_packages[@]}"
[[ "$mode" == run ]] && exit 0
if [[ "$mode" == bench ]]; then
  install_missing "${bench_packages[@]}"
  exit 0
fi

install_missing "${test_packages[@]}"
# The sanitizer and libFuzzer runtimes come in a package named after clang's major version, which
# differs between Debian releases: ask the installed clang which one it is.
clang_major=$(clang -dumpversion | cut -d. -f1)
install_missing "libclang-rt-${clang_major}-dev"

# A locale with a decimal comma, so that the tests that captions never use one really run.
install_missing locales
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  "${as_root[@]}" sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen \
    || echo 'de_DE.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
  "${as_root[@]}" locale-gen >/dev/null
fi
