#!/usr/bin/env bash
# Drives the built Zoredev in its own Xvfb with real key presses, the way a
# user works it, and checks what it leaves in Basic.LOG byte for byte: a first
# start and two logged outings saved, the close control writing nothing, and
# two saves that fail (a directory in the log's place, a file size limit)
# without ending the program or touching the file.
#
#   e2e_main_window.sh ZOREDEV XWINDOW_TOOL
#
# There is no window manager to hand out the keyboard focus, so the functions
# below give it to each window they wait for.
set -euo pipefail

zoredev="$(realpath "$1")"
xwindow_tool="$(realpath "$2")"
scratch="$(mktemp -d)"
trap cleanup EXIT

# Only bounds a hang: every wait ends as soon as what it waits for happens.
limit=20

xvfb_pid=
program_pid=
main_window=

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$scratch/program.out" ]; then
        echo "--- program output:" >&2
        cat "$scratch/program.out" >&2
    fi
    exit 1
}

# Runs "$@" every 50 ms until it succeeds, for at most limit seconds.
wait_until() {
    local deadline=$((SECONDS + limit))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

xvfb_reported_display() {
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended: $(cat "$scratch/xvfb.log")"
    [ -s "$scratch/display" ]
}

# Starts Xvfb on a display number it picks itself, so runs in parallel never meet.
start_xvfb() {
    mkdir -m 700 "$scratch/runtime"
    # Without -noreset the server resets whenever its last client leaves, and a
    # client connecting meanwhile is refused: the next program would fail to start.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
        3>"$scratch/display" 2>"$scratch/xvfb.log" &
    xvfb_pid=$!
    wait_until xvfb_reported_display || fail "Xvfb reported no display within ${limit}s"
    DISPLAY=":$(cat "$scratch/display")"
    export DISPLAY
    wait_until xdpyinfo >/dev/null 2>&1 || fail "display $DISPLAY does not answer"
    export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$scratch/runtime"
    unset WAYLAND_DISPLAY
}

# Ends the program and Xvfb, whatever state they are in.
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}

# An exited child stays a zombie until waited for, and kill -0 still finds it.
program_running() {
    local state
    state="$(cut -d ' ' -f 3 "/proc/$program_pid/stat" 2>/dev/null)" || return 1
    [ "$state" != Z ]
}

# start_program DIR [ignore-xfsz]: starts Zoredev in DIR and waits for its
# main window, which then has the keyboard focus.
start_program() {
    local dir="$1" ignore_xfsz="${2:-}"
    (
        cd "$dir" || exit 1
        # Ignored signals stay ignored across exec, so a file size limit makes
        # write() fail instead of killing the program.
        if [ "$ignore_xfsz" = ignore-xfsz ]; then trap '' XFSZ; fi
        exec "$zoredev"
    ) >"$scratch/program.out" 2>&1 &
    program_pid=$!
    wait_until main_window_shown || fail "no window titled \"Zoredev 3.0.3\" within ${limit}s"
    focus_main_window
}

main_window_shown() {
    program_running || fail "the program ended before its window showed"
    main_window="$(xdotool search --onlyvisible --name '^Zoredev 3\.0\.3$' 2>/dev/null | head -n 1)"
    [ -n "$main_window" ]
}

focus_main_window() {
    timeout "$limit" xdotool windowfocus --sync "$main_window" ||
        fail "cannot focus the main window"
}

main_window_visible() {
    xwininfo -id "$main_window" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# Prints the visible message box, if there is one. Its title is the program's
# name alone; the open menus carry that name too, but are no dialogs.
visible_message_box() {
    local window
    for window in $(xdotool search --onlyvisible --name '^Zoredev$' 2>/dev/null); do
        if xprop -id "$window" _NET_WM_WINDOW_TYPE 2>/dev/null |
            grep -q _NET_WM_WINDOW_TYPE_DIALOG; then
            echo "$window"
            return 0
        fi
    done
    return 1
}

no_message_box() {
    ! visible_message_box >/dev/null
}

# Waits for a message box, answers it with Return and waits until it is gone;
# the main window gets the focus back.
dismiss_message_box() { # what
    local box
    wait_until visible_message_box >/dev/null || fail "no message box: $1"
    box="$(visible_message_box)"
    timeout "$limit" xdotool windowfocus --sync "$box" || fail "cannot focus the message box"
    xdotool key Return
    wait_until no_message_box || fail "the message box stayed open: $1"
    program_running || fail "the program ended after the message box: $1"
    focus_main_window
}

program_ended() {
    ! program_running
}

# Waits until the program has ended and returns its exit status.
wait_for_program_end() {
    wait_until program_ended || fail "the program is still running after ${limit}s"
    local status=0
    wait "$program_pid" || status=$?
    program_pid=
    return "$status"
}

# A checksum of a rectangle given in hundredths of the main window's size.
main_window_checksum() { # left top right bottom
    local WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$main_window" | grep -E '^(WIDTH|HEIGHT)=')"
    "$xwindow_tool" checksum "$main_window" $((WIDTH * $1 / 100)) $((HEIGHT * $2 / 100)) \
        $((WIDTH * ($3 - $1) / 100)) $((HEIGHT * ($4 - $2) / 100))
}

# The save form of six counts, dollar coins first.
save_form() {
    printf '%s\r\n' "$@"
}

seed_form() {
    printf ' 0 \r\n%.0s' 1 2 3 4 5 6
}

# Types six entries of digits into the boxes from dollar coins to pennies,
# moving on with Tab; the focus must be in the dollar coins box. Backspace
# first empties each box, which the program turns back into a selected "0"
# that the next digit replaces. A digit's key name is the digit itself, so one
# xdotool run presses every key.
enter_outing() {
    local keys=() entry i
    for entry in "$@"; do
        [ "${#keys[@]}" -eq 0 ] || keys+=(Tab)
        keys+=(BackSpace)
        for ((i = 0; i < ${#entry}; i++)); do
            keys+=("${entry:i:1}")
        done
    done
    xdotool key "${keys[@]}"
}


# check_log DIR WHAT: Basic.LOG in DIR must equal $scratch/expected.
check_log() {
    if ! cmp "$scratch/expected" "$1/Basic.LOG"; then
        echo "expected:" >&2
        od -c "$scratch/expected" >&2
        echo "found:" >&2
        od -c "$1/Basic.LOG" >&2 || true
        fail "$2"
    fi
}

# No temporary file of an atomic write may be left beside the log.
only_log_in() {
    local entries
    entries="$(ls -A "$1")"
    [ "$entries" = Basic.LOG ] || fail "$2: the directory holds: $(echo "$entries" | tr '\n' ' ')"
}

work_dir() {
    mktemp -d "$scratch/$1.XXXXXX"
}

# enter_outing leaves the focus in the pennies box, and a button's access key
# clicks it without taking the focus; Shift+Tab walks back up the boxes.
back_to_first_box() {
    xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
}

# Only the Logged Finds frame, on the left half of the window, which nothing
# but logging repaints.
logged_frame_checksum() {
    main_window_checksum 3 25 45 85
}

logged_frame_changed_from() {
    [ "$(logged_frame_checksum)" != "$1" ]
}

# Presses Alt+L and waits until the logged counts are repainted: the button
# clicks a moment after its access key, so only the repaint shows the finds
# have been logged.
log_finds() {
    local before
    before="$(logged_frame_checksum)"
    xdotool key alt+l
    wait_until logged_frame_changed_from "$before" ||
        fail "Alt+L did not change the Logged Finds frame within ${limit}s"
}

exit_without_saving() {
    xdotool key alt+f x
}

expect_clean_exit() {
    local status=0
    wait_for_program_end || status=$?
    [ "$status" -eq 0 ] || fail "$1: the program ended with status $status"
}

scenario() {
    echo "== [$SECONDS s] $*"
}

start_xvfb
started=$SECONDS

scenario "first start, two outings logged, a third typed but not logged, Save & Exit"
dir="$(work_dir first-start)"
start_program "$dir"
seed_form >"$scratch/expected"
check_log "$dir" "the first start did not seed the log with six \" 0 \" lines"
# 123 and 1255: a box refuses the third digit, the pennies box the fourth.
enter_outing 3 1 123 7 4 1255
log_finds
check_log "$dir" "Log Finds wrote the log"
back_to_first_box
enter_outing 2 0 5 10 0 40
log_finds
back_to_first_box
enter_outing 9 9 9 9 9 9
xdotool key alt+x
expect_clean_exit "Save & Exit"
save_form 5 1 17 17 4 165 >"$scratch/expected"
check_log "$dir" "Save & Exit did not save the two logged outings alone"
only_log_in "$dir" "after Save & Exit"

scenario "finds logged, then the window's close control"
dir="$(work_dir close-control)"
save_form 4 1 22 37 19 250 >"$dir/Basic.LOG"
cp "$dir/Basic.LOG" "$scratch/expected"
start_program "$dir"
enter_outing 3 0 2 0 0 11
log_finds
"$xwindow_tool" close "$main_window"
expect_clean_exit "closing the window"
check_log "$dir" "closing the window changed the log"
only_log_in "$dir" "after closing the window"

scenario "a directory named Basic.LOG: reported at start and on saving, then Exit Without Saving"
dir="$(work_dir directory-log)"
mkdir "$dir/Basic.LOG"
start_program "$dir"
dismiss_message_box "a directory named Basic.LOG at start"
enter_outing 1 2 3 4 5 6
log_finds
xdotool key alt+x
dismiss_message_box "Save & Exit onto a directory named Basic.LOG"
main_window_visible || fail "the main window closed after a failed save"
# Still working: another outing is logged after the failure.
back_to_first_box
enter_outing 1 0 0 0 0 0
log_finds
exit_without_saving
expect_clean_exit "Exit Without Saving"
if [ ! -d "$dir/Basic.LOG" ] || [ -n "$(ls -A "$dir/Basic.LOG")" ]; then
    fail "the directory named Basic.LOG was changed"
fi
only_log_in "$dir" "after the failed save"

scenario "a file size limit makes the save fail; lifted, Save & Exit keeps every count"
dir="$(work_dir size-limit)"
save_form 4 1 22 37 19 250 >"$dir/Basic.LOG"
cp "$dir/Basic.LOG" "$scratch/expected"
start_program "$dir" ignore-xfsz
enter_outing 10 20 30 40 50 600
log_finds
# Eight bytes: the first write is cut short, the next one fails.
prlimit --pid "$program_pid" --fsize=8:
xdotool key alt+x
dismiss_message_box "Save & Exit beyond the file size limit"
check_log "$dir" "a save that failed changed the log"
only_log_in "$dir" "after a save that failed"
prlimit --pid "$program_pid" --fsize=unlimited:
xdotool key alt+x
expect_clean_exit "Save & Exit once the limit was lifted"
save_form 14 21 52 77 69 850 >"$scratch/expected"
check_log "$dir" "the save after a failed one lost counts"
only_log_in "$dir" "after the second save"

echo "PASS: 4 scenarios in $((SECONDS - started))s"
