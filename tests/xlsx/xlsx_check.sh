#!/usr/bin/env bash
# The report, a statement, every statement, a settlement and the payout list
# of a demo ledger written both as CSV and as .xlsx: read back, every cell
# of the .xlsx equals the CSV's, a figure as a number, a code as text with
# its zeros, a day as a day; the totals under them add up. A file that
# cannot be written leaves the old one and gives status 1.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../support/demo_ledger.sh"
python3 - AnaData/Kovanta.mdb <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("UPDATE Kesintiler SET Oran=2 WHERE Adi LIKE 'Gelir%'")
# A code a spreadsheet from CSV would read as 12.
db.execute("UPDATE SutGirisi SET Kodu='0012' WHERE Kodu=(SELECT Kodu FROM Cariler ORDER BY CID LIMIT 1)")
db.execute("UPDATE Cariler SET Kodu='0012', IBAN='TR330006100519786457841326' WHERE CID=(SELECT MIN(CID) FROM Cariler)")
# Averages of fat and protein: figures, never in a totals row.
db.execute("UPDATE SutGirisi SET SYag = 3 + (SGID % 97) / 100.0, AProtein = 3 + (SGID % 61) / 100.0 "
           "WHERE Gelir_Gider = 'S' AND SGID % 2 = 0")
db.commit()
PY
kovanta="$build/kovanta"
period=(--from 01.12.2026 --to 31.12.2026)
pairs=()
for what in report statement hakedis odeme-listesi; do
  "$kovanta" "$what" "${period[@]}" --csv "$what.csv" 2>/dev/null
  "$kovanta" "$what" "${period[@]}" --xlsx "$what.xlsx" 2>/dev/null
  pairs+=("$what")
done
"$kovanta" statement "${period[@]}" --code 0012 --csv one.csv
"$kovanta" statement "${period[@]}" --code 0012 --xlsx one.xlsx
pairs+=(one)
# Debian's python3-openpyxl is for the system's own python.
/usr/bin/python3 "$here/compare.py" "${pairs[@]}"

# Only one file at a time, and a failed write keeps the old file.
status=0
"$kovanta" report "${period[@]}" --csv a.csv --xlsx b.xlsx 2>/dev/null || status=$?
[ "$status" -eq 2 ] || { echo "two files at once gave status $status"; exit 1; }
# A folder standing at the name is left as it was, whoever runs this.
mkdir taken.xlsx
cp report.xlsx taken.xlsx/kept.xlsx
status=0
"$kovanta" report "${period[@]}" --xlsx taken.xlsx 2>/dev/null || status=$?
[ "$status" -eq 1 ] || { echo "a folder at the name gave status $status"; exit 1; }
cmp report.xlsx taken.xlsx/kept.xlsx
status=0
"$kovanta" report "${period[@]}" --xlsx missing/report.xlsx 2>/dev/null || status=$?
[ "$status" -eq 1 ] || { echo "a missing folder gave status $status"; exit 1; }
echo "xlsx check passed"
