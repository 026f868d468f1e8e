#include "store/loader.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <array>
#include <bit>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <filesystem>

#include "store/percent.h"

namespace kel {

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; the five undefined ones keep their C1 value.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Where lines of each kind land.
constexpr int kHorseSlotOfField[15] = {0, 1, 2, 3, 4, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
constexpr int kPPSlotOfField[16] = {0, 12, 6, 15, 7, 8, 9, 10, 14, 13, 11, 1, 2, 3, 16, 4};
constexpr int kMaxRaceFields = 17;
constexpr int kMaxHorseFields = 14;
constexpr int kMaxPPFields = 17;
constexpr std::size_t kMaxNotes = 1000;
constexpr std::size_t kMaxRecords = std::size_t(RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1) * (RaceStore::kMaxPP + 1);

// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates or code points
// past U+10FFFF.
bool isUtf8(std::string_view bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        std::size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF; // range of the second byte
        if (c < 0x80)
            len = 1;
        else if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else
            return false;
        if (len > n - i)
            return false;
        for (std::size_t k = 1; k < len; ++k) {
            const unsigned char b = s[i + k];
            if (k == 1 ? (b < lo || b > hi) : (b & 0xC0) != 0x80)
                return false;
        }
        i += len;
    }
    return true;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// UTF-8 bytes of one Windows-1252 byte of 0x80 or more, written at out; returns their count.
inline int encodeHigh(unsigned char c, char *out)
{
    const char16_t cp = c < 0xA0 ? kHighTable[c - 0x80] : char16_t(c);
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(0xE0 | (cp >> 12));
    out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
}

// A figure such as "97.5%" in millionths, when the number in front of its last character is a
// plain decimal of at most nine integer and six fraction digits; otherwise false.
bool figureMillionths(std::string_view text, int64_t &out)
{
    if (text.size() < 2)
        return false;
    const std::string_view t = text.substr(0, text.size() - 1);
    std::size_t i = 0;
    const bool negative = t[0] == '-';
    if (t[0] == '-' || t[0] == '+')
        ++i;
    int64_t v = 0;
    int whole = 0;
    int fraction = -1; // digits after the point; -1 before it
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            if (fraction >= 0 ? ++fraction > 6 : ++whole > 9)
                return false;
            v = v * 10 + (c - '0');
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            return false;
        }
    }
    if (whole + (fraction > 0 ? fraction : 0) == 0)
        return false;
    for (int f = fraction < 0 ? 0 : fraction; f < 6; ++f)
        v *= 10;
    out = negative ? -v : v;
    return true;
}


// The Final KEL text of 2 * kel - early into buf (room for 40 bytes); returns its length.
std::size_t finalKelText(std::string_view kel, std::string_view early, char *buf)
{
    constexpr std::string_view kMissing = "----";
    if (early != kMissing) {
        // Decimal figures give an exact decimal result: no binary tail, and no printf on the way.
        int64_t a = 0;
        int64_t b = 0;
        if (figureMillionths(kel, a) && figureMillionths(early, b)) {
            const int64_t r = 2 * a - b;
            const uint64_t mag = r < 0 ? uint64_t(-r) : uint64_t(r);
            // Within 15 significant digits and above 0.0001, where the general form has no exponent.
            if (r == 0 || (mag >= 100 && mag < 1000000000000000ull)) {
                char *p = buf;
                if (r < 0)
                    *p++ = '-';
                p = std::to_chars(p, buf + 32, mag / 1000000).ptr;
                if (uint64_t frac = mag % 1000000) {
                    *p++ = '.';
                    for (int d = 100000; d > 0 && frac; d /= 10) {
                        *p++ = static_cast<char>('0' + frac / d);
                        frac %= d;
                    }
                }
                *p++ = '%';
                return static_cast<std::size_t>(p - buf);
            }
        }
        const auto x = PercentNumber(kel);
        const auto y = PercentNumber(early);
        if (x && y) {
            const std::string text = GeneralNumber(2 * *x - *y);
            std::memcpy(buf, text.data(), text.size());
            buf[text.size()] = '%';
            return text.size() + 1;
        }
    }
    std::memcpy(buf, kMissing.data(), kMissing.size());
    return kMissing.size();
}


// Files the lines of a card into the store in one pass over its bytes: the same work as
// finding every line end and separator, plus one cell write per field. Fields refer to the
// adopted file text; only fields holding Windows-1252 high bytes (mostly "º") are decoded.
class CardFiler
{
public:
    CardFiler(RaceStore &store, LoadReport &report, std::string_view text, bool utf8)
        : m_store(store), m_report(report), m_text(text), m_utf8(utf8)
    {
    }

    void run();

private:
    // Separator positions kept per line: more than any record holds fields.
    static constexpr int kKeptSeparators = 20;

    struct Line
    {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::size_t separators = 0; // all of the line's ";"
        std::size_t last = 0;       // positions of its last two ";"
        std::size_t beforeLast = 0;
        uint32_t highFields = 0;    // bit k - 1: field k holds a high byte
        std::size_t at[kKeptSeparators];
    };

    std::size_t scanLine(std::size_t pos, Line &line);
    bool take(std::size_t i, unsigned char c, Line &line);
    void fileLine(const Line &line, int lineNo);
    void setField(int slot, std::size_t begin, std::size_t end, bool high);

    void note(int lineNo, std::string what)
    {
        ++m_report.droppedCount;
        if (m_report.dropped.size() < kMaxNotes)
            m_report.dropped.push_back({lineNo, std::move(what)});
    }

    RaceStore &m_store;
    LoadReport &m_report;
    std::string_view m_text;
    bool m_utf8;
    std::string m_decoded;
    int m_r = 0;
    int m_h = 0;
    int m_p = 1;
    bool m_raceSkipped = false;
    bool m_horseSkipped = false;
    int32_t m_rec = -1;
};

// Notes the separator or high byte at i of the line; false at a line end.
inline bool CardFiler::take(std::size_t i, unsigned char c, Line &line)
{
    if (c == ';') {
        if (line.separators < kKeptSeparators)
            line.at[line.separators] = i;
        ++line.separators;
        line.beforeLast = line.last;
        line.last = i;
        return true;
    }
    if (c == '\n' || c == '\r')
        return false;
    if (c >= 0x80 && !m_utf8)
        line.highFields |= 1u << std::min<std::size_t>(line.separators, 31);
    return true;
}

// The end of the line that starts at pos, with its separators and high bytes noted.
std::size_t CardFiler::scanLine(std::size_t pos, Line &line)
{
    const auto *s = reinterpret_cast<const unsigned char *>(m_text.data());
    const std::size_t n = m_text.size();
    std::size_t i = pos;
#ifdef __SSE2__
    // Sixteen bytes at a time: a field is some seven bytes long, so most blocks hold one or two
    // bytes of interest, visited through the compare mask.
    const __m128i semi = _mm_set1_epi8(';');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, semi), _mm_cmpeq_epi8(v, lf)),
                                         _mm_cmpeq_epi8(v, cr));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (!m_utf8)
            mask |= static_cast<unsigned>(_mm_movemask_epi8(v));
        for (; mask; mask &= mask - 1) {
            const std::size_t j = i + static_cast<std::size_t>(std::countr_zero(mask));
            if (!take(j, s[j], line))
                return j;
        }
    }
#endif
    for (; i < n; ++i) {
        const unsigned char c = s[i];
        if ((c == ';' || c == '\n' || c == '\r' || c >= 0x80) && !take(i, c, line))
            return i;
    }
    return n;
}

void CardFiler::run()
{
    const auto *s = reinterpret_cast<const unsigned char *>(m_text.data());
    const std::size_t n = m_text.size();
    constexpr std::size_t kNone = std::size_t(-1);
    Line line;
    std::size_t pos = 0;
    while (pos < n) {
        line.begin = pos;
        line.separators = 0;
        line.last = line.beforeLast = kNone;
        line.highFields = 0;
        std::size_t i = scanLine(pos, line);
        line.end = i;
        ++m_report.lines;
        if (line.end > line.begin)
            fileLine(line, m_report.lines);
        // Lines end in CR LF, LF or a lone CR.
        if (i + 1 < n && s[i] == '\r' && s[i + 1] == '\n')
            ++i;
        pos = i + 1;
    }
}

void CardFiler::fileLine(const Line &line, int lineNo)
{
    // The last character is never a separator: a ";" there belongs to the tag.
    std::size_t dataFields = line.separators;
    std::size_t lastSep = line.last;
    if (lastSep == line.end - 1) {
        --dataFields;
        lastSep = line.beforeLast;
    }
    const std::size_t tagBegin = dataFields == 0 ? line.begin : lastSep + 1;
    const std::string_view tag = m_text.substr(tagBegin, line.end - tagBegin);
    if (tag.size() != 2 || tag[1] != ';' || (tag[0] != 'A' && tag[0] != 'B' && tag[0] != 'C'))
        return;
    const char kind = tag[0];

    std::size_t maxFields = 0;
    if (kind == 'A') {
        ++m_r;
        m_h = 0;
        m_p = 0;
        m_raceSkipped = m_r > RaceStore::kMaxRace;
        m_horseSkipped = false;
        if (m_raceSkipped) {
            note(lineNo, "race " + std::to_string(m_r) + " skipped: a card holds at most 41 races");
            return;
        }
        maxFields = kMaxRaceFields;
        m_rec = m_store.record(m_r, 0, 0);
    } else if (kind == 'B') {
        ++m_h;
        m_p = 0;
        if (m_raceSkipped) {
            note(lineNo, "horse skipped: its race was skipped");
            return;
        }
        m_horseSkipped = m_h > RaceStore::kMaxHorse;
        if (m_horseSkipped) {
            note(lineNo, "horse " + std::to_string(m_h) + " of race " + std::to_string(m_r)
                             + " skipped: a race holds at most 21 horses");
            return;
        }
        maxFields = kMaxHorseFields;
        m_rec = m_store.record(m_r, m_h, 0);
    } else {
        ++m_p;
        if (m_raceSkipped || m_horseSkipped) {
            note(lineNo, "past performance skipped: its race or horse was skipped");
            return;
        }
        if (m_p > RaceStore::kMaxPP) {
            note(lineNo, "past performance " + std::to_string(m_p) + " of race " + std::to_string(m_r)
                             + ", horse " + std::to_string(m_h) + " skipped: a horse holds at most 100");
            return;
        }
        m_rec = m_store.record(m_r, m_h, m_p);
        m_store.setCell(m_rec, 4, "----");
        m_store.setCell(m_rec, 5, "----");
        maxFields = kMaxPPFields;
    }
    if (dataFields > maxFields) {
        const char *what = kind == 'A' ? "race" : kind == 'B' ? "horse" : "past performance";
        note(lineNo, std::string(what) + " line with " + std::to_string(dataFields) + " fields before its tag; only "
                         + std::to_string(maxFields) + " are kept, the rest were dropped");
    }

    const std::size_t fields = std::min(dataFields, maxFields);
    std::size_t start = line.begin;
    for (std::size_t k = 1; k <= fields; ++k) {
        const std::size_t end = line.at[k - 1];
        const bool high = k <= 32 && (line.highFields >> (k - 1) & 1u);
        if (kind == 'A') {
            setField(static_cast<int>(k), start, end, high);
        } else if (kind == 'B') {
            setField(kHorseSlotOfField[k], start, end, high);
        } else if (k <= 15) {
            setField(kPPSlotOfField[k], start, end, high);
            if (k == 15) {
                char buf[40];
                const std::size_t len = finalKelText(m_store.cell(m_rec, 3), m_store.cell(m_rec, 4), buf);
                m_store.setCell(m_rec, 5, std::string_view(buf, len));
            }
        }
        start = end + 1;
    }
}

void CardFiler::setField(int slot, std::size_t begin, std::size_t end, bool high)
{
    // A field that starts with a double quote loses its first and last character.
    if (end > begin && m_text[begin] == '"') {
        if (end - begin < 2) {
            end = begin;
        } else {
            --end;
            while (m_utf8 && end > begin + 1 && (static_cast<unsigned char>(m_text[end]) & 0xC0) == 0x80)
                --end;
            ++begin;
        }
    }
    if (!high) {
        m_store.setFileCell(m_rec, slot, begin, end - begin);
        return;
    }
    m_decoded.resize(3 * (end - begin));
    char *out = m_decoded.data();
    for (std::size_t i = begin; i < end; ++i) {
        const auto c = static_cast<unsigned char>(m_text[i]);
        if (c < 0x80)
            *out++ = static_cast<char>(c);
        else
            out += encodeHigh(c, out);
    }
    m_store.setLoadedCell(m_rec, slot, std::string_view(m_decoded.data(), static_cast<std::size_t>(out - m_decoded.data())));
}

} // namespace

std::string DecodeWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            char buf[3];
            out.append(buf, static_cast<std::size_t>(encodeHigh(c, buf)));
        }
    }
    return out;
}

std::string FinalKel(std::string_view kel, std::string_view early)
{
    char buf[40];
    return std::string(buf, finalKelText(kel, early, buf));
}

LoadReport LoadCard(std::string_view bytes, RaceStore &store)
{
    return LoadCard(std::string(bytes), store);
}

LoadReport LoadCard(std::string &&bytes, RaceStore &store)
{
    store.createEmpty();
    // An editor that saved the card as UTF-8 put a byte-order mark in front: the text after it
    // is already what the store holds, and decoding it again would turn "º" into "Âº" and so
    // hide every win. A mark followed by something that is not UTF-8 is just dropped.
    bool utf8 = false;
    if (std::string_view(bytes).substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.erase(0, kUtf8Bom.size());
        utf8 = isUtf8(bytes);
    }
    // One record per line at most, and a line that files a record holds at least its tag and a
    // few bytes: room reserved from the size is untouched memory, so a generous guess is free.
    store.reserveRecords(std::min<std::size_t>(bytes.size() / 16 + 1, kMaxRecords));
    store.reserveLoaded(bytes.size() / 8 + 4096);

    const std::string_view text = store.adopt(std::move(bytes));
    LoadReport report;
    CardFiler(store, report, text, utf8).run();
    return report;
}

std::optional<std::string> ReadCardFile(const std::string &path, std::string &error)
{
    constexpr std::uintmax_t kMaxSize = std::uintmax_t(512) << 20;
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(st)) {
        error = "cannot read " + path + ": it is a directory";
        return std::nullopt;
    }
    // A named pipe would block the open until someone writes to it, a device may never end.
    if (std::filesystem::exists(st) && !std::filesystem::is_regular_file(st)) {
        error = "cannot read " + path + ": it is not a regular file";
        return std::nullopt;
    }
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    // Straight into a buffer of the file's size, then on in chunks should the file have grown.
    std::string bytes;
    std::size_t size = 0;
    const std::uintmax_t expected = std::filesystem::is_regular_file(st) ? std::filesystem::file_size(path, ec) : 0;
    // Room behind the text for decoding it in place (a few percent; untouched, it costs nothing).
    if (!ec && expected <= kMaxSize)
        bytes.reserve(static_cast<std::size_t>(expected) + expected / 16 + 64);
    bytes.resize(!ec && expected <= kMaxSize ? static_cast<std::size_t>(expected) + 1 : std::size_t(1) << 16);
    for (;;) {
        size += std::fread(bytes.data() + size, 1, bytes.size() - size, f);
        if (size < bytes.size())
            break;
        if (bytes.size() >= kMaxSize) {
            std::fclose(f);
            error = "cannot read " + path + ": the file is larger than 512 MB, too large for a race card";
            return std::nullopt;
        }
        bytes.resize(std::min<std::size_t>(bytes.size() * 2, kMaxSize + 1));
    }
    bytes.resize(size);
    const bool failed = std::ferror(f);
    const int err = errno;
    std::fclose(f);
    if (failed) {
        error = "cannot read " + path + ": " + std::strerror(err);
        return std::nullopt;
    }
    return bytes;
}

} // namespace kel
