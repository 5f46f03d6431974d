#!/usr/bin/env bash
# The real program in an Xvfb of its own (xvfb-run), worked with real key presses:
# four outings typed, logged and saved or not across restarts, checked byte for byte
# in Basic.LOG.
#   xvfb-run -a -s -noreset outing.sh ZOREDEV VERSION
set -euo pipefail
zoredev="$(realpath "$1")" title="Zoredev $2"
work="$(mktemp -d)"
# Ended itself (ctest's timeout, Ctrl+C), the test ends the program it started too.
trap 'kill ${program:-} 2>/dev/null || true; rm -rf "$work"' EXIT
trap 'exit 1' TERM INT HUP
fail() { echo "FAIL: $*" >&2; cat "$work/out" >&2 2>/dev/null; exit 1; }
# Each wait ends as soon as its condition holds; 20 s only bound a hang.
wait_for() { for _ in $(seq 400); do "$@" && return 0; sleep 0.05; done; return 1; }
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" # mktemp -d made it private
# A Windows build runs under Wine, in the X server Wine was started in; there the
# end of the Windows session stands for the signals that end a Linux one.
run=("$zoredev")
case "$zoredev" in *.exe) run=(wine "$zoredev") ;; esac
end_session() { # SIGNAL
    if [ "${run[0]}" = wine ]; then wineboot --end-session --force; else kill "-$1" "$program"; fi
}

window_shown() { window="$(xdotool search --onlyvisible --name "^${title//./\\.}\$" | head -n 1)"; [ -n "$window" ]; }
box_shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null; }
box_gone() { ! box_shown "$1"; }
ended() { ! kill -0 "$program" 2>/dev/null; }
has_icon() { xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)'; } # Wine sets it late

# launch KEYS...: starts the program, waits for its window and presses the keys.
# The program never outlives the test by more than a minute, even where the test
# itself is killed and its trap never runs: a program that takes SIGTERM (it saves)
# and then hangs is killed ten seconds later, as it is ten seconds after the trap's.
launch() {
    (cd "$work" && exec timeout --foreground --kill-after=10 60 "${run[@]}") >"$work/out" 2>&1 &
    program=$!
    wait_for window_shown || fail "no window titled $title"
    wait_for has_icon || fail "the window has no icon"
    xdotool windowfocus --sync "$window"
    # shellcheck disable=SC2086 # a step may hold several keys
    for keys in "$@"; do xdotool key --delay 30 $keys; done
}
# end HOW: waits for the program to end, as HOW should have made it.
end() {
    wait_for ended || fail "$1 did not end the program"
    wait "$program" || fail "the program exited with an error after $1"
}
# answer TITLE KEY: presses the key in the box once it is shown; the key closes it.
answer() { wait_for box_shown "$1" || fail "no box titled $1"; xdotool key "$2"; wait_for box_gone "$1" || fail "$2 left $1 open"; }
# outing KEYS...: launch, then Save & Exit.
outing() { launch "$@"; xdotool key alt+x; end "Save & Exit"; }

log_is() { [ "$(cat "$work/Basic.LOG")" = "$1" ] || fail "$2: $(od -c "$work/Basic.LOG")"; }

# The focus starts in the dollar coins box; Tab selects a box's text and goes on from
# the pennies to Log Finds, which Space presses.
outing 3 Tab Tab Tab Tab Tab 7 Tab space
log_is $'3\r\n0\r\n0\r\n0\r\n0\r\n7\r' "first save"
# An entry of 1e3 logs a thousand, though the box holds three characters. On the last
# tab, where the buttons are hidden, Alt+L and Alt+X still work.
outing Tab Tab Tab 1 Tab Tab 1 e 3 "ctrl+Tab ctrl+Tab" alt+l
log_is $'3\r\n0\r\n0\r\n1\r\n0\r\n1007\r' "second save"
# Return, Enter and Esc log nothing, and Alt+C clears before Alt+L logs; what File >
# Exit Without Saving leaves behind is not saved.
outing "9 Return KP_Enter Escape alt+c alt+l"
outing 5 Tab Tab Tab Tab Tab Tab space "alt+f x"
log_is $'3\r\n0\r\n0\r\n1\r\n0\r\n1007\r' "third and fourth outing"
# Enter takes the question's default, No, and Esc says No: the log is not erased.
# Saving over what another window saved meanwhile asks first; Alt+K keeps both.
launch 2 alt+l "alt+o Up Return"
answer "Confirm Requested Action" Return
xdotool windowfocus --sync "$window" key --delay 30 alt+o Up Return
answer "Confirm Requested Action" Escape
printf '4\r\n0\r\n0\r\n1\r\n0\r\n1007\r\n' >"$work/Basic.LOG"
xdotool windowfocus --sync "$window" key alt+x
answer "Log File Changed" alt+k
end "Keep Both"
log_is $'6\r\n0\r\n0\r\n1\r\n0\r\n1007\r' "Keep Both"
# The session ending (SIGTERM), here while a box is open, saves what was logged
# without a question, on top of what another window saved meanwhile (a dollar coin).
# SIGHUP with nothing logged writes nothing: the seed form stays.
launch 2 alt+l "alt+h Return"
wait_for xdotool search --onlyvisible --name '^Zoredev$' || fail "no Quick Help box"
printf '4\r\n0\r\n0\r\n1\r\n0\r\n1007\r\n' >"$work/Basic.LOG"
end_session TERM
end SIGTERM
log_is $'6\r\n0\r\n0\r\n1\r\n0\r\n1007\r' "SIGTERM"
rm "$work/Basic.LOG"
launch 7
end_session HUP
end SIGHUP
log_is $' 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r' "SIGHUP"
