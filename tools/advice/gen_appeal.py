#!/usr/bin/env python3
"""Builds data/advice_appeal.dat: how readily the team's blind readers put
a name holding each character on a shortlist.

    data/advice_appeal.dat    字 <TAB> readings <TAB> shortlisting readings
                              <TAB> appeal (per mille of the average)

Every blind reading of a name of the bank (tools/names/curated_readings.tsv,
tools/names/bank_readings.tsv: one grade, A to D, a reader and a name) counts
for each character of the name. The appeal of a character is the share of
its names' readings that are A, drawn towards the average share by ten
readings of the average (so that a character read a few times stays near
it), as per mille of the average: 1000 is an ordinary character, 2000 one
whose names readers shortlist twice as often. Characters read fewer than
MIN_READINGS times are not listed; the advice takes them as ordinary.

GBK text, tab-separated, CR LF line ends, sorted by the GBK bytes of the
character, each once. Run from anywhere:

    python3 tools/advice/gen_appeal.py     # writes the file, prints a JSON report

The script is deterministic.
"""

import json
import sys
from collections import Counter
from pathlib import Path

from gen_advice import write_table  # the advice tables' encoding and order

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "names"))
from gen_curated_names import load_readings  # noqa: E402  the bank's own reader of the readings

MIN_READINGS = 20
PRIOR_READINGS = 10


def main():
    read, shortlisted = Counter(), Counter()
    for given, grades in load_readings().items():
        if len(given) != 2:
            continue
        for ch in set(given):
            read[ch] += len(grades)
            shortlisted[ch] += grades.count("A")
    total = sum(read.values())
    average = sum(shortlisted.values()) / total
    rows = []
    for ch, n in read.items():
        if n < MIN_READINGS:
            continue
        share = (shortlisted[ch] + PRIOR_READINGS * average) / (n + PRIOR_READINGS)
        rows.append((ch, n, shortlisted[ch], round(1000 * share / average)))
    assert rows, "no readings"
    count = write_table("advice_appeal.dat", rows)
    appeal = sorted(r[3] for r in rows)
    report = {
        "advice_appeal.dat": count,
        "average_share": round(average, 4),
        "appeal_quartiles": [appeal[len(appeal) * q // 4] for q in (1, 2, 3)],
        "highest": [r[0] for r in sorted(rows, key=lambda r: -r[3])[:30]],
        "lowest": [r[0] for r in sorted(rows, key=lambda r: r[3])[:30]],
    }
    json.dump(report, sys.stdout, ensure_ascii=False, indent=1)
    sys.stdout.write("\n")


if __name__ == "__main__":
    main()
