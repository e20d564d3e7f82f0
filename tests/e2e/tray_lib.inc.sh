# Helpers of the tray tests: the gadget's, the icon's and the menu's windows, and the menu's look.

# The icon's window: the program's window inside the tray host's panel.
icon_window() {
    local panel
    panel=$(xdotool search --class trayer | while read -r p; do
        xwininfo -id "$p" -tree | grep -q '"quibra"' && echo "$p"
    done | head -n 1)
    [ -n "$panel" ] || return 1
    xwininfo -id "$panel" -tree | awk '/"quibra"/ {print $1; exit}'
}

icon_embedded() {
    xdotool search --class trayer | while read -r p; do xwininfo -id "$p" -tree; done |
        grep -q "^ *$1 "
}

# The open menu: a visible window of the program, 118 × 102.
menu_window() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$GADGET_PID" 2>/dev/null); do
        if xwininfo -id "$w" | grep -q 'Width: 118' && xwininfo -id "$w" | grep -q 'Height: 102'; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

gadget_hidden() { ! xdotool search --onlyvisible --pid "$GADGET_PID" --name '^Quibra$' | grep -qx "$GADGET_WIN"; }
gadget_shown() { xdotool search --onlyvisible --pid "$GADGET_PID" --name '^Quibra$' | grep -qx "$GADGET_WIN"; }

# check_menu_pixels SHOT X Y: the band (white at the top, sky blue at the bottom) and the texts.
check_menu_pixels() {
    local shot=$1 x=$(($2 + 1)) y=$(($3 + 1))
    check "the band ends in sky blue at the bottom left" \
        test "$(count_colour "$shot" "$x" "$((y + 97))" 4 3 9 184 249 40)" -ge 6
    check "the band starts white at the top left" \
        test "$(count_colour "$shot" "$x" "$y" 4 2 255 255 255 12)" -ge 6
    check "a teal divider line from x 22 to 114" \
        test "$(count_colour "$shot" "$((x + 22))" "$((y + 44))" 93 1 0 128 128 0)" -eq 93
    check "nothing of it at x 115" \
        test "$(count_colour "$shot" "$((x + 115))" "$((y + 44))" 1 1 0 128 128 0)" -eq 0
    local row
    for row in 0 50 80; do
        check "dark text ink in the command at row $row" \
            test "$(count_colour "$shot" "$((x + 23))" "$((y + row + 2))" 84 13 0 0 0 90)" -ge 20
    done
}
