"""Writes a table with python-dbf, a writer we did not write.

usage: write_foreign.py FLAVOUR FILE    FLAVOUR: db3 or vfp
Four rows, the second one deleted, the third one left unset. Both flavours carry a memo
field (NOTAS, in a side file); Visual FoxPro adds I, B, Y fields and a nullable field,
which gives the table its hidden _NullFlags field.
"""
import datetime
import sys

import dbf

flavour, path = sys.argv[1], sys.argv[2]
layout = "NOMBRE C(12); CANTIDAD N(5,0); PRECIO N(8,2); ACTIVO L; FECHA D"
if flavour == "vfp":
    layout += "; ENTERO I; DOBLE B; DINERO Y; OPCIONAL N(4,0) null"
layout += "; NOTAS M"
table = dbf.Table(path, layout, dbf_type=flavour, codepage="cp1252")
table.open(dbf.READ_WRITE)
rows = [
    (("Núñez", 42, 3.5, True, datetime.date(2024, 3, 1)), (-123456, 2.25, 12.375, 5), "nota larga"),
    (("borrado", 1, 1.0, False, datetime.date(2000, 1, 1)), (1, 1.0, 1, 1), "x"),
    None,
    (("Zoë", -7, -0.25, False, datetime.date(1999, 12, 31)), (2147483646, -1e10, -5, 6), "otra"),
]
for row in rows:
    if row is None:
        table.append()
        continue
    common, foxpro, memo = row
    table.append(common + (foxpro if flavour == "vfp" else ()) + (memo,))
with table[1] as record:
    dbf.delete(record)
table.close()
