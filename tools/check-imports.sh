#!/usr/bin/env bash
# Checks that an executable is one file a user can copy onto 32-bit Windows and run:
#   tools/check-imports.sh FILE.exe
# It must be a 32-bit PE image for the Windows GUI subsystem (2) whose imports are all system
# DLLs; a MinGW runtime DLL (libstdc++, libgcc, libwinpthread) means static linking failed.
# OBJDUMP names the objdump to use (default i686-w64-mingw32-objdump).
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 FILE.exe" >&2
  exit 2
fi
exe=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
allowed=" kernel32 user32 gdi32 advapi32 shell32 comctl32 comdlg32 shlwapi msvcrt ole32 oleaut32 version uxtheme "

# objdump speaks the session's language (Japanese under Wine); its labels are parsed in English.
headers=$(LC_ALL=C "$objdump" -p "$exe") || { echo "FAIL: $objdump cannot read $exe" >&2; exit 1; }
format=$(sed -n 's/.*file format \(.*\)$/\1/p' <<<"$headers" | head -n 1)
subsystem=$(awk '$1 == "Subsystem" { print $2; exit }' <<<"$headers")
mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$headers" | tr -d '\r')

failed=0
echo "$exe"
# objdump names an executable image pei-i386 (pe-i386 is its name for object files).
if [[ "$format" =~ ^pei?-i386$ ]]; then
  echo "  format:    $format"
else
  echo "  format:    ${format:-unknown}  FAIL: not a 32-bit x86 PE image"
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
  echo "FAIL: $exe needs more than one file or is not a 32-bit GUI program"
  exit 1
fi
echo "OK: $exe is a 32-bit GUI program that imports system DLLs only"
