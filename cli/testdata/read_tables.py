"""Prints workspace tables as dbfread reads them: '#NAME:field,...' then one line per record,
values joined by '|' (None as '', booleans as T/F)."""
import os
import sys

import dbfread


def text(value):
    if value is None:
        return ""
    if isinstance(value, bool):
        return "T" if value else "F"
    return str(value)


folder = sys.argv[1]
for name in sys.argv[2:]:
    table = dbfread.DBF(os.path.join(folder, name + ".DBF"), char_decode_errors="strict")
    print("#" + name + ":" + ",".join(table.field_names))
    for record in table:
        print("|".join(text(value) for value in record.values()))
