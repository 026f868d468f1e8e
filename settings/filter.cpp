#include "settings/filter.h"

#include <array>

#include "engine/ratings.h"
#include "settings/scope.h"

namespace kel {

namespace {

constexpr std::array<std::string_view, 6> kFastGoodCodes = {"f", "g", "wf", "B", "H", "frm"};
constexpr std::array<std::string_view, 6> kMuddySloppyCodes = {"slo", "mud", "yl", "P", "F", "fzn"};

template <std::size_t N>
bool isOneOf(std::string_view code, const std::array<std::string_view, N> &codes)
{
    for (std::string_view c : codes)
        if (code == c)
            return true;
    return false;
}

bool earlierThanSince(const ShortDate &d, const FilterSettings &s)
{
    if (d.year != s.sinceYear)
        return d.year < s.sinceYear;
    if (d.month != s.sinceMonth)
        return d.month < s.sinceMonth;
    return d.day < s.sinceDay;
}

} // namespace

FilterSettings MakeFilterSettings(const SettingsTexts &texts)
{
    FilterSettings s;
    const ShortDate since = ParseShortDate(texts.date);
    s.sinceYear = since.year;
    s.sinceMonth = since.month;
    s.sinceDay = since.day;
    s.dateTextLength = CharLength(texts.date);
    // Only an unchecked box (0) leaves its races out; greyed counts as checked.
    s.includeDirt = texts.dirt != 0;
    s.includeTurf = texts.turf != 0;
    s.includeFastGood = texts.fast != 0;
    s.includeMuddySloppy = texts.muddy != 0;
    s.purseFrom = ParsePurse(texts.purseFrom);
    s.purseTo = ParsePurse(texts.purseTo);
    s.distanceFrom = ParseDistance(texts.distanceFrom, DistanceForm::Limit);
    s.distanceTo = ParseDistance(texts.distanceTo, DistanceForm::Limit);
    return s;
}

std::optional<std::string_view> CheckFilterSettings(const Module1 &m, const FilterSettings &s)
{
    // A longer text than the window's box takes would be read by position as another date.
    if (s.dateTextLength > kDateTextLength || (s.dateTextLength < kDateTextLength && ScopeHasPP(m)))
        return kDateMessage;
    // A limit that reads as nothing would filter by chance; refuse it before any mark.
    if (!s.purseFrom || !s.purseTo)
        return kPurseMessage;
    if (!s.distanceFrom.hasValue() || !s.distanceTo.hasValue())
        return kDistanceMessage;
    return std::nullopt;
}

ConditionGroup ConditionGroupOf(std::string_view code)
{
    if (isOneOf(code, kFastGoodCodes))
        return ConditionGroup::FastGood;
    if (isOneOf(code, kMuddySloppyCodes))
        return ConditionGroup::MuddySloppy;
    return ConditionGroup::None;
}

std::string_view ConditionCode(std::string_view trackCondition, std::string_view distance)
{
    const std::string_view t = trackCondition;
    if (IsPRecord(t))
        return TrimBlanks(MidText(t, 2, 2));
    if (!distance.empty() && distance.front() == 'P')
        return TrimBlanks(MidText(t, 2, 7));
    const auto dash = t.find('-');
    if (dash == std::string_view::npos)
        return {};
    return TrimBlanks(MidText(t.substr(dash + 1), 1, 6));
}

bool FailsFilter(const RaceStore &d, int r, int h, int p, const FilterSettings &s)
{
    if (earlierThanSince(ParseShortDate(d(r, h, p, kPPDate)), s))
        return true;

    const std::string_view cond = d(r, h, p, kPPCondition);
    const char surface = cond.empty() ? '\0' : cond.front();
    if (!s.includeDirt && (surface == 'd' || surface == 'P'))
        return true;
    if (!s.includeTurf && surface == 't')
        return true;

    const std::string_view distance = d(r, h, p, kPPDistance);
    if (!s.includeFastGood || !s.includeMuddySloppy) {
        const ConditionGroup group = ConditionGroupOf(ConditionCode(cond, distance));
        if (!s.includeFastGood && group == ConditionGroup::FastGood)
            return true;
        if (!s.includeMuddySloppy && group == ConditionGroup::MuddySloppy)
            return true;
    }

    const bool pRecord = IsPRecord(cond);
    if (!pRecord) {
        // A purse that reads as nothing is not evidence against the PP.
        if (const auto v = ParsePurse(d(r, h, p, kPPPurse))) {
            if ((s.purseFrom && *v < *s.purseFrom) || (s.purseTo && *v > *s.purseTo))
                return true;
        }
    }

    const ValueView v = ParseDistanceView(distance, DistanceForm::PP, cond);
    return ValueLess(v, s.distanceFrom.view()) || ValueLess(s.distanceTo.view(), v);
}

void MarkFilteredPPs(Module1 &m, const FilterSettings &s)
{
    RaceStore &d = m.Data;
    ForEachScopeHorse(m, [&](int r, int h) {
        ForEachPP(d, r, h, kMarkedPPs, [&](const PPRef &pp) {
            const std::string_view mark = pp[kPPMark];
            if (mark != kScratchMark && mark != kFilterMark && FailsFilter(d, r, h, pp.number(), s))
                d.set(r, h, pp.number(), kPPMark, kFilterMark);
        });
    });
}

Result<void> RunGo(Module1 &m, const SettingsTexts &texts)
{
    const FilterSettings s = MakeFilterSettings(texts);
    if (const auto refusal = CheckFilterSettings(m, s))
        return Error{std::string(*refusal)};
    MarkFilteredPPs(m, s);
    const std::string summary = FilterSummary(texts);
    ForEachRace(m.Data, m.CurrentRace, [&](int r) {
        FilterNote &note = m.filterNotes[static_cast<std::size_t>(r)];
        if (!note.settings.empty() && note.settings != summary)
            ++note.earlier;
        note.settings = summary;
    });
    RerunRatings(m);
    return {};
}

std::string FilterSummary(const SettingsTexts &t)
{
    const SettingsTexts initial;
    std::string s = "since " + t.date;
    for (const auto &[value, left] :
         {std::pair{t.dirt, "dirt"}, {t.turf, "turf"}, {t.fast, "fast/good"}, {t.muddy, "muddy/sloppy"}})
        if (value == 0)
            s.append(", no ").append(left);
    if (t.purseFrom != initial.purseFrom || t.purseTo != initial.purseTo)
        s += ", purse " + t.purseFrom + " to " + t.purseTo;
    if (t.distanceFrom != initial.distanceFrom || t.distanceTo != initial.distanceTo)
        s += ", distance " + t.distanceFrom + " to " + t.distanceTo;
    return s;
}

} // namespace kel
