#!/usr/bin/env python3
"""Compares a file ledger with a server ledger row by row, apart from the
program: every table of the file against the server's table of that name.

    compare_ledgers.py FILE.mdb CONNINFO

One line a table: "Cariler: 30 satır eşit", or its first differences.
Exit 0 when every table is equal, 1 when one differs or is missing on the
server, 2 when the two could not be read.
"""

import csv
import decimal
import io
import os
import shutil
import sqlite3
import struct
import subprocess
import sys

FIRST_DIFFERENCES = 5


class CannotCompare(Exception):
    pass


def psql_program():
    chosen = os.environ.get("KOVANTA_PG_BINDIR")
    if chosen:
        return os.path.join(chosen, "psql")
    versioned = "/usr/lib/postgresql/15/bin/psql"
    if os.access(versioned, os.X_OK):
        return versioned
    return shutil.which("psql") or "psql"


def parse_csv(text):
    """psql's CSV: the rows' fields as texts."""
    return list(csv.reader(io.StringIO(text, newline="")))


def server_rows(conninfo, sql):
    """The header and the rows of one query, every value as the server
    writes it."""
    # Shortest text that reads back to the same double; dates as ISO.
    command = [psql_program(), "-X", "-q", "--csv", "-v", "ON_ERROR_STOP=1", "-d", conninfo,
               "-c", "SET extra_float_digits = 3; SET DateStyle = ISO; SET bytea_output = hex", "-c", sql]
    try:
        done = subprocess.run(command, capture_output=True, env=dict(os.environ, PGCLIENTENCODING="UTF8"))
    except OSError as error:
        raise CannotCompare(f"psql çalıştırılamadı: {error}")
    if done.returncode != 0:
        raise CannotCompare(done.stderr.decode("utf-8", "replace").strip())
    rows = parse_csv(done.stdout.decode("utf-8"))
    if not rows:
        raise CannotCompare(f"psql bir şey yazmadı: {sql}")
    return rows[0], rows[1:]


def quoted_name(name):
    return '"' + name.replace('"', '""') + '"'


def folded(name):
    # The server folds only ASCII letters of an unquoted name.
    return name.translate(str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz"))


def bits(value):
    return struct.pack("<d", value)


def server_value(text, kind):
    """The server's text as the value the file would hold."""
    if kind in ("smallint", "integer", "bigint"):
        return int(text)
    if kind in ("double precision", "real"):
        return float(text)  # "NaN", "Infinity" and "-Infinity" too
    if kind == "numeric":
        return decimal.Decimal(text)
    if kind == "boolean":
        return 1 if text == "t" else 0
    if kind == "bytea":
        return bytes.fromhex(text[2:])
    return text  # text, date, timestamp: the file keeps the same text


def same(file_value, server):
    if file_value is None or server is None:
        return file_value is None and server is None
    if isinstance(server, float):
        if isinstance(file_value, int) and not isinstance(file_value, bool):
            return float(file_value) == file_value and bits(float(file_value)) == bits(server)
        return isinstance(file_value, float) and bits(file_value) == bits(server)
    if isinstance(server, int):
        return type(file_value) is int and file_value == server
    if isinstance(server, decimal.Decimal):
        return isinstance(file_value, (int, float)) and decimal.Decimal(file_value) == server
    if isinstance(server, bytes):
        return isinstance(file_value, bytes) and file_value == server
    return isinstance(file_value, str) and file_value == server


def sort_key(row):
    """One order for both sides whatever each side's collation: by the first
    column, then the rest."""
    def key(value):
        if value is None:
            return (0, 0)
        if isinstance(value, (int, float, decimal.Decimal)):
            return (1, value)
        if isinstance(value, str):
            return (2, value)
        return (3, value)
    return tuple(key(v) for v in row)


def shown(value):
    # repr: the shortest text that tells two doubles apart.
    return "NULL" if value is None else repr(value)


def compare_table(db, conninfo, table, server_table, columns):
    cursor = db.execute(f"SELECT * FROM {quoted_name(table)} ORDER BY 1 COLLATE BINARY")
    names = [d[0] for d in cursor.description]
    file_rows = sorted(cursor.fetchall(), key=sort_key)
    # psql writes NULL and an empty text alike, so each row says which of
    # its fields are NULL.
    nulls = " || ".join(f"({quoted_name(name)} IS NULL)::int::text" for name, _ in columns)
    header, texts = server_rows(conninfo, f"SELECT *, {nulls} FROM {quoted_name(server_table)} ORDER BY 1")
    header = header[:-1]
    problems = []
    if [folded(n) for n in names] != [folded(n) for n in header]:
        problems.append(f"sütunlar farklı: dosyada {', '.join(names)}; sunucuda {', '.join(header)}")
        return problems
    kinds = [kind for _, kind in columns]
    rows = sorted(([None if null == "1" else server_value(text, kind)
                    for text, kind, null in zip(row[:-1], kinds, row[-1])] for row in texts), key=sort_key)
    if len(file_rows) != len(rows):
        problems.append(f"satır sayısı farklı: dosyada {len(file_rows)}, sunucuda {len(rows)}")
    for number, (mine, theirs) in enumerate(zip(file_rows, rows), start=1):
        for name, a, b in zip(names, mine, theirs):
            if not same(a, b):
                problems.append(f"{number}. satır ({names[0]}={shown(mine[0])}), {name}: "
                                f"dosyada {shown(a)}, sunucuda {shown(b)}")
                if len(problems) >= FIRST_DIFFERENCES:
                    return problems
    return problems


FILE_ONLY = {"Defter_Kimligi", "Defter_Tasindi"}


def compare(path, conninfo):
    if not os.path.isfile(path):
        raise CannotCompare(f"{path}: dosya yok")
    db = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
    tables = [name for (name,) in db.execute(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name")]
    _, listed = server_rows(conninfo,
                            "SELECT table_name FROM information_schema.tables "
                            "WHERE table_schema = 'public' AND table_type = 'BASE TABLE' ORDER BY 1")
    on_server = [name for (name,) in listed]
    _, columns = server_rows(conninfo,
                             "SELECT table_name, column_name, data_type FROM information_schema.columns "
                             "WHERE table_schema = 'public' ORDER BY table_name, ordinal_position")
    table_columns = {}
    for table, column, kind in columns:
        table_columns.setdefault(table, []).append((column, kind))

    equal = True
    matched = set()
    for table in tables:
        # The file's own marks (its identity, where it was moved) stay with it.
        if table in FILE_ONLY:
            print(f"{table}: yalnız dosyada var (karşılaştırılmadı)")
            continue
        # A quoted name of the same spelling first, then the folded one.
        candidates = [t for t in on_server if t == table] or [t for t in on_server if t == folded(table)]
        if not candidates:
            print(f"{table}: sunucuda yok")
            equal = False
            continue
        server_table = candidates[0]
        matched.add(server_table)
        problems = compare_table(db, conninfo, table, server_table, table_columns[server_table])
        if problems:
            equal = False
            for problem in problems:
                print(f"{table}: {problem}")
        else:
            count = db.execute(f"SELECT count(*) FROM {quoted_name(table)}").fetchone()[0]
            print(f"{table}: {count} satır eşit")
    for extra in on_server:
        if extra not in matched:
            print(f"{extra}: yalnız sunucuda var (karşılaştırılmadı)")
    return equal


def main(arguments):
    if len(arguments) != 2:
        print("kullanım: compare_ledgers.py DOSYA.mdb BAĞLANTI", file=sys.stderr)
        return 2
    try:
        return 0 if compare(*arguments) else 1
    except (CannotCompare, sqlite3.Error) as error:
        print(f"karşılaştırılamadı: {error}", file=sys.stderr)
        return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
