#!/usr/bin/env bash
# Installs, from Debian's packages and only when missing, everything that building, testing and
# running Brindle under Wine needs. Idempotent: when all is there it only checks and returns.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# Wine's 32-bit half comes from the i386 architecture; apt-get update below then reads its lists.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

for pkg in g++-mingw-w64-i686 binutils-mingw-w64-i686 cmake make wine wine32:i386 xvfb x11-utils \
           imagemagick fonts-ipafont-gothic locales googletest clang libclang-rt-14-dev zip unzip \
           clang-format xdotool fonts-wine; do
  have_pkg "$pkg" || need+=("$pkg")
done

if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi
