#!/usr/bin/env bash
# Builds the guest root in which the 32-bit product's Windows suite runs, when its recipe changed:
#   tools/guest/build-root.sh GUEST-DIR
# GUEST-DIR/root is a Debian bookworm root (debootstrap, minbase, amd64, with the i386
# architecture) holding the packages of tools/guest/packages, the locales ja_JP.UTF-8 and
# en_US.UTF-8, and this folder's guest scripts. The packages of tools/guest/packages-32 run 32-bit
# code in their maintainer scripts: they are downloaded here, and where this kernel runs 32-bit
# code they are installed here too, in the chroot, together with a Wine prefix made once
# (tools/guest/finish-root.sh); elsewhere the VM's first boot does that (tools/guest/image.sh).
# GUEST-DIR/root.recipe names the recipe the root was built from (a hash of this folder's
# files) and whether it is finished; the root is rebuilt when the recipe changes, from nothing,
# beside the old one, which it replaces only when done.
# Everything is installed inside the root by its own apt, from the Debian mirror the host's apt
# uses; the host's packages are never touched. A failed step is named and fails the script.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 GUEST-DIR" >&2
  exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
guest=$(realpath -m "$1")
root=$guest/root
new=$guest/root.new
suite=bookworm
# shellcheck source=tools/guest/common.sh
. "$here/common.sh"
# Each step of the build is bounded: a mirror that stops answering fails the step.
GUEST_LIMIT=$(within_deadline 1800)
export GUEST_LIMIT

recipe=$(recipe_hash)
if [ -d "$root" ] && grep -qx "recipe $recipe" "$guest/root.recipe" 2>/dev/null; then
  # A root left for the VM's first boot to finish is finished here once this kernel runs 32-bit
  # code (GUEST_32BIT=no made it so).
  if grep -qx 'finished no' "$guest/root.recipe" && runs_32bit_code; then
    echo "== guest root: install the 32-bit packages and make the Wine prefix (in the chroot)"
    in_root "$root" none brindle-finish-root
    printf 'recipe %s\nfinished yes\n' "$recipe" >"$guest/root.recipe"
    rm -f "$guest/root.img" "$guest/image.recipe"
  fi
  exit 0
fi

old=$(sed -n 's/^recipe //p' "$guest/root.recipe" 2>/dev/null || true)
echo "== guest root: building it from recipe $recipe (the root there: ${old:-none})"
packages=$(list_packages "$here/packages")
packages32=$(list_packages "$here/packages-32")
started=$SECONDS

# The Debian suites the host's apt reads (its mirror, security archive included); Debian's own
# mirror when the host lists none of this suite.
sources=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' \
  2>/dev/null | awk -v suite="$suite" '$2 ~ "^" suite "(-|$)"' | sort -u)
if [ -z "$sources" ]; then
  sources="http://deb.debian.org/debian/ $suite
http://deb.debian.org/debian/ $suite-updates
http://deb.debian.org/debian-security/ $suite-security"
fi
mirror=$(awk -v suite="$suite" '$2 == suite { print $1; exit }' <<<"$sources")
[ -n "$mirror" ] || mirror=http://deb.debian.org/debian/

step() { echo "== guest root: $*"; current_step=$*; }
trap 'status=$?; [ $status = 0 ] || { echo "guest root: FAILED at step \"${current_step:-start}\"" \
  "(exit code $status)" >&2; rm -rf "$new"; }' EXIT

rm -rf "$new" "$guest/root.old"
mkdir -p "$guest"

step "debootstrap $suite (minbase, amd64) from $mirror"
timeout --kill-after=10 "$GUEST_LIMIT" unshare --mount --fork -- debootstrap --variant=minbase --arch=amd64 "$suite" "$new" "$mirror" \
  >"$guest/debootstrap.log" 2>&1 || { tail -n 20 "$guest/debootstrap.log" >&2; exit 1; }

step "apt sources and the i386 architecture"
awk '{ print "deb [arch=amd64,i386] " $1 " " $2 " main" }' <<<"$sources" \
  >"$new/etc/apt/sources.list"
cat "$new/etc/apt/sources.list"
# No daemon starts in the root, and nothing is recommended beyond the lists.
printf '#!/bin/sh\nexit 101\n' >"$new/usr/sbin/policy-rc.d"
chmod +x "$new/usr/sbin/policy-rc.d"
echo 'APT::Install-Recommends "false";' >"$new/etc/apt/apt.conf.d/90brindle"
# The VM's initrd needs only its disk and file system: a small one is made and unpacked quicker.
mkdir -p "$new/etc/initramfs-tools/conf.d"
echo MODULES=list >"$new/etc/initramfs-tools/conf.d/brindle"
printf '%s\n' virtio_pci virtio_blk crc32c_generic ext4 >"$new/etc/initramfs-tools/modules"
cp /etc/resolv.conf "$new/etc/resolv.conf"
in_root "$new" net dpkg --add-architecture i386
in_root "$new" net apt-get update -qq

# One plan for both lists, so that the 32-bit packages fit the 64-bit ones. While a mirror's
# security index is mid-sync the plan may fail; the release's own packages are consistent.
step "download the packages ($(wc -w <<<"$packages $packages32") named)"
# shellcheck disable=SC2086
if ! in_root "$new" net apt-get install -y -qq --download-only $packages $packages32; then
  echo "the download failed; trying again with the packages of $suite itself" >&2
  echo "APT::Default-Release \"$suite\";" >>"$new/etc/apt/apt.conf.d/90brindle"
  # shellcheck disable=SC2086
  in_root "$new" net apt-get install -y -qq --download-only $packages $packages32
fi

step "install the 64-bit packages"
# shellcheck disable=SC2086
in_root "$new" net apt-get install -y -qq --no-download $packages >"$guest/install.log" 2>&1 ||
  { tail -n 20 "$guest/install.log" >&2; exit 1; }

step "locales and the guest's scripts"
printf 'ja_JP.UTF-8 UTF-8\nen_US.UTF-8 UTF-8\n' >"$new/etc/locale.gen"
in_root "$new" none locale-gen >/dev/null
install -m 755 "$here/guest-init" "$new/usr/local/sbin/brindle-guest-init"
install -m 755 "$here/finish-root.sh" "$new/usr/local/sbin/brindle-finish-root"
install -D -m 644 "$here/packages-32" "$new/usr/local/share/brindle/packages-32"
echo brindle-guest >"$new/etc/hostname"
echo '/dev/vda / ext4 rw 0 0' >"$new/etc/fstab"
rm -f "$new/etc/resolv.conf"
ls "$new"/boot/vmlinuz-* "$new"/boot/initrd.img-* >/dev/null

finished=no
if runs_32bit_code; then
  step "install the 32-bit packages and make the Wine prefix (in the chroot)"
  in_root "$new" none brindle-finish-root
  finished=yes
else
  echo "== guest root: this kernel runs no 32-bit code; the VM's first boot installs" \
    "$packages32 and makes the Wine prefix"
fi

step "replace the old root"
rm -f "$guest/root.recipe" "$guest/root.img" "$guest/image.recipe"
[ ! -d "$root" ] || mv "$root" "$guest/root.old"
mv "$new" "$root"
printf 'recipe %s\nfinished %s\n' "$recipe" "$finished" >"$guest/root.recipe"
rm -rf "$guest/root.old"
echo "== guest root: built in $((SECONDS - started)) s ($(du -sh "$root" | cut -f 1))"
