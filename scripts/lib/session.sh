# One Xvfb display and one persistent Wine server for a run of programs.

qfw_start_xvfb() {
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QFW_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && return 0
      sleep 0.1
    done
    kill "$QFW_XVFB_PID" 2>/dev/null || true
  done
  echo "could not start Xvfb" >&2
  return 1
}

qfw_stop_xvfb() {
  [ -n "${QFW_XVFB_PID:-}" ] && kill "$QFW_XVFB_PID" 2>/dev/null || true
}

# The build's wine-run wrapper makes the prefix; keep one server for the run.
# The server is the one of the build's Wine, in the Wine root where there is one.
qfw_start_wine() {
  local build=$1
  "$build/wine-run" cmd /c exit >/dev/null 2>&1 || true
  (source "$build/wine-env" && "$build/wine-root" "$QFW_WINESERVER" -p 2>/dev/null) || true
}

qfw_stop_wine() {
  local build=$1
  (source "$build/wine-env" && "$build/wine-root" "$QFW_WINESERVER" -k 2>/dev/null) || true
}
