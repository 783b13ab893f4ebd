#!/usr/bin/env bash
# Packs the release archive that users download:
#   tools/dist.sh BRINDLE-EXE VERSION OUT.zip
# The archive holds three files at its top level, to be unpacked into one folder:
#   brindle.exe    BRINDLE-EXE without its symbols (STRIP names the strip program, default
#                  i686-w64-mingw32-strip)
#   README-ja.txt  the user guide, dist/README-ja.txt turned from UTF-8 into code page 932 with
#                  CRLF line ends, as Notepad on a Japanese Windows of any age reads it, with
#                  VERSION (the project's, from CMakeLists.txt) in place of @VERSION@
#   LICENSE.txt    dist/LICENSE.txt with CRLF line ends
# The files are staged in a directory beside OUT named like it without .zip, which is created
# afresh. With SOURCE_DATE_EPOCH set, the files carry that time, so the archive is reproducible.
set -euo pipefail

if [ $# -ne 3 ] || [[ ! "$2" =~ ^[0-9]+(\.[0-9]+)*$ ]] || [[ "$3" != *.zip ]]; then
  echo "usage: $0 BRINDLE-EXE VERSION OUT.zip" >&2
  exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=$1
version=$2
out=$(realpath -m "$3")
strip=${STRIP:-i686-w64-mingw32-strip}
staging=${out%.zip}
[ -f "$exe" ] || { echo "dist: $exe is missing; build it first (make)" >&2; exit 1; }

# CRLF line ends for a text whose lines end in LF only; a CR already there is an error in the
# source, which would end up as CR CR LF.
crlf() { # source
  if grep -q $'\r' "$1"; then
    echo "dist: $1 has CR characters; keep it with LF line ends" >&2
    return 1
  fi
  sed 's/$/\r/' "$1"
}

rm -rf "$staging"
mkdir -p "$staging"
"$strip" --strip-all -o "$staging/brindle.exe" "$exe"
# iconv fails on a character that code page 932 lacks, rather than writing a stand-in.
crlf "$root/dist/README-ja.txt" | sed "s/@VERSION@/$version/g" | iconv -f UTF-8 -t CP932 \
  >"$staging/README-ja.txt"
crlf "$root/dist/LICENSE.txt" >"$staging/LICENSE.txt"
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  touch -d "@$SOURCE_DATE_EPOCH" "$staging"/*
fi

rm -f "$out"
# -X leaves out the Unix owner and extra time fields that Windows does not use.
(cd "$staging" && zip -q -X -9 "$out" brindle.exe README-ja.txt LICENSE.txt)
echo "dist: $out ($(stat -c %s "$exe") bytes of brindle.exe stripped to" \
  "$(stat -c %s "$staging/brindle.exe"))"
unzip -l "$out"
