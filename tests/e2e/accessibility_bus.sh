# Sourced by the accessibility end-to-end scripts, which run inside their own D-Bus session
# (run_in_own_session re-starts the script under dbus-run-session, which ends that bus when the
# script ends). start_accessible_desktop WORK_DIR: an X server and at-spi2-core's accessibility
# bus of the script's own, both ended with its other background jobs by x_server.sh's trap.
accessibility_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

run_in_own_session() {
  if [ -z "${QUIZ_OWN_DBUS_SESSION:-}" ]; then
    QUIZ_OWN_DBUS_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
  fi
}

start_accessible_desktop() {
  local launcher
  work=$1
  rm -rf "$work"
  mkdir -p "$work/folder"
  source "$accessibility_scripts/x_server.sh"
  start_x_server "$work"
  source "$accessibility_scripts/window_steps.sh"
  for launcher in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher ""; do
    [ -x "$launcher" ] && break
  done
  [ -n "$launcher" ] || fail "at-spi-bus-launcher not found (package at-spi2-core)"
  "$launcher" --launch-immediately >"$work/accessibility-bus.log" 2>&1 &
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
      >/dev/null 2>&1 && break
    sleep 0.1
  done
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# read_tree PROGRAM NAME: the program's accessibility tree as a screen reader reads it, kept
# in $work/tree-NAME.txt. pyatspi belongs to Debian's own Python, whatever python3 comes first.
read_tree() {
  tree="$work/tree-$2.txt"
  timeout 60 /usr/bin/python3 "$accessibility_scripts/accessible_tree.py" "$1" >"$tree" ||
    fail "the accessibility tree of $1 could not be read"
}

# expect_object LINE...: each line must describe an object of the tree last read, exactly.
expect_object() {
  local line
  for line in "$@"; do
    grep -qxF -- "$line" "$tree" || fail "$(basename "$tree") has no object: $line"
  done
}
