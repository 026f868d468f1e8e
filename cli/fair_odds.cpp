#include "cli/fair_odds.h"

#include <charconv>
#include <cstdint>
#include <optional>

#include "store/number_text.h"
#include "store/walk.h"

namespace kel {

namespace {

// "% W" as a whole number; nothing for "n/a" or anything else that is not plain digits.
std::optional<int64_t> winNumber(std::string_view text)
{
    int64_t n = 0;
    const char *end = text.data() + text.size();
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::from_chars(text.data(), end, n);
    return n;
}

// num / den (den > 0, num >= 0) in tenths, a half rounded to the even neighbour, with one decimal.
std::string tenths(int64_t num, int64_t den)
{
    int64_t t = 10 * num / den;
    const int64_t twiceRest = 2 * (10 * num % den);
    if (twiceRest > den || (twiceRest == den && t % 2 == 1))
        ++t;
    return DecimalText(t / 10) + '.' + static_cast<char>('0' + t % 10);
}

} // namespace

std::vector<FairOdds> RaceFairOdds(const RaceStore &d, int r)
{
    std::vector<std::optional<int64_t>> win;
    int64_t sum = 0;
    ForEachHorse(d, r, [&](int h) {
        const bool scratched = IsScratched(d, r, h);
        win.push_back(scratched ? std::nullopt : winNumber(d(r, h, 0, kHorseWinPercent)));
        sum += win.back().value_or(0);
    });
    std::vector<FairOdds> out(win.size());
    if (sum == 0)
        return out;
    for (std::size_t i = 0; i < win.size(); ++i) {
        if (!win[i])
            continue;
        out[i].share = tenths(100 * *win[i], sum);
        // A horse of "% W" 0 would have no odds: none is ever rated so.
        if (*win[i] > 0)
            out[i].fairOdds = tenths(sum - *win[i], *win[i]);
    }
    return out;
}

} // namespace kel
