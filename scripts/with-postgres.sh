#!/usr/bin/env bash
# Runs a command beside a throwaway PostgreSQL cluster: initdb into a temporary folder, a Unix
# socket there and a free port, the connection string in ORVEX_TEST_PG; the cluster is stopped
# and removed when the command ends, also when it fails.
#   scripts/with-postgres.sh COMMAND [ARGS...]
set -euo pipefail

pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [[ -z "$pgbin" || ! -x "$pgbin/initdb" ]]; then
  echo "with-postgres: no PostgreSQL server binaries found" >&2
  exit 3
fi

as_owner=()
dir=$(mktemp -d /tmp/orvex-pg.XXXXXX)
if [[ $(id -u) -eq 0 ]]; then
  # The server refuses to run as root: the cluster belongs to the postgres account.
  if ! id postgres >/dev/null 2>&1; then
    echo "with-postgres: running as root needs the postgres account (package postgresql)" >&2
    rmdir "$dir"
    exit 3
  fi
  chown postgres:postgres "$dir"
  as_owner=(runuser -u postgres --)
fi
chmod 700 "$dir"

free_port() {
  if command -v python3 >/dev/null; then
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
  else
    echo $((20000 + RANDOM % 20000))
  fi
}
port=$(free_port)
pg_ctl=("${as_owner[@]}" "$pgbin/pg_ctl" -D "$dir/data")

stop_cluster() {
  "${pg_ctl[@]}" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap stop_cluster EXIT

"${as_owner[@]}" "$pgbin/initdb" -D "$dir/data" -A trust -U postgres --no-sync -E UTF8 \
  --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
# The settings go into the cluster's own configuration, so that a plain "pg_ctl start" after a
# stop (tests of a server outage) brings the server back on the same socket and port.
cat >>"$dir/data/postgresql.conf" <<CONF
port = $port
unix_socket_directories = '$dir'
listen_addresses = '127.0.0.1'
fsync = off
full_page_writes = off
synchronous_commit = off
CONF
"${pg_ctl[@]}" -w -l "$dir/server.log" start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }

export ORVEX_TEST_PG="Provider=PostgreSQL;Host=$dir;Port=$port;Database=postgres;User ID=postgres"
# Tests that stop and restart the server use this command line ("$ORVEX_TEST_PG_CTL stop").
export ORVEX_TEST_PG_CTL="${pg_ctl[*]} -w -l $dir/server.log"
echo "with-postgres: cluster on port $port in $dir"

set +e
"$@"
status=$?
set -e
exit $status
