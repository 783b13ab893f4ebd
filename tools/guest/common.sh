# shellcheck shell=bash
# What the guest scripts share (sourced, not run).

guest_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The files the root is made from: a change to any of them builds it again.
recipe_hash() {
  (cd "$guest_tools" && cat build-root.sh common.sh finish-root.sh guest-init packages packages-32) |
    sha256sum | cut -c 1-16
}

# SECONDS, or fewer so that the limit ends by GUEST_DEADLINE (seconds since the epoch) where
# that is set: .ci/run sets it, so that its whole run keeps inside its time.
within_deadline() { # seconds
  local left
  [ -n "${GUEST_DEADLINE:-}" ] || { echo "$1"; return; }
  left=$((GUEST_DEADLINE - $(date +%s)))
  [ "$left" -ge 60 ] || left=60
  [ "$1" -le "$left" ] && echo "$1" || echo "$left"
}

# The package names of a list file, without its comments.
list_packages() { # file
  sed 's/#.*//' "$1" | xargs
}

# Whether this kernel runs 32-bit code: the host's 32-bit loader (libc6-i386) runs, as
# tools/wine-arch.sh asks it. GUEST_32BIT=no answers no, so that the VM's first boot, which
# finishes the root where the kernel runs no 32-bit code, can be tried anywhere.
runs_32bit_code() {
  [ "${GUEST_32BIT:-}" != no ] && [ -e /lib/ld-linux.so.2 ] &&
    timeout 10 bash -c 'exec /lib/ld-linux.so.2 --version' >/dev/null 2>&1
}

# Runs a command as root inside the root at ROOT, in namespaces of its own: its mounts (/proc,
# /sys, /dev, a fresh /tmp and the GUEST_BIND paths at the same place) vanish with it, and so do
# its processes: the namespace's first process is a shell that waits for the command, and when
# it ends (the command ended, or a TERM came: from timeout, or from unshare when unshare itself
# is killed) the kernel kills every process left in the namespace. "net" keeps the host's
# network (apt needs the mirror); "none" gives it none, nor the host's abstract sockets, so that
# an X server inside never meets the host's. GUEST_BIND names absolute paths, space-separated;
# with GUEST_OVERLAY=1 the root is only read, and what the command writes goes to memory and is
# gone afterwards; GUEST_LIMIT stops it after that many seconds (exit code 124). The
# environment is the root's own.
in_root() { # root net|none command [arg...]
  local root=$1 net=$2 scratch status=0 deadline=()
  shift 2
  local namespaces=(--mount --pid --ipc --uts --fork --kill-child=SIGTERM)
  [ "$net" = none ] && namespaces+=(--net)
  [ -z "${GUEST_LIMIT:-}" ] || deadline=(timeout --kill-after=10 "$GUEST_LIMIT")
  scratch=$(mktemp -d)
  GUEST_BIND=${GUEST_BIND:-} GUEST_OVERLAY=${GUEST_OVERLAY:-} \
    "${deadline[@]}" unshare "${namespaces[@]}" -- bash -c '
    set -e
    trap "exit 143" TERM
    root=$1 scratch=$2
    shift 2
    if [ -n "$GUEST_OVERLAY" ]; then
      mount -t tmpfs tmpfs "$scratch"
      mkdir "$scratch/upper" "$scratch/work" "$scratch/root"
      mount -t overlay overlay \
        -o "lowerdir=$root,upperdir=$scratch/upper,workdir=$scratch/work" "$scratch/root"
      root=$scratch/root
    fi
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    for path in $GUEST_BIND; do
      if [ -d "$path" ]; then
        mkdir -p "$root$path"
      else
        mkdir -p "$(dirname "$root$path")"
        touch "$root$path"
      fi
      mount --bind "$path" "$root$path"
    done
    chroot "$root" /usr/bin/env -i \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
      LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive TERM=dumb "$@" <&0 &
    wait $!' in_root "$root" "$scratch" "$@" || status=$?
  rmdir "$scratch"
  return $status
}
