#!/usr/bin/env python3
"""Build data/sancai.dat: the reading of every 三才 combination (the elements
of the heaven, person and earth grids), 125 lines.

Each line: the three element characters (heaven, person, earth), a tab, the
verdict (大吉 吉 半吉 凶 大凶), a tab, one sentence of explanation. GBK, CR LF.

The verdict follows from the two relations that touch the person grid, each
judged from the person's side:
    the other grid generates the person      +2
    the same element                         +1
    the person generates the other grid       0
    the person overcomes the other grid      -1
    the other grid overcomes the person      -2
The sum of the heaven-person and earth-person marks gives the verdict:
    3..4 大吉, 2 吉, 0..1 半吉, -1..-2 凶, -3..-4 大凶.
REVIEWED changes the verdict of single combinations after the hand review.

Run from the repository root:  python3 tools/chars/gen_sancai.py
"""
import os

OUT = os.path.join("data", "sancai.dat")
ELEMENTS = "木火土金水"  # generating order: each generates the next
VERDICTS = ["大凶", "凶", "半吉", "吉", "大吉"]

UPPER = {  # heaven (h) against person (p)
    2: "天格{h}生人格{p}，上有扶持，易得长辈提携",
    1: "天格人格同为{p}，上下同气，处事顺当",
    0: "人格{p}生天格{h}，付出多于所得，尚属平稳",
    -1: "人格{p}克天格{h}，与长上易生摩擦",
    -2: "天格{h}克人格{p}，上有压制，做事多受阻",
}
LOWER = {  # earth (e) against person (p)
    2: "地格{e}生人格{p}，根基稳固，下有助力。",
    1: "人格地格同为{p}，家室和睦，基础安稳。",
    0: "人格{p}生地格{e}，操劳顾家，基础尚可。",
    -1: "人格{p}克地格{e}，对下劳心，基础欠稳。",
    -2: "地格{e}克人格{p}，根基不稳，易生变动。",
}

# Verdicts changed on review: combination -> (verdict, reason).
REVIEWED = {
    # The whole chain generates from heaven down to earth; the rule rates the
    # person's giving to the earth as neutral, but a smooth flow through all
    # three grids is the best-liked shape in the handbooks.
    "木火土": ("大吉", "a chain that generates throughout"),
    "火土金": ("大吉", "a chain that generates throughout"),
    "土金水": ("大吉", "a chain that generates throughout"),
    "金水木": ("大吉", "a chain that generates throughout"),
    "水木火": ("大吉", "a chain that generates throughout"),
}


def generates(a, b):
    return (ELEMENTS.index(a) + 1) % 5 == ELEMENTS.index(b)


def overcomes(a, b):
    return (ELEMENTS.index(a) + 2) % 5 == ELEMENTS.index(b)


def mark(other, person):
    if other == person:
        return 1
    if generates(other, person):
        return 2
    if generates(person, other):
        return 0
    if overcomes(person, other):
        return -1
    assert overcomes(other, person)
    return -2


def verdict_of(total):
    if total >= 3:
        return "大吉"
    if total == 2:
        return "吉"
    if total >= 0:
        return "半吉"
    if total >= -2:
        return "凶"
    return "大凶"


def main():
    lines = []
    counts = {v: 0 for v in VERDICTS}
    for h in "金木水火土":
        for p in "金木水火土":
            for e in "金木水火土":
                up, low = mark(h, p), mark(e, p)
                verdict = verdict_of(up + low)
                key = h + p + e
                if key in REVIEWED:
                    assert REVIEWED[key][0] != verdict, key
                    verdict = REVIEWED[key][0]
                text = UPPER[up].format(h=h, p=p) + "；" + LOWER[low].format(e=e, p=p)
                assert "吉" not in text and "凶" not in text
                counts[verdict] += 1
                lines.append("%s\t%s\t%s" % (key, verdict, text))
    assert len(lines) == 125 and len(set(l[:3] for l in lines)) == 125
    data = "".join(l + "\r\n" for l in lines).encode("gbk")
    with open(OUT, "wb") as f:
        f.write(data)
    print("%s: %d lines, %d bytes; %s" % (OUT, len(lines), len(data),
                                          ", ".join("%s %d" % (v, counts[v]) for v in reversed(VERDICTS))))


if __name__ == "__main__":
    main()
