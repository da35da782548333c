"""Writes a dBASE table with python-dbf, in Windows-1252: Spanish letters, a quote and a
comma, an unset number and logical, and one deleted record."""
import sys

import dbf

table = dbf.Table(sys.argv[1], "NOMBRE C(30); NUM N(6,0); ACTIVO L", codepage="cp1252",
                  dbf_type="db3")
table.open(dbf.READ_WRITE)
table.append(("Peña Ñandú", 12, True))
table.append(("  Álvaro", None, False))
table.append(('Dice "sí", claro', -3, None))
table.append(("borrado", 1, True))
dbf.delete(table[3])
table.close()
