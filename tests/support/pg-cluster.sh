#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests and benchmarks: its own folder under the
# system's temporary folder, reachable only through a Unix socket in that folder, run as
# an unprivileged user (PostgreSQL refuses root; CI runs as root).
#
#   pg-cluster.sh start STATE    initdb + start; STATE gets the folder and the connection
#   pg-cluster.sh stop STATE     stop (whatever state it is in) and remove the folder
#   pg-cluster.sh crash STATE    pg_ctl stop -m immediate: the server dies as in a power cut
#   pg-cluster.sh restart STATE  start it again after a crash
#
# Roles: kestrel_admin (superuser, no password over the socket); every other role must
# give its password (scram-sha-256), so a refused password can be tested.
set -euo pipefail

action=${1:?start|stop|crash|restart}
state=${2:?state file}

bin=${KESTREL_PG_BIN:-}
if [ -z "$bin" ]; then
  for candidate in /usr/lib/postgresql/*/bin; do
    [ -x "$candidate/initdb" ] && bin=$candidate
  done
fi
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "pg-cluster: PostgreSQL server programs not found (Debian package postgresql)" >&2
  exit 1
fi

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u nobody -- "$@"
  else
    "$@"
  fi
}

folder_of() { sed -n 's/^folder=//p' "$state" 2>/dev/null || true; }

stop_cluster() {
  local folder
  folder=$(folder_of)
  [ -n "$folder" ] || return 0
  if [ -f "$folder/data/postmaster.pid" ]; then
    # Nothing in it is kept: no shutdown checkpoint to wait for.
    as_owner "$bin/pg_ctl" -D "$folder/data" -m immediate -w -t 30 stop >/dev/null 2>&1 || true
  fi
  case "$folder" in
    */kestrel-pg.*) rm -rf "$folder" ;;
  esac
  rm -f "$state"
}

start_server() {
  local folder=$1
  if ! as_owner "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
      -o "-k $folder -c listen_addresses= -p 5432" start >/dev/null; then
    echo "pg-cluster: the server did not start; its log:" >&2
    cat "$folder/server.log" >&2 || true
    return 1
  fi
}

case "$action" in
  start)
    stop_cluster  # one left over from an interrupted run
    mkdir -p "$(dirname "$state")"
    folder=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-pg.XXXXXX")
    chmod 755 "$folder"
    [ "$(id -u)" -eq 0 ] && chown nobody "$folder"
    printf 'folder=%s\nconnection=host=%s port=5432 user=kestrel_admin dbname=postgres\n' "$folder" "$folder" > "$state"
    as_owner "$bin/initdb" -D "$folder/data" -U kestrel_admin --auth-local=scram-sha-256 --auth-host=reject \
      -E UTF8 --locale=C.UTF-8 --data-checksums >"$folder/initdb.log" 2>&1 \
      || { cat "$folder/initdb.log" >&2; stop_cluster; exit 1; }
    printf 'local all kestrel_admin trust\nlocal all all scram-sha-256\n' > "$folder/data/pg_hba.conf"
    cat >> "$folder/data/postgresql.conf" <<CONF
shared_buffers = 64MB
max_connections = 60
fsync = on
log_min_messages = warning
CONF
    start_server "$folder" || { stop_cluster; exit 1; }
    echo "pg-cluster: started in $folder" >&2
    ;;
  stop)
    stop_cluster
    ;;
  crash)
    folder=$(folder_of)
    as_owner "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null
    ;;
  restart)
    start_server "$(folder_of)"
    ;;
  *)
    echo "pg-cluster: unknown action $action" >&2
    exit 2
    ;;
esac
