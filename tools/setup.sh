#!/usr/bin/env bash
# Installs, from Debian's packages and only when missing, everything that building, testing and
# running Brindle under Wine needs. Idempotent: when all is there it only checks and returns.
#
# The product is a 32-bit Windows program (MinGW-w64 for i686). The tests, the demo and the
# benchmarks run it under a 32-bit Wine where the machine can: a kernel may have its 32-bit
# emulation switched off, and then no 32-bit program (neither Wine's 32-bit loader nor a 32-bit
# Windows program under a 64-bit Wine) runs at all; there a 64-bit build of the same sources
# runs under the 64-bit Wine instead (tools/wine-arch.sh tells which). The 32-bit Wine is
# installed last, and only when that leaves every installed package as it is.
#
# The 32-bit product's own run (make test, tools/guest/) builds a Debian root with debootstrap
# and enters it by chroot where the kernel runs 32-bit code, else boots it with qemu-system-x86;
# that root's packages are installed inside it, never here.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for pkg in g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 \
           binutils-mingw-w64-x86-64 cmake make wine wine64 xvfb x11-utils imagemagick \
           fonts-ipafont-gothic locales googletest clang libclang-rt-14-dev zip unzip \
           clang-format xdotool fonts-wine debootstrap qemu-system-x86 e2fsprogs; do
  have_pkg "$pkg" || need+=("$pkg")
done

if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in the middle of a sync fails one index now and then; the others still serve.
  for attempt in 1 2 3; do
    apt-get update -qq && break
    echo "apt-get update failed (attempt $attempt); going on with the indexes it has" >&2
    sleep 5
  done
  if ! apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; then
    # With a security index missing, a package and the libraries it shares with installed ones
    # may get candidates from different suites. Taking them from the release itself keeps them
    # consistent.
    echo "apt-get install failed; trying again with the packages of the release itself" >&2
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    apt-get install -y -qq --no-install-recommends -t "$release" "${need[@]}" >/dev/null
  fi
fi

# Japanese for the tests and the demo; English and Chinese to check Brindle under the ANSI code
# pages 1252 and 936.
for wanted in ja_JP en_US zh_CN; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
    sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" >>/etc/locale.gen
    generate=1
  fi
done
if [ -n "${generate:-}" ]; then locale-gen >/dev/null; fi

# The 32-bit Wine (wine32:i386), where the kernel runs 32-bit code (the loader of libc6-i386, which
# libclang-rt-14-dev brings, tells). The i386 packages must be those of the same suites as the
# installed amd64 ones: while a mirror's i386 security index is mid-sync, the install would
# upgrade or remove installed packages. It is made only when apt's plan adds packages and
# changes none; otherwise nothing changes, and the runs take the 64-bit build.
wine32_note() { echo "32-bit Wine: $*; the Windows runs take the 64-bit build" >&2; }
if [ ! -e /usr/lib/wine/wine ]; then
  if ! bash -c 'exec /lib/ld-linux.so.2 --version' >/dev/null 2>&1; then
    wine32_note "not installed, as this machine runs no 32-bit code"
  else
    export DEBIAN_FRONTEND=noninteractive
    added=0
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      dpkg --add-architecture i386
      added=1
      apt-get update -qq || echo "apt-get update failed; going on with the indexes it has" >&2
    fi
    if ! plan=$(apt-get install -s --no-install-recommends wine32:i386 2>&1); then
      wine32_note "not installable from this mirror ($(grep -m 1 '^E:' <<<"$plan"))"
    elif changes=$(grep -cE '^(Remv |Inst [^ ]+ \[)' <<<"$plan"); [ "$changes" != 0 ]; then
      wine32_note "not installed, as it would change $changes installed packages (the mirror's" \
        "i386 indexes are not those of the installed packages, perhaps mid-sync)"
    elif ! apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null; then
      wine32_note "its install failed"
    fi
    # Without the 32-bit Wine, the i386 architecture goes again (when no i386 package came).
    if [ ! -e /usr/lib/wine/wine ] && [ $added = 1 ]; then
      dpkg --remove-architecture i386 2>/dev/null || true
    fi
  fi
fi
