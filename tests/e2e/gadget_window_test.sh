#!/usr/bin/env bash
# The gadget's window: size, place, shape, stacking and taskbar state, and the drag.
. "$(dirname "$0")/lib.sh"
start_x 1024x768
start_wm
start_gadget

read -r x y w h < <(window_geometry "$GADGET_WIN")
check_eq "192 x 200" "192 200" "$w $h"
check_eq "centred on the screen" "$(((1024 - 192) / 2)) $(((768 - 200) / 2))" "$x $y"

state=$(xprop -id "$GADGET_WIN" _NET_WM_STATE)
check "no taskbar entry" grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state"
check "not in the pager" grep -q _NET_WM_STATE_SKIP_PAGER <<<"$state"
check "stays on top" grep -q _NET_WM_STATE_ABOVE <<<"$state"
check "no frame" sh -c "xprop -id $GADGET_WIN _NET_FRAME_EXTENTS | grep -q '= 0, 0, 0, 0'"

# The corners are cut: the root shows through at (0,0) of the window, the face inside it.
xsetroot -solid '#00ff00'
sleep 0.5
screenshot "$E2E_TMP/shot.png"
check_eq "top-left corner shows the desktop" 1 "$(count_colour "$E2E_TMP/shot.png" "$x" "$y" 1 1 0 255 0 10)"
check_eq "the face covers the middle" 0 "$(count_colour "$E2E_TMP/shot.png" "$((x + 96))" "$((y + 2))" 1 1 0 255 0 10)"

# Drag by the face far past each edge: the window stops exactly at the screen's edges.
drag_to() {
    xdotool mousemove "$((x + 100))" "$((y + 80))"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    xdotool mousemove "$1" "$2"
    sleep 0.2
    xdotool mousemove "$1" "$2"
    sleep 0.3
    xdotool mouseup 1
    sleep 0.3
    read -r x y w h < <(window_geometry "$GADGET_WIN")
}
drag_to 5000 5000
check_eq "dragged to the bottom-right corner" "$((1024 - 192)) $((768 - 200))" "$x $y"
drag_to 0 0
check_eq "dragged to the top-left corner" "0 0" "$x $y"
drag_to 500 300
check_eq "dragged into the middle" "$((500 - 100)) $((300 - 80))" "$x $y"
# A right-button press starts no drag.
xdotool mousemove "$((x + 100))" "$((y + 80))" mousedown 3 mousemove 10 10 mouseup 3
sleep 0.3
read -r x2 y2 w h < <(window_geometry "$GADGET_WIN")
check_eq "the right button does not drag" "$x $y" "$x2 $y2"
check "still running" kill -0 "$GADGET_PID"
finish
