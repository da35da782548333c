"""Reads every .DBF table of a folder with dbfread and prints 'NAME records' per table,
in name order. Fails when a header's record count disagrees with the records present
or a record cannot be read."""
import os
import struct
import sys

import dbfread

folder = sys.argv[1]
for name in sorted(os.listdir(folder)):
    if not name.upper().endswith(".DBF"):
        continue
    path = os.path.join(folder, name)
    with open(path, "rb") as f:
        head = f.read(12)
    count, header_length, record_length = struct.unpack("<IHH", head[4:12])
    present = (os.path.getsize(path) - header_length) // record_length
    if present != count:
        sys.exit("%s: header says %d records, file holds %d" % (name, count, present))
    table = dbfread.DBF(path, char_decode_errors="strict", ignore_missing_memofile=True)
    rows = sum(1 for _ in table)
    print("%s %d" % (name[:-4].upper(), rows))
