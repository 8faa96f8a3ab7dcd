#!/usr/bin/env python3
"""Builds the tables the family's wishes are read with.

    data/advice_themes.dat    the themes of meaning (聪慧 温润 …): order, name,
                              characters, two-character words
    data/advice_radicals.dat  each character's radical as a parent sees it in
                              the character (氵 for 海, 水 for 泉, 灬 for 熙;
                              empty when none is seen) and its structure
                              (左右 上下 独体 半包围 全包围 品字 上中下 左中右;
                              empty when unknown)

Every file is GBK text, tab-separated, CR LF line ends, sorted by GBK bytes
of its first field, each key once. Run from anywhere:

    npm ci --prefix tools/advice           # cnchar-data's drawings, cnchar-radical
    python3 tools/advice/gen_wishes.py     # writes the files, prints a JSON report

Sources: tools/advice/themes.txt (the team's own reading), Debian
unicode-data (Unihan kRSUnicode, CJKRadicals.txt), npm cnchar-data (the
strokes of each character that draw its radical), npm cnchar-radical (each
character's structure, by node structures.js), data/advice_chars.dat
(levels, and which characters are unsuitable in a name) and Debian
python3-jieba's dictionary (how many theme words it knows, for the report).
The script is deterministic.
"""

import bz2
import json
import subprocess
import sys
from pathlib import Path

from gen_advice import gbk, write_table  # the advice tables' encoding and order

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
DATA = ROOT / "data"
UNIHAN = Path("/usr/share/unicode")
DRAW = HERE / "node_modules" / "cnchar-data" / "draw"
JIEBA_DICT = Path("/usr/lib/python3/dist-packages/jieba/dict.txt")

# Radicals no parent sees as a part of the character (一 丨 丶 丿 乙 亅):
# a character of one of them has no radical in the table.
UNSEEN_RADICALS = {1, 2, 3, 4, 5, 6}

# Radicals written otherwise where they stand beside or under the rest of
# the character: number -> (the other form, where it stands then). The
# place is read from the medians of the radical's strokes in cnchar-data's
# drawings (x grows to the right, y upwards, both 0..1024).
PLACED_FORMS = {
    9: ("亻", "left"), 18: ("刂", "right"), 61: ("忄", "left"), 64: ("扌", "left"),
    85: ("氵", "left"), 86: ("灬", "bottom"), 94: ("犭", "left"), 96: ("王", "left"),
    113: ("礻", "left"), 145: ("衤", "left"),
}
# Radicals that have one form in every simplified character.
FIXED_FORMS = {
    130: "月", 140: "艹", 162: "辶", 163: "阝", 170: "阝", 122: "罒", 66: "攵", 87: "爫",
    118: "竹", 157: "足", 47: "川", 12: "八",
}


def advice_chars():
    """字 -> (level, unsuitable) from advice_chars.dat."""
    unsuitable = set()
    for line in (DATA / "advice_unsuitable.dat").read_bytes().decode("gbk").splitlines():
        if line:
            unsuitable.add(line.split("\t")[0])
    chars = {}
    for line in (DATA / "advice_chars.dat").read_bytes().decode("gbk").splitlines():
        if line:
            fields = line.split("\t")
            chars[fields[0]] = (int(fields[1]), fields[0] in unsuitable)
    return chars


def radical_numbers():
    numbers = {}
    with bz2.open(UNIHAN / "Unihan_IRGSources.txt.bz2", "rt", encoding="utf-8") as f:
        for line in f:
            if "\tkRSUnicode\t" in line:
                code, _, value = line.rstrip("\n").split("\t")
                numbers[chr(int(code[2:], 16))] = value.split()[0].split(".")[0]
    return numbers


def radical_chars():
    """Radical number as Unihan writes it ("85", "120'") -> its ideograph."""
    chars = {}
    for line in (UNIHAN / "CJKRadicals.txt").read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            number, _, ideograph = (p.strip() for p in line.split(";"))
            chars[number] = chr(int(ideograph, 16))
    return chars


def radical_place(ch):
    """Where the radical's strokes stand in the character: left, right,
    bottom or elsewhere; None without a drawing."""
    path = DRAW / f"{ch}.json"
    if not path.exists():
        return None
    drawing = json.loads(path.read_text(encoding="utf-8"))
    strokes = drawing.get("radStrokes")
    if not strokes or len(strokes) == len(drawing["medians"]):
        return "whole"
    points = [p for i in strokes for p in drawing["medians"][i]]
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    if max(xs) < 480:
        return "left"
    if min(xs) > 540:
        return "right"
    if max(ys) < 300:
        return "bottom"
    return "elsewhere"


STRUCTURES = {"左右", "上下", "独体", "半包围", "全包围", "品字", "上中下", "左中右"}
# Our own reading of the characters of the name bank where cnchar-radical
# has none (剑) or one a reader does not see (天 read as 上下, 竹 as 独体 …);
# where the dictionaries themselves differ (光 南 有 成 …) its own stands.
STRUCTURE_READINGS = {
    "剑": "左右",
    "天": "独体", "正": "独体", "千": "独体", "年": "独体", "见": "独体", "鱼": "独体", "里": "独体",
    "竹": "左右", "彪": "左右", "辰": "半包围",
    "允": "上下", "玄": "上下", "奏": "上下", "愿": "上下",
}


def structures(chars):
    """字 -> its structure as cnchar-radical gives it (左右 …), for those it knows."""
    result = subprocess.run(["node", str(HERE / "structures.js")], input=json.dumps(chars, ensure_ascii=False),
                            capture_output=True, text=True, check=True)
    known = json.loads(result.stdout)
    assert set(known.values()) <= STRUCTURES, set(known.values()) - STRUCTURES
    for ch, shape in STRUCTURE_READINGS.items():
        assert known.get(ch) != shape, f"{ch}: cnchar-radical reads it so now"
        known[ch] = shape
    return known


def radical_form(ch, numbers, ideographs, counts):
    """The radical as it is written in the character, or None."""
    if ch not in numbers:
        return None
    number = numbers[ch]
    base = int(number.rstrip("'"))
    if base in UNSEEN_RADICALS:
        return None
    form = ideographs.get(number)
    if base in FIXED_FORMS and not number.endswith("'"):
        form = FIXED_FORMS[base]
    elif base in PLACED_FORMS:
        other, where = PLACED_FORMS[base]
        place = radical_place(ch)
        if place is None:
            return None  # no drawing to tell the form by
        counts["placed"] += 1
        if place == where:
            form = other
    if not form:
        return None
    try:
        gbk(form)
    except UnicodeEncodeError:
        return None
    return form


def radical_rows(chars):
    """字, radical form, structure: the characters of levels 1-3 with either."""
    numbers = radical_numbers()
    ideographs = radical_chars()
    kept = [ch for ch, (level, _) in chars.items() if level in (1, 2, 3)]
    shapes = structures(kept)
    rows, counts = [], {"placed": 0, "radicals": 0, "structures": 0}
    for ch in kept:
        form = radical_form(ch, numbers, ideographs, counts) or ""
        shape = shapes.get(ch, "")
        if form or shape:
            rows.append((ch, form, shape))
            counts["radicals"] += bool(form)
            counts["structures"] += bool(shape)
    return rows, counts


def theme_rows(chars):
    jieba_words = set()
    if JIEBA_DICT.exists():
        for line in JIEBA_DICT.read_text(encoding="utf-8").splitlines():
            jieba_words.add(line.split(" ")[0])
    rows, report = [], {"themes": 0, "characters": 0, "words": 0, "wordsInJieba": 0}
    for order, line in enumerate(
            l for l in (HERE / "themes.txt").read_text(encoding="utf-8").splitlines()
            if l.strip() and not l.startswith("#")):
        name, theme_chars, words = line.split("\t")
        words = words.split()
        assert len(set(theme_chars)) == len(theme_chars), f"{name}: a character twice"
        assert len(set(words)) == len(words), f"{name}: a word twice"
        for ch in theme_chars:
            level, unsuitable = chars.get(ch, (0, True))
            assert level in (1, 2) and not unsuitable, f"{name}: {ch} is no good name character"
        for word in words:
            assert len(word) == 2, f"{name}: {word} is not two characters"
            # A word counts whole: a character of it may be one a name
            # rarely holds alone (之 of 润之).
            for ch in word:
                assert chars.get(ch, (0, True))[0] in (1, 2), f"{name}: {word} holds {ch}"
        rows.append((f"{order + 1:02d}", name, theme_chars, " ".join(words)))
        report["themes"] += 1
        report["characters"] += len(theme_chars)
        report["words"] += len(words)
        report["wordsInJieba"] += sum(w in jieba_words for w in words)
    return rows, report


def main():
    chars = advice_chars()
    themes, report = theme_rows(chars)
    report["advice_themes.dat"] = write_table("advice_themes.dat", themes)
    radicals, counts = radical_rows(chars)
    report["advice_radicals.dat"] = write_table("advice_radicals.dat", radicals)
    report["radicalsPlacedByDrawing"] = counts["placed"]
    report["radicals"] = counts["radicals"]
    report["structures"] = counts["structures"]
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    print()


if __name__ == "__main__":
    main()
