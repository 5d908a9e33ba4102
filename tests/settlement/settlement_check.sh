#!/usr/bin/env bash
# A month settled from the command line on a demo ledger: every column
# recomputed apart from the program, posting twice refused, the payout list
# naming who has no IBAN.
set -euo pipefail
build="$1"
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../support/demo_ledger.sh"
python3 - AnaData/Kovanta.mdb <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("UPDATE Kesintiler SET Oran=2, Baslangic='2026-01-01' WHERE Adi LIKE 'Gelir%'")
db.execute("UPDATE Kesintiler SET Oran=0.2 WHERE Adi LIKE 'Borsa%'")
db.execute("INSERT INTO Kesintiler (Adi, Oran, Baslangic) VALUES ('Gelir Vergisi Stopajı', 1, '2027-01-01')")
# Fat and protein on some pours, morning and evening apart; the first
# producer's milk is never measured.
unmeasured = "Kodu <> (SELECT MIN(Kodu) FROM SutGirisi)"
db.execute(f"UPDATE SutGirisi SET SYag = 3 + (SGID % 97) / 100.0, SProtein = 3 + (SGID % 61) / 100.0 "
           f"WHERE Gelir_Gider = 'S' AND SGID % 3 <> 0 AND {unmeasured}")
db.execute(f"UPDATE SutGirisi SET AYag = 3.5 + (SGID % 53) / 100.0 WHERE Gelir_Gider = 'S' AND SGID % 4 = 0 AND {unmeasured}")
# Valid IBANs for every other producer.
for n, (cid,) in enumerate(db.execute("SELECT CID FROM Cariler ORDER BY CID").fetchall()):
    if n % 2:
        continue
    bban = f"00061{n:017d}"
    check = 98 - int(bban + "292700") % 97
    db.execute("UPDATE Cariler SET IBAN=? WHERE CID=?", (f"TR{check:02d}{bban}", cid))
db.commit()
PY
kovanta="$build/kovanta"
"$kovanta" hakedis --from 01.12.2026 --to 31.12.2026 --csv hakedis.csv
python3 "$here/recompute.py" AnaData/Kovanta.mdb hakedis.csv 2026-12-01 2026-12-31

"$kovanta" hakedis --from 01.12.2026 --to 31.12.2026 --csv posted.csv --kaydet
cmp hakedis.csv posted.csv
status=0
"$kovanta" hakedis --from 16.12.2026 --to 15.01.2027 --csv again.csv --kaydet 2>refused.txt || status=$?
[ "$status" -eq 2 ] || { echo "an overlapping posting gave status $status"; exit 1; }
grep -q "01.12.2026–31.12.2026" refused.txt

"$kovanta" odeme-listesi --from 01.12.2026 --to 31.12.2026 --csv odeme.csv 2>without.txt
python3 - hakedis.csv odeme.csv without.txt <<'PY'
import csv, sys
lines = list(csv.reader(open(sys.argv[1], encoding="utf-8"), delimiter=";"))[1:]
paid = {r[1]: r for r in list(csv.reader(open(sys.argv[2], encoding="utf-8"), delimiter=";"))[1:]}
without = open(sys.argv[3], encoding="utf-8").read()
for line in lines:
    amount, iban, name = line[-2], line[-1], line[1]
    if amount.startswith("-") or amount == "0,00":
        continue
    if iban:
        assert paid[iban][2] == amount and paid[iban][0] == name, (line, paid.get(iban))
    else:
        assert f"{name} ({line[0]}) " in without, name
print(len(paid), "payouts; the rest named")
PY
