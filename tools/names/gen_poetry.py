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
"""

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


def main():
    rows = []
    report = {"read": {}, "dropped": {}, "kept": {}}
    for source in (tang, song, shijing, chuci):
        for collection, dynasty, title, author, lines in source():
            report["read"][collection] = report["read"].get(collection, 0) + 1
            raw = "\n".join(lines)
            title, author = clean(title), clean(author)
            content = "\n".join(clean(line) for line in lines if clean(line))
            if DESCRIBED.search(raw) or not content:
                reason = "undescribable character"
            elif not all(gbk_ok(text) for text in (content, title, author, collection, dynasty)):
                reason = "not GBK: " + "".join(sorted({ch for ch in content + title + author if not gbk_ok(ch)}))
            else:
                rows.append((content, collection, dynasty, title, author))
                report["kept"][collection] = report["kept"].get(collection, 0) + 1
                continue
            report["dropped"].setdefault(collection, []).append(title + " (" + reason + ")")

    # The program converts with the system's iconv; make sure it agrees.
    everything = "\n".join("\n".join(row) for row in rows)
    subprocess.run(["iconv", "-f", "UTF-8", "-t", "GBK", "-o", "/dev/null"], input=everything.encode("utf-8"),
                   check=True)
    assert len(rows) >= 1000, len(rows)

    OUTPUT.unlink(missing_ok=True)
    db = sqlite3.connect(OUTPUT)
    db.execute("CREATE TABLE poetry (id INTEGER PRIMARY KEY, content TEXT NOT NULL, collection TEXT NOT NULL,"
               " dynasty TEXT NOT NULL, title TEXT NOT NULL, author TEXT NOT NULL)")
    db.executemany("INSERT INTO poetry (content, collection, dynasty, title, author) VALUES (?, ?, ?, ?, ?)", rows)
    db.commit()
    db.execute("VACUUM")
    db.close()

    report["rows"] = len(rows)
    report["bytes"] = OUTPUT.stat().st_size
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    print()


if __name__ == "__main__":
    main()
