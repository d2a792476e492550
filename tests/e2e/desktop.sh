#!/usr/bin/env bash
# Runs a command on an X server of its own, as a player's machine would
# have it:
#   desktop.sh bare CMD...     no window manager
#   desktop.sh openbox CMD...  Debian's openbox with a tint2 panel
# The server has no X core fonts but its built-in "fixed", as on a system
# without xfonts-base, so nothing the game shows may depend on them.
# Without Xvfb the bare run uses the display it is given; exits 77
# (skipped) where the desktop cannot be had.
set -uo pipefail
shopt -s extglob
mode=$1
shift

command -v Xvfb >/dev/null || {
  [ "$mode" = bare ] && [ -n "${DISPLAY:-}" ] && exec "$@"
  echo "no Xvfb: skipped"
  exit 77
}
if [ "$mode" = openbox ]; then
  for tool in openbox tint2 xprop; do
    command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
  done
fi

home=$(mktemp -d)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$home"
}
trap cleanup EXIT

# The server says which display it took once it is ready for clients. It
# must not reset when the game, its last client, ends: a game started during
# the reset could not connect.
exec 3< <(Xvfb -displayfd 1 -screen 0 1920x1080x24 -fp built-ins -nolisten tcp -noreset \
  2>"$home/xvfb.log")
pids+=($!)
read -r -t 20 number <&3 || { echo "Xvfb did not start"; cat "$home/xvfb.log"; exit 1; }
export DISPLAY=:$number
# The panel and the window manager keep their settings here, not in the user's home.
export HOME=$home XDG_CONFIG_HOME=$home/.config

if [ "$mode" = openbox ]; then
  # Each waits for what it needs: the panel for the window manager, the
  # test for the panel's strut taken out of the work area.
  wait_root() {  # property, pattern it must match, what is awaited
    local value
    for _ in $(seq 300); do
      value=$(xprop -root "$1" 2>/dev/null)
      [[ $value == $2 ]] && return 0
      sleep 0.1
    done
    echo "$3 did not come up: $value"
    cat "$home"/*.log
    exit 1
  }
  openbox >"$home/openbox.log" 2>&1 &
  pids+=($!)
  wait_root _NET_SUPPORTING_WM_CHECK "*window id*" openbox
  tint2 >"$home/tint2.log" 2>&1 &
  pids+=($!)
  wait_root _NET_WORKAREA "*=*" "the work area"
  wait_root _NET_WORKAREA "!(*0, 0, 1920, 1080*)" "the panel"
fi
"$@"
status=$?
if [ "$status" != 0 ] && [ "$status" != 77 ] && [ -s "$home/xvfb.log" ]; then
  echo "--- X server"
  tail -n 20 "$home/xvfb.log"
fi
exit "$status"
