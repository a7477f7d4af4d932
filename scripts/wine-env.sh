# Sourced by scripts/test, scripts/run and scripts/bench: a throwaway Wine prefix on a private Xvfb
# display. Everything it starts is ended by pid (Xvfb) or by `wineserver -k` on its own prefix.

wine_env_start() {
  export WINEDEBUG=-all WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/mirelunde-wine.XXXXXX)
  trap wine_env_stop EXIT

  # Xvfb picks a free display number itself and writes it to the pipe once it listens: two runs
  # starting at once can never end up on one display.
  local fifo
  fifo=$(mktemp -u /tmp/mirelunde-display.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local display=
  read -r -t 30 display <"$fifo" || true
  rm -f "$fifo"
  [ -n "$display" ] || { echo "wine-env: Xvfb gave no display number" >&2; return 1; }
  export DISPLAY=":$display"
  xdpyinfo >/dev/null 2>&1 || { echo "wine-env: Xvfb did not start on $DISPLAY" >&2; return 1; }

  wineboot -i >/dev/null 2>&1
  wineserver -w
  # Wine draws caption bars and frames itself, so there is something to click in Xvfb; there is
  # no window manager, so Wine manages its windows itself instead of waiting for one.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
  echo "wine-env: prefix $WINEPREFIX on display $DISPLAY"
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}
