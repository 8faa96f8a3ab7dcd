#!/usr/bin/env python3
"""Builds the tables the advice on a name is made from.

    data/advice_chars.dat        one line per character: level, readings, use in
                                 boys' and girls' names, flags, English gloss, common
                                 words, places in two-character names, Chinese meaning
    data/advice_word_meanings.dat  two-character words of name characters, with a
                                 short Chinese explanation (a given name that is one)
    data/advice_unfortunate.dat  words no parent wants to hear in a name, with pinyin
    data/advice_famous.dat       famous and notorious people and characters, tagged
    data/advice_unsuitable.dat   characters unsuitable in a given name, with the reason
    data/advice_surnames.dat     compound surnames and the readings of surnames
    data/advice_words.dat        everyday two-character words (a given name that is one)
    data/advice_surname_words.dat  phrases a surname makes with the given name (吴 + 慧心 = 无慧心)
    data/advice_shapes.dat       radicals shared by few name characters (韵 韶: 音), for
                                 a name one character off a celebrity's

Every file is GBK text, tab-separated, CR LF line ends, sorted by GBK bytes
of its first field, each key once. Run from anywhere:

    npm ci --prefix tools/advice          # pinned pinyin-pro and cnchar-data
    python3 tools/advice/gen_advice.py    # writes the files, prints a JSON report

Sources: Debian unicode-data (Unihan kTGH, kDefinition, kXHC1983), Debian
python3-jieba (dict.txt), npm pinyin-pro (readings, by node readings.js),
npm cnchar-data (Chinese explanations of words), the shipped name lists in data/ and the reviewed tables in this folder and
in tools/names/. The script is deterministic.
"""

import bz2
import json
import re
import subprocess
import sys
import unicodedata
from collections import Counter, defaultdict
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
DATA = ROOT / "data"
NAMES = ROOT / "tools" / "names"
UNIHAN = Path("/usr/share/unicode")
JIEBA_DICT = Path("/usr/lib/python3/dist-packages/jieba/dict.txt")

# A jieba entry counted at least this often is an everyday word.
EVERYDAY_WORD = 300
# A word shown as a common word of a character is counted at least this often.
COMMON_WORD = 20
# jieba tags of proper names (people, places, organisations, other names).
PROPER_TAGS = {"ns", "nt", "nz", "nrt", "nrfg"}
# At most this many common words are kept per character.
WORDS_PER_CHAR = 5
GLOSS_MAX = 60
# A word's explanation is cut to this many characters, at a sentence mark.
WORD_MEANING_MAX = 40
CNCHAR_EXPLANATIONS = HERE / "node_modules" / "cnchar-data" / "explanation"
# A reading of kHanyuPinlu counts when the corpus has it this often and at
# least this share (percent) of the character's occurrences.
PINLU_MIN = 5
PINLU_SHARE = 3


def table_lines(path):
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        if line.strip() and not line.startswith("#"):
            yield line


def gbk(text):
    return text.encode("gbk")


def is_gbk_hanzi(ch):
    try:
        code = ch.encode("gbk")
    except UnicodeEncodeError:
        return False
    return len(code) == 2 and unicodedata.category(ch) == "Lo"


def unihan(file_name, fields):
    values = defaultdict(dict)
    with bz2.open(UNIHAN / file_name, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            code, field, value = line.rstrip("\n").split("\t")
            if field in fields:
                values[chr(int(code[2:], 16))][field] = value
    return values


TONE_MARKS = {"āēīōūǖ": 1, "áéíóúǘ": 2, "ǎěǐǒǔǚ": 3, "àèìòùǜ": 4}


def numbered(marked):
    """A Unihan reading with tone marks (xìng) as pinyin-pro writes it (xing4)."""
    tone = 0
    plain = ""
    for ch in marked:
        for marks, t in TONE_MARKS.items():
            if ch in marks:
                tone = t
                ch = "aeiouv"[marks.index(ch)]
        plain += "v" if ch == "ü" else ch
    return plain + str(tone)


def readings_from_node(request):
    result = subprocess.run(["node", str(HERE / "readings.js")], input=json.dumps(request, ensure_ascii=False),
                            capture_output=True, text=True, check=True)
    return json.loads(result.stdout)


def write_table(name, rows):
    rows = sorted(rows, key=lambda r: gbk(r[0]))
    keys = [r[0] for r in rows]
    assert len(keys) == len(set(keys)), f"{name}: a key twice"
    text = "".join("\t".join(str(x) for x in r) + "\r\n" for r in rows)
    (DATA / name).write_bytes(gbk(text))
    return len(rows)


def name_list(file_name):
    return [l.strip() for l in (DATA / file_name).read_bytes().decode("gbk").splitlines() if l.strip()]


def given_name_chars(compound):
    """The characters of every given name the program offers: the name lists
    (1600nan.dat, 1600nv.dat; tj.dat past its surname) and the name bank
    (curated_names.tsv and its parts in bank/, classical_names.dat)."""
    chars = set()
    for name in name_list("1600nan.dat") + name_list("1600nv.dat"):
        chars.update(name)
    for name in name_list("tj.dat"):
        chars.update(name[2:] if name[:2] in compound else name[1:])
    for table in [NAMES / "curated_names.tsv"] + sorted((NAMES / "bank").glob("*.tsv")):
        for line in table_lines(table):
            chars.update(line.split("\t")[0])
    for line in name_list("classical_names.dat"):
        chars.update(line.split("\t")[0])
    return {c for c in chars if is_gbk_hanzi(c)}


def groups(path):
    """'## head' lines and the blank-separated items under them."""
    head = None
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        if line.startswith("## "):
            head = line[3:].strip()
            continue
        if line.startswith("#"):
            continue
        for item in line.split():
            yield head, item


# Chinese reasons for the groups of tools/names/blacklist.txt, in its order,
# with the severity each gets here.
BLACKLIST_GROUPS = [
    ("serious", "字义与死亡、疾病、灾祸相关"),
    ("serious", "字义为贫贱、悲苦"),
    ("serious", "字义愚笨或污秽"),
    ("serious", "字义为枯萎、坟墓"),
    ("mild", "字义在名字里不合适"),
    ("serious", "旧时指妾、婢或为不雅称呼"),
    ("serious", "字义涉及情色或轻浮"),
    ("mild", "旧式求子、求财的用字"),
    ("mild", "小名用字，不宜作正式名字"),
    ("mild", "数字或干支用字，显得随意"),
    ("mild", "虚词或空泛的字"),
    ("mild", "时代色彩过浓的字"),
    ("serious", "动物字，常用于骂人"),
]

# tools/names/famous.txt: tag and Chinese note per section heading (by the
# start of the heading); None drops the section (puns and homophones, which
# the advice finds by sound instead).
FAMOUS_TXT_SECTIONS = [
    ("Leaders", "historical", "政界人物"),
    ("Traitors", "notorious", "奸臣、叛徒或恶人"),
    ("History and culture", "historical", "历史人物"),
    ("Writers", "historical", "文人、学者或科学家"),
    ("Entertainers", "celebrity", "演艺界人物"),
    ("Athletes", "celebrity", "运动员"),
    ("Business", "celebrity", "企业家"),
    ("Fictional", "fictional", "小说或影视人物"),
    ("Puns and jokes", None, None),
    ("Present-day people", "celebrity", "当代知名人物"),
    ("Homophones", None, None),
    ("More present-day", "celebrity", "知名人物"),
    ("Puns on a surname", None, None),
    ("A surname and first", "historical", "领导人姓名的开头"),
    ("Found on the third", "historical", "历史或当代知名人物"),
    ("Found on the second", "celebrity", "知名人物"),
    ("Second review: full names", None, None),
    ("Second review: beginnings", "historical", "历史或当代知名人物"),
]
# A radical shared by at most this many characters of the name lists (男.dat
# and 女.dat) makes two characters look alike (韵 韶: 音); the common ones
# (艹 氵 王 日 木 女 心 …) do not.
SHAPE_RADICAL_MAX = 8

# Surname readings pinyin-pro gets wrong.
SURNAME_READINGS = {"单于": "chan2 yu2"}

NOTORIOUS_NOTE = re.compile(r"jailed|disgraced|traitor|murder|villain|arrested|scandal|poison", re.I)


def famous_txt_entries():
    section = None
    for line in (NAMES / "famous.txt").read_text(encoding="utf-8").splitlines():
        if line.startswith("#"):
            text = line[1:].strip()
            for start, tag, note in FAMOUS_TXT_SECTIONS:
                if text.startswith(start):
                    section = (tag, note)
            continue
        if not line.strip() or section is None or section[0] is None:
            continue
        fields = line.split("\t")
        if " " not in fields[0]:
            continue  # a bare given name
        name = fields[0].replace(" ", "")
        tag, note = section
        if len(fields) > 1 and NOTORIOUS_NOTE.search(fields[1]):
            tag, note = "notorious", "有劣迹或争议的人物"
        who = fields[1] if len(fields) > 1 else ""
        if "sounds like" in who or "slang" in who or "reads as" in who:
            continue  # a pun: found by its sound among the unfortunate words
        if note == "领导人姓名的开头":
            note = "与" + re.search(r"like (\S+)", who).group(1) + "开头相同"
        yield name, tag, note


# Sections of tools/names/famous.txt written as beginnings of names.
FAMOUS_TXT_STARTS = ("A surname and first", "Found on the third", "Second review: beginnings")


def famous_txt_starts():
    section = None
    for line in (NAMES / "famous.txt").read_text(encoding="utf-8").splitlines():
        if line.startswith("#"):
            section = line[1:].strip()
            continue
        fields = line.split("\t")
        if section and section.startswith(FAMOUS_TXT_STARTS) and " " in fields[0]:
            who = fields[1] if len(fields) > 1 else ""
            if "sounds like" not in who and "slang" not in who:
                yield fields[0].replace(" ", "")


def chinese_meanings():
    """The team's Chinese meanings of the name characters (meanings_zh.tsv)."""
    meanings = {}
    for line in table_lines(HERE / "meanings_zh.tsv"):
        ch, text = line.split("\t")
        assert ch not in meanings, f"meanings_zh: {ch} twice"
        assert 6 <= len(text) <= 20 and "\t" not in text, f"meanings_zh: {ch} {text}"
        gbk(text)
        meanings[ch] = text
    return meanings


# Small forms and stray marks of the dictionary's text, and what they become.
WORD_TEXT_FIXES = str.maketrans({"\ufe50": "，", "\ufe51": "、", "\ufe54": "；", "\ufe55": "：", ";": "；",
                                 "\uff0e": "·", "．": "·", "\u3000": "", " ": "", "(": "（", ")": "）"})
# A sentence that only points at another word (见"X"，亦作"X"，同"X"，也作X).
CROSS_REFERENCE = re.compile(r"^(见|亦作|也作|同“|参见|详见)")
SENSE_NUMBER = re.compile(r"^\s*(\d+\.|[①-⑳])")
SENTENCE_MARKS = "。；！？"
# Marks between a modern dictionary's usage examples.
EXAMPLE_MARKS = "｜丨ㄧ"


def chinese_quotes(text):
    """ASCII double quotes as “ and ”, in turn."""
    out, opened = [], False
    for c in text:
        if c == '"':
            c = "”" if opened else "“"
            opened = not opened
        out.append(c)
    return "".join(out)


def word_meaning(word, text):
    """A short Chinese explanation of a word from cnchar-data's text: the senses
    that are no cross reference, joined, cut at a sentence mark; None when
    nothing fit is left."""
    body = SENSE_NUMBER.sub("", text)
    if re.search(r"[A-Za-z]|\d\d\d|[\ue000-\uf8ff]", body) or any(
            unicodedata.category(c) in ("Sm", "So") and c not in EXAMPLE_MARKS for c in body):
        return None  # mangled text: Latin letters, private code points or stray symbols in a sense
    text = chinese_quotes(text.translate(WORD_TEXT_FIXES)).replace("～", word).replace("~", word)
    text = re.sub(r"〈[^〉]{1,2}〉", "", text)  # register tags: 〈方〉 〈书〉
    # The historical dictionary's senses are numbered 1. 2.; a modern
    # dictionary's glue their usage examples to the sense, with no mark where
    # the example starts: such a text is left out when it holds an example.
    if not re.match(r"\s*1\.", text) and (word in text[1:] or any(m in text for m in EXAMPLE_MARKS)):
        return None
    kept = []
    for sense in re.split(r"\n|(?=[①-⑳])", text):
        sense = SENSE_NUMBER.sub("", sense).strip()
        # The sentences of a sense, without those that only point elsewhere.
        parts = [p for p in re.split(r"(?<=[。；！？])", sense) if p.strip()]
        parts = [p for p in parts if not CROSS_REFERENCE.match(p) and len(p.strip("。；，")) >= 2]
        sense = "".join(parts).strip("，、 ")
        if not sense:
            continue
        if sense[-1] not in SENTENCE_MARKS:
            sense += "。"
        kept.append(sense[:-1] + "；" if sense[-1] == "。" else sense)
    joined = "".join(kept)
    if len(joined) > WORD_MEANING_MAX:
        # The last sentence mark within the length, outside a quotation.
        cut = -1
        for i, c in enumerate(joined[:WORD_MEANING_MAX]):
            if c in SENTENCE_MARKS and joined.count("“", 0, i) == joined.count("”", 0, i):
                cut = i
        joined = joined[:cut + 1] if cut >= 3 else ""
    if not joined:
        return None
    if joined.endswith("；"):
        joined = joined[:-1] + "。"
    try:
        gbk(joined)
    except UnicodeEncodeError:
        return None
    return joined


def word_meanings(name_chars):
    """The two-character words of cnchar-data whose characters are both name
    characters, with their short explanations."""
    rows = {}
    for ch in sorted(name_chars, key=gbk):
        path = CNCHAR_EXPLANATIONS / f"{ch}.json"
        if not path.exists():
            continue
        for word, text in json.loads(path.read_text(encoding="utf-8")).items():
            if len(word) != 2 or word[0] != ch or word[1] not in name_chars or word in rows:
                continue
            meaning = word_meaning(word, text)
            if meaning:
                rows[word] = meaning
    return rows



def unfortunate_severity(category):
    """A group of unfortunate_src.txt headed "mild: …" holds hints only."""
    if category.startswith("mild:"):
        return "mild", category[len("mild:"):].strip()
    return "serious", category


def surname_phrases():
    """The phrases of surname_words.txt: phrase -> (surnames, severity, polarity).

    A phrase is the surname's word and one listed word (无 + 慧心); a word
    written "~…" is a hint only, "+…" a phrase that reads well (无忧), "!…"
    one so bad that it is serious also heard a tone off (黄吟 and 荒淫). A
    phrase in two groups joins their surnames.
    """
    phrases = {}
    groups_ = {}  # (word, polarity) -> the surnames of its groups
    head = None
    for line in (HERE / "surname_words.txt").read_text(encoding="utf-8").splitlines():
        if line.startswith("## "):
            head = line[3:].split()
            assert len(head) == 3 and head[2] in ("lack", "mock"), f"surname_words: {line}"
            assert len(head[1]) == 1 and all(is_gbk_hanzi(c) for c in head[0] + head[1]), line
            known_ = groups_.setdefault((head[1], head[2]), "")
            groups_[(head[1], head[2])] += "".join(c for c in head[0] if c not in known_)
            continue
        if line.startswith("#") or not line.strip():
            continue
        surnames, word, polarity = head
        for item in line.split():
            severity = {"~": "mild", "+": "good", "!": "grave"}.get(item[0], "serious")
            item = item.lstrip("~+!")
            assert 1 <= len(item) <= 3 and all(is_gbk_hanzi(c) for c in item), f"surname_words: {item}"
            phrase = word + item
            if phrase in phrases:
                old_surnames, old_severity, _ = phrases[phrase]
                surnames_ = old_surnames + "".join(c for c in surnames if c not in old_surnames)
                assert "good" not in (severity, old_severity), f"surname_words: {phrase} good and bad"
                severity = next(v for v in ("grave", "serious", "mild") if v in (severity, old_severity))
                phrases[phrase] = (surnames_, severity, polarity)
            else:
                phrases[phrase] = (surnames, severity, polarity)
    # The class of negating surnames: every good phrase of negated_goods.txt
    # after the word of a "lack" group whose word is a negation, unless the
    # group reads the phrase itself (+ or ~ there wins).
    negations, goods = negated_goods()
    for (word, polarity), surnames in groups_.items():
        if polarity != "lack" or word not in negations:
            continue
        for item in goods:
            phrase = word + item
            if phrase in phrases:
                old_surnames, old_severity, _ = phrases[phrase]
                phrases[phrase] = (old_surnames + "".join(c for c in surnames if c not in old_surnames),
                                   old_severity, polarity)
            else:
                phrases[phrase] = (surnames, "serious", polarity)
    return phrases


def negated_goods():
    """The negations and the good phrases of negated_goods.txt."""
    negations, goods = "", []
    for line in table_lines(HERE / "negated_goods.txt"):
        if line.startswith("negations\t"):
            negations = line.split("\t")[1]
            continue
        for item in line.split():
            assert 1 <= len(item) <= 3 and all(is_gbk_hanzi(c) for c in item), f"negated_goods: {item}"
            assert item not in goods, f"negated_goods: {item} twice"
            goods.append(item)
    assert negations and all(is_gbk_hanzi(c) for c in negations)
    return negations, goods


def surname_word_rows(phrases, readings, known):
    """phrase, toned pinyin (neutral 5), surnames, severity (grave, serious, mild or good).

    The phrase is read by pinyin-pro as one word; 一 and 不 in their citation
    tones, as a name is read character by character. Every syllable must be
    a reading of its character.
    """
    rows = []
    for phrase, (surnames, severity, _) in phrases.items():
        syl = readings[phrase].split()
        assert len(syl) == len(phrase), f"surname_words: {phrase} {readings[phrase]}"
        syl = [known[c][0] if c in "一不" else s for c, s in zip(phrase, syl)]
        for c, s in zip(phrase, syl):
            alts = known.get(c, [])
            bare = [re.sub(r"[0-5]", "", a) for a in alts]
            assert s in alts or (s.endswith("0") and s[:-1] in bare), f"surname_words: {phrase} reads {s} for {c}"
        rows.append((phrase, " ".join(syl).replace("0", "5"), surnames, severity))
    return rows


def shape_rows(level, name_chars, famous):
    """字, radical: the characters of levels 1 and 2 and of the celebrities'
    names whose radical (Unihan kRSUnicode) at most SHAPE_RADICAL_MAX name
    characters share."""
    radical = {}
    with bz2.open(UNIHAN / "Unihan_IRGSources.txt.bz2", "rt", encoding="utf-8") as f:
        for line in f:
            if "\tkRSUnicode\t" in line:
                code, _, value = line.rstrip("\n").split("\t")
                radical[chr(int(code[2:], 16))] = int(value.split()[0].split(".")[0].rstrip("'"))
    per_radical = Counter(radical[c] for c in name_chars if c in radical)
    chars = {c for c, l in level.items() if l in (1, 2)}
    for name, (tag, _) in famous.items():
        if tag == "celebrity":
            chars.update(name)
    return [(c, radical[c]) for c in chars
            if c in radical and is_gbk_hanzi(c) and per_radical[radical[c]] <= SHAPE_RADICAL_MAX]


def main():
    report = {}
    compound = list(dict.fromkeys(table_lines(HERE / "compound_surnames.txt")))
    assert all(len(s) == 2 for s in compound)

    # --- characters -------------------------------------------------------
    other = unihan("Unihan_OtherMappings.txt.bz2", {"kTGH"})
    readings_u = unihan("Unihan_Readings.txt.bz2", {"kDefinition", "kXHC1983", "kMandarin", "kHanyuPinlu"})
    chars = set()
    for b1 in range(0xB0, 0xF8):
        for b2 in range(0xA1, 0xFF):
            try:
                ch = bytes([b1, b2]).decode("gb2312")
            except UnicodeDecodeError:
                continue
            chars.add(ch)
    level = {}
    for ch, f in other.items():
        if "kTGH" in f:
            n = int(f["kTGH"].split(":")[1])
            level[ch] = 1 if n <= 3500 else 2 if n <= 6500 else 3
            if is_gbk_hanzi(ch):
                chars.add(ch)
    # Every GBK character of a famous name gets a line too, so its sound is known.
    for _, name in groups(HERE / "famous_src.txt"):
        chars.update(c for c in name if is_gbk_hanzi(c))
    for name, _, _ in famous_txt_entries():
        chars.update(c for c in name if is_gbk_hanzi(c))
    chars = sorted(chars, key=gbk)

    boys_names, girls_names = name_list("1600nan.dat"), name_list("1600nv.dat")
    boy_chars, girl_chars = set(name_list("男.dat")), set(name_list("女.dat"))
    boys, girls = Counter(), Counter()
    # Uses by place in a two-character given name: first, last.
    boys_at, girls_at = (Counter(), Counter()), (Counter(), Counter())
    for names, uses, at in ((boys_names, boys, boys_at), (girls_names, girls, girls_at)):
        for n in names:
            uses.update(set(n))
            if len(n) == 2:
                at[0][n[0]] += 1
                at[1][n[1]] += 1

    lean = {}
    for line in table_lines(HERE / "sex_lean.txt"):
        sex, cs = line.split("\t")
        for ch in cs:
            assert ch not in lean or lean[ch] == sex, f"sex_lean: {ch} twice"
            lean[ch] = sex
    grammar = defaultdict(set)  # function and link characters of a verse line
    for line in table_lines(HERE / "line_grammar.txt"):
        kind, cs = line.split("\t")
        assert kind in ("function", "link") and all(is_gbk_hanzi(c) for c in cs), f"line_grammar: {line}"
        for ch in cs:
            grammar[ch].add(kind)
    dated = defaultdict(set)
    for line in table_lines(HERE / "dated.txt"):
        sex, cs = line.split("\t")
        for ch in cs:
            dated[ch].add(sex)
    meaning = {}
    for line in table_lines(NAMES / "inventory.tsv"):
        ch, _, note = line.split("\t")
        meaning[ch] = note
    meaning_zh = chinese_meanings()
    named = set(meaning) | boy_chars | girl_chars | given_name_chars(compound)
    lacking = sorted(named - set(meaning_zh), key=gbk)
    assert not lacking, "meanings_zh.tsv lacks " + "".join(lacking)
    report["name characters"] = len(named)

    # Unfortunate words (needed to keep them out of the common words).
    unfortunate_src = []
    for category, word in groups(HERE / "unfortunate_src.txt"):
        if word not in [w for _, w in unfortunate_src]:
            unfortunate_src.append((category, word))
    phrases = surname_phrases()
    for _, w in unfortunate_src:
        assert 2 <= len(w) <= 3 and all(is_gbk_hanzi(c) for c in w), f"unfortunate: {w}"

    surname_keys = [l.split("\t")[0] for l in table_lines(NAMES / "surnames.tsv")]
    extra_surnames = list("单曾解仇区查朴盖华任种覃尉乐缪冼纪宓秘翟祭谌阚燕费相长员繁莘隗")
    node = readings_from_node({
        "chars": chars,
        "words": [w for _, w in unfortunate_src] + list(phrases),
        "surnames": compound + surname_keys + [s for s in extra_surnames if s not in surname_keys],
    })

    def xhc(ch):
        f = readings_u.get(ch, {})
        if "kXHC1983" not in f:
            return None
        return {numbered(v.split(":")[1]) for v in f["kXHC1983"].split()}

    def pinlu(ch):
        """The readings of kHanyuPinlu (counted in a corpus) that are not rare."""
        f = readings_u.get(ch, {})
        if "kHanyuPinlu" not in f:
            return None
        counted = []
        for item in f["kHanyuPinlu"].split():
            reading, count = re.fullmatch(r"(.+)\((\d+)\)", item).groups()
            counted.append((numbered(reading), int(count)))
        total = sum(c for _, c in counted)
        return {r for r, c in counted if not r.endswith("0") and c >= PINLU_MIN and c * 100 >= total * PINLU_SHARE}

    readings = {}
    rare_readings = {}  # attested, but too rare to warn about
    for ch in chars:
        r = node["chars"][ch]
        default = r["default"]
        if not re.fullmatch(r"[a-z]+[0-5]", default):
            continue  # no reading (a radical component)
        # The other readings in use: counted in the corpus of kHanyuPinlu
        # when it has the character, else listed by kXHC1983.
        attested = pinlu(ch)
        if attested is None:
            attested = xhc(ch) or set()
        kept = [default] + [x for x in r["all"] if x != default and x in attested]
        readings[ch] = kept
        rare_readings[ch] = [x for x in r["all"] if x not in kept and x in (xhc(ch) or set())]

    # Common words per character from jieba, by count; no unfortunate word,
    # no person name, no word holding an unfortunate word.
    bad_words = {w for _, w in unfortunate_src}
    grim = set()  # characters of the serious unsuitable groups: no common word holds one
    for (severity, _), line in zip(BLACKLIST_GROUPS, table_lines(NAMES / "blacklist.txt")):
        if severity == "serious":
            grim.update(line.split("\t")[0])
    for line in table_lines(HERE / "unsuitable_src.txt"):
        if line.startswith("serious"):
            grim.update(line.split("\t")[1])
    famous_names = {n for _, n in groups(HERE / "famous_src.txt")} | {n for n, _, _ in famous_txt_entries()}
    words_of = defaultdict(list)
    everyday = {}
    with open(JIEBA_DICT, encoding="utf-8") as f:
        entries = [l.split() for l in f]
    entries = [(w, int(n), t) for w, n, t in entries]
    entries.sort(key=lambda e: (-e[1], gbk(e[0]) if all(is_gbk_hanzi(c) for c in e[0]) else b""))
    for w, n, t in entries:
        if t.startswith("nr") or t in PROPER_TAGS or not (2 <= len(w) <= 4) or w in famous_names:
            continue
        if n < COMMON_WORD or not all(is_gbk_hanzi(c) for c in w) or any(b in w for b in bad_words) or grim & set(w):
            continue
        if len(w) == 2 and n >= EVERYDAY_WORD:
            everyday[w] = n
        for ch in set(w):
            if len(words_of[ch]) < WORDS_PER_CHAR and w not in words_of[ch]:
                words_of[ch].append(w)

    def gloss(ch):
        if ch in meaning:
            return meaning[ch]
        d = readings_u.get(ch, {}).get("kDefinition", "")
        parts = [p.strip() for p in d.split(";") if p.strip()]
        text = ""
        for p in parts:
            candidate = p if not text else text + "; " + p
            if len(candidate) > GLOSS_MAX and text:
                break
            text = candidate
        text = text[:GLOSS_MAX]
        # The gloss must survive GBK: drop what GBK lacks (rare in kDefinition).
        return "".join(c for c in text if len(c.encode("gbk", "ignore")) == len(c.encode("gbk", "replace")))

    rows = []
    for ch in chars:
        if ch not in readings:
            continue
        flags = ""
        if ch in boy_chars:
            flags += "M"
        if ch in girl_chars:
            flags += "F"
        if ch not in boy_chars and ch not in girl_chars and ch in lean:
            flags += "m" if lean[ch] == "boy" else "f"
        if "boy" in dated[ch] or "both" in dated[ch]:
            flags += "b"
        if "girl" in dated[ch] or "both" in dated[ch]:
            flags += "g"
        if "function" in grammar[ch]:
            flags += "p"
        if "link" in grammar[ch]:
            flags += "k"
        g = gloss(ch).replace("\t", " ")
        reading_field = ",".join(readings[ch])
        if rare_readings[ch]:
            reading_field += ";" + ",".join(rare_readings[ch])
        rows.append((ch, level.get(ch, 0), reading_field, boys[ch], girls[ch], flags or "-", g or "-",
                     " ".join(words_of.get(ch, [])) or "-", f"{boys_at[0][ch]},{boys_at[1][ch]}",
                     f"{girls_at[0][ch]},{girls_at[1][ch]}", meaning_zh.get(ch, "-")))
    report["advice_chars.dat"] = write_table("advice_chars.dat", rows)
    report["with a Chinese meaning"] = sum(1 for r in rows if r[-1] != "-")
    report["levels"] = dict(Counter(r[1] for r in rows))
    report["with several readings"] = sum(1 for r in rows if "," in r[2].split(";")[0])
    known = {r[0]: r[2].replace(";", ",").split(",") for r in rows}

    # --- unfortunate words ------------------------------------------------
    def toneless(s):
        return re.sub(r"[0-5]", "", s)

    urows = []
    errors = []
    for category, w in unfortunate_src:
        py = node["words"][w]
        syl = py.split()
        assert len(syl) == len(w), f"unfortunate: {w} {py}"
        # 一 and 不 change their tone before another syllable; a name is read
        # character by character, so the word is compared in citation tones.
        syl = [known[c][0] if c in "一不" else s for c, s in zip(w, syl)]
        py = " ".join(syl)
        for c, s in zip(w, syl):
            alts = known.get(c, [])
            if not (s in alts or (s.endswith("0") and toneless(s) in map(toneless, alts))):
                errors.append(f"unfortunate: {w} reads {s} for {c}, not one of {alts}")
        severity, category = unfortunate_severity(category)
        urows.append((w, py.replace("0", "5"), category, severity))
    assert not errors, "\n".join(errors)
    report["unfortunate mild"] = sum(1 for r in urows if r[3] == "mild")
    report["advice_unfortunate.dat"] = write_table("advice_unfortunate.dat", urows)

    # --- famous people ----------------------------------------------------
    famous = {}
    rank = {"notorious": 0, "fictional": 1, "historical": 2, "celebrity": 3}
    sources = Counter()
    for head, name in groups(HERE / "famous_src.txt"):
        tag, note = head.split(" ", 1)
        assert tag in rank, head
        if name not in famous or rank[tag] < rank[famous[name][0]]:
            famous[name] = (tag, note)
        sources["famous_src.txt"] += 1
    for name, tag, note in famous_txt_entries():
        sources["tools/names/famous.txt"] += 1
        # The notes written here are the more precise ones; the name lists'
        # table only adds names, or makes a person notorious.
        if name not in famous or (tag == "notorious" and famous[name][0] != "notorious"):
            famous[name] = (tag, note)
    # "start": a name beginning with it in the same characters or sound reads
    # as theirs; "begin": only in the same characters (the beginnings of
    # tools/names/famous.txt, some of which are no person: 张艺 周星 毛泽).
    starts, begins = set(), set(famous_txt_starts())
    for line in table_lines(HERE / "starts.txt"):
        (begins if line.startswith("=") else starts).update(line.lstrip("= ").split())
    begins -= starts
    missing = sorted((starts | begins) - set(famous), key=gbk)
    assert not missing, "starts.txt: not in the famous list: " + " ".join(missing)
    frows = []
    for name, (tag, note) in famous.items():
        assert 2 <= len(name) <= 5 and all(is_gbk_hanzi(c) for c in name), f"famous: {name!r}"
        assert all(c in known for c in name), f"famous: {name} has a character without pinyin"
        frows.append((name, tag, note, "start" if name in starts else "begin" if name in begins else "-"))
    report["famous starts"] = len(starts)
    report["famous beginnings"] = len(begins)
    report["advice_famous.dat"] = write_table("advice_famous.dat", frows)
    report["famous by tag"] = dict(Counter(r[1] for r in frows))
    report["famous read from"] = dict(sources)

    # --- unsuitable characters ---------------------------------------------
    unsuitable = {}

    def add_unsuitable(ch, severity, reason):
        if ch in unsuitable and (unsuitable[ch][0] == "serious" or severity == "mild"):
            return
        unsuitable[ch] = (severity, reason)

    for (severity, reason), line in zip(BLACKLIST_GROUPS, table_lines(NAMES / "blacklist.txt")):
        for ch in line.split("\t")[0]:
            add_unsuitable(ch, severity, reason)
    for line in table_lines(HERE / "unsuitable_src.txt"):
        severity, cs, reason = line.split("\t")
        assert severity in ("serious", "mild")
        for ch in cs:
            add_unsuitable(ch, severity, reason)
    name_chars = boy_chars | girl_chars
    for ch in surname_keys:
        if ch not in name_chars:
            add_unsuitable(ch, "mild", "常见姓氏，用作名字像两个姓连在一起")
    clash = sorted(set(unsuitable) & name_chars, key=gbk)
    assert not clash, "unsuitable characters in the shipped name lists: " + "".join(clash)
    assert all(ch in known for ch in unsuitable)
    report["advice_unsuitable.dat"] = write_table("advice_unsuitable.dat",
                                                  [(c, s, r) for c, (s, r) in unsuitable.items()])

    # --- surnames -----------------------------------------------------------
    srows = []
    node["surnames"].update(SURNAME_READINGS)
    for s, py in node["surnames"].items():
        if len(s) == 2 or py != " ".join(readings[c][0] for c in s):
            srows.append((s, py))
    report["advice_surnames.dat"] = write_table("advice_surnames.dat", srows)
    report["compound surnames"] = len(compound)

    # --- everyday words -----------------------------------------------------
    word_names = {l.split("\t")[0] for l in table_lines(NAMES / "word_names.txt")}
    erows = [(w, n) for w, n in everyday.items() if w not in word_names and all(c in known for c in w)]
    report["advice_words.dat"] = write_table("advice_words.dat", erows)

    # --- meanings of two-character words -----------------------------------
    wrows = list(word_meanings(set(meaning)).items())
    assert all(len(m) <= WORD_MEANING_MAX and "\t" not in m for _, m in wrows)
    report["advice_word_meanings.dat"] = write_table("advice_word_meanings.dat", wrows)

    # --- surname words and shapes -------------------------------------------
    report["advice_surname_words.dat"] = write_table(
        "advice_surname_words.dat", surname_word_rows(phrases, node["words"], known))
    report["surname words by severity"] = dict(Counter(r[3] for r in surname_word_rows(phrases, node["words"], known)))
    shape_rows_ = shape_rows(level, boy_chars | girl_chars, famous)
    report["advice_shapes.dat"] = write_table("advice_shapes.dat", shape_rows_)

    report["bytes"] = sum((DATA / f).stat().st_size for f in report if f.endswith(".dat"))
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    print()


if __name__ == "__main__":
    main()
