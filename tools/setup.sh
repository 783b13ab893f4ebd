#!/usr/bin/env bash
# Installs, from Debian's packages and only when missing, everything that building, testing and
# running Brindle under Wine needs. Idempotent: when all is there it only checks and returns.
#
# The product is a 32-bit Windows program (MinGW-w64 for i686). The tests, the demo and the
# benchmarks run a 64-bit build of the same sources under a 64-bit Wine: the kernels of the
# machines this runs on may have their 32-bit emulation switched off, and then no 32-bit
# program (neither Wine's 32-bit loader nor a 32-bit Windows program under a 64-bit Wine)
# can run at all.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for pkg in g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 \
           binutils-mingw-w64-x86-64 cmake make wine wine64 xvfb x11-utils imagemagick \
           fonts-ipafont-gothic locales googletest clang libclang-rt-14-dev zip unzip \
           clang-format xdotool fonts-wine; do
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

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
