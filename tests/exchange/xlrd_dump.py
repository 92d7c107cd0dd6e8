"""Prints what python3-xlrd reads from the first worksheet of a workbook, as JSON.

Usage: xlrd_dump.py WORKBOOK
Output: {"datemode": 0|1, "cells": [[row, col, ctype, value, format], ...]}
Empty cells are left out; dates are given as [y, m, d, hh, mm, ss].
xlrd refuses a compound file whose allocation chains run on past what their
stream's size needs; python3-olefile reads a stream only as far as its
size, and xlrd then reads the workbook stream olefile gives.
"""
import json
import sys

import olefile
import xlrd


def open_book(path, formatting_info):
    try:
        return xlrd.open_workbook(path, formatting_info=formatting_info, logfile=sys.stderr)
    except xlrd.compdoc.CompDocError:
        with olefile.OleFileIO(path) as ole:
            data = ole.openstream("Workbook" if ole.exists("Workbook") else "Book").read()
        return xlrd.open_workbook(file_contents=data, formatting_info=formatting_info, logfile=sys.stderr)


def main():
    path = sys.argv[1]
    try:
        book = open_book(path, True)
        formatted = True
    except NotImplementedError:
        book = open_book(path, False)
        formatted = False
    sheet = book.sheet_by_index(0)
    cells = []
    for r in range(sheet.nrows):
        for c, cell in enumerate(sheet.row(r)):
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            value = cell.value
            if cell.ctype == xlrd.XL_CELL_DATE:
                value = list(xlrd.xldate_as_tuple(value, book.datemode))
            fmt = ""
            if formatted:
                xf = book.xf_list[cell.xf_index]
                fmt = book.format_map[xf.format_key].format_str
            cells.append([r, c, cell.ctype, value, fmt])
    json.dump({"datemode": book.datemode, "cells": cells}, sys.stdout, ensure_ascii=True)


if __name__ == "__main__":
    main()
