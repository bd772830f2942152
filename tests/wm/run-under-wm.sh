#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own with the openbox window
# manager running, as users see the program: window captions, focus and
# dialogs come from a real window manager. Usage: run-under-wm.sh PROGRAM [ARGS...]
set -euo pipefail
if [ "${QM_UNDER_WM:-}" != 1 ]; then
  exec env QM_UNDER_WM=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
# The window manager is up once it names its check window on the root window.
for _ in $(seq 100); do
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then break; fi
  sleep 0.1
done
# A sanitizer build reports leaks of the system libraries the X platform loads.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
QT_QPA_PLATFORM=xcb "$@"
