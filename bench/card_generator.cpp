#include "bench/card_generator.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kel {

namespace {

// splitmix64: tiny, fast, and defined bit for bit, unlike the std distributions.
class SplitMix64
{
public:
    explicit SplitMix64(uint64_t seed) : m_state(seed) {}

    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1; n > 0.
    uint32_t below(uint32_t n) { return uint32_t((uint64_t(uint32_t(next() >> 32)) * n) >> 32); }
    // lo .. hi inclusive.
    int range(int lo, int hi) { return lo + int(below(uint32_t(hi - lo + 1))); }
    bool chance(uint32_t num, uint32_t den) { return below(den) < num; }

    template <class T, std::size_t N>
    const T &pick(const std::array<T, N> &a)
    {
        return a[below(uint32_t(N))];
    }

private:
    uint64_t m_state;
};

// Windows-1252: 0xBA is "º", 0xE9 "é", 0xF1 "ñ". Literals are split after each escape so that
// a following letter cannot extend it.
constexpr std::string_view kOrdinal = "\xBA";

struct Distance
{
    std::string_view text;
    int yards;
};

// clang-format off
constexpr std::array<Distance, 8> kSprints = {{
    {"4 1/2F", 990}, {"5F", 1100}, {"5 1/2F", 1210}, {"6F", 1320},
    {"6 1/2F", 1430}, {"7F", 1540}, {"7 1/2F", 1650}, {"8F", 1760},
}};
constexpr std::array<Distance, 11> kRoutes = {{
    {"1M", 1760}, {"1 40Y", 1800}, {"1 70Y", 1830}, {"8 1/2F", 1870}, {"1 1/16M", 1870},
    {"1 1/8M", 1980}, {"9F", 1980}, {"1 3/16M", 2090}, {"1 1/4M", 2200}, {"1 3/8M", 2420},
    {"1 1/2M", 2640},
}};
// Outside the Settings frame's initial distance limits, or rare anyway.
constexpr std::array<Distance, 5> kRareDistances = {{
    {"4F", 880}, {"2M", 3520}, {"2 1/2M", 4400}, {"2 5/8M", 4620}, {"3M", 5280},
}};

constexpr std::array<std::string_view, 30> kTracks = {
    "AQU", "BEL", "SAR", "CD", "KEE", "GP", "TAM", "FG", "OP", "SA", "DMR", "GG", "PRX", "PEN",
    "LRL", "MTH", "WO", "ELP", "TP", "IND", "HAW", "DED", "CT", "MNR", "EVD", "PIM", "DEL",
    "CNL", "AP", "LS",
};

// Weighted by repetition: fast dirt and firm turf are what most PPs say.
constexpr std::array<std::string_view, 16> kDirtCodes = {
    "f", "f", "f", "f", "f", "f", "g", "wf", "B", "P", "F", "slo", "mud", "fzn", "sy", "f",
};
constexpr std::array<std::string_view, 10> kTurfCodes = {
    "frm", "frm", "frm", "frm", "g", "yl", "H", "f", "sf", "frm",
};
// What follows the "P" of a P record's track condition.
constexpr std::array<std::string_view, 8> kPCodes = {"", "f", "g", "F", " g", "m", "y", "f"};
constexpr std::array<std::string_view, 3> kPDistances = {"F", "M", "Y"};

constexpr std::array<std::string_view, 21> kKPurses = {
    "12K", "12.5K", "16K", "20K", "25K", "30K", "35K", "40K", "50K", "62K", "70K",
    "85K", "100K", "120K", "150K", "200K", "250K", "300K", "400K", "500K", "750K",
};
// 12M and 20M lie above the Settings frame's initial upper purse limit.
constexpr std::array<std::string_view, 9> kMPurses = {
    "1M", "1.25M", "1.5M", "2M", "3M", "5M", "7M", "12M", "20M",
};

struct RaceClass
{
    std::string_view name;
    std::string_view purse;
};
constexpr std::array<RaceClass, 12> kClasses = {{
    {"Maiden Special Weight", "90K"}, {"Maiden Claiming 30K", "35K"}, {"Claiming 16K", "30K"},
    {"Claiming 10K", "22K"}, {"Starter Allowance", "45K"}, {"Allowance", "80K"},
    {"Allowance Optional Claiming 62K", "95K"}, {"Stakes", "150K"}, {"Grade 3", "250K"},
    {"Grade 2", "400K"}, {"Grade 1", "1M"}, {"Grade 1", "3M"},
}};
constexpr std::array<std::string_view, 8> kConditions = {
    "2yo", "3yo", "3yo F", "3yo&up", "3yo&up F&M", "4yo&up", "4yo&up F&M", "3yo&up S",
};

constexpr std::array<std::string_view, 40> kFirstWords = {
    "Royal", "Midnight", "Golden", "Silver", "Lucky", "Iron", "Wild", "Quiet", "Dancing",
    "Flying", "Bold", "Smoky", "Desert", "Southern", "Tiz", "Sassy", "Mystic", "Rocky",
    "Crimson", "Blue", "Saint", "Captain", "Lady", "Sir", "Storm", "Cajun", "Bayou", "Texas",
    "Winning", "Secret", "Ocean", "Hidden", "Brave", "Little", "Big", "Candy", "Summer",
    "Winter", "Gentle", "Ruby",
};
constexpr std::array<std::string_view, 40> kSecondWords = {
    "Thunder", "Dancer", "Arrow", "Legend", "Spirit", "Warrior", "Echo", "Harbor", "Ridge",
    "Sky", "Song", "Dream", "Charm", "Rocket", "Flame", "Tide", "Comet", "Moon", "Rose",
    "Knight", "Jewel", "Canyon", "Ranger", "Prince", "Princess", "Runner", "Gold", "Magic",
    "Glory", "Promise", "Street", "Cat", "Bandit", "Ticket", "Pride", "Breeze", "Valley",
    "Fortune", "Express", "Dawn",
};
constexpr std::array<std::string_view, 20> kSires = {
    "Into Mischief", "Gun Runner", "Tapit", "Curlin", "Uncle Mo", "Justify", "Not This Time",
    "Constitution", "Quality Road", "Munnings", "Good Magic", "Speightstown",
    "Candy Ride (ARG)", "Kitten's Joy", "Medaglia d'Oro", "War Front", "Street Sense",
    "Practical Joke", "Nyquist", "Liam's Map",
};
constexpr std::array<std::string_view, 5> kColours = {"B.", "Ch.", "Dk b/br.", "Gr/ro.", "Blk."};
constexpr std::array<std::string_view, 5> kSexes = {"c.", "f.", "g.", "h.", "m."};

constexpr std::array<std::string_view, 24> kJockeys = {
    "Ortiz, I Jr", "Ortiz, J", "Saez, L", "Rosario, J", "Prat, F", "Castellano, J",
    "Gaffalione, T", "Velazquez, J", "Hernandez, B Jr", "Geroux, F", "Zayas, E", "Lanerie, C",
    "Franco, M", "Carmouche, K", "Alvarado, J", "Smith, M", "Espinoza, V", "Bravo, J",
    "Lopez, P", "Santana, R Jr", "Torres, F", "Cancel, E", "Nu\xF1" "ez, E", "Reyes, L",
};
// Full names as some exports write them: quoted because of the comma.
constexpr std::array<std::string_view, 6> kQuotedJockeys = {
    "\"Ortiz, Jos\xE9" " L.\"", "\"Castellano, Javier\"", "\"Velazquez, John R.\"",
    "\"Nu\xF1" "ez, Edwin\"", "\"Prat, Flavien\"", "\"Rosario, Joel\"",
};
constexpr std::array<std::string_view, 24> kTrainers = {
    "Pletcher, T", "Brown, C", "Cox, B", "Asmussen, S", "Baffert, B", "Mott, W", "Motion, G",
    "Casse, M", "McPeek, K", "Maker, M", "Joseph, S Jr", "Delgado, G", "Navarro, J", "Sano, A",
    "Lynch, B", "Clement, C", "Walsh, B", "Stewart, D", "Jones, T", "Amoss, T", "Romans, D",
    "Hancock, K", "Ward, W", "D'Angelo, J",
};
constexpr std::array<std::string_view, 20> kComments = {
    "", "", "", "", "Bumped start", "Wide trip", "Blinkers on", "Lugged in", "Steadied 3/8",
    "Rail trip", "Lasix 1st", "Game try", "Drew clear", "Green", "Checked 1/4", "Set pace",
    "Closed well", "Eased", "Off slow", "4 wide turn",
};
constexpr std::array<std::string_view, 10> kOdds = {
    "*1.40", "*2.10", "3.50", "4.80", "6.20", "8.90", "12.40", "19.70", "31.00", "45.50",
};
constexpr std::array<std::string_view, 17> kLengths = {
    "nose", "head", "neck", "1/2", "3/4", "1", "1 1/4", "1 1/2", "2", "2 1/2", "3 1/4", "4",
    "5 1/2", "7", "9 3/4", "12", "18 1/4",
};
// clang-format on

// Days since 1970-01-01 and back (proleptic Gregorian).
int64_t daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int &y, int &m, int &d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

void appendInt(std::string &out, int64_t v)
{
    if (v < 0) {
        out += '-';
        v = -v;
    }
    char buf[24];
    int n = 0;
    do {
        buf[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    while (n)
        out += buf[--n];
}

void appendTwoDigits(std::string &out, int v)
{
    out += char('0' + v / 10 % 10);
    out += char('0' + v % 10);
}

void appendDate(std::string &out, int64_t days)
{
    int y, m, d;
    civilFromDays(days, y, m, d);
    appendTwoDigits(out, m);
    out += '/';
    appendTwoDigits(out, d);
    out += '/';
    appendTwoDigits(out, y % 100);
}

// A figure kept in half percent: 195 is "97.5%".
void appendFigure(std::string &out, int halves)
{
    appendInt(out, halves / 2);
    if (halves % 2)
        out += ".5";
    out += '%';
}

void appendTime(std::string &out, int hundredths)
{
    appendInt(out, hundredths / 6000);
    out += ':';
    appendTwoDigits(out, hundredths / 100 % 60);
    out += '.';
    appendTwoDigits(out, hundredths % 100);
}

void field(std::string &out, std::string_view text)
{
    out += text;
    out += ';';
}

void endLine(std::string &out, char tag)
{
    out += tag;
    out += ";\r\n";
}

void appendName(std::string &out, SplitMix64 &rng)
{
    out += rng.pick(kFirstWords);
    out += ' ';
    out += rng.pick(kSecondWords);
}

// What decides a horse's figures, kept apart from the rest of its PPs so that a twin can
// repeat them exactly.
struct FigureStream
{
    uint64_t seed = 0;
    int base = 200; // half percent
    bool noFigures = false;
};

struct PPFigures
{
    int kel = 0; // half percent
    int early = 0;
    bool kelMissing = false;
    bool earlyField = true;    // false: the line stops after field 14
    bool earlyMissing = false; // field 15 is "----"
};

PPFigures nextFigures(SplitMix64 &fig, const FigureStream &fs)
{
    PPFigures f;
    f.kel = std::max(160, fs.base + fig.range(-6, 6));
    f.early = std::max(160, f.kel + fig.range(-6, 6));
    f.kelMissing = fs.noFigures || fig.chance(1, 60);
    const uint32_t e = fig.below(100);
    f.earlyField = e >= 7;
    f.earlyMissing = e >= 7 && e < 12;
    return f;
}

class CardWriter
{
public:
    CardWriter(uint64_t seed, const CardShape &shape) : m_rng(seed), m_shape(shape)
    {
        m_shape.races = std::clamp(m_shape.races, 0, CardShape::kMaxRaces);
        m_shape.horses = std::clamp(m_shape.horses, 0, CardShape::kMaxHorses);
        m_shape.pps = std::clamp(m_shape.pps, 0, CardShape::kMaxPPs);
        const int year = 1999 + m_rng.range(0, 26);
        m_cardDay = daysFromCivil(year, m_rng.range(1, 12), m_rng.range(1, 28));
    }

    std::string write()
    {
        const std::size_t perPP = 160;
        m_out.reserve(std::size_t(m_shape.races) * m_shape.horses * (m_shape.pps * perPP + 120));
        m_track = m_rng.pick(kTracks);
        for (int r = 1; r <= m_shape.races; ++r)
            writeRace(r);
        return std::move(m_out);
    }

private:
    void writeRace(int r);
    void writeHorse(int h, int ppCount, const FigureStream &fs, bool turfRace);
    void writePP(SplitMix64 &fig, const FigureStream &fs, bool turfHorse, int64_t day);

    SplitMix64 m_rng;
    CardShape m_shape;
    int64_t m_cardDay = 0;
    std::string_view m_track;
    std::string m_out;
    std::string m_pps; // PP lines of the horse being written
    int m_starts = 0;
    int m_places[4] = {};
};

void CardWriter::writeRace(int r)
{
    std::string &o = m_out;
    const bool turf = m_rng.chance(1, 4);
    const Distance &d = m_rng.chance(1, 2) ? m_rng.pick(kSprints) : m_rng.pick(kRoutes);
    const RaceClass &c = m_rng.pick(kClasses);
    appendInt(o, r);
    o += ';';
    field(o, m_track);
    appendDate(o, m_cardDay);
    o += ';';
    field(o, d.text);
    field(o, turf ? "Turf" : "Dirt");
    field(o, c.name);
    field(o, c.purse);
    field(o, m_rng.pick(kConditions));
    const int minutes = 12 * 60 + 20 + 30 * (r - 1);
    o += "Post ";
    appendInt(o, (minutes / 60 - 1) % 12 + 1);
    o += ':';
    appendTwoDigits(o, minutes % 60);
    o += ';';
    endLine(o, 'A');

    int horses = m_shape.horses;
    if (m_shape.ragged)
        horses = m_rng.chance(1, 30) ? 0 : m_rng.range(std::min(1, horses), horses);
    // Now and then the last horse repeats the first one's figures: a tie in every measure.
    const bool twins = horses >= 2 && m_rng.chance(1, 6);
    // Fields are matched by class: horses lie within a few percent of the race's level.
    const int level = m_rng.range(192, 210);
    FigureStream first;
    int firstCount = 0;
    for (int h = 1; h <= horses; ++h) {
        FigureStream fs;
        fs.seed = m_rng.next();
        fs.base = level + m_rng.range(-4, 4);
        fs.noFigures = m_rng.chance(1, 40);
        int count = m_shape.pps;
        if (m_shape.ragged)
            count = m_rng.chance(1, 12) ? 0 : m_rng.range(0, m_shape.pps);
        if (h == 1) {
            first = fs;
            firstCount = count;
        } else if (twins && h == horses) {
            fs = first;
            count = firstCount;
        }
        writeHorse(h, count, fs, turf);
    }
}

void CardWriter::writeHorse(int h, int ppCount, const FigureStream &fs, bool turfRace)
{
    m_pps.clear();
    m_starts = 0;
    std::fill(std::begin(m_places), std::end(m_places), 0);
    SplitMix64 fig(fs.seed);
    const bool turfHorse = turfRace ? !m_rng.chance(1, 5) : m_rng.chance(1, 6);
    int64_t day = m_cardDay;
    for (int p = 1; p <= ppCount; ++p) {
        day -= m_rng.range(7, 63);
        writePP(fig, fs, turfHorse, day);
    }

    std::string &o = m_out;
    appendInt(o, h);
    o += ';';
    if (m_rng.chance(1, 50)) {
        o += '"';
        appendName(o, m_rng);
        o += ", Too\";";
    } else {
        appendName(o, m_rng);
        o += ';';
    }
    appendInt(o, m_rng.range(116, 126));
    o += ';';
    appendInt(o, m_starts);
    o += ' ';
    appendInt(o, m_places[1]);
    o += '-';
    appendInt(o, m_places[2]);
    o += '-';
    appendInt(o, m_places[3]);
    o += ';';
    const int age = std::min(12, 2 + ppCount / 12 + m_rng.range(0, 3));
    o += m_rng.pick(kColours);
    o += ' ';
    o += m_rng.pick(kSexes);
    o += ' ';
    appendInt(o, age);
    o += ' ';
    o += m_rng.pick(kSires);
    o += '-';
    appendName(o, m_rng);
    o += ';';
    field(o, m_rng.chance(1, 10) ? m_rng.pick(kQuotedJockeys) : m_rng.pick(kJockeys));
    field(o, m_rng.pick(kTrainers));
    o += "ML ";
    appendInt(o, m_rng.range(1, 30));
    o += "/1;L;";
    if (m_rng.chance(1, 3))
        o += "b;";
    endLine(o, 'B');
    o += m_pps;
}

void CardWriter::writePP(SplitMix64 &fig, const FigureStream &fs, bool turfHorse, int64_t day)
{
    const PPFigures f = nextFigures(fig, fs);
    SplitMix64 &rng = m_rng;
    std::string &o = m_pps;

    const bool pRecord = rng.chance(1, 50);
    const bool turf = turfHorse ? !rng.chance(1, 4) : rng.chance(1, 8);
    const uint32_t kind = rng.below(20);
    const Distance &d = kind == 0 ? rng.pick(kRareDistances) : kind < 10 ? rng.pick(kSprints) : rng.pick(kRoutes);
    const int starters = rng.range(5, 12);
    // Better figures (lower) finish closer to the front.
    const int rel = std::clamp(f.kel - fs.base + 7 + rng.range(-5, 5), 0, 20);
    const int pos = std::clamp(1 + rel * starters / 21, 1, starters);

    // 1: other horses.
    if (rng.chance(1, 8)) {
        o += '"';
        appendName(o, rng);
        o += ", ";
        appendName(o, rng);
        o += ", ";
        appendName(o, rng);
        o += "\";";
    } else {
        appendName(o, rng);
        o += '-';
        appendName(o, rng);
        o += '-';
        appendName(o, rng);
        o += ';';
    }
    // 2: position, weight and lengths.
    appendInt(o, pos);
    o += kOrdinal;
    o += ' ';
    appendInt(o, rng.range(116, 126));
    o += " (";
    o += kLengths[std::min<std::size_t>(kLengths.size() - 1, rng.below(6) + 2 * (pos - 1))];
    o += ");";
    // 3: calls, ending with the finish.
    const int calls = rng.range(2, 3);
    for (int i = 0; i < calls; ++i) {
        appendInt(o, rng.range(1, starters));
        o += '-';
    }
    appendInt(o, pos);
    o += ';';
    // 4: distance.
    if (pRecord && !rng.chance(1, 4))
        field(o, rng.pick(kPDistances));
    else
        field(o, d.text);
    // 5: time.
    appendTime(o, d.yards * (turf ? 1190 : 1215) / 220 + rng.range(-80, 160));
    o += ';';
    // 6: track condition.
    if (pRecord) {
        o += 'P';
        o += rng.pick(kPCodes);
    } else {
        o += turf ? "t-" : "d-";
        o += turf ? rng.pick(kTurfCodes) : rng.pick(kDirtCodes);
    }
    o += ';';
    // 7: purse.
    field(o, rng.chance(1, 30) ? rng.pick(kMPurses) : rng.pick(kKPurses));
    // 8: odds; 9: jockey.
    field(o, rng.pick(kOdds));
    field(o, rng.chance(1, 12) ? rng.pick(kQuotedJockeys) : rng.pick(kJockeys));
    // 10: finish and field size.
    appendInt(o, pos);
    o += '/';
    appendInt(o, starters);
    o += ';';
    // 11: date; 12: track.
    appendDate(o, day);
    o += ';';
    field(o, rng.chance(3, 4) ? m_track : rng.pick(kTracks));
    // 13: KEL; 14: comment.
    if (f.kelMissing)
        o += "----";
    else
        appendFigure(o, f.kel);
    o += ';';
    field(o, rng.pick(kComments));
    // 15: early KEL; 16, 17: fields the program does not read.
    if (f.earlyField) {
        if (f.earlyMissing)
            o += "----";
        else
            appendFigure(o, f.early);
        o += ';';
        if (rng.chance(1, 20)) {
            o += "Beyer ";
            appendInt(o, rng.range(55, 110));
            o += ';';
            if (rng.chance(1, 2))
                field(o, rng.chance(1, 2) ? "L" : "Lb");
        }
    }
    endLine(o, 'C');

    if (!f.kelMissing) {
        ++m_starts;
        if (pos <= 3)
            ++m_places[pos];
    }
}

} // namespace

std::string GenerateCard(uint64_t seed, const CardShape &shape)
{
    return CardWriter(seed, shape).write();
}

} // namespace kel
