"""Prints a table as dbfread (a reader we did not write) sees it, as JSON on one line:
{"fields": [[name, type, length, decimals], ...], "records": [[value, ...], ...]}
Texts are decoded as Windows-1252; numbers, logicals and dates as dbfread gives them.
usage: read_dbfread.py FILE
"""
import json
import sys

from dbfread import DBF

table = DBF(sys.argv[1], encoding="cp1252", char_decode_errors="strict")
fields = [[f.name, f.type, f.length, f.decimal_count] for f in table.fields]
records = [[None if v is None else (v.isoformat() if hasattr(v, "isoformat") else v) for v in r.values()]
           for r in table]
print(json.dumps({"fields": fields, "records": records, "count": len(table)}, ensure_ascii=False))
