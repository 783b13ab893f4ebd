#!/usr/bin/env bash
# Says whether and how the 32-bit product runs in the guest root here, and why:
#   tools/guest/mode.sh HOST-BUILD   prints "chroot REASON", "vm REASON" or "none REASON"
# HOST-BUILD is the build that the host's Wine runs (tools/wine-arch.sh): where that is the
# 32-bit product itself, no guest is needed. Otherwise the guest root is entered by chroot where
# the kernel runs 32-bit code, and booted in a VM where it does not. GUEST (chroot, vm or none)
# chooses without asking.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/guest/common.sh
. "$here/common.sh"

case ${GUEST:-auto} in
  chroot | vm | none) echo "$GUEST as GUEST asks"; exit 0 ;;
  auto) ;;
  *) echo "guest: GUEST must be auto, chroot, vm or none, not '$GUEST'" >&2; exit 2 ;;
esac

if [ "${1:-}" = win32 ]; then
  echo "none the host's own 32-bit Wine ran the 32-bit product"
elif [ "$(id -u)" != 0 ]; then
  echo "none the guest root needs root (debootstrap, chroot, mounts), and this is not root"
elif runs_32bit_code; then
  echo "chroot this kernel runs 32-bit code, but the host has no 32-bit Wine: the guest root has one"
else
  echo "vm this kernel runs no 32-bit code: a VM's kernel does"
fi
