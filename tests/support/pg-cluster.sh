#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the tests and benchmarks: its own folder under the
# system's temporary folder, reachable through a Unix socket in that folder and, with TLS
# only, on 127.0.0.1 at a free port (a certificate for "localhost" from a CA of its own),
# run as an unprivileged user (PostgreSQL refuses root; CI runs as root).
#
#   pg-cluster.sh start STATE    initdb + start; STATE gets the folder and the connection
#   pg-cluster.sh stop STATE     stop (whatever state it is in) and remove the folder
#   pg-cluster.sh crash STATE    pg_ctl stop -m immediate: the server dies as in a power cut
#   pg-cluster.sh restart STATE  start it again after a crash
#
# Roles: kestrel_admin (superuser, no password over the socket); every other role, and
# every role over TCP, must give its password (scram-sha-256), so a refused password can be
# tested. STATE also names tls_connection (verify-full against the cluster's CA) and
# other_ca (a CA that did not sign the server's certificate).
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
port_of() { sed -n 's/^port=//p' "$state" 2>/dev/null || true; }

# A CA, and the server's certificate for localhost signed by it; a second CA that signed nothing.
make_certificates() {
  local tls=$1
  mkdir -p "$tls"
  for ca in ca other-ca; do
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrel test $ca" \
      -keyout "$tls/$ca.key" -out "$tls/$ca.crt" 2>/dev/null
  done
  openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" -keyout "$tls/server.key" \
    -out "$tls/server.csr" 2>/dev/null
  printf 'subjectAltName=DNS:localhost\n' > "$tls/san.ext"
  openssl x509 -req -in "$tls/server.csr" -CA "$tls/ca.crt" -CAkey "$tls/ca.key" -CAcreateserial \
    -days 2 -extfile "$tls/san.ext" -out "$tls/server.crt" 2>/dev/null
  chmod 600 "$tls/server.key"
  [ "$(id -u)" -eq 0 ] && chown -R nobody "$tls"
  return 0
}

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
  local folder=$1 port=$2
  if ! as_owner "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
      -o "-k $folder -c listen_addresses=127.0.0.1 -p $port" start >/dev/null; then
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
    # A free port: the kernel's choice for a socket bound to port 0, given back at once.
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    printf 'folder=%s\nport=%s\nconnection=host=%s port=%s user=kestrel_admin dbname=postgres\n' \
      "$folder" "$port" "$folder" "$port" > "$state"
    printf 'tls_connection=host=localhost port=%s user=kestrel_admin dbname=postgres sslmode=verify-full sslrootcert=%s\n' \
      "$port" "$folder/tls/ca.crt" >> "$state"
    printf 'other_ca=%s\n' "$folder/tls/other-ca.crt" >> "$state"
    as_owner "$bin/initdb" -D "$folder/data" -U kestrel_admin --auth-local=scram-sha-256 --auth-host=reject \
      -E UTF8 --locale=C.UTF-8 --data-checksums >"$folder/initdb.log" 2>&1 \
      || { cat "$folder/initdb.log" >&2; stop_cluster; exit 1; }
    printf 'local all kestrel_admin trust\nlocal all all scram-sha-256\nhostssl all all 127.0.0.1/32 scram-sha-256\n' \
      > "$folder/data/pg_hba.conf"
    make_certificates "$folder/tls" || { stop_cluster; exit 1; }
    cat >> "$folder/data/postgresql.conf" <<CONF
ssl = on
ssl_cert_file = '$folder/tls/server.crt'
ssl_key_file = '$folder/tls/server.key'
shared_buffers = 64MB
max_connections = 60
fsync = on
log_min_messages = warning
CONF
    start_server "$folder" "$port" || { stop_cluster; exit 1; }
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
    start_server "$(folder_of)" "$(port_of)"
    ;;
  *)
    echo "pg-cluster: unknown action $action" >&2
    exit 2
    ;;
esac
