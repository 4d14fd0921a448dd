#!/usr/bin/env bash
# Drives each file dialog under a real X server as a user does: types a file name with real key
# events, so that the dialog's name completion list opens, and presses Return. Afterwards only
# the main window may be on screen, and the very next click on "Speichern" must open its dialog.
# An offscreen test never opens the completion list, so it cannot see what stays behind. A save
# dialog with Return alone must replace the file it offers (the one loaded, appended or saved
# last), after asking, whatever type was chosen again. Before the dialogs, quick pairs of clicks
# as the window system delivers them (the second one as a double-click) on the grid and the
# swatch strip must each act as two clicks.
set -euo pipefail
shopt -s inherit_errexit
here=$(cd "$(dirname "$0")" && pwd)
program=$1
work=$2
mkdir -p "$work"
folder=$(mktemp -d "$work/dialogs.XXXXXX")
# The dialogs report paths with links resolved.
folder=$(cd "$folder" && pwd -P)
cd "$folder"

# Click points of the buttons and of a cell of a one-output show, relative to the main window's
# top left corner, measured on a screenshot of the 1105x809 window; when the panel's layout
# changes, measure them again.
declare -A button_at=(
  [datei_laden]="996 32"
  [datei_speichern]="1061 32"
  [datei_anhaengen]="996 59"
  [bitmap_laden]="996 372"
  [bitmap_speichern]="1061 372"
  [grid]="100 30"
)

xvfb=""
app=""
cleanup() {
  if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$folder"
}
trap cleanup EXIT

source "$here/start_xvfb.sh"


# Also called inside $(...), so it writes to stderr.
fail() {
  {
    echo "FAILED: $*"
    echo "windows on screen:"
    describe_windows
    import -window root "$work/dialogs-failure.png" 2>/dev/null &&
      echo "screenshot: $work/dialogs-failure.png"
    echo "program output:"
    cat "$folder/app.log"
  } >&2
  exit 1
}

# The program's mapped top-level windows, one id a line, sorted.
visible_windows() {
  { xdotool search --all --pid "$app" --onlyvisible 2>/dev/null || true; } | sort
}

describe_windows() {
  local id
  for id in $(visible_windows); do
    echo "  $id '$(xdotool getwindowname "$id")'" \
      "$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')"
  done
}

# poll SECONDS COMMAND...: runs COMMAND every tenth of a second until it succeeds.
poll() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# windows_are ID...: exactly these windows are on screen.
windows_are() { [ "$(visible_windows)" = "$(printf '%s\n' "$@" | sort)" ]; }

only_main_visible() { windows_are "$main"; }

# Prints the first visible window titled TITLE other than the ones given.
find_new_window() {
  local title=$1 id
  shift
  for id in $(visible_windows); do
    [[ " $* " == *" $id "* ]] && continue
    [ "$(xdotool getwindowname "$id")" = "$title" ] && { echo "$id"; return 0; }
  done
  return 1
}

# Prints one visible window that is none of the ones given.
find_other_window() {
  local id
  for id in $(visible_windows); do
    [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
  done
  return 1
}

has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

window_title_is() { [ "$(xdotool getwindowname "$main")" = "$1" ]; }

# click BUTTON: one click on one of the buttons above.
click() {
  local dx dy x y
  read -r dx dy <<<"${button_at[$1]}"
  read -r x y <<<"$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^[XY]=//p' | tr '\n' ' ')"
  xdotool mousemove $((x + dx)) $((y + dy)) click 1
}

# open_dialog BUTTON TITLE: one click on the button must bring up a dialog titled TITLE that has
# the keyboard; prints its window.
open_dialog() {
  local button=$1 title=$2 dialog
  click "$button"
  dialog=$(poll 60 find_new_window "$title" "$main") ||
    fail "one click on '$button' did not open the dialog '$title'"
  poll 30 has_focus "$dialog" || fail "the dialog '$title' never got the keyboard"
  echo "$dialog"
}

# save_offered BUTTON TITLE [DOWNS]: opens the dialog, (chooses again the file type DOWNS entries
# below the first,) and presses Return on the name it offers. The question whether to replace
# that file must come; it is answered "Ja", and no file may appear that was not there before.
save_offered() {
  local button=$1 title=$2 dialog message before
  echo "== '$button': Return on the name offered"
  before=$(ls -A)
  dialog=$(open_dialog "$button" "$title")
  [ -z "${3:-}" ] || choose_type "$dialog" "$3"
  xdotool key Return
  message=$(poll 30 find_new_window "$title" "$main" "$dialog") ||
    fail "'$button' offered no existing file: no question whether to replace it"
  poll 30 has_focus "$message" || fail "the question never got the keyboard"
  xdotool key j
  poll 20 only_main_visible || fail "after the dialog of '$button' closed, a window stayed"
  [ "$(ls -A)" = "$before" ] || fail "'$button' made a file of its own: $(ls -A | tr '\n' ' ')"
  check_first_click
}

# check_first_click: nothing of a dialog is left that could swallow a click, so one click on
# "Speichern" opens its dialog; Escape closes it again.
check_first_click() {
  open_dialog datei_speichern "Speichern unter" >/dev/null
  xdotool key Escape
  poll 30 only_main_visible || fail "Escape did not close the dialog of 'Speichern'"
}

# choose_type DIALOG DOWNS: opens the dialog's file type list with a click and moves DOWNS
# entries down it, then clicks into the name field. The places are measured on a screenshot,
# from the dialog's bottom left corner.
choose_type() {
  local dialog=$1 downs=$2 x y h
  read -r x y h <<<"$(xdotool getwindowgeometry --shell "$dialog" | sed -n 's/^[XYH][A-Z]*=//p' |
    tr '\n' ' ')"
  xdotool mousemove $((x + 286)) $((y + h - 23)) click 1
  poll 30 find_other_window "$main" "$dialog" >/dev/null || fail "the file type list did not open"
  for _ in $(seq "$downs"); do xdotool key Down; done
  xdotool key Return
  poll 30 windows_are "$main" "$dialog" || fail "the file type list did not close"
  xdotool mousemove $((x + 306)) $((y + h - 53)) click 1
}

# use_dialog BUTTON TITLE NAME THEN [DOWNS]: opens the dialog, (chooses the file type DOWNS
# entries below the first,) types NAME over its name field and waits
# for the completion list, presses Return, then
#   closes  - the dialog closes and the command succeeds;
#   confirm - the question whether to overwrite the file comes and is answered "Ja";
#   refuse  - the command fails: its message must be the only window beside the main window.
# A question or message that opens closes the list by itself; those rounds guard that path.
use_dialog() {
  local button=$1 title=$2 name=$3 then=$4 dialog lists message
  echo "== '$button': $name"
  dialog=$(open_dialog "$button" "$title")
  [ -z "${5:-}" ] || choose_type "$dialog" "$5"
  xdotool key ctrl+a
  xdotool type --delay 50 "$name"
  # Without the list open this test would prove nothing.
  poll 30 find_other_window "$main" "$dialog" >/dev/null ||
    fail "typing '$name' did not open the completion list"
  lists=$(visible_windows | grep -vx -e "$main" -e "$dialog" | tr '\n' ' ')
  xdotool key Return
  # shellcheck disable=SC2086 # $lists is a list of window ids
  case $then in
  confirm)
    message=$(poll 30 find_new_window "$title" "$main" "$dialog" $lists) ||
      fail "no question whether to overwrite '$name'"
    poll 30 has_focus "$message" || fail "the question never got the keyboard"
    xdotool key j
    ;;
  refuse)
    message=$(poll 60 find_new_window "Velkaro" "$main" "$dialog" $lists) ||
      fail "no message that '$name' could not be used"
    poll 20 windows_are "$main" "$message" || fail "beside the message, a window of the dialog stayed"
    poll 30 has_focus "$message" || fail "the message never got the keyboard"
    xdotool key Return
    ;;
  esac
  poll 20 only_main_visible || fail "after the dialog of '$button' closed, a window stayed"
  check_first_click
}

start_xvfb
unset QT_QPA_PLATFORM

# Shows of one step (output 1 green); a 4x3 red bitmap; a file that only claims to be one.
show_bytes() { printf '\x00\x00\x0a\x00\x20\x00\x00\x00\x00\xff\x00'; head -c 501 /dev/zero; }
show_bytes >p8.dmx
show_bytes >anhang.dmx
{
  printf 'BM\x5a\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
  printf '\x28\x00\x00\x00\x04\x00\x00\x00\x03\x00\x00\x00\x01\x00\x18\x00'
  printf '\x00\x00\x00\x00\x24\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00'
  printf '\x00\x00\x00\x00\x00\x00\x00\x00'
  for _ in 1 2 3 4 5 6 7 8 9 10 11 12; do printf '\x00\x00\xff'; done
} >p8.bmp
printf 'kein Bild' >kaputt.bmp

# at X Y ACTIONS...: xdotool ACTIONS at a point given relative to the main window's top left
# corner, with no pause between them.
at() {
  local x y
  read -r x y <<<"$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^[XY]=//p' | tr '\n' ' ')"
  xdotool mousemove $((x + $1)) $((y + $2)) "${@:3}"
}

# start_program TITLE [ARGUMENT]: starts the program and waits for its main window.
start_program() {
  local title=$1
  shift
  "$program" "$@" >app.log 2>&1 &
  app=$!
  main=""
  main_window() {
    main=$(xdotool search --all --pid "$app" --onlyvisible --name "^$title\$" 2>/dev/null |
      head -n 1) && [ -n "$main" ]
  }
  poll 90 main_window || fail "no main window"
  poll 30 only_main_visible || fail "more than the main window at the start"
}

stop_program() {
  kill "$app"
  wait "$app" 2>/dev/null || true
  app=""
}

# bytes FILE OFFSET COUNT: the bytes as hex, one blank between them.
bytes() { od -An -tx1 -v -j "$2" -N "$3" "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# Quick pairs of clicks. A show of 100 steps whose output 168 is lit in the last step has 168
# outputs, so the cells are 5 pixels wide and 10 high; the grid starts one pixel into the
# window, the squares of the swatch strip, 29 pixels wide, at (3, 690). Each pair is one
# xdotool call: two presses within the window system's double-click time and distance.
{
  head -c $((99 * 512 + 509)) /dev/zero
  printf '\x80\x80\x80'
} >klicks.dmx
start_program klicks.dmx klicks.dmx
echo "== quick pairs of clicks on the grid and the swatch strip"
# Left on cell (0, 0), then on its diagonal neighbour (1, 1): two cells, not a block of four.
at 4 9 click 1 mousemove_relative 3 4 click 1
sleep 0.6
# Green (swatch 1) into cell (3, 0).
at 46 702 click 1
sleep 0.6
at 17 6 click 1
sleep 0.6
# Right on the black cell (2, 0), then on the green (3, 0): the second press picks green and
# marks no block.
at 14 6 click 3 mousemove_relative 3 0 click 3
sleep 0.6
at 27 6 click 1 # cell (5, 0) in the colour picked last
sleep 0.6
# Blue (swatch 2), then yellow (swatch 3) right beside the border: yellow is the swatch.
at 88 702 click 1 mousemove_relative 4 0 click 1
sleep 0.6
at 37 6 click 1 # cell (7, 0)
sleep 0.6
use_dialog datei_speichern "Speichern unter" klicks closes
# Outputs 1 to 8 of step 0: red, black, black, green, black, green, black, yellow; step 1: black,
# red.
step0="ff 00 00 00 00 00 00 00 00 00 ff 00 00 00 00 00 ff 00 00 00 00 ff ff 00"
[ "$(bytes klicks.DMX 8 24)" = "$step0" ] ||
  fail "quick clicks went astray: step 0 holds $(bytes klicks.DMX 8 24)"
[ "$(bytes klicks.DMX 520 6)" = "00 00 00 ff 00 00" ] ||
  fail "quick clicks went astray: step 1 holds $(bytes klicks.DMX 520 6)"
stop_program

start_program "Velkaro Version 1.07"
# The dialogs start in the folder the program was started in.
use_dialog datei_anhaengen "Öffnen" anhang.dmx closes
poll 10 window_title_is "$folder/anhang.dmx" || fail "'Anhängen' did not take anhang.dmx"
# "Speichern" offers the file appended: the empty step of the start and the appended one.
save_offered datei_speichern "Speichern unter"
[ "$(stat -c %s anhang.dmx)" = 1024 ] || fail "'Speichern' did not replace anhang.dmx"
poll 10 window_title_is "$folder/anhang.dmx" || fail "the caption left anhang.dmx"
use_dialog datei_laden "Öffnen" p8.dmx closes
poll 10 window_title_is "$folder/p8.dmx" || fail "'Laden' did not load p8.dmx"
# An edit: the first release after a file command does nothing, the second paints output 1 red.
click grid
sleep 0.6
click grid
sleep 0.6
# "Speichern" offers the file loaded, also once its type is chosen again.
save_offered datei_speichern "Speichern unter" 0
[ "$(bytes p8.dmx 8 3)" = "ff 00 00" ] || fail "p8.dmx does not hold the edit: $(bytes p8.dmx 8 3)"
poll 10 window_title_is "$folder/p8.dmx" || fail "the caption left p8.dmx"
# "p8" completes to p8.dmx; the default extension makes a new file of it.
use_dialog datei_speichern "Speichern unter" p8 closes
[ -s p8.DMX ] || fail "'Speichern' did not write p8.DMX"
use_dialog bitmap_laden "Öffnen" p8.bmp closes
use_dialog bitmap_speichern "Speichern unter" p8 closes
# The exported picture has the size of the imported one, so both buttons did their work.
picture_size() { od -An -t d4 -j 18 -N 8 p8.BMP 2>/dev/null | tr -s ' ' | sed 's/^ //; s/-//'; }
[ "$(picture_size)" = "4 3" ] || fail "the exported p8.BMP is not the imported 4x3 picture"
# A name typed with its extension is offered again as typed, also once the type is chosen again.
use_dialog bitmap_speichern "Speichern unter" p8.BMP confirm
: >p8.BMP
save_offered bitmap_speichern "Speichern unter" 0
[ "$(picture_size)" = "4 3" ] || fail "the picture export did not replace p8.BMP"
# The second file type of "Speichern" exports an FSEQ sequence; the show stays p8.DMX. A file
# of that type lets the completion list open.
: >p8-alt.fseq
use_dialog datei_speichern "Speichern unter" p8 closes 1
[ "$(head -c 4 p8.fseq 2>/dev/null)" = PSEQ ] || fail "choosing 'FSEQ' did not export p8.fseq"
poll 10 window_title_is "$folder/p8.DMX" || fail "the export changed the caption"
use_dialog datei_speichern "Speichern unter" p8.DMX confirm
: >p8.DMX
save_offered datei_speichern "Speichern unter" 0
# The show holds the three steps of the imported picture.
[ "$(stat -c %s p8.DMX)" = 1536 ] || fail "'Speichern' did not replace p8.DMX"
use_dialog bitmap_laden "Öffnen" kaputt.bmp refuse
echo "dialogs end-to-end: 15 passed, 0 failed"
