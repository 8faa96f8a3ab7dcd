#!/usr/bin/env python3
"""Builds the shipped name lists from the reviewed tables in this folder.

    data/男.dat, data/女.dat     given-name characters by sex, one per line
    data/1600nan.dat, 1600nv.dat given names (no surname) by sex, one per line
    data/tj.dat                  recommended full names, one per line

Every file is GBK text with CR LF line ends. Run from anywhere:

    python3 tools/names/gen_names.py            # writes the files, prints a JSON report
    python3 tools/names/gen_names.py --check    # only checks the tables, writes nothing

Tables (all UTF-8, '#' starts a comment line):
  inventory.tsv   character, sex use (boy / girl / both), meaning
  blacklist.txt   characters never offered, by group
  famous.txt      famous, infamous and fictional people ("surname given" or a bare given
                  name; a third field "full" bars only the full name)
  boys.txt, girls.txt   the curated given names, one per line
  word_names.txt  given names that are also dictionary words but are in use as names
  excluded.txt    names of the curated lists taken out on review, with the reason
  surnames.tsv    the 100 most common surnames with their population share

Dictionaries: Debian python3-jieba (dict.txt, word, count and tag) and
Debian friso-dict (the lex-*.lex word lists).

The script is deterministic: the same tables give byte-identical files.
"""

import json
import random
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
DATA = ROOT / "data"
JIEBA_DICT = Path("/usr/lib/python3/dist-packages/jieba/dict.txt")
FRISO_DIR = Path("/usr/share/friso/dict/UTF-8")

GIVEN_COUNT = 1600
RECOMMENDED_COUNT = 3000
SEED_BOYS, SEED_GIRLS, SEED_RECOMMENDED = 1600, 1601, 3000
# jieba count from which a word is common: a recommended name may not begin
# with one (周一 "Monday", 高一 "first year of senior school", 万一 "in case").
COMMON_WORD = 100
# Highest jieba count of a word that word_names.txt may keep as a given name.
WORD_NAME_COUNT = 3


def table_lines(name):
    """The non-comment, non-empty lines of a table in this folder."""
    for line in (HERE / name).read_text(encoding="utf-8").splitlines():
        if line.strip() and not line.startswith("#"):
            yield line


def is_gb2312_hanzi(ch):
    try:
        code = ch.encode("gb2312")
    except UnicodeEncodeError:
        return False
    return len(code) == 2 and 0xB0 <= code[0] <= 0xF7


def gbk_key(text):
    return text.encode("gbk")


def load_blacklist():
    chars = "".join(line.split("\t")[0] for line in table_lines("blacklist.txt"))
    assert len(set(chars)) == len(chars), "blacklist.txt holds a character twice"
    return set(chars)


def load_inventory(blacklist):
    sex_of = {}
    for line in table_lines("inventory.tsv"):
        ch, sex, note = line.split("\t")
        assert len(ch) == 1 and is_gb2312_hanzi(ch), f"inventory: {ch!r} is not a GB2312 hanzi"
        assert sex in ("boy", "girl", "both"), f"inventory: {ch} has sex use {sex!r}"
        assert note.strip(), f"inventory: {ch} has no meaning note"
        assert ch not in sex_of, f"inventory: {ch} is listed twice"
        assert ch not in blacklist, f"inventory: {ch} is blacklisted"
        sex_of[ch] = sex
    return sex_of


def load_famous():
    """(full names, barred given names) of famous.txt."""
    full, given = set(), set()
    for line in table_lines("famous.txt"):
        fields = line.split("\t")
        name, full_only = fields[0], fields[2:] == ["full"]
        if " " in name:
            surname, part = name.split(" ")
            full.add(surname + part)
            if not full_only:
                given.add(part)
        else:
            given.add(name)
    return full, given


def load_word_names():
    return {line.split("\t")[0] for line in table_lines("word_names.txt")}


def load_excluded():
    return {line.split("\t")[0] for line in table_lines("excluded.txt")}


def load_surnames():
    rows = [line.split("\t") for line in table_lines("surnames.tsv")]
    assert len(rows) == 100 and len({s for s, _ in rows}) == 100, "surnames.tsv: 100 distinct surnames"
    return [s for s, _ in rows], [float(w) for _, w in rows]


def jieba_entries():
    for line in JIEBA_DICT.read_text(encoding="utf-8").splitlines():
        word, freq, tag = line.split()
        yield word, int(freq), tag


def friso_words():
    words = set()
    for lex in sorted(FRISO_DIR.glob("lex-*.lex")):
        for line in lex.read_text(encoding="utf-8", errors="replace").splitlines():
            line = line.strip()
            if line and not line.startswith("#"):
                words.add(line.split("/")[0])
    return words


def write_lines(path, lines):
    """GBK text, every line ended by CR LF."""
    path.write_bytes(b"".join(line.encode("gbk") + b"\r\n" for line in lines))


def filter_given(source, sex, sex_of, blacklist, famous_given, words, word_names, excluded, report):
    """The names of a curated list that pass every rule, in list order, and
    the dropped ones by reason."""
    allowed = {"boy": ("boy", "both"), "girl": ("girl", "both")}[sex]
    kept, seen = [], set()
    dropped = {}

    def drop(reason, name):
        dropped.setdefault(reason, []).append(name)

    for line in table_lines(source):
        name = line.split("\t")[0].strip()
        if not 1 <= len(name) <= 2:
            drop("not one or two characters", name)
        elif any(ch in blacklist for ch in name):
            drop("blacklisted character", name)
        elif any(ch not in sex_of for ch in name):
            drop("character not in the inventory", name)
        elif any(sex_of[ch] not in allowed for ch in name):
            drop("character of the other sex", name)
        elif len(name) == 2 and name[0] == name[1]:
            drop("doubled character", name)
        elif name in famous_given:
            drop("famous given name", name)
        elif len(name) == 2 and name in words and name not in word_names:
            drop("dictionary word", name)
        elif name in excluded:
            drop("excluded on review", name)
        elif name in seen:
            drop("repeated", name)
        else:
            seen.add(name)
            kept.append(name)
    report[source] = {"read": len(list(table_lines(source))), "kept": len(kept),
                      "dropped": {reason: " ".join(names) for reason, names in dropped.items()}}
    return kept


def choose(names, count, seed):
    """`count` names of the list, drawn with a fixed seed, in a seeded order."""
    assert len(names) >= count, f"only {len(names)} names for {count}"
    rng = random.Random(seed)
    chosen = rng.sample(names, count)
    rng.shuffle(chosen)
    return chosen


def recommended(boys, girls, famous_full, person_names, common_words, surnames, weights, report):
    """Full names: a surname drawn by population share and a two-character
    given name of either list. No line is a known person or a word, and none
    begins with a famous two-character name, a pun (吴德 reads as 无德) or a
    common word (周一 "Monday", 万一 "in case")."""
    given = sorted({name for name in boys + girls if len(name) == 2}, key=gbk_key)
    rng = random.Random(SEED_RECOMMENDED)
    lines, seen = [], set()
    rejected = {"known person": 0, "begins with a name or pun": 0, "begins with a common word": 0,
                "surname in the given name": 0, "repeated": 0}
    while len(lines) < RECOMMENDED_COUNT:
        surname = rng.choices(surnames, weights)[0]
        name = surname + rng.choice(given)
        if name in famous_full or name in person_names:
            rejected["known person"] += 1
        elif name[:2] in famous_full:
            rejected["begins with a name or pun"] += 1
        elif name[:2] in common_words:
            rejected["begins with a common word"] += 1
        elif surname in name[1:]:
            rejected["surname in the given name"] += 1
        elif name in seen:
            rejected["repeated"] += 1
        else:
            seen.add(name)
            lines.append(name)
    report["tj.dat rejected draws"] = rejected
    return lines


def main():
    report = {}
    blacklist = load_blacklist()
    sex_of = load_inventory(blacklist)
    famous_full, famous_given = load_famous()
    word_names = load_word_names()
    excluded = load_excluded()
    surnames, weights = load_surnames()
    jieba = list(jieba_entries())
    words = {word for word, _, tag in jieba if not tag.startswith("nr")}
    friso = friso_words()
    person_names = {word for word, _, tag in jieba if tag.startswith("nr")} | friso | words

    male = sorted((ch for ch, sex in sex_of.items() if sex in ("boy", "both")), key=gbk_key)
    female = sorted((ch for ch, sex in sex_of.items() if sex in ("girl", "both")), key=gbk_key)
    report["inventory"] = {"characters": len(sex_of), "男.dat": len(male), "女.dat": len(female),
                           "both": sum(1 for sex in sex_of.values() if sex == "both")}
    # A name may stand in word_names.txt only when the dictionary counts the
    # word rarely: then the entry is most likely the name itself.
    word_count = {word: freq for word, freq, tag in jieba if not tag.startswith("nr")}
    for name in word_names:
        assert name in words, f"word_names.txt: {name} is not a dictionary word"
        assert word_count[name] <= WORD_NAME_COUNT, f"word_names.txt: {name} is a common word"

    boys = filter_given("boys.txt", "boy", sex_of, blacklist, famous_given, words, word_names, excluded, report)
    girls = filter_given("girls.txt", "girl", sex_of, blacklist, famous_given, words, word_names, excluded,
                         report)
    both = set(boys) & set(girls)
    assert not both, "in both lists: " + " ".join(sorted(both, key=gbk_key))
    report["boys available"], report["girls available"] = len(boys), len(girls)
    if "--check" in sys.argv:
        json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
        print()
        return

    boys = choose(boys, GIVEN_COUNT, SEED_BOYS)
    girls = choose(girls, GIVEN_COUNT, SEED_GIRLS)
    common_words = {word for word, freq, tag in jieba if freq >= COMMON_WORD and not tag.startswith("nr")}
    tj = recommended(boys, girls, famous_full, person_names, common_words, surnames, weights, report)
    for path, lines in (("男.dat", male), ("女.dat", female), ("1600nan.dat", boys),
                        ("1600nv.dat", girls), ("tj.dat", tj)):
        write_lines(DATA / path, lines)
    report["written"] = {"男.dat": len(male), "女.dat": len(female), "1600nan.dat": len(boys),
                         "1600nv.dat": len(girls), "tj.dat": len(tj)}
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    print()


if __name__ == "__main__":
    main()
