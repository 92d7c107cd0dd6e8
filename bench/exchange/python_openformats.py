"""Times openpyxl and Python's csv module on a readings table.

Usage: python_openformats.py xlsx-write ROWS.tsv OUT.xlsx   (openpyxl, write-only mode)
       python_openformats.py xlsx-read BOOK.xlsx            (openpyxl, read-only mode)
       python_openformats.py csv-write ROWS.tsv OUT.csv
       python_openformats.py csv-read FILE.csv
ROWS.tsv holds no, time, value, unit, basis per line. Prints the processor
seconds taken by the timed part only (no interpreter start-up, no loading
of the input rows).
"""
import csv
import datetime
import sys
import time

import openpyxl
from openpyxl.cell import WriteOnlyCell

HEADER = ["No.", "Time", "Value", "Unit", "Basis"]


def load(rows_path):
    with open(rows_path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f]


def xlsx_write(rows_path, out_path):
    rows = []
    for no, when, value, unit, basis in load(rows_path):
        stamp = datetime.datetime.strptime(when, "%Y-%m-%d %H:%M:%S") if when else None
        rows.append((int(no), stamp, value, unit, basis))
    start = time.process_time()
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("Sheet1")
    sheet.append(HEADER)
    for no, stamp, value, unit, basis in rows:
        when = WriteOnlyCell(sheet, value=stamp)
        when.number_format = "yyyy-mm-dd hh:mm:ss"
        cells = [no, when]
        for text in (value, unit, basis):
            cell = WriteOnlyCell(sheet, value=text)
            cell.number_format = "@"
            cells.append(cell)
        sheet.append(cells)
    book.save(out_path)
    return time.process_time() - start


def xlsx_read(path):
    start = time.process_time()
    book = openpyxl.load_workbook(path, read_only=True)
    rows = list(book.worksheets[0].iter_rows(values_only=True))
    book.close()
    assert rows
    return time.process_time() - start


def csv_write(rows_path, out_path):
    rows = load(rows_path)
    start = time.process_time()
    with open(out_path, "w", encoding="utf-8-sig", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(HEADER)
        writer.writerows(rows)
    return time.process_time() - start


def csv_read(path):
    start = time.process_time()
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    assert rows
    return time.process_time() - start


def main():
    actions = {"xlsx-write": xlsx_write, "xlsx-read": xlsx_read, "csv-write": csv_write, "csv-read": csv_read}
    print("%.6f" % actions[sys.argv[1]](*sys.argv[2:]))


if __name__ == "__main__":
    main()
