"""python3-openpyxl on readings workbooks (.xlsx), for the tests.

Usage: openpyxl_tool.py dump BOOK.xlsx
       openpyxl_tool.py write OUT.xlsx normal|write-only
dump prints the first worksheet's used range as openpyxl reads it, as JSON:
{"first": [row, col] (zero-based), "rows": [[cell, ...], ...],
 "formats": [[number format, ...], ...]}, a cell being null, a number, a
text, {"bool": b}, or {"time": "yyyy-MM-dd hh:mm:ss"} for a date cell.
write makes a readings workbook: the header, then four readings.
"""
import datetime
import io
import json
import re
import sys
import zipfile

import openpyxl
from openpyxl.cell import WriteOnlyCell


def load(path):
    try:
        return openpyxl.load_workbook(path, data_only=True)
    except KeyError:
        # Part names are not case-sensitive, but openpyxl takes them so:
        # name the entries as the content types do.
        fixed = io.BytesIO()
        with zipfile.ZipFile(path) as src, zipfile.ZipFile(fixed, "w") as dst:
            names = {n.lower(): n for n in src.namelist()}
            types = src.read(names["[content_types].xml"]).decode("utf-8")
            proper = {p.lower(): p for p in re.findall(r'PartName="/([^"]+)"', types)}
            proper["[content_types].xml"] = "[Content_Types].xml"
            for lower, name in names.items():
                dst.writestr(proper.get(lower, name), src.read(name))
        return openpyxl.load_workbook(fixed, data_only=True)


def value(v):
    if isinstance(v, bool):
        return {"bool": v}
    if isinstance(v, datetime.datetime):
        return {"time": v.strftime("%Y-%m-%d %H:%M:%S")}
    if isinstance(v, (datetime.date, datetime.time)):
        return {"time": v.isoformat()}
    return v


def dump(path):
    sheet = load(path).worksheets[0]
    cells = list(sheet._cells)
    if not cells:
        return {"first": [0, 0], "rows": [], "formats": []}
    top, bottom = min(r for r, _ in cells), max(r for r, _ in cells)
    left, right = min(c for _, c in cells), max(c for _, c in cells)
    rows, formats = [], []
    for r in range(top, bottom + 1):
        row = [sheet.cell(r, c) for c in range(left, right + 1)]
        rows.append([value(c.value) for c in row])
        formats.append([c.number_format for c in row])
    return {"first": [top - 1, left - 1], "rows": rows, "formats": formats}


READINGS = [
    (1, datetime.datetime(2023, 11, 20, 14, 2, 31), "88.4", "\u03bcm", "Fe"),
    (2, datetime.datetime(2023, 11, 20, 14, 2, 33), "   -OL", "mil", "NFe"),
    (3, None, "    OL", "\u03bcm", "\u94c1\u57fa"),
    (4, datetime.datetime(2023, 11, 20, 14, 2, 41), 1250, "\u03bcm", "Fe"),
]


def write(path, mode):
    book = openpyxl.Workbook(write_only=(mode == "write-only"))
    sheet = book.create_sheet("Readings") if mode == "write-only" else book.active
    sheet.append(["No.", "Time", "Value", "Unit", "Basis"])
    for no, when, *texts in READINGS:
        if mode == "write-only":
            stamp = WriteOnlyCell(sheet, value=when)
            stamp.number_format = "yyyy-mm-dd hh:mm:ss"
            sheet.append([no, stamp] + texts)
        else:
            sheet.append([no, when] + texts)
            sheet.cell(sheet.max_row, 2).number_format = "yyyy-mm-dd hh:mm:ss"
    book.save(path)
    return {}


def main():
    result = dump(sys.argv[2]) if sys.argv[1] == "dump" else write(sys.argv[2], sys.argv[3])
    json.dump(result, sys.stdout, ensure_ascii=True)


if __name__ == "__main__":
    main()
