#!/usr/bin/env python3
"""Recomputes a settlement's CSV from the ledger file alone: the rates, the
intake rows and the payment rows. Every column must agree to the kuruş.

recompute.py LEDGER CSV FIRST LAST   (days as YYYY-MM-DD)
"""
import csv
import math
from decimal import ROUND_HALF_UP, Decimal
import sqlite3
import sys
from collections import defaultdict

ledger, sheet, first, last = sys.argv[1:5]


def units(x):
    """A stored amount in hundred-millionths, as the engine rounds it."""
    if x is None:
        return 0
    v = x * 1e8
    return int(math.copysign(math.floor(abs(v) + 0.5), v))


def kurus(u):
    return int(math.copysign((abs(u) + 500000) // 1000000, u))


def text(k):
    sign = "-" if k < 0 else ""
    return f"{sign}{abs(k) // 100},{abs(k) % 100:02d}"


db = sqlite3.connect(ledger)
rows = db.execute("SELECT Adi, Oran, Baslangic, KSID FROM Kesintiler ORDER BY KSID").fetchall()
order, holding = [], {}
for name, rate, start, _ in rows:
    if name not in order:
        order.append(name)
    if rate is None or (start is not None and start > last):
        continue
    held = holding.get(name)
    if held is None or (start or "") >= (held[1] or ""):
        holding[name] = (rate, start)
names = [n for n in order if n in holding]
rates = [round(holding[n][0] * 10000) for n in names]

milk, litres, paid, before = defaultdict(int), defaultdict(int), defaultdict(int), defaultdict(int)
# Per code and figure: litres times figure, and the litres of the pours with one.
weighed = defaultdict(lambda: [0.0, 0.0])
for code, day, kind, sabah, aksam, gelir, gider, syag, sprotein, ayag, aprotein in db.execute(
        "SELECT Kodu, Tarih, Gelir_Gider, Sabah, Aksam, Gelir_Toplam_Tutar, Gider_Tutari, "
        "SYag, SProtein, AYag, AProtein FROM SutGirisi"):
    if day < first:
        before[code] += units(gelir) - units(gider)
    elif day <= last:
        if kind == "S":
            milk[code] += units(gelir)
            litres[code] += units(sabah) + units(aksam)
            paid[code] += units(gider)
            for figure, pours in (("yag", ((sabah, syag), (aksam, ayag))), ("protein", ((sabah, sprotein), (aksam, aprotein)))):
                for lt, value in pours:
                    if lt is not None and value is not None:
                        weighed[code, figure][0] += lt * value
                        weighed[code, figure][1] += lt
        else:
            paid[code] += units(gider) - units(gelir)


def average(code, figure):
    """Two decimals, a half away from zero on fifteen digits; empty for none."""
    total, lt = weighed.get((code, figure), (0.0, 0.0))
    if lt == 0:
        return ""
    shown = Decimal(f"{total / lt:.15g}").quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    return f"{shown}".replace(".", ",")

with open(sheet, encoding="utf-8") as f:
    lines = list(csv.reader(f, delimiter=";"))
head = lines[0]
expected_head = ["Kodu", "Adı Soyadı", "Litre", "Ort. Yağ %", "Ort. Protein %", "Süt Tutarı"] + names + [
    "Kesinti Toplamı", "Net Süt Bedeli", "Devreden Bakiye", "Dönem Ödemeleri", "Ödenecek", "IBAN"]
faults = []
if head != expected_head:
    faults.append(f"titles {head} != {expected_head}")
codes = {c for c in milk} | {c for c, _ in db.execute(
    "SELECT DISTINCT Kodu, 1 FROM SutGirisi WHERE Gelir_Gider='S' AND Tarih BETWEEN ? AND ?", (first, last))}
if len(lines) - 1 != len(codes):
    faults.append(f"{len(lines) - 1} lines for {len(codes)} producers with milk")
for line in lines[1:]:
    code = line[0]
    sut = kurus(milk[code])
    cuts = [int(math.copysign((abs(sut * r) + 500000) // 1000000, sut * r)) for r in rates]
    devreden = kurus(before[code])
    donem = kurus(paid[code])
    net = sut - sum(cuts)
    want = [text(kurus(litres[code])), average(code, "yag"), average(code, "protein"), text(sut)] + [text(c) for c in cuts] + [
        text(sum(cuts)), text(net), text(devreden), text(donem), text(devreden + net - donem)]
    got = line[2:2 + len(want)]
    if got != want:
        faults.append(f"{code}: {got} != {want}")
if faults:
    print("\n".join(faults[:20]))
    sys.exit(1)
measured = sum(1 for line in lines[1:] if line[3])
if not 0 < measured < len(lines) - 1:
    print(f"{measured} of {len(lines) - 1} producers with an average: the check needs both kinds")
    sys.exit(1)
print(f"{len(lines) - 1} producers, every column agrees")
