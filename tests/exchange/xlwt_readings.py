"""Writes workbooks in the readings layout with python3-xlwt, as other programs do.

Usage: xlwt_readings.py OUTDIR
Writes offset-C4.xls, numeric-values.xls, header-only.xls, four-columns.xls,
dates-1904.xls and long-strings.xls into OUTDIR.
"""
import datetime
import os
import sys

import xlwt

HEADER = ["No.", "Time", "Value", "Unit", "Basis"]
ROWS = [
    (datetime.datetime(2023, 11, 20, 14, 2, 31), "88.4", "\u03bcm", "Fe"),
    (datetime.datetime(2023, 11, 20, 14, 2, 33), "3.48", "mil", "Fe"),
    (datetime.datetime(2023, 11, 20, 14, 2, 36), "OL", "\u03bcm", "NFe"),
    (datetime.datetime(2023, 11, 20, 14, 2, 40), "-OL", "mil", "NFe"),
    (datetime.datetime(2023, 11, 20, 14, 2, 41), "1250.0", "\u03bcm", "\u94c1\u57fa"),
    (None, "0.0", "\u03bcm", "Fe"),
]
DATE = xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm:ss")
TEXT = xlwt.easyxf(num_format_str="@")


def layout(path, top=0, left=0, numeric=False, columns=5, rows=ROWS, date1904=False):
    book = xlwt.Workbook(encoding="utf-8")
    book.dates_1904 = date1904
    sheet = book.add_sheet("Readings")
    for c, text in enumerate(HEADER[:columns]):
        sheet.write(top, left + c, text)
    for i, (time, value, unit, basis) in enumerate(rows):
        r = top + 1 + i
        cells = [i + 1, time, value, unit, basis][:columns]
        for c, cell in enumerate(cells):
            if c == 1:
                if cell is not None:
                    sheet.write(r, left + c, cell, DATE)
            elif c == 2 and numeric and cell[0].isdigit():
                sheet.write(r, left + c, float(cell))
            elif c >= 2:
                sheet.write(r, left + c, cell, TEXT)
            else:
                sheet.write(r, left + c, cell)
    book.save(path)


def long_strings(path):
    # Enough long texts to spread the shared string table over several
    # CONTINUE records, with wide (non-Latin-1) and narrow strings mixed so
    # that the width flag changes at record boundaries.
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Strings")
    for r in range(400):
        if r % 3 == 0:
            text = "\u94c1\u57fa%d-" % r + "\u03bcm" * (50 + r % 17)
        else:
            text = "row %d " % r + "x" * (60 + r % 23)
        sheet.write(r, 0, text)
        sheet.write(r, 1, r * 0.5)
    book.save(path)


def main():
    out = sys.argv[1]
    layout(os.path.join(out, "offset-C4.xls"), top=3, left=2)
    layout(os.path.join(out, "numeric-values.xls"), numeric=True)
    layout(os.path.join(out, "header-only.xls"), rows=[])
    layout(os.path.join(out, "four-columns.xls"), columns=4)
    layout(os.path.join(out, "dates-1904.xls"), date1904=True)
    long_strings(os.path.join(out, "long-strings.xls"))


if __name__ == "__main__":
    main()
