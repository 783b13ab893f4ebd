#!/usr/bin/env bash
# The release archive as a user gets it:
#   tests/e2e/DistTest.sh ZIP VERSION BRINDLE-EXE FAKEVIEWER-EXE HELPER-EXE WORK-DIR
# Checks the archive's file list, that its brindle.exe is BRINDLE-EXE stripped and still one
# file a user can copy, that the guide is the repository's text with VERSION in its title line,
# in code page 932 with CRLF line ends, and names the program's own labels, and that the license has CRLF line ends. Then it
# unpacks the archive into C:\Brindle of a Wine prefix of its own (WORK-DIR/wine), as fresh as
# a user's Windows, configures one viewer (the fake viewer, which records its command line),
# starts C:\Brindle\brindle.exe with a mail file's name as the mail client does, picks the
# viewer from the pop-up menu (HELPER-EXE does that inside the prefix) and compares the
# recorded command line byte for byte. Brindle is ended through its main dialog.
# It runs inside the test run's Wine session and uses its display, but not its prefix: the
# prefix here has a wineserver of its own, which the script ends, and is removed at the end.
# OBJDUMP names the objdump to use (default i686-w64-mingw32-objdump). Every wait is bounded.
set -uo pipefail

if [ $# -ne 6 ]; then
  echo "usage: $0 ZIP VERSION BRINDLE-EXE FAKEVIEWER-EXE HELPER-EXE WORK-DIR" >&2
  exit 2
fi
zip=$1
version=$2
builtExe=$3
fakeViewer=$4
helper=$5
work=$(realpath -m "$6")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# --- The archive's contents ---------------------------------------------------------------

[ -f "$zip" ] || { echo "FAIL: $zip is missing" >&2; exit 1; }
listing=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
echo "archive: $zip: $listing"
[ "$listing" = "LICENSE.txt README-ja.txt brindle.exe " ] ||
  fail "the archive holds '$listing', not LICENSE.txt README-ja.txt brindle.exe"

rm -rf "$work"
unpacked=$work/unpacked
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked" || { echo "FAIL: cannot unpack $zip" >&2; exit 1; }

exe=$unpacked/brindle.exe
echo "brindle.exe: $(stat -c %s "$exe") bytes in the archive, $(stat -c %s "$builtExe") built"
[ "$(stat -c %s "$exe")" -lt "$(stat -c %s "$builtExe")" ] ||
  fail "the archive's brindle.exe is not smaller than the built one"
flags=$(LC_ALL=C "$objdump" -f "$exe" | grep -E '^[A-Z_]+(, [A-Z_]+)*$')
echo "brindle.exe flags: $flags"
[ -n "$flags" ] && [[ "$flags" != *HAS_SYMS* && "$flags" != *HAS_DEBUG* ]] ||
  fail "the archive's brindle.exe still has symbols or debug information"
OBJDUMP=$objdump bash "$root/tools/check-imports.sh" "$exe" || fail "check-imports.sh"

# A text file of the archive: CRLF after every line, no bare LF or CR.
check_crlf() { # file
  local lines crlfs
  lines=$(tr -cd '\n' <"$1" | wc -c)
  crlfs=$(grep -c $'\r$' "$1")
  [ "$lines" -gt 0 ] && [ "$lines" = "$crlfs" ] && [ "$(tr -cd '\r' <"$1" | wc -c)" = "$lines" ] &&
    [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
    fail "$(basename "$1") does not end every line with CRLF ($crlfs of $lines lines do)"
}

guide=$unpacked/README-ja.txt
check_crlf "$guide"
if guideText=$(iconv -f CP932 -t UTF-8 "$guide" | tr -d '\r'); then
  [ "$guideText" = "$(sed "s/@VERSION@/$version/g" "$root/dist/README-ja.txt")" ] ||
    fail "README-ja.txt read as code page 932 is not dist/README-ja.txt of version $version"
  grep -qx "  Brindle $version  はじめにお読みください" <<<"$guideText" ||
    fail "README-ja.txt's title line does not name version $version"
  for label in 追加 編集 削除 上へ 下へ 最小化 終了 参照 タイトル コマンド パラメータ メニュー詳細 \
    'Brindle Launcher' 'reg export HKCU\Software\Copperfinch\Brindle brindle.reg' \
    'reg delete HKCU\Software\Copperfinch\Brindle /f' 255 259 Quillpost; do
    grep -qF -- "$label" <<<"$guideText" || fail "README-ja.txt does not mention '$label'"
  done
else
  fail "README-ja.txt is not code page 932 text"
fi

license=$unpacked/LICENSE.txt
check_crlf "$license"
for line in 'MIT License' 'Copyright (c) 2026 Copperfinch'; do
  grep -qxF -- "$line"$'\r' "$license" || fail "LICENSE.txt has no line '$line'"
done

# --- The unpacked program in a Wine prefix of its own -------------------------------------

[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY; run inside tools/wine-session.sh" >&2; exit 1; }
prefix=$work/wine
# The session's architecture (tools/wine-session.sh), which is the build's.
[ -n "${WINEARCH:-}" ] || { echo "FAIL: no WINEARCH; run inside tools/wine-session.sh" >&2; exit 1; }
export WINEPREFIX=$prefix WINEARCH WINEDEBUG=${WINEDEBUG:--all}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="

brindle=
cleanup() {
  wineserver -k >/dev/null 2>&1
  if [ -n "$brindle" ]; then
    for _ in $(seq 50); do kill -0 "$brindle" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$brindle" 2>/dev/null
    wait "$brindle" 2>/dev/null
  fi
  rm -rf "$prefix"
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Where the CPU is emulated the waits are as many times longer (tests/support/Wait.h).
scale=${BRINDLE_WAIT_SCALE:-1}
[[ $scale =~ ^[1-9][0-9]?$ ]] || scale=1
started=$SECONDS
if [ -n "${WINE_TEMPLATE:-}" ]; then
  # A fresh prefix that wineboot made once (tools/wine-session.sh), copied.
  mkdir -p "$(dirname "$prefix")" && rm -rf "$prefix" && cp -a "$WINE_TEMPLATE" "$prefix" ||
    { echo "FAIL: copying $WINE_TEMPLATE to $prefix" >&2; exit 1; }
  wineserver -p
else
  mkdir -p "$prefix"
  wineserver -p
  timeout $((120 * scale)) wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot of $prefix" >&2; exit 1; }
fi
echo "prefix: $prefix ready in $((SECONDS - started)) s"
# As tools/wine-session.sh sets up the test prefix.
winereg() { timeout $((60 * scale)) wine reg "$@" >/dev/null 2>&1; }
winereg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
winereg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
winereg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f

drive=$prefix/drive_c
mkdir -p "$drive/Brindle" "$drive/Program Files/Viewer" "$drive/mail"
unzip -q "$zip" -d "$drive/Brindle" || { echo "FAIL: cannot unpack into C:\\Brindle" >&2; exit 1; }
cp "$fakeViewer" "$drive/Program Files/Viewer/fakeviewer.exe"
printf 'Subject: test\r\n\r\nbody\r\n' >"$drive/mail/1.txt"

# One viewer, titled in Japanese (表 ends in byte 0x5C in code page 932), its command quoted
# because of the space in its path.
menus='HKCU\Software\Copperfinch\Brindle\Menus'
title='テキスト表示'
viewer='"C:\Program Files\Viewer\fakeviewer.exe"'
winereg add "$menus\\$title" /ve /d "$viewer" /f
winereg add "$menus\\$title" /v Param /d /p /f
winereg add "$menus" /v Order /t REG_MULTI_SZ /d "$title" /f
seeded=$(timeout $((60 * scale)) wine reg query "$menus" /s 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r')
for expected in "\\Menus\\$title" "$viewer" 'Param    REG_SZ    /p'; do
  grep -qF -- "$expected" <<<"$seeded" || {
    echo "FAIL: the registry does not read back '$expected':" >&2
    echo "$seeded" >&2
    exit 1
  }
done

# The mail client's start: program and file name as they are, no quotes needed.
log="$drive/Program Files/Viewer/fakeviewer.log"
wine 'C:\Brindle\brindle.exe' 'C:\mail\1.txt' >/dev/null 2>&1 &
brindle=$!
timeout $((60 * scale)) wine "$helper" pick 0 || fail "picking the viewer from Brindle's menu"
for _ in $(seq $((100 * scale))); do [ -s "$log" ] && break; sleep 0.1; done
expected=$viewer' /p "C:\mail\1.txt "'
if cmp -s "$log" <(printf '%s\n' "$expected"); then
  echo "viewer started as: $expected"
else
  fail "the viewer recorded $(od -c "$log" 2>/dev/null | head -n 8 || echo nothing);" \
    "expected one line: $expected"
fi

timeout $((60 * scale)) wine "$helper" end || fail "ending Brindle through its main dialog"
for _ in $(seq $((100 * scale))); do kill -0 "$brindle" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$brindle" 2>/dev/null; then
  fail "brindle.exe did not end within 10 s of its main dialog's cancel"
else
  wait "$brindle"
  echo "brindle.exe ended (exit code $?)"
  brindle=
fi

if [ $failures -ne 0 ]; then
  echo "FAIL: $failures check(s) of the release archive failed"
  exit 1
fi
echo "OK: the release archive unpacks and runs"
