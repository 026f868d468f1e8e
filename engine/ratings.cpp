#include "engine/ratings.h"

#include <charconv>

#include "store/number_text.h"
#include "store/walk.h"

namespace kel {

namespace {

constexpr std::string_view kOrdinal = "\xC2\xBA"; // "º" as the store holds it (UTF-8)

bool isMarked(std::string_view mark)
{
    return mark == kFilterMark || mark == kScratchMark;
}

bool isMissingFigure(std::string_view text)
{
    return text.size() >= 2 && text[0] == '-' && text[1] == '-';
}

char *putInt(char *p, char *end, int v)
{
    return std::to_chars(p, end, v).ptr;
}

std::size_t formatLabel(char (&buf)[24], const HorseRating &r)
{
    char *p = buf;
    char *const end = buf + sizeof buf;
    *p++ = '[';
    *p++ = (r.cls >= 1 && r.cls <= 5) ? static_cast<char>(64 + r.cls) : 'Z';
    *p++ = '-';
    p = putInt(p, end - 1, r.rank);
    *p++ = ']';
    return static_cast<std::size_t>(p - buf);
}

std::size_t formatRecord(char (&buf)[64], const StartRecord &rec)
{
    char *p = buf;
    char *const end = buf + sizeof buf;
    p = putInt(p, end, rec.starts);
    *p++ = ' ';
    p = putInt(p, end, rec.wins);
    *p++ = '-';
    p = putInt(p, end, rec.seconds);
    *p++ = '-';
    p = putInt(p, end, rec.thirds);
    return static_cast<std::size_t>(p - buf);
}

int collectValues(const RaceStore &data, int race, int horse, int ratingSlot, double *out, int maxValues)
{
    int count = 0;
    if (maxValues <= 0)
        return 0;
    ForEachPP(data, race, horse, kRatedPPs, [&](const PPRef &pp) {
        pp.prefetchAhead(4, ratingSlot); // see HorseRecord
        const std::string_view text = pp[ratingSlot];
        if (text.empty())
            return false;
        if (isMarked(pp[kPPMark]) || isMissingFigure(text))
            return true;
        // A text that does not read as a number is a PP without figure, like "----"; so is a
        // negative one, which no race run gives and whose roots have no value.
        const std::optional<double> number = PercentNumber(text);
        if (!number || *number < 0)
            return true;
        out[count++] = *number / 100.0;
        return count < maxValues;
    });
    return count;
}

void rateOneRace(Module1 &m, int race, int ratingSlot)
{
    RaceStore &data = m.Data;

    const int n = HorseCount(data, race);
    if (n == 0)
        return;

    // The figures look at x1..x9 only (and at n only through n >= 1, 2, 6 and min(n, 3, 4, 6, 9)),
    // so nine values give the same figures as the whole series.
    double values[kMaxRaceHorses][kFigureValues];
    std::span<const double> series[kMaxRaceHorses];
    for (int i = 0; i < n; ++i) {
        const int count = collectValues(data, race, i + 1, ratingSlot, values[i], kFigureValues);
        series[i] = std::span<const double>(values[i], static_cast<std::size_t>(count));
    }

    HorseRating ratings[kMaxRaceHorses];
    RateRace(std::span<const std::span<const double>>(series, static_cast<std::size_t>(n)),
             std::span<HorseRating>(ratings, static_cast<std::size_t>(n)));

    const int labelSlot = ratingSlot + 2; // 3 -> 5, 4 -> 6, 5 -> 7
    for (int i = 0; i < n; ++i) {
        const int h = i + 1;
        char label[24];
        data.set(race, h, 0, labelSlot, std::string_view(label, formatLabel(label, ratings[i])));
        if (ratingSlot == kPPFinalKel)
            data.set(race, h, 0, kHorseWinPercent, WinPercent(data, race, h));
        if (ratingSlot == kPPKel) {
            char rec[64];
            data.set(race, h, 0, kHorseRecord, std::string_view(rec, formatRecord(rec, HorseRecord(data, race, h))));
        }
    }
}

} // namespace

int ValueSeries(const RaceStore &data, int race, int horse, int ratingSlot, double *out)
{
    return collectValues(data, race, horse, ratingSlot, out, kMaxRatedPP);
}

int FinishPlace(std::string_view posText)
{
    // A plain loop: the "º" is nearly always the second or third byte.
    std::size_t at = 0;
    const std::size_t last = posText.size() < 2 ? 0 : posText.size() - 1;
    while (at < last && !(posText[at] == kOrdinal[0] && posText[at + 1] == kOrdinal[1]))
        ++at;
    if (at >= last)
        return 0;
    if (at == 1) {
        // The common case, one digit, without PlainNumber's conversion.
        const char c = posText[0];
        return (c >= '1' && c <= '3') ? c - '0' : 0;
    }
    const std::optional<double> place = PlainNumber(posText.substr(0, at));
    if (!place)
        return 0;
    if (*place == 1)
        return 1;
    if (*place == 2)
        return 2;
    if (*place == 3)
        return 3;
    return 0;
}

StartRecord HorseRecord(const RaceStore &data, int race, int horse)
{
    StartRecord rec;
    // The texts read lie in memory the processor rarely holds: asked for some PPs ahead.
    constexpr int kAhead = 12;
    PrefetchPPs(data, race, horse, kAhead - 1, kPPKel);
    PrefetchPPs(data, race, horse, kAhead - 1, kPPPosition);
    ForEachPP(data, race, horse, kRatedPPs, [&](const PPRef &pp) {
        pp.prefetchAhead(kAhead, kPPKel);
        pp.prefetchAhead(kAhead, kPPPosition);
        if (isMarked(pp[kPPMark]) || isMissingFigure(pp[kPPKel]))
            return;
        ++rec.starts;
        switch (FinishPlace(pp[kPPPosition])) {
        case 1:
            ++rec.wins;
            break;
        case 2:
            ++rec.seconds;
            break;
        case 3:
            ++rec.thirds;
            break;
        default:
            break;
        }
    });
    return rec;
}

void ComputeRatings(Module1 &m, int16_t ratingSlot)
{
    if (ratingSlot < kPPKel || ratingSlot > kPPFinalKel)
        return;
    ForEachRace(m.Data, m.CurrentRace, [&](int race) { rateOneRace(m, race, ratingSlot); });
}

void RerunRatings(Module1 &m)
{
    ComputeRatings(m, kPPKel);
    ComputeRatings(m, kPPEarlyKel);
    ComputeRatings(m, kPPFinalKel);
}

} // namespace kel
