#!/usr/bin/env bash
# Checks that an executable is one file a user can copy onto Windows and run:
#   tools/check-imports.sh FILE.exe
# It must be a PE image for the Windows GUI subsystem (2) that imports, by name, only functions
# on the list of those that the oldest supported Windows has (src/platform/floor-imports.txt),
# each listed with a version no newer than that Windows; and every function listed for its build
# must be one it imports, so that the list says what the program needs. A MinGW runtime DLL
# (libstdc++, libgcc, libwinpthread) means static linking failed.
# EXPECT_MACHINE is i386 (the product, the default) or x86-64 (the build the tests run under a
# 64-bit Wine). OBJDUMP names the objdump to use (default i686-w64-mingw32-objdump).
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 FILE.exe" >&2
  exit 2
fi
exe=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
machine=${EXPECT_MACHINE:-i386}
case $machine in
  i386) bits=32 build=win32 ;;
  x86-64) bits=64 build=win64 ;;
  *) echo "EXPECT_MACHINE must be i386 or x86-64, not $machine" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
floorList=${FLOOR_LIST:-$root/src/platform/floor-imports.txt}
floor="Windows XP SP3"
# The versions that a function on the list may have: the floor and older.
floorVersions=" 2000 XP XP-SP1 XP-SP2 XP-SP3 "

# objdump speaks the session's language (Japanese under Wine); its labels are parsed in English.
headers=$(LC_ALL=C "$objdump" -p "$exe") || { echo "FAIL: $objdump cannot read $exe" >&2; exit 1; }
format=$(sed -n 's/.*file format \(.*\)$/\1/p' <<<"$headers" | head -n 1)
subsystem=$(awk '$1 == "Subsystem" { print $2; exit }' <<<"$headers")
# "dll function" for each imported function (objdump lists them below their DLL's name, up to
# a blank line).
mapfile -t imports < <(awk '
  /^\tDLL Name:/ { dll = tolower($3); sub(/\r$/, "", dll); next }
  /^$/ { dll = "" }
  dll != "" && /^\t[0-9a-f]+\t/ { print dll, $3 }' <<<"$headers")
# "dll function version" for each function on the list for this build (no fourth field: both).
mapfile -t listed < <(sed 's/#.*//' "$floorList" |
  awk -v build="$build" 'NF >= 3 && (NF == 3 || $4 == build) { print tolower($1), $2, $3 }')
failed=0
echo "$exe"
# objdump names an executable image pei-i386 or pei-x86-64 (pe-... for object files).
if [[ "$format" =~ ^pei?-$machine$ ]]; then
  echo "  format:    $format"
else
  echo "  format:    ${format:-unknown}  FAIL: not a $bits-bit x86 PE image"
  failed=1
fi
subsystem=$((16#${subsystem:-0}))
if [ "$subsystem" = 2 ]; then
  echo "  subsystem: 2 (Windows GUI)"
else
  echo "  subsystem: $subsystem  FAIL: not the Windows GUI subsystem (2)"
  failed=1
fi
if [ ${#imports[@]} -eq 0 ]; then
  echo "  imports:   none found  FAIL: an executable that imports nothing cannot be right"
  failed=1
fi
declare -A versionOf=()
for entry in "${listed[@]}"; do
  read -r dll function version <<<"$entry"
  versionOf["$dll $function"]=$version
done
declare -A functionsOf=() imported=()
for entry in "${imports[@]}"; do
  read -r dll function <<<"$entry"
  imported["$dll $function"]=1
  functionsOf[$dll]=$((${functionsOf[$dll]:-0} + 1))
  case "$dll" in
    libstdc++* | libgcc* | libwinpthread*)
      [ "${functionsOf[$dll]}" = 1 ] &&
        echo "  import:    $dll  FAIL: MinGW runtime DLL, the link is not static"
      failed=1
      continue ;;
  esac
  version=${versionOf["$dll $function"]:-}
  if [ -z "$version" ]; then
    echo "  import:    $dll $function  FAIL: not on the floor's list ($(basename "$floorList")):" \
      "list it with the version that introduced it if $floor has it, else bind it at run time" \
      "(src/platform/SystemFunctions.h)"
    failed=1
  elif [[ "$floorVersions" != *" $version "* ]]; then
    echo "  import:    $dll $function  FAIL: listed as Windows $version, newer than $floor"
    failed=1
  fi
done
for entry in "${listed[@]}"; do
  read -r dll function version <<<"$entry"
  if [ -z "${imported["$dll $function"]:-}" ]; then
    echo "  listed:    $dll $function  FAIL: on the floor's list for $build but not imported:" \
      "remove it from $(basename "$floorList")"
    failed=1
  fi
done
for dll in $(printf '%s\n' "${!functionsOf[@]}" | sort); do
  echo "  imports:   $dll, ${functionsOf[$dll]} functions"
done
echo "  imports:   ${#imports[@]} functions, each checked against $floorList"

if [ $failed -ne 0 ]; then
  echo "FAIL: $exe needs more than one file, needs more than $floor, is not a $bits-bit GUI" \
    "program, or the floor's list names functions it does not import"
  exit 1
fi
echo "OK: $exe is a $bits-bit GUI program that imports only functions that $floor has"
