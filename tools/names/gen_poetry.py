#!/usr/bin/env python3
"""Builds the poem database data/poetry.db (SQLite, no password).

    table poetry(id, content, collection, dynasty, title, author)

`content` holds the poem, one line of the source per line, lines separated
by "\\n"; every text is simplified Chinese, stored as UTF-8, and every
character can be written in GBK. Run from the repository root after
installing the pinned npm packages:

    npm ci --prefix tools/names
    python3 tools/names/gen_poetry.py

Sources (see tools/README.md for versions and licences): the npm package
chinese-poetry (唐诗三百首, 宋词三百首, 诗经, 楚辞) and Debian's opencc,
whose t2s configuration turns the traditional text of 唐诗三百首 into
simplified characters.

Cleaning, in this order:
1. The reviewed corrections of poetry_corrections.tsv (wrong authors and
   titles, truncated author fields, typos), each matched on the row's
   collection, title and author as the source gives them.
2. Variant characters to their standard simplified form, in texts and
   titles. The automatic map covers the characters outside GB2312 for which
   OpenCC's variant tables (TW, HK, JP, read back to OpenCC's standard
   traditional form and then through its TSCharacters table) or Unihan's
   kSimplifiedVariant / kZVariant (Debian unicode-data) give a form GBK can
   write; the reviewed table poetry_variant_overrides.tsv adds what those
   miss and keeps what they would over-normalise. The map applied, with its
   counts, is written to poetry_variants.tsv for the integrity test.
3. Titles: the 乐府 category prefix goes (杂曲歌辞 清平调 一 -> 清平调·其一),
   and a space before a part number or a part name becomes "·" with 其 for
   numbers (赠别二首 一 -> 赠别二首·其一, 辋川集 鹿柴 -> 辋川集·鹿柴).
4. Near-duplicate rows (in one collection, the same text but for a few
   characters, or outside 诗经 and 楚辞 the same first line and author) are merged into one: the row without a category prefix, else
   the first, is kept.
"""

import bz2
import csv
import difflib
import json
import re
import sqlite3
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SOURCE = Path(__file__).with_name("node_modules") / "chinese-poetry" / "dist"
OUTPUT = ROOT / "data" / "poetry.db"
HERE = Path(__file__).resolve().parent
CORRECTIONS = HERE / "poetry_corrections.tsv"
VARIANT_OVERRIDES = HERE / "poetry_variant_overrides.tsv"
VARIANTS_APPLIED = HERE / "poetry_variants.tsv"
OPENCC_DIR = Path("/usr/share/opencc")
UNIHAN_VARIANTS = Path("/usr/share/unicode/Unihan_Variants.txt.bz2")

# The category prefixes of 乐府 poems in the source's titles.
YUEFU = re.compile(r"^(鼓吹曲辞|横吹曲辞|杂曲歌辞|相和歌辞|琴曲歌辞|近代曲辞|郊庙歌辞|清商曲辞|舞曲歌辞|杂歌谣辞)\s+")
NUMERAL = re.compile(r"^其?[一二三四五六七八九十]+$")
# Two texts whose characters agree at least this much are one poem.
NEAR_DUPLICATE = 0.85

# 楚辞 authors of the Warring States; the others wrote under the Han.
WARRING_STATES = {"屈原", "宋玉", "景差"}

# Marks the sources write in forms GBK lacks or that stray from the text.
REPLACEMENTS = {
    "\u30fb": "\u00b7",  # katakana middle dot between two tune names -> ·
    "?": "？",
    "<": "《",
    ">": "》",
    "」": "",  # a closing quote without its opening one
}

# "[玄]宗": a character the editors restored; the brackets go.
RESTORED = re.compile(r"\[(.)\]")
# "[糹習]": a description of a character the source could not write.
DESCRIBED = re.compile(r"\[[^\]]{2,}\]")


def load(relative):
    return json.loads((SOURCE / relative).read_text(encoding="utf-8"))


def to_simplified(texts):
    """Converts a list of one-line texts with OpenCC's t2s configuration."""
    with tempfile.TemporaryDirectory() as tmp:
        source = Path(tmp) / "in.txt"
        target = Path(tmp) / "out.txt"
        source.write_text("\n".join(texts) + "\n", encoding="utf-8")
        subprocess.run(["opencc", "-c", "t2s.json", "-i", str(source), "-o", str(target)], check=True)
        result = target.read_text(encoding="utf-8").split("\n")[: len(texts)]
    assert len(result) == len(texts)
    return result


def clean(text):
    for old, new in REPLACEMENTS.items():
        text = text.replace(old, new)
    return RESTORED.sub(r"\1", text).strip()


def gbk_ok(text):
    try:
        text.encode("gbk")
    except UnicodeEncodeError:
        return False
    return True


def keep_gbk_forms(original, simple):
    """OpenCC writes a few characters in simplified forms that GBK lacks
    (貙 -> 䝙, 鑪 -> 𬬻 ...); those characters keep their traditional form,
    which GBK has. The conversion never changes the length of a line."""
    assert len(original) == len(simple), (original, simple)
    return "".join(s if gbk_ok(s) or not gbk_ok(o) else o for o, s in zip(original, simple))


def tang():
    poems = load("quantangshi/唐诗三百首.json")
    texts = []
    for poem in poems:
        texts += [poem["title"], poem["author"]] + poem["paragraphs"]
    simple = iter([keep_gbk_forms(o, s) for o, s in zip(texts, to_simplified(texts))])
    for poem in poems:
        title, author = next(simple), next(simple)
        lines = [next(simple) for _ in poem["paragraphs"]]
        yield "唐诗三百首", "唐", title, author, lines


def song():
    for poem in load("songci/宋词三百首.json"):
        yield "宋词三百首", "宋", poem["rhythmic"], poem["author"], poem["paragraphs"]


def shijing():
    for poem in load("shijing/shijing.json"):
        yield "诗经", "周", poem["title"], "佚名", poem["content"]


def chuci():
    for poem in load("chuci/chuci.json"):
        title = poem["title"]
        if poem.get("section") and poem["section"] != title:
            title = poem["section"] + "·" + title  # 九歌·东皇太一
        dynasty = "战国" if poem["author"] in WARRING_STATES else "汉"
        yield "楚辞", dynasty, title, poem["author"], poem["content"]


def gb2312_hanzi(ch):
    try:
        b = ch.encode("gb2312")
    except UnicodeEncodeError:
        return False
    return len(b) == 2 and b[0] >= 0xB0


def is_hanzi(ch):
    return "\u3400" <= ch <= "\u9fff"


def read_tsv(path):
    with open(path, encoding="utf-8", newline="") as f:
        return [row for row in csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE) if row and not row[0].startswith("#")]


def opencc_table(name):
    """An OpenCC dictionary as {key: first value}, exported with opencc_dict."""
    with tempfile.TemporaryDirectory() as tmp:
        text = Path(tmp) / "dict.txt"
        subprocess.run(["opencc_dict", "-i", str(OPENCC_DIR / (name + ".ocd2")), "-o", str(text), "-f", "ocd2", "-t",
                        "text"], check=True)
        return {k: v.split()[0] for k, v in (line.rstrip("\n").split("\t") for line in text.open(encoding="utf-8"))}


def unihan_variants(field):
    result = {}
    with bz2.open(UNIHAN_VARIANTS, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            code, name, values = line.rstrip("\n").split("\t")
            if name == field:
                result[chr(int(code[2:], 16))] = [chr(int(v.split("<")[0][2:], 16)) for v in values.split()]
    return result


def automatic_variants(characters):
    """variant -> (standard, source) for the characters outside GB2312 that
    the automatic sources map to a different form GBK can write."""
    ts = opencc_table("TSCharacters")
    reverse = {}
    for name in ("TWVariantsRev", "HKVariantsRev", "JPVariantsRev"):
        for k, v in opencc_table(name).items():
            if len(k) == 1:
                reverse.setdefault(k, v)
    simplified = unihan_variants("kSimplifiedVariant")
    z = unihan_variants("kZVariant")
    result = {}
    for ch in sorted(characters):
        if gb2312_hanzi(ch) or not is_hanzi(ch):
            continue
        candidates = []
        if ch in reverse:
            candidates.append((ts.get(reverse[ch], reverse[ch]), "opencc"))
        candidates.append((ts.get(ch, ch), "opencc"))
        candidates += [(ts.get(v, v), "unihan-simplified") for v in simplified.get(ch, [])]
        candidates += [(ts.get(v, v), "unihan-z") for v in z.get(ch, [])]
        for standard, source in candidates:
            if standard != ch and len(standard) == 1 and gbk_ok(standard):
                result[ch] = (standard, source)
                break
    return result


class VariantMap:
    """The variant map applied to texts and titles, with its counts."""

    def __init__(self, characters):
        self.map = {ch: (std, source, [], "") for ch, (std, source) in automatic_variants(characters).items()}
        self.kept = {}
        for variant, standard, phrases, reason in read_tsv(VARIANT_OVERRIDES):
            assert len(variant) == 1 and reason, variant
            assert phrases == "-" or all(variant in p for p in phrases.split(",")), variant
            if standard == "=":
                assert variant in self.map, ("nothing to keep", variant)
                self.kept[variant] = (self.map.pop(variant)[0], reason)
                continue
            exceptions = [] if phrases == "-" else phrases.split(",")
            self.map[variant] = (standard, "review", exceptions, reason)
        self.count = {ch: 0 for ch in self.map}

    def apply(self, text):
        out = []
        for i, ch in enumerate(text):
            if ch not in self.map:
                out.append(ch)
                continue
            standard, _, exceptions, _ = self.map[ch]
            if any(i >= p.index(ch) and text.startswith(p, i - p.index(ch)) for p in exceptions):
                out.append(ch)
                continue
            self.count[ch] += 1
            out.append(out[-1] if standard == "(repeat)" else standard)
        return "".join(out)

    def unused_reviews(self):
        return [ch for ch, (_, source, _, _) in self.map.items() if source == "review" and not self.count[ch]]

    def write(self):
        with open(VARIANTS_APPLIED, "w", encoding="utf-8") as f:
            f.write("# Written by gen_poetry.py: every variant replaced in data/poetry.db.\n"
                    "# Columns: variant, standard form, source (opencc, unihan-simplified, unihan-z or review),\n"
                    "# phrases in which the variant stays (\"-\" for none), replacements made.\n"
                    "# tests/data/poetry_integrity_test.cpp reads it. Do not edit; edit\n"
                    "# poetry_variant_overrides.tsv and rerun the script.\n")
            for ch in sorted(self.map):
                standard, source, exceptions, _ = self.map[ch]
                if self.count[ch]:
                    f.write(f"{ch}\t{standard}\t{source}\t{','.join(exceptions) or '-'}\t{self.count[ch]}\n")


def apply_corrections(poems):
    corrections = read_tsv(CORRECTIONS)
    used = [0] * len(corrections)
    for poem in poems:
        key = (poem["collection"], poem["title"], poem["author"])
        text = "".join(poem["lines"])
        for k, (collection, title, author, field, old, new, reason) in enumerate(corrections):
            # "title|start" also matches the start of the text, for a title an
            # author used more than once.
            title, _, start = title.partition("|")
            if (collection, title, author) != key or not text.startswith(start):
                continue
            assert reason
            used[k] += 1
            if field == "content":
                assert sum(line.count(old) for line in poem["lines"]) == 1, (key, old)
                poem["lines"] = [line.replace(old, new) for line in poem["lines"]]
            else:
                assert poem[field] == old, (key, field, old)
                poem[field] = new
    unused = [corrections[k] for k, n in enumerate(used) if n == 0]
    assert not unused, unused
    return len(corrections), sum(used)


def tidy_title(title):
    title = YUEFU.sub("", title)
    parts = title.split()
    result = parts[0]
    for part in parts[1:]:
        result += "·" + ("其" + part.lstrip("其") if NUMERAL.match(part) else part)
    return result


def hanzi_of(text):
    return "".join(ch for ch in text if is_hanzi(ch))


def first_line(row):
    """The characters of a text up to its first mark: two copies of one poem
    that differ further on still begin alike."""
    return hanzi_of(re.split(r"[，。？！；：、\n]", row["content"], maxsplit=1)[0])


def same_start(a, b):
    """One poet's two rows that begin alike. Not in 诗经 and 楚辞, where
    different songs share an opening (扬之水, 柏舟) and one author."""
    return (a["collection"] not in ("诗经", "楚辞") and a["author"] == b["author"] and
            first_line(a) == first_line(b))


def merge_duplicates(rows):
    """Merges rows of one collection whose texts agree but for a few
    characters; returns the kept rows and the merged groups."""
    keys = [hanzi_of(row["content"]) for row in rows]
    taken = [False] * len(rows)
    kept, groups, conflicts = [], [], []
    for i, row in enumerate(rows):
        if taken[i]:
            continue
        group = [i]
        for j in range(i + 1, len(rows)):
            if taken[j] or rows[j]["collection"] != row["collection"]:
                continue
            a, b = keys[i], keys[j]
            if a == b or same_start(rows[i], rows[j]) or (abs(len(a) - len(b)) <= 0.15 * max(len(a), len(b)) and
                          difflib.SequenceMatcher(None, a, b, autojunk=False).ratio() >= NEAR_DUPLICATE):
                group.append(j)
        for j in group:
            taken[j] = True
        best = min(group, key=lambda k: (rows[k]["prefixed"], k))
        if len({rows[k]["author"] for k in group}) > 1:
            conflicts.append([(rows[k]["title"], rows[k]["author"]) for k in group])
        kept.append(rows[best])
        if len(group) > 1:
            groups.append([rows[best]["title"]] + [rows[k]["title"] for k in group if k != best])
    # Copies of one poem under different authors need a reviewed correction.
    assert not conflicts, conflicts
    return kept, groups


def main():
    report = {"read": {}, "dropped": {}, "kept": {}}
    poems = []
    for source in (tang, song, shijing, chuci):
        for collection, dynasty, title, author, lines in source():
            report["read"][collection] = report["read"].get(collection, 0) + 1
            poems.append({"collection": collection, "dynasty": dynasty, "title": clean(title), "author": clean(author),
                          "lines": list(lines)})
    report["corrections"], report["corrected rows"] = apply_corrections(poems)

    characters = {ch for p in poems for ch in "".join(p["lines"]) + p["title"]}
    variants = VariantMap(characters)
    rows = []
    for poem in poems:
        collection, title, author = poem["collection"], poem["title"], poem["author"]
        raw = "\n".join(poem["lines"])
        prefixed = bool(YUEFU.match(title))
        title, author = tidy_title(variants.apply(clean(title))), clean(author)
        lines = [variants.apply(clean(line)) for line in poem["lines"]]
        content = "\n".join(line for line in lines if line)
        if DESCRIBED.search(raw) or not content:
            reason = "undescribable character"
        elif not all(gbk_ok(text) for text in (content, title, author, collection, poem["dynasty"])):
            reason = "not GBK: " + "".join(sorted({ch for ch in content + title + author if not gbk_ok(ch)}))
        else:
            rows.append({"content": content, "collection": collection, "dynasty": poem["dynasty"], "title": title,
                         "author": author, "prefixed": prefixed, "source": [poem["title"]] + poem["lines"]})
            continue
        report["dropped"].setdefault(collection, []).append(title + " (" + reason + ")")
    report["rows before merging"] = len(rows)
    rows, groups = merge_duplicates(rows)
    # Count the replacements again over the rows kept.
    variants.count = dict.fromkeys(variants.count, 0)
    for row in rows:
        for text in row["source"]:
            variants.apply(clean(text))
    # A reviewed entry that replaces nothing is stale.
    assert not variants.unused_reviews(), variants.unused_reviews()
    for row in rows:
        report["kept"][row["collection"]] = report["kept"].get(row["collection"], 0) + 1
    report["variant characters replaced"] = sum(variants.count.values())
    report["distinct variants replaced"] = sum(1 for n in variants.count.values() if n)
    report["variants kept by review"] = {ch: std for ch, (std, _) in variants.kept.items()}
    report["duplicate groups"] = len(groups)
    report["rows merged away"] = sum(len(g) - 1 for g in groups)
    report["merged"] = [" = ".join(g) for g in groups]

    # No author field is cut short or a placeholder.
    for row in rows:
        assert len(row["author"]) >= 2 and row["author"] not in ("不详", "无名氏", "明皇帝"), row["author"]
        assert " " not in row["title"] and not YUEFU.match(row["title"]), row["title"]

    # The program converts with the system's iconv; make sure it agrees.
    fields = ("content", "collection", "dynasty", "title", "author")
    everything = "\n".join("\n".join(row[f] for f in fields) for row in rows)
    subprocess.run(["iconv", "-f", "UTF-8", "-t", "GBK", "-o", "/dev/null"], input=everything.encode("utf-8"),
                   check=True)
    assert len(rows) >= 900, len(rows)

    OUTPUT.unlink(missing_ok=True)
    db = sqlite3.connect(OUTPUT)
    db.execute("CREATE TABLE poetry (id INTEGER PRIMARY KEY, content TEXT NOT NULL, collection TEXT NOT NULL,"
               " dynasty TEXT NOT NULL, title TEXT NOT NULL, author TEXT NOT NULL)")
    db.executemany("INSERT INTO poetry (content, collection, dynasty, title, author) VALUES (?, ?, ?, ?, ?)",
                   [tuple(row[f] for f in fields) for row in rows])
    db.commit()
    db.execute("VACUUM")
    db.close()
    variants.write()

    report["rows"] = len(rows)
    report["bytes"] = OUTPUT.stat().st_size
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    print()


if __name__ == "__main__":
    main()
