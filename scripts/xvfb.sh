#!/usr/bin/env bash
# xvfb.sh start|stop: a private X server for the tests. The display number is
# chosen by Xvfb itself (-displayfd), so a busy display is never assumed free.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
state="$BUILD_DIR/wine"
mkdir -p "$state"
case "${1:-}" in
  start)
    "$0" stop
    exec 3>"$state/display.num"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    exec 3>&-
    for _ in $(seq 100); do [ -s "$state/display.num" ] && break; sleep 0.1; done
    [ -s "$state/display.num" ] || { echo "xvfb: no display" >&2; exit 1; }
    echo ":$(tr -d '\n' <"$state/display.num")" >"$state/display"
    ;;
  stop)
    if [ -f "$state/xvfb.pid" ]; then
      kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
      rm -f "$state/xvfb.pid"
    fi
    rm -f "$state/display" "$state/display.num"
    ;;
  *) echo "usage: xvfb.sh start|stop" >&2; exit 2 ;;
esac
