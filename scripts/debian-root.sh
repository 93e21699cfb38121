#!/usr/bin/env bash
# Runs a command as root in a fresh, minimal Debian root of SUITE (bookworm,
# trixie). The base comes from debootstrap once and is kept as
# build/roots/SUITE.tar; each run unpacks it into its own folder and removes it
# afterwards. Inside are /proc, /sys, /dev, /dev/pts, /dev/shm, the project
# folder at /project (read-write: what a command writes there stays), apt
# sources for Debian's archive (SUITE, its updates and security) and the
# host's resolv.conf. The command starts in /project with a clean environment.
# Everything runs in a private mount namespace and is unmounted on every way
# out (failure, signal).
# Exits with the command's status, or 77 when Debian's archive cannot be reached.
# Usage: scripts/debian-root.sh SUITE -- CMD [ARGS...]
set -euo pipefail
project=$(cd "$(dirname "$0")/.." && pwd)
archive=http://deb.debian.org

if [ $# -lt 3 ] || [ "$2" != "--" ]; then
  echo "usage: $0 SUITE -- CMD [ARGS...]" >&2
  exit 2
fi
suite=$1
shift 2

# Mounts made here, and any debootstrap leaves behind, vanish with the
# namespace even if this script is killed outright.
if [ -z "${DEBIAN_ROOT_PRIVATE:-}" ]; then
  DEBIAN_ROOT_PRIVATE=1 exec unshare --mount --propagation private -- bash "$0" "$suite" -- "$@"
fi

roots=$project/build/roots
base=$roots/$suite.tar
mkdir -p "$roots"
scratch=()

unmount_under() {
  findmnt -rn -o TARGET | awk -v d="$1/" 'index($0 "/", d) == 1' | sort -r |
    while read -r m; do umount "$m" 2>/dev/null || umount --lazy "$m"; done
}

cleanup() {
  local dir p
  for dir in "${scratch[@]}"; do
    # Whatever the command left running in the root goes first; it would
    # hold the mounts.
    {
      for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root")" = "$dir" ] && kill -KILL "${p#/proc/}"
      done
      wait
    } 2> /dev/null
    unmount_under "$dir"
    if findmnt -rn -o TARGET | grep -q -F "$dir/"; then
      echo "debian-root: still mounted under $dir:" >&2
      findmnt -rn -o TARGET | grep -F "$dir/" >&2
    else
      rm -rf --one-file-system "$dir"
    fi
  done
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Runs a command in the background so that a signal's trap runs at once rather
# than after the command; the command keeps this script's input.
run_interruptibly() {
  "$@" <&0 &
  wait $!
}

if ! command -v debootstrap > /dev/null; then
  bash "$project/scripts/install-missing.sh" debian-root debootstrap || {
    echo "debian-root: skipped: debootstrap is not installed and cannot be" >&2
    exit 77
  }
fi
if ! wget -q --spider --timeout=20 "$archive/debian/dists/$suite/Release"; then
  echo "debian-root: skipped: Debian's archive ($archive) cannot be reached or has no $suite" >&2
  exit 77
fi

exec 9> "$roots/$suite.lock"
flock 9
if [ ! -f "$base" ]; then
  echo "debian-root: making the $suite base with debootstrap (once; kept as $base)" >&2
  made=$(mktemp -d "$roots/$suite.base.XXXXXX")
  scratch+=("$made")
  run_interruptibly debootstrap --variant=minbase "$suite" "$made" "$archive/debian" > "$roots/$suite.log" 2>&1 || {
    echo "debian-root: debootstrap failed; its log is $roots/$suite.log" >&2
    exit 1
  }
  tar -C "$made" -cf "$base.part" . && mv "$base.part" "$base"
fi
exec 9>&-

root=$(mktemp -d "$roots/$suite.run.XXXXXX")
scratch+=("$root")
tar -C "$root" -xf "$base"
chmod 755 "$root"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
cat > "$root/etc/apt/sources.list" << EOF
deb $archive/debian $suite main
deb $archive/debian $suite-updates main
deb $archive/debian-security $suite-security main
EOF
# Packages installed in the root start no services.
printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
mkdir -p "$root/project"

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs shm "$root/dev/shm"
mount --bind "$project" "$root/project"

run_interruptibly env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" DEBIAN_FRONTEND=noninteractive \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  chroot "$root" /bin/sh -c 'cd /project && exec "$@"' debian-root "$@"
