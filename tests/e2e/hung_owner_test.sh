#!/usr/bin/env bash
# A clipboard owner that stops answering: one error report, and the gadget stays responsive.
. "$(dirname "$0")/lib.sh"
start_x 1024x768
start_wm
start_gadget
read -r x y w h < <(window_geometry "$GADGET_WIN")

printf '5' | xclip -selection clipboard -quiet -loops 1000 >/dev/null 2>&1 &
OWNER=$!
E2E_PIDS+=($OWNER)
sleep 1.5
kill -STOP "$OWNER"
# The error box appears once.
wait_for "error box" 10 error_box
sleep 3
check_eq "one report while the owner hangs" 1 "$(grep -c 'Cannot open clipboard' "$GADGET_DIR/stderr")"
dismiss_error_box
check "the error box is gone" not error_box

# Still hung: the gadget can be dragged.
xdotool mousemove "$((x + 100))" "$((y + 80))"
sleep 0.2
xdotool mousedown 1
sleep 0.2
xdotool mousemove 400 300
sleep 0.3
xdotool mousemove 400 300
sleep 0.3
xdotool mouseup 1
sleep 0.3
read -r x2 y2 w h < <(window_geometry "$GADGET_WIN")
check_eq "dragged while the owner hangs" "300 220" "$x2 $y2"
sleep 2
check_eq "still one report" 1 "$(grep -c 'Cannot open clipboard' "$GADGET_DIR/stderr")"

# The owner goes away: the gadget reads the clipboard again.
kill -CONT "$OWNER"
kill "$OWNER"
printf '7*6' | xclip -selection clipboard
sleep 2
screenshot "$E2E_TMP/s.png"
check "a new text is shown again" \
    test "$(count_colour "$E2E_TMP/s.png" "$((x2 + 36))" "$((y2 + 35))" 120 20 251 189 192 60)" -gt 10
check "still running" kill -0 "$GADGET_PID"
finish
