# Sourced by the window's tests and scripts/screenshot-windows.sh, inside an
# X server of their own (xvfb-run): a Wine prefix of the window tests' own in
# the Windows tree, every program on one virtual desktop (so title bars show
# and the probe sees the window), and helpers:
#   wine_window_setup BUILD   the prefix, made once; Wine's server started
#   probe ARGS...             window-probe.exe (see tests/win32window/WindowProbe.cpp)
#   start_window DIR [ARGS]   tobrane-loader.exe in DIR, in the background, with
#                             $TOBRANE_PRELOAD (the pty's modem lines) preloaded
#   set_setting SECTION KEY VALUE
#   link_com N DEVICE         COMn of the prefix stands for DEVICE
#   wine_window_stop          ends every program of the prefix
#   title_is TITLE            the main window's title is TITLE
#   wait_until SECONDS CMD... runs CMD every 0.2 s until it succeeds
wine_bin=""

wine_window_setup() {
  wine_bin=$(cd "$1/bin" && pwd)
  local root
  root=$(cd "$1" && pwd)/wine
  export WINEPREFIX=$root/window-prefix HOME=$root/window-home WINEDEBUG=-all
  export WINEDLLOVERRIDES='winemenubuilder.exe=d;mscoree=d;mshtml=d'
  mkdir -p "$HOME"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.made" ]; then
      wineboot -i </dev/null >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f </dev/null >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.made"
    fi
  ) 9>"$root/window-prefix.lock"
  # Wine's server and services would hold our output streams open: started
  # detached first (the pipe trap).
  setsid wineserver -p 30 </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

probe() {
  wine "$wine_bin/window-probe.exe" "$@" </dev/null
}

window_pid=""
start_window() {
  local dir=$1
  shift
  (cd "$dir" && LD_PRELOAD=${TOBRANE_PRELOAD:-} exec wine "$wine_bin/tobrane-loader.exe" "$@") \
    </dev/null >"$dir/window.log" 2>&1 &
  window_pid=$!
}

set_setting() {
  wine reg add "HKCU\\Software\\Ostrand Electronics\\Tobrane PROM Loader\\$1" /v "$2" /d "$3" /f \
    </dev/null >/dev/null 2>&1
}

link_com() {
  ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"
}

wine_window_stop() {
  wineserver -k 2>/dev/null || true
  [ -n "$window_pid" ] && wait "$window_pid" 2>/dev/null || true
  window_pid=""
}

title_is() {
  [ "$(probe title)" = "$1" ]
}

wait_until() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 5))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}
