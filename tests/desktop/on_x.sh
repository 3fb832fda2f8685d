#!/usr/bin/env bash
# Runs one command on an X server of its own (Xvfb) under a window manager
# (openbox), with Qt's xcb platform, as on a person's desktop; then stops both.
# Usage: on_x.sh COMMAND [ARGUMENTS...]
set -euo pipefail
scratch=$(mktemp -d) server= wm=
trap 'kill $wm $server 2>/dev/null; wait 2>/dev/null; rm -rf "$scratch"' EXIT
# Xvfb picks a free display itself, so parallel tests never race for one.
Xvfb -displayfd 3 -screen 0 "${QUILLET_X_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
server=$!
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || { cat "$scratch/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$scratch/display")" QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=
# The manager has taken over once it names itself on the root window; a
# manager that found the new server not yet answering is started again.
for _ in $(seq 100); do
    [ -n "$wm" ] && kill -0 "$wm" 2>/dev/null || { openbox --sm-disable >>"$scratch/wm.log" 2>&1 & wm=$!; }
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || { cat "$scratch/wm.log"; exit 1; }
"$@"
