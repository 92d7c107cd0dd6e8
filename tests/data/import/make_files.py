#!/usr/bin/python3
"""Makes the readings files of other programs that the import tests read.

Run it from this folder: python3 make_files.py. Written with openpyxl,
xlwt and the csv module, the way those programs (and pandas, Excel's plain
"CSV" saves, a de-DE re-save) lay readings out.
"""
import csv
import datetime
import io
import zipfile

import openpyxl
import xlwt
from openpyxl.styles import Font
from xlwt import CompoundDoc

T = datetime.datetime(2024, 3, 5, 14, 30, 0)
MICRO = "\u00b5m"  # the micro sign of keyboards and Windows-1252


def pandas_xlsx():
    # pandas' to_excel: an index column without header, bold headers.
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.append([None, "No.", "Time", "Value", "Unit", "Basis"])
    rows = [(1, T, 125.0, MICRO, "Fe"), (2, T.replace(second=5), 13.0, MICRO, "Fe"),
            (3, T.replace(second=9), "OL", MICRO, "NFe")]
    for i, r in enumerate(rows):
        ws.append([i, *r])
    for c in ws[1]:
        c.font = Font(bold=True)
    # A cleared row inside and one below: formatted cells without values.
    ws.insert_rows(3)
    for col in "ABCDEF":
        ws[col + "3"].font = Font(bold=True)
        ws[col + "6"].font = Font(bold=True)
    wb.save("pandas-index.xlsx")


def title_xls():
    # A title line, a blank line, then the Chinese table's headers in
    # another order and case, with a notes column.
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("Sheet1")
    when = xlwt.easyxf(num_format_str="yyyy-mm-dd hh:mm:ss")
    ws.write(0, 0, "涂层测厚 - 3号线")
    for c, h in enumerate(["基体", "备注", "数值", "单位", "时间"]):
        ws.write(2, c, h)
    rows = [("铁基", "", "88.4", "μm", T), ("铁基", "x", "3.48", "MIL", T.replace(second=7)),
            ("铁基", "", "#N/A", "μm", T.replace(second=9))]
    for r, (basis, note, value, unit, time) in enumerate(rows, start=3):
        ws.write(r, 0, basis)
        ws.write(r, 1, note)
        ws.write(r, 2, value)
        ws.write(r, 3, unit)
        ws.write(r, 4, time, when)
    wb.save("title-line.xls")


def write_csv(name, encoding, rows, delimiter=",", bom=False):
    with open(name, "w", encoding=encoding, newline="") as f:
        if bom:
            f.write("\ufeff")
        csv.writer(f, delimiter=delimiter, lineterminator="\r\n").writerows(rows)


def csv_files():
    # Excel's plain "CSV" saves: the system's ANSI code page, no mark.
    write_csv("windows-1252.csv", "cp1252", [
        ["No.", "Time", "Value", "Unit", "Basis"],
        ["1", "2024-03-05 14:30:00", "125", MICRO, "Zink über Stahl"],
        ["2", "2024-03-05 14:30:05", "12,5", MICRO, "Fe"],  # no decimal comma among commas
        ["", "", "", "", ""],
    ])
    write_csv("gbk.csv", "gbk", [
        ["序号", "时间", "数值", "单位", "基体"],
        ["1", "2024-03-05 14:30:00", "88.4", "μm", "铁基"],
        ["2", "2024-03-05 14:30:05", "-OL", "μm", "非铁基"],
    ])
    # Our own CSV opened and saved again by a spreadsheet in de-DE: day-first
    # dates with dots, seconds dropped, decimal commas, semicolons.
    write_csv("de-DE-resaved.csv", "utf-8", [
        ["No.", "Time", "Value", "Unit", "Basis"],
        ["1", "05.03.2024 14:30", "12,5", "µm", "Fe"],
        ["2", "05.03.2024 14:30", "OL", "µm", "Fe"],
        ["3", "31.03.2024 02:30", "1250", "µm", "Fe"],  # inside the spring-forward hour
        ["4", "31.03.2024 14:30", "#NV", "µm", "Fe"],
        ["5", "32.03.2024 14:30", "88", "µm", "Fe"],
    ], delimiter=";", bom=True)


def backslash_xlsx():
    # A package whose entries a Windows tool named with backslashes and
    # other letter case, with a percent-encoded sheet target, an empty
    # value and an escaped carriage return in a formula's text.
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.append(["No.", "Time", "Value", "Unit", "Basis"])
    ws.append([1, T, 125.0, "um", "Fe"])
    ws.append([2, T, 130.0, "um", "Fe"])
    buf = io.BytesIO()
    wb.save(buf)
    src = zipfile.ZipFile(buf)
    with zipfile.ZipFile("backslash-names.xlsx", "w", zipfile.ZIP_DEFLATED) as out:
        for info in src.infolist():
            data = src.read(info.filename)
            name = info.filename
            if name == "[Content_Types].xml":
                name = "[content_types].xml"
                data = data.replace(b"/xl/worksheets/sheet1.xml", b"/xl/worksheets/my sheet.xml")
            elif name == "xl/_rels/workbook.xml.rels":
                data = data.replace(b"worksheets/sheet1.xml", b"worksheets/my%20sheet.xml")
            elif name == "xl/worksheets/sheet1.xml":
                name = "xl/worksheets/my sheet.xml"
                data = data.replace(b'<c r="C3" t="n"><v>130</v></c>', b'<c r="C3" t="n"><v></v></c>')
                data = data.replace(b"</row></sheetData>",
                                    b'<c r="F3" t="str"><f>"a"&amp;CHAR(13)</f><v>a_x000D_</v></c>'
                                    b"</row></sheetData>")
            out.writestr(name.replace("/", "\\"), data)


def encrypted_xlsx():
    # A password-protected .xlsx is a compound file that holds the encrypted
    # package. xlwt's container names its one stream "Workbook"; renamed.
    doc = io.BytesIO()
    CompoundDoc.XlsDoc().save(doc, bytes(range(256)) * 20)
    data = bytearray(doc.getvalue())
    old = "Workbook\0".encode("utf-16-le")
    new = "EncryptedPackage\0".encode("utf-16-le")
    at = data.index(old)
    data[at:at + len(new)] = new
    data[at + 64:at + 66] = len(new).to_bytes(2, "little")
    with open("encrypted.xlsx", "wb") as f:
        f.write(bytes(data))


if __name__ == "__main__":
    pandas_xlsx()
    title_xls()
    csv_files()
    backslash_xlsx()
    encrypted_xlsx()
