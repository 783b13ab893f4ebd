#!/usr/bin/env bash
# Checks that an executable is one file a user can copy onto Windows and run:
#   tools/check-imports.sh FILE.exe
# It must be a PE image for the Windows GUI subsystem (2) whose imports are all system DLLs; a
# MinGW runtime DLL (libstdc++, libgcc, libwinpthread) means static linking failed.
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
  i386) bits=32 ;;
  x86-64) bits=64 ;;
  *) echo "EXPECT_MACHINE must be i386 or x86-64, not $machine" >&2; exit 2 ;;
esac
allowed=" kernel32 user32 gdi32 advapi32 shell32 comctl32 comdlg32 shlwapi msvcrt ole32 oleaut32 version uxtheme "

# objdump speaks the session's language (Japanese under Wine); its labels are parsed in English.
headers=$(LC_ALL=C "$objdump" -p "$exe") || { echo "FAIL: $objdump cannot read $exe" >&2; exit 1; }
format=$(sed -n 's/.*file format \(.*\)$/\1/p' <<<"$headers" | head -n 1)
subsystem=$(awk '$1 == "Subsystem" { print $2; exit }' <<<"$headers")
mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$headers" | tr -d '\r')

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
if [ ${#dlls[@]} -eq 0 ]; then
  echo "  imports:   none found  FAIL: an executable that imports nothing cannot be right"
  failed=1
fi
for dll in "${dlls[@]}"; do
  name=$(tr '[:upper:]' '[:lower:]' <<<"${dll%.[dD][lL][lL]}")
  case "$name" in
    libstdc++* | libgcc* | libwinpthread*)
      echo "  import:    $dll  FAIL: MinGW runtime DLL, the link is not static"
      failed=1 ;;
    *)
      if [[ "$allowed" == *" $name "* ]]; then
        echo "  import:    $dll"
      else
        echo "  import:    $dll  FAIL: not a system DLL on the allowed list"
        failed=1
      fi ;;
  esac
done

if [ $failed -ne 0 ]; then
  echo "FAIL: $exe needs more than one file or is not a $bits-bit GUI program"
  exit 1
fi
echo "OK: $exe is a $bits-bit GUI program that imports system DLLs only"
