#!/usr/bin/env bash
# The tray icon with a tray host: it embeds, a left click hides and shows the gadget, a right
# click opens the owner-drawn menu, "  Снимок" takes a capture, "  Выход" ends the program.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/tray_lib.inc.sh"
start_x 1024x768
start_wm
start_tray
start_gadget

wait_for "tray icon" 10 icon_window
ICON=$(icon_window)
check "the icon is embedded in the tray host" icon_embedded "$ICON"
read -r ix iy iw ih < <(window_geometry "$ICON")
icx=$((ix + iw / 2))
icy=$((iy + ih / 2))
read -r gx gy _ _ < <(window_geometry "$GADGET_WIN")

# Left clicks toggle the window; a double click toggles it twice.
xdotool mousemove "$icx" "$icy" click 1
sleep 0.5
check "a left click hides the gadget" gadget_hidden
xdotool mousemove "$icx" "$icy" click 1
sleep 0.5
check "a second left click shows it again" gadget_shown
read -r gx2 gy2 _ _ < <(window_geometry "$GADGET_WIN")
check_eq "where it was" "$gx $gy" "$gx2 $gy2"
xdotool mousemove "$icx" "$icy" click --repeat 2 --delay 60 1
sleep 0.8
check "a double click leaves it shown" gadget_shown

# The right button opens the menu at the pointer: the band down its left edge, the texts.
xdotool mousemove "$icx" "$icy" click 3
wait_for "menu" 5 menu_window
MENU=$(menu_window)
read -r mx my mw mh < <(window_geometry "$MENU")
check_eq "menu size (116 x 100 and a frame)" "118 102" "$mw $mh"
check "the menu is on the screen" test "$mx" -ge 0 -a "$((mx + mw))" -le 1024 -a "$((my + mh))" -le 768
xdotool mousemove "$((mx + 60))" "$((my + 1 + 30))"
sleep 0.4
screenshot "$E2E_TMP/menu.png"
[ -n "${TRAY_SHOTS:-}" ] && cp "$E2E_TMP/menu.png" "$TRAY_SHOTS/menu.png"
check_menu_pixels "$E2E_TMP/menu.png" "$mx" "$my"
# The hovered "  Настройки..." is a silver box.
check "the hovered command is highlighted in silver" \
    test "$(count_colour "$E2E_TMP/menu.png" "$((mx + 1 + 24))" "$((my + 1 + 20 + 16))" 80 2 192 192 192 8)" -ge 150

# "  Снимок" with the default count 1 and period 1 s: one capture a second later.
xdotool mousemove "$((mx + 1 + 60))" "$((my + 1 + 10))" click 1
sleep 0.3
check "the menu closes" sh -c "[ -z \"\$(xdotool search --onlyvisible --pid $GADGET_PID 2>/dev/null | while read -r w; do xwininfo -id \$w | grep -q 'Width: 118' && echo \$w; done)\" ]"
wait_for "photo1.jpg" 5 test -s "$GADGET_DIR/screenshot/photo1.jpg"
check "photo1.jpg is a JPEG of the screen" sh -c "identify '$GADGET_DIR/screenshot/photo1.jpg' | grep -q 'JPEG 1024x768'"
sleep 1.5
check "one capture only" test ! -e "$GADGET_DIR/screenshot/photo2.jpg"

# "  Выход": the icon goes, the program ends with exit code 0.
xdotool mousemove "$icx" "$icy" click 3
wait_for "menu" 5 menu_window
read -r mx my _ _ < <(window_geometry "$(menu_window)")
xdotool mousemove "$((mx + 1 + 60))" "$((my + 1 + 90))" click 1
code=0
for _ in $(seq 1 50); do kill -0 "$GADGET_PID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$GADGET_PID" 2>/dev/null; then
    check "the program ends" false
else
    wait "$GADGET_PID" || code=$?
    check_eq "exit code" 0 "$code"
fi
check "the icon is gone from the tray" sh -c "! xwininfo -root -tree | grep -q '\"quibra\"'"
finish
