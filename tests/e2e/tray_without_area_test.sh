#!/usr/bin/env bash
# No notification area: the gadget still starts and the right button on it opens the menu;
# once a tray host starts, the icon appears and the right button on the gadget does nothing.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/tray_lib.inc.sh"
start_x 1024x768
start_wm
start_gadget
check "the gadget starts without a tray host" gadget_shown
read -r gx gy _ _ < <(window_geometry "$GADGET_WIN")

xdotool mousemove "$((gx + 100))" "$((gy + 80))" click 3
wait_for "menu on the gadget" 5 menu_window
read -r mx my _ _ < <(window_geometry "$(menu_window)")
check_eq "opened at the pointer" "$((gx + 100)) $((gy + 80))" "$mx $my"
screenshot "$E2E_TMP/menu.png"
check_menu_pixels "$E2E_TMP/menu.png" "$mx" "$my"
xdotool key Escape
sleep 0.4
check "Escape closes it" test -z "$(menu_window || true)"
check "still running" kill -0 "$GADGET_PID"

# The tray host starts later: the icon embeds by itself.
start_tray
wait_for "tray icon after the host started" 10 icon_window
check "the icon is embedded in the tray host" icon_embedded "$(icon_window)"
xdotool mousemove "$((gx + 100))" "$((gy + 80))" click 3
sleep 0.8
check "with a tray the right button on the gadget opens nothing" test -z "$(menu_window || true)"
check "still running" kill -0 "$GADGET_PID"
finish
