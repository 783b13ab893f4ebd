#!/usr/bin/env bash
# Says which Windows build runs under Wine on this machine, and why:
#   tools/wine-arch.sh     prints "win32 REASON" or "win64 REASON" on one line
# win32 is the product itself, run under a 32-bit Wine; win64 a 64-bit build of the same
# sources, the stand-in where the machine runs no 32-bit code or has no 32-bit Wine. It tells
# by running 32-bit programs, not by the package list: a kernel may have its 32-bit emulation
# switched off with every package installed. WINE_ARCH (win32 or win64) chooses without probing.
set -uo pipefail

loader32=/lib/ld-linux.so.2 # the C library's 32-bit loader (libc6-i386, tools/setup.sh)
wine32=/usr/lib/wine/wine   # Wine's 32-bit loader (wine32:i386)

case ${WINE_ARCH:-} in
  win32 | win64) echo "$WINE_ARCH as WINE_ARCH asks"; exit 0 ;;
  '') ;;
  *) echo "wine-arch: WINE_ARCH must be win32 or win64, not '$WINE_ARCH'" >&2; exit 2 ;;
esac

# Runs a program through bash, which says "Exec format error" when the kernel refuses it (a
# plain exec would try it as a shell script); prints its output, or the first line of the error
# without bash's prefix. Every run is bounded.
run() { # seconds program args...
  local seconds=$1 out
  shift
  out=$(timeout "$seconds" bash -c 'exec "$@"' bash "$@" 2>&1) && { echo "$out"; return 0; }
  head -n 1 <<<"$out" | sed 's/^bash: line [0-9]*: //'
  return 1
}

if [ ! -e "$loader32" ]; then
  echo "win64 there is no 32-bit loader ($loader32) to tell whether this machine runs 32-bit code"
elif ! out=$(run 10 "$loader32" --version); then
  echo "win64 this machine's kernel runs no 32-bit code ($out)"
elif [ ! -e "$wine32" ]; then
  echo "win64 this machine runs 32-bit code, but no 32-bit Wine is installed ($wine32 of" \
    "wine32:i386, which tools/setup.sh installs when Debian's mirror offers it consistently)"
elif ! out=$(run 60 "$wine32" --version); then
  echo "win64 the 32-bit Wine does not run ($out)"
else
  echo "win32 this machine runs 32-bit code and has a 32-bit Wine ($out)"
fi
