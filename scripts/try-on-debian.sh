#!/usr/bin/env bash
# For contributors: runs the README's two commands, as root, from a fresh clone of this
# checkout's HEAD in a fresh minimal chroot of a Debian release, the way a new user of that
# release would, and counts the compiler warnings. Needs root (debootstrap and chroot) and the
# network; installs debootstrap when it is missing.
#
#   scripts/try-on-debian.sh RELEASE [FOLDER]
#
# RELEASE is a Debian code name (bookworm, trixie ...). FOLDER (default: a new one under
# /var/tmp) receives the chroot, which is left in place; the output of both commands is also
# written to FOLDER.log.
set -euo pipefail

release=${1:?usage: scripts/try-on-debian.sh RELEASE [FOLDER]}
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
[ "$(id -u)" -eq 0 ] || { echo "This needs root, for debootstrap and chroot." >&2; exit 1; }
command -v debootstrap >/dev/null || apt-get install -y --no-install-recommends debootstrap
root=${2:-$(mktemp -d "/var/tmp/scaricometro-$release.XXXXXX")}
log="$root.log"
# The archives this machine's apt uses, for the other release too.
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
mirror=$(required_debian_archive "$codename")
security=$(debian_archive "$codename-security" || true)

debootstrap --variant=minbase "$release" "$root" "$mirror"
# What a fresh installation of the release reads: the release, its updates and its security fixes.
cat >"$root/etc/apt/sources.list" <<SOURCES
deb $mirror $release main
deb $mirror $release-updates main
${security:+deb $security $release-security main}
SOURCES
cp /etc/resolv.conf "$root/etc/resolv.conf"

mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" || true; done
}
trap unmount_all EXIT
for target in proc sys dev dev/pts; do
    mount --bind "/$target" "$root/$target"
    mounted+=("$root/$target")
done

git clone --quiet "$project_dir" "$root/root/scaricometro"
echo "Running the README's commands on Debian $release in $root (log: $log)"
set +e
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    /bin/bash -c 'cd /root/scaricometro && ./scripts/run.sh && ./scripts/test.sh' 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e
echo "Debian $release: exit status $status, $(grep -c -E ': warning: ' "$log" || true) compiler warnings"
exit "$status"
