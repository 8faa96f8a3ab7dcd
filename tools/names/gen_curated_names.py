#!/usr/bin/env python3
"""Build data/curated_names.dat from the team's curated list of given names.

Reads tools/names/curated_names.tsv (UTF-8), checks every name against the
character tables, the famous-name lists and the commonest-name lists, looks
up the classical line behind each name in data/library/library.tar.xz, and
writes data/curated_names.dat (GBK, CR LF, one name a line):

    given<TAB>sex<TAB>meaning<TAB>collection<TAB>title<TAB>line<TAB>shortlisted

The source fields are empty unless the two characters of the name stand
next to each other, in order, inside one line of the library (a line is a
run of hanzi between punctuation marks).  A hinted text is preferred; when
the hint is wrong, the first such line of the core collections is taken.
`shortlisted` (0 to 2) is how likely the team's next blind reader is to
shortlist the name, from its readings (curated_readings.tsv,
bank_readings.tsv); a name a reader found bad, or odd without another
wanting it, is dropped.

Prints a JSON report.  Names that break a rule are dropped and listed with
the reason; a breach of a whole-list rule (share of level-2 characters, share
of the commonest names) stops the script before anything is written.

    python3 tools/names/gen_curated_names.py            # check and write
    python3 tools/names/gen_curated_names.py --check    # check only
    python3 tools/names/gen_curated_names.py --tsv F    # check another list
"""

import collections
import io
import json
import lzma
import os
import re
import sys
import tarfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, '..', '..'))
DATA = os.path.join(ROOT, 'data')
TSV = os.path.join(HERE, 'curated_names.tsv')
# The name bank beyond the team's first list: the same four fields, written
# by the team in parts (one file a part), read after curated_names.tsv.
BANK = os.path.join(HERE, 'bank')
OUT = os.path.join(DATA, 'curated_names.dat')

# Fallback order when the hinted text does not hold the name.
CORE = ['诗经', '楚辞', '论语', '大学', '中庸', '孟子', '唐诗三百首', '宋词三百首']

# Characters parents stumble on, though the table files them at level 1 or 2.
RARE = set('韫纭昀潆瑷璎缇葳琰溥骞锴樾')

# Characters that read as a girl's in any boy's name, and the reverse.
GIRLS_ONLY = set('婷娜妍娟娇媛婉嫣姗妮娅婕姝娴嫦倩黛蕾莉莎琪薇')
BOYS_ONLY = set('刚强雄豪彪虎猛勇武霸军鹏峰龙')

MAX_FIRST = 50          # names of the first list sharing one first character
MAX_FIRST_BANK = 110    # the same over the whole bank
MAX_LEVEL2 = 0.15       # share of the first list's names holding a level-2 character
MAX_LEVEL2_BANK = 0.35  # the same over the whole bank
MAX_COMMON = 0.05       # share of names in the 1,600 commonest lists
MEANING_LEN = (8, 30)
CARRIES_SEX = 5         # uses in the sex's 1,600 names that make a character that sex's

HAN = re.compile(r'[\u3400-\u4dbf\u4e00-\u9fff\U00020000-\U0002ffff]+')


def is_han(c):
    return bool(HAN.fullmatch(c))


READINGS = os.path.join(HERE, 'curated_readings.tsv')
# The blind reading of the bank's parts, one reading a name.
BANK_READINGS = os.path.join(HERE, 'bank_readings.tsv')


def load_readings():
    """The team's blind readings of the bank's names: given -> grades.

    curated_readings.tsv holds given<TAB>sex<TAB>grades, one grade (A
    shortlist, B plain, C odd, D bad) per reading, two readings or more.
    """
    readings = {}
    for path in (READINGS, BANK_READINGS):
        if not os.path.exists(path):
            continue
        with open(path, encoding='utf-8') as f:
            for ln in f:
                if ln.startswith('#') or not ln.strip():
                    continue
                fields = ln.rstrip('\n').split('\t')
                readings.setdefault(fields[0], []).extend(g for g in fields[2:] if g in ('A', 'B', 'C', 'D'))
    return readings


# The share of A among the bank's readings, and the weight of that share
# against a name's own readings: a name read n times with a A's is
# shortlisted by the next reader (a + 3 x 7.8 %) / (n + 3) of the time
# (each reading of a name read more than once, foretold by the others).
BANK_A_SHARE = 0.078
PRIOR_READINGS = 3
# That chance, for shortlisted 2 and 1: two A's of two or three readings,
# or nearly half of many, make 2; one A of up to three readings, or more
# than a fifth of many, 1.
SHORTLISTED_FROM = (0.35, 0.19)


def reading_verdict(readings, given):
    """(shortlisted 0..2, why the name is dropped or None).

    A name a reading found bad, or odd without another wanting it on a
    shortlist, is dropped; shortlisted grades the chance that the next
    reader shortlists it (SHORTLISTED_FROM).
    """
    grades = readings.get(given)
    if not grades:
        return 0, None
    if 'D' in grades:
        return 0, 'a reader found it bad'
    if 'C' in grades and grades.count('C') >= grades.count('A'):
        return 0, 'a reader found it odd'
    chance = (grades.count('A') + PRIOR_READINGS * BANK_A_SHARE) / (len(grades) + PRIOR_READINGS)
    return (2 if chance >= SHORTLISTED_FROM[0] else 1 if chance >= SHORTLISTED_FROM[1] else 0), None


def leans_other_way(info, sex):
    """True when the advice calls the character one of the other sex's:
    nine in ten of the names holding it are of that sex (at least ten), and
    it is none of this sex's name characters."""
    _, _, boys, girls, flags = info
    own, other = (boys, girls) if sex == 'm' else (girls, boys)
    return own + other >= 5 and other * 10 >= (own + other) * 9 and other >= 10 \
        and ('M' if sex == 'm' else 'F') not in flags


def read_gbk_lines(path):
    with open(path, 'rb') as f:
        text = f.read().decode('gbk')
    return [ln.rstrip('\r') for ln in text.split('\n')]


def load_chars():
    """advice_chars.dat: char -> (level, usual reading, boys uses, girls uses, flags)."""
    table = {}
    for ln in read_gbk_lines(os.path.join(DATA, 'advice_chars.dat')):
        if not ln:
            continue
        f = ln.split('\t')
        reading = re.split('[,;]', f[2])[0]
        table[f[0]] = (int(f[1]), reading, int(f[3]), int(f[4]), f[5])
    return table


def load_name_chars():
    chars = set()
    for fn in ('男.dat', '女.dat'):
        for ln in read_gbk_lines(os.path.join(DATA, fn)):
            chars.update(ln.strip())
    return chars


def load_common():
    common = {}
    for fn, sex in (('1600nan.dat', 'm'), ('1600nv.dat', 'f')):
        for ln in read_gbk_lines(os.path.join(DATA, fn)):
            ln = ln.strip()
            if ln:
                common.setdefault(ln, set()).add(sex)
    return common


def load_famous():
    """Given names barred as someone's name: name -> who."""
    barred = {}
    with open(os.path.join(HERE, 'famous.txt'), encoding='utf-8') as f:
        for ln in f:
            ln = ln.rstrip('\n')
            if not ln or ln.startswith('#'):
                continue
            name, _, who = ln.partition('\t')
            who, _, scope = who.partition('\t')
            if ' ' in name:
                sur, given = name.split(' ', 1)
                if scope.strip() == 'full':
                    continue        # only the full name is barred
                barred.setdefault(given, '%s%s (%s)' % (sur, given, who))
            else:
                barred.setdefault(name, '%s (%s)' % (name, who))
    compound = set()
    for ln in read_gbk_lines(os.path.join(DATA, 'advice_surnames.dat')):
        if ln and len(ln.split('\t')[0]) == 2:
            compound.add(ln.split('\t')[0])
    for ln in read_gbk_lines(os.path.join(DATA, 'advice_famous.dat')):
        if not ln:
            continue
        f = ln.split('\t')
        name, note = f[0], f[2] if len(f) > 2 else ''
        barred.setdefault(name, '%s (%s)' % (name, note))
        if len(name) == 4 or (len(name) == 3 and name[:2] in compound):
            given = name[2:]
        elif len(name) == 3:
            given = name[1:]
        else:
            continue
        if len(given) == 2:
            barred.setdefault(given, '%s (%s)' % (name, note))
    return barred


def load_unsuitable():
    serious, mild = {}, {}
    for ln in read_gbk_lines(os.path.join(DATA, 'advice_unsuitable.dat')):
        if not ln:
            continue
        c, sev, why = ln.split('\t')[:3]
        (serious if sev == 'serious' else mild)[c] = why
    with open(os.path.join(HERE, 'blacklist.txt'), encoding='utf-8') as f:
        for ln in f:
            if ln.startswith('#') or not ln.strip():
                continue
            chars, _, why = ln.rstrip('\n').partition('\t')
            for c in chars:
                serious.setdefault(c, why)
    return serious, mild


def load_unfortunate():
    """Toned and toneless pinyin of the two-character unfortunate words."""
    toned, bare = {}, {}
    for ln in read_gbk_lines(os.path.join(DATA, 'advice_unfortunate.dat')):
        if not ln:
            continue
        word, py = ln.split('\t')[:2]
        if len(word) != 2:
            continue
        toned.setdefault(py, word)
        bare.setdefault(re.sub(r'\d', '', py), word)
    return toned, bare


def parse_hint(hint):
    """'楚辞《离骚》：路漫漫其修远兮' -> (collection, title, [runs of hanzi])."""
    hint = hint.strip()
    coll = title = ''
    m = re.match(r'^([^《：:]*)《([^》]*)》\s*[：:]?\s*(.*)$', hint)
    if m:
        coll, title, line = m.group(1).strip(), m.group(2).strip(), m.group(3)
    else:
        coll, _, line = hint.partition('：') if '：' in hint else hint.partition(':')
        if not line:
            coll, line = '', hint
    return coll, title, HAN.findall(line)


def read_library():
    path = os.path.join(DATA, 'library', 'library.tar.xz')
    with tarfile.open(path, 'r:xz') as tar:
        member = tar.getmember('library.tsv')
        raw = tar.extractfile(member).read().decode('utf-8')
    for row in raw.split('\n'):
        if not row:
            continue
        f = row.split('\t')
        if len(f) < 6:
            continue
        content = f[5].replace('\\n', '\n')
        yield f[1], f[3], HAN.findall(content)


def find_sources(pairs):
    """pair -> list of (collection, title, line) in library order."""
    hits = collections.defaultdict(list)
    for coll, title, lines in read_library():
        for line in lines:
            for i in range(len(line) - 1):
                p = line[i:i + 2]
                if p in pairs:
                    hits[p].append((coll, title, line))
    return hits


def pick_source(given, hint, hits):
    cands = hits.get(given, [])
    if not cands:
        return None, 'none'
    if hint:
        coll, title, runs = parse_hint(hint)
        runs = [r for r in runs if given in r] or runs

        def line_fits(line):
            return any(r == line or (given in r and (r in line or line in r)) for r in runs)

        def rank(c):
            return (c[1] != title if title else 0,
                    c[0] != coll if coll else 0,
                    CORE.index(c[0]) if c[0] in CORE else len(CORE))
        by_line = [c for c in cands if line_fits(c[2])]
        if by_line:
            return min(by_line, key=rank), 'hint'
        if title:
            by_title = [c for c in cands if c[1] == title and (not coll or c[0] == coll)]
            if by_title:
                return by_title[0], 'hinted text'
    for coll in CORE:
        for c in cands:
            if c[0] == coll:
                return c, 'core' if not hint else 'core (hint wrong)'
    return None, 'hint not found' if hint else 'none'


def list_lines(paths):
    """(where, line, whether of the first list) of every name line of the lists."""
    for path in paths:
        first = path == TSV
        with open(path, encoding='utf-8') as f:
            for lineno, ln in enumerate(f, 1):
                ln = ln.rstrip('\n')
                if ln.strip() and not ln.startswith('#'):
                    yield '%s:%d' % (os.path.basename(path), lineno), ln, first


def toneless(reading):
    return reading.rstrip('012345')


def reason_kind(why):
    """The rule behind a rejection, without the name's own characters."""
    return re.sub(r'[\u4e00-\u9fff]+', 'X', why.split(':')[0])


def main():
    args = sys.argv[1:]
    check_only = '--check' in args
    # --tsv FILE checks another list of the same shape (a reading in
    # progress); it implies --check.
    tsvs = [TSV] + sorted(os.path.join(BANK, f) for f in os.listdir(BANK) if f.endswith('.tsv'))
    if '--tsv' in args:
        tsvs = [args[args.index('--tsv') + 1]]
        check_only = True
    chars = load_chars()
    name_chars = load_name_chars()
    common = load_common()
    famous = load_famous()
    serious, mild = load_unsuitable()
    unf_toned, unf_bare = load_unfortunate()
    readings = load_readings()

    def carried(given, c, field):
        # The other character is one the sex's names use often (明 in 明薇):
        # the pair reads as that sex's, and the blind reading judges it.
        return any(o != c and o in chars and chars[o][field] >= CARRIES_SEX for o in given)

    rows, rejected, warnings = [], [], []
    seen = {}
    first_count = collections.Counter()
    for where, ln, in_first in list_lines(tsvs):
        limit = MAX_FIRST if in_first else MAX_FIRST_BANK
        fields = ln.split('\t')
        while len(fields) < 4:
            fields.append('')
        given, sex, meaning, hint = (x.strip() for x in fields[:4])

        def reject(why):
            rejected.append({'line': where, 'name': given, 'why': why})

        if not 1 <= len(given) <= 2 or not all(is_han(c) for c in given):
            reject('not one or two hanzi'); continue
        if sex not in ('m', 'f', 'u'):
            reject('sex must be m, f or u'); continue
        if given in seen:
            reject('duplicate of ' + seen[given]); continue
        if not MEANING_LEN[0] <= len(meaning) <= MEANING_LEN[1]:
            reject('meaning has %d characters' % len(meaning)); continue
        try:
            (given + meaning).encode('gbk')
        except UnicodeEncodeError:
            reject('not GBK'); continue
        why = None
        for c in given:
            info = chars.get(c)
            if info is None or info[0] not in (1, 2):
                why = '%s is not level 1 or 2' % c
            elif c in RARE:
                why = '%s is a character parents stumble on' % c
            elif c in serious:
                why = '%s unsuitable: %s' % (c, serious[c])
            elif sex == 'm' and c in GIRLS_ONLY:
                why = "%s reads as a girl's character" % c
            elif sex == 'f' and c in BOYS_ONLY:
                why = "%s reads as a boy's character" % c
            elif sex == 'm' and info[2] == 0 and info[3] >= 5 and not carried(given, c, 2):
                why = "%s is used only in girls' names" % c
            elif sex == 'f' and info[3] == 0 and info[2] >= 5 and not carried(given, c, 3):
                why = "%s is used only in boys' names" % c
            if why:
                break
        if why:
            reject(why); continue
        # A name for both sexes that the advice would call one sex's is
        # that sex's; a boy's or girl's name that it would call the
        # other's is dropped.
        fits = [x for x in ('m', 'f') if sex in (x, 'u')
                and not any(leans_other_way(chars[c], x) for c in given)]
        if not fits:
            reject("reads as the other sex's"); continue
        if sex == 'u' and len(fits) == 1:
            warnings.append('%s: for %s only' % (given, fits[0]))
            sex = fits[0]
        if len(given) == 2 and given[0] == given[1]:
            reject('doubled character'); continue
        if given in famous:
            reject('famous name: ' + famous[given]); continue
        if not in_first and given in common:
            reject('among the commonest names'); continue
        py = ' '.join(chars[c][1] for c in given)
        if py in unf_toned:
            reject('sounds as %s' % unf_toned[py]); continue
        if re.sub(r'\d', '', py) in unf_bare:
            warnings.append('%s: tones apart from %s' % (given, unf_bare[re.sub(r'\d', '', py)]))
        for c in given:
            if c in mild:
                warnings.append('%s: %s %s' % (given, c, mild[c]))
            if 'b' in chars[c][4] or 'g' in chars[c][4]:
                warnings.append('%s: %s is of the dated register' % (given, c))
        shortlisted, odd = reading_verdict(readings, given)
        if odd:
            reject(odd); continue
        if readings and given not in readings:
            warnings.append('%s: not read yet' % given)
        if len(given) == 2 and toneless(chars[given[0]][1]) == toneless(chars[given[1]][1]):
            reject('its two characters sound alike'); continue
        if first_count[given[0]] >= limit:
            reject('more than %d names begin with %s' % (limit, given[0])); continue
        first_count[given[0]] += 1
        seen[given] = where
        rows.append([given, sex, meaning, hint, shortlisted, in_first])

    hits = find_sources({r[0] for r in rows if len(r[0]) == 2})
    how = collections.Counter()
    out = []
    for given, sex, meaning, hint, shortlisted, _ in rows:
        src, kind = pick_source(given, hint, hits) if len(given) == 2 else (None, 'single')
        how[kind] += 1
        if hint and kind not in ('hint', 'hinted text'):
            warnings.append('%s: hint not verified (%s)' % (given, kind))
        out.append((given, sex, meaning) + (src if src else ('', '', '')) + (str(shortlisted),))

    n = len(out)
    level2 = sum(1 for r in out if any(chars[c][0] == 2 for c in r[0]))
    first_list = {r[0] for r in rows if r[5]}
    level2_first = sum(1 for r in out if r[0] in first_list and any(chars[c][0] == 2 for c in r[0]))
    in_common = [r[0] for r in out if r[0] in common]
    outside_lists = sum(1 for r in out if any(c not in name_chars for c in r[0]))
    second_count = collections.Counter(r[0][-1] for r in out if len(r[0]) == 2)
    report = {
        'names': n,
        'by_sex': dict(collections.Counter(r[1] for r in out)),
        'single_character': sum(1 for r in out if len(r[0]) == 1),
        'with_source': n - how['none'] - how['single'] - how['hint not found'],
        'source_by_way': dict(how),
        'level2_names': level2,
        'level2_share': round(level2 / n, 4) if n else 0,
        'in_1600_lists': len(in_common),
        'in_1600_share': round(len(in_common) / n, 4) if n else 0,
        'with_char_outside_name_lists': outside_lists,
        'shortlisted_by_readers': dict(collections.Counter(r[6] for r in out)),
        'first_chars': len(first_count),
        'top_first_chars': first_count.most_common(8),
        'top_second_chars': second_count.most_common(8),
        'rejected_by_reason': dict(collections.Counter(reason_kind(r['why']) for r in rejected).most_common()),
        'rejected': rejected,
        'warnings': warnings,
    }
    errors = []
    if first_list and level2_first / len(first_list) > MAX_LEVEL2:
        errors.append('level-2 share of the first list %.1f %% above %d %%'
                      % (100 * level2_first / len(first_list), 100 * MAX_LEVEL2))
    if n and level2 / n > MAX_LEVEL2_BANK:
        errors.append('level-2 share %.1f %% above %d %%' % (100 * level2 / n, 100 * MAX_LEVEL2_BANK))
    if n and len(in_common) / n > MAX_COMMON:
        errors.append('1600-list share %.1f %% above %d %%' % (100 * len(in_common) / n, 100 * MAX_COMMON))
    report['errors'] = errors
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    sys.stdout.write('\n')
    if errors:
        return 1
    if not check_only:
        buf = io.StringIO()
        for r in out:
            buf.write('\t'.join(r) + '\r\n')
        with open(OUT, 'wb') as f:
            f.write(buf.getvalue().encode('gbk'))
    return 0


if __name__ == '__main__':
    sys.exit(main())
