#!/usr/bin/env python3
"""Build data/generated/kangxi_strokes.inc: the 康熙 stroke count of every GBK
hanzi, as naming books count it.

Rule, per character c:
  1. A simplified character is counted as its traditional form t, taken from
     the program's own simplified -> traditional map
     (data/generated/char_forms.inc); any other character as itself.
  2. Unihan kRSKangXi of t gives its Kangxi radical r and residual strokes n.
     The count is the stroke count of the radical in its full form (氵 as 水 4,
     艹 as 艸 6, 阝 as 阜 8 or 邑 7, 王 as 玉 5, 月 as 肉 6 where the radical is
     肉, 礻 as 示 5, 衤 as 衣 6, 忄 as 心 4, 扌 as 手 4, 犭 as 犬 4, 辶 as 辵 7 ...)
     plus n.
  3. Where n <= 0 the character is itself a radical or a form of one. The
     radical's own character (the ideograph CJKRadicals.txt gives for its
     number) counts as the radical does in the 康熙字典, whatever the modern
     count: 鼎 13 (not 12), 鬼 10, 瓦 5, 龜 16. A form of a radical (王 96.-1,
     氵 85.0, 罒 122.0) keeps its own stroke count (Unihan kTotalStrokes, the
     last value, i.e. the traditional count): 王 4, 氵 3.
  4. Characters without kRSKangXi take kRSUnicode (first value) instead.
  5. Except for a radical's own character, the count is never below the character's own stroke count (kTotalStrokes
     of t): for some characters the residual of kRSKangXi is one short of the
     strokes the rest of the character has (斌 67.7 although 武 has 8 strokes,
     政 66.4, 泰 85.5, 紫 120.5, 露 173.12), and the books count them in full
     (斌 12, 政 9, 泰 10, 紫 12, 露 21).
  6. The reviewed exceptions of tools/chars/kangxi_exceptions.tsv replace the
     result: "self" counts the character as it stands (skipping rule 1), a
     number is taken as it is.

The numeral convention (四 4, 五 5 ...) is applied by the program, not here.

Source: Debian unicode-data 15.0.0 (Unihan_RadicalStrokeCounts.txt.bz2,
Unihan_IRGSources.txt.bz2, CJKRadicals.txt).  Run from the repository root:
    python3 tools/chars/gen_kangxi_strokes.py
"""
import bz2
import os
import re
import sys

UNIHAN_RS = "/usr/share/unicode/Unihan_RadicalStrokeCounts.txt.bz2"
UNIHAN_IRG = "/usr/share/unicode/Unihan_IRGSources.txt.bz2"
CJK_RADICALS = "/usr/share/unicode/CJKRadicals.txt"
FORMS = os.path.join("data", "generated", "char_forms.inc")
EXCEPTIONS = os.path.join("tools", "chars", "kangxi_exceptions.tsv")
OUT = os.path.join("data", "generated", "kangxi_strokes.inc")

LEAD_FIRST, LEAD_LAST = 0x81, 0xFE
TRAIL_FIRST, TRAIL_LAST = 0x40, 0xFE
ROW_LEN = TRAIL_LAST - TRAIL_FIRST + 1  # 191 (0x7F is no trail byte; its cells stay 0)

# Stroke count of the 214 Kangxi radicals by radical number: radicals 1-6
# have one stroke, 7-29 two, ... 214 (龠) seventeen.
RADICAL_STROKE_BOUNDS = [(6, 1), (29, 2), (60, 3), (94, 4), (117, 5), (146, 6), (166, 7), (175, 8),
                         (186, 9), (194, 10), (200, 11), (204, 12), (208, 13), (210, 14), (211, 15),
                         (213, 16), (214, 17)]

# Values the naming books agree on; the script stops if the result differs.
EXPECTED = {
    # radical forms counted in full
    "江": 7, "海": 11, "清": 12, "芳": 10, "英": 11, "陈": 16, "阳": 17, "郭": 15, "邓": 19,
    "玲": 10, "琳": 13, "瑶": 15, "胡": 11, "育": 10, "能": 12, "祥": 11, "福": 14, "裕": 13,
    "怡": 9, "恒": 10, "振": 11, "独": 17, "迪": 12, "道": 16, "远": 17, "罗": 20,
    # radicals and their forms as characters of their own; the radicals
    # themselves as the 康熙字典 counts them, not by the modern stroke order
    "鼎": 13, "鬼": 10, "瓦": 5, "龟": 16,
    "王": 4, "玉": 5, "水": 4, "月": 4, "肉": 6, "心": 4, "手": 4, "示": 5, "衣": 6,
    # 月 as moon stays 4
    "朋": 8, "明": 8, "朗": 11, "期": 12, "服": 8,
    # traditional forms
    "张": 11, "刘": 15, "杨": 13, "黄": 12, "赵": 14, "吴": 7, "孙": 10, "马": 10, "谢": 17,
    "许": 11, "韩": 17, "冯": 12, "叶": 15, "钟": 17, "万": 15, "誉": 21, "譽": 21,
    # the numerals as their strokes (the numeral values are the program's option)
    "一": 1, "二": 2, "三": 3, "四": 5, "五": 4, "六": 4, "七": 2, "八": 2, "九": 2, "十": 2,
    "百": 6, "千": 3,
    # residuals one short in Unihan
    "斌": 12, "政": 9, "泰": 10, "紫": 12, "露": 21, "致": 10, "兴": 16,
    # exceptions
    "于": 3, "余": 7, "范": 11, "后": 6, "岳": 8, "里": 7, "台": 5,
}


def radical_strokes(radical):
    for bound, strokes in RADICAL_STROKE_BOUNDS:
        if radical <= bound:
            return strokes
    raise ValueError(radical)


def load_fields(path, fields):
    out = {f: {} for f in fields}
    with bz2.open(path, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cp, field, value = line.rstrip("\n").split("\t", 2)
            if field in out:
                out[field][chr(int(cp[2:], 16))] = value
    return out


def load_radical_characters():
    """The ideograph of each of the 214 Kangxi radicals: character -> number."""
    radicals = {}
    with open(CJK_RADICALS, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            number, _, ideograph = (part.strip() for part in line.split(";"))
            if number.endswith("'"):  # a simplified form of the radical: not in the 康熙字典
                continue
            radicals[chr(int(ideograph, 16))] = int(number)
    assert len(radicals) == 214, len(radicals)
    return radicals


def load_forms():
    forms = {}
    with open(FORMS, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\{0x([0-9A-F]{4}), 0x([0-9A-F]{4})\}", line.strip())
            if m:
                forms[bytes.fromhex(m.group(1)).decode("gbk")] = bytes.fromhex(m.group(2)).decode("gbk")
    assert len(forms) > 2000, len(forms)
    return forms


def load_exceptions():
    exceptions = {}
    with open(EXCEPTIONS, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.startswith("#") or not line.strip():
                continue
            parts = line.rstrip("\n").split("\t")
            if len(parts) != 3 or len(parts[0]) != 1 or not parts[2].strip():
                sys.exit("%s:%d: expected character, value, reason" % (EXCEPTIONS, number))
            ch, value, _ = parts
            if ch in exceptions:
                sys.exit("%s:%d: %s twice" % (EXCEPTIONS, number, ch))
            if value != "self" and not value.isdigit():
                sys.exit("%s:%d: value must be self or a number" % (EXCEPTIONS, number))
            exceptions[ch] = value
    return exceptions


def is_hanzi(ch):
    cp = ord(ch)
    return 0x4E00 <= cp <= 0x9FFF or 0x3400 <= cp <= 0x4DBF or 0xF900 <= cp <= 0xFAFF


def main():
    rs = load_fields(UNIHAN_RS, ["kRSKangXi"])["kRSKangXi"]
    irg = load_fields(UNIHAN_IRG, ["kTotalStrokes", "kRSUnicode"])
    total, rs_unicode = irg["kTotalStrokes"], irg["kRSUnicode"]
    forms = load_forms()
    exceptions = load_exceptions()
    radical_characters = load_radical_characters()
    stats = {"cells": 0, "traditional": 0, "own": 0, "radicals": 0, "rsunicode": 0, "raised": 0, "exceptions": 0}

    def kangxi(ch, count_stats):
        radical = radical_characters.get(ch)
        if radical is not None and rs.get(ch) == "%d.0" % radical:
            if count_stats:
                stats["radicals"] += 1
            return radical_strokes(radical)
        count = by_radical(ch, count_stats)
        own = int(total[ch].split()[-1])
        if count < own:
            if count_stats:
                stats["raised"] += 1
            return own
        return count

    def by_radical(ch, count_stats):
        value = rs.get(ch)
        if value is None:
            value = rs_unicode[ch].split()[0]
            if count_stats:
                stats["rsunicode"] += 1
        radical, residual = value.split(".")
        radical, residual = int(radical.rstrip("'")), int(residual)
        if residual <= 0:
            if count_stats:
                stats["own"] += 1
            return int(total[ch].split()[-1])
        return radical_strokes(radical) + residual

    table = {}
    for lead in range(LEAD_FIRST, LEAD_LAST + 1):
        for trail in range(TRAIL_FIRST, TRAIL_LAST + 1):
            if trail == 0x7F:
                continue
            try:
                ch = bytes([lead, trail]).decode("gbk")
            except UnicodeDecodeError:
                continue
            if len(ch) != 1 or not is_hanzi(ch):
                continue
            stats["cells"] += 1
            source = forms.get(ch, ch)
            if source != ch:
                stats["traditional"] += 1
            count = kangxi(source, True)
            if ch in exceptions:
                stats["exceptions"] += 1
                wanted = kangxi(ch, False) if exceptions[ch] == "self" else int(exceptions[ch])
                if wanted == count:
                    sys.exit("exception for %s changes nothing (%d)" % (ch, count))
                count = wanted
            table[(lead, trail)] = count

    missing = set(exceptions) - {bytes(k).decode("gbk") for k in table}
    if missing:
        sys.exit("exceptions for characters that are no GBK hanzi: " + "".join(sorted(missing)))
    values = list(table.values())
    assert all(1 <= v <= 64 for v in values), (min(values), max(values))
    for ch, want in EXPECTED.items():
        got = table[tuple(ch.encode("gbk"))]
        assert got == want, (ch, got, want)

    with open(OUT, "w", encoding="utf-8", newline="\n") as f:
        f.write("// Generated by tools/chars/gen_kangxi_strokes.py from Unihan kRSKangXi -- do not edit by hand.\n")
        f.write("// One byte per GBK cell, 126 rows (lead 0x81..0xFE) of 191 cells (trail 0x40..0xFE):\n")
        f.write("// index = (lead - 0x81) * 191 + (trail - 0x40); 0 = no hanzi.\n")
        for lead in range(LEAD_FIRST, LEAD_LAST + 1):
            row = [table.get((lead, t), 0) for t in range(TRAIL_FIRST, TRAIL_LAST + 1)]
            f.write("".join("%d," % v for v in row) + "\n")
    print("%s: %d hanzi (%d counted as their traditional form, %d radicals by the radical's count, %d radical "
          "forms by their own count, %d through kRSUnicode, %d raised to their own stroke count, %d reviewed "
          "exceptions); values %d..%d"
          % (OUT, stats["cells"], stats["traditional"], stats["radicals"], stats["own"], stats["rsunicode"],
             stats["raised"], stats["exceptions"], min(values), max(values)))


if __name__ == "__main__":
    main()
