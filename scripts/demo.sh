#!/usr/bin/env bash
# Builds the program and runs it under Wine with the stand-in encryption
# program and driver and one demo volume marked "Auto" that uses the default
# password. On $DISPLAY when set (you type the password "demo" yourself);
# otherwise on a virtual display, where the prompt is answered for you and a
# screenshot of the tray icon and the mount balloon is saved.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}/wine
demo=${BUILD_DIR:-$root/build}/demo
password=demo

if [ "${1:-}" != "--inside" ]; then
  "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release
  cmake --build "$build" -j "$(nproc)" --target trayvm standins
  if [ -n "${DISPLAY:-}" ]; then export KEEP_DISPLAY=1; else unset KEEP_DISPLAY; fi
  exec "$root/scripts/wine-session.sh" "$build" "$0" --inside
fi

# --- inside the Wine session -------------------------------------------------
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
winpath() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
appdata=$("$wine" winepath -u "$("$wine" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)

rm -rf "$demo"
mkdir -p "$demo/program" "$demo/vault"
cp "$build/app/trayvm.exe" "$demo/program/"
# The stand-in takes the password from a file beside the container.
printf 'stand-in container\n' > "$demo/vault/demo.hc"
printf '%s' "$password" > "$demo/vault/demo.hc.password"

# Per-user settings: where the encryption program is; the demo volume in the
# per-user ".tcvinfo.ini".
userdir="$appdata/Vaultline/trayvm"
rm -rf "$userdir"; mkdir -p "$userdir"
printf '[Common]\r\nPath=%s\r\n' "$(winpath "$build/standin/VeraCrypt/VeraCrypt.exe")" > "$userdir/trayvm.ini"
printf '[Demo]\r\nFile=%s\r\nLetter=V\r\nAuto=1\r\nDefaultPass=1\r\n' \
       "$(winpath "$demo/vault/demo.hc")" > "$appdata/.tcvinfo.ini"
export STANDIN_LOG="$(winpath "$demo/standin-commands.log")"
# The Wine prefix is shared with the tests: leave no demo volume behind.
trap 'rm -f "$appdata/.tcvinfo.ini" "$WINEPREFIX/dosdevices/v:"' EXIT

echo "Starting trayvm.exe (title \"Mount\"); the default password of the demo volume is \"$password\"."
"$wine" "$demo/program/trayvm.exe" </dev/null >"$demo/trayvm.out" 2>&1 &
app=$!

if [ -n "${KEEP_DISPLAY:-}" ]; then
  echo "Left-click the tray icon for the volume menu, right-click for options; exit from there."
  wait "$app"
  exit 0
fi

# Virtual display: type the password and press Enter, as a user would.
# Without a window manager keys go to the window under the pointer.
box=$(xdotool search --sync --onlyvisible --name '^Mount$' | head -n1)
sleep 0.5
xdotool mousemove --window "$box" 10 10
xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus "$box"
xdotool type --delay 50 "$password"
xdotool key Return

# The stand-in maps V: when it mounts; the program notices at its next pass
# (every 300 ms while the mount is pending) and shows the balloon.
for _ in $(seq 150); do
  [ -e "$WINEPREFIX/dosdevices/v:" ] && break
  sleep 0.2
done
# Wine draws the balloon just below its tray window at the top left corner.
for _ in $(seq 40); do
  import -window root -crop 300x80+0+45 "$demo/probe.png"
  lit=$(convert "$demo/probe.png" -format '%[fx:mean>0.05]' info:)
  [ "$lit" = 1 ] && break
  sleep 0.5
done
rm -f "$demo/probe.png"
import -window root "$demo/screenshot.png"
echo "Stand-in received: $(cat "$demo/standin-commands.log" 2>/dev/null || echo nothing)"
echo "Screenshot of the tray icon and the balloon: $demo/screenshot.png"
kill "$app" 2>/dev/null || true
