"""Each NAME.xlsx read back against NAME.csv, cell for cell."""
import csv
import datetime
import re
import sys

import openpyxl

FIGURE = re.compile(r"^-?[0-9]+,[0-9]{2}$")
DAY = re.compile(r"^[0-9]{2}\.[0-9]{2}\.[0-9]{4}$")


def expected(text):
    """What the CSV's text is to a person: a figure, a day, or text."""
    if text == "":
        return None
    if FIGURE.match(text):
        return float(text.replace(",", "."))
    if DAY.match(text):
        return datetime.datetime.strptime(text, "%d.%m.%Y")
    return text


def check(name):
    rows = list(csv.reader(open(f"{name}.csv", encoding="utf-8", newline=""), delimiter=";"))
    sheet = openpyxl.load_workbook(f"{name}.xlsx").active
    assert len(sheet.title) <= 31 and not set(sheet.title) & set("[]:*?/\\"), sheet.title
    assert sheet.freeze_panes == "A2", (name, sheet.freeze_panes)
    got = [list(r) for r in sheet.iter_rows()]
    titles, body = got[0], got[1:]
    assert [c.value for c in titles] == rows[0], (name, [c.value for c in titles], rows[0])
    assert all(c.font.b for c in titles), name
    bold = [any(c.font.b for c in r if c.value is not None) for r in body]
    lines = [r for r, b in zip(body, bold) if not b]
    totals = [r for r, b in zip(body, bold) if b]
    assert len(lines) == len(rows) - 1, (name, len(lines), len(rows) - 1)
    for n, (cells, texts) in enumerate(zip(lines, rows[1:]), start=2):
        texts += [""] * (len(cells) - len(texts))
        for cell, text in zip(cells, texts):
            want = expected(text)
            where = (name, n, cell.coordinate, text, cell.value)
            if isinstance(want, float):
                assert isinstance(cell.value, (int, float)) and abs(cell.value - want) < 1e-9, where
                assert cell.number_format == "#,##0.00", where
            elif isinstance(want, datetime.datetime):
                assert cell.is_date and cell.value == want and cell.number_format == "dd.mm.yyyy", where
            else:
                assert cell.value == want and (want is None or cell.data_type == "s"), where
    # Every figure fits its column.
    for column, width in sheet.column_dimensions.items():
        widest = max((len(f"{c.value:,.2f}") for c in sheet[column] if isinstance(c.value, float)), default=0)
        assert width.width >= widest, (name, column, width.width, widest)
    return lines, totals, rows


def sums(lines, columns):
    return [round(sum(r[c].value or 0 for r in lines), 2) for c in columns]


def figures(row):
    return [c.column - 1 for c in row if isinstance(c.value, (int, float)) and not c.is_date]


for name in sys.argv[1:]:
    lines, totals, rows = check(name)
    if name in ("statement", "one"):
        # A block per producer: its total row adds the rows above it, and
        # ends on the closing balance.
        assert len(totals) == len({r[0] for r in rows[1:]}), name
        start = 0
        for total in totals:
            block = [r for r in lines[start:] if r[0].value == total[0].value]
            start += len(block)
            columns = [c for c in figures(total) if c != len(total) - 1]
            assert [round(total[c].value, 2) for c in columns] == sums(block[1:], columns), (name, total[0].value)
            assert abs(total[-1].value - block[-1][-1].value) < 1e-9, (name, total[0].value)
    elif name in ("hakedis", "odeme-listesi"):
        assert len(totals) == 1, name
        columns = figures(totals[0])
        assert [round(totals[0][c].value, 2) for c in columns] == sums(lines, columns), name
    else:
        assert not totals, name
    if name in ("report", "hakedis", "one"):
        codes = [r[0].value for r in lines]
        assert "0012" in codes, (name, codes[:5])
    print(name, len(lines), "rows equal")
