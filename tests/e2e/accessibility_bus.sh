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
  # A busy machine may take long to start the bus; 30 s, then a plain failure.
  local deadline=$((SECONDS + 30))
  until dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
      org.a11y.Bus.GetAddress >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the accessibility bus did not start"
    sleep 0.2
  done
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# read_tree PROGRAM NAME: the program's accessibility tree as a screen reader reads it, kept
# in $work/tree-NAME.txt. pyatspi belongs to Debian's own Python, whatever python3 comes first.
# The program may not have registered with the bus yet, or the bus may answer slowly: tried
# again for up to 30 s.
read_tree() {
  tree="$work/tree-$2.txt" tree_program=$1
  local deadline=$((SECONDS + 30))
  until timeout 60 /usr/bin/python3 "$accessibility_scripts/accessible_tree.py" "$1" >"$tree" \
      2>"$tree.log"; do
    [ "$SECONDS" -lt "$deadline" ] ||
      { cat "$tree.log" >&2; fail "the accessibility tree of $1 could not be read"; }
    sleep 0.5
  done
}

# expect_object LINE...: each line must describe an object of the tree last read, exactly.
# The program tells the bus of a change after the key that made it: the tree is read again
# until every line is there, for up to 30 s.
expect_object() {
  local line deadline=$((SECONDS + 30))
  for line in "$@"; do
    until grep -qxF -- "$line" "$tree"; do
      [ "$SECONDS" -lt "$deadline" ] || fail "$(basename "$tree") has no object: $line"
      sleep 0.5
      read_tree "$tree_program" "$(basename "$tree" .txt | cut -d- -f2-)"
    done
  done
}

# start_orca: Orca itself on the script's bus, with its default settings in a folder of its
# own and its debug log in $work/orca.log. Speech stays on, for Orca leaves out what it
# would say when speech is off; the speech server is the script's own, its dummy voice
# playing into ALSA's null device. Orca is never started with -r, which ends any other Orca:
# with one running already (another user of this machine), the script is skipped (77).
start_orca() {
  local speech="$work/speech"
  if pgrep -u "$(id -u)" -x orca >/dev/null; then
    echo "SKIPPED: an Orca is running already"
    exit 77
  fi
  mkdir -p "$speech" "$work/orca-settings"
  printf '%s\n' 'AddModule "dummy" "sd_dummy" ""' 'DefaultModule dummy' \
    'AudioOutputMethod "alsa"' 'AudioALSADevice "null"' >"$speech/speechd.conf"
  speech_socket="$speech/socket"
  # A socket's path is limited to about 100 bytes.
  [ "${#speech_socket}" -lt 100 ] || speech_socket=$(mktemp -u /tmp/quiz-speech.XXXXXX)
  speech-dispatcher -s -t 0 -c unix_socket -S "$speech_socket" -C "$speech" -L "$speech" \
    >"$speech/server.log" 2>&1 &
  local deadline=$((SECONDS + 30))
  until [ -S "$speech_socket" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the speech server did not start"
    sleep 0.2
  done
  # Orca's speech goes to this server only; it must never start one of its own.
  export SPEECHD_ADDRESS="unix_socket:$speech_socket" SPEECHD_CMD=/nonexistent
  orca -u "$work/orca-settings" --debug-file "$work/orca.log" >"$work/orca-out.log" 2>&1 &
  orca_pid=$!
  spoken_seen=0
  wait_spoken "Screen reader on"
}

# spoken: what Orca said, one utterance a line (its "SPEECH OUTPUT" lines, a text of several
# lines joined by spaces).
spoken() {
  awk '/^[0-9][0-9]:[0-9][0-9]:/ { if (line != "") print line; line = ""
                                   if (index($0, "SPEECH OUTPUT: ")) line = $0; next }
       line != "" { sub(/^ +/, " "); line = line $0 }
       END { if (line != "") print line }' "$work/orca.log" 2>/dev/null
}

# wait_spoken PATTERN: waits up to 30 s until Orca has said something that PATTERN (grep -E)
# matches, after what the last wait found.
# Orca writes its log in blocks; a Shift press now and then, which Orca logs at length,
# pushes it out.
wait_spoken() {
  local deadline=$((SECONDS + 30)) found
  while :; do
    found=$(spoken | tail -n +"$((spoken_seen + 1))" | grep -n -m1 -E -- "$1" || true)
    if [ -n "$found" ]; then
      spoken_seen=$((spoken_seen + ${found%%:*}))
      return 0
    fi
    if ! kill -0 "$orca_pid" 2>/dev/null; then
      grep -q "already running" "$work/orca-out.log" &&
        { echo "SKIPPED: another Orca started"; exit 77; }
      fail "Orca ended; see $work/orca-out.log"
    fi
    [ "$SECONDS" -lt "$deadline" ] || fail "Orca did not say: $1 (see $work/orca.log)"
    sleep 1
    xdotool key shift shift
  done
}
