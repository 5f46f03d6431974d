#!/usr/bin/env bash
# Takes a picture with scripts/screenshot.sh under a dark desktop palette, the
# way a user of a dark Qt desktop sees the program: through qt6ct, the Qt
# platform theme Debian ships, with one of its dark colour schemes. qt6ct reads
# its settings from a directory made for this run, so a setup of your own is
# neither used nor changed.
#
# usage: scripts/screenshot-dark.sh [-p SCHEME] [screenshot.sh options and keys...]
#   -p SCHEME   a colour scheme in /usr/share/qt6ct/colors (default: darker)
#
#   scripts/screenshot-dark.sh -o dark.png -W '^About Zoredev$' alt+h "Down Down" Return
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# shellcheck source=packaging/apt-packages.sh
. "$here/../packaging/apt-packages.sh"
ensure_packages qt6ct

scheme=darker
if [ "${1:-}" = -p ]; then
    scheme="${2:?-p needs a colour scheme}"
    shift 2
fi
scheme_file="/usr/share/qt6ct/colors/$scheme.conf"
[ -f "$scheme_file" ] || {
    echo "no colour scheme $scheme_file" >&2
    exit 2
}

config="$(mktemp -d)"
trap 'rm -rf "$config"' EXIT
mkdir "$config/qt6ct"
# Without custom_palette qt6ct keeps the style's own palette and the scheme is
# not applied.
cat >"$config/qt6ct/qt6ct.conf" <<EOF
[Appearance]
color_scheme_path=$scheme_file
custom_palette=true
EOF

XDG_CONFIG_HOME="$config" QT_QPA_PLATFORMTHEME=qt6ct "$here/screenshot.sh" "$@"
