#!/usr/bin/env bash
# Finishes the guest root where 32-bit code runs (inside the root: its chroot on a kernel that
# runs 32-bit code, else the VM's first boot), without network: installs the packages of
# packages-32 from those downloaded when the root was built, checks that the 32-bit loader and
# Wine run, makes the Wine prefix that each run copies (/opt/brindle/wine-win32: a 32-bit prefix
# made by wineboot under the Japanese locale, as tools/wine-session.sh makes its own), empties
# apt's cache and marks the root finished (/etc/brindle-guest-finished).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
template=/opt/brindle/wine-win32

packages=$(sed 's/#.*//' /usr/local/share/brindle/packages-32 | xargs)
echo "== finish: install $packages"
# shellcheck disable=SC2086
if ! apt-get install -y -qq --no-download $packages >/var/log/brindle-finish.log 2>&1; then
  tail -n 20 /var/log/brindle-finish.log >&2
  echo "finish: FAILED to install $packages" >&2
  exit 1
fi
echo "== finish: $(timeout 10 /lib/ld-linux.so.2 --version | head -n 1);" \
  "$(timeout 60 /usr/lib/wine/wine --version)"

echo "== finish: make the Wine prefix $template"
started=$SECONDS
xvfb=
cleanup() {
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  [ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; } || true
}
trap cleanup EXIT
numberFile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$numberFile" ] && break; sleep 0.1; done
display=$(tr -dc 0-9 <"$numberFile")
[ -n "$display" ] || { echo "finish: Xvfb did not start" >&2; exit 1; }
rm -rf "$template" "$numberFile"
mkdir -p "$(dirname "$template")"
export DISPLAY=:$display WINEPREFIX=$template WINEARCH=win32 WINEDEBUG=-all
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
timeout 600 wineboot -i >/dev/null 2>&1 || { echo "finish: wineboot failed" >&2; exit 1; }
timeout 60 wineserver -w || true
cleanup
xvfb=
echo "== finish: Wine prefix made in $((SECONDS - started)) s ($(du -sh "$template" | cut -f 1))"

apt-get clean
rm -rf /var/lib/apt/lists/*
LC_ALL=C date -u >/etc/brindle-guest-finished
