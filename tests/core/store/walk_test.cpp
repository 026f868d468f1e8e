#include "store/walk.h"

#include <gtest/gtest.h>

#include <vector>

namespace kel {
namespace {

// Races 1 and 2, then race 3 without slot 1; horse (1, 1) with five PPs: PP 3 without slot 1
// (the date), PP 5 without slot 2 (the track).
RaceStore walkedCard()
{
    RaceStore d;
    for (int r = 1; r <= 3; ++r)
        d.set(r, 0, 0, r < 3 ? 1 : 2, "R");
    d.set(1, 1, 0, 1, "1");
    d.set(1, 2, 0, 1, "2");
    for (int p = 1; p <= 5; ++p) {
        d.set(1, 1, p, 1, p == 3 ? "" : "01/02/03");
        d.set(1, 1, p, 2, p == 5 ? "" : "AQU");
    }
    d.set(1, 1, 0, 2, "Nag");
    d.set(1, 1, 0, 4, "after a gap");
    return d;
}

TEST(Walks, EachListEndsAtItsFirstEmptyKeySlot)
{
    const RaceStore d = walkedCard();
    const struct
    {
        int scope;
        std::vector<int> races;
    } kScopes[] = {{0, {1, 2}}, {2, {2}}, {3, {}}, {-1, {}}, {42, {}}};
    for (const auto &c : kScopes) {
        std::vector<int> seen;
        ForEachRace(d, c.scope, [&](int r) { seen.push_back(r); });
        EXPECT_EQ(seen, c.races) << "scope " << c.scope;
    }
    EXPECT_EQ(HorseCount(d, 1), 2);
    EXPECT_EQ(HorseCount(d, 2), 0);

    const struct
    {
        PPEnd end;
        std::vector<int> pps;
    } kEnds[] = {{{1, 100}, {1, 2}}, {{2, 100}, {1, 2, 3, 4}}, {{2, 3}, {1, 2, 3}}, {{2, 0}, {}}};
    for (const auto &c : kEnds) {
        std::vector<int> seen;
        ForEachPP(d, 1, 1, c.end, [&](const PPRef &pp) { seen.push_back(pp.number()); });
        EXPECT_EQ(seen, c.pps) << "key slot " << c.end.keySlot << ", last " << c.end.last;
    }

    // A callback returning false stops the walk there.
    std::vector<int> seen;
    EXPECT_FALSE(ForEachPP(d, 1, 1, {2, 100}, [&](const PPRef &pp) {
        seen.push_back(pp.number());
        return pp.number() < 2;
    }));
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));

    // A record's slots are shown up to the first empty one.
    std::vector<int> slots;
    ForEachSlot(d, 1, 1, 0, RaceStore::kMaxSlot, [&](int s, std::string_view) { slots.push_back(s); });
    EXPECT_EQ(slots, (std::vector<int>{1, 2}));
}

} // namespace
} // namespace kel
