#!/usr/bin/env bash
# Tries the README's two commands as a new user would: in a fresh minbase chroot
# of the given Debian release with only git added, into which a commit of this
# repository is cloned. With --deb it also builds the Debian package there, checks
# it with lintian, installs it, runs its autopkgtest and removes it again.
#   scripts/fresh-debian.sh bookworm|trixie [COMMIT] [--deb]
# Needs root; the chroot is made anew in /work/chroots/RELEASE each time.
set -euo pipefail
suite="${1:?usage: $0 bookworm|trixie [COMMIT] [--deb]}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
commit="$(git -C "$root" rev-parse "${2:-HEAD}^{commit}")"
dir="/work/chroots/$suite"
mounts=(proc sys dev dev/pts dev/shm)

unmount() {
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        ! mountpoint -q "$dir/${mounts[i]}" || umount -l "$dir/${mounts[i]}"
    done
}
trap unmount EXIT
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
unmount
# --one-file-system: never into a mount a killed run may have left behind.
rm -rf --one-file-system "$dir"
mkdir -p "$dir"
quietly() { "$@" >"$dir.log" 2>&1 || { tail -20 "$dir.log"; return 1; }; }
step "debootstrap" quietly debootstrap --variant=minbase --include=git "$suite" "$dir" \
    http://deb.debian.org/debian
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
# The same check as the package's autopkgtest: the window comes up with its title
# and the program seeds its log in the directory it was started from.
step "./dev.sh run" in_chroot 'timeout 300 xvfb-run -a debian/tests/start x11 "$PWD/dev.sh" run'

[ "${3:-}" = --deb ] || exit 0
step "apt-get build-dep ./" in_chroot 'apt-get build-dep -y -qq ./ >/dev/null'
step "dpkg-buildpackage -us -uc -b" in_chroot 'dpkg-buildpackage -us -uc -b >../build.log 2>&1 || { tail -40 ../build.log; exit 1; }'
in_chroot 'apt-get install -y -qq lintian autopkgtest >/dev/null'
step "lintian" in_chroot 'lintian --fail-on error,warning --display-info ../zoredev_*.changes'
step "apt-get install ./zoredev_*.deb" in_chroot 'apt-get install -y -qq ../zoredev_*.deb >/dev/null; dpkg-query -W zoredev'
step "autopkgtest" in_chroot 'autopkgtest -q ../zoredev_*.deb ./ -- null'
step "apt-get purge zoredev" in_chroot 'apt-get purge -y -qq zoredev >/dev/null; ! dpkg-query -W zoredev 2>/dev/null'
