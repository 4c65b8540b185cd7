#!/usr/bin/env bash
# The manual page must document every option and every screen name that `dsplab --help` lists,
# so the two cannot drift apart. Both lists are read from the program's own help text.
#
#   man_page_test.sh DSPLAB MANPAGE
set -euo pipefail
dsplab=$1
page=$2

help=$("$dsplab" --help)
# The page as a reader sees it: escapes resolved, tables laid out, no line breaks in words.
rendered=$(MANWIDTH=250 man -E ascii -l "$page" 2>/dev/null | col -b)
[[ -n "$rendered" ]] || { echo "man -l $page rendered nothing"; exit 1; }

# Options: every -x or --word that starts a word in the help text.
mapfile -t options < <(grep -oE -- '(^|[[:space:][|,])--?[[:alpha:]][[:alnum:]-]*' <<<"$help" |
                       sed -E 's/^[^-]*//' | sort -u)
# Screen names: the --screen entry, up to the next option, names its screens as a list
# ("Form1 ... Form13 or start, menu, square, ..."): every word next to a comma, and every form name.
screen_entry=$(awk '/^[[:space:]]*--screen/ {on = 1; sub(/^[[:space:]]*--screen[[:space:]]+[A-Z]+/, ""); print; next}
                    on && /^[[:space:]]*-/ {exit}
                    on {print}' <<<"$help" | tr '\n' ' ')
mapfile -t screens < <({ grep -oE '[[:alnum:]][[:alnum:]-]*,' <<<"$screen_entry" | tr -d ','
                         grep -oE ',[[:space:]]*[[:alnum:]][[:alnum:]-]*' <<<"$screen_entry" |
                           sed -E 's/^,[[:space:]]*//'
                         grep -oE '\b(Form[0-9]+|frmAbout[0-9]*)\b' <<<"$screen_entry"; } | sort -u)

# A help text this parser no longer understands must fail here, not pass with nothing checked.
if (( ${#options[@]} < 5 || ${#screens[@]} < 5 )); then
  echo "could not read the options (${options[*]}) or screen names (${screens[*]}) from --help:"
  echo "$help"
  exit 1
fi

missing=()
for word in "${options[@]}" "${screens[@]}"; do
  # Whole words only: "--menu" must not be found inside "--menus", nor "lowpass" in "lowpass-rect".
  grep -qE -- "(^|[^[:alnum:]-])${word}([^[:alnum:]-]|\$)" <<<"$rendered" || missing+=("$word")
done
if (( ${#missing[@]} )); then
  echo "dsplab --help lists these, the manual page does not: ${missing[*]}"
  exit 1
fi
echo "manual page documents ${#options[@]} options (${options[*]}) and ${#screens[@]} screen names (${screens[*]})"
