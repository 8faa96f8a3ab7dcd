#!/usr/bin/env python3
"""Simulates many families asking tavrin-cli for the best names of a child.

Each family is a surname of the commonest hundred, a sex, a birth date in
2025-01-01..2027-12-31 and an hour (unknown for one family in ten). Families
come in pairs of the same surname and sex with different births, so that the
best names of children whose favourable elements differ can be compared.
Every family runs

    tavrin-cli generate --surname S --sex X --date D --hour H --count 500
                        --seed K --best 20 --json

and the script reports how varied the best names are and how well their
given characters fit the child's favourable elements (喜用神 of the 通行算法).

The child's favourable and unfavourable elements and each best name's given
elements are taken from the generate output when it carries them (a top-level
"child" object with "favourable" and "unfavourable", a "givenElements" array
per best name); otherwise they are read with `tavrin-cli analyse NAME --date D
--hour H --conventions --json` and `tavrin-cli element TEXT`, each looked up
once per birth or character.

Usage: python3 tools/advice/simulate_families.py [CLI] [--families N]
       [--seed S] [--jobs J] [--tsv FILE]
Standard library only; the same seed gives the same families.
"""

import argparse
import collections
import concurrent.futures
import datetime
import json
import os
import random
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SURNAMES_TSV = os.path.join(ROOT, "tools", "names", "surnames.tsv")
COMPOUND_SURNAMES = ["欧阳", "诸葛", "司马", "上官"]
ELEMENTS = "金木水火土"
FIRST_DAY = datetime.date(2025, 1, 1)
LAST_DAY = datetime.date(2027, 12, 31)
BEST = 20


def common_surnames():
    """The commonest one-character surnames by share, then the compound ones,
    a hundred in all."""
    rows = []
    with open(SURNAMES_TSV, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            surname, share = line.split("\t")[:2]
            rows.append((float(share), surname))
    rows.sort(key=lambda r: -r[0])
    single = [s for _, s in rows][: 100 - len(COMPOUND_SURNAMES)]
    return single + COMPOUND_SURNAMES


class Cli:
    def __init__(self, path):
        self.path = path
        self.charts = {}
        self.elements = {}

    def run(self, *args):
        done = subprocess.run([self.path, *args], capture_output=True, text=True, encoding="utf-8")
        if done.returncode != 0:
            raise RuntimeError(f"{self.path} {' '.join(args)}: exit {done.returncode}: {done.stderr.strip()}")
        return done.stdout

    def generate(self, family):
        out = self.run("generate", "--surname", family["surname"], "--sex", family["sex"],
                       "--date", family["date"], "--hour", family["hour"], "--count", "500",
                       "--seed", str(family["seed"]), "--best", str(BEST), "--json")
        return json.loads(out)

    def chart(self, surname, date, hour):
        """(favourable, unfavourable) of a birth by the 通行算法, from analyse."""
        key = (date, hour)
        if key not in self.charts:
            # The chart does not depend on the name; any full name will do.
            out = self.run("analyse", surname + "安", "--date", date, "--hour", hour, "--conventions", "--json")
            chart = json.loads(out)["conventions"]["chart"]
            self.charts[key] = (list(chart["favourable"]), list(chart["unfavourable"]))
        return self.charts[key]

    def look_up_elements(self, chars):
        missing = sorted({c for c in chars if c not in self.elements})
        for start in range(0, len(missing), 300):
            chunk = "".join(missing[start:start + 300])
            for line in self.run("element", chunk).splitlines():
                ch, _, element = line.partition("\t")
                if ch != "NameElements":
                    self.elements[ch] = element
        return {c: self.elements.get(c, "") for c in chars}


def random_birth(rng):
    day = FIRST_DAY + datetime.timedelta(days=rng.randrange((LAST_DAY - FIRST_DAY).days + 1))
    hour = "unknown" if rng.randrange(10) == 0 else str(rng.randrange(24))
    return day.isoformat(), hour


def plan_families(cli, count, rng):
    """Pairs of surname and sex, two births each; extra births for pairs whose
    births all share their favourable elements, until half the pairs differ
    (at most a fifth more families)."""
    surnames = common_surnames()
    pairs = []
    used = set()
    while len(pairs) < max(1, count // 2):
        pair = (rng.choice(surnames), rng.choice(["male", "female"]))
        if pair not in used:
            used.add(pair)
            pairs.append(pair)
    births = {pair: [random_birth(rng) for _ in range(2)] for pair in pairs}

    def favourable_sets(pair):
        return {tuple(sorted(cli.chart(pair[0], d, h)[0])) for d, h in births[pair]}

    extra = 0
    while extra < max(1, count // 5):
        alike = [p for p in pairs if len(favourable_sets(p)) < 2]
        if len(pairs) - len(alike) >= len(pairs) // 2 or not alike:
            break
        births[rng.choice(alike)].append(random_birth(rng))
        extra += 1
    families = []
    for pair in pairs:
        for date, hour in births[pair]:
            families.append({"surname": pair[0], "sex": pair[1], "date": date, "hour": hour,
                             "seed": rng.randrange(1, 2**32)})
    for i, family in enumerate(families):
        family["id"] = i + 1
    return families


def read_family(cli, family, result):
    """The family's child elements and best names from one generate output."""
    surname = family["surname"]
    child = result.get("child")
    if child and "favourable" in child and "unfavourable" in child:
        favourable, unfavourable = list(child["favourable"]), list(child["unfavourable"])
    else:
        favourable, unfavourable = cli.chart(surname, family["date"], family["hour"])
    names = []
    for entry in result.get("best", []):
        full = entry["name"]
        given = full[len(surname):] if full.startswith(surname) else full[1:]
        names.append({"name": full, "given": given, "recommend": entry.get("recommend"),
                      "serious": any(w.get("severity") == "serious" for w in entry.get("warnings", [])),
                      "elements": entry.get("givenElements")})
    family.update(favourable=favourable, unfavourable=unfavourable, names=names)


def fill_elements(cli, families):
    chars = {c for f in families for n in f["names"] if n["elements"] is None for c in n["given"]}
    table = cli.look_up_elements(chars)
    for f in families:
        for n in f["names"]:
            if n["elements"] is None:
                n["elements"] = [table[c] for c in n["given"]]


def fit_of(name, family):
    elements = name["elements"]
    if any(e in family["favourable"] for e in elements):
        return "favourable"
    if elements and all(e in family["unfavourable"] for e in elements):
        return "unfavourable"
    return "neither"


def percent(part, whole):
    return 100.0 * part / whole if whole else 0.0


def report(families):
    places = [n for f in families for n in f["names"]]
    lists_with = collections.Counter()
    for f in families:
        for given in {n["given"] for n in f["names"]}:
            lists_with[given] += 1
    print(f"families: {len(families)}; best-name places: {len(places)}")
    print(f"distinct given names: {len(lists_with)}")
    top = sorted(lists_with.items(), key=lambda item: (-item[1], item[0]))[:5]  # ties by name: reproducible
    print("most frequent: " + ", ".join(
        f"{g} {percent(c, len(families)):.0f} %" for g, c in top))

    groups = collections.defaultdict(list)
    for f in families:
        groups[(f["surname"], f["sex"])].append(f)
    overlaps = []
    for members in groups.values():
        for i in range(len(members)):
            for j in range(i + 1, len(members)):
                a, b = members[i], members[j]
                if set(a["favourable"]) == set(b["favourable"]):
                    continue
                ga, gb = {n["given"] for n in a["names"]}, {n["given"] for n in b["names"]}
                if ga or gb:
                    overlaps.append(len(ga & gb) / max(len(ga), len(gb)))
    mean_overlap = 100.0 * sum(overlaps) / len(overlaps) if overlaps else 0.0
    print(f"pairs of the same surname and sex with different favourable elements: {len(overlaps)}; "
          f"best {BEST} in common: {mean_overlap:.0f} % (target <= 30 %)")

    fits = collections.Counter(fit_of(n, f) for f in families for n in f["names"])
    print(f"names with a character of a favourable element: {percent(fits['favourable'], len(places)):.0f} % "
          f"(target >= 90 %)")
    print(f"names with only unfavourable elements: {percent(fits['unfavourable'], len(places)):.0f} % "
          f"(target <= 2 %)")
    recommends = [n["recommend"] for n in places if isinstance(n["recommend"], (int, float))]
    mean_recommend = sum(recommends) / len(recommends) if recommends else 0.0
    print(f"mean 推荐度 of the best {BEST}: {mean_recommend:.1f}")
    print(f"names with a serious warning: {percent(sum(n['serious'] for n in places), len(places)):.1f} %")


def write_tsv(path, families):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("family\tsurname\tsex\tdate\thour\tfavourable\trank\tname\tgivenElements\tfit\trecommend\tserious\n")
        for fam in families:
            for rank, n in enumerate(fam["names"], 1):
                f.write("\t".join([str(fam["id"]), fam["surname"], fam["sex"], fam["date"], fam["hour"],
                                   "".join(fam["favourable"]), str(rank), n["name"], "".join(n["elements"]),
                                   fit_of(n, fam), str(n["recommend"]), "yes" if n["serious"] else "no"]) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("cli", nargs="?", default="build/bin/tavrin-cli", help="the built tavrin-cli")
    parser.add_argument("--families", type=int, default=100, help="families to simulate (default 100)")
    parser.add_argument("--seed", type=int, default=2026, help="seed of the families (default 2026)")
    parser.add_argument("--jobs", type=int, default=2, help="generate runs at once (default 2)")
    parser.add_argument("--tsv", help="write every (family, rank, name, given elements, fit) row here")
    args = parser.parse_args()
    if not os.access(args.cli, os.X_OK):
        sys.exit(f"no tavrin-cli at {args.cli}")

    cli = Cli(args.cli)
    rng = random.Random(args.seed)
    families = plan_families(cli, args.families, rng)
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        results = list(pool.map(cli.generate, families))
    for family, result in zip(families, results):
        read_family(cli, family, result)
    fill_elements(cli, families)
    report(families)
    if args.tsv:
        write_tsv(args.tsv, families)


if __name__ == "__main__":
    main()
