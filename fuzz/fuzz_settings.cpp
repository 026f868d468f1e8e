// The Settings frame's texts and "Go!" over a small generated card whose PP texts come from the
// input as well.
//
// Input: lines separated by "\n".
//   line 1: options, one character each: Dirt, Turf, Fast, Muddy check box values ('0' is
//           unchecked), the race Go! covers (digit, '0' = whole card), the generated card.
//   lines 2-6: date, purse from, purse to, distance from, distance to (the frame's texts).
//   then groups of seven lines written into the card's PPs in order: date, distance, track
//   condition, purse, KEL, Early KEL, exclusion mark.
// Every line also goes through each parse on its own. After Go! (twice) comes "Reset data".

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bench/card_generator.h"
#include "engine/open_card.h"
#include "fuzz/card_checks.h"
#include "settings/filter.h"
#include "settings/marks.h"
#include "settings/settings_texts.h"
#include "store/final_kel.h"
#include "store/loader.h"

namespace {

using namespace kel;
using namespace kel::fuzz;

constexpr int kCards = 4;

const std::string &generatedCard(int which)
{
    static const std::array<std::string, kCards> cards = [] {
        std::array<std::string, kCards> out;
        for (int i = 0; i < kCards; ++i) {
            CardShape shape;
            shape.races = 1 + i % 3;
            shape.horses = 3 + i;
            shape.pps = 6;
            shape.ragged = i % 2 == 1;
            out[i] = GenerateCard(0xF022 + i, shape);
        }
        return out;
    }();
    return cards[which % kCards];
}

std::vector<std::string_view> splitLines(std::string_view in)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= in.size()) {
        const std::size_t end = std::min(in.find('\n', start), in.size());
        lines.push_back(in.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void checkNumber(const ValueView &v)
{
    if (v.kind == ValueKind::Number)
        KEL_FUZZ_CHECK(!std::isnan(v.number), "a distance is never NaN");
}

void parseAlone(std::string_view text, std::string_view trackCondition)
{
    KEL_FUZZ_CHECK(!std::isnan(LeadingNumber(text)), "LeadingNumber is never NaN");
    const ShortDate date = ParseShortDate(text);
    KEL_FUZZ_CHECK(!std::isnan(date.year) && !std::isnan(date.month) && !std::isnan(date.day), "a date has numbers");
    if (const auto purse = ParsePurse(text))
        KEL_FUZZ_CHECK(!std::isnan(*purse), "a purse is never NaN");
    const ValueView limit = ParseDistanceView(text, DistanceForm::Limit);
    checkNumber(limit);
    if (limit.kind == ValueKind::Text)
        KEL_FUZZ_CHECK(!limit.text.empty() && limit.text.back() == '0' && text.find(limit.text) != text.npos,
                       "a text limit is the trimmed limit ending in 0");
    const ValueView pp = ParseDistanceView(text, DistanceForm::PP, trackCondition);
    checkNumber(pp);
    if (pp.kind == ValueKind::Text)
        KEL_FUZZ_CHECK(IsPRecord(trackCondition) && pp.text == text, "only a P record keeps its distance text");
    KEL_FUZZ_CHECK(Value(limit).view().kind == limit.kind, "a value keeps its kind");
    (void)ValueLess(limit, pp);
    (void)ValueLess(pp, limit);
    const std::string_view code = ConditionCode(trackCondition, text);
    KEL_FUZZ_CHECK(code.size() <= trackCondition.size(), "the condition code is part of the track condition");
    const std::string fin = FinalKel(text, trackCondition);
    KEL_FUZZ_CHECK(fin == "----" || isComputedFigure(fin), "Final KEL is a finite figure or ----");
}

struct PPRef
{
    int r, h, p;
};

std::vector<PPRef> cardPPs(const RaceStore &d)
{
    std::vector<PPRef> out;
    for (int r = 1; r <= raceCount(d); ++r)
        for (int h = 1; h <= horseCount(d, r); ++h)
            for (int p = 1; p <= RaceStore::kMaxPP && !d(r, h, p, 2).empty(); ++p)
                out.push_back({r, h, p});
    return out;
}

std::vector<std::string> marksOf(const RaceStore &d, const std::vector<PPRef> &pps)
{
    std::vector<std::string> out;
    for (const PPRef &x : pps)
        out.emplace_back(d(x.r, x.h, x.p, 0));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const std::vector<std::string_view> lines
        = splitLines(std::string_view(reinterpret_cast<const char *>(data), size));
    auto line = [&](std::size_t i) { return i < lines.size() ? lines[i] : std::string_view{}; };

    for (std::size_t i = 0; i < lines.size(); ++i)
        parseAlone(lines[i], line(i + 1));

    const std::string_view options = line(0);
    auto option = [&](std::size_t i, char absent) { return i < options.size() ? options[i] : absent; };
    SettingsTexts texts;
    texts.dirt = option(0, '1') - '0';
    texts.turf = option(1, '1') - '0';
    texts.fast = option(2, '1') - '0';
    texts.muddy = option(3, '1') - '0';
    if (lines.size() > 1) {
        texts.date = line(1);
        texts.purseFrom = line(2);
        texts.purseTo = line(3);
        texts.distanceFrom = line(4);
        texts.distanceTo = line(5);
    }

    Module1 m;
    OpenCard(m, generatedCard(static_cast<unsigned char>(option(5, '0'))));
    const std::vector<PPRef> pps = cardPPs(m.Data);
    std::size_t next = 6;
    for (const PPRef &x : pps) {
        if (next + 7 > lines.size())
            break;
        RaceStore &d = m.Data;
        d.set(x.r, x.h, x.p, 1, lines[next]);
        d.set(x.r, x.h, x.p, 7, lines[next + 1]);
        d.set(x.r, x.h, x.p, 9, lines[next + 2]);
        d.set(x.r, x.h, x.p, 10, lines[next + 3]);
        d.set(x.r, x.h, x.p, 3, lines[next + 4]);
        d.set(x.r, x.h, x.p, 4, lines[next + 5]);
        d.set(x.r, x.h, x.p, 5, FinalKel(lines[next + 4], lines[next + 5]));
        d.set(x.r, x.h, x.p, 0, lines[next + 6]);
        next += 7;
    }
    const unsigned char raceOption = static_cast<unsigned char>(option(4, '0'));
    m.CurrentRace = static_cast<int16_t>(raceOption >= '0' && raceOption <= '9' ? raceOption - '0' : raceOption);
    const int16_t scope = m.CurrentRace;

    const std::vector<std::string> before = marksOf(m.Data, pps);
    const bool refusal = !RunGo(m, texts);
    const std::vector<std::string> after = marksOf(m.Data, pps);
    KEL_FUZZ_CHECK(m.CurrentRace == scope, "Go! keeps the current race");
    for (std::size_t i = 0; i < pps.size(); ++i) {
        const bool inScope = scope == 0 || pps[i].r == scope;
        if (refusal || !inScope) {
            KEL_FUZZ_CHECK(after[i] == before[i], "a refused Go! or one for another race marks nothing");
            continue;
        }
        if (before[i] == "S" || before[i] == "F")
            KEL_FUZZ_CHECK(after[i] == before[i], "Go! keeps every mark");
        else
            KEL_FUZZ_CHECK(after[i] == before[i] || after[i] == "F", "Go! only adds the filter mark");
    }
    if (refusal)
        return 0;
    CheckRatedCard(m, scope);

    // A second Go! with the same settings changes nothing.
    KEL_FUZZ_CHECK(RunGo(m, texts).ok(), "the same settings are accepted again");
    KEL_FUZZ_CHECK(marksOf(m.Data, pps) == after, "Go! twice marks what Go! once marked");

    // "Reset data" answered Yes takes every mark of the scope away, scratches included.
    ResetMarks(m, true);
    const std::vector<std::string> reset = marksOf(m.Data, pps);
    for (std::size_t i = 0; i < pps.size(); ++i) {
        const bool inScope = scope == 0 || pps[i].r == scope;
        KEL_FUZZ_CHECK(inScope ? reset[i].empty() : reset[i] == after[i], "reset clears the scope's marks only");
    }
    CheckRatedCard(m, scope);
    return 0;
}
