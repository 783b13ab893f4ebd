#!/usr/bin/env bash
# Runs one command inside a fresh Wine session, the way the tests and the demo need it:
#   tools/wine-session.sh PREFIX-DIR COMMAND [ARG...]
# A new prefix at PREFIX-DIR for the build that runs: WINEARCH (win32 or win64) when given, else
# the one of the build directory the prefix lies in (its CMakeCache.txt names the compiler);
# Japanese locale (ANSI code page 932; WINE_LOCALE=en_US.UTF-8 or zh_CN.UTF-8 chooses another, to
# check Brindle under code page 1252 or 936), WINEDEBUG=-all,
# Managed=N (no 2 s wait on every hide without a window manager), crash dialog off, one
# persistent wineserver for the whole run, and a private Xvfb when there is no display.
# WINE_TEMPLATE names a prefix of the same architecture made by wineboot beforehand (the guest
# root holds one): the new prefix is a copy of it, with the same settings made here.
# Everything the script starts is ended by its id when the command ends; the command's exit
# code is the script's.
set -uo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIX-DIR COMMAND [ARG...]" >&2
  exit 2
fi
prefix=$(realpath -m "$1")
shift

if [ -z "${WINEARCH:-}" ]; then
  case $(grep -s '^CMAKE_CXX_COMPILER:' "$(dirname "$prefix")/CMakeCache.txt") in
    *i686-w64-mingw32*) WINEARCH=win32 ;;
    *x86_64-w64-mingw32*) WINEARCH=win64 ;;
    *) echo "wine-session: set WINEARCH (win32 or win64): $prefix is in no Windows build" >&2
       exit 2 ;;
  esac
fi
export WINEPREFIX="$prefix" WINEARCH WINEDEBUG=-all
export LANG=${WINE_LOCALE:-ja_JP.UTF-8} LC_ALL=${WINE_LOCALE:-ja_JP.UTF-8}
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts

xvfb_pid=
keeper=
cleanup() {
  exec 9>&-
  wineserver -k >/dev/null 2>&1
  [ -n "$keeper" ] && kill "$keeper" 2>/dev/null && wait "$keeper" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display number itself and writes it once it listens, so that sessions
  # started at the same moment never share one.
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$number_file" ] && break; sleep 0.1; done
  display=$(tr -dc 0-9 <"$number_file")
  rm -f "$number_file"
  [ -n "$display" ] || { echo "wine-session: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$display"
fi

rm -rf "$prefix"
if [ -n "${WINE_TEMPLATE:-}" ]; then
  # A prefix that wineboot made once, copied: the same as a fresh one, without the wait.
  [ -f "$WINE_TEMPLATE/system.reg" ] ||
    { echo "wine-session: $WINE_TEMPLATE is no Wine prefix" >&2; exit 1; }
  mkdir -p "$(dirname "$prefix")"
  cp -a "$WINE_TEMPLATE" "$prefix"
  wineserver -p
else
  mkdir -p "$prefix"
  wineserver -p
  timeout 120 wineboot -i >/dev/null 2>&1 || { echo "wine-session: wineboot failed" >&2; exit 1; }
fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# The dialogs' font, drawn with the proportional IPA font (the default stand-in is fixed-width
# and cuts the labels short).
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
# Wine's own fonts (the caption buttons' Marlett among them), where this Wine build looks.
cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null
# Wine's own desktop programs (the tray among them) started during wineboot, before Managed=N:
# restart the server so that they start again with it.
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
wineserver -p
# The first program starts Wine's desktop programs, which outlive it: start them here, detached
# from the caller's output, so that no pipe of the caller's stays open behind them. Wine closes
# the desktop (explorer.exe) a second after its last program has ended, and the next program
# starts it again, which takes seconds where the CPU is emulated: a command prompt that reads
# from a pipe held here keeps the desktop for the whole session.
keeper_input=$(mktemp -u)
mkfifo "$keeper_input"
wine cmd <"$keeper_input" >/dev/null 2>&1 &
keeper=$!
exec 9>"$keeper_input"
rm -f "$keeper_input"

"$@" 9>&-
