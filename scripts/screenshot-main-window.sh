#!/usr/bin/env bash
# Renders docs/screenshots/main-window.png, the picture in the README, with
# scripts/screenshot.sh: one outing is typed and logged, a second one typed
# but not logged, so that both frames show figures.
#
#   scripts/screenshot-main-window.sh [ZOREDEV]     default: build/src/Zoredev
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# Backspace turns a box into a selected "0" that the next digit replaces; the
# access key of Log Finds leaves the focus in the pennies box.
logged_outing="BackSpace 2 Tab BackSpace 3 Tab BackSpace 4 7 Tab BackSpace 6 8 Tab BackSpace 2 5 Tab BackSpace 3 1 2"
back_to_dollar_coins="shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab"
latest_outing="BackSpace 0 Tab BackSpace 1 Tab BackSpace 5 Tab BackSpace 1 4 Tab BackSpace 6 Tab BackSpace 3 8"

exec "$here/screenshot.sh" -o "$here/../docs/screenshots/main-window.png" \
    -c "${1:-build/src/Zoredev}" -w '^Zoredev 3\.0\.3$' \
    "$logged_outing" alt+l "$back_to_dollar_coins" "$latest_outing" Tab
