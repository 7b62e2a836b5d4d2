#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests and benchmarks.
#   pg-cluster.sh start <folder> <port>   fresh cluster in <folder>, socket in <folder>/sock
#   pg-cluster.sh stop  <folder>
# As root the server runs as the postgres user (initdb refuses root); otherwise as the
# calling user. Authentication is trust, superuser "postgres".
set -euo pipefail
cmd=${1:?start|stop}; dir=${2:?folder}
PGBIN=${PGBIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}
data="$dir/data"; sock="$dir/sock"
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case "$cmd" in
  start)
    port=${3:?port}
    if [ -f "$data/postmaster.pid" ]; then as_owner "$PGBIN/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true; fi
    rm -rf "$dir"; mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then
      chmod 755 "$dir"
      install -d -o postgres -g postgres -m 700 "$data"
      install -d -o postgres -g postgres -m 755 "$sock"
    else
      install -d -m 700 "$data"; install -d -m 755 "$sock"
    fi
    as_owner "$PGBIN/initdb" -D "$data" -U postgres --auth=trust --encoding=UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
      || { cat "$dir/initdb.log"; exit 1; }
    as_owner "$PGBIN/pg_ctl" -D "$data" -l "$data/server.log" -w -t 60 \
      -o "-p $port -k $sock -c listen_addresses=localhost -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" start >/dev/null \
      || { cat "$data/server.log"; exit 1; }
    echo "PostgreSQL on port $port, socket folder $sock"
    ;;
  stop)
    [ -d "$data" ] && as_owner "$PGBIN/pg_ctl" -D "$data" -m fast -w stop >/dev/null 2>&1 || true
    ;;
  *) echo "usage: $0 start|stop <folder> [port]" >&2; exit 2 ;;
esac
