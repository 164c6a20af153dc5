# Sourced by the tools: starts a private Xvfb when no display is set, exporting DISPLAY and
# leaving its process id in xvfb_pid (empty when none was started).
#   start_private_xvfb [WIDTHxHEIGHT]   (default 1280x1024)
xvfb_pid=""
start_private_xvfb() {
  [ -z "${DISPLAY:-}" ] || return 0
  local size=${1:-1280x1024} n
  for n in $(seq 90 140); do
    # A lock whose server has gone (killed with its session) is taken over by the next Xvfb.
    [ -e "/tmp/.X$n-lock" ] && kill -0 "$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)" 2>/dev/null &&
      continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    if kill -0 "$xvfb_pid" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
    xvfb_pid=""
  done
  echo "could not start Xvfb" >&2
  return 1
}
