"""Writes the workbooks the large-import benchmark reads, as other programs
make them.

Usage: make_readings_books.py xlsx OUT.xlsx ROWS   (openpyxl, six columns)
       make_readings_books.py xls OUT.xls ROWS [far]  (xlwt, five columns)
       make_readings_books.py bomb-cells|bomb-strings|corners OUT.xlsx
       make_readings_books.py corners-xls OUT.xls

Readings as a gauge takes them: scattered normally around 120 um (sigma
12, 0.1 um), one in forty an overload "OL", one a second. The .xlsx holds
number, time (a date cell), value (a number, or the text "OL"), unit,
basis and a note; the .xls the readings layout's five columns, and with
"far" one more cell in column IV that stretches the used range.

The hostile ones: a worksheet of 20 million cells that packs into a few
hundred kilobytes, 15 million one-letter shared strings, and cells at
opposite corners of the sheet (of either format).
"""
import datetime
import random
import sys

HEADER = ["No.", "Time", "Value", "Unit", "Basis"]
START = datetime.datetime(2024, 3, 1, 8, 0, 0)


def readings(count):
    rng = random.Random(508)
    for i in range(count):
        if rng.randrange(40) == 0:
            value = "OL"
        else:
            value = round(max(0.0, rng.gauss(120.0, 12.0)), 1)
        yield i + 1, START + datetime.timedelta(seconds=i), value


def write_xlsx(path, count):
    import openpyxl
    from openpyxl.cell import WriteOnlyCell

    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("Readings")
    sheet.append(HEADER + ["Note"])
    for no, when, value in readings(count):
        time = WriteOnlyCell(sheet, value=when)
        time.number_format = "yyyy-mm-dd hh:mm:ss"
        sheet.append([no, time, value, "\u00b5m", "Fe", "panel %d" % (no // 200 + 1)])
    book.save(path)


def write_xls(path, count, far):
    import xlwt

    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Readings")
    time_style = xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm:ss")
    for c, text in enumerate(HEADER):
        sheet.write(0, c, text)
    for no, when, value in readings(count):
        sheet.write(no, 0, no)
        sheet.write(no, 1, when, time_style)
        sheet.write(no, 2, value)
        sheet.write(no, 3, "\u00b5m")
        sheet.write(no, 4, "Fe")
    if far:
        sheet.write(1, 255, "checked")
    book.save(path)


MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS = "http://schemas.openxmlformats.org/package/2006/relationships"
DOC = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"


def relation(rid, kind, target):
    return '<Relationship Id="%s" Type="%s/%s" Target="%s"/>' % (rid, DOC, kind, target)


def write_package(path, sheet_chunks, strings_chunks=None):
    """A one-sheet package whose large parts are deflated as they are made."""
    import zipfile

    rels = relation("rId1", "worksheet", "worksheets/sheet1.xml")
    if strings_chunks:
        rels += relation("rId2", "sharedStrings", "sharedStrings.xml")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("_rels/.rels", '<Relationships xmlns="%s">%s</Relationships>'
                   % (RELS, relation("rId1", "officeDocument", "xl/workbook.xml")))
        z.writestr("xl/workbook.xml", '<workbook xmlns="%s" xmlns:r="%s"><sheets>'
                   '<sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>' % (MAIN, DOC))
        z.writestr("xl/_rels/workbook.xml.rels", '<Relationships xmlns="%s">%s</Relationships>' % (RELS, rels))
        for name, chunks in (("xl/worksheets/sheet1.xml", sheet_chunks),
                             ("xl/sharedStrings.xml", strings_chunks)):
            if chunks:
                with z.open(name, "w", force_zip64=True) as part:
                    for chunk in chunks:
                        part.write(chunk.encode())


def sheet(rows):
    yield '<worksheet xmlns="%s"><sheetData>' % MAIN
    yield from rows
    yield "</sheetData></worksheet>"


def bomb_cells():
    row = "<row>" + "<c><v>1</v></c>" * 16384 + "</row>"
    return sheet(row for _ in range(1221))


def bomb_strings():
    yield '<sst xmlns="%s">' % MAIN
    for _ in range(1500):
        yield "<si><t>a</t></si>" * 10000
    yield "</sst>"


def write_corners_xls(path):
    import xlwt

    book = xlwt.Workbook()
    sheet = book.add_sheet("Corners")
    for r in (0, 65535):
        for c in (0, 255):
            sheet.write(r, c, "corner")
    book.save(path)


if __name__ == "__main__":
    kind, out = sys.argv[1], sys.argv[2]
    if kind == "xlsx":
        write_xlsx(out, int(sys.argv[3]))
    elif kind == "xls":
        write_xls(out, int(sys.argv[3]), len(sys.argv) > 4 and sys.argv[4] == "far")
    elif kind == "bomb-cells":
        write_package(out, bomb_cells())
    elif kind == "bomb-strings":
        write_package(out, sheet(['<row r="1"><c r="A1" t="s"><v>0</v></c></row>']), bomb_strings())
    elif kind == "corners":
        write_package(out, sheet(['<row r="1"><c r="A1"><v>1</v></c></row>',
                                  '<row r="1048576"><c r="XFD1048576"><v>2</v></c></row>']))
    else:
        write_corners_xls(out)
