#!/usr/bin/env python3
"""Writes the test workbooks into the folder given: good ones in .xls, .xlsx
and .ods with the same two sheets, and damaged ones (truncated, corrupt,
encrypted, zip bombs). Needs python3-xlwt and python3-openpyxl.

With --fuzz-seeds DIR it also writes the seed corpus of workbook_fuzz there:
the good workbooks, and their XML parts in the fuzzer's own XLSX/ODS form."""
import datetime
import os
import shutil
import struct
import sys
import zipfile

OUT = sys.argv[1]
SEEDS = sys.argv[3] if len(sys.argv) > 3 and sys.argv[2] == "--fuzz-seeds" else None
os.makedirs(OUT, exist_ok=True)


def out(name):
    return os.path.join(OUT, name)


# Sheet "Monthly": a date tick column, data with 0 / 0.0 cells and a gap,
# text and boolean columns. Sheet "Yearly": the series sits in column 3.
MONTHS = [datetime.date(1959, m, 28) for m in range(1, 7)]
CO2 = [315.42, 316.31, 0, 0.0, 317.1, None]  # the empty cell ends the run
YEARS = [1990, 1991, 1992, 1993]
YEARLY = [0.1, 2.5, -3.75, 1e-7]


def write_xlsx(path):
    import openpyxl
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Monthly"
    ws.append(["month", "co2", "note", "flag"])
    for i, (d, v) in enumerate(zip(MONTHS, CO2)):
        ws.append([d, v, "text %d" % i, i % 2 == 0])
        ws.cell(row=i + 2, column=1).number_format = "yyyy-mm-dd"
    ws["A8"] = 1.5  # a number under the dates, not a date
    ws["E2"] = datetime.datetime(1959, 1, 31, 12, 0, 0)  # "yyyy-mm-dd h:mm:ss" by default
    ws["F2"] = datetime.date(1959, 1, 31)
    ws["F2"].number_format = "mm-dd-yy"  # built-in id 14
    ws2 = wb.create_sheet("Yearly")
    ws2.append(["year", "", "value"])
    for y, v in zip(YEARS, YEARLY):
        ws2.append([y, None, v])
    wb.save(path)
    patch_xlsx_strings(path)


def patch_xlsx_strings(path):
    """openpyxl writes every text as an inline string: move sheet 1's into a
    shared-string table, one of them as rich-text runs (with a phonetic run
    that is no part of the text), and give sheet 2 an inline rich text."""
    import re
    with zipfile.ZipFile(path) as z:
        parts = {n: z.read(n) for n in z.namelist()}
    strings = []

    def shared(m):
        strings.append(m.group(2))
        return '<c r="%s" t="s"><v>%d</v></c>' % (m.group(1), len(strings) - 1)

    sheet1 = re.sub(r'<c r="([A-Z]+[0-9]+)" t="inlineStr"><is><t>([^<]*)</t></is></c>', shared,
                    parts["xl/worksheets/sheet1.xml"].decode())
    assert "note" in strings, strings
    items = ['<si><r><t>no</t></r><r><rPr><b/></rPr><t>te</t></r><rPh sb="0" eb="1"><t>x</t></rPh></si>'
             if t == "note" else "<si><t>%s</t></si>" % t for t in strings]
    parts["xl/worksheets/sheet1.xml"] = sheet1.encode()
    parts["xl/sharedStrings.xml"] = ('<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                                     'count="%d">%s</sst>' % (len(items), "".join(items))).encode()
    rels = parts["xl/_rels/workbook.xml.rels"].decode()
    parts["xl/_rels/workbook.xml.rels"] = rels.replace("</Relationships>", (
        '<Relationship Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" '
        'Target="sharedStrings.xml" Id="rId9"/></Relationships>')).encode()
    types = parts["[Content_Types].xml"].decode()
    parts["[Content_Types].xml"] = types.replace("</Types>", (
        '<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
        'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>')).encode()
    sheet2 = parts["xl/worksheets/sheet2.xml"].decode()
    sheet2 = sheet2.replace('<c r="A2" t="n">', '<c r="B2" t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r></is>'
                            '</c><c r="A2" t="n">', 1)
    assert "<t>in</t>" in sheet2, sheet2
    parts["xl/worksheets/sheet2.xml"] = sheet2.encode()
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for n, data in parts.items():
            z.writestr(n, data)


def write_xls(path):
    import xlwt
    wb = xlwt.Workbook()
    date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    ws = wb.add_sheet("Monthly")
    for c, t in enumerate(["month", "co2", "note", "flag"]):
        ws.write(0, c, t)
    for i, (d, v) in enumerate(zip(MONTHS, CO2)):
        ws.write(i + 1, 0, d, date_style)
        if v is not None:
            ws.write(i + 1, 1, v)
        ws.write(i + 1, 2, "text %d" % i)
        ws.write(i + 1, 3, i % 2 == 0)
    ws.write(7, 0, 1.5)
    ws.write(1, 4, datetime.datetime(1959, 1, 31, 12, 0, 0), xlwt.easyxf(num_format_str="YYYY-MM-DD HH:MM:SS"))
    ws2 = wb.add_sheet("Yearly")
    ws2.write(0, 0, "year")
    ws2.write(0, 2, "value")
    for r, (y, v) in enumerate(zip(YEARS, YEARLY)):
        ws2.write(r + 1, 0, y)
        ws2.write(r + 1, 2, v)
    wb.save(path)


ODS_NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
          'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
          'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"')


def ods_cell(v):
    if v is None:
        return "<table:table-cell/>"
    if isinstance(v, bool):
        return ('<table:table-cell office:value-type="boolean" office:boolean-value="%s"><text:p>%s</text:p>'
                "</table:table-cell>" % (str(v).lower(), str(v).upper()))
    if isinstance(v, datetime.date):
        return ('<table:table-cell office:value-type="date" office:date-value="%s"><text:p>%s</text:p>'
                "</table:table-cell>" % (v.isoformat(), v.strftime("%d.%m.%Y")))
    if isinstance(v, (int, float)):
        return ('<table:table-cell office:value-type="float" office:value="%r"><text:p>%s</text:p>'
                "</table:table-cell>" % (v, v))
    return '<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>' % v


def ods_row(cells, repeated=1):
    rep = ' table:number-rows-repeated="%d"' % repeated if repeated > 1 else ""
    return "<table:table-row%s>%s</table:table-row>" % (rep, "".join(ods_cell(c) for c in cells))


def write_ods(path, manifest_extra=""):
    monthly = [ods_row(["month", "co2", "note", "flag"])]
    for i, (d, v) in enumerate(zip(MONTHS, CO2)):
        extra = []
        if i == 0:
            extra = [datetime.datetime(1959, 1, 31, 12, 0, 0)]
        monthly.append(ods_row([d, v, "text %d" % i, i % 2 == 0] + extra))
    monthly.append(ods_row([1.5]))
    # What office programs write below the data: a million blank rows and
    # thousands of blank columns, which must cost nothing.
    monthly.append('<table:table-row table:number-rows-repeated="1048000">'
                   '<table:table-cell table:number-columns-repeated="16000"/></table:table-row>')
    yearly = [ods_row(["year", None, "value"])]
    for y, v in zip(YEARS, YEARLY):
        yearly.append(ods_row([y, None, v]))
    # Text with spaces, runs and paragraphs; a repeated row and repeated cells.
    yearly.append('<table:table-row><table:table-cell table:number-columns-repeated="2"/>'
                  '<table:table-cell><text:p>a<text:s text:c="2"/><text:span>b</text:span></text:p>'
                  '<text:p>c</text:p></table:table-cell></table:table-row>')
    yearly.append('<table:table-row table:number-rows-repeated="2">'
                  '<table:table-cell table:number-columns-repeated="3" office:value-type="float" office:value="7">'
                  '<text:p>7</text:p></table:table-cell></table:table-row>')
    write_ods_tables(path, '<table:table table:name="Monthly"><table:table-column table:number-columns-repeated="4"/>'
                     '%s</table:table><table:table table:name="Yearly"><table:table-header-rows>%s'
                     "</table:table-header-rows>%s</table:table>" % ("".join(monthly), yearly[0], "".join(yearly[1:])),
                     manifest_extra)


def write_ods_tables(path, tables, manifest_extra=""):
    content = ('<?xml version="1.0" encoding="UTF-8"?><office:document-content %s><office:body><office:spreadsheet>'
               "%s</office:spreadsheet></office:body></office:document-content>" % (ODS_NS, tables))
    manifest = ('<?xml version="1.0" encoding="UTF-8"?><manifest:manifest '
                'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0">'
                '<manifest:file-entry manifest:full-path="/" '
                'manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
                '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml">%s'
                "</manifest:file-entry></manifest:manifest>" % manifest_extra)
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        z.writestr("META-INF/manifest.xml", manifest, zipfile.ZIP_DEFLATED)
        z.writestr("content.xml", content, zipfile.ZIP_DEFLATED)


def write_encrypted_xlsx(path):
    """An OLE2 compound file as an encrypted .xlsx is stored: a root entry and
    an EncryptedPackage stream of eight 512-byte sectors."""
    free, end, fatsect = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD
    header = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + bytes(16)
    header += struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) + bytes(6)
    header += struct.pack("<IIIIIIII", 0, 1, 1, 0, 4096, end, 0, end) + struct.pack("<I", 0)
    header += struct.pack("<I", 0) + struct.pack("<I", free) * 108
    assert len(header) == 512
    fat = [fatsect, end] + list(range(3, 10)) + [end]
    fat += [free] * (128 - len(fat))

    def entry(name, kind, child, start, size):
        n = name.encode("utf-16-le") + b"\0\0"
        return (n.ljust(64, b"\0") + struct.pack("<HBB", len(n), kind, 1) +
                struct.pack("<III", free, free, child) + bytes(16) + bytes(4) + bytes(16) +
                struct.pack("<IQ", start, size))

    directory = entry("Root Entry", 5, 1, end, 0) + entry("EncryptedPackage", 2, free, 2, 4096)
    directory = directory.ljust(512, b"\0")
    with open(path, "wb") as f:
        f.write(header + struct.pack("<128I", *fat) + directory + bytes(range(256)) * 16)


def write_encrypted_xls(src, path):
    """src with a FILEPASS record (0x2F) where xlwt put its INTERFACEHDR, so
    the workbook globals say the file is encrypted."""
    data = bytearray(open(src, "rb").read())
    bof = data.find(b"\x09\x08\x10\x00")
    at = data.find(b"\xe1\x00\x02\x00", bof)
    assert bof >= 0 and at == bof + 20, (bof, at)
    data[at:at + 2] = b"\x2f\x00"
    open(path, "wb").write(bytes(data))


def write_bad_directory(src, path, entry):
    """src with directory entry `entry` claiming a 200-byte name (64 is the most);
    entry 0 is the root, entry 3 an unused one."""
    data = bytearray(open(src, "rb").read())
    at = (struct.unpack_from("<I", data, 0x30)[0] + 1) * 512 + 128 * entry
    assert data[at + 66] == (5 if entry == 0 else 0), data[at:at + 128]
    struct.pack_into("<H", data, at + 64, 200)
    open(path, "wb").write(bytes(data))


def write_two_dimensions(src, path):
    """src with a worksheet's VCENTER record cut to no data, so its two bytes
    and the next record's header read as a second DIMENSIONS record."""
    data = bytearray(open(src, "rb").read())
    sheet = data.find(b"\x09\x08\x10\x00", data.find(b"\x09\x08\x10\x00") + 4)
    at = data.find(b"\x84\x00\x02\x00\x00\x00", sheet)
    assert sheet > 0 and at > sheet, (sheet, at)
    data[at + 2] = 0
    data[at + 5] = 2
    open(path, "wb").write(bytes(data))


def write_long_format(src, path):
    """src with its first FORMAT string claiming 64,778 two-byte characters."""
    data = bytearray(open(src, "rb").read())
    at = data.find(b"\x1e\x04")
    assert at > 0, at
    struct.pack_into("<HB", data, at + 6, 0xFD0A, 1)
    open(path, "wb").write(bytes(data))


def write_bomb(src, path, declared):
    """src with its first worksheet declaring `declared` bytes in both zip headers."""
    data = bytearray(open(src, "rb").read())
    name = b"xl/worksheets/sheet1.xml"
    local = data.find(b"PK\x03\x04" + bytes(0), 0)
    while local >= 0:
        n = struct.unpack_from("<H", data, local + 26)[0]
        if data[local + 30:local + 30 + n] == name:
            struct.pack_into("<I", data, local + 22, declared)
        local = data.find(b"PK\x03\x04", local + 4)
    central = data.find(b"PK\x01\x02")
    while central >= 0:
        n = struct.unpack_from("<H", data, central + 28)[0]
        if data[central + 46:central + 46 + n] == name:
            struct.pack_into("<I", data, central + 24, declared)
        central = data.find(b"PK\x01\x02", central + 4)
    open(path, "wb").write(bytes(data))


def write_corrupt(src, path):
    """Bytes in the middle of the first worksheet's compressed data overwritten."""
    data = bytearray(open(src, "rb").read())
    with zipfile.ZipFile(src) as z:
        info = z.getinfo("xl/worksheets/sheet1.xml")
    n, extra = struct.unpack_from("<HH", data, info.header_offset + 26)
    start = info.header_offset + 30 + n + extra
    for i in range(start + info.compress_size // 3, start + info.compress_size // 3 + 16):
        data[i] ^= 0x5A
    open(path, "wb").write(bytes(data))


def main():
    write_xlsx(out("book.xlsx"))
    write_xls(out("book.xls"))
    write_ods(out("book.ods"))
    # The content decides, not the name.
    shutil.copy(out("book.xlsx"), out("upper.XLSX"))
    shutil.copy(out("book.xls"), out("xls-named.dat"))
    shutil.copy(out("book.ods"), out("ods-as.xlsx"))
    with open(out("text-as.xls"), "w") as f:
        f.write("year\tvalue\n1990\t1.5\n1991\t2.5\n")

    for src, name in (("book.xlsx", "truncated.xlsx"), ("book.xls", "truncated.xls"), ("book.ods", "truncated.ods")):
        data = open(out(src), "rb").read()
        open(out(name), "wb").write(data[: len(data) // 2])
    write_corrupt(out("book.xlsx"), out("corrupt.xlsx"))
    with open(out("notabook.xlsx"), "w") as f:
        f.write("1990,1.5\n")
    with open(out("binary.xls"), "wb") as f:
        f.write(b"\x00\x01\x02garbage\x00" * 20)
    write_encrypted_xlsx(out("encrypted.xlsx"))
    write_encrypted_xls(out("book.xls"), out("encrypted.xls"))
    write_bad_directory(out("book.xls"), out("bad-directory.xls"), 0)
    write_bad_directory(out("book.xls"), out("bad-unused-entry.xls"), 3)
    write_two_dimensions(out("book.xls"), out("two-dimensions.xls"))
    write_long_format(out("book.xls"), out("long-format.xls"))
    write_ods(out("encrypted.ods"), '<manifest:encryption-data manifest:checksum-type="SHA1" manifest:checksum="AA=="/>')
    # A few bytes that repeat one number over every row and column the format allows.
    write_ods_tables(out("repeated.ods"), '<table:table table:name="all"><table:table-row '
                     'table:number-rows-repeated="1048576"><table:table-cell table:number-columns-repeated="16384" '
                     'office:value-type="float" office:value="1"/></table:table-row></table:table>')
    write_bomb(out("book.xlsx"), out("bomb.xlsx"), 200 << 20)  # within the size limit, not the ratio
    write_bomb(out("book.xlsx"), out("huge.xlsx"), 0xFFFFFF00)
    with zipfile.ZipFile(out("other.zip"), "w") as z:
        z.writestr("readme.txt", "no spreadsheet here")


def write_seeds(folder):
    os.makedirs(folder, exist_ok=True)
    for name in ("book.xlsx", "book.xls", "book.ods", "text-as.xls", "encrypted.xlsx"):
        shutil.copy(out(name), os.path.join(folder, "seed-" + name))
    with zipfile.ZipFile(out("book.xlsx")) as z:
        parts = [z.read(n) for n in ("xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml")]
        sheet2 = z.read("xl/worksheets/sheet2.xml")
    open(os.path.join(folder, "seed-xlsx-parts"), "wb").write(b"XLSX\n" + b"\0".join(parts))
    open(os.path.join(folder, "seed-xlsx-sheet2"), "wb").write(b"XLSX\n" + sheet2)
    with zipfile.ZipFile(out("book.ods")) as z:
        open(os.path.join(folder, "seed-ods-content"), "wb").write(b"ODS\n" + z.read("content.xml"))


if __name__ == "__main__":
    main()
    if SEEDS:
        write_seeds(SEEDS)
