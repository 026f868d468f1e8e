#!/usr/bin/env bash
# Pictures of the window for the documentation: starts the window under Xvfb, opens a card through
# File, Open as a user would, and saves the file frame, the race list, a horses page, a PP page,
# the Settings frame, the status line after "Go!", the window maximised and the window smaller than
# its design size into docs/screenshots/.
#
#   scripts/screenshots.sh [--card FILE.kel] [--race N] [--horse N] [--build DIR] [--out DIR]
#
# Defaults: samples/gulfstrm.kel, race 2, horse 3, build/, docs/screenshots/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
card="$root/samples/gulfstrm.kel"
race=2
horse=3
dir="$root/build"
out="$root/docs/screenshots"
while (($#)); do
  case "$1" in
    --card) card=$(realpath "$2"); shift 2 ;;
    --race) race=$2; shift 2 ;;
    --horse) horse=$2; shift 2 ;;
    --build) dir=$(realpath -m "$2"); shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "screenshots.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

command -v xvfb-run >/dev/null || { echo "screenshots.sh: xvfb-run is missing (scripts/deps.sh installs it)" >&2; exit 1; }
if [[ ! -f "$dir/build.ninja" ]]; then
  cmake -S "$root" -B "$dir" -G Ninja >/dev/null
fi
cmake --build "$dir" -j"${KEL_JOBS:-2}" --target kelsoft-screenshots

mkdir -p "$out"
# The file frame shows the card's folder: take the pictures in a folder a user could have, not in
# the developer's checkout.
cards=/tmp/Cards
[[ "$card" != "$cards"/* ]] || { echo "screenshots.sh: take the card from outside $cards" >&2; exit 2; }
rm -rf "$cards" && mkdir -p "$cards"
cp "$root"/samples/*.kel "$cards"/
cp "$card" "$cards"/
# A name too long to open, as cards come from some sites: listed greyed.
cp "$card" "$cards"/gulfstream_2025-01-11.kel
card="$cards/$(basename "$card")"
cd "$cards"
# A 96 dpi screen, so twips turn into the same pixels on every machine.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
  "$dir/tools/kelsoft-screenshots" --race "$race" --horse "$horse" "$card" "$out"
ls "$out"/*.png
