"""Writes a table with python-dbf, a writer we did not write.

usage: write_foreign.py FLAVOUR FILE    FLAVOUR: db3 or vfp
Rows: (Núñez, 42, 3.5, true, 2024-03-01), (deleted row), (blank row), (Zoë, -7, ...).
"""
import datetime
import sys

import dbf

flavour, path = sys.argv[1], sys.argv[2]
specs = "NOMBRE C(12); CANTIDAD N(5,0); PRECIO N(8,2); ACTIVO L; FECHA D"
if flavour == "vfp":
    specs += "; ENTERO I; DOBLE B; DINERO Y"
table = dbf.Table(path, specs, dbf_type=flavour, codepage="cp1252")
table.open(dbf.READ_WRITE)
rows = [
    ("Núñez", 42, 3.5, True, datetime.date(2024, 3, 1), -123456, 2.25, 12.375),
    ("borrado", 1, 1.0, False, datetime.date(2000, 1, 1), 1, 1.0, 1),
    None,
    ("Zoë", -7, -0.25, False, datetime.date(1999, 12, 31), 2147483646, -1e10, -5),
]
for row in rows:
    if row is None:
        table.append()
        continue
    values = row if flavour == "vfp" else row[:5]
    table.append(tuple(values))
with table[1] as record:
    dbf.delete(record)
table.close()
