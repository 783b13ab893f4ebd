#!/usr/bin/env bash
# Runs a command inside the guest root (tools/guest/build-root.sh), where the 32-bit product runs:
#   tools/guest/run.sh GUEST-DIR OUT-DIR [--share PATH]... [--skip PATH]... -- COMMAND [ARG...]
# GUEST says how to enter the root:
#   chroot  on a kernel that runs 32-bit code: a chroot in namespaces of its own (no network,
#           its own processes, mounts and /tmp), the root only read; the shared paths and OUT-DIR
#           are mounted at the same place, so what the command writes there stays
#   vm      anywhere: QEMU boots the root's Debian kernel on GUEST-DIR/root.img
#           (tools/guest/image.sh), with KVM when it works (GUEST_ACCEL=kvm or tcg chooses);
#           the shared paths are copied into the guest at the same place (without PATHs given
#           by --skip, CMake's work folders, object files, static libraries and Wine prefixes),
#           and OUT-DIR is copied back
# The command runs in the current directory (which must be shared) as root, with the root's
# environment (give it more with env VAR=VALUE ...). OUT-DIR is emptied first. The run is
# stopped after GUEST_TIMEOUT seconds (default 900 in the chroot, 1800 in the VM, whose
# emulated CPU is many times slower): in the chroot every process of it ends
# with it, in the VM QEMU is stopped by its PID. Exit code: the command's; 124 when the limit
# stopped it.
set -euo pipefail

usage() {
  echo "usage: $0 GUEST-DIR OUT-DIR [--share PATH]... [--skip PATH]... -- COMMAND [ARG...]" >&2
  exit 2
}
[ $# -ge 2 ] || usage
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
guest=$(realpath -m "$1")
out=$(realpath -m "$2")
shift 2
shares=() skips=()
while [ $# -gt 0 ]; do
  case $1 in
    --share) shares+=("$(realpath -m "$2")"); shift 2 ;;
    --skip) skips+=("$(realpath -m "$2")"); shift 2 ;;
    --) shift; break ;;
    *) usage ;;
  esac
done
[ $# -gt 0 ] || usage
# shellcheck source=tools/guest/common.sh
. "$here/common.sh"
# shellcheck source=tools/guest/vm.sh
. "$here/vm.sh"

case "$out/" in
  / | "$guest/"* | "$PWD/") echo "guest: OUT-DIR $out would empty a folder it must keep" >&2; exit 2 ;;
esac
case "$guest/" in
  "$out/"*) echo "guest: OUT-DIR $out holds the guest root" >&2; exit 2 ;;
esac
rm -rf "$out"
mkdir -p "$out"
status=0
case ${GUEST:-} in
  chroot)
    runs_32bit_code || { echo "guest: this kernel runs no 32-bit code; use GUEST=vm" >&2; exit 2; }
    bash "$here/build-root.sh" "$guest"
    limit=$(within_deadline "${GUEST_TIMEOUT:-900}")
    echo "== chroot: $guest/root, at most $limit s"
    GUEST_BIND="${shares[*]} $out" GUEST_OVERLAY=1 GUEST_LIMIT=$limit \
      in_root "$guest/root" none bash -c 'cd "$1" && shift && exec "$@"' run "$PWD" "$@" ||
      status=$?
    ;;
  vm)
    limit=${GUEST_TIMEOUT:-1800}
    inShare=no
    for share in "${shares[@]}"; do
      case "$PWD/" in "$share/"*) inShare=yes ;; esac
    done
    [ $inShare = yes ] || { echo "guest: the current directory $PWD is not shared" >&2; exit 2; }
    bash "$here/image.sh" "$guest"
    work=$(mktemp -d "$guest/run.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    mkdir "$work/job"
    printf 'cd %q && exec' "$PWD" >"$work/job/run"
    printf ' %q' "$@" >>"$work/job/run"
    echo >>"$work/job/run"
    echo "$out" >"$work/job/out-path"
    prune=(-name .git -o -name CMakeFiles -o -type d -name 'wine-*')
    for skip in "${skips[@]}"; do prune+=(-o -path "$skip"); done
    find "${shares[@]}" \( "${prune[@]}" \) -prune -o \
      \( -type f \( -name '*.a' -o -name '*.o' -o -name '*.obj' \) \) -o -print |
      sed 's|^/||' >"$work/files"
    tar -cf "$work/job.tar" -C "$work" job
    tar -rf "$work/job.tar" --no-recursion -C / -T "$work/files"
    echo "== VM: $(wc -l <"$work/files") files ($(du -m "$work/job.tar" | cut -f 1) MB) copied in"
    truncate -s 256M "$work/results.img"
    boot_vm "$guest/root" "$guest/root.img" "$work/job.tar" "$work/results.img" "$limit" \
      "$guest/console.log" snapshot || status=$?
    tar -xf "$work/results.img" -C / "${out#/}" 2>/dev/null || true
    if [ "$status" = 0 ]; then
      status=$(cat "$out/guest-status" 2>/dev/null || echo 1)
    fi
    rm -f "$out/guest-status"
    ;;
  *)
    echo "guest: set GUEST to chroot or vm (tools/guest/mode.sh says which runs here)" >&2
    exit 2
    ;;
esac
[ "$status" != 137 ] || status=124
[ "$status" != 124 ] || echo "guest: the run passed its limit of $limit s and was stopped" >&2
exit "$status"
