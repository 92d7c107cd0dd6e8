"""Times python3-xlwt writing and python3-xlrd reading a readings workbook.

Usage: python_workbook.py write ROWS.tsv OUT.xls   (rows: no, time, value, unit, basis)
       python_workbook.py read WORKBOOK.xls
Prints the seconds taken by the timed part only (no interpreter start-up,
no loading of the input rows).
"""
import datetime
import sys
import time

import xlrd
import xlwt


def write(rows_path, out_path):
    with open(rows_path, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f]
    parsed = []
    for no, when, value, unit, basis in rows:
        stamp = datetime.datetime.strptime(when, "%Y-%m-%d %H:%M:%S") if when else None
        parsed.append((int(no), stamp, value, unit, basis))
    start = time.perf_counter()
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    date = xlwt.easyxf(num_format_str="yyyy-MM-dd hh:mm:ss")
    text = xlwt.easyxf(num_format_str="@")
    for c, title in enumerate(["No.", "Time", "Value", "Unit", "Basis"]):
        sheet.write(0, c, title)
    for r, (no, stamp, value, unit, basis) in enumerate(parsed, start=1):
        row = sheet.row(r)
        row.write(0, no)
        if stamp is not None:
            row.write(1, stamp, date)
        row.write(2, value, text)
        row.write(3, unit, text)
        row.write(4, basis, text)
    book.save(out_path)
    return time.perf_counter() - start


def read(path):
    start = time.perf_counter()
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_index(0)
    rows = [sheet.row_values(r) for r in range(sheet.nrows)]
    assert len(rows) == sheet.nrows
    return time.perf_counter() - start


def main():
    if sys.argv[1] == "write":
        seconds = write(sys.argv[2], sys.argv[3])
    else:
        seconds = read(sys.argv[2])
    print("%.6f" % seconds)


if __name__ == "__main__":
    main()
