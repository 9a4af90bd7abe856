# Sourced by the desktop tests: a temporary HOME and XDG_RUNTIME_DIR, a virtual X screen of its own, and
# `stop_x_session` to end it. Needs Xvfb; the caller sets `set -euo pipefail`.
work=$(mktemp -d "${TMPDIR:-/tmp}/korvane-desktop.XXXXXX")
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export LC_ALL=C.UTF-8
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Xvfb picks a free display itself and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")

stop_x_session() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap stop_x_session EXIT

# close_window TITLE: gives the window the keyboard and presses Esc in it, as the user would to close it.
close_window() {
  timeout 20 xdotool search --sync --name "^$1\$" windowfocus --sync
  xdotool key Escape
}

# wait_exit PID SECONDS: waits for the program to end and gives its exit code (124 when it did not end).
wait_exit() {
  local pid=$1
  for _ in $(seq $(($2 * 10))); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" && return 0 || return $?; }
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  return 124
}
