# Sourced by the gradebook's server tests: start_postgres_server WORK_DIR starts a PostgreSQL 15
# server of its own in a fresh folder, as the user postgres (the server refuses root), listening
# on a Unix socket in that folder only, and points PGHOST at it. The server is stopped through
# its own pg_ctl on exit, also when the test fails. PG_BIN and PG_STATE name its tools and folder.
PG_BIN=/usr/lib/postgresql/15/bin

start_postgres_server() {
  local work=$1
  # A socket's path is short, and the user postgres must reach it: a folder of its own.
  PG_STATE=$(mktemp -d "${TMPDIR:-/tmp}/quizpg.XXXXXX")
  chown postgres: "$PG_STATE"
  chmod 700 "$PG_STATE"
  export PGHOST=$PG_STATE PGDATA=$PG_STATE/data
  trap 'stop_postgres_server; rm -rf "$PG_STATE"' EXIT
  runuser -u postgres -- "$PG_BIN/initdb" -D "$PGDATA" -U postgres --auth-local=peer \
    --auth-host=reject >"$work/initdb.log" 2>&1 || {
    echo "FAILED: initdb" >&2; cat "$work/initdb.log" >&2; exit 1
  }
  cat >>"$PGDATA/postgresql.conf" <<CONF
listen_addresses = ''
unix_socket_directories = '$PG_STATE'
CONF
  pg_ctl_as_postgres start
}

pg_ctl_as_postgres() {
  runuser -u postgres -- "$PG_BIN/pg_ctl" -D "$PGDATA" -l "$PG_STATE/server.log" -w "$@" \
    >/dev/null || { echo "FAILED: pg_ctl $*" >&2; cat "$PG_STATE/server.log" >&2; exit 1; }
}

stop_postgres_server() {
  [ -f "$PGDATA/postmaster.pid" ] && pg_ctl_as_postgres stop -m fast
  return 0
}

# Runs the administrator's commands of the help section titled TITLE, with sudo -u doing what
# runuser does here, after the sed expressions given.
run_help_commands() {
  local help=$1 title=$2
  shift 2
  local commands
  commands=$(sed -n "/<pre class=\"administrator\" title=\"$title\">/,/<\/pre>/p" "$help" |
    sed '1d;$d' | sed 's/&lt;/</g;s/&gt;/>/g;s/&amp;/\&/g' | sed "$@")
  [ -n "$commands" ] || { echo "FAILED: no commands titled $title in the help" >&2; exit 1; }
  (sudo() { [ "$1" = -u ] && local user=$2 && shift 2 && runuser -u "$user" -- "$@"; }
   set -e; eval "$commands") >>"$PG_STATE/setup.log" 2>&1 || {
    echo "FAILED: the help's $title commands" >&2; cat "$PG_STATE/setup.log" >&2; exit 1
  }
}

# Sets the gradebook up as the help tells an administrator to, from the table files in
# SQL_DIR, with teacher roles for each name after it and password PASSWORD; the last is a head.
set_up_gradebook() {
  local help=$1 sql=$2 password=$3 head=""
  shift 3
  mkdir "$PG_STATE/sql" && cp "$sql"/*.sql "$PG_STATE/sql/" && chown -R postgres: "$PG_STATE/sql"
  run_help_commands "$help" setup -e ''
  run_help_commands "$help" tables -e "s#/usr/share/quizloom/sql#$PG_STATE/sql#"
  for teacher in "$@"; do
    run_help_commands "$help" teacher -e "s/asmith/$teacher/g" \
      -e "s/'\\\\password \\(.*\\)'/\"ALTER ROLE \\1 PASSWORD '$password'\"/"
    head=$teacher
  done
  run_help_commands "$help" head -e "s/asmith/$head/g"
  run_help_commands "$help" student \
    -e "s/'\\\\password \\(.*\\)'/\"ALTER ROLE \\1 PASSWORD '$password'\"/"
  # Teachers and the Quizdesk login sign in with their password over the socket; the help's
  # TLS lines come first, as on a school's server.
  { sed -n '/<pre class="administrator" title="[a-z]*hba">/,/<\/pre>/p' "$help" | grep -v pre
    echo "local quizloom +quizloom_teacher,+quizloom_student scram-sha-256"
    cat "$PGDATA/pg_hba.conf"; } >"$PG_STATE/hba" && mv "$PG_STATE/hba" "$PGDATA/pg_hba.conf"
  chown postgres: "$PGDATA/pg_hba.conf"
  pg_ctl_as_postgres reload
}
