#!/usr/bin/env bash
# What `make run` does: starts brindle.exe as the mail client would, with a mail file's name, in
# a fresh demo Wine prefix (BUILD/wine-demo) that has two viewers configured:
# メモ帳 (notepad.exe) and ワードパッド (write.exe).
#   With a display: Brindle runs until the user ends it (tray icon menu, 終了).
#   Without one (a private Xvfb): it takes BUILD/brindle-demo-ARCH.png of the pop-up menu, closes
#   the menu with Escape, double-clicks the tray icon, takes BUILD/brindle-demo-main-ARCH.png of
#   the main window and BUILD/brindle-demo-about-ARCH.png of the About box, and ends everything.
#   Every wait is bounded.
# BUILD is the build directory of the brindle.exe to run (default: build in the repository, the
# 32-bit product); WINEARCH (win32 or win64, the ARCH of the pictures' names) the build's
# architecture, by default the one tools/wine-session.sh reads from BUILD; BUILD_NAME what the
# demo calls the build.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${BUILD:-$root/build}")
exe=$build/brindle.exe
mail=$root/samples/mail.txt
menus='HKCU\Software\Copperfinch\Brindle\Menus'

if [ "${1:-}" != --in-session ]; then
  [ -f "$exe" ] || { echo "demo: $exe is missing; run make first" >&2; exit 1; }
  # wine-session.sh provides a display when there is none; remember which case this is.
  if [ -n "${DISPLAY:-}" ]; then headless=0; else headless=1; fi
  echo "Build: ${BUILD_NAME:-$exe} ($exe)"
  BUILD=$build DEMO_HEADLESS=$headless \
    exec "$root/tools/wine-session.sh" "$build/wine-demo" bash "$root/tools/demo.sh" --in-session
fi

# Inside the Wine session from here on.

add_viewer() { # title command parameters
  wine reg add "$menus\\$1" /ve /d "$2" /f >/dev/null
  wine reg add "$menus\\$1" /v Param /d "$3" /f >/dev/null
}

# The titles are UTF-8 here; Wine turns them into the registry's Unicode (LANG=ja_JP.UTF-8),
# and Brindle reads them back in code page 932.
add_viewer 'メモ帳' 'notepad.exe' ''
add_viewer 'ワードパッド' 'C:\windows\system32\write.exe' ''
wine reg add "$menus" /v Order /t REG_MULTI_SZ /d 'メモ帳\0ワードパッド' /f >/dev/null

# reg.exe writes its report in the console code page, 932.
seeded=$(wine reg query "$menus" /s | iconv -f CP932 -t UTF-8 | tr -d '\r')
echo "Viewers configured in the demo prefix:"
sed '/^$/d; s/^/  /' <<<"$seeded"
for expected in '\Menus\メモ帳' '\Menus\ワードパッド' 'メモ帳\0ワードパッド'; do
  grep -qF "$expected" <<<"$seeded" || {
    echo "demo: the registry does not read back '$expected':" >&2
    echo "$seeded" >&2
    exit 1
  }
done

mail_win=$(winepath -w "$mail")
echo "Mail file: $mail_win"

if [ "${DEMO_HEADLESS:-1}" = 0 ]; then
  echo "Brindle shows its viewer menu at the pointer. It then stays in the notification area:"
  echo "double-click its icon for the list of viewers, end it with 終了 in the icon's menu."
  wine "$exe" "$mail_win"
  exit 0
fi

# Headless.
wait_for() { # tenths-of-a-second command...: runs the command until it prints something
  local tries=$1 out
  shift
  for _ in $(seq "$tries"); do
    out=$("$@" 2>/dev/null | head -n 1) || true
    [ -n "$out" ] && { echo "$out"; return 0; }
    sleep 0.1
  done
  return 1
}
# A Wine pop-up menu is a visible X window of the program's class without a name (the dialogs
# have one); it counts only if it is still there a moment later, not a window on its way out.
unnamed_windows() {
  local window name
  for window in $(xdotool search --onlyvisible --class '^brindle\.exe$' 2>/dev/null); do
    name=$(xdotool getwindowname "$window" 2>/dev/null) || continue
    [ -z "$name" ] && echo "$window"
  done
  return 0
}
menu_window() {
  local first window
  first=$(unnamed_windows)
  [ -n "$first" ] || return 1
  sleep 0.3
  for window in $(unnamed_windows); do
    grep -qx "$window" <<<"$first" && { echo "$window"; return 0; }
  done
  return 1
}
menu_closed() { menu_window >/dev/null || echo closed; }
shot() { # file, named for the build
  local file=${1%.png}-$WINEARCH.png
  import -window root "$file"
  echo "Screenshot: $file"
}

status=0
wine "$exe" "$mail_win" &
brindle=$!

if wait_for 150 menu_window >/dev/null; then
  sleep 1 # let the menu paint
else
  echo "demo: the pop-up menu did not appear within 15 s" >&2
  status=1
fi
shot "$build/brindle-demo.png"

if [ $status = 0 ]; then
  # Escape closes the menu without starting a viewer; the pointer (screen centre) is over it.
  xdotool key Escape
  wait_for 50 menu_closed >/dev/null || echo "demo: the menu is still open after Escape" >&2
  # Without a system tray Wine shows the icons in a window of its own; Brindle's is the only one.
  if tray=$(wait_for 50 xdotool search --onlyvisible --name '^Wine System Tray$'); then
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    xdotool mousemove $((X + HEIGHT / 2)) $((Y + HEIGHT / 2)) click --repeat 2 --delay 100 1
    # Away from the icon, so that its tooltip does not cover the picture.
    read -r screen_width screen_height < <(xdotool getdisplaygeometry)
    xdotool mousemove $((screen_width - 1)) $((screen_height - 1))
    if wait_for 100 xdotool search --onlyvisible --name '^Brindle Launcher$' >/dev/null; then
      sleep 1 # let the list paint
      shot "$build/brindle-demo-main.png"
      # The About box: the last item of the system menu (Alt+Space, then Up from the top).
      xdotool key alt+space
      sleep 0.5
      xdotool key Up Return
      if wait_for 50 xdotool search --onlyvisible --name '情報 Brindle$' >/dev/null; then
        sleep 1
        shot "$build/brindle-demo-about.png"
      else
        echo "demo: the About box did not open from the system menu" >&2
        status=1
      fi
    else
      echo "demo: the main window did not appear after a double click on the tray icon" >&2
      status=1
    fi
  else
    echo "demo: no tray icon appeared" >&2
    status=1
  fi
fi

wineserver -k >/dev/null 2>&1 || true
for _ in $(seq 50); do kill -0 "$brindle" 2>/dev/null || break; sleep 0.1; done
kill -9 "$brindle" 2>/dev/null || true
wait "$brindle" 2>/dev/null || true
exit $status
