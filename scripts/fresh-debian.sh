#!/usr/bin/env bash
# Tries the README's two commands as a new user would: in a fresh minbase chroot
# of the given Debian release with only git added, into which this repository's
# HEAD is cloned. With --deb it also builds the Debian package there, checks it
# with lintian, installs it, runs its autopkgtest and removes it again.
#   scripts/fresh-debian.sh RELEASE [DIR] [--deb]
# Needs root. The chroot is made in DIR, which must be empty or missing and is
# kept; without DIR in a temporary folder removed at the end. Packages come from
# the Debian mirror this machine's own apt sources name.
set -euo pipefail
usage="usage: $0 RELEASE [DIR] [--deb]"
suite="${1:?$usage}" dir="" deb=""
for arg in "${@:2}"; do
    case "$arg" in
    --deb) deb=1 ;;
    -*) echo "$usage" >&2; exit 2 ;;
    *) dir="$arg" ;;
    esac
done
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
commit="$(git -C "$root" rev-parse HEAD)"
temporary=""
[ -n "$dir" ] || dir="$(mktemp -d)" temporary=1
mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
[ -z "$(ls -A "$dir")" ] || { echo "$dir is not empty" >&2; exit 2; }
log="$(mktemp)"
mounts=(proc sys dev dev/pts dev/shm)

# The mirror of the first "deb" entry for this machine's own release, not its
# updates or security suites.
mirror="$("$root/scripts/apt-sources.sh" | awk '$3 !~ /-/ { print $2; exit }')"
[ -n "$mirror" ] || { echo "no Debian mirror for this release in /etc/apt/sources*" >&2; exit 1; }

unmount() {
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        ! mountpoint -q "$dir/${mounts[i]}" || umount -l "$dir/${mounts[i]}"
    done
}
# --one-file-system: never into a mount that is still there.
cleanup() {
    unmount
    rm -f "$log"
    [ -z "$temporary" ] || rm -rf --one-file-system "$dir"
}
trap cleanup EXIT
step() { # title command...
    local start=$SECONDS status=0
    echo "== $suite: $1"
    "${@:2}" || status=$?
    echo "== $suite: $1: $([ $status -eq 0 ] && echo passed || echo "FAILED ($status)") in $((SECONDS - start)) s"
    return $status
}
in_chroot() { # script
    chroot "$dir" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        bash -euc "cd /root/zoredev; $1"
}

command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap
quietly() { "$@" >"$log" 2>&1 || { tail -20 "$log"; return 1; }; }
# debootstrap leaves the chroot's sources.list naming the same mirror, for dev.sh and
# apt-get build-dep.
step "debootstrap" quietly debootstrap --variant=minbase --include=git "$suite" "$dir" "$mirror"
for m in "${mounts[@]}"; do mount --bind "/$m" "$dir/$m"; done
cp /etc/resolv.conf "$dir/etc/resolv.conf"
git clone -q --no-checkout "$root" "$dir/root/zoredev"
git -C "$dir/root/zoredev" checkout -q "$commit"
echo "== $suite: $(git -C "$root" log -1 --format='%h %s' "$commit")"

# First on the bare machine: it must install what it needs itself. Offscreen, as
# there is no display yet; the program is up once it has seeded its log.
step "./dev.sh run, first" in_chroot 'QT_QPA_PLATFORM=offscreen ./dev.sh run >../run.log 2>&1 & p=$!
    for _ in $(seq 1800); do [ -s Basic.LOG ] && break; kill -0 $p || break; sleep 0.5; done
    kill $p || true
    cmp Basic.LOG <(printf " 0 \r\n%.0s" 1 2 3 4 5 6) || { tail ../run.log; exit 1; }; rm Basic.LOG'
step "./dev.sh test" in_chroot './dev.sh test'
# The same check as the package's autopkgtest, which reads the version with
# dpkg-dev: the window comes up with its title and the program seeds its log in
# the directory it was started from.
step "./dev.sh run" in_chroot 'apt-get install -y -qq --no-install-recommends dpkg-dev >/dev/null
    timeout 300 xvfb-run -a debian/tests/start x11 "$PWD/dev.sh" run'

[ -n "$deb" ] || exit 0
step "apt-get build-dep ./" in_chroot 'apt-get build-dep -y -qq ./ >/dev/null'
step "dpkg-buildpackage -us -uc -b" in_chroot 'dpkg-buildpackage -us -uc -b >../build.log 2>&1 || { tail -40 ../build.log; exit 1; }
    grep -E "^[0-9]+% tests passed" ../build.log'
in_chroot 'apt-get install -y -qq lintian autopkgtest >/dev/null'
step "lintian" in_chroot 'lintian --fail-on error,warning --display-info ../zoredev_*.changes'
step "apt-get install ./zoredev_*.deb" in_chroot 'apt-get install -y -qq ../zoredev_*.deb >/dev/null; dpkg-query -W zoredev'
step "autopkgtest" in_chroot 'autopkgtest -q ../zoredev_*.deb ./ -- null'
step "apt-get purge zoredev" in_chroot 'apt-get purge -y -qq zoredev >/dev/null; ! dpkg-query -W zoredev 2>/dev/null'
