#!/usr/bin/env bash
# accessibility.sh PROGRAM: runs the program on a virtual X screen with a session bus and the accessibility
# bus, reads its accessible tree with read_accessible_tree.py, then closes it and expects exit code 0.
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
source "$here/x_session.sh"

session() {
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
  local bus=$!
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q "boolean true" && break
    sleep 0.1
  done
  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/program.log" 2>&1 &
  local pid=$! rc=0
  /usr/bin/python3 "$here/read_accessible_tree.py" || rc=$?
  if [ $rc -eq 0 ]; then
    close_window "Korvane公式计算器"
    wait_exit "$pid" 10 || { rc=$?; echo "the program ended with exit code $rc"; }
  else
    kill "$pid" 2>/dev/null || true
  fi
  kill "$bus" 2>/dev/null || true
  [ $rc -eq 0 ] || { echo "--- program output"; cat "$work/program.log"; }
  return $rc
}
export -f session close_window wait_exit
export program here work
dbus-run-session -- bash -c 'set -euo pipefail; session' 2> >(grep -v "Failed to set fd limit" >&2)
