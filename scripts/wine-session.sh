#!/usr/bin/env bash
# Runs one command inside a private Wine session: its own Xvfb display, its own
# WINEPREFIX under the build folder and a persistent wineserver. Stops exactly
# what it started, also when the command fails or is interrupted.
#   scripts/wine-session.sh BUILD_DIR COMMAND [ARGS...]
set -euo pipefail
build_dir=$(realpath "$1"); shift

export WINEPREFIX="$build_dir/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
wineserver_bin=$(command -v wineserver || echo /usr/lib/wine/wineserver)
wine_bin=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || command -v wine)

xvfb_pid=""
cleanup() {
  "$wineserver_bin" -k >/dev/null 2>&1 || true
  "$wineserver_bin" -w >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -z "${KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display and tells us its number.
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$displayfile")"
  rm -f "$displayfile"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine_bin" wineboot -i </dev/null >/dev/null 2>&1 || true
  "$wineserver_bin" -k >/dev/null 2>&1 || true
  "$wineserver_bin" -w >/dev/null 2>&1 || true
fi

# Persistent server: driver state survives between test processes. Its streams
# must not be CTest's pipes, or CTest waits for it forever.
"$wineserver_bin" -p </dev/null >/dev/null 2>&1
# The display has no window manager: Wine would wait two seconds for one to
# answer each time a captioned window is hidden or destroyed. The shell's
# notification area stays managed, as clicks find it by its title.
"$wine_bin" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
"$wine_bin" reg add 'HKCU\Software\Wine\AppDefaults\explorer.exe\X11 Driver' /v Managed /d Y /f \
  </dev/null >/dev/null 2>&1 || true
# Start the session's services now, with their streams redirected, so that
# none of them inherits a pipe of a test process.
"$wine_bin" wineboot </dev/null >/dev/null 2>&1 || true
"$@"
