# Sourced by scripts/test, scripts/run, scripts/check and scripts/bench: a throwaway Wine prefix on a
# private display, either Xvfb with one monitor (wine_env_start) or Xorg's dummy video driver with
# two (wine_env_start_monitors, as root). Everything it starts is ended by pid (the X server) or by
# `wineserver -k` on its own prefix.

wine_env_start() {
  wine_env_display Xvfb -screen 0 1280x1024x24 -nolisten tcp || return 1
  wine_env_prefix
}

# Two monitors in the layout "side-by-side" (wine_env_layout); the X server runs as root.
wine_env_start_monitors() {
  X_LOG=$(mktemp /tmp/mirelunde-xorg.XXXXXX)
  wine_env_display Xorg -config "$PWD/scripts/xorg-monitors.conf" -noreset -nolisten tcp -logfile "$X_LOG" ||
    { tail -n 20 "$X_LOG" >&2; return 1; }
  wine_env_layout side-by-side
  wine_env_prefix
}

# wine_env_display SERVER ARGS...: starts the X server, which picks a free display number itself and
# writes it to the pipe once it listens, so two runs starting at once never share a display.
wine_env_display() {
  trap wine_env_stop EXIT
  local fifo display=
  fifo=$(mktemp -u /tmp/mirelunde-display.XXXXXX)
  mkfifo "$fifo"
  "$@" -displayfd 3 3>"$fifo" >/dev/null 2>&1 &
  X_PID=$!
  read -r -t 30 display <"$fifo" || true
  rm -f "$fifo"
  [ -n "$display" ] || { echo "wine-env: $1 gave no display number" >&2; return 1; }
  export DISPLAY=":$display"
  xdpyinfo >/dev/null 2>&1 || { echo "wine-env: $1 did not start on $DISPLAY" >&2; return 1; }
}

wine_env_prefix() {
  export WINEDEBUG=-all WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree,mshtml="
  WINE_ENV_PREFIX=$(mktemp -d /tmp/mirelunde-wine.XXXXXX)
  export WINEPREFIX=$WINE_ENV_PREFIX
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # Wine draws caption bars and frames itself, so there is something to click; there is no window
  # manager, so Wine manages its windows itself instead of waiting for one.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  # A program that crashes has Wine's debugger print its backtrace and end it, instead of showing a
  # box that nobody closes and leaving the test to run past its limit.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  echo "wine-env: prefix $WINEPREFIX on display $DISPLAY${MIRELUNDE_MONITORS:+, monitors $MIRELUNDE_MONITORS}"
}

# wine_env_layout NAME: places the two monitors and their work areas (as a taskbar would leave
# them), and says so to the tests in MIRELUNDE_MONITORS: each monitor's rectangle and work area in
# Windows' coordinates (left,top,right,bottom), the primary first. Wine keeps the primary at 0,0 and
# reads the layout when its wineserver starts, so the running one is ended first.
#   side-by-side: the second monitor right of the primary, both work areas short at the bottom.
#   left-above:   the second monitor left of and above the primary (negative coordinates), the
#                 primary's work area short at the left and top, the second's at the top.
wine_env_layout() {
  if [ -n "${WINE_ENV_PREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  local workareas
  case $1 in
  side-by-side)
    xrandr --output DUMMY0 --mode 1280x1024 --pos 0x0 --primary --output DUMMY1 --mode 1024x768 --pos 1280x0
    workareas=0,0,1280,984,1280,0,1024,728  # X coordinates: x,y,width,height each
    MIRELUNDE_MONITORS="0,0,1280,1024/0,0,1280,984 1280,0,2304,768/1280,0,2304,728"
    ;;
  left-above)
    xrandr --output DUMMY1 --mode 1024x768 --pos 0x0 --output DUMMY0 --mode 1280x1024 --pos 1024x256 --primary
    workareas=1084,296,1220,984,0,30,1024,738
    MIRELUNDE_MONITORS="0,0,1280,1024/60,40,1280,1024 -1024,-256,0,512/-1024,-226,0,512"
    ;;
  *)
    echo "wine-env: no layout $1" >&2
    return 1
    ;;
  esac
  xprop -root -f _GTK_WORKAREAS_D0 32c -set _GTK_WORKAREAS_D0 "$workareas"
  export MIRELUNDE_MONITORS
  echo "wine-env: layout $1: $MIRELUNDE_MONITORS"
}

# wine_env_dpi DPI: every Wine program started from now on runs at that DPI on every monitor, and
# the tests are told so in MIRELUNDE_DPI (one DPI, or one for each monitor in the order of
# MIRELUNDE_MONITORS).
wine_env_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  export MIRELUNDE_DPI=$1
  echo "wine-env: $1 DPI"
}

# wine_env_monitor_dpi DPI: the second monitor at that DPI, the primary at 96, for programs started
# from now on (Wine 10; Wine 8 has one DPI for the desktop). Wine takes a monitor's DPI from the value
# "Dpi" of its adapter's key, which the wineserver makes afresh, volatile, as it starts: so a
# persistent wineserver is started, the key written, and the server kept until wine_env_stop.
wine_env_monitor_dpi() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p
  local answer key
  answer=$(mktemp /tmp/mirelunde-reg.XXXXXX)
  # To a file: a pipe would be held open by the services the first program starts.
  wine reg query 'HKLM\HARDWARE\DEVICEMAP\VIDEO' /v '\Device\Video1' >"$answer" 2>/dev/null || true
  key=$(tr -d '\r' <"$answer" | sed -n 's/.*REG_SZ *\\Registry\\Machine\\//p')
  rm -f "$answer"
  [ -n "$key" ] || { echo "wine-env: no second display adapter" >&2; return 1; }
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\'"$key" /v Dpi /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1
  export MIRELUNDE_DPI="96 $1"
  echo "wine-env: the second monitor at $1 DPI ($key)"
}

wine_env_stop() {
  # Only the prefix made here: one set outside is left alone.
  if [ -n "${WINE_ENV_PREFIX:-}" ] && [ -d "$WINE_ENV_PREFIX" ]; then
    WINEPREFIX=$WINE_ENV_PREFIX wineserver -k 2>/dev/null || true
    WINEPREFIX=$WINE_ENV_PREFIX wineserver -w 2>/dev/null || true
    rm -rf "$WINE_ENV_PREFIX"
  fi
  if [ -n "${X_PID:-}" ]; then
    kill "$X_PID" 2>/dev/null || true
    wait "$X_PID" 2>/dev/null || true
  fi
  [ -z "${X_LOG:-}" ] || rm -f "$X_LOG"
}
