#!/usr/bin/env python3
"""Rates random cards with kelsoft-report and with the plain model in kel_model.py, and
compares every slot of the JSON output. Usage: crosscheck.py REPORT_BIN [CARDS] [SEED]."""
import json
import os
import random
import subprocess
import sys
import tempfile

import kel_model
import model_selftest

PCTS = [f"{v}%" for v in range(88, 113)] + ["97.5%", "101.25%", "99.9%", "100.1%", "98.7%", "95.3%"]
ODD = ["----", "", "%", "abc%", "-5%", "-0%", "1e3%", " 98 %", "9,5%", "--5%", "100"]


def wide_figure(rng):
    """Figures of any size and shape: results far below the figures, long fractions, signs."""
    roll = rng.random()
    if roll < 0.5:
        whole = str(rng.randint(0, 200))
    elif roll < 0.8:
        whole = str(rng.randint(0, 10 ** rng.randint(1, 10)))
    else:
        whole = rng.choice(["", "0", "00098", "+5", "-3", "+", "-", "1.5"])
    fraction = "" if rng.random() < 0.4 else "." + "".join(rng.choice("0123456789") for _ in range(rng.randint(0, 7)))
    return whole + fraction + rng.choice(["%", "%", "%", "%", "x", " "])


def figure(rng, odd_rate, wide=False):
    if rng.random() < odd_rate:
        return rng.choice(ODD)
    if wide and rng.random() < 0.5:
        return wide_figure(rng)
    return rng.choice(PCTS)


def position(rng):
    roll = rng.random()
    if roll < 0.8:
        return f"{rng.randint(1, 12)}\xba 12{rng.randint(0, 9)} ({rng.choice(['1', '1 1/2', 'nk', '3/4'])})"
    return rng.choice(["", "DNF", "1 120", "\xba", "x\xba", "01\xba", "1.0\xba"])


def field(rng, text):
    if rng.random() < 0.05:
        return '"' + text + '"'
    return text


def pp_line(rng, odd_rate, wide):
    kel = figure(rng, odd_rate, wide)
    fields = [
        field(rng, "Alpha, Beta, Gamma"), position(rng), str(rng.randint(1, 12)),
        rng.choice(["6F", "8 1/2F", "1 1/16M", "1 70Y", "5F", "6f", "1m", "F", "M", "P 6F", "1/2F", "7 1/0F", ""]),
        "1:11.2",
        rng.choice(["d-f", "t-fm", "d-slo", "P-F", "d-F", "t-yl", "d", "P", "P f", "PF", "t- frm ", "d-wf",
                    "tfm", "d-mud", "t-H", ""]),
        rng.choice(["25K", "1.5M", "80K", "250k", "", "12X", "0K"]), "3.5", "Jock", "2-1",
        f"{rng.randint(1, 12):02d}/{rng.randint(1, 28):02d}/{rng.choice(['24', '25'])}",
        rng.choice(["AQU", "SAR", "GP"]), kel, "x",
    ]
    roll = rng.random()
    if roll < 0.6:
        fields.append(figure(rng, odd_rate, wide))
    elif roll < 0.7:
        fields.append("----")
    elif roll < 0.75:
        fields.append("")
    elif roll < 0.85:
        fields += [figure(rng, odd_rate, wide), "extra16", "extra17"]
    else:
        fields = fields[: rng.randint(11, 14)]
    return ";".join(fields) + ";C;"


def make_card(rng):
    odd_rate = rng.choice([0.0, 0.02, 0.1])
    wide = rng.random() < 0.3
    lines = []
    for r in range(rng.randint(1, 6)):
        lines.append(f"R{r + 1};Track;6F;Clm;{rng.randint(10, 90)}K;A;")
        for h in range(rng.choice([0, 1, 2, 5, 8, 12, 20, 21, 21, 22])):
            lines.append(f"{h + 1};Horse {r}-{h};12{rng.randint(0, 9)};rec;data;J{h};T{h};x;A;B;")
            for _ in range(rng.choice([0, 1, 2, 3, 5, 6, 7, 9, 12, 40, 84, 90])):
                lines.append(pp_line(rng, odd_rate, wide))
    return "\r\n".join(lines).encode("cp1252") + b"\r\n"


SINCE = ["01/01/01", "01/01/01", "06/15/24", "01/01/25", "03/10/25", "12/31/99", "1/1/25", "01-01-24", "01/01/2025"]
PURSES = ["0K", "10M", "50K", "1M", "30k", "1.5m", "100K", "0.08M"]
DISTANCES = ["4 1/2F", "2 1/2M", "6F", "1M", "10", "1 70Y", "8 1/2f", "5F", "1 1/16M", "7"]


def horses_per_race(raw):
    """The number of horses of each race the card lists."""
    card, counts = kel_model.load(raw), []
    while len(counts) < kel_model.MAX_RACE and card.get(len(counts) + 1, 0, 0, 1) != "":
        h = 0
        while h < kel_model.MAX_HORSE and card.get(len(counts) + 1, h + 1, 0, 1) != "":
            h += 1
        counts.append(h)
    return counts


def make_options(rng, raw):
    """Report-tool arguments and the same actions as a plan for the model. Races and horses
    are mostly ones on the card: the others are usage errors, with nothing to compare."""
    args, plan = [], {"race": 0, "scratches": [], "filter": None}
    counts = horses_per_race(raw)
    rated = [r + 1 for r, n in enumerate(counts) if n > 0]
    if rng.random() < 0.3:
        plan["race"] = rng.randint(1, len(counts)) if counts and rng.random() < 0.9 else rng.randint(1, 3)
        args += ["--race", str(plan["race"])]
    for _ in range(rng.choice([0, 0, 1, 2])):
        if rated and rng.random() < 0.9:
            r = rng.choice(rated)
            h = rng.randint(1, counts[r - 1])
        else:
            r, h = rng.randint(1, 3), rng.randint(1, 6)
        plan["scratches"].append((r, h))
        args += ["--scratch", f"{r}:{h}"]
    if rng.random() < 0.6:
        t = {"date": rng.choice(SINCE), "dirt": rng.random() < 0.8, "turf": rng.random() < 0.8,
             "fast": rng.random() < 0.8, "muddy": rng.random() < 0.8,
             "purse": sorted([rng.choice(PURSES), rng.choice(PURSES)]) if rng.random() < 0.5 else ["0K", "10M"],
             "distance": [rng.choice(DISTANCES), rng.choice(DISTANCES)] if rng.random() < 0.5 else ["4 1/2F", "2 1/2M"]}
        plan["filter"] = t
        args += ["--filter", "--since", t["date"], "--purse", *t["purse"], "--distance", *t["distance"]]
        args += [f"--no-{box}" for box in ("dirt", "turf", "fast", "muddy") if not t[box]]
    return args, plan


def run_model(raw, plan):
    """(exit status, JSON) as the report tool should give them."""
    card = kel_model.load(raw)
    kel_model.rerun(card)
    t = plan["filter"]
    # A race or a horse that is not on the card is a usage error.
    listed = 0
    while listed < kel_model.MAX_RACE and card.get(listed + 1, 0, 0, 1) != "":
        listed += 1
    if plan["race"] > listed:
        return 2, None
    for r, h in plan["scratches"]:
        if r > listed or not kel_model.scratch(card, r, h):
            return 2, None
    if t and kel_model.go(card, plan["race"], t):
        return 2, None
    return 0, kel_model.as_json(card, plan["race"])


def first_difference(a, b, path="$"):
    if type(a) != type(b):
        return f"{path}: {a!r} != {b!r}"
    if isinstance(a, dict):
        for k in a:
            d = first_difference(a[k], b.get(k), f"{path}.{k}")
            if d:
                return d
        return None
    if isinstance(a, list):
        if len(a) != len(b):
            return f"{path}: length {len(a)} != {len(b)}"
        for i, (x, y) in enumerate(zip(a, b)):
            d = first_difference(x, y, f"{path}[{i}]")
            if d:
                return d
        return None
    return None if a == b else f"{path}: {a!r} != {b!r}"


def main():
    model_selftest.run()
    binary = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    seed0 = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    with_options = "--plain" not in sys.argv
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "card.kel")
        for seed in range(seed0, seed0 + count):
            rng = random.Random(seed)
            raw = make_card(rng)
            with open(path, "wb") as f:
                f.write(raw)
            args, plan = make_options(rng, raw) if with_options else ([], {"race": 0, "scratches": [], "filter": None})
            done = subprocess.run([binary, "--format", "json", *args, path], capture_output=True)
            status, want = run_model(raw, plan)
            if status != done.returncode:
                diff = f"exit {done.returncode}, expected {status} ({' '.join(args)}): {done.stderr!r}"
            elif status != 0:
                diff = None
            else:
                diff = first_difference(want, json.loads(done.stdout))
                if diff:
                    diff += f" ({' '.join(args)})"
            if diff:
                failures += 1
                print(f"seed {seed}: {diff}")
                if failures >= 10:
                    break
    print(f"{count - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
