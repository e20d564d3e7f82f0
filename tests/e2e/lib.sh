# Shared pieces of the end-to-end tests: a private X server, a window manager, a tray host,
# the gadget itself, and checks. Source it; every test script runs in its own shell.
set -euo pipefail

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/quibra-e2e.XXXXXX")
E2E_PIDS=()
E2E_FAILS=0
export DBUS_SESSION_BUS_ADDRESS=disabled:
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

e2e_cleanup() {
    local i p
    # Last started first: the X server goes after its clients.
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        p=${E2E_PIDS[i]}
        kill -CONT "$p" 2>/dev/null || true
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# start_x [WIDTHxHEIGHT]: a private Xvfb on a free display number.
start_x() {
    local size=${1:-1024x768} n
    for n in $(seq 40 200); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 "${size}x24" -noreset -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    export DISPLAY=":$n"
    wait_for "X server" 10 xdpyinfo
}

start_wm() {
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for "window manager" 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
}

start_tray() {
    trayer --edge top --align right --widthtype pixel --width 120 --height 32 \
        --SetDockType true --transparent false >"$E2E_TMP/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for "tray host" 10 sh -c 'xdotool search --class trayer >/dev/null'
}

# start_gadget: runs a copy of the program in a folder of its own, so its captures land there.
# Sets GADGET_PID, GADGET_DIR, GADGET_WIN; stderr goes to $GADGET_DIR/stderr.
start_gadget() {
    GADGET_DIR="$E2E_TMP/gadget"
    mkdir -p "$GADGET_DIR"
    cp "$QUIBRA" "$GADGET_DIR/quibra"
    "$GADGET_DIR/quibra" >"$GADGET_DIR/stdout" 2>"$GADGET_DIR/stderr" &
    GADGET_PID=$!
    E2E_PIDS+=($GADGET_PID)
    wait_for "gadget window" 15 find_gadget_window
    GADGET_WIN=$(find_gadget_window)
}

# find_gadget_window: the gadget's own 192 x 200 window (the tray icon's window and Qt's
# hidden ones carry the same name).
find_gadget_window() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$GADGET_PID" --name '^Quibra$' 2>/dev/null); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Width: 192' &&
            xwininfo -id "$id" 2>/dev/null | grep -q 'Height: 200'; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# error_box: the visible error message box of the gadget, if any.
error_box() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$GADGET_PID" --name '^Quibra$' 2>/dev/null); do
        [ "$id" = "$GADGET_WIN" ] && continue
        xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
        xwininfo -id "$id" 2>/dev/null | grep -qE 'Width: (1|[0-9]{1,2})$' && continue
        echo "$id"
        return 0
    done
    return 1
}

# dismiss_error_box: presses Return in the error box.
dismiss_error_box() {
    local box
    box=$(error_box) || return 0
    xdotool windowactivate "$box" 2>/dev/null || true
    sleep 0.3
    xdotool key Return
    sleep 0.3
}

# wait_for WHAT SECONDS COMMAND...: retries the command every 0.1 s.
wait_for() {
    local what=$1 limit=$2 i
    shift 2
    for i in $(seq 1 $((limit * 10))); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    echo "FAIL: no $what after ${limit}s" >&2
    exit 1
}

# window_geometry WIN: prints "X Y W H" of a window in root coordinates.
window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok   - $what"
    else
        echo "FAIL - $what" >&2
        E2E_FAILS=$((E2E_FAILS + 1))
    fi
}

not() { ! "$@"; }

check_eq() { # check_eq DESCRIPTION EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then
        echo "ok   - $1"
    else
        echo "FAIL - $1: expected '$2', got '$3'" >&2
        E2E_FAILS=$((E2E_FAILS + 1))
    fi
}

finish() {
    if ((E2E_FAILS)); then
        echo "$E2E_FAILS check(s) failed" >&2
        [ -n "${GADGET_DIR:-}" ] && { echo "--- gadget stderr:" >&2; cat "$GADGET_DIR/stderr" >&2; }
        exit 1
    fi
    echo "all checks passed"
}

# screenshot FILE: the whole screen as PNG.
screenshot() { import -window root "$1"; }

# count_colour FILE X Y W H R G B TOLERANCE: pixels of that colour in the rectangle.
count_colour() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 txt:- | tail -n +2 |
        sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3/' |
        awk -v r="$6" -v g="$7" -v b="$8" -v t="$9" '{
            dr=$1-r; dg=$2-g; db=$3-b; if (dr<0) dr=-dr; if (dg<0) dg=-dg; if (db<0) db=-db;
            if (dr<=t && dg<=t && db<=t) n++ } END {print n+0}'
}
