#!/usr/bin/env python3
"""Builds the compact source of the classical library, data/library/library.tar.xz.

The library holds the curated poems of data/poetry.db (same ids, same
texts) and, after them, the classics of the npm package chinese-poetry:
诗经 and 楚辞 (already curated), 论语, 大学, 中庸, 孟子, 全唐诗, 全宋词, the
五代 ci (花间集, 南唐二主词), 元曲, 纳兰性德, 曹操 and the 蒙学 texts. The
build turns the source into library.db (src/sources/build_library_main.cpp);
this script needs the network-free tools of gen_poetry.py. Run from the
repository root after gen_poetry.py:

    npm ci --prefix tools/names
    python3 tools/names/gen_library.py

One text per line of the TSV (UTF-8): id, collection, dynasty, title,
author, content, the content's lines joined with the two characters "\\n".

Cleaning of the new texts, in this order:
1. Every new text through OpenCC t2s (全唐诗, 大学, 中庸, 孟子 and 蒙学 are
   traditional; the others mix in traditional forms); a character whose simplified form GBK lacks keeps its traditional
   form, as in poetry.db.
2. Marks as in poetry.db; editorial notes in brackets（一作……）go.
3. Variant characters to their standard form: the map of gen_poetry.py
   (OpenCC's variant tables, Unihan kSimplifiedVariant and kZVariant, the
   reviewed poetry_variant_overrides.tsv) and library_variant_overrides.tsv.
4. A text that keeps a character GBK lacks, or describes one in brackets,
   is dropped.
5. Copies: a text whose characters equal an earlier text's, or agree with
   one of the same first or last four characters to 85 % (difflib), is
   dropped; the sources are read in the order of the collections' rank, so
   the curated copy, then the better-known collection's, is kept.
"""

import collections
import difflib
import io
import json
import lzma
import re
import sqlite3
import sys
import tarfile
import unicodedata
from pathlib import Path

import gen_poetry as g

SOURCE = g.SOURCE
CURATED = g.OUTPUT
OUTPUT = g.ROOT / "data" / "library" / "library.tar.xz"
LIBRARY_OVERRIDES = g.HERE / "library_variant_overrides.tsv"
VARIANTS_LEFT = g.HERE / "library_variants_left.tsv"

# Editorial notes in the sources: （一作……）, (一作……), 【……】, and the
# role marks of 元曲 (［外］, ［合前］).
NOTE = re.compile(r"（[^（）]*）|\([^()]*\)|【[^【】]*】|〔[^〔〕]*〕|［[^［］]*］|（按：[^）]*$|〖\d*〗")
# Footnotes of the source: a marker after a character (猶1不得) and the note
# after the text ("1. 猶 : 或作「由」").
FOOTNOTE = re.compile(r"\d+\.\s.*$|(?<=[\u3400-\u9fff])\d+")
# A character the source describes ({临/手}) or could not write (kana,
# bopomofo, Greek or Cyrillic letters, box drawing and other signs standing
# in for it).
UNWRITTEN = re.compile(r"\{[^{}]*\}|[\u3040-\u30ff\u3100-\u312f□●\u0370-\u03ff\u0400-\u04ff\u2500-\u257f\ufe30-\ufe4f\uff21-\uff5a]")
# ASCII marks in texts, as the other texts write them.
ASCII_MARKS = str.maketrans({",": "，", ":": "：", ";": "；", "!": "！", "(": "（", ")": "）", '"': None})
DYNASTY_PREFIX = re.compile(r"^[（(]([^）)]+)[）)]\s*")


def number_of(path):
    return int(re.search(r"(\d+)\.json$", path.name).group(1))


def files(pattern):
    """The numbered files of a source (ci.song.2019y.json, a mix of forms, is not one)."""
    return sorted((p for p in SOURCE.glob(pattern) if re.search(r"\.\d+\.json$", p.name)), key=number_of)


def load(relative):
    return g.load(relative)


# Each reader yields (collection, dynasty, title, author, lines, traditional).

def lunyu():
    for chapter in load("lunyu/lunyu.json"):
        yield "论语", "春秋", chapter["chapter"].removesuffix("篇"), "孔子弟子", chapter["paragraphs"], False


def sishu():
    for name, author, dynasty in (("daxue", "曾参", "春秋"), ("zhongyong", "子思", "战国")):
        book = load(f"sishuwujing/{name}.json")
        yield ("大学" if name == "daxue" else "中庸"), dynasty, book["chapter"], author, book["paragraphs"], True
    for chapter in load("sishuwujing/mengzi.json"):
        yield "孟子", "战国", chapter["chapter"], "孟轲", chapter["paragraphs"], True


def tang():
    for path in files("quantangshi/poet.tang.*.json"):
        for poem in json.loads(path.read_text(encoding="utf-8")):
            yield "全唐诗", "唐", poem["title"], poem["author"], poem["paragraphs"], True


def song():
    for path in files("songci/ci.song.*.json"):
        for poem in json.loads(path.read_text(encoding="utf-8")):
            yield "全宋词", "宋", poem["rhythmic"], poem["author"], poem["paragraphs"], False


def wudai():
    for path in sorted(SOURCE.glob("wudaishici/huajianji/huajianji-*-juan.json")):
        for poem in json.loads(path.read_text(encoding="utf-8")):
            yield "五代词", "五代", poem["title"], poem["author"], poem["paragraphs"], False
    for poem in load("wudaishici/nantang/poetrys.json"):
        yield "五代词", "五代", poem["title"], poem["author"], poem["paragraphs"], False


def yuanqu():
    for poem in load("yuanqu/yuanqu.json"):
        yield "元曲", "元", poem["title"].replace("/", "·"), poem["author"], poem["paragraphs"], False


def nalan():
    for poem in load("nalanxingde/纳兰性德诗集.json"):
        yield "纳兰性德", "清", poem["title"], "纳兰性德", poem["para"], False


def caocao():
    for poem in load("caocaoshiji/caocao.json"):
        yield "曹操", "汉", poem["title"], "曹操", poem["paragraphs"], False


def chapters(book, title, author, dynasty):
    """A 蒙学 book: one text per chapter (or one text when it has none)."""
    data = load(f"mengxue/{book}.json")
    if "paragraphs" in data:
        yield "蒙学", dynasty, title, author, data["paragraphs"], True
        return
    for part in data["content"]:
        for chapter in part.get("content", [part]):
            yield "蒙学", dynasty, title + "·" + chapter["chapter"], author, chapter["paragraphs"], True


def anthology(book, source_dynasty):
    """千家诗 and 古文观止: one text per piece, under the piece's own author."""
    for part in load(f"mengxue/{book}.json")["content"]:
        for piece in part["content"]:
            author = piece.get("author") or "佚名"
            dynasty = source_dynasty
            match = DYNASTY_PREFIX.match(author)
            if match:
                dynasty, author = match.group(1), author[match.end():]
            elif "：" in author:
                dynasty, author = author.split("：", 1)
            dynasty = dynasty.strip()
            if dynasty.endswith("代") and dynasty != "五代":
                dynasty = dynasty[:-1]  # 宋代 -> 宋, as the other collections write it
            # A piece in parts (其一, 其二) holds them as objects.
            for part_piece in ([piece] if all(isinstance(p, str) for p in piece["paragraphs"]) else
                               [dict(p, chapter=piece["chapter"] + " " + p.get("subchapter", "")) for p in
                                piece["paragraphs"]]):
                yield ("蒙学", dynasty, part_piece["chapter"], author.strip() or "佚名", part_piece["paragraphs"],
                       True)


def mengxue():
    yield from chapters("sanzijing-new", "三字经", "王应麟", "宋")
    yield from chapters("baijiaxing", "百家姓", "佚名", "宋")
    yield from chapters("qianziwen", "千字文", "周兴嗣", "南北朝")
    yield from chapters("dizigui", "弟子规", "李毓秀", "清")
    yield from chapters("zengguangxianwen", "增广贤文", "佚名", "明")
    yield from chapters("zhuzijiaxun", "朱子家训", "朱柏庐", "清")
    yield from chapters("youxueqionglin", "幼学琼林", "程登吉", "明")
    yield from chapters("shenglvqimeng", "声律启蒙", "车万育", "清")
    yield from anthology("qianjiashi", "唐")
    yield from anthology("guwenguanzhi", "先秦")


# In the order of the collections' rank: a copy found later is dropped.
READERS = (lunyu, sishu, tang, song, wudai, yuanqu, nalan, caocao, mengxue)


def curated_rows():
    db = sqlite3.connect(CURATED)
    rows = db.execute("SELECT id, collection, dynasty, title, author, content FROM poetry ORDER BY id").fetchall()
    db.close()
    return [dict(zip(("id", "collection", "dynasty", "title", "author", "content"), row)) for row in rows]


def simplify(texts):
    """OpenCC t2s, one text per element; a form GBK lacks keeps its original."""
    out = g.to_simplified([t.replace("\n", " ") for t in texts])
    return [g.keep_gbk_forms(o, s) if len(o) == len(s) else s for o, s in zip(texts, out)]


def drop_notes(lines):
    """Paragraphs of editorial notes: 全唐诗's notes with 〖〗 references, and
    a note opened with （ that runs on to a later paragraph."""
    kept, in_note = [], False
    for line in lines:
        if in_note:
            in_note = "）" not in line
            continue
        if "〖" in line or (line.lstrip().startswith("（") and "）" not in line):
            in_note = line.lstrip().startswith("（") and "）" not in line
            continue
        kept.append(line)
    return kept


def read_new_texts(report):
    raw = []
    for reader in READERS:
        for collection, dynasty, title, author, lines, traditional in reader():
            lines = drop_notes([line for line in lines if line and line.strip()])
            raw.append([collection, dynasty, title, author, lines, traditional])
            report["read"][collection] += 1
    # One OpenCC run over every field.
    fields = [text for item in raw for text in [item[1], item[2], item[3]] + item[4]]
    simple = iter(simplify(fields))
    for item in raw:
        item[1], item[2], item[3] = next(simple), next(simple), next(simple)
        item[4] = [next(simple) for _ in item[4]]
    return raw


def hanzi_key(text):
    return "".join(ch for ch in text if g.is_hanzi(ch) or ch > "\uffff")


class Copies:
    """Finds exact and near copies among the texts kept so far. Copies of one
    poem begin or end alike (however their sources break the lines): texts
    are compared when their first or their last four characters agree."""

    SPAN = 4

    def __init__(self):
        self.exact = set()
        self.by_start = collections.defaultdict(list)
        self.by_end = collections.defaultdict(list)

    def is_copy(self, content):
        key = hanzi_key(content)
        if key in self.exact:
            return True
        for bucket in (self.by_start.get(key[:self.SPAN], ()), self.by_end.get(key[-self.SPAN:], ())):
            for other in bucket:
                if abs(len(other) - len(key)) <= 0.15 * max(len(key), len(other)) and \
                        difflib.SequenceMatcher(None, key, other, autojunk=False).ratio() >= g.NEAR_DUPLICATE:
                    return True
        return False

    def add(self, content):
        key = hanzi_key(content)
        self.exact.add(key)
        if len(key) >= self.SPAN:
            self.by_start[key[:self.SPAN]].append(key)
            self.by_end[key[-self.SPAN:]].append(key)


def main():
    report = {"read": collections.Counter(), "dropped": collections.Counter(), "copies": collections.Counter(),
              "kept": collections.Counter()}
    curated = curated_rows()
    raw = read_new_texts(report)

    characters = {ch for item in raw for text in [item[2]] + item[4] for ch in text}
    characters |= {ch for row in curated for ch in row["content"] + row["title"]}
    variants = g.VariantMap(characters)
    reviewed_kept = set(variants.kept)  # the forms poetry_variant_overrides.tsv keeps
    seen = set()
    for variant, standard, phrases, reason in g.read_tsv(LIBRARY_OVERRIDES):
        assert len(variant) == 1 and len(standard) == 1 and reason, variant
        assert variant not in seen, ("reviewed twice", variant)
        seen.add(variant)
        if standard == "=":
            reviewed_kept.add(variant)
            variants.map.pop(variant, None)
            continue
        exceptions = [] if phrases == "-" else phrases.split(",")
        variants.map[variant] = (standard, "review", exceptions, reason)
        variants.count[variant] = 0

    copies = Copies()
    rows = []
    for row in curated:
        copies.add(row["content"])
        rows.append(row)
        report["kept"][row["collection"]] += 1
    next_id = max(row["id"] for row in curated) + 1
    for collection, dynasty, title, author, lines, _ in raw:
        source_text = "".join(lines)
        title = unicodedata.normalize("NFC", " ".join(title.split()))
        title = g.tidy_title(variants.apply(g.clean(NOTE.sub("", title)))) if title.strip() else collection
        author = "、".join(g.clean(author).split()) or "佚名"
        if author in ("无名氏", "不详"):
            author = "佚名"
        # NFC writes compatibility ideographs (U+F900...) as the characters they stand for.
        lines = [variants.apply(g.clean(FOOTNOTE.sub("", NOTE.sub("", unicodedata.normalize("NFC", line).translate(
            ASCII_MARKS))))).replace("\t", "") for line in lines]
        content = "\n".join(line for line in lines if line)
        if g.DESCRIBED.search(source_text) or UNWRITTEN.search(content + title) or not hanzi_key(content):
            report["dropped"][collection + ": missing or described character"] += 1
            continue
        if not all(g.gbk_ok(text) for text in (content, title, author, dynasty)):
            report["dropped"][collection + ": not GBK"] += 1
            continue
        assert "\\" not in content and "\t" not in content + title + author, (title, author)
        if copies.is_copy(content):
            report["copies"][collection] += 1
            continue
        copies.add(content)
        rows.append({"id": next_id, "collection": collection, "dynasty": dynasty, "title": title, "author": author,
                     "content": content})
        next_id += 1
        report["kept"][collection] += 1

    # What the program reads goes through the system's iconv; make sure it agrees.
    fields = ("collection", "dynasty", "title", "author", "content")
    everything = "\n".join("\n".join(row[f] for f in fields) for row in rows)
    g.subprocess.run(["iconv", "-f", "UTF-8", "-t", "GBK", "-o", "/dev/null"], input=everything.encode("utf-8"),
                     check=True)

    # Characters outside GB2312 that Unihan links to a GB2312 form and that
    # no review kept: the variants left, with the rows that hold them, for
    # the next review and the test.
    left = collections.Counter()
    rows_with = collections.Counter()
    linked = {ch: form for ch, form in unihan_links().items() if ch not in reviewed_kept}
    for row in rows:
        found = {ch for ch in row["content"] + row["title"] if ch in linked}
        left.update(found)
        if found:
            rows_with[row["collection"]] += 1
    with open(VARIANTS_LEFT, "w", encoding="utf-8") as f:
        f.write("# Written by gen_library.py: characters outside GB2312 that Unihan links to a\n"
                "# GB2312 form (kSemanticVariant, kZVariant ...), left in the library and not\n"
                "# yet reviewed (library_variant_overrides.tsv). Columns: character, the linked\n"
                "# form, rows holding it.\n")
        for ch, n in sorted(left.items(), key=lambda item: (-item[1], item[0])):
            f.write(f"{ch}\t{linked[ch]}\t{n}\n")

    OUTPUT.parent.mkdir(parents=True, exist_ok=True)
    text = "".join("\t".join([str(row["id"])] + [row[f].replace("\n", "\\n") for f in fields]) + "\n"
                   for row in rows)
    write_archive(text.encode("utf-8"))

    report["rows"] = len(rows)
    report["rows holding a linked variant"] = dict(rows_with)
    report["share of rows holding a linked variant"] = round(sum(rows_with.values()) / len(rows), 4)
    report["variant characters replaced"] = sum(variants.count.values())
    report["bytes"] = OUTPUT.stat().st_size
    report["characters"] = sum(len(hanzi_key(row["content"])) for row in rows)
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    print()


def write_archive(tsv):
    """library.tsv in an xz-compressed tar, which CMake unpacks by itself;
    fixed times and owners keep the archive byte-identical from run to run."""
    member = tarfile.TarInfo("library.tsv")
    member.size, member.mtime, member.mode = len(tsv), 0, 0o644
    member.uname = member.gname = ""
    buffer = io.BytesIO()
    with tarfile.open(fileobj=buffer, mode="w", format=tarfile.USTAR_FORMAT) as tar:
        tar.addfile(member, io.BytesIO(tsv))
    OUTPUT.write_bytes(lzma.compress(buffer.getvalue(), preset=9 | lzma.PRESET_EXTREME))


def unihan_links():
    """Character outside GB2312 -> a GB2312 form Unihan links it to."""
    ts = g.opencc_table("TSCharacters")
    links = {}
    for field in ("kSimplifiedVariant", "kZVariant", "kSemanticVariant", "kSpecializedSemanticVariant"):
        for ch, targets in g.unihan_variants(field).items():
            if ch in links or g.gb2312_hanzi(ch) or not g.is_hanzi(ch):
                continue
            for target in targets:
                standard = ts.get(target, target)
                if g.gb2312_hanzi(standard):
                    links[ch] = standard
                    break
    return links


if __name__ == "__main__":
    main()
