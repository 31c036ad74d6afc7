#!/usr/bin/env bash
# Drives the real vantrel in a real window on a virtual display of its own, as a person would with
# keyboard and mouse: the Type list from the keyboard, Load and Save of a configuration whose name
# has no extension, Tab after a pick with the mouse, a long configuration path, View without a
# program to view with and with none that opens the file, Calculate on a missing file and after a
# field that does not convert, a long run that stays alive and one stopped with Escape. Saves
# screenshots of the fresh dialog and of a run in progress. What the message boxes said is read
# from the log the program keeps when VANTREL_MESSAGE_LOG names one.
# Usage: real_window_test.sh PATH_TO_VANTREL ARTIFACTS_DIR
set -euo pipefail

program=$(realpath "$1")
artifacts=$2
mkdir -p "$artifacts"

fail() {
  echo "real_window_test: $*"
  [ -f "${work:-}/program.log" ] && cat "$work/program.log"
  exit 1
}

for tool in Xvfb xdotool import compare; do
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

# Without any display the program says so in one line and ends with status 1.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$program" </dev/null >"$work/no-display.out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "without a display vantrel ended with status $status, not 1"
[ "$(cat "$work/no-display.out")" = \
  "vantrel needs a graphical display (DISPLAY is not set); vantrel-cli works without one" ] ||
  fail "without a display vantrel said: $(cat "$work/no-display.out")"

# Xvfb picks a free display number itself and writes it to descriptor 3, so that two runs at
# once never share (and then kill) one server.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 </dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb chose no display"
export DISPLAY=":$(tr -d '[:space:]' < "$work/display")"
for _ in $(seq 1 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not answer"

# The program runs in a folder with a path too long for the configuration file label, which is
# where its file dialogs open; nothing on its PATH can show a file.
folder="$work/a-folder-whose-name-is-long-enough-to-overflow-the-label/and-one-more-long-folder-name"
mkdir -p "$folder" "$work/empty-bin"
config_text() {  # $1: progression type
  printf '[Input file]\n/d/grid.txt\n\n[Shift (n, m)]\n0.5000\t0.2500\n\n'
  printf '[Progression type (0=linear, 1=log)]\n%s\n\n[Progression (from, to, step)]\n4\t1024\t2\n\n' "$1"
  printf '[Use progression file, progression file]\n0\n\n\n'
}
config_text 0 >"$folder/saved2"
config_text 0 >"$folder/zother"
config_text 0 >"$folder/my.cfg"

# No session bus or accessibility bus on a bare display: keep GTK from looking for them.
export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory
unset DBUS_SESSION_BUS_ADDRESS
messages="$work/messages.log"
: >"$messages"
(cd "$folder" && PATH="$work/empty-bin" VANTREL_MESSAGE_LOG="$messages" exec "$program") </dev/null >"$work/program.log" 2>&1 &
program_pid=$!

window=""
for _ in $(seq 1 150); do
  window=$(xdotool search --onlyvisible --name '^Vantrel$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$program_pid" 2>/dev/null || fail "vantrel ended before showing its window"
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled Vantrel appeared"

# Let the first paint finish before the picture is taken.
sleep 1
# Placed by the dialog framework: centred on the screen, as its message boxes are.
read -r left top < <(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
read -r w h < <(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
centred() { [ $(( $1 - ($2 - $3) / 2 )) -le 2 ] && [ $(( ($2 - $3) / 2 - $1 )) -le 2 ]; }
centred "$left" 1024 "$w" && centred "$top" 768 "$h" ||
  fail "the dialog is at $left,$top, not centred on the screen ($w x $h)"
import -window "$window" "$artifacts/main-dialog.png"
echo "real_window_test: screenshot in $artifacts/main-dialog.png"

# The windows there are now; later ones are boxes and dialogs the program opened.
visible_windows() {
  xdotool search --onlyvisible --name '' 2>/dev/null | while read -r id; do
    xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: 1x1' || echo "$id"
  done | sort
}
baseline=$(visible_windows)
new_windows() { comm -13 <(echo "$baseline") <(visible_windows); }
alive() { kill -0 "$program_pid" 2>/dev/null || fail "vantrel ended $1"; }
only_the_dialog() {  # $1: what was just done
  sleep 0.5
  alive "after $1"
  [ -z "$(new_windows)" ] || fail "a window other than the dialog is open after $1"
}
wait_for_new_window() {  # $1: what was just done
  for _ in $(seq 1 100); do
    [ -n "$(new_windows)" ] && return 0
    sleep 0.1
  done
  fail "no window opened after $1"
}

# Dialog units to pixels, from the window's size and the template's 353 x 172 units.
read -r width height < <(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
px() { echo $(($1 * width / 353)); }
py() { echo $(($1 * height / 172)); }
click_at() { xdotool mousemove --window "$window" "$(px "$1")" "$(py "$2")" click 1; sleep 0.4; }
key() { xdotool key --clearmodifiers "$@"; sleep 0.4; }
click_step() { click_at 270 97; }     # the Step field, just before the Type list in tab order
click_save() { click_at 334 14; }
crop_of() {  # $1: file; $2..$5: a rectangle in dialog units
  import -window "$window" -crop "$(px "$4")x$(py "$5")+$(px "$2")+$(py "$3")" +repage "$1"
}
same_picture() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = "0" ]; }
# The bottom of the screen, where the open dialog shows its filter, once it has stopped changing
# (the dialog fills in while it reads the folder).
filter_strip() {
  import -window root -crop 1024x60+0+708 +repage "$1"
  for _ in $(seq 1 20); do
    sleep 0.5
    import -window root -crop 1024x60+0+708 +repage "$1.next.png"
    same_picture "$1" "$1.next.png" && return 0
    mv "$1.next.png" "$1"
  done
}
progression_type() { sed -n '/^\[Progression type/{n;p}' "$1"; }

xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"

# Load "saved2": the first tab stop, Load, has the focus; the open dialog starts in the folder.
key Return
wait_for_new_window "Load"
filter_strip "$work/filter-first.png"
xdotool type --delay 40 saved2; sleep 0.3; key Return
only_the_dialog "loading saved2"

# The Type list from the keyboard: Escape and Return on the open list close only the list, and
# Down then Return picks the next item.
click_step; key Tab
key alt+Down; key Escape; only_the_dialog "Escape on the open Type list"
key alt+Down; key Return; only_the_dialog "Return on the open Type list"
key alt+Down; key Down; key Return; only_the_dialog "Down and Return on the open Type list"

# Save offers the name as it is and asks before replacing it.
click_save
wait_for_new_window "Save"
key Return
wait_for_new_window "accepting the offered name"
key alt+r
only_the_dialog "replacing saved2"
[ "$(progression_type "$folder/saved2")" = 1 ] || fail "saved2 does not hold the Type picked with the keyboard"
[ "$(ls "$folder")" = "$(printf 'my.cfg\nsaved2\nzother')" ] || fail "Save wrote another file: $(ls "$folder")"
crop_of "$work/label-saved2.png" 46 11 250 8

# The closed list, Logarithmic unfocused, read along the middle of its text: it is white like the
# edit fields, and the text ends well before the white does, so it was not cut to fit.
text_fits_on_white() {
  import -window "$window" -crop "$(px 48)x1+$(px 293)+$(py 97)" -depth 8 +repage txt:- |
    awk -F'[(),]' 'NR > 1 { x = $1 + 0; r = $3 + 0; g = $4 + 0; b = $5 + 0
                    if (r == 255 && g == 255 && b == 255) last_white = x
                    else if (r + g + b < 300) dark[x] = 1 }
                  END { for (x in dark) if (x + 0 < last_white && x + 0 > last_dark) last_dark = x + 0
                        exit !(last_dark > 0 && last_white - last_dark >= 2) }'
}
text_fits_on_white || fail "Logarithmic does not fit on a white background in the closed Type list"

# A pick with the mouse leaves the list its tab stop both ways, and the arrows change it.
# The open list hangs below the closed box; its rows are a text line and 6 pixels high.
click_at 317 97
xdotool mousemove --window "$window" "$(px 317)" $(($(py 104) + 3 * ($(py 8) + 6) / 2)) click 1
sleep 0.4
click_step; key Tab; key Tab; key shift+Tab; key Up
click_save
wait_for_new_window "the second Save"
key Return; wait_for_new_window "accepting the offered name again"; key alt+r
only_the_dialog "replacing saved2 again"
[ "$(progression_type "$folder/saved2")" = 0 ] || fail "after a pick with the mouse, Tab, Shift+Tab and Up did not reach the Type list"

# Load my.cfg, which does not match *.txt; the next Load still starts with the first filter.
# Then the long path of zother shows its end, where it differs from saved2.
click_at 308 14
wait_for_new_window "the second Load"
xdotool type --delay 40 my.cfg; sleep 0.3; key Return
only_the_dialog "loading my.cfg"
click_at 308 14
wait_for_new_window "the third Load"
filter_strip "$work/filter-again.png"
same_picture "$work/filter-first.png" "$work/filter-again.png" || fail "Load after my.cfg opened without the first filter"
xdotool type --delay 40 zother; sleep 0.3; key Return
only_the_dialog "loading zother"
crop_of "$work/label-zother.png" 46 11 250 8
same_picture "$work/label-saved2.png" "$work/label-zother.png" && fail "a long configuration path hides its file name"

# The last message box's text, and how many boxes have said a text.
last_message() { awk 'BEGIN { RS = "\n--\n" } { last = $0 } END { printf "%s", last }' "$messages"; }
count_messages() { awk -v text="$1" 'BEGIN { RS = "\n--\n"; n = 0 } $0 == text { n++ } END { print n }' "$messages"; }
expect_message() {  # $1: the text; $2: what was just done
  [ "$(last_message)" = "$1" ] || fail "after $2 the message was \"$(last_message)\", not \"$1\""
}

# View with no program to view with: a message box says so.
click_at 334 45
wait_for_new_window "View without xdg-open"
key Return
only_the_dialog "closing the View message"
expect_message "Could not start xdg-open: No such file or directory" "View without xdg-open"

# View where no program opens the file: xdg-open ends with status 3, and a box says so.
printf '#!/bin/sh\nexit 3\n' >"$work/empty-bin/xdg-open"
chmod +x "$work/empty-bin/xdg-open"
click_at 334 45
wait_for_new_window "View with no program for the file"
key Return
only_the_dialog "closing the second View message"
expect_message "No program could open /d/grid.txt: no program on this system opens files of its kind" \
  "View with no program for the file"

# Typing into a field: select what it holds and replace it.
type_into() {  # $1, $2: a point of the field in dialog units; $3: the text
  click_at "$1" "$2"; key ctrl+a; xdotool type --delay 20 "$3"; sleep 0.3
}
click_calculate() { click_at 321 158; }
title_of() { xdotool getwindowname "$window" 2>/dev/null || true; }
wait_for_title() {  # $1: a pattern; $2: tenths of a second to wait
  for _ in $(seq 1 "$2"); do
    [[ "$(title_of)" =~ $1 ]] && return 0
    sleep 0.1
  done
  return 1
}

# Calculate on a file that is not there: the run's words, then the file and the system's reason.
type_into 100 45 missing.txt
click_calculate
wait_for_new_window "Calculate on a missing file"
key Return
only_the_dialog "closing Error loading data"
expect_message "Error loading data

missing.txt
No such file or directory" "Calculate on a missing file"

# A From that does not convert stops Calculate after the message, with the focus on From: what
# is typed next goes there, as Save then shows.
type_into 183 97 1o0
click_calculate
wait_for_new_window "Calculate with 1o0 in From"
key Return
only_the_dialog "closing the message about From"
expect_message "Please enter an integer." "Calculate with 1o0 in From"
key ctrl+a; xdotool type --delay 20 8; sleep 0.3
click_save
wait_for_new_window "Save after the message about From"
key Return; wait_for_new_window "accepting the offered name a third time"; key alt+r
only_the_dialog "replacing zother"
[ "$(sed -n '/^\[Progression (from/{n;p}' "$folder/zother" | cut -f1)" = 8 ] ||
  fail "the focus was not on From after its message (zother: $(sed -n '/^\[Progression (from/{n;p}' "$folder/zother"))"

# Analyse results from the context menu (its last entry but one): with Input file empty it names
# what is missing; on a .npy input it reads the data as Calculate does and opens the plot window.
analyse_results() {
  xdotool mousemove --window "$window" "$(px 200)" "$(py 5)" click 3
  sleep 1
  key Up Up Return
}
type_into 100 45 ""
key BackSpace
analyse_results
wait_for_new_window "Analyse results with Input file empty"
key Return
only_the_dialog "closing the Analyse message"
expect_message "Analyse results needs the input file whose results Calculate wrote: type its name in Input file, or choose it with the \"...\" button beside it." \
  "Analyse results with Input file empty"
python3 - "$work/grid.npy" <<'PYTHON'
import math, struct, sys
rows = columns = 48
header = "{'descr': '<f8', 'fortran_order': False, 'shape': (%d, %d), }" % (rows, columns)
header += " " * ((64 - (10 + len(header) + 1) % 64) % 64) + "\n"
values = [math.sin(i * 0.7 + j * j * 0.3) + 0.01 * i * j for i in range(rows) for j in range(columns)]
with open(sys.argv[1], "wb") as out:
    out.write(b"\x93NUMPY\x01\x00" + struct.pack("<H", len(header)) + header.encode())
    out.write(struct.pack("<%dd" % len(values), *values))
PYTHON
type_into 100 45 "$work/grid.npy"
type_into 183 97 9
type_into 226 97 225
type_into 270 97 24
click_calculate
wait_for_new_window "Calculate on grid.npy"
key Return
wait_for_title '^Vantrel$' 300 && sleep 1
[ -s "$work/grid.npy.out.txt" ] || fail "Calculate on grid.npy wrote no results"
analyse_results
plot=""
for _ in $(seq 1 100); do
  plot=$(xdotool search --onlyvisible --name '^Analyse results$' 2>/dev/null | head -n 1 || true)
  [ -n "$plot" ] && break
  sleep 0.1
done
[ -n "$plot" ] || fail "Analyse results on a .npy input opened no plot window: $(last_message)"
sleep 1
read -r plot_width plot_height < <(xdotool getwindowgeometry "$plot" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
xdotool mousemove --window "$plot" $((plot_width - 45)) $((plot_height - 22)) click 1  # Close
sleep 0.6
only_the_dialog "closing the plot window"

# A long run: the title bar shows the area under way, the dialog repaints, and a second Calculate
# during the run starts nothing.
awk 'BEGIN { srand(1); for (i = 0; i < 1000; i++) { line = ""
             for (j = 0; j < 1000; j++) line = line sprintf("%.4f ", rand()); print line } }' \
  >"$work/big.txt"
type_into 100 45 "$work/big.txt"
type_into 183 97 4
type_into 226 97 12000
type_into 270 97 4
continues_before=$(count_messages "Data rows: 1000 Data colums:1000
Continue?")
click_calculate
wait_for_new_window "Calculate on big.txt"
key Return
wait_for_title '^Vantrel - area [0-9]+ of 3000$' 300 || fail "the title showed no progress: $(title_of)"
click_calculate
import -window "$window" "$artifacts/run-in-progress.png"
first=$(title_of)
moved=""
for _ in $(seq 1 100); do
  [ "$(title_of)" != "$first" ] && { moved=1; break; }
  sleep 0.1
done
[ -n "$moved" ] || fail "the title stayed at: $first"
wait_for_title '^Vantrel$' 1200 || fail "the run did not end: $(title_of)"
only_the_dialog "the run, with a second Calculate during it"
[ "$(count_messages "Data rows: 1000 Data colums:1000
Continue?")" -eq $((continues_before + 1)) ] || fail "a Calculate during the run started another"
[ "$(wc -l <"$work/big.txt.out.txt")" -eq 3000 ] || fail "the run wrote $(wc -l <"$work/big.txt.out.txt") lines"

# A run stopped: Escape asks, Yes stops the run and ends the program within moments, and the
# results file stays as a failed run leaves it.
type_into 226 97 40000
click_calculate
wait_for_new_window "Calculate on big.txt again"
key Return
wait_for_title '^Vantrel - area [0-9]+ of 10000$' 300 || fail "the second run showed no progress"
xdotool key --clearmodifiers Escape
wait_for_new_window "Escape during the run"
sleep 0.3
expect_message "Calculate is still running. Stop it and close Vantrel?" "Escape during the run"
xdotool key --clearmodifiers Return
stopped_at=$(date +%s%N)
for _ in $(seq 1 100); do
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.02
done
ended_after=$((($(date +%s%N) - stopped_at) / 1000000))
kill -0 "$program_pid" 2>/dev/null && fail "vantrel was still running 2 seconds after stopping the run"
# Half a second to stop, and time for the program to end on a busy machine.
[ "$ended_after" -le 1500 ] || fail "vantrel took $ended_after ms to stop the run and close"
lines=$(wc -l <"$work/big.txt.out.txt")
[ "$lines" -lt 10000 ] || fail "the stopped run wrote every area"
echo "real_window_test: the run stopped after $lines of 10000 areas; vantrel ended $ended_after ms after Yes"
status=0
wait "$program_pid" || status=$?
program_pid=""
[ "$status" -eq 0 ] || fail "vantrel exited with status $status"
echo "real_window_test: 0 failed; the dialog worked by keyboard and mouse and closed when its run was stopped"
