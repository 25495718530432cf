#!/usr/bin/env bash
# Starts the trainer on the sample station on a virtual display (xvfb-run), starts the sample
# lesson from the start dialog, lets it run a few seconds and writes a picture of the main window
# to docs/panel.png.
#   scripts/screenshot.sh [build folder, default: build]
# Needs xvfb (xvfb-run, xauth), xdotool and imagemagick (import, convert): scripts/deps.sh
# installs them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
program="$build/app/Velostan"
out="$root/docs/panel.png"
[ -x "$program" ] || { echo "no $program: build the program first" >&2; exit 1; }
mkdir -p "$root/docs"
# The main window opens at 1400 x 900 at the top left of the screen (no window manager), the start
# dialog over it: a click on "lesson1.shd", then on "Пуск".
cd "$root/station"
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
  "$0" & pid=$!
  sleep 5
  xdotool mousemove 658 421 click 1
  sleep 0.5
  xdotool mousemove 928 412 click 1
  sleep 8
  import -window root "$1.full.png"
  kill $pid
  wait $pid 2>/dev/null || true
' "$program" "$out"
convert "$out.full.png" -crop 1400x900+0+0 +repage "$out"
rm -f "$out.full.png"
echo "wrote $out"
