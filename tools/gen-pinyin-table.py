#!/usr/bin/env python3
"""Generates src/catalogue/inputcode/PinyinTable.cpp: the pinyin syllable list, the reading
of every GBK double-byte code and the GBK-to-Unicode grid the input codes are built from.

Readings come from the Unihan database of Debian's unicode-data package: kMandarin first,
then kHanyuPinyin, kXHC1983 and kTGHZ2013 for characters kMandarin lacks. GBK is glibc's
iconv "GBK", the same converter the tests check the table against.

Usage: tools/gen-pinyin-table.py [--unihan FILE] [--output FILE]
"""

import argparse
import bz2
import ctypes
import ctypes.util
import os
import re
import sys
import unicodedata

UNIHAN = "/usr/share/unicode/Unihan_Readings.txt.bz2"
OUTPUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir,
                      "src", "catalogue", "inputcode", "PinyinTable.cpp")

READING_FIELDS = ("kMandarin", "kHanyuPinyin", "kXHC1983", "kTGHZ2013")

# Characters with several readings keep the one that names and titles use most.
FIXED_READINGS = {
    "行": "hang", "长": "zhang", "重": "zhong", "乐": "le", "单": "dan", "曾": "ceng",
    "藏": "cang", "会": "hui", "朝": "chao", "传": "chuan", "都": "dou", "还": "hai",
    "解": "jie", "省": "sheng", "仇": "chou", "区": "qu", "查": "cha", "尉": "wei",
    "种": "zhong", "沈": "shen", "覃": "tan", "翟": "zhai", "柏": "bai", "觉": "jiao",
    "薄": "bao", "率": "lv", "校": "xiao", "参": "can", "吕": "lv", "略": "lue",
}

# Unified characters left without a reading on purpose (their readings are units written
# as one character, which an initial would misrepresent).
NO_READING = {"兝", "瓱"}

LEAD_FIRST, LEAD_LAST = 0x81, 0xFE
TRAIL_FIRST, TRAIL_LAST = 0x40, 0xFE
ROWS = LEAD_LAST - LEAD_FIRST + 1
COLUMNS = TRAIL_LAST - TRAIL_FIRST + 1

# Rows whose characters never have a reading (punctuation, kana, Cyrillic, pinyin and
# bopomofo letters, box drawing, compatibility characters) and the rows the input code
# reads by rule instead of by table (number symbols, full-width forms, Greek).
ZERO_ROWS = {0xA1, 0xA2, 0xA4, 0xA5, 0xA7, 0xA8, 0xA9, 0xFE}
RULE_ROWS = {0xA2, 0xA3, 0xA6}
COMPATIBILITY_CODES = range(0xFD9C, 0xFDA0 + 1)
GB2312_ROWS = range(0xB0, 0xF7 + 1)

MAX_SYLLABLE_LETTERS = 6


class Iconv:
    """glibc iconv through ctypes, so that the table uses the converter the program uses."""

    def __init__(self, to_code, from_code):
        self.libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
        self.libc.iconv_open.restype = ctypes.c_void_p
        self.libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
        self.libc.iconv.restype = ctypes.c_size_t
        self.libc.iconv.argtypes = [ctypes.c_void_p,
                                    ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t),
                                    ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t)]
        self.handle = self.libc.iconv_open(to_code.encode(), from_code.encode())
        if self.handle in (None, ctypes.c_void_p(-1).value):
            sys.exit(f"iconv cannot convert {from_code} to {to_code}")

    def convert(self, data):
        """The converted bytes, or None when the input is not convertible as a whole."""
        self.libc.iconv(self.handle, None, None, None, None)
        in_buffer = ctypes.create_string_buffer(data, len(data))
        out_buffer = ctypes.create_string_buffer(32)
        in_ptr = ctypes.c_char_p(ctypes.addressof(in_buffer))
        in_left = ctypes.c_size_t(len(data))
        out_ptr = ctypes.c_char_p(ctypes.addressof(out_buffer))
        out_left = ctypes.c_size_t(len(out_buffer))
        failed = ctypes.c_size_t(-1).value
        if self.libc.iconv(self.handle, ctypes.byref(in_ptr), ctypes.byref(in_left),
                           ctypes.byref(out_ptr), ctypes.byref(out_left)) == failed or in_left.value:
            return None
        if self.libc.iconv(self.handle, None, None, ctypes.byref(out_ptr),
                           ctypes.byref(out_left)) == failed:
            return None
        return out_buffer.raw[:len(out_buffer) - out_left.value]


def read_unihan(path):
    """The reading fields, and the source's version and copyright lines."""
    fields = {name: {} for name in READING_FIELDS}
    notice = []
    with bz2.open(path, "rt", encoding="utf-8") as unihan:
        for line in unihan:
            if line.startswith("# Unicode version:") or line.startswith("# ©"):
                notice.append(line[2:].strip())
            if line.startswith("#") or not line.strip():
                continue
            code_point, field, value = line.rstrip("\n").split("\t", 2)
            if field in fields:
                fields[field][chr(int(code_point[2:], 16))] = value
    return fields, notice


def first_reading(field, value):
    """The first reading of a Unihan value, in its toned form."""
    if field == "kMandarin":
        return value.split()[0]
    # "<location>[,<location>]:<reading>[,<reading>] ..." (locations may carry a '*')
    first_entry = value.split()[0]
    return first_entry.split(":", 1)[1].split(",")[0]


def toneless(reading):
    """Toned pinyin to plain letters, ü written as v."""
    letters = []
    for ch in unicodedata.normalize("NFD", reading):
        if ch == "\u0308":
            if not letters or letters[-1] != "u":
                raise ValueError(f"diaeresis without u in {reading!r}")
            letters[-1] = "v"
        elif unicodedata.combining(ch):
            continue
        else:
            letters.append(ch)
    plain = "".join(letters)
    if not re.fullmatch(r"[a-z]+", plain):
        raise ValueError(f"unexpected pinyin {reading!r}")
    return plain


def reading_of(character, unihan):
    if character in FIXED_READINGS:
        return FIXED_READINGS[character]
    for field in READING_FIELDS:
        value = unihan[field].get(character)
        if value:
            return toneless(first_reading(field, value))
    return None


def gbk_grid():
    """GBK double-byte code -> Unicode character, as glibc decodes it."""
    decoder = Iconv("UTF-32LE", "GBK")
    grid = {}
    for lead in range(LEAD_FIRST, LEAD_LAST + 1):
        for trail in range(TRAIL_FIRST, TRAIL_LAST + 1):
            decoded = decoder.convert(bytes([lead, trail]))
            if decoded is not None and len(decoded) == 4:
                grid[(lead, trail)] = chr(int.from_bytes(decoded, "little"))
    return grid


def check_round_trip(grid):
    """The program inverts the grid, so every character must encode back to its code, and
    the single bytes must be ASCII plus the euro sign at 0x80."""
    encoder = Iconv("GBK", "UTF-32LE")
    codes = {character: code for code, character in grid.items()}
    if len(codes) != len(grid):
        sys.exit("GBK decodes two codes to the same character")
    for code_point in range(0x10000):
        if 0xD800 <= code_point <= 0xDFFF:
            continue
        encoded = encoder.convert(code_point.to_bytes(4, "little"))
        character = chr(code_point)
        if encoded is None:
            expected = None
        elif len(encoded) == 1:
            if not (encoded[0] == code_point < 0x80 or (encoded[0], code_point) == (0x80, 0x20AC)):
                sys.exit(f"unexpected single-byte GBK for U+{code_point:04X}")
            continue
        else:
            expected = (encoded[0], encoded[1])
        if codes.get(character) != expected:
            sys.exit(f"GBK is not one-to-one at U+{code_point:04X}")


def has_no_reading(lead, trail, character):
    return (lead in ZERO_ROWS or lead in RULE_ROWS
            or (lead << 8 | trail) in COMPATIBILITY_CODES
            or character in NO_READING)


def build_readings(grid, unihan):
    readings = {}
    missing = []
    for (lead, trail), character in sorted(grid.items()):
        if has_no_reading(lead, trail, character):
            continue
        reading = reading_of(character, unihan)
        if reading is None:
            if unicodedata.category(character) == "Lo":
                missing.append((lead, trail, character))
            continue
        if len(reading) > MAX_SYLLABLE_LETTERS:
            sys.exit(f"reading {reading!r} of {character} is longer than {MAX_SYLLABLE_LETTERS} letters")
        readings[(lead, trail)] = reading
    return readings, missing


def check_readings(grid, readings):
    for character, reading in FIXED_READINGS.items():
        code = next(code for code, c in grid.items() if c == character)
        if readings.get(code) != reading:
            sys.exit(f"{character} should read {reading}")
    for (lead, trail), character in grid.items():
        if lead in GB2312_ROWS and trail >= 0xA1 and (lead, trail) not in readings:
            sys.exit(f"GB2312 character {character} ({lead:02X}{trail:02X}) has no reading")


def c_rows(values, per_line):
    lines = []
    for start in range(0, len(values), per_line):
        lines.append("    " + ", ".join(values[start:start + per_line]) + ",")
    return "\n".join(lines)


def write_source(path, syllables, index, unicode_grid, unihan_path, notice):
    syllable_lines = []
    for syllable in syllables:
        letters = ", ".join(f"'{letter}'" for letter in syllable)
        syllable_lines.append(f"    {{{len(syllable)}, {{{letters}}}}},")
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write(f"""// Generated by tools/gen-pinyin-table.py from {os.path.basename(unihan_path)}; do not edit.
// Readings derived from the Unihan database ({"; ".join(notice)}), used under the
// Unicode License Agreement for Data Files and Software (/usr/share/doc/unicode-data/copyright).
#include "catalogue/inputcode/InputCodeTables.h"

namespace InputCodeTables {{

const int PinyinSyllableCount = {len(syllables)};

const PinyinSyllable PinyinSyllables[{len(syllables)}] = {{
{chr(10).join(syllable_lines)}
}};

// Syllable number (1-based, 0 = no reading) per GBK double-byte code, row by row.
const quint16 GbkReadingIndex[GbkRows * GbkColumns] = {{
{c_rows([str(value) for value in index], 24)}
}};

// Unicode character per GBK double-byte code (0 = not a character), row by row.
const char16_t GbkToUnicode[GbkRows * GbkColumns] = {{
{c_rows([f"0x{value:04X}" for value in unicode_grid], 16)}
}};

}} // namespace InputCodeTables
""")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--unihan", default=UNIHAN)
    parser.add_argument("--output", default=OUTPUT)
    arguments = parser.parse_args()

    unihan, notice = read_unihan(arguments.unihan)
    grid = gbk_grid()
    check_round_trip(grid)
    readings, missing = build_readings(grid, unihan)
    check_readings(grid, readings)

    syllables = sorted(set(readings.values()))
    number_of = {syllable: number for number, syllable in enumerate(syllables, start=1)}
    index = [0] * (ROWS * COLUMNS)
    unicode_grid = [0] * (ROWS * COLUMNS)
    for (lead, trail), character in grid.items():
        slot = (lead - LEAD_FIRST) * COLUMNS + (trail - TRAIL_FIRST)
        unicode_grid[slot] = ord(character)
        if (lead, trail) in readings:
            index[slot] = number_of[readings[(lead, trail)]]
    write_source(os.path.normpath(arguments.output), syllables, index, unicode_grid, arguments.unihan,
                 notice)

    gb2312 = sum(1 for (lead, trail) in readings if lead in GB2312_ROWS and trail >= 0xA1)
    print(f"GBK double-byte characters:   {len(grid)}")
    print(f"syllables:                    {len(syllables)}")
    print(f"codes with a reading:         {len(readings)}")
    print(f"  of them GB2312:             {gb2312}")
    print(f"first letters:                {''.join(sorted({s[0] for s in syllables}))}")
    print(f"ideographs without a reading: {len(missing)}"
          + "".join(f" {c} ({lead:02X}{trail:02X})" for lead, trail, c in missing))
    print(f"written {os.path.normpath(arguments.output)}")


if __name__ == "__main__":
    main()
