#!/usr/bin/env bash
# The Analyse window of the real vantrel on a virtual display, as a person reaches it: a right
# click on the dialog opens the menu with About, Analyse results... and Map roughness...; Analyse
# opens the plot window over results whose areas 4 and 8 share side 2. Copy must put the summary
# (with the shared side told) and the table on the clipboard, and Save plot... must write an SVG
# whose texts are texts. Map roughness... must open a window with the input's map, whose Copy
# gives the map's summary and table. Saves screenshots of the menu and the two windows.
# Usage: analyse_window_test.sh PATH_TO_VANTREL PATH_TO_VANTREL_CLI EXAMPLES_DIR ARTIFACTS_DIR
set -euo pipefail

program=$(realpath "$1")
cli=$(realpath "$2")
examples=$(realpath "$3")
artifacts=$4
mkdir -p "$artifacts"

fail() {
  echo "analyse_window_test: $*"
  [ -f "${work:-}/program.log" ] && cat "$work/program.log"
  exit 1
}
for tool in Xvfb xdotool import xclip; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 </dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb chose no display"
export DISPLAY=":$(tr -d '[:space:]' < "$work/display")"
for _ in $(seq 1 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done

# Results over odd sides 3 ... 31, with areas 4 and 8 (both side 2) in front.
cp "$examples/rough_surface.txt" "$work/"
printf '17\n4 8 9 25 49 81 121 169 225 289 361 441 529 625 729 841 961\n' > "$work/areas.txt"
(cd "$work" && "$cli" run --input rough_surface.txt --progression-file areas.txt \
   --shift 0.5 0.5 --yes --quiet)
[ -s "$work/rough_surface.txt.out.txt" ] || fail "vantrel-cli wrote no results"

export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
unset DBUS_SESSION_BUS_ADDRESS
(cd "$work" && exec "$program") </dev/null >"$work/program.log" 2>&1 &
program_pid=$!
find_window() {  # $1: the title
  for _ in $(seq 1 150); do
    found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$found" ] && { echo "$found"; return 0; }
    kill -0 "$program_pid" 2>/dev/null || fail "vantrel ended while waiting for \"$1\""
    sleep 0.1
  done
  return 1
}
window=$(find_window Vantrel) || fail "no window titled Vantrel appeared"
sleep 1
read -r width height < <(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
px() { echo $(($1 * width / 353)); }
py() { echo $(($1 * height / 172)); }

# The input file's name and the run's shifts, typed into their fields.
type_into() {  # $1, $2: a point of the field in dialog units; $3: the text
  xdotool mousemove --window "$window" "$(px "$1")" "$(py "$2")" click 1
  sleep 0.3
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 30 "$3"
  sleep 0.3
}
type_into 100 45 rough_surface.txt
type_into 27 88 0.5
type_into 73 88 0.5

# A right click on the dialog's background: the menu, then its last entry but one.
xdotool mousemove --window "$window" "$(px 200)" "$(py 5)" click 3
sleep 1
read -r left top < <(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
import -window root -crop "$((width + 40))x$((height + 40))+$left+$top" +repage \
  "$artifacts/context-menu-linux.png"
xdotool key Up Up Return
plot=$(find_window "Analyse results") || fail "the menu's Analyse results... opened no window"
sleep 1.5
import -window "$plot" "$artifacts/analyse-window-linux.png"
echo "analyse_window_test: screenshot in $artifacts/analyse-window-linux.png"

# The window's buttons from the keyboard: the focus starts on Save plot..., Copy is next.
read -r plot_width plot_height < <(xdotool getwindowgeometry "$plot" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
xdotool windowfocus --sync "$plot" 2>/dev/null || true
click_button() {  # $1: how far from the right edge the button's centre is, in pixels
  xdotool mousemove --window "$plot" $((plot_width - $1)) $((plot_height - 22)) click 1
  sleep 0.6
}
# Close is the rightmost button; Copy and Save plot... are to its left.
close_x=45
copy_x=$((close_x + 95))
save_x=$((copy_x + 105))
click_button "$copy_x"
xclip -o -selection clipboard > "$work/copied.txt" 2>/dev/null || fail "nothing on the clipboard after Copy"
grep -q '^Hurst exponent H = ' "$work/copied.txt" || fail "Copy gave no summary: $(cat "$work/copied.txt")"
grep -q "^side	area	" "$work/copied.txt" || fail "Copy gave no table: $(cat "$work/copied.txt")"
grep -q "Areas 4 and 8 both give side 2" "$work/copied.txt" || fail "the shared side is not told"
echo "analyse_window_test: Copy gave the summary and the table"

click_button "$save_x"
chooser=$(find_window "Save As") || fail "Save plot... opened no file dialog"
sleep 1
xdotool key ctrl+a
xdotool type --delay 30 "$work/saved-plot.svg"
xdotool key Return
for _ in $(seq 1 50); do
  [ -s "$work/saved-plot.svg" ] && break
  sleep 0.1
done
[ -s "$work/saved-plot.svg" ] || fail "Save plot... wrote no file"
grep -q '>window side s</text>' "$work/saved-plot.svg" || fail "the saved SVG has no texts"
echo "analyse_window_test: Save plot... wrote an SVG with its texts"

click_button "$close_x"
sleep 0.5
xdotool search --onlyvisible --name '^Analyse results$' >/dev/null 2>&1 &&
  fail "Close left the Analyse window open"

# The menu's last entry maps the input file: the map in a window of its own, the same buttons.
sleep 0.5
xdotool mousemove --window "$window" "$(px 200)" "$(py 5)" click 3
sleep 1
xdotool key Up Return
plot=$(find_window "Map roughness") || fail "the menu's Map roughness... opened no window"
sleep 1.5
import -window "$plot" "$artifacts/map-window-linux.png"
read -r plot_width plot_height < <(xdotool getwindowgeometry "$plot" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
click_button "$copy_x"
xclip -o -selection clipboard > "$work/copied-map.txt" 2>/dev/null || fail "nothing on the clipboard after the map's Copy"
grep -q '^rough_surface.txt: 256 x 256$' "$work/copied-map.txt" || fail "the map's Copy gave no summary: $(cat "$work/copied-map.txt")"
grep -q '^row,column,x,y,H,lo,hi,flags' "$work/copied-map.txt" || fail "the map's Copy gave no table"
click_button "$close_x"
sleep 0.5
xdotool search --onlyvisible --name '^Map roughness$' >/dev/null 2>&1 &&
  fail "Close left the map window open"
echo "analyse_window_test: Map roughness showed the map, screenshot in $artifacts/map-window-linux.png"
echo "analyse_window_test: passed"
