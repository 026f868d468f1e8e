"""Checks the plain model against the worked examples before it is trusted as a reference."""
import kel_model as k

WORKED = [1.02, 0.99, 1.01, 1.00, 1.03, 0.98, 1.05]


def close(a, b):
    return abs(a - b) < 5e-7


def run():
    c, r, b6, g = k.measures(WORKED)
    assert close(c, 0.992898) and close(r, 0.994987) and close(b6, 0.986) and close(g, 0.993942), (c, r, b6, g)
    race = [WORKED, [1.00, 1.01], [0.97], [], [1.04, 1.06, 1.02]]
    got = k.rate_race(race)
    assert got == [(4, 2), (5, 3), (1, 1), (99, 99), (5, 4)], got
    assert k.rate_race([[1.0], [1.0]]) == [(1, 2), (1, 1)]
    for labels, want in ((("[A-1]", "[A-1]", "[A-1]"), "34"), (("[A-1]", "[B-2]", "[A-1]"), "32"),
                         (("[B-3]", "[B-3]", "[B-3]"), "18"), (("[A-1]", "[Z-99]", "[A-1]"), "n/a"),
                         (("[Z-99]", "[Z-99]", "[Z-99]"), "8")):
        assert k.win_percent(*labels) == want, (labels, k.win_percent(*labels))
    assert k.win_score(500, 3, 1, 3, 1, 1) == "6" and k.win_score(500, 3, 3, 3, 1, 1) == "6"
    assert k.win_score(600, 2, 3, 3, 1, 1) == "9"
    assert k.final_kel("97.3%", "95.1%") == "99.5%" and k.final_kel("97%", "98.5%") == "95.5%"
    assert k.parse_distance("4 1/2F", True) == 4.5 and k.parse_distance("1 70Y", True) == 1054.6875
    assert k.parse_purse("10M") == 10000 and k.short_date("12/31/99") == (99, 12, 31)


if __name__ == "__main__":
    run()
    print("model self-test passed")
