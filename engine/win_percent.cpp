#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/ratings.h"

namespace kel {

namespace {

constexpr const char *kNotAvailable = "n/a";

bool readLabel(std::string_view label, int &letter, int &rank)
{
    if (label.size() < 5)
        return false;
    const char c = label[1];
    if (c < 'A' || c > 'Z')
        return false;
    letter = c - 64;
    const std::string_view digits = label.substr(3, label.size() - 4);
    if (digits.empty() || digits.size() > 5)
        return false;
    int value = 0;
    for (char d : digits) {
        if (d < '0' || d > '9')
            return false;
        value = value * 10 + (d - '0');
    }
    if (value > std::numeric_limits<int16_t>::max())
        return false;
    rank = value;
    return true;
}

bool fits16(int v)
{
    return v >= std::numeric_limits<int16_t>::min() && v <= std::numeric_limits<int16_t>::max();
}

bool tenfold(int rank)
{
    return rank % 10 == 0 && rank != 10;
}

const char *scoreText(int S, int PQ, int PE, int PF, int NQ, int NE)
{
    if (NE < 99) {
        if (S <= 1)
            return "34";
        if (S == 2)
            return "32";
        if (S == 3)
            return "26";
        if (S == 4)
            return "25";
        if (S <= 15)
            return "23";
        if (S <= 25)
            return "20";
        if (S <= 40)
            return "18";
        if (S <= 80)
            return "14";
        if (S <= 160)
            return "12";
        if (S <= 320)
            return "9";
        if (S <= 500 && (PQ == 1 || PE == 1 || PF == 1))
            return "6";
        if (S <= 650 && (PQ <= 2 || PE <= 2 || PF <= 2))
            return "9";
        if (S <= 800)
            return "6";
        if (S <= 950)
            return "5";
        if (S < 1050)
            return "3";
        if (S < 1200)
            return "2";
        if (S < 7777)
            return "1";
    }
    if (NQ == 99)
        return "8";
    if (NE == 99)
        return kNotAvailable;
    return "8";
}

} // namespace

int RoundHalfEven(int a, int b)
{
    // a / b is the exact quotient rounded once; a half (k + 0.5) is exact in binary, so the
    // default to-nearest-even mode of nearbyint rounds it to the even neighbour.
    return static_cast<int>(std::nearbyint(static_cast<double>(a) / b));
}

std::string WinScore(int S, int PQ, int PE, int PF, int NQ, int NE)
{
    return scoreText(S, PQ, PE, PF, NQ, NE);
}

std::string WinPercentFromLabels(std::string_view qualy, std::string_view early, std::string_view final)
{
    int LQ = 0, NQ = 0, LE = 0, NE = 0, LF = 0, NF = 0;
    if (!readLabel(qualy, LQ, NQ) || !readLabel(early, LE, NE) || !readLabel(final, LF, NF))
        return kNotAvailable;
    int PQ = LQ * NQ;
    int PE = LE * NE;
    const int PF = LF * NF;
    if (!fits16(PQ) || !fits16(PE) || !fits16(PF))
        return kNotAvailable;

    if (tenfold(NQ))
        PQ = RoundHalfEven(PQ, 80);
    if (tenfold(NE))
        PE = RoundHalfEven(PE, 90);

    const double q = PQ;
    const double product = ((q * q) * PE) * PF;
    const int S = static_cast<int>(std::floor(std::sqrt(product) + 0.99));
    return scoreText(S, PQ, PE, PF, NQ, NE);
}

std::string WinPercent(const RaceStore &data, int race, int horse)
{
    return WinPercentFromLabels(data(race, horse, 0, kHorseQualy), data(race, horse, 0, kHorseEarly),
                                data(race, horse, 0, kHorseFinal));
}

} // namespace kel
