# Sourced by the printing end-to-end scripts, after x_server.sh's start_x_server:
#   start_cups_server WORK_DIR PRINT_LISTENER
# starts a print server of its own (a private configuration folder, reached through the socket
# named by CUPS_SERVER) with one raw queue, "quizprinter", whose device is a socket on
# 127.0.0.1 answered by PRINT_LISTENER on a free port, and makes it the default printer.
# Every job that reaches the "network printer" is kept as $PRINT_JOBS/job-N. On exit the
# server, the listener and everything else the script started are ended by their ids.
start_cups_server() {
  local work=$1 listener=$2 state
  # The scheduler hands jobs to its backends as the user lp, which must reach the spool, and
  # a socket's path is short: a fresh folder under the temporary directory does for both.
  state=$(mktemp -d "${TMPDIR:-/tmp}/quizcups.XXXXXX")
  chmod 755 "$state"
  CUPS_STATE=$state
  trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$CUPS_STATE"' EXIT
  mkdir -p "$state/spool" "$state/tmp" "$state/cache" "$state/state" "$state/log" \
    "$work/jobs" "$work/home"
  export PRINT_JOBS=$work/jobs
  export CUPS_SERVER=$state/cups.sock
  # Qt and the CUPS tools read the user's own printer choices from the home folder.
  export HOME=$work/home
  unset PRINTER LPDEST

  cat >"$state/cups-files.conf" <<CONF
User lp
Group lp
SystemGroup root
ServerRoot $state
RequestRoot $state/spool
TempDir $state/tmp
CacheDir $state/cache
StateDir $state/state
AccessLog $state/log/access_log
ErrorLog $state/log/error_log
PageLog $state/log/page_log
FileDevice No
CONF
  cat >"$state/cupsd.conf" <<CONF
LogLevel info
Listen $CUPS_SERVER
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

  "$listener" "$PRINT_JOBS" >"$work/listener.log" 2>&1 &
  for _ in $(seq 100); do [ -s "$PRINT_JOBS/port" ] && break; sleep 0.1; done
  [ -s "$PRINT_JOBS/port" ] || { echo "FAILED: the print listener did not start" >&2; exit 1; }
  PRINT_PORT=$(cat "$PRINT_JOBS/port")

  /usr/sbin/cupsd -f -c "$state/cupsd.conf" -s "$state/cups-files.conf" >"$work/cupsd.log" 2>&1 &
  CUPSD_PID=$!
  for _ in $(seq 100); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.1; done
  lpstat -r 2>/dev/null | grep -q "is running" || {
    echo "FAILED: the print server did not start" >&2
    cat "$work/cupsd.log" "$state/log/error_log" >&2 2>/dev/null
    exit 1
  }
  lpadmin -p quizprinter -E -v "socket://127.0.0.1:$PRINT_PORT" -m raw >"$work/lpadmin.log" 2>&1 &&
    lpadmin -d quizprinter >>"$work/lpadmin.log" 2>&1 || {
    echo "FAILED: the queue could not be made" >&2
    cat "$work/lpadmin.log" "$state/log/error_log" >&2 2>/dev/null
    exit 1
  }
}

# Waits up to 30 s for the Nth job to reach the printer; its path is in job_file.
wait_print_job() {
  job_file=$PRINT_JOBS/job-$1
  for _ in $(seq 300); do [ -s "$job_file" ] && return 0; sleep 0.1; done
  echo "FAILED: job $1 never reached the printer" >&2
  cat "$CUPS_STATE/log/error_log" >&2 2>/dev/null
  return 1
}
