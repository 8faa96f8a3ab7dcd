#!/usr/bin/env python3
"""How well the 推荐度 follows a panel's grades.

    python3 tools/advice/rank_check.py PANEL.tsv [--cli build/bin/tavrin-cli]

PANEL.tsv: a header line, then one name a line with the columns `name`,
`sex` (male/female) and `grade` (A B C D), as the reviews' grade files are.
Prints the rank correlation (Spearman, ties averaged) of the 推荐度 with the
grades, the share of names of each grade with a serious warning, and the
names graded A or D that the 推荐度 places worst and best.
"""
import argparse
import csv
import json
import subprocess
import sys

GRADE_VALUE = {"A": 4, "B": 3, "C": 2, "D": 1}


def ranks(values):
    order = sorted(range(len(values)), key=lambda i: values[i])
    result = [0.0] * len(values)
    i = 0
    while i < len(order):
        j = i
        while j + 1 < len(order) and values[order[j + 1]] == values[order[i]]:
            j += 1
        for k in range(i, j + 1):
            result[order[k]] = (i + j) / 2 + 1
        i = j + 1
    return result


def spearman(xs, ys):
    rx, ry = ranks(xs), ranks(ys)
    n = len(xs)
    mx, my = sum(rx) / n, sum(ry) / n
    cov = sum((a - mx) * (b - my) for a, b in zip(rx, ry))
    vx = sum((a - mx) ** 2 for a in rx) ** 0.5
    vy = sum((b - my) ** 2 for b in ry) ** 0.5
    return cov / (vx * vy) if vx and vy else 0.0


def advise(cli, names, sex):
    advice = {}
    for start in range(0, len(names), 200):
        chunk = names[start:start + 200]
        out = subprocess.run([cli, "advise", *chunk, "--sex", sex, "--json"], capture_output=True, text=True,
                             check=True).stdout
        data = json.loads(out)
        for entry in data if isinstance(data, list) else data.get("names", []):
            advice[entry["name"]] = entry
    return advice


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("panel")
    parser.add_argument("--cli", default="build/bin/tavrin-cli")
    args = parser.parse_args()
    with open(args.panel, encoding="utf-8") as f:
        rows = [r for r in csv.DictReader(f, delimiter="\t") if r.get("grade") in GRADE_VALUE]
    by_sex = {}
    for r in rows:
        by_sex.setdefault(r["sex"], []).append(r["name"])
    advice = {sex: advise(args.cli, sorted(set(names)), sex) for sex, names in by_sex.items()}
    scores, grades, serious = [], [], {g: [0, 0] for g in GRADE_VALUE}
    listed = []
    for r in rows:
        a = advice[r["sex"]][r["name"]]
        scores.append(a["recommend"])
        grades.append(GRADE_VALUE[r["grade"]])
        has_serious = any(w["severity"] == "serious" for w in a["warnings"])
        serious[r["grade"]][0] += has_serious
        serious[r["grade"]][1] += 1
        listed.append((a["recommend"], r["grade"], r["name"], r["sex"][0]))
    print(f"names {len(rows)}  spearman {spearman(scores, grades):.3f}")
    for g, (s, n) in serious.items():
        print(f"  {g}: {n} names, {s} with a serious warning")
    listed.sort()
    print("A names lowest:", " ".join(f"{n}({s}){v}" for v, g, n, s in listed if g == "A")[:600])
    print("D names:", " ".join(f"{n}({s}){v}" for v, g, n, s in listed if g == "D"))
    print("C names highest:", " ".join(f"{n}({s}){v}" for v, g, n, s in reversed(listed) if g == "C")[:600])
    return 0


if __name__ == "__main__":
    sys.exit(main())
