#!/usr/bin/env bash
# Makes the VM's disk from the guest root, when the root or this script changed:
#   tools/guest/image.sh GUEST-DIR
# Builds the root first (tools/guest/build-root.sh), then GUEST-DIR/root.img, an ext4 image made
# from it (mkfs.ext4 -d). A root that is not finished (this kernel runs no 32-bit code) is
# finished by the VM's first boot on the new image (tools/guest/finish-root.sh), which keeps
# its writes. GUEST-DIR/image.recipe names what the image was made from.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 GUEST-DIR" >&2
  exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
guest=$(realpath -m "$1")
root=$guest/root
# shellcheck source=tools/guest/common.sh
. "$here/common.sh"
# shellcheck source=tools/guest/vm.sh
. "$here/vm.sh"

bash "$here/build-root.sh" "$guest"
recipe="$(recipe_hash) $(sha256sum <"$here/image.sh" | cut -c 1-16)"
if [ -f "$guest/root.img" ] && grep -qx "recipe $recipe" "$guest/image.recipe" 2>/dev/null; then
  exit 0
fi

started=$SECONDS
new=$guest/root.img.new
rm -f "$new" "$guest/image.recipe"
# Room for the files and, on a root still to finish, for the 32-bit packages and the prefix.
size=$(($(du -sm "$root" | cut -f 1) * 3 / 2 + 1536))
echo "== guest image: ${size} MB ext4 from $root"
timeout 900 mkfs.ext4 -q -F -L brindle-guest -d "$root" "$new" "${size}M" ||
  { echo "guest image: FAILED at step \"mkfs.ext4\"" >&2; rm -f "$new"; exit 1; }

if ! grep -qx 'finished yes' "$guest/root.recipe"; then
  echo "== guest image: first boot, which installs the 32-bit packages and makes the Wine prefix"
  work=$(mktemp -d "$guest/first-boot.XXXXXX")
  mkdir -p "$work/job" "$work/out"
  echo 'exec brindle-finish-root' >"$work/job/run"
  echo "$work/out" >"$work/job/out-path"
  tar -cf "$work/job.tar" -C "$work" job
  truncate -s 16M "$work/results.img"
  status=0
  boot_vm "$root" "$new" "$work/job.tar" "$work/results.img" "${GUEST_FIRST_BOOT_TIMEOUT:-1800}" \
    "$guest/first-boot.log" write || status=$?
  tar -xf "$work/results.img" -C / "${work#/}/out" 2>/dev/null || true
  guestStatus=$(cat "$work/out/guest-status" 2>/dev/null || echo none)
  rm -rf "$work"
  if [ "$status" != 0 ] || [ "$guestStatus" != 0 ]; then
    echo "guest image: FAILED at step \"first boot\" (QEMU $status, the job $guestStatus;" \
      "console in $guest/first-boot.log)" >&2
    rm -f "$new"
    exit 1
  fi
fi

mv "$new" "$guest/root.img"
echo "recipe $recipe" >"$guest/image.recipe"
echo "== guest image: made in $((SECONDS - started)) s"
