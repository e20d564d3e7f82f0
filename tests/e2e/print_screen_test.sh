#!/usr/bin/env bash
# Print Screen saves the clipboard's picture; without a picture it reports and writes nothing.
. "$(dirname "$0")/lib.sh"
start_x 1024x768
start_wm
start_gadget
SHOTS="$GADGET_DIR/screenshot"
check "the capture folder is made at start" test -d "$SHOTS"

convert -size 123x45 gradient:red-blue "$E2E_TMP/pic.png"
xclip -selection clipboard -t image/png -i "$E2E_TMP/pic.png"
sleep 1
xdotool key Print
wait_for "picture1.jpg" 10 test -s "$SHOTS/picture1.jpg"
check_eq "the picture's size" "123x45" "$(identify -format '%wx%h' "$SHOTS/picture1.jpg")"
check_eq "baseline JPEG" "JPEG" "$(identify -format '%m' "$SHOTS/picture1.jpg")"
check_eq "quality 90" "90" "$(identify -format '%Q' "$SHOTS/picture1.jpg")"

xdotool key Print
wait_for "picture2.jpg" 10 test -s "$SHOTS/picture2.jpg"

printf 'no picture' | xclip -selection clipboard
sleep 1
xdotool key Print
wait_for "error report" 10 grep -q 'Unsupported clipboard format' "$GADGET_DIR/stderr"
wait_for "error box" 10 error_box
sleep 1
check "no file for a clipboard without a picture" test ! -e "$SHOTS/picture3.jpg"
check_eq "no temporary files left" "" "$(ls -A "$SHOTS" | grep -v '^picture[12]\.jpg$' || true)"
check "still running" kill -0 "$GADGET_PID"
finish
