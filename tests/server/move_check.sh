#!/usr/bin/env bash
# A file ledger moved onto a server: every row equal as a check apart from
# the program reads both, and the statements, report and settlement written
# from the server equal, byte for byte, those written from the file. A
# second move into the now full database is refused and changes nothing.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/cluster.sh"
source "$here/../support/demo_ledger.sh"
trap 'stop_cluster; rm -rf "$work"' EXIT
psql -X -q "$SERVER" -c "CREATE DATABASE tasinan"
ledger="${SERVER/dbname=postgres/dbname=tasinan}"
"$build/kovanta" tasi --sunucu "$ledger"
/usr/bin/python3 "$here/compare_ledgers.py" AnaData/Kovanta.mdb "$ledger"

period=(--from 01.09.2026 --to 31.12.2026)
for command in statement report hakedis; do
  "$build/kovanta" "$command" "${period[@]}" --csv "file-$command.csv"
  "$build/kovanta" "$command" --sunucu "$ledger" "${period[@]}" --csv "server-$command.csv"
  cmp "file-$command.csv" "server-$command.csv"
done

before="$(psql -X -At "$ledger" -c "SELECT count(*) FROM SutGirisi")"
if "$build/kovanta" tasi --sunucu "$ledger" 2>refused.txt; then
  echo "a second move into a full database was not refused"; exit 1
fi
grep -q "boş değil" refused.txt
[ "$(psql -X -At "$ledger" -c "SELECT count(*) FROM SutGirisi")" = "$before" ]
echo "moved, compared and written alike"
