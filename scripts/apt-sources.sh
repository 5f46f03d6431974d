#!/usr/bin/env bash
# Prints this machine's own apt "deb" entries for its Debian release, one a line in
# the one-line form "deb URI SUITE COMPONENT...", read from sources.list and
# sources.list.d, one-line (.list) and deb822 (.sources). The scripts learn the
# machine's mirror here and nowhere else, and never write to /etc/apt.
set -euo pipefail
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-stable}")"
shopt -s nullglob
files=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && files+=("$f")
done
[ ${#files[@]} -gt 0 ] || exit 0
awk -v want="^($codename|stable|testing|unstable|sid)(-[a-z]+)?\$" '
    function take(uris, suites, components,   u, s, i, j) {
        split(uris, u, " "); split(suites, s, " ")
        for (i = 1; i in s; i++) if (s[i] ~ want) for (j = 1; j in u; j++) if (u[j] ~ /^https?:\/\//)
            print "deb", u[j], s[i], components
    }
    function paragraph() {
        if (types ~ /(^| )deb( |$)/ && enabled != "no") take(uris, suites, components)
        types = uris = suites = components = enabled = ""
    }
    FNR == 1 { paragraph() }
    FILENAME !~ /\.sources$/ {
        sub(/#.*/, ""); sub(/\[[^]]*\]/, "")
        if ($1 == "deb") { uri = $2; suite = $3; $1 = $2 = $3 = ""; sub(/^ +/, ""); take(uri, suite, $0) }
        next
    }
    /^[ \t]*#/ { next }
    /^[ \t]*$/ { paragraph(); next }
    { field = tolower($1); $1 = ""; sub(/^ +/, "") }
    field == "types:" { types = $0 }
    field == "uris:" { uris = $0 }
    field == "suites:" { suites = $0 }
    field == "components:" { components = $0 }
    field == "enabled:" { enabled = tolower($0) }
    END { paragraph() }' "${files[@]}"
