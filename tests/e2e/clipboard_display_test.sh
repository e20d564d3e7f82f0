#!/usr/bin/env bash
# Texts copied by another program appear in the strips; unchanged strips stay still.
. "$(dirname "$0")/lib.sh"
start_x 1024x768
start_wm
start_gadget
read -r x y w h < <(window_geometry "$GADGET_WIN")

# A strip's pixels, cropped from a fresh screenshot.
strip() { # name left top width
    screenshot "$E2E_TMP/s.png"
    convert "$E2E_TMP/s.png" -crop "${4}x20+$((x + $2))+$((y + $3))" +repage "$E2E_TMP/$1.png"
}
pink() { count_colour "$E2E_TMP/$1.png" 0 0 "$2" 20 251 189 192 60; }
copy() { printf '%s' "$1" | xclip -selection clipboard; sleep 1.6; }

sleep 1.5
strip empty_top 36 35 120
check "an empty clipboard shows ??? in the top strip" test "$(pink empty_top 120)" -gt 10

copy '2+3*4'
strip expr_top 36 35 120
strip expr_mid 57 94 80
strip expr_bot 36 152 120
check "the value is shown" test "$(pink expr_top 120)" -gt 10
check "the kind is shown" test "$(pink expr_mid 80)" -gt 10
check "the hexadecimal line is shown" test "$(pink expr_bot 120)" -gt 5

copy '0x1F'
strip hex_top 36 35 120
strip hex_mid 57 94 80
check "a new value changes the top strip" \
    test "$(compare -metric AE "$E2E_TMP/expr_top.png" "$E2E_TMP/hex_top.png" null: 2>&1)" -gt 0
check_eq "the kind strip stays as it was" 0 \
    "$(compare -metric AE "$E2E_TMP/expr_mid.png" "$E2E_TMP/hex_mid.png" null: 2>&1)"

# Two texts with the same value look the same.
copy '31'
strip again_top 36 35 120
check_eq "31 looks like 0x1F" 0 \
    "$(compare -metric AE "$E2E_TMP/hex_top.png" "$E2E_TMP/again_top.png" null: 2>&1)"

check_eq "no error was reported" "" "$(grep -v XDG_RUNTIME_DIR "$GADGET_DIR/stderr" || true)"
finish
