#!/usr/bin/env python3
"""Writes the sample cards of this folder: small.kel, gulfstrm.kel and bigfield.kel.

The cards are plain .kel files: Windows-1252 bytes, CR LF line ends, "º" as the byte 0xBA.
Race and horse lines are written out by hand below; the ordinary PPs of a horse come from its
form (base figure, surfaces, distances) through a seeded random walk, so re-running the script
gives the same bytes. The unusual PPs each card must show are written out literally.

    python3 samples/make_samples.py [OUTDIR]
"""

import datetime
import os
import random
import sys

ORD = "\u00ba"  # the masculine ordinal sign, 0xBA in Windows-1252


def line(fields, tag):
    return ";".join(list(fields) + [tag])


def race(*fields):
    return line(fields, "A;")


def horse(*fields):
    return line(fields, "B;")


def pct(v):
    """A figure as the cards write it: 97%, 97.5%."""
    v = round(v * 2) / 2
    return ("%d%%" % v) if v == int(v) else ("%.1f%%" % v)


def pp(others, pos, lbs, lengths, runline, dist, time, cond, purse, odds, jockey, posq, date,
       track, kel, extra, early=None, more=()):
    """One PP line in file order; early=None leaves out field 15 (14 data fields)."""
    f = [others, "%s%s %s (%s)" % (pos, ORD, lbs, lengths), runline, dist, time, cond, purse,
         odds, jockey, posq, date, track, kel, extra]
    if early is not None:
        f.append(early)
    f.extend(more)
    return line(f, "C;")


def quoted(text):
    return '"%s"' % text


# Names for the "other horses" field of generated PPs.
RIVALS = [
    "Tiz the Bomb", "Hoist the Gold", "Big Invasion", "Sir Winsalot", "Mo Donegal",
    "Cyberknife", "Dazzling Gem", "Lady Aurelia", "Arklow", "Smooth Like Strait",
    "Gunite", "Catholic Boy", "Kowboy Karma", "Nest Egg", "Rattle N Roll", "Senor Buscador",
    "Skippylongstocking", "Zandon", "Charge It", "Dr. Zic", "Mystik Dan", "Just Steel",
    "Endlessly", "Far Bridge", "Get Her Number", "Shirl's Speight", "Echo Again",
    "Clapton Gold", "Whiskey Decision", "Sun Ray Dancer", "Coach Tom", "Bell's the One",
    "Bango", "Filly Four Fun", "Cairo Kiss", "Papa Mike", "Caramel Swirl", "Kanthaka",
]

RUNLINE_STEPS = ["%d-%d-%d", "%d-%d-%d-%d"]


def furlongs(dist):
    """Furlongs of a distance text like 6F, 8 1/2F, 1 1/16M, 1 70Y (for the final time)."""
    unit = dist[-1]
    body = dist[:-1].strip()
    if unit == "Y":
        miles, yards = body.split(" ")
        return int(miles) * 8 + int(yards) / 220.0
    whole = body
    frac = 0.0
    if " " in body:
        whole, f = body.split(" ")
        n, d = f.split("/")
        frac = int(n) / int(d)
    elif "/" in body:
        n, d = body.split("/")
        whole, frac = "0", int(n) / int(d)
    v = int(whole) + frac
    return v * 8 if unit == "M" else v


def race_time(dist, rng, turf):
    secs = furlongs(dist) * (11.9 if turf else 12.15) + rng.uniform(-0.8, 1.6)
    return "%d:%05.2f" % (int(secs // 60), secs - 60 * int(secs // 60))


def lengths_text(rng, pos):
    whole = rng.choice([0, 0, 1, 1, 2, 3, 4, 6, 9])
    frac = rng.choice(["", "", "1/4", "1/2", "3/4"])
    if pos == 1 and whole == 0 and frac == "":
        frac = "1/2"
    if whole == 0 and frac == "":
        return "nose"
    if whole == 0:
        return frac
    return ("%d %s" % (whole, frac)).strip()


class Form:
    """What the ordinary PPs of one horse look like."""

    def __init__(self, base, surfaces="d", dists=("6F",), tracks=("GP",), purses=("35K",),
                 jockeys=("Saez, L",), early_missing=0.1, spread=4.0, lbs=(120, 122, 124)):
        self.base = base
        self.surfaces = surfaces
        self.dists = dists
        self.tracks = tracks
        self.purses = purses
        self.jockeys = jockeys
        self.early_missing = early_missing
        self.spread = spread
        self.lbs = lbs


DIRT_CODES = ["f", "f", "f", "f", "g", "wf", "slo", "mud", "B", "P", "F", "fzn"]
TURF_CODES = ["frm", "frm", "frm", "g", "yl", "H", "f"]


def form_pps(rng, form, n, last_date):
    """n ordinary PPs, most recent first, the first one before last_date."""
    out = []
    date = last_date
    for i in range(n):
        date = date - datetime.timedelta(days=rng.choice([14, 21, 21, 28, 28, 35, 42, 56, 90]))
        turf = rng.choice(form.surfaces) == "t"
        dist = rng.choice(form.dists)
        field = rng.randint(6, 12)
        pos = min(field, max(1, int(rng.triangular(1, field + 1, 3))))
        kel = form.base + rng.uniform(-form.spread, form.spread) + (pos - 3) * 0.6
        early = None
        if rng.random() >= form.early_missing:
            early = pct(kel + rng.uniform(-3.0, 3.0))
        elif rng.random() < 0.5:
            early = "----"
        others = "-".join(rng.sample(RIVALS, 3))
        if rng.random() < 0.15:
            others = quoted(", ".join(rng.sample(RIVALS, 3)))
        steps = rng.choice(RUNLINE_STEPS)
        calls = [rng.randint(1, field) for _ in range(steps.count("%d") - 1)] + [pos]
        runline = steps % tuple(calls)
        cond = ("t-" + rng.choice(TURF_CODES)) if turf else ("d-" + rng.choice(DIRT_CODES))
        odds = "%.2f" % rng.choice([1.4, 2.1, 3.5, 4.8, 6.2, 8.9, 12.4, 19.7, 31.0])
        if odds.startswith("1.") or odds.startswith("2."):
            odds = "*" + odds
        extra = rng.choice(["", "", "", "Bumped start", "Wide trip", "Blinkers on",
                            "Lugged in", "Steadied 3/8", "Rail trip", "Lasix 1st"])
        out.append(pp(others, pos, rng.choice(form.lbs), lengths_text(rng, pos), runline, dist,
                      race_time(dist, rng, turf), cond, rng.choice(form.purses), odds,
                      rng.choice(form.jockeys), "%d/%d" % (pos, field),
                      date.strftime("%m/%d/%y"), rng.choice(form.tracks), pct(kel), extra,
                      early))
    return out


def record_of(pps):
    """The record text a card prints for a horse: starts, then wins-seconds-thirds."""
    places = [l.split(";")[1].split(ORD)[0] for l in pps]
    return "%d %d-%d-%d" % (len(places), places.count("1"), places.count("2"),
                            places.count("3"))


def horse_with_pps(fields, pps):
    """The horse line (its record filled in from its PPs when left empty) and its PPs."""
    fields = list(fields)
    if fields[3] == "":
        fields[3] = record_of(pps)
    return [horse(*fields)] + list(pps)


def write_card(path, lines):
    data = ("\r\n".join(lines) + "\r\n").encode("cp1252")
    with open(path, "wb") as f:
        f.write(data)


# --------------------------------------------------------------------------------------------
# small.kel: two races at Keeneland, every PP written out.

def small_card():
    L = []
    L.append(race("1", "KEE", "10/12/24", "6F", "Dirt", "Maiden Special Weight", "120K",
                  "2yo Fillies", "Post 1:05"))
    L.append(horse("1", "Sassy Sienna", "120", "2 0-1-0", "B. f. 2 Gun Runner-Sienna Sky",
                   "Gaffalione, T", "Cox, B", "ML 5/2", "L"))
    L.append(pp("Cairo Kiss-Dazzling Gem-Endlessly", "2", "120", "1 1/2", "3-2-2", "5 1/2F",
                "1:04.88", "d-f", "100K", "*2.10", "Gaffalione, T", "2/9", "09/14/24", "KEE",
                "99.5%", "Game try", "98%"))
    L.append(pp("Filly Four Fun-Get Her Number-Caramel Swirl", "4", "119", "3 1/4",
                "6-5-4", "5F", "0:58.91", "d-g", "90K", "6.20", "Gaffalione, T", "4/8",
                "08/17/24", "SAR", "102%", "Debut", "----"))
    L.append(horse("2", "Miss Marigold", "120", "0 0-0-0", "Ch. f. 2 Not This Time-Goldie",
                   "Ortiz, I Jr", "Brown, C", "ML 8/1", "L"))
    L.append(horse("3", "Tapit's Echo", "120", "1 0-0-1", "Gr/ro. f. 2 Tapit-Echo Again",
                   quoted("Ortiz, Jos\u00e9 L."), "Pletcher, T", "ML 3/1", "L"))
    L.append(pp("Sassy Sienna-Cairo Kiss-Bell's the One", "3", "120", "2 3/4", "2-2-3",
                "5 1/2F", "1:05.10", "d-f", "100K", "3.50", quoted("Ortiz, Jos\u00e9 L."),
                "3/9", "09/14/24", "KEE", "100.5%", "", "97%"))
    L.append(horse("4", "Quiet Storm", "120", "3 1-0-1", "Dk b/br. f. 2 Into Mischief-Squall",
                   "Rosario, J", "Asmussen, S", "ML 9/5", "L", "b"))
    L.append(pp("Echo Again-Papa Mike-Coach Tom", "1", "120", "2", "1-1-1", "6F", "1:10.45",
                "d-wf", "82K", "*1.40", "Rosario, J", "1/7", "09/28/24", "CD", "97.5%",
                "Drew clear", "96%"))
    L.append(pp("Far Bridge-Kanthaka-Bango", "3", "119", "4", "4-3-3", "5 1/2F", "1:05.52",
                "d-slo", "82K", "4.80", "Rosario, J", "3/10", "09/01/24", "ELP", "101%", "",
                "100%"))
    L.append(pp("Zandon-Gunite-Arklow", "5", "119", "7 1/4", "2-4-5", "5F", "0:59.70", "d-f",
                "75K", "8.90", "Geroux, F", "5/8", "08/03/24", "ELP", "104.5%",
                "Bobbled start"))
    L.append(horse("5", "Royal Blue Note", "120", "1 0-0-0",
                   "B. f. 2 Munnings-Note of Grace", "Prat, F", "Baffert, B", "ML 4/1", "L"))
    L.append(pp("Quiet Storm-Echo Again-Papa Mike", "6", "120", "9 1/2", "5-6-6", "6F",
                "1:11.02", "d-f", "82K", "12.40", "Prat, F", "6/7", "09/28/24", "CD", "106%",
                "Green", "103.5%"))

    L.append(race("2", "KEE", "10/12/24", "1 1/16M", "Turf", "Allowance Optional Claiming",
                  "1M", "3yo&up", "Post 1:37"))
    L.append(horse("1", "Highland Lark", "124", "9 3-2-1", "B. g. 5 Kitten's Joy-Lark Song",
                   "Castellano, J", quoted("Maker, Michael J."), "ML 3/1", "L", "b"))
    L.append(pp("Coach Tom-Smooth Like Strait-Arklow", "1", "124", "1/2", "4-3-1", "1 1/16M",
                "1:42.18", "t-frm", "110K", "3.50", "Castellano, J", "1/9", "09/07/24", "KD",
                "98%", "Up late", "101%"))
    L.append(pp("Arklow-Kowboy Karma-Nest Egg", "2", "123", "nose", "5-4-2", "1 1/8M",
                "1:48.60", "t-g", "1.2M", "9.80", "Castellano, J", "2/11", "08/03/24", "SAR",
                "97%", "Just missed", "99.5%"))
    L.append(pp("Whiskey Decision-Sun Ray Dancer-Charge It", "4", "124", "3", "6-6-4",
                "1 1/16M", "1:41.97", "t-yl", "95K", "5.10", "Rosario, J", "4/10", "06/29/24",
                "CD", "101.5%", "Wide trip", "103%"))
    L.append(horse("2", "Clapton Gold", "122", "6 1-1-2", "Ch. h. 6 English Channel-Guitar",
                   "Saez, L", "Motion, G", "ML 5/1", "L"))
    L.append(pp("Highland Lark-Coach Tom-Arklow", "3", "122", "1 1/4", "2-2-3", "1 1/16M",
                "1:42.36", "t-frm", "110K", "4.40", "Saez, L", "3/9", "09/07/24", "KD", "99%",
                "", "97.5%"))
    L.append(pp("Echo Again-Bango-Far Bridge", "1", "121", "3/4", "1-1-1", "1M", "1:34.80",
                "t-f", "85K", "*2.00", "Saez, L", "1/8", "08/10/24", "CD", "98%",
                "Wire to wire", "95%"))
    L.append(horse("3", "Senor Buscador", "124", "12 4-3-2", "B. h. 6 Mineshaft-Senora",
                   "Prat, F", "Jones, T", "ML 7/2", "L"))
    L.append(pp("Cyberknife-Charge It-Zandon", "2", "124", "1", "7-5-2", "1 1/4M", "2:02.40",
                "d-f", "3M", "6.50", "Prat, F", "2/12", "09/21/24", "SA", "97.5%",
                "Closed well", "102%"))
    L.append(pp("Kanthaka-Coach Tom-Gunite", "1", "124", "2 1/4", "6-4-1", "1 1/8M",
                "1:49.11", "d-mud", "500K", "5.00", "Prat, F", "1/7", "08/24/24", "DMR", "97%",
                "", "100.5%"))
    L.append(horse("4", "Kanthaka", "122", "7 2-1-1", "Ch. c. 4 Jimmy Creed-Serena",
                   "Hernandez, J", "Callaghan, S", "ML 6/1", "L", "b"))
    L.append(pp("Senor Buscador-Coach Tom-Gunite", "2", "122", "2 1/4", "1-1-2", "1 1/8M",
                "1:49.11", "d-mud", "500K", "2.60", "Hernandez, J", "2/7", "08/24/24", "DMR",
                "98.5%", "Set pace", "96.5%"))
    return L


# --------------------------------------------------------------------------------------------
# gulfstrm.kel: nine races at Gulfstream Park on 01/11/25, PPs from the autumn of 2024 on.

CARD_DATE = datetime.date(2025, 1, 11)
JOCKEYS_GP = ["Saez, L", "Zayas, E", "Ortiz, I Jr", "Gaffalione, T", "Castellano, J",
              "Reyes, L", "Panici, L", "Gonzalez, E", quoted("Ortiz, Jos\u00e9 L."), "Lezcano, A"]

# (race line fields, [(horse line fields, Form or None, number of PPs, literal PPs)])
# Literal PPs come first on the horse, then the ordinary ones.


def gp_race(num, dist, surface, cls, purse, cond, post):
    return ["%d" % num, "GP", "01/11/25", dist, surface, cls, purse, cond, post]


def gp_horse(num, name, lbs, record, data, jockey, trainer, ml, meds="L", equip=""):
    f = [str(num), name, str(lbs), record, data, jockey, trainer, ml, meds]
    if equip:
        f.append(equip)
    return f


def gulfstream_card():
    rng = random.Random(20250111)
    L = []
    sprint = Form(101.0, "d", ("6F", "6 1/2F", "7F", "5 1/2F"), ("GP", "TAM", "AQU"),
                  ("35K", "40K", "52K", "62K"), JOCKEYS_GP)
    route = Form(100.0, "d", ("1M", "1 1/16M", "1 70Y", "8 1/2F", "1 1/8M"),
                 ("GP", "TAM", "CD", "KEE"), ("70K", "85K", "120K"), JOCKEYS_GP)
    turf = Form(99.5, "t", ("1M", "1 1/16M", "7 1/2F", "5F", "1 1/8M"),
                ("GP", "KEE", "BEL", "CD"), ("75K", "90K", "150K"), JOCKEYS_GP)
    mixed = Form(100.5, "ddt", ("6F", "1M", "1 1/16M", "7F", "8 1/2F"),
                 ("GP", "TAM", "SAR"), ("45K", "70K", "1.2M"), JOCKEYS_GP, early_missing=0.3)

    def add(h, form=None, n=0, literal=(), seed_shift=0.0):
        pps = list(literal)
        if form is not None and n:
            f = Form(form.base + seed_shift, form.surfaces, form.dists, form.tracks,
                     form.purses, form.jockeys, form.early_missing, form.spread, form.lbs)
            last = CARD_DATE
            if literal:
                last = CARD_DATE - datetime.timedelta(days=60)
            pps.extend(form_pps(rng, f, n, last))
        L.extend(horse_with_pps(h, pps))

    # Race 1: maiden claimer, first-time starters among them.
    L.append(race(*gp_race(1, "6F", "Dirt", "Maiden Claiming", "35K", "3yo", "Post 12:20")))
    add(gp_horse(1, "Dixie Dynamo", 122, "3 0-1-1", "B. c. 3 Cloud Computing-Dixie Belle",
                 "Zayas, E", "Joseph, S Jr", "ML 5/2"), sprint, 3)
    add(gp_horse(2, "First Light Dawn", 122, "0 0-0-0", "Ch. c. 3 Bolt d'Oro-Dawn Ray",
                 "Reyes, L", "Pletcher, T", "ML 3/1"))  # first-time starter: no PPs
    add(gp_horse(3, "Gator Bay", 122, "4 0-0-2", "Dk b/br. g. 3 Khozan-Bayside",
                 "Panici, L", "Navarro, J", "ML 6/1", "L", "b"), sprint, 4, seed_shift=1.5)
    add(gp_horse(4, "Count on Carlos", 122, "2 0-1-0", "B. g. 3 Girvin-Carla's Count",
                 "Gonzalez, E", quoted("D'Angelo, Jose F."), "ML 4/1"), sprint, 2)
    add(gp_horse(5, "Sunny Sabbatical", 122, "0 0-0-0", "Gr/ro. c. 3 Preservationist-Sabbath",
                 "Lezcano, A", "Delgado, G", "ML 15/1"))  # first-time starter
    add(gp_horse(6, "Bayou Breeze", 122, "5 0-2-0", "B. c. 3 Mo Town-Breezy Bayou",
                 "Saez, L", "Vazquez, R", "ML 7/2", "L", "b"), sprint, 5, seed_shift=-0.5)

    # Race 2: turf route, a foreign shipper whose PPs carry no KEL figure at all.
    L.append(race(*gp_race(2, "1 1/16M", "Turf", "Allowance", "70K", "4yo&up F&M",
                           "Post 12:50")))
    add(gp_horse(1, "Belle of Deauville", 120, "6 2-1-0",
                 quoted("B. m. 5 (FR) Wootton Bassett-Belle Rive"), "Castellano, J",
                 quoted("Mott, William I."), "ML 3/1"),
        literal=[
            pp("Alpine Star-Kamaria-Sea Silk", "1", "126", "1 1/2", "4-3-1", "1 1/4M", "2:07.31",
               "t-g", "80K", "3.20", "Soumillon, C", "1/9", "09/29/24", "LCH", "----",
               "Group 3 Longchamp"),
            pp("Tempest Rose-Alpine Star-Rumba", "2", "126", "1/2", "6-5-2", "1 1/4M",
               "2:09.40", "t-yl", "60K", "5.00", "Soumillon, C", "2/11", "08/15/24", "DEA",
               "----", "", "----"),
            pp("Rumba-Vivre-Sea Silk", "4", "128", "3", "3-3-4", "1 1/8M", "1:54.20", "t-g",
               "55K", "8.00", "Barzalona, M", "4/8", "06/30/24", "SAI", "----", "Soft ground"),
        ])
    add(gp_horse(2, "Shirl's Pride", 120, "9 2-3-1", "Ch. m. 5 Speightster-Shirl's Honor",
                 "Saez, L", "Lynch, B", "ML 5/2"), turf, 5)
    add(gp_horse(3, "Lady Aurelia Rose", 120, "7 1-1-2", "B. m. 4 Tale of the Cat-Aurelia",
                 "Ortiz, I Jr", "Brown, C", "ML 2/1"), turf, 4, seed_shift=-1.0)
    add(gp_horse(4, "Kiss the Dawn", 120, "11 2-2-2", "Dk b/br. m. 6 Karakontie-Dawn Kiss",
                 "Gaffalione, T", "Clement, C", "ML 8/1"), turf, 6, seed_shift=1.0)
    add(gp_horse(5, "Turf Whisper", 120, "3 1-0-0", "B. f. 4 Uncle Mo-Whispered Secret",
                 "Reyes, L", "Sano, A", "ML 10/1"), turf, 3, seed_shift=2.0)

    # Race 3: claimer at one mile and seventy yards; tied figures, missing early figures.
    L.append(race(*gp_race(3, "1 70Y", "Dirt", "Claiming 16K", "32K", "4yo&up",
                           "Post 1:20")))
    add(gp_horse(1, "Rattle Along", 122, "14 3-2-3", "B. g. 6 Constitution-Rattle On",
                 "Zayas, E", "Joseph, S Jr", "ML 2/1"),
        literal=[
            pp("Nest Egg-Bango-Coach Tom", "1", "122", "2", "2-1-1", "1 70Y", "1:43.05",
               "d-f", "32K", "*1.90", "Zayas, E", "1/8", "12/14/24", "GP", "100%", "",
               "99%"),
            pp("Bango-Papa Mike-Nest Egg", "3", "122", "1 3/4", "3-3-3", "1 1/16M",
               "1:45.02", "d-slo", "32K", "4.10", "Zayas, E", "3/9", "11/16/24", "GP", "101%",
               "Checked 1/4"),
        ], form=route, n=3)
    add(gp_horse(2, "Papa Mike", 122, "10 2-2-1", "Ch. g. 5 Mucho Macho Man-Papa's Girl",
                 "Panici, L", "Navarro, J", "ML 3/1"),
        literal=[
            pp("Rattle Along-Nest Egg-Bango", "2", "122", "2", "1-2-2", "1 70Y", "1:43.45",
               "d-f", "32K", "3.00", "Panici, L", "2/8", "12/14/24", "GP", "100%", "",
               "99%"),
            pp("Bango-Rattle Along-Nest Egg", "2", "120", "1/2", "4-3-2", "1 1/16M", "1:45.02",
               "d-slo", "32K", "5.50", "Panici, L", "2/9", "11/16/24", "GP", "100%", "",
               "----"),
        ], form=route, n=2)
    add(gp_horse(3, "Nest Egg", 122, "8 1-1-1", "B. g. 5 Goldencents-Nest",
                 "Lezcano, A", "Delgado, G", "ML 6/1"), route, 5, seed_shift=1.0)
    add(gp_horse(4, "Bango", 122, "12 1-2-4", "Gr/ro. g. 7 Tapiture-Bangle",
                 "Gonzalez, E", "Vazquez, R", "ML 8/1"), route, 6, seed_shift=1.5)
    add(gp_horse(5, "Coach Tom", 122, "6 1-0-1", "B. g. 4 Tom's d'Etat-Coaching",
                 "Reyes, L", "Sano, A", "ML 5/1"), route, 4)

    # Race 4: turf sprint; hard and yielding turf.
    L.append(race(*gp_race(4, "5F", "Turf", "Starter Allowance", "40K", "3yo&up",
                           "Post 1:52")))
    sprint_turf = Form(99.0, "t", ("5F", "5 1/2F", "5F"), ("GP", "KEE", "MTH"),
                       ("40K", "45K", "60K"), JOCKEYS_GP)
    for i, (name, data, base) in enumerate([
            ("Caramel Swirl", "Ch. f. 3 Dialed In-Swirl", 0.0),
            ("Ocala Express", "B. g. 5 Speightstown-Ocala Bound", 1.0),
            ("Wicked Fast Willie", "B. g. 4 Bucchero-Wicked Will", -1.5),
            ("Turbo Tiz", "Dk b/br. c. 3 Tiznow-Turbine", 2.0),
            ("Beach Bunny", "Ch. m. 5 Jimmy Creed-Beach Hop", 0.5),
            ("Sea Wall", "B. g. 6 Seaside Attraction-Wall Street Gal", 3.0),
            ("Little Bit Sassy", "B. f. 3 Not This Time-Sassy Little", 1.0)]):
        add(gp_horse(i + 1, name, 120 + (i % 3) * 2, "", data, JOCKEYS_GP[(i * 3) % 10],
                     ["Joseph, S Jr", "Pletcher, T", "Delgado, G"][i % 3],
                     "ML %d/1" % (2 + i)), sprint_turf, 3 + i % 4, seed_shift=base)

    # Race 5: dirt route at 8 1/2 furlongs; P records of horses that ran at a training centre
    # or abroad, with distances written only as a unit.
    L.append(race(*gp_race(5, "8 1/2F", "Dirt", "Allowance Optional Claiming 62K", "85K",
                           "3yo", "Post 2:24")))
    add(gp_horse(1, "Dubai Mirage", 122, "4 1-1-0", quoted("B. c. 3 (GB) Dubawi-Mirage Rose"),
                 "Saez, L", quoted("Stewart, Charlie"), "ML 4/1"),
        literal=[
            pp("Desert Hero-Al Mubhir-Sand Lily", "1", "126", "2", "2-2-1", "F", "1:24.60",
               "Pf", "60K", "3.00", "Buick, W", "1/6", "11/22/24", "MEY", "98.5%", "Abroad",
               "99%"),
            pp("Sand Lily-Desert Hero-Zaaki Star", "2", "126", "1 1/4", "5-3-2", "M",
               "1:37.95", "Pg", "75K", "4.50", "Buick, W", "2/9", "10/18/24", "MEY", "99.5%",
               "Abroad", "----"),
            pp("Notable Speech-Ancient Wisdom-Desert Hero", "3", "124", "3", "1-2-3", "7F",
               "1:25.13", "P", "90K", "6.00", "Buick, W", "3/10", "09/06/24", "NEW", "101%",
               "Abroad", "100%"),
        ], form=route, n=1)
    add(gp_horse(2, "Training Day", 122, "2 0-1-0", "Ch. c. 3 Practical Joke-Day Shift",
                 "Zayas, E", "Joseph, S Jr", "ML 9/2"),
        literal=[
            pp("Hard Ball-Mystic Harbor-Sea Shanty", "2", "122", "1/2", "3-2-2", "Y",
               "1:44.20", "P g", "0K", "-", "Zayas, E", "2/5", "12/20/24", "PMM", "100%",
               "Trial", "101%"),
            pp("Sea Shanty-Ocean Drive-Hard Ball", "1", "122", "1", "1-1-1", "F", "1:11.60",
               "PF", "0K", "-", "Zayas, E", "1/4", "11/29/24", "PMM", "99%", "Trial"),
        ])
    add(gp_horse(3, "Mystic Harbor", 122, "5 1-2-0", "Dk b/br. c. 3 Liam's Map-Harbor Mist",
                 "Ortiz, I Jr", "Brown, C", "ML 2/1"), route, 5, seed_shift=-1.0)
    add(gp_horse(4, "Gunrunner's Son", 122, "3 1-0-1", "Ch. c. 3 Gun Runner-Kiss Me Kate",
                 "Castellano, J", "Cox, B", "ML 3/1"), route, 3)
    add(gp_horse(5, "Hard Ball", 122, "6 0-2-2", "B. g. 3 Hard Spun-Diamond Ball",
                 "Panici, L", "Navarro, J", "ML 12/1"), mixed, 6, seed_shift=2.0)

    # Race 6: one mile on the turf; every turf code, a PP without its early figure field.
    L.append(race(*gp_race(6, "1M", "Turf", "Allowance", "75K", "3yo&up",
                           "Post 2:56")))
    add(gp_horse(1, "Hard Going Henry", 122, "10 3-1-2", "B. g. 5 Kitten's Joy-Henrietta",
                 "Gaffalione, T", "Maker, M", "ML 7/2"),
        literal=[
            pp("Sun Ray Dancer-Coach Tom-Charge It", "1", "122", "1 1/4", "5-3-1", "1M",
               "1:33.20", "t-H", "75K", "3.90", "Gaffalione, T", "1/10", "12/21/24", "GP",
               "98%", "", "100%"),
            pp("Charge It-Arklow-Kowboy Karma", "5", "122", "4 1/2", "2-3-5", "1 1/16M",
               "1:44.91", "t-yl", "90K", "4.20", "Gaffalione, T", "5/9", "11/23/24", "CD",
               "103%", "Hated the soft going"),
            pp("Kowboy Karma-Arklow-Gunite", "2", "122", "1/2", "6-4-2", "1M", "1:34.02",
               "t-g", "90K", "6.00", "Gaffalione, T", "2/8", "10/19/24", "KEE", "99%", "",
               "98.5%"),
            pp("Arklow-Gunite-Far Bridge", "1", "122", "2 3/4", "3-2-1", "1 1/16M",
               "1:40.88", "t-frm", "150K", "*2.40", "Gaffalione, T", "1/9", "09/14/24", "KD",
               "97%", "", "97%"),
        ])
    add(gp_horse(2, "Sun Ray Dancer", 122, "8 2-2-1", "Ch. g. 4 Twirling Candy-Sun Ray",
                 "Reyes, L", "Sano, A", "ML 4/1"), turf, 5)
    add(gp_horse(3, "Charge It Again", 122, "4 1-1-0", "Gr/ro. c. 4 Tapit-Charge Ahead",
                 "Ortiz, I Jr", "Pletcher, T", "ML 5/2"), turf, 4, seed_shift=-1.0)
    add(gp_horse(4, "Far Bridge Too", 122, "13 2-3-3", "B. h. 6 Twirling Candy-Bridge",
                 "Castellano, J", "Mott, W", "ML 6/1"), turf, 7, seed_shift=0.5)
    add(gp_horse(5, "Arklow's Heir", 122, "7 1-1-1", "B. c. 4 Arch-Arklow Lady",
                 "Lezcano, A", "Clement, C", "ML 10/1"), turf, 5, seed_shift=2.0)
    add(gp_horse(6, "Gunite Gold", 122, "9 2-0-3", "Ch. h. 6 Gun Runner-Nite Gold",
                 "Zayas, E", "Asmussen, S", "ML 8/1"), turf, 6, seed_shift=1.0)

    # Race 7: stakes at 1 1/8 miles; a rainy autumn: sloppy, muddy, frozen, wet fast.
    L.append(race(*gp_race(7, "1 1/8M", "Dirt", "Fred W. Hooper Stakes G3", "150K",
                           "3yo&up", "Post 3:29")))
    add(gp_horse(1, "Frozen Assets", 122, "15 4-3-2", "B. h. 6 Frosted-Asset Girl",
                 "Saez, L", "Cox, B", "ML 5/2"),
        literal=[
            pp("Mystik Dan-Just Steel-Skippylongstocking", "2", "122", "1", "3-2-2",
               "1 1/8M", "1:51.02", "d-fzn", "200K", "3.10", "Saez, L", "2/8", "12/21/24",
               "AQU", "99%", "", "98%"),
            pp("Just Steel-Mystik Dan-Echo Again", "1", "122", "3", "1-1-1", "1 1/16M",
               "1:43.88", "d-slo", "150K", "*1.80", "Saez, L", "1/7", "11/30/24", "CD", "97%",
               "", "95%"),
            pp("Skippylongstocking-Just Steel-Zandon", "4", "122", "5", "2-3-4", "1 1/8M",
               "1:50.11", "d-F", "250K", "4.00", "Saez, L", "4/9", "10/26/24", "KEE", "101.5%",
               "", "99%"),
            pp("Zandon-Mystik Dan-Just Steel", "1", "120", "1/2", "4-2-1", "1 1/16M",
               "1:42.70", "d-mud", "175K", "5.60", "Saez, L", "1/8", "09/28/24", "CD", "98%",
               "", "----"),
            pp("Mystik Dan-Zandon-Charge It", "3", "120", "2", "5-4-3", "1 1/8M", "1:49.60",
               "d-wf", "300K", "6.10", "Prat, F", "3/10", "08/31/24", "SAR", "99.5%", "",
               "101%"),
        ])
    add(gp_horse(2, "Skippylongstocking Jr", 122, "11 3-2-2", "B. c. 4 Exaggerator-Skippy",
                 "Ortiz, I Jr", "Joseph, S Jr", "ML 3/1"), route, 6, seed_shift=-2.0)
    add(gp_horse(3, "Steel Curtain", 122, "9 2-2-2", "Ch. c. 4 Justify-Curtain Call",
                 "Gonzalez, E", "Lynch, B", "ML 6/1"), route, 5, seed_shift=-1.0)
    add(gp_horse(4, "Echo Valley", 118, "6 1-1-1", "B. c. 4 Constitution-Echo Valley Road",
                 "Panici, L", "Navarro, J", "ML 12/1"), route, 4, seed_shift=1.0)
    add(gp_horse(5, "Bourbon Bay", 120, "10 2-1-3", "Dk b/br. h. 5 Bourbon War-Bay Bridge",
                 "Castellano, J", "Pletcher, T", "ML 4/1"), mixed, 6, seed_shift=-1.5)

    # Race 8: the big one; purses in millions, one of them above 10M.
    L.append(race(*gp_race(8, "1 1/8M", "Dirt", "Pegasus World Cup G1", "3M", "4yo&up",
                           "Post 5:15")))
    big = Form(96.5, "d", ("1 1/8M", "1 1/4M", "1 1/16M"), ("GP", "SA", "SAR", "CD", "KEE"),
               ("1M", "1.2M", "3M", "7M", "500K"), JOCKEYS_GP + ["Prat, F", "Smith, M"],
               early_missing=0.05, spread=2.5, lbs=(124, 126))
    add(gp_horse(1, "White Abarrio Star", 124, "14 6-2-2", "Gr/ro. h. 6 Race Day-Catching Diamonds",
                 "Ortiz, I Jr", "Joseph, S Jr", "ML 5/2"),
        literal=[
            pp(quoted("Senor Buscador, Forte, Laurel River"), "3", "126", "2 1/4", "4-4-3",
               "1 1/8M", "1:49.50", "d-f", "20M", "7.20", "Ortiz, I Jr", "3/14", "02/24/24",
               "KSA", "97.5%", "Saudi Cup", "98%"),
        ], form=big, n=4, seed_shift=0.0)
    add(gp_horse(2, "Senor Buscador Dos", 124, "16 5-3-4", "B. h. 6 Mineshaft-Senora",
                 "Prat, F", "Jones, T", "ML 6/1"), big, 6, seed_shift=0.5)
    add(gp_horse(3, "Locked Vault", 124, "8 4-1-1", "B. c. 4 Gun Runner-Lock Box",
                 "Castellano, J", "Baffert, B", "ML 9/5"), big, 4, seed_shift=-1.0)
    add(gp_horse(4, "Harbor Lights", 124, "11 3-3-1", "Ch. h. 5 Into Mischief-Harbor Bay",
                 "Smith, M", "Asmussen, S", "ML 8/1"), big, 5, seed_shift=1.0)
    add(gp_horse(5, "Ransom the Moon", 124, "20 7-4-3", "B. h. 7 Malibu Moon-Ransom",
                 "Saez, L", "Cox, B", "ML 4/1"), big, 8, seed_shift=0.0)
    add(gp_horse(6, "Cornerstone", 124, "9 2-2-2", "Dk b/br. c. 4 Curlin-Cornerstone Lady",
                 "Gaffalione, T", "Brown, C", "ML 15/1"), big, 5, seed_shift=2.0)

    # Race 9: cheap sprint across two seasons; two horses tie on their only figure.
    L.append(race(*gp_race(9, "6 1/2F", "Dirt", "Claiming 12.5K", "26K", "4yo&up",
                           "Post 5:50")))
    add(gp_horse(1, "Twin Spires Tom", 122, "22 4-5-3", "B. g. 8 Kantharos-Spire Girl",
                 "Lezcano, A", "Delgado, G", "ML 4/1"),
        literal=[pp("Old Friends-Gold Bar-Tiny Tim", "2", "122", "1", "3-2-2", "6 1/2F",
                    "1:17.40", "d-f", "26K", "4.60", "Lezcano, A", "2/9", "12/28/24", "GP",
                    "101.5%", "", "100.5%")])
    add(gp_horse(2, "Gold Bar", 122, "18 3-3-3", "Ch. g. 7 Goldencents-Bar Tab",
                 "Reyes, L", "Vazquez, R", "ML 3/1"),
        literal=[pp("Old Friends-Twin Spires Tom-Tiny Tim", "3", "122", "1 1/4", "2-3-3",
                    "6 1/2F", "1:17.60", "d-f", "26K", "3.30", "Reyes, L", "3/9", "12/28/24",
                    "GP", "101.5%", "", "100.5%")])
    add(gp_horse(3, "Old Friends", 122, "25 5-4-4", "B. g. 9 Old Fashioned-Best Friend",
                 "Zayas, E", "Joseph, S Jr", "ML 2/1"), sprint, 8, seed_shift=0.5)
    add(gp_horse(4, "Tiny Tim", 118, "12 1-2-2", "Ch. g. 6 Tiz the Law-Tiny Dancer",
                 "Panici, L", "Navarro, J", "ML 6/1"), sprint, 6, seed_shift=1.5)
    add(gp_horse(5, "Winter Haven", 122, "19 2-3-5", "B. g. 7 Kantharos-Winter Song",
                 "Gonzalez, E", quoted("Pletcher, Todd A."), "ML 10/1"),
        literal=[pp("Old Friends-Gold Bar-Tiny Tim", "7", "122", "8 1/4", "6-7-7", "4F",
                    "0:46.90", "d-f", "26K", "18.50", "Gonzalez, E", "7/9", "12/28/24", "GP",
                    "107%", "Eased", "104%")],
        form=sprint, n=5, seed_shift=2.5)
    return L


# --------------------------------------------------------------------------------------------
# bigfield.kel: a 21-horse Derby field (20 and one also-eligible) and an old campaigner with
# 90 starts, whose PPs run back eight years.

DERBY = [
    ("Fierceness Two", "B. c. 3 City of Light-Nonna Bella", "Ortiz, J", "Pletcher, T"),
    ("Sierra Leone Star", "Ch. c. 3 Gun Runner-Heavenly Love", "Rosario, J", "Brown, C"),
    ("Catching Freedom", "B. c. 3 Constitution-Catch My Drift", "Prat, F", "Cox, B"),
    ("Dornoch Castle", "B. c. 3 Good Magic-Puca", "Saez, L", "Stewart, D"),
    ("Stronghold", "Ch. c. 3 Ghostzapper-Peggy Jane", "Dettori, F", "Baffert, B"),
    ("Resilience Road", "Dk b/br. c. 3 Into Mischief-Steady Road", "Castellano, J",
     "Walsh, B"),
    ("Honor Marie", "Dk b/br. c. 3 Honor Code-Rosie's Girl", "Hernandez, J", "Hall, W"),
    ("Just a Touch", "B. c. 3 Justify-Bonus Baby", "Geroux, F", "Cox, B"),
    ("T O Password", "Dk b/br. c. 3 Lord Kanaloa-Perfect Password", "Sakai, K", "Morita, D"),
    ("Track Phantom", "B. c. 3 Gun Runner-Ghost", "Gaffalione, T", "Asmussen, S"),
    ("Domestic Product", "B. c. 3 Maclean's Music-Local Product", "Ortiz, I Jr", "Brown, C"),
    ("Encino", "Gr/ro. c. 3 Nyquist-Heavenly", "Lanerie, C", "Cox, B"),
    ("Grand Mo the First", "B. c. 3 Uncle Mo-Grand Lady", "Zayas, E", "Joseph, S Jr"),
    ("Epic Ride", "Ch. c. 3 Mo Town-Epic Journey", "Hernandez, J", "Ennis, J"),
    ("Society Man", "B. c. 3 Good Magic-Social Queen", "Alvarado, J", "Chaney, D"),
    ("West Saratoga", "B. c. 3 Exaggerator-West Side", "Lopez, J", "Simpson, L"),
    (quoted("Forever Young, Too"), "Ch. c. 3 Real Steel-Forever Shine", "Sakai, R",
     "Yahagi, Y"),
    ("Endlessly Loyal", "B. c. 3 Cairo Prince-Loyal Lass", "Gutierrez, R", "McCarthy, M"),
    ("Mystik Moon", "Gr/ro. c. 3 Hard Spun-Mystic Moon", "Hernandez, B Jr", "Cox, K"),
    ("Catalytic Spark", "B. c. 3 Practical Joke-Spark Plug", "Torres, F", "Lobo, P"),
    ("Also Eligible", "Ch. c. 3 Not This Time-Eligible Lady", "Bravo, J",
     "Abreu, L"),  # also-eligible: the 21st horse
]


def bigfield_card():
    rng = random.Random(20240504)
    L = []
    L.append(race("1", "CD", "05/04/24", "1 1/4M", "Dirt", "Kentucky Derby G1", "5M",
                  "3yo", "Post 6:57"))
    derby = Form(99.0, "ddt", ("1 1/8M", "1 1/16M", "1M", "7F", "6 1/2F", "1 1/16M"),
                 ("CD", "GP", "SA", "FG", "OP", "AQU", "KEE", "TUP", "MEY"),
                 ("1.25M", "1M", "750K", "400K", "150K", "120K"),
                 ["Ortiz, J", "Rosario, J", "Prat, F", "Saez, L", "Castellano, J"],
                 early_missing=0.15, spread=3.0, lbs=(118, 120, 122))
    for i, (name, data, jockey, trainer) in enumerate(DERBY):
        h = [str(i + 1), name, "126", "", data, jockey, trainer, "ML %d/1" % (5 + 3 * i), "L"]
        if i % 4 == 0:
            h.append("b")
        f = Form(derby.base + rng.uniform(-2.5, 3.0), derby.surfaces, derby.dists,
                 derby.tracks, derby.purses, derby.jockeys, derby.early_missing, derby.spread,
                 derby.lbs)
        n = 0 if name == "Also Eligible" else rng.randint(3, 8)
        L.extend(horse_with_pps(h, form_pps(rng, f, n, datetime.date(2024, 5, 4))))

    L.append(race("2", "CD", "05/04/24", "6F", "Dirt", "Claiming 10K", "30K", "4yo&up",
                  "Post 7:40"))
    iron = Form(103.0, "dddt", ("6F", "6 1/2F", "7F", "1M", "5 1/2F", "1 70Y"),
                ("CD", "ELP", "TP", "IND", "HAW", "FG", "DED"),
                ("12K", "16K", "20K", "25K", "30K", "40K"),
                ["Bejarano, R", "Court, J", "Achard, A", "Hernandez, B Jr", "Graham, J"],
                early_missing=0.2, spread=5.0, lbs=(120, 122, 124))
    L.extend(horse_with_pps(
        ["1", "Iron Warrior", "124", "", "B. g. 10 Warrior's Reward-Iron Lady", "Achard, A",
         "Hancock, K", "ML 6/1", "L", "b", "Iron Warrior Stable", "KY"],
        form_pps(rng, iron, 90, datetime.date(2024, 5, 4))))
    for i, (name, data) in enumerate([
            ("Lucky Penny", "Ch. m. 5 Cairo Prince-Lucky Coin"),
            ("Boots and Saddles", "B. g. 6 Flatter-Boots"),
            ("River Runs Deep", "Dk b/br. g. 7 Tapiture-River Song"),
            ("Hot Cross Buns", "B. g. 5 Into Mischief-Sweet Bun"),
            ("Derby Dreamer", "Ch. g. 8 Dialed In-Dreamy")]):
        h = [str(i + 2), name, "122", "", data,
             ["Court, J", "Graham, J", "Bejarano, R", "Achard, A", "Leparoux, J"][i],
             ["Amoss, T", "Romans, D", "Hancock, K", "Asmussen, S", "Maker, M"][i],
             "ML %d/1" % (3 + i)]
        f = Form(iron.base + rng.uniform(-3.0, 3.0), iron.surfaces, iron.dists, iron.tracks,
                 iron.purses, iron.jockeys, iron.early_missing, iron.spread, iron.lbs)
        L.extend(horse_with_pps(h, form_pps(rng, f, rng.randint(6, 14),
                                            datetime.date(2024, 5, 4))))

    L.append(race("3", "CD", "05/04/24", "1 1/16M", "Turf", "Allowance", "1.2M",
                  "3yo&up F&M", "Post 8:15"))
    for i, (name, base) in enumerate([("Tiz a Flirt", 99.0), ("Rose of Derby", 100.5),
                                      ("Spring Fling", 98.0)]):
        h = [str(i + 1), name, "122", "", "B. f. 4 Tapit-Flirty", "Saez, L", "Mott, W",
             "ML %d/1" % (2 + i)]
        f = Form(base, "t", ("1 1/16M", "1M", "1 1/8M"), ("CD", "KEE", "GP"),
                 ("100K", "120K"), ["Saez, L"], spread=2.0)
        L.extend(horse_with_pps(h, form_pps(rng, f, 4, datetime.date(2024, 5, 4))))
    return L


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_card(os.path.join(out, "small.kel"), small_card())
    write_card(os.path.join(out, "gulfstrm.kel"), gulfstream_card())
    write_card(os.path.join(out, "bigfield.kel"), bigfield_card())


if __name__ == "__main__":
    main()
