"""A second, deliberately plain implementation of the card loader and the rating engine.

It is written without looking at the C++ code, so that comparing the two on random
cards finds mistakes that hand-written examples miss.
"""
import math
import re

MAX_RACE, MAX_HORSE, MAX_PP = 41, 21, 100

_UNDEFINED = {0x81, 0x8D, 0x8F, 0x90, 0x9D}


# Windows-1252 is Latin-1 but for 0x80-0x9F; the five bytes it leaves undefined stay themselves.
_CP1252 = {b: chr(b) if b in _UNDEFINED else bytes([b]).decode("cp1252") for b in range(0x80, 0xA0)}


def decode(raw: bytes) -> str:
    return raw.decode("latin-1").translate(_CP1252)


def split_lines(text: str):
    return re.split(r"\r\n|\n|\r", text)


_NUMBER = re.compile(r"[+-]?(\d+\.?\d*|\.\d+)")


def plain_number(t: str):
    if not _NUMBER.fullmatch(t):
        return None
    v = float(t)
    return v if math.isfinite(v) else None


def percent_number(t: str):
    if not t:
        return None
    return plain_number(t[:-1].strip(" \t"))


def general(v: float) -> str:
    if v == 0:
        return "0"
    return "%.15G" % v


def final_kel(kel: str, early: str) -> str:
    if early == "----":
        return "----"
    a, b = percent_number(kel), percent_number(early)
    if a is None or b is None or not math.isfinite(2 * a - b):
        return "----"
    return general(2 * a - b) + "%"


PP_SLOT = {1: 12, 2: 6, 3: 15, 4: 7, 5: 8, 6: 9, 7: 10, 8: 14, 9: 13, 10: 11, 11: 1, 12: 2, 13: 3, 14: 16, 15: 4}


class Card:
    def __init__(self):
        self.cells = {}

    def get(self, r, h, p, s):
        return self.cells.get((r, h, p, s), "")

    def set(self, r, h, p, s, v):
        self.cells[(r, h, p, s)] = v


def split_fields(line: str):
    fields, start = [], 0
    for pos in range(len(line) - 1):
        if line[pos] == ";":
            f = line[start:pos]
            if f and f[0] == '"':
                f = f[1:-1]
            fields.append(f)
            start = pos + 1
    fields.append(line[start:])
    return fields


def load(raw: bytes) -> Card:
    card = Card()
    r, h, p = 0, 0, 1
    race_skipped = horse_skipped = False
    for line in split_lines(decode(raw)):
        if not line:
            continue
        fields = split_fields(line)
        tag, data = fields[-1], fields[:-1]
        if tag == "A;":
            r, h, p = r + 1, 0, 0
            race_skipped, horse_skipped = r > MAX_RACE, False
            if race_skipped:
                continue
            for j, f in enumerate(data[:17], 1):
                card.set(r, 0, 0, j, f)
        elif tag == "B;":
            h, p = h + 1, 0
            if race_skipped:
                continue
            horse_skipped = h > MAX_HORSE
            if horse_skipped:
                continue
            for j, f in enumerate(data[:14], 1):
                card.set(r, h, 0, j if j <= 4 else j + 4, f)
        elif tag == "C;":
            p += 1
            if race_skipped or horse_skipped or p > MAX_PP:
                continue
            card.set(r, h, p, 4, "----")
            card.set(r, h, p, 5, "----")
            for j, f in enumerate(data[:17], 1):
                if j > 15:
                    break
                card.set(r, h, p, PP_SLOT[j], f)
                if j == 15:
                    card.set(r, h, p, 5, final_kel(card.get(r, h, p, 3), f))
    return card


# ---- measures ------------------------------------------------------------------------------

NONE = 99.0


def _pow(x, e):
    try:
        return math.pow(x, e)
    except ValueError:
        return math.nan


def _sqrt(x):
    return math.sqrt(x) if x >= 0 else math.nan


def measures(x):
    """composite, root, best six, graded composite of one series (NONE when empty)."""
    n = len(x)
    if n == 0:
        return NONE, NONE, NONE, NONE
    first = x[0]
    m3 = x[0]
    for v in x[1:min(3, n)]:
        if v < m3:
            m3 = v
    root = _sqrt(m3)
    best6 = x[0]
    for v in x[1:min(6, n)]:
        if v < best6:
            best6 = v
    if n == 1:
        pair = x[0] * x[0]
    else:
        m = 0.0
        for k in range(2, min(4, n) + 1):
            m = (x[k - 1] + (k - 2) * m) / (k - 1)
        if m > root + 0.03:
            m = root + 0.03
        pair = min(x[0], x[1]) * (m if m < x[1] else x[1])
    third = 1.0 / 3.0
    short = _pow((root * first) * pair, third)
    composite = blended = graded = None
    if n >= 6:
        b = [10.0, 10.0, 10.0, 10.0]
        for c in [best6] + x[:min(9, n)]:
            if c < b[0]:
                b = [c, b[0], b[1], b[2]]
            elif c < b[1]:
                b = [b[0], c, b[1], b[2]]
            elif c < b[2]:
                b = [b[0], b[1], c, b[2]]
            elif c < b[3]:
                b[3] = c
        t = (((b[0] + b[1]) + b[2]) + b[3]) / 4
        if t != 0:
            composite = _pow((((first + t) / 2) * root) * pair, third)
        bl = ((((2 * b[0]) + b[1]) + b[2]) + b[3]) / 5
        if bl != 0:
            blended = bl
        tg = (((b[0] + 1.003 * b[1]) + 1.0075 * b[2]) + 1.015 * b[3]) / 4
        if tg != 0:
            graded = _pow((((first + tg) / 2) * root) * pair, third)
    out = (composite if composite is not None else short, root,
           blended if blended is not None else best6, graded if graded is not None else short)
    return tuple(NONE if math.isnan(v) else v for v in out)


def rank_and_best(m):
    n = len(m)
    best = m[0]
    rank = [99 if v == NONE else 1 for v in m]
    for j in range(1, n):
        for k in range(j):
            if m[j] < best:
                best = m[j]
            if m[j] == NONE or m[k] == NONE:
                continue
            if m[j] > m[k]:
                rank[j] += 1
            else:
                rank[k] += 1
    return rank, best


def classes(m, best):
    out = []
    for v in m:
        if v == NONE:
            out.append(99)
        elif v < best + 0.005:
            out.append(1)
        elif v < best + 0.0125:
            out.append(2)
        elif v < best + 0.02:
            out.append(3)
        elif v < best + 0.0325:
            out.append(4)
        else:
            out.append(5)
    return out


def rate_race(series):
    if not series:
        return []
    ms = [measures(s) for s in series]
    cls = [0] * len(series)
    for i in range(3):
        col = [m[i] for m in ms]
        _, best = rank_and_best(col)
        for h, c in enumerate(classes(col, best)):
            cls[h] = max(cls[h], c)
    ranks, _ = rank_and_best([m[3] for m in ms])
    return list(zip(cls, ranks))


# ---- win percentage ------------------------------------------------------------------------

def _label(t):
    return ord(t[1]) - 64, int(t[3:-1])


def win_score(S, PQ, PE, PF, NQ, NE):
    if NE < 99:
        for ok, res in ((S <= 1, 34), (S == 2, 32), (S == 3, 26), (S == 4, 25), (S <= 15, 23),
                        (S <= 25, 20), (S <= 40, 18), (S <= 80, 14), (S <= 160, 12), (S <= 320, 9),
                        (S <= 500 and 1 in (PQ, PE, PF), 6),
                        (S <= 650 and min(PQ, PE, PF) <= 2, 9),
                        (S <= 800, 6), (S <= 950, 5), (S < 1050, 3), (S < 1200, 2), (S < 7777, 1)):
            if ok:
                return str(res)
    if NQ == 99:
        return "8"
    if NE == 99:
        return "n/a"
    return "8"


def win_percent(q, e, f):
    LQ, NQ = _label(q)
    LE, NE = _label(e)
    LF, NF = _label(f)
    PQ, PE, PF = LQ * NQ, LE * NE, LF * NF
    if NQ % 10 == 0 and NQ != 10:
        PQ = round(PQ / 80)
    if NE % 10 == 0 and NE != 10:
        PE = round(PE / 90)
    S = math.floor(math.sqrt(float(PQ) * PQ * PE * PF) + 0.99)
    return win_score(S, PQ, PE, PF, NQ, NE)


# ---- rating run ----------------------------------------------------------------------------

def compute_ratings(card: Card, slot: int, current_race: int = 0):
    r = current_race or 1
    while r <= MAX_RACE and card.get(r, 0, 0, 1) != "":
        n = 0
        while n < MAX_HORSE and card.get(r, n + 1, 0, 1) != "":
            n += 1
        series = []
        for h in range(1, n + 1):
            xs, p = [], 1
            while not (card.get(r, h, p, 2) == "" or p + 15 >= 100 or card.get(r, h, p, slot) == ""):
                text = card.get(r, h, p, slot)
                if card.get(r, h, p, 0) not in ("F", "S") and not text.startswith("--"):
                    v = percent_number(text)
                    if v is not None and v >= 0:
                        xs.append(v / 100)
                p += 1
            series.append(xs)
        results = rate_race(series)
        for h in range(1, n + 1):
            cls, rank = results[h - 1]
            label = "[Z-%d]" % rank if cls == 99 else "[%s-%d]" % (chr(64 + cls), rank)
            card.set(r, h, 0, slot + 2, label)
            if slot == 5:
                card.set(r, h, 0, 8, win_percent(card.get(r, h, 0, 5), card.get(r, h, 0, 6), label))
            if slot == 3:
                card.set(r, h, 0, 4, record(card, r, h))
        if current_race:
            break
        r += 1


def record(card, r, h):
    starts = [0, 0, 0, 0]
    p = 1
    while card.get(r, h, p, 2) != "" and p + 15 < 100:
        if card.get(r, h, p, 0) not in ("F", "S") and not card.get(r, h, p, 3).startswith("--"):
            starts[0] += 1
            pos_text = card.get(r, h, p, 6)
            cut = pos_text.find("\u00ba")
            if cut >= 0:
                v = plain_number(pos_text[:cut])
                if v in (1.0, 2.0, 3.0):
                    starts[int(v)] += 1
        p += 1
    return "%d %d-%d-%d" % tuple(starts)


def rerun(card, current_race=0):
    for s in (3, 4, 5):
        compute_ratings(card, s, current_race)


def as_json(card: Card, race: int = 0):
    races = []
    r = race or 1
    while r <= MAX_RACE and card.get(r, 0, 0, 1) != "":
        horses = []
        h = 1
        while h <= MAX_HORSE and card.get(r, h, 0, 1) != "":
            pps = []
            p = 1
            # Every PP filed, each with its Final KEL text.
            while p <= MAX_PP and card.get(r, h, p, 5) != "":
                pps.append({"number": p, "slots": [card.get(r, h, p, s) for s in range(17)]})
                p += 1
            horses.append({"number": h, "slots": [card.get(r, h, 0, s) for s in range(1, 19)], "pps": pps})
            h += 1
        races.append({"number": r, "slots": [card.get(r, 0, 0, s) for s in range(1, 18)], "horses": horses})
        if race:
            break
        r += 1
    return {"races": races}


# ---- settings texts and the filter ---------------------------------------------------------

_LEADING = re.compile(r"[+-]?(\d+(\.\d*)?|\.\d+)")


def leading_number(t: str) -> float:
    t = t.replace(" ", "").replace("\t", "").replace("\n", "")
    m = _LEADING.match(t)
    return float(m.group()) if m else 0.0


def short_date(t: str):
    return leading_number(t[6:8]), leading_number(t[0:2]), leading_number(t[3:5])


def _suffix_and_number(t: str):
    return t[-1].strip(" ").upper(), t[:-1].strip(" ")


def parse_purse(t: str):
    if not t:
        return None
    suffix, n = _suffix_and_number(t)
    if suffix == "K":
        return leading_number(n)
    if suffix == "M":
        return leading_number(n) * 1000
    return None


def _fraction(n: str):
    b = n[:10].find(" ") + 1 or 11
    s = n[:10].find("/") + 1 or 11
    if s == 11:
        return leading_number(n[:b])
    if b >= s:
        return None  # no blank in front of the fraction
    den = leading_number(n[s:s + 5])
    if den == 0:
        return None
    return leading_number(n[:b]) + leading_number(n[b:s]) / den


def parse_distance(t: str, limit: bool, p_record: bool = False):
    if not limit and p_record:
        return 0.0 if t in ("F", "M", "Y") else t
    if not t:
        return None
    suffix, n = _suffix_and_number(t)
    if suffix == "F":
        return _fraction(n)
    if suffix == "M":
        v = _fraction(n)
        return None if v is None else v * 1000
    if suffix == "Y":
        b = n[:10].find(" ") + 1
        if b == 0:
            return leading_number(n[:11]) * 1000
        return (leading_number(n[:b]) + leading_number(n[b:b + 5]) / 80 / 16) * 1000
    if suffix == "0" and limit:
        return t.strip(" ")
    return None


def compare(a, b) -> int:
    """-1, 0, 1; numbers rank below texts."""
    if isinstance(a, str) != isinstance(b, str):
        return -1 if not isinstance(a, str) else 1
    return (a > b) - (a < b)


FAST = {"f", "g", "wf", "B", "H", "frm"}
MUDDY = {"slo", "mud", "yl", "P", "F", "fzn"}


def condition_code(t: str, distance: str) -> str:
    if t.startswith("P"):
        return t[1:2].replace(" ", "")
    if distance.startswith("P"):
        return t[1:7].strip(" ")
    v = t.find("-")
    if v < 0:
        return ""
    return t[v + 1:v + 7].strip(" ")


def fails(card, r, h, p, st):
    date, slot7, slot9, slot10 = (card.get(r, h, p, s) for s in (1, 7, 9, 10))
    y, m, d = short_date(date)
    sy, sm, sd = st["since"]
    if y < sy or (y == sy and m < sm) or (y == sy and m == sm and d < sd):
        return True
    surface = slot9[:1]
    if (not st["dirt"] and surface in ("d", "P")) or (not st["turf"] and surface == "t"):
        return True
    c = condition_code(slot9, slot7)
    if (not st["fast"] and c in FAST) or (not st["muddy"] and c in MUDDY):
        return True
    p_record = slot9.startswith("P")
    if not p_record:
        v = parse_purse(slot10)
        if v is not None and (v < st["purse"][0] or v > st["purse"][1]):
            return True
    v = parse_distance(slot7, False, p_record)
    if v is not None and (compare(v, st["distance"][0]) < 0 or compare(v, st["distance"][1]) > 0):
        return True
    return False


def scope(card, current_race):
    r = current_race or 1
    while r <= MAX_RACE and card.get(r, 0, 0, 1) != "":
        h = 1
        while h <= MAX_HORSE and card.get(r, h, 0, 1) != "":
            yield r, h
            h += 1
        if current_race:
            break
        r += 1


def pps(card, r, h):
    p = 1
    while p <= MAX_PP and card.get(r, h, p, 2) != "":
        yield p
        p += 1


def go(card, current_race, texts):
    """Returns None when done, or "refused" when the settings are refused (nothing changes)."""
    st = {"since": short_date(texts["date"]), "dirt": texts["dirt"], "turf": texts["turf"],
          "fast": texts["fast"], "muddy": texts["muddy"],
          "purse": (parse_purse(texts["purse"][0]), parse_purse(texts["purse"][1])),
          "distance": (parse_distance(texts["distance"][0], True), parse_distance(texts["distance"][1], True))}
    if None in st["purse"] or None in st["distance"]:
        return "refused"
    has_pp = any(card.get(r, h, 1, 2) != "" for r, h in scope(card, current_race))
    # The date box holds 8 characters: a longer text is refused always, a shorter one at the first PP.
    if len(texts["date"]) > 8 or (len(texts["date"]) < 8 and has_pp):
        return "refused"
    for r, h in list(scope(card, current_race)):
        for p in pps(card, r, h):
            if fails(card, r, h, p, st) and card.get(r, h, p, 0) != "S":
                card.set(r, h, p, 0, "F")
    rerun(card, current_race)
    return None


def scratch(card, race, row):
    if not (1 <= row <= MAX_HORSE) or card.get(race, row, 0, 1) == "":
        return False
    card.set(race, row, 1, 0, "S")
    for p in pps(card, race, row):
        card.set(race, row, p, 0, "S")
    rerun(card, race)
    return True
