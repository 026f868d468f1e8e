#include "store/loader.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <bit>
#include <filesystem>
#include <vector>

#include "store/percent.h"

namespace kel {

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; the five undefined ones keep their C1 value.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The text of a field without its first and last character (UTF-8 aware).
std::string_view dropFirstAndLast(std::string_view field)
{
    if (field.size() < 2)
        return {};
    std::size_t last = field.size() - 1;
    while (last > 1 && (static_cast<unsigned char>(field[last]) & 0xC0) == 0x80)
        --last;
    return field.substr(1, last - 1);
}

// Where lines of each kind land.
constexpr int kHorseSlotOfField[15] = {0, 1, 2, 3, 4, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
constexpr int kPPSlotOfField[16] = {0, 12, 6, 15, 7, 8, 9, 10, 14, 13, 11, 1, 2, 3, 16, 4};
constexpr int kMaxRaceFields = 17;
constexpr int kMaxHorseFields = 14;
constexpr int kMaxPPFields = 17;
constexpr std::size_t kMaxNotes = 1000;
constexpr std::size_t kMaxRecords = std::size_t(RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1) * (RaceStore::kMaxPP + 1);

class CardFiler
{
public:
    CardFiler(RaceStore &store, LoadReport &report) : m_store(store), m_report(report) {}

    void fileLine(std::string_view line, int lineNo);

private:
    void note(int lineNo, std::string what)
    {
        ++m_report.droppedCount;
        if (m_report.dropped.size() < kMaxNotes)
            m_report.dropped.push_back({lineNo, std::move(what)});
    }

    RaceStore &m_store;
    LoadReport &m_report;
    int m_r = 0;
    int m_h = 0;
    int m_p = 1;
    bool m_raceSkipped = false;
    bool m_horseSkipped = false;
    int32_t m_rec = -1;
};

void CardFiler::fileLine(std::string_view line, int lineNo)
{
    if (line.empty())
        return;
    // The tag is everything after the last ";" that stands before the line's last character.
    const std::size_t lastSep = line.size() >= 2 ? line.rfind(';', line.size() - 2) : std::string_view::npos;
    const std::string_view tag = lastSep == std::string_view::npos ? line : line.substr(lastSep + 1);
    if (tag.size() != 2 || tag[1] != ';' || (tag[0] != 'A' && tag[0] != 'B' && tag[0] != 'C'))
        return;
    const char kind = tag[0];

    int maxFields = 0;
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
    if (lastSep == std::string_view::npos)
        return; // a tag alone: a record without fields

    int k = 0;
    std::size_t start = 0;
    while (start <= lastSep) {
        std::size_t end = line.find(';', start);
        if (end > lastSep)
            end = lastSep;
        ++k;
        if (k > maxFields) {
            int total = k;
            for (std::size_t s = end; s < lastSep; s = line.find(';', s + 1))
                ++total;
            const char *what = kind == 'A' ? "race" : kind == 'B' ? "horse" : "past performance";
            note(lineNo, std::string(what) + " line with " + std::to_string(total) + " fields before its tag; only "
                             + std::to_string(maxFields) + " are kept, the rest were dropped");
            break;
        }
        std::string_view field = line.substr(start, end - start);
        if (!field.empty() && field[0] == '"')
            field = dropFirstAndLast(field);

        if (kind == 'A') {
            m_store.setCell(m_rec, k, field);
        } else if (kind == 'B') {
            m_store.setCell(m_rec, kHorseSlotOfField[k], field);
        } else if (k <= 15) {
            m_store.setCell(m_rec, kPPSlotOfField[k], field);
            if (k == 15)
                m_store.setCell(m_rec, 5, FinalKel(m_store(m_r, m_h, m_p, 3), field));
        }
        start = end + 1;
    }
}

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

// Windows-1252 to UTF-8 in the buffer itself: a card has a high byte every line or so ("º"),
// and a second buffer of the card's size would cost as much as reading the file again. The
// high bytes are found a word at a time; then, from the back, every ASCII run moves once to
// its place and each high byte is written as its two or three UTF-8 bytes.
void decodeInPlace(std::string &text)
{
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    const std::size_t n = text.size();
    std::vector<uint32_t> at; // positions of the high bytes
    std::size_t grow = 0;
    auto note = [&](std::size_t i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        at.push_back(static_cast<uint32_t>(i));
        grow += (c < 0xA0 && kHighTable[c - 0x80] >= 0x800) ? 2 : 1;
    };
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, text.data() + i, 8);
        for (uint64_t m = w & kHigh; m; m &= m - 1)
            note(i + static_cast<std::size_t>(std::countr_zero(m) / 8));
    }
    for (; i < n; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            note(i);
    if (at.empty())
        return;
    text.resize(n + grow);
    char *const d = text.data();
    std::size_t end = n;         // the source still to move is [0, end)
    std::size_t out = n + grow;  // and its destination ends here
    for (std::size_t k = at.size(); k-- > 0;) {
        const std::size_t h = at[k];
        const std::size_t run = end - (h + 1);
        out -= run;
        std::memmove(d + out, d + h + 1, run);
        char buf[3];
        const int len = encodeHigh(static_cast<unsigned char>(d[h]), buf);
        out -= static_cast<std::size_t>(len);
        std::memcpy(d + out, buf, static_cast<std::size_t>(len));
        end = h;
    }
}

} // namespace

std::string DecodeWindows1252(std::string_view bytes)
{
    std::string text(bytes);
    decodeInPlace(text);
    return text;
}

namespace {

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

} // namespace

std::string FinalKel(std::string_view kel, std::string_view early)
{
    if (early == "----")
        return "----";
    // Decimal figures give an exact decimal result: no binary tail, and no printf on the way.
    int64_t a = 0;
    int64_t b = 0;
    if (figureMillionths(kel, a) && figureMillionths(early, b)) {
        const int64_t r = 2 * a - b;
        const uint64_t mag = r < 0 ? uint64_t(-r) : uint64_t(r);
        // Within 15 significant digits and above 0.0001, where the general form has no exponent.
        if (r == 0 || (mag >= 100 && mag < 1000000000000000ull)) {
            char buf[32];
            char *p = buf;
            if (r < 0)
                *p++ = '-';
            p = std::to_chars(p, buf + sizeof buf, mag / 1000000).ptr;
            if (uint64_t frac = mag % 1000000) {
                *p++ = '.';
                for (int d = 100000; d > 0 && frac; d /= 10) {
                    *p++ = static_cast<char>('0' + frac / d);
                    frac %= d;
                }
            }
            *p++ = '%';
            return std::string(buf, p);
        }
    }
    const auto x = PercentNumber(kel);
    const auto y = PercentNumber(early);
    if (!x || !y)
        return "----";
    return GeneralNumber(2 * *x - *y) + "%";
}

LoadReport LoadCard(std::string_view bytes, RaceStore &store)
{
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16 + 64); // room to decode in place
    text.assign(bytes);
    return LoadCard(std::move(text), store);
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
    if (!utf8)
        decodeInPlace(bytes);
    // One record per line at most, and a line that files a record holds at least its tag and a
    // few bytes: room reserved from the size is untouched memory, so a generous guess is free.
    store.reserveRecords(std::min<std::size_t>(bytes.size() / 16 + 1, kMaxRecords));

    const std::string_view text = store.adopt(std::move(bytes));
    LoadReport report;
    CardFiler filer(store, report);
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Lines end in CR LF, LF or a lone CR.
        const char *const begin = text.data() + pos;
        const std::size_t rest = text.size() - pos;
        const void *nl = std::memchr(begin, '\n', rest);
        std::size_t end = nl ? static_cast<std::size_t>(static_cast<const char *>(nl) - text.data()) : text.size();
        if (const void *cr = std::memchr(begin, '\r', end - pos))
            end = static_cast<std::size_t>(static_cast<const char *>(cr) - text.data());
        ++report.lines;
        filer.fileLine(text.substr(pos, end - pos), report.lines);
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        pos = end + 1;
    }
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
