#!/usr/bin/env bash
# The same two queries the grid runs (the first page and the exact count of
# SELECT * FROM Books_view) through the command-line clients, for comparison with
# bench_dataset. Time is wall clock, memory the client's peak resident size.
#   compare-clients.sh sqlite <database file>
#   compare-clients.sh postgres <socket folder> <port> <database> [user]
set -euo pipefail
engine=${1:?sqlite|postgres}
select=${SELECT:-SELECT * FROM Books_view}
rows=${ROWS:-100}
measure() {  # label, command...
  local label=$1; shift
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o /tmp/compare-clients.$$ "$@" >/dev/null
  end=$(date +%s%N)
  read -r kib </tmp/compare-clients.$$
  rm -f /tmp/compare-clients.$$
  awk -v l="$label:" -v ns="$((end - start))" -v k="$kib" 'BEGIN { printf "%-22s %8.1f ms   peak %6.1f MiB\n", l, ns / 1e6, k / 1024 }'
}
case "$engine" in
  sqlite)
    db=${2:?database file}
    measure "first $rows rows" sqlite3 "$db" "$select LIMIT $rows"
    measure "exact count" sqlite3 "$db" "SELECT COUNT(*) FROM ($select) AS CountedRows"
    measure "all rows" sqlite3 "$db" "$select"
    ;;
  postgres)
    sock=${2:?socket folder}; port=${3:?port}; dbname=${4:?database}; user=${5:-postgres}
    measure "first $rows rows" psql -X -q -h "$sock" -p "$port" -U "$user" -d "$dbname" -c "$select LIMIT $rows"
    measure "exact count" psql -X -q -h "$sock" -p "$port" -U "$user" -d "$dbname" -c "SELECT COUNT(*) FROM ($select) AS CountedRows"
    measure "all rows" psql -X -q -h "$sock" -p "$port" -U "$user" -d "$dbname" -c "$select"
    ;;
  *) echo "usage: $0 sqlite <file> | postgres <socket folder> <port> <database> [user]" >&2; exit 2 ;;
esac
