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
  wait_until "the accessibility bus did not start" dbus-send --session --print-reply \
    --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# wait_until MESSAGE COMMAND...: runs COMMAND until it succeeds; after 30 s (a busy machine
# is slow to start a bus or register a program) fails with MESSAGE.
wait_until() {
  local message=$1 deadline=$((SECONDS + 30))
  shift
  until "$@" >/dev/null 2>&1; do [ "$SECONDS" -lt "$deadline" ] || fail "$message"; sleep 0.5; done
}

# read_tree PROGRAM NAME: the program's accessibility tree as a screen reader reads it, kept
# in $work/tree-NAME.txt, read again until the program is on the bus. pyatspi belongs to
# Debian's own Python, whatever python3 comes first.
read_tree() {
  tree="$work/tree-$2.txt" tree_program=$1
  wait_until "the accessibility tree of $1 could not be read" tree_read
}
tree_read() {
  timeout 60 /usr/bin/python3 "$accessibility_scripts/accessible_tree.py" "$tree_program" >"$tree"
}

# expect_object LINE...: each line must describe an object of the tree, exactly; the tree is
# read again until it does, since the program tells the bus of a key's change after the key.
expect_object() {
  local line
  for line in "$@"; do wait_until "$(basename "$tree") has no object: $line" tree_has "$line"; done
}
tree_has() { grep -qxF -- "$1" "$tree" || { tree_read; grep -qxF -- "$1" "$tree"; }; }

# start_orca: Orca itself on the script's bus, with default settings in a folder of its own
# and its debug log in $work/orca.log. Speech stays on (without it Orca leaves out what it
# would say), through the script's own speech server, whose dummy voice plays into ALSA's
# null device. Orca is never started with -r, which ends any other Orca: with one running
# (another user of this machine), the script is skipped (77).
start_orca() {
  local speech="$work/speech"
  pgrep -u "$(id -u)" -x orca >/dev/null && { echo "SKIPPED: an Orca is running"; exit 77; }
  mkdir -p "$speech" "$work/orca-settings"
  printf '%s\n' 'AddModule "dummy" "sd_dummy" ""' 'DefaultModule dummy' \
    'AudioOutputMethod "alsa"' 'AudioALSADevice "null"' >"$speech/speechd.conf"
  speech_socket="$speech/socket"  # a socket's path is limited to about 100 bytes
  [ "${#speech_socket}" -lt 100 ] || speech_socket=$(mktemp -u /tmp/quiz-speech.XXXXXX)
  speech-dispatcher -s -t 0 -c unix_socket -S "$speech_socket" -C "$speech" -L "$speech" \
    >"$speech/server.log" 2>&1 &
  wait_until "the speech server did not start" test -S "$speech_socket"
  # Orca speaks through this server only and never starts one of its own.
  export SPEECHD_ADDRESS="unix_socket:$speech_socket" SPEECHD_CMD=/nonexistent
  orca -u "$work/orca-settings" --debug-file "$work/orca.log" >"$work/orca-out.log" 2>&1 &
  orca_pid=$! spoken_seen=0
  wait_spoken "Screen reader on"
}

# wait_spoken PATTERN: waits up to 30 s until Orca has said something PATTERN (grep -E)
# matches, after what the last wait found: its "SPEECH OUTPUT" lines, a text of several lines
# joined. Orca writes its log in blocks; Shift, which it logs at length, pushes them out.
wait_spoken() {
  local deadline=$((SECONDS + 30)) found
  until found=$(awk '/^[0-9][0-9]:[0-9][0-9]:/ { if (s != "") print s; s = ""
                       if (index($0, "SPEECH OUTPUT: ")) s = $0; next }
                     s != "" { sub(/^ +/, " "); s = s $0 } END { if (s != "") print s }' \
      "$work/orca.log" 2>/dev/null | tail -n +"$((spoken_seen + 1))" | grep -n -m1 -E -- "$1"); do
    if ! kill -0 "$orca_pid" 2>/dev/null; then
      grep -q "already running" "$work/orca-out.log" && { echo "SKIPPED: Orca refused"; exit 77; }
      fail "Orca ended; see $work/orca-out.log"
    fi
    [ "$SECONDS" -lt "$deadline" ] || fail "Orca did not say: $1 (see $work/orca.log)"
    sleep 1
    xdotool key shift shift
  done
  spoken_seen=$((spoken_seen + ${found%%:*}))
}
