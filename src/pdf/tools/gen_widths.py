#!/usr/bin/env python3
"""Generates PdfFontWidths.cpp: the widths of character codes 32..255
(WinAnsiEncoding) of the standard Helvetica and Times faces, in thousandths
of the font size.

The widths come from the URW base-35 AFM files (Debian package
fonts-urw-base35), which are metric-compatible with the standard fonts every
PDF viewer provides. Codes without a glyph, the no-break space and the soft
hyphen are given width 0; the script checks a handful of well-known widths
and refuses to write anything when one differs.

Usage: gen_widths.py --afm-dir /usr/share/fonts/type1/urw-base35 --output PdfFontWidths.cpp
"""

import argparse
import os
import sys

# Glyph names of WinAnsiEncoding for codes 32..255; None where the code has
# no glyph (or, for 160 and 173, where the writer settles on width 0).
WIN_ANSI = {
    32: "space", 33: "exclam", 34: "quotedbl", 35: "numbersign", 36: "dollar",
    37: "percent", 38: "ampersand", 39: "quotesingle", 40: "parenleft",
    41: "parenright", 42: "asterisk", 43: "plus", 44: "comma", 45: "hyphen",
    46: "period", 47: "slash", 48: "zero", 49: "one", 50: "two", 51: "three",
    52: "four", 53: "five", 54: "six", 55: "seven", 56: "eight", 57: "nine",
    58: "colon", 59: "semicolon", 60: "less", 61: "equal", 62: "greater",
    63: "question", 64: "at", 91: "bracketleft", 92: "backslash",
    93: "bracketright", 94: "asciicircum", 95: "underscore", 96: "grave",
    123: "braceleft", 124: "bar", 125: "braceright", 126: "asciitilde",
    127: None,
    128: "Euro", 129: None, 130: "quotesinglbase", 131: "florin",
    132: "quotedblbase", 133: "ellipsis", 134: "dagger", 135: "daggerdbl",
    136: "circumflex", 137: "perthousand", 138: "Scaron", 139: "guilsinglleft",
    140: "OE", 141: None, 142: "Zcaron", 143: None, 144: None,
    145: "quoteleft", 146: "quoteright", 147: "quotedblleft",
    148: "quotedblright", 149: "bullet", 150: "endash", 151: "emdash",
    152: "tilde", 153: "trademark", 154: "scaron", 155: "guilsinglright",
    156: "oe", 157: None, 158: "zcaron", 159: "Ydieresis",
    160: None, 161: "exclamdown", 162: "cent", 163: "sterling",
    164: "currency", 165: "yen", 166: "brokenbar", 167: "section",
    168: "dieresis", 169: "copyright", 170: "ordfeminine",
    171: "guillemotleft", 172: "logicalnot", 173: None, 174: "registered",
    175: "macron", 176: "degree", 177: "plusminus", 178: "twosuperior",
    179: "threesuperior", 180: "acute", 181: "mu", 182: "paragraph",
    183: "periodcentered", 184: "cedilla", 185: "onesuperior",
    186: "ordmasculine", 187: "guillemotright", 188: "onequarter",
    189: "onehalf", 190: "threequarters", 191: "questiondown",
    192: "Agrave", 193: "Aacute", 194: "Acircumflex", 195: "Atilde",
    196: "Adieresis", 197: "Aring", 198: "AE", 199: "Ccedilla", 200: "Egrave",
    201: "Eacute", 202: "Ecircumflex", 203: "Edieresis", 204: "Igrave",
    205: "Iacute", 206: "Icircumflex", 207: "Idieresis", 208: "Eth",
    209: "Ntilde", 210: "Ograve", 211: "Oacute", 212: "Ocircumflex",
    213: "Otilde", 214: "Odieresis", 215: "multiply", 216: "Oslash",
    217: "Ugrave", 218: "Uacute", 219: "Ucircumflex", 220: "Udieresis",
    221: "Yacute", 222: "Thorn", 223: "germandbls", 224: "agrave",
    225: "aacute", 226: "acircumflex", 227: "atilde", 228: "adieresis",
    229: "aring", 230: "ae", 231: "ccedilla", 232: "egrave", 233: "eacute",
    234: "ecircumflex", 235: "edieresis", 236: "igrave", 237: "iacute",
    238: "icircumflex", 239: "idieresis", 240: "eth", 241: "ntilde",
    242: "ograve", 243: "oacute", 244: "ocircumflex", 245: "otilde",
    246: "odieresis", 247: "divide", 248: "oslash", 249: "ugrave",
    250: "uacute", 251: "ucircumflex", 252: "udieresis", 253: "yacute",
    254: "thorn", 255: "ydieresis",
}
for code in range(65, 91):
    WIN_ANSI[code] = chr(code)
for code in range(97, 123):
    WIN_ANSI[code] = chr(code)

# Table name in the C++ source, AFM file of the metric-compatible face.
FACES = [
    ("kHelveticaWidths", "NimbusSans-Regular.afm"),
    ("kHelveticaBoldWidths", "NimbusSans-Bold.afm"),
    ("kTimesRomanWidths", "NimbusRoman-Regular.afm"),
    ("kTimesBoldWidths", "NimbusRoman-Bold.afm"),
    ("kTimesItalicWidths", "NimbusRoman-Italic.afm"),
    ("kTimesBoldItalicWidths", "NimbusRoman-BoldItalic.afm"),
]

# Widths every table must show (code: width per table, in FACES order).
TELLING_ROWS = {
    32: (278, 278, 250, 250, 250, 250),
    64: (1015, 975, 921, 930, 920, 832),
    65: (667, 722, 722, None, 611, None),
    128: (556, 556, 500, 500, 500, 500),
    151: (1000, 1000, 1000, 1000, 889, 1000),
    233: (556, 556, 444, None, None, None),
    160: (0,) * 6,
    173: (0,) * 6,
}


def read_afm_widths(path):
    widths = {}
    with open(path, encoding="latin-1") as afm:
        for line in afm:
            if not line.startswith("C "):
                continue
            fields = {}
            for part in line.split(";"):
                words = part.split()
                if len(words) >= 2:
                    fields[words[0]] = words[1]
            if "N" in fields and "WX" in fields:
                widths[fields["N"]] = int(round(float(fields["WX"])))
    return widths


def table_of(afm_widths, afm_name):
    table = []
    for code in range(32, 256):
        glyph = WIN_ANSI[code]
        if glyph is None:
            table.append(0)
        elif glyph in afm_widths:
            table.append(afm_widths[glyph])
        else:
            sys.exit(f"{afm_name}: no glyph '{glyph}' for code {code}")
    return table


def check_telling_rows(tables):
    for code, expected in TELLING_ROWS.items():
        for (name, _), table, width in zip(FACES, tables, expected):
            if width is not None and table[code - 32] != width:
                sys.exit(f"{name}: code {code} is {table[code - 32]}, expected {width}")


def cpp_table(name, table):
    lines = [f"const int32_t {name}[kWidthCount] = {{"]
    for row in range(0, len(table), 16):
        first = 32 + row
        values = ", ".join(f"{w:4d}" for w in table[row:row + 16])
        lines.append(f"    {values}, // {first}..{first + 15}")
    lines.append("};")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--afm-dir", default="/usr/share/fonts/type1/urw-base35")
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    tables = [table_of(read_afm_widths(os.path.join(args.afm_dir, afm)), afm) for _, afm in FACES]
    check_telling_rows(tables)

    parts = [
        "// Generated by src/pdf/tools/gen_widths.py from the URW base-35 AFM metrics",
        "// (fonts-urw-base35). Do not edit: run the pdf_font_widths target instead.",
        "",
        '#include "pdf/PdfFontWidths.h"',
        "",
        "namespace pdf {",
        "",
    ]
    for (name, afm), table in zip(FACES, tables):
        parts.append(f"// {afm}")
        parts.append(cpp_table(name, table))
        parts.append("")
    parts.append("const int32_t kCourierWidths[kWidthCount] = {")
    for row in range(0, 224, 16):
        parts.append("    " + ", ".join(["600"] * 16) + ",")
    parts.append("};")
    parts.append("")
    parts.append("} // namespace pdf")
    with open(args.output, "w", encoding="utf-8") as out:
        out.write("\n".join(parts) + "\n")


if __name__ == "__main__":
    main()
