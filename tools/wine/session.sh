#!/usr/bin/env bash
# The Wine session of one build directory: a private prefix, an X display and
# a persistent wineserver, all kept under <build>/wine/.
#
#   session.sh start BUILD_DIR   create what is missing and start the server
#                                (idempotent; cheap when everything is up)
#   session.sh stop  BUILD_DIR   wineserver -k for that prefix, stop our Xvfb
#   session.sh env   BUILD_DIR   print the environment lines for a Wine call
#
# The display: $LAUNCHER_DISPLAY if set (the demo passes the user's display),
# else an Xvfb of our own, started and stopped by process id.
set -euo pipefail

cmd=${1:?usage: session.sh start|stop|env BUILD_DIR}
build=$(cd "${2:?usage: session.sh start|stop|env BUILD_DIR}" && pwd)
state="$build/wine"
mkdir -p "$state"

export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64   # /usr/bin/wine prefers the 32-bit loader, which cannot run here

xvfb_alive() {
  [[ -f "$state/xvfb.pid" ]] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

display_alive() {
  [[ -f "$state/display" ]] || return 1
  local d; d=$(cat "$state/display")
  if [[ -f "$state/xvfb.pid" ]]; then xvfb_alive; else [[ -n "$d" ]]; fi
}

start_xvfb() {
  local n
  for n in $(seq 90 120); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 50); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      sleep 0.1
    done
    echo ":$n" >"$state/display"
    return 0
  done
  echo "session.sh: no free X display between :90 and :120" >&2
  return 1
}

server_running() {
  # The server runs in a directory named after the prefix's device and inode.
  local dir p
  dir=$(printf '/tmp/.wine-%d/server-%x-%x' "$(id -u)" "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
  [[ -S "$dir/socket" ]] || return 1
  for p in $(pgrep -u "$(id -u)" -x wineserver64 || true); do
    [[ "$(readlink "/proc/$p/cwd" 2>/dev/null)" == "$dir" ]] && return 0
  done
  return 1
}

create_prefix() {
  # Create under a non-persistent server, let it exit, then configure: a prefix
  # created under a persistent server leaves two services.exe behind (StartService
  # then fails with 1053/1055).
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i </dev/null >/dev/null 2>&1 9>&-
  wineserver -w 9>&-
  local reg=(env LC_ALL=C.UTF-8 "$WINE" reg add)
  # A CJK font for the Chinese texts, under the names the launcher and the system ask for.
  for face in '宋体' 'SimSun' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma' 'MS Sans Serif'; do
    "${reg[@]}" 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d 'WenQuanYi Zen Hei' /f \
      </dev/null >/dev/null 2>&1 9>&-
  done
  # Without a window manager Wine waits ~2 s for every closing top-level window.
  "${reg[@]}" 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 9>&-
  wineserver -w 9>&-
  touch "$WINEPREFIX/.launcher-ready"
}

start() {
  exec 9>"$state/lock"
  flock 9
  if [[ -n "${LAUNCHER_DISPLAY:-}" ]]; then
    if [[ "$(cat "$state/display" 2>/dev/null)" != "$LAUNCHER_DISPLAY" || -f "$state/xvfb.pid" ]]; then
      stop_locked
      rm -f "$state/xvfb.pid"
      echo "$LAUNCHER_DISPLAY" >"$state/display"
    fi
  elif ! display_alive || [[ ! -f "$state/xvfb.pid" ]]; then
    stop_locked
    start_xvfb
  fi
  export DISPLAY; DISPLAY=$(cat "$state/display")
  [[ -f "$WINEPREFIX/.launcher-ready" ]] || create_prefix
  if ! server_running; then
    # Detached from our stdio: ctest waits for EOF on every pipe a test's
    # children hold, and the server and services.exe would inherit them.
    wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
    "$WINE" wineboot </dev/null >/dev/null 2>&1 9>&-
    # The desktop process, detached as well. Otherwise the first program that
    # creates a window starts it with that program's stdio, and ctest then
    # waits for that test until no program of the prefix has windows left.
    "$WINE" explorer /desktop </dev/null >/dev/null 2>&1 9>&- &
  fi
}

stop_locked() {
  if [[ -d "$WINEPREFIX" ]]; then wineserver -k </dev/null >/dev/null 2>&1 9>&- || true; fi
  if xvfb_alive; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
  rm -f "$state/xvfb.pid" "$state/display"
}

case "$cmd" in
  start) start ;;
  stop)
    exec 9>"$state/lock"
    flock 9
    stop_locked
    ;;
  env)
    echo "WINEPREFIX=$WINEPREFIX"
    echo "WINEDEBUG=$WINEDEBUG"
    echo "WINEDLLOVERRIDES=$WINEDLLOVERRIDES"
    echo "DISPLAY=$(cat "$state/display" 2>/dev/null)"
    ;;
  *) echo "usage: session.sh start|stop|env BUILD_DIR" >&2; exit 2 ;;
esac
