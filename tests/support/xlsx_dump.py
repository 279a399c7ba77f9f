#!/usr/bin/env python3
"""Prints what an .xlsx workbook holds, one fact a line, for the tests to check.

An .xlsx is a zip of XML parts; this reads them with the standard library only, so the
tests look at the workbook the way Excel would, not through the library that wrote it.

Output, tab-separated, tabs and line ends in texts escaped as \\t and \\n:
  sheet      NAME
  frozen     TOP-LEFT-CELL-OF-THE-SCROLLING-PART    (only for a frozen pane)
  autofilter RANGE
  width      COLUMN(1-based)  WIDTH
  cell       REF  KIND(s|n|b|str|e)  VALUE  NUMBER-FORMAT  BOLD(0|1)
Exit status 2 with a message when the workbook is no valid zip or its XML does not parse.
"""
import sys
import zipfile
import posixpath
import xml.etree.ElementTree as ET

NS = {
    "m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
    "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "rel": "http://schemas.openxmlformats.org/package/2006/relationships",
}
R_ID = "{%s}id" % NS["r"]

# The built-in number formats a writer may refer to by number.
BUILTIN_FORMATS = {0: "General", 1: "0", 2: "0.00", 14: "mm-dd-yy", 22: "m/d/yy h:mm"}


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def text_of(element):
    # A string item is <t> or rich-text runs <r><t>…</t></r>.
    return "".join(t.text or "" for t in element.iter("{%s}t" % NS["m"]))


def main(path):
    with zipfile.ZipFile(path) as book:
        names = set(book.namelist())

        def xml(name):
            return ET.fromstring(book.read(name))

        shared = []
        if "xl/sharedStrings.xml" in names:
            shared = [text_of(si) for si in xml("xl/sharedStrings.xml").findall("m:si", NS)]

        formats = dict(BUILTIN_FORMATS)
        styles = xml("xl/styles.xml")
        for fmt in styles.findall("m:numFmts/m:numFmt", NS):
            formats[int(fmt.get("numFmtId"))] = fmt.get("formatCode")
        bold_fonts = [font.find("m:b", NS) is not None for font in styles.findall("m:fonts/m:font", NS)]
        cell_styles = []
        for xf in styles.findall("m:cellXfs/m:xf", NS):
            number_format = formats.get(int(xf.get("numFmtId", "0")), "id" + xf.get("numFmtId", "0"))
            cell_styles.append((number_format, bold_fonts[int(xf.get("fontId", "0"))]))

        rels = {rel.get("Id"): rel.get("Target") for rel in xml("xl/_rels/workbook.xml.rels").findall("rel:Relationship", NS)}
        for sheet in xml("xl/workbook.xml").findall("m:sheets/m:sheet", NS):
            target = rels[sheet.get(R_ID)]
            part = target.lstrip("/") if target.startswith("/") else posixpath.normpath(posixpath.join("xl", target))
            print("sheet\t" + escape(sheet.get("name")))
            root = xml(part)
            pane = root.find("m:sheetViews/m:sheetView/m:pane", NS)
            if pane is not None and pane.get("state") == "frozen":
                print("frozen\t" + pane.get("topLeftCell"))
            autofilter = root.find("m:autoFilter", NS)
            if autofilter is not None:
                print("autofilter\t" + autofilter.get("ref"))
            for col in root.findall("m:cols/m:col", NS):
                for index in range(int(col.get("min")), int(col.get("max")) + 1):
                    print("width\t%d\t%s" % (index, col.get("width")))
            for cell in root.iter("{%s}c" % NS["m"]):
                kind = cell.get("t", "n")
                value_element = cell.find("m:v", NS)
                value = value_element.text if value_element is not None else ""
                if kind == "s":
                    value = shared[int(value)]
                elif kind == "inlineStr":
                    kind, value = "s", text_of(cell.find("m:is", NS))
                number_format, bold = cell_styles[int(cell.get("s", "0"))]
                print("cell\t%s\t%s\t%s\t%s\t%d" % (cell.get("r"), kind, escape(value), escape(number_format), bold))


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except (zipfile.BadZipFile, ET.ParseError, KeyError, OSError) as error:
        print("xlsx_dump: %s" % error, file=sys.stderr)
        sys.exit(2)
