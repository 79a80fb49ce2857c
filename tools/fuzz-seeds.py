#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/.

Each seed is a case the unit tests care about, in the target's input form (see the comment at
the top of each tests/fuzz/Fuzz*.cpp). Run it again after changing the list; libFuzzer adds its
own finds to a copy of the corpus in the fuzz build folder, never to these files.
"""
import os
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fuzz", "corpus")


def number(value, decimals, precision=15, comma=False):
    return struct.pack("<d", value) + bytes([(decimals + 20) % 61, (precision - 1) | (0x80 if comma else 0)])


NUMBER_TEXT = {
    "plain": number(12.3456, 3),
    "half-above": number(2.0005, 3),
    "half-below": number(1.0005, 3),
    "tie-even": number(2.5, 0),
    "negative-small": number(-0.0004, 3),
    "tiny": number(0.00005, 5, 18, True),
    "e15": number(1e15, 3),
    "e16-invalid": number(1e16, 3),
    "sixteen-digits": number(1234567890123456.0, 0, 17),
    "tens": number(123456.0, -2, 1),
    "many-decimals": number(1.2345678901234567e-30, 40, 18, True),
    "nan": number(float("nan"), 3),
    "minus-inf": number(float("-inf"), 3),
    "subnormal": number(5e-324, 40, 18),
}


def utf16(*lines):
    return "\uffff".join(lines).encode("utf-16-le", "surrogatepass")


REPORT_LINE = {
    "subscript": utf16("H$2$O"),
    "second-line": utf16("0123456789", "x#2#"),
    "unpaired": utf16("a$b"),
    "empty-pair": utf16("$$"),
    "nested": utf16("a$b#c#d$e", "a$b#c$d#e"),
    "empty": utf16(""),
    "chinese": utf16("设计抗拉荷载：F=160×10×1000=1600kN；", "h$f$"),
    "not-in-codepage": utf16("\u00e9\u2028$\u20ac$\u2029\U0001F600"),
    "line-breaks": utf16("a\r\nb$c$", "\n#x#\r"),
    "lone-surrogate": "$\ud800$x".encode("utf-16-le", "surrogatepass"),
}


def text(s, comma=False, wide=False):
    switches = (1 if comma else 0) | (2 if wide else 0)
    body = s.encode("utf-16-le") if wide else s.encode("latin-1")
    return bytes([switches]) + body


PARSE_TEXT = {
    "real": text(" -12.5e3 "),
    "comma": text("3,25", comma=True),
    "leading-point": text(".5"),
    "trailing-point": text("5."),
    "overflow": text("1e400"),
    "huge-exponent": text("1e5000"),
    "underflow": text("-1e-400"),
    "subnormal": text("4.9406564584124654e-324"),
    "long-mantissa": text("0." + "0" * 40 + "1" + "9" * 40),
    "int-max": text("2147483647"),
    "int-min": text("-2147483648"),
    "int-over": text("2147483648"),
    "wide-digits": text("\uff11\uff12", wide=True),
    "controls": text("\t 7 \n"),
}


def field(text="", whole=False, show=True, set_max=True, lower=True, upper=True, fixed=False,
          negative=False, equal=False, mydec=2, lo=0.0, hi=0.0, wide=False):
    switches = 0
    for bit, on in enumerate([whole, show, set_max, lower, upper, fixed, negative, equal]):
        if on:
            switches |= 1 << bit
    body = text.encode("utf-16-le", "surrogatepass") if wide else text.encode("latin-1")
    return bytes([switches, 1 if wide else 0]) + struct.pack("<idd", mydec, lo, hi) + body


NUMERIC_FIELD = {
    "thickness-zero": field("0", whole=True, lo=1, hi=100),
    "thickness-empty": field("", whole=True, lo=1, hi=100),
    "thickness-top": field("100", whole=True, lo=1, hi=100),
    "thickness-over": field("101", whole=True, lo=1, hi=100),
    "length-letters": field("12a", whole=True, lo=1, hi=10000),
    "whole-point": field("1.5", whole=True, lo=1, hi=10),
    "whole-fraction-limit": field("0", whole=True, lo=1.5, hi=10),
    "whole-minus": field("-", whole=True, negative=True, lo=1, hi=10),
    "whole-over-int": field("2147483648", whole=True, lo=1, hi=10),
    "whole-huge-limit": field("5", whole=True, lo=-1e300, hi=1e300),
    "no-check": field("abc", show=False),
    "equal-limits": field(" ", equal=True, lo=3),
    "real-fixed": field("2.675", fixed=True, lo=0, hi=10),
    "real-fixed-letters": field("x", fixed=True, equal=True),
    "real-open-lower": field("0.004", lower=False, lo=0, hi=10),
    "real-limit-text": field("5", lo=0.126, hi=2.5),
    "real-lower-only": field("0", set_max=False, lo=0, hi=1),
    "real-mydec-40": field("1", mydec=40, lo=0, hi=2),
    "real-mydec-huge": field("1.5", fixed=True, mydec=2**31 - 1, equal=True),
    "real-nan": field("1", lo=float("nan"), hi=float("nan")),
    "real-inf": field("1", lo=float("-inf"), hi=float("inf")),
    "real-lone-point": field(".", lower=False, upper=False, lo=-1, hi=1),
    "real-exponent": field("1e300", fixed=True, lo=0, hi=1),
    "wide-digits": field("\uff11", wide=True, lo=0, hi=5),
}

SKIN_FILE = {
    "sample": open(os.path.join(ROOT, "..", "..", "..", "skins", "sample", "skin.ini"), "rb").read(),
    "empty": b"",
    "header-only": b"[Skin]\nVersion=1\n",
    "version-2": b"[Skin]\nVersion=2\n",
    "bad-colour": b"[Skin]\nVersion=1\n[Frame]\nCaption=#12345\n",
    "comma": b"[Skin]\nVersion=1\n[Frame]\nCaption=red,blue\n",
    "no-equals": b"[Skin]\nVersion\n",
    "not-utf8": b"[Skin]\nName=\xff\xfe\n",
    "nul": b"[Skin]\nVersion=1\x00\n",
    "font-size": b"[Message]\nFontFamily=Sans\nFontSize=73\n",
}


def write(target, seeds):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


def main():
    write("number-text", NUMBER_TEXT)
    write("report-line", REPORT_LINE)
    write("parse-text", PARSE_TEXT)
    write("numeric-field", NUMERIC_FIELD)
    write("skin-file", SKIN_FILE)
    return 0


if __name__ == "__main__":
    sys.exit(main())
