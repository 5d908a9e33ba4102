#!/usr/bin/env bash
# A file ledger moved onto a server: every row equal as a check apart from
# the program reads both, and the statements, report and settlement written
# from the server equal, byte for byte, those written from the file. The
# folder opens the server from then on, the file only for reading, and the
# server's tables are vacuumed without a warning. A second move into the
# now full database is refused and changes nothing.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/cluster.sh"
source "$here/../support/demo_ledger.sh"
trap 'stop_cluster; rm -rf "$work"' EXIT
# Fat and protein on most pours: the averages are written from both engines.
/usr/bin/python3 - AnaData/Kovanta.mdb <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("UPDATE SutGirisi SET SYag = 3 + (SGID % 97) / 100.0, SProtein = 3 + (SGID % 61) / 100.0, "
           "AYag = 3.5 + (SGID % 53) / 100.0 WHERE Gelir_Gider = 'S' AND SGID % 3 <> 0")
db.commit()
PY
psql -X -q "$SERVER" -c "CREATE DATABASE tasinan"
ledger="${SERVER/dbname=postgres/dbname=tasinan}"
"$build/kovanta" tasi --sunucu "$ledger" >moved.txt 2>&1
if grep -i "warning" moved.txt; then echo "the move warned"; exit 1; fi
grep -qF "dbname=tasinan" AnaData/Kovanta.ini
[ "$(psql -X -At "$ledger" -c "SELECT count(*) FROM pg_stat_user_tables WHERE relname = 'sutgirisi' AND last_vacuum IS NOT NULL AND last_analyze IS NOT NULL")" = 1 ]
/usr/bin/python3 "$here/compare_ledgers.py" AnaData/Kovanta.mdb "$ledger"

# Without the folder's choice the moved file is read, and refuses a write.
mv AnaData/Kovanta.ini chosen.ini
rows="$(/usr/bin/python3 -c 'import sqlite3,sys; print(sqlite3.connect(sys.argv[1]).execute("SELECT count(*) FROM Hakedisler").fetchone()[0])' AnaData/Kovanta.mdb)"
if "$build/kovanta" hakedis --from 01.11.2026 --to 30.11.2026 --kaydet --csv posted.csv >posting.txt 2>&1; then
  echo "a posting was written to a moved file"; exit 1
fi
grep -q "taşındı" posting.txt
[ "$(/usr/bin/python3 -c 'import sqlite3,sys; print(sqlite3.connect(sys.argv[1]).execute("SELECT count(*) FROM Hakedisler").fetchone()[0])' AnaData/Kovanta.mdb)" = "$rows" ]

period=(--from 01.09.2026 --to 31.12.2026)
for command in statement report hakedis; do
  "$build/kovanta" "$command" "${period[@]}" --csv "file-$command.csv"
  "$build/kovanta" "$command" --sunucu "$ledger" "${period[@]}" --csv "server-$command.csv"
  cmp "file-$command.csv" "server-$command.csv"
done
mv chosen.ini AnaData/Kovanta.ini

before="$(psql -X -At "$ledger" -c "SELECT count(*) FROM SutGirisi")"
if "$build/kovanta" tasi --sunucu "$ledger" 2>refused.txt; then
  echo "a second move into a full database was not refused"; exit 1
fi
grep -q "boş değil" refused.txt
[ "$(psql -X -At "$ledger" -c "SELECT count(*) FROM SutGirisi")" = "$before" ]
echo "moved, compared and written alike"
