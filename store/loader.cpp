#include "store/loader.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <array>
#include <bit>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KEL_X86 1
#endif
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/percent.h"
#include "store/utf8.h"

namespace kel {

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; the five undefined ones keep their C1 value.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Where lines of each kind land.
constexpr int kRaceSlotOfField[18] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
constexpr int kHorseSlotOfField[15] = {0, 1, 2, 3, 4, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
constexpr int kMaxRaceFields = 17;
constexpr int kMaxHorseFields = 14;
constexpr int kMaxPPFields = 17;
constexpr std::size_t kMaxNotes = 1000;
constexpr std::size_t kMaxRecords
    = std::size_t(RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1) * (RaceStore::kMaxPP + 1);

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

constexpr int64_t kPow10[16] = {
    1,         10,         100,         1000,         10000,         100000,         1000000,         10000000,
    100000000, 1000000000, 10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000, 1000000000000000};
constexpr uint64_t kZeros = 0x3030303030303030ull; // eight "0"

// Reads decimal digits from p up to end into v; returns where they stop. Too many digits wrap
// around harmlessly: the caller refuses the text then.
inline const char *readDigits(const char *p, const char *end, uint64_t &v)
{
    for (; p < end && static_cast<unsigned char>(*p - '0') < 10; ++p)
        v = v * 10 + static_cast<uint64_t>(*p - '0');
    return p;
}

// 0x80 in each byte of x that is zero, nothing elsewhere.
inline uint64_t zeroBytes(uint64_t x)
{
    constexpr uint64_t k7F = 0x7F7F7F7F7F7F7F7Full;
    return ~(((x & k7F) + k7F) | x | k7F);
}

// figureMillionths for a number of 1 to 8 characters without sign, nearly every figure of a
// card, eight bytes at a time: digit loops would mispredict their ends on every figure. The
// eight bytes from p must be readable.
bool shortFigureMillionths(const char *p, std::size_t length, int64_t &out)
{
    uint64_t x;
    std::memcpy(&x, p, 8);
    const uint64_t valid = length == 8 ? ~uint64_t(0) : (uint64_t(1) << (8 * length)) - 1;
    x &= valid;
    std::size_t digits = length;
    std::size_t fraction = 0;
    if (const uint64_t points = zeroBytes(x ^ 0x2E2E2E2E2E2E2E2Eull) & valid) {
        if (points & (points - 1))
            return false;
        const std::size_t at = static_cast<std::size_t>(std::countr_zero(points)) / 8;
        const uint64_t before = (uint64_t(1) << (8 * at)) - 1;
        x = (x & before) | ((x >> 8) & ~before); // the point taken out
        --digits;
        fraction = length - at - 1;
        if (digits == 0 || fraction > 6)
            return false;
    }
    // The digits to the right, "0" in front: the first character is the lowest byte.
    if (digits < 8)
        x = (x << (8 * (8 - digits))) | (kZeros >> (8 * digits));
    if (((x & 0xF0F0F0F0F0F0F0F0ull) | (((x + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4))
        != 0x3333333333333333ull)
        return false;
    x -= kZeros;
    x = x * 10 + (x >> 8);
    x = (((x & 0x000000FF000000FFull) * 0x000F424000000064ull)
         + (((x >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull))
        >> 32;
    out = static_cast<int64_t>(static_cast<uint32_t>(x)) * kPow10[6 - fraction];
    return true;
}

// A figure such as "97.5%" in millionths, when the number in front of its last character is a
// plain decimal of at most nine integer and six fraction digits; otherwise false. The eight
// bytes from the text's start must be readable.
bool figureMillionths(std::string_view text, int64_t &out)
{
    if (text.size() < 2)
        return false;
    // The last character is nearly always the one-byte "%".
    const std::size_t length
        = static_cast<unsigned char>(text.back()) < 0x80 ? text.size() - 1 : Utf8DropLast(text).size();
    if (length == 0)
        return false;
    const char *p = text.data();
    const char *const end = p + length;
    if (length <= 8 && *p != '-' && *p != '+')
        return shortFigureMillionths(p, length, out);
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    uint64_t v = 0;
    const char *const wholeBegin = p;
    p = readDigits(p, end, v);
    const std::ptrdiff_t whole = p - wholeBegin;
    std::ptrdiff_t fraction = 0;
    if (p < end && *p == '.') {
        const char *const fractionBegin = ++p;
        p = readDigits(p, end, v);
        fraction = p - fractionBegin;
    }
    if (p != end || whole > 9 || fraction > 6 || whole + fraction == 0)
        return false;
    const int64_t value = static_cast<int64_t>(v) * kPow10[6 - fraction];
    out = negative ? -value : value;
    return true;
}

// The eight decimal digits of v (below 10^8) as bytes, the first digit lowest.
inline uint64_t eightDigits(uint32_t v)
{
    // Two halves of four digits in 32-bit lanes, then pairs in 16-bit lanes, then single digits
    // in bytes; each division by a multiply and shift, exact in the range of its lane.
    uint64_t x = (v / 10000) | (uint64_t(v % 10000) << 32);
    const uint64_t hundreds = ((x * 5243) >> 19) & 0x0000007F0000007Full;
    x = hundreds | ((x - hundreds * 100) << 16);
    const uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000Full;
    return tens | ((x - tens * 10) << 8);
}

// Texts of 0 to 999: the digits in bytes 0 to 2, their count in byte 7.
constexpr std::array<uint64_t, 1000> kWholeTexts = [] {
    std::array<uint64_t, 1000> t{};
    for (unsigned v = 0; v < 1000; ++v) {
        const unsigned digits = v >= 100 ? 3 : v >= 10 ? 2 : 1;
        uint64_t text = uint64_t(digits) << 56;
        for (unsigned k = 0, x = v; k < digits; ++k, x /= 10)
            text |= uint64_t('0' + x % 10) << (8 * (digits - 1 - k));
        t[v] = text;
    }
    return t;
}();

// Texts of the fractions 0.001 to 0.999 as "." and their digits without trailing zeros, the
// count of bytes in byte 7.
constexpr std::array<uint64_t, 1000> kThousandthTexts = [] {
    std::array<uint64_t, 1000> t{};
    for (unsigned v = 1; v < 1000; ++v) {
        const unsigned digits = v % 100 == 0 ? 1 : v % 10 == 0 ? 2 : 3;
        uint64_t text = uint64_t(digits + 1) << 56 | '.';
        for (unsigned k = 0, x = v / (digits == 1 ? 100 : digits == 2 ? 10 : 1); k < digits; ++k, x /= 10)
            text |= uint64_t('0' + x % 10) << (8 * (digits - k));
        t[v] = text;
    }
    return t;
}();

// Writes a text of those tables at p (eight bytes there writable); returns the end.
inline char *putText(char *p, uint64_t text)
{
    std::memcpy(p, &text, 8);
    return p + (text >> 56);
}

// Writes v in decimal at p (eight bytes there writable); returns the end.
inline char *putDecimal(char *p, uint64_t v)
{
    if (v < 1000)
        return putText(p, kWholeTexts[v]);
    if (v >= 100000000) {
        int digits = 9;
        for (uint64_t t = v / 1000000000; t; t /= 10)
            ++digits;
        for (int k = digits - 1; k >= 0; --k, v /= 10)
            p[k] = static_cast<char>('0' + v % 10);
        return p + digits;
    }
    const uint64_t d = eightDigits(static_cast<uint32_t>(v));
    // Leading zero digits dropped.
    const int skip = std::countr_zero(d) / 8;
    const uint64_t text = (d + kZeros) >> (8 * skip);
    std::memcpy(p, &text, 8);
    return p + 8 - skip;
}

// Writes "." and the digits of a fraction of a million (1 to 999999) at p without trailing
// zeros (ten bytes there writable); returns the end.
inline char *putMillionths(char *p, uint32_t fraction)
{
    if (fraction % 1000 == 0)
        return putText(p, kThousandthTexts[fraction / 1000]);
    const uint64_t d = eightDigits(fraction) >> 16; // six digits
    const int digits = (63 - std::countl_zero(d)) / 8 + 1;
    *p++ = '.';
    const uint64_t text = d + (kZeros >> 16);
    std::memcpy(p, &text, 8);
    return p + digits;
}

// Half the spacing of doubles at v.
inline double halfUlp(double v)
{
    return v == 0 ? 0.0 : std::ldexp(1.0, std::ilogb(v) - 53);
}

// Whether 2 * kel - early computed in doubles, the figures as read (millionths a and b),
// rounds at 15 significant digits to the exact decimal result (mag millionths, 100 or more):
// whether the arithmetic's error bound stays within half a unit of the 15th digit. It does
// for figures of a similar size; a result far smaller than the figures (2 * 52.3 - 95.1) may
// show the doubles' tail, as the general form of the double result then does.
bool sameInDoubles(int64_t a, int64_t b, uint64_t mag)
{
    const double x = static_cast<double>(a) / 1e6; // as the figure text reads, correctly rounded
    const double y = static_cast<double>(b) / 1e6;
    const double d = 2 * x - y;
    // |x - kel| and |y - early| are at most half an ulp; 2 * x is exact; the difference adds
    // half an ulp of d.
    const double error = 2 * halfUlp(x) + halfUlp(y) + halfUlp(d);
    int digits = 1;
    while (digits < 15 && mag >= static_cast<uint64_t>(kPow10[digits]))
        ++digits;
    // Half a unit of the 15th significant digit; a tenth of it at a power of ten, below which
    // the grid of the digits is ten times finer.
    double half = 0.5 * std::pow(10.0, digits - 21);
    if (mag == static_cast<uint64_t>(kPow10[digits - 1]))
        half /= 10;
    return error < half * 0.999;
}

// The Final KEL text of 2 * kel - early into buf (room for 40 bytes); returns its length. The
// eight bytes from the start of each text must be readable.
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
            // Within 15 significant digits and above 0.0001, where the general form has no
            // exponent, and where the figures' arithmetic in doubles rounds to the same text.
            if (r == 0 || (mag >= 100 && mag < 1000000000000000ull && sameInDoubles(a, b, mag))) {
                char *p = buf;
                if (r < 0)
                    *p++ = '-';
                p = putDecimal(p, mag / 1000000);
                if (const uint64_t fraction = mag % 1000000)
                    p = putMillionths(p, static_cast<uint32_t>(fraction));
                *p++ = '%';
                return static_cast<std::size_t>(p - buf);
            }
        }
        const auto x = PercentNumber(kel);
        const auto y = PercentNumber(early);
        // Figures near the largest double can overflow: no figure then, as for a text that is
        // not one.
        if (x && y && std::isfinite(2 * *x - *y)) {
            const std::string text = GeneralNumber(2 * *x - *y);
            std::memcpy(buf, text.data(), text.size());
            buf[text.size()] = '%';
            return text.size() + 1;
        }
    }
    std::memcpy(buf, kMissing.data(), kMissing.size());
    return kMissing.size();
}

// The Final KEL texts of recent KEL and Early KEL pairs. A card's figures take a few dozen
// values, so most of its PPs repeat a pair seen before; copying the text then costs a tenth of
// computing it. Only pairs of texts of at most 8 bytes are kept, compared whole.
class FinalKelMemo
{
public:
    // Writes the text kept for the pair at out (32 bytes there writable) and returns its
    // length; 0 when the pair is not kept. The eight bytes from each text's start must be
    // readable.
    std::size_t find(std::string_view kel, std::string_view early, char *out) const
    {
        Key key;
        if (!makeKey(kel, early, key))
            return 0;
        const Entry &e = m_entries[slot(key)];
        if (e.kel != key.kel || e.early != key.early || e.lengths != key.lengths)
            return 0;
        std::memcpy(out, e.text, sizeof e.text);
        return e.size;
    }
    void keep(std::string_view kel, std::string_view early, std::string_view text)
    {
        Key key;
        if (!makeKey(kel, early, key) || text.empty() || text.size() > sizeof(Entry::text))
            return;
        Entry &e = m_entries[slot(key)];
        e.kel = key.kel;
        e.early = key.early;
        e.lengths = key.lengths;
        e.size = static_cast<uint8_t>(text.size());
        std::memcpy(e.text, text.data(), text.size());
    }

private:
    struct Key
    {
        uint64_t kel;
        uint64_t early;
        uint16_t lengths;
    };
    struct Entry
    {
        uint64_t kel = 0;
        uint64_t early = 0;
        uint16_t lengths = 0xFFFF; // no pair has it: empty
        uint8_t size = 0;
        char text[32 - 3] = {};
    };
    static constexpr std::size_t kEntries = 2048;

    static uint64_t firstBytes(std::string_view text)
    {
        if (text.empty())
            return 0;
        uint64_t x;
        std::memcpy(&x, text.data(), 8);
        return text.size() == 8 ? x : x & ((uint64_t(1) << (8 * text.size())) - 1);
    }
    static bool makeKey(std::string_view kel, std::string_view early, Key &key)
    {
        if (kel.size() > 8 || early.size() > 8)
            return false;
        key.kel = firstBytes(kel);
        key.early = firstBytes(early);
        key.lengths = static_cast<uint16_t>(kel.size() << 8 | early.size());
        return true;
    }
    static std::size_t slot(const Key &key)
    {
        const uint64_t h = (key.kel * 0x9E3779B97F4A7C15ull) ^ (key.early * 0xC2B2AE3D27D4EB4Full) ^ key.lengths;
        return static_cast<std::size_t>(h >> 53) % kEntries;
    }

    std::vector<Entry> m_entries = std::vector<Entry>(kEntries);
};

// Files the lines of a card into the store in one pass over its bytes: the work of finding
// every line end and separator, plus copying the bytes, decoded, into the store's text, where
// each PP line is followed by its Final KEL text. Fields are then places in that text.
class CardFiler
{
public:
    // With inPlace, the bytes lie in that buffer, whose text is then written over them from
    // the block's start (bytes in the front room first).
    CardFiler(RaceStore &store, LoadReport &report, std::string_view bytes, TextBuffer *inPlace)
        : m_store(store)
        , m_report(report)
        , m_in(bytes)
        , m_inPlace(inPlace)
    {}

    // Decode: the bytes are Windows-1252; otherwise they are UTF-8 already.
    void run(bool decode);

private:
    template <bool Decode, class Block>
    void scan();
#ifdef KEL_X86
    // The scan with everything it calls inlined (the line filing aside), compiled for AVX2.
    [[gnu::target("avx2"), gnu::flatten]] void scanAvx2(bool decode);
#endif

private:
    // Separator positions kept per line: the first ones, more than any record has fields, and
    // always the last two.
    static constexpr std::size_t kKept = 32;
    // Room kept free behind the text: a block of 16 bytes, a decoded byte, a Final KEL text.
    static constexpr std::size_t kSlack = 128;
    static constexpr std::size_t kNone = std::size_t(-1);

    [[gnu::noinline]] void fileLine(std::size_t begin, std::size_t length, int lineNo);
    // Field k (from 1) of the line at begin, quotes removed.
    std::string_view field(std::size_t begin, std::size_t k) const
    {
        const std::size_t from = k == 1 ? 0 : m_sep[k - 2] + 1;
        return Unquote(std::string_view(m_text + begin + from, m_sep[k - 1] - from));
    }
    void fileFields(int32_t rec, const int *slotOfField, std::size_t fields, std::size_t begin);
    // Writes the Final KEL text of the PP line at begin behind it; returns its length.
    std::size_t appendFinalKel(std::size_t begin, std::size_t fields);

    void note(int lineNo, std::string what)
    {
        ++m_report.droppedCount;
        if (m_report.dropped.size() < kMaxNotes)
            m_report.dropped.push_back({lineNo, std::move(what)});
    }

    RaceStore &m_store;
    LoadReport &m_report;
    std::string_view m_in;
    TextBuffer *m_inPlace;
    TextBuffer m_out;       // the text, unless written over the bytes
    char *m_text = nullptr; // where the text is written
    FinalKelMemo m_finalKels;
    std::size_t m_w = 0;          // bytes of m_out written
    std::size_t m_sep[kKept];     // the line's separators, as the scan keeps them
    std::size_t m_separators = 0; // all of the line's ";"
    uint32_t m_quotedFields = 0;  // the line's fields that start with a double quote, bit per field
    int m_r = 0;
    int m_h = 0;
    int m_p = 1;
    bool m_raceSkipped = false;
    bool m_horseSkipped = false;
};

// Blocks of the scan: copy kSize bytes from src to dst and return, a bit per byte, where the
// ";", the line ends, the high bytes (when decoding) and the double quotes are. kSteps: separators taken per block
// without a loop (a block of some 7-byte fields rarely holds more).
struct PlainBlock
{
    static constexpr unsigned kSize = 16;
    static constexpr int kSteps = 4;
    template <bool Decode>
    static void copy(const unsigned char *src, char *dst, unsigned &semi, unsigned &eol, unsigned &high,
                     unsigned &quote)
    {
#ifdef KEL_X86
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), v);
        semi = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(';'))));
        eol = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')))));
        high = Decode ? static_cast<unsigned>(_mm_movemask_epi8(v)) : 0u;
        quote = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('"'))));
#else
        semi = eol = high = quote = 0;
        for (unsigned k = 0; k < kSize; ++k) {
            const unsigned char c = src[k];
            dst[k] = static_cast<char>(c);
            semi |= unsigned(c == ';') << k;
            eol |= unsigned(c == '\n' || c == '\r') << k;
            high |= unsigned(Decode && c >= 0x80) << k;
            quote |= unsigned(c == '"') << k;
        }
#endif
    }
};

#ifdef KEL_X86
// Twice as many bytes per step on processors with AVX2, chosen when the card is loaded.
struct WideBlock
{
    static constexpr unsigned kSize = 32;
    static constexpr int kSteps = 6;
    template <bool Decode>
    [[gnu::target("avx2")]] static void copy(const unsigned char *src, char *dst, unsigned &semi, unsigned &eol,
                                             unsigned &high, unsigned &quote)
    {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(src));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(dst), v);
        semi = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(';'))));
        eol = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_or_si256(
            _mm256_cmpeq_epi8(v, _mm256_set1_epi8('\n')), _mm256_cmpeq_epi8(v, _mm256_set1_epi8('\r')))));
        high = Decode ? static_cast<unsigned>(_mm256_movemask_epi8(v)) : 0u;
        quote = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_set1_epi8('"'))));
    }
};

void CardFiler::scanAvx2(bool decode)
{
    if (decode)
        scan<true, WideBlock>();
    else
        scan<false, WideBlock>();
}
#endif

bool g_wideScan = true;

void CardFiler::run(bool decode)
{
#ifdef KEL_X86
    if (g_wideScan && __builtin_cpu_supports("avx2")) {
        scanAvx2(decode);
        return;
    }
#endif
    if (decode)
        scan<true, PlainBlock>();
    else
        scan<false, PlainBlock>();
}

template <bool Decode, class Block>
void CardFiler::scan()
{
    const auto *in = reinterpret_cast<const unsigned char *>(m_in.data());
    const std::size_t n = m_in.size();
    // Written over the bytes, the text may take up to where they are read: it grows by "º"
    // taking two bytes and by each PP's Final KEL, and shrinks by line ends and tags, so the
    // front room of the bytes' buffer keeps it behind on any real card. Should it catch up, it
    // goes on in a buffer of its own. Otherwise it has one from the start.
    bool inPlace = m_inPlace != nullptr;
    std::size_t inAt = 0; // where the bytes start, from the text's start
    // Locals, not members, in the loop: its stores into the text may alias any member, which
    // would then be reloaded and stored back at every block.
    char *out = nullptr;
    std::size_t capacity = 0;
    if (inPlace) {
        out = m_inPlace->block();
        inAt = static_cast<std::size_t>(m_in.data() - out);
    } else {
        // "º" takes two bytes, and each PP line gains its Final KEL: some 8 % on a typical card.
        m_out.reserve(n + n / 8 + kSlack);
        out = m_out.data();
        capacity = m_out.capacity();
    }
    m_text = out;
    std::size_t w = 0;
    std::size_t i = 0;
    while (i < n) {
        const std::size_t begin = w;
        std::size_t separators = 0;
        uint32_t quotedFields = 0; // bit f: field f + 1 starts with a double quote
        // The line's bytes, 16 at a time up to a line end or a byte to decode.
        for (;;) {
            if (w + kSlack > (inPlace ? inAt + i : capacity)) [[unlikely]] {
                if (inPlace) {
                    m_out.reserve(w + (n - i) + (n - i) / 8 + kSlack);
                    std::memcpy(m_out.data(), out, w);
                    inPlace = false;
                } else {
                    m_out.reserve(2 * capacity);
                }
                out = m_out.data();
                capacity = m_out.capacity();
                m_text = out;
            }
            unsigned semi, eol, high, quote;
            if (n - i >= Block::kSize) {
                Block::template copy<Decode>(in + i, out + w, semi, eol, high, quote);
            } else {
                unsigned char tail[Block::kSize] = {};
                std::memcpy(tail, in + i, n - i);
                Block::template copy<Decode>(tail, out + w, semi, eol, high, quote);
                eol |= 1u << (n - i); // the end of the bytes ends the line
            }
            const unsigned stop = eol | high;
            const unsigned count = stop ? static_cast<unsigned>(std::countr_zero(stop)) : Block::kSize;
            const unsigned before = static_cast<unsigned>((uint64_t(1) << count) - 1);
            // Quotes are rare: only then is it worked out whether one starts a field (is first in
            // the line or follows a separator) and which.
            if (const unsigned quotes = quote & before) [[unlikely]] {
                const bool blockStartsField = w == begin || out[w - 1] == ';';
                for (unsigned q = quotes & ((semi << 1) | unsigned(blockStartsField)); q; q &= q - 1) {
                    const unsigned at = static_cast<unsigned>(std::countr_zero(q));
                    const std::size_t field
                        = separators + static_cast<std::size_t>(std::popcount(semi & ((1u << at) - 1)));
                    if (field < 32)
                        quotedFields |= uint32_t(1) << field;
                }
            }
            unsigned m = semi & before;
            const std::size_t at = w - begin;
            if (separators + Block::kSteps <= kKept) {
                // Steps whatever the count, each writing a place and counting it only when there
                // was one: a loop would mispredict its end in nearly every block.
                for (int k = 0; k < Block::kSteps; ++k) {
                    m_sep[separators] = at + static_cast<std::size_t>(std::countr_zero(m));
                    separators += m != 0;
                    m &= m - 1;
                }
            }
            // The rest, keeping the first kKept - 2 separators and always the last two.
            for (; m; m &= m - 1) {
                const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(m));
                if (separators < kKept) {
                    m_sep[separators] = place;
                } else {
                    m_sep[kKept - 2] = m_sep[kKept - 1];
                    m_sep[kKept - 1] = place;
                }
                ++separators;
            }
            i += count;
            w += count;
            if (!stop)
                continue;
            if (eol >> count & 1u)
                break;
            w += static_cast<std::size_t>(encodeHigh(in[i], out + w));
            ++i;
        }
        ++m_report.lines;
        if (w > begin) {
            m_separators = separators;
            m_quotedFields = quotedFields;
            m_w = w;
            fileLine(begin, w - begin, m_report.lines);
            w = m_w;
        }
        // Lines end in CR LF, LF or a lone CR.
        if (i < n) {
            if (in[i] == '\r' && i + 1 < n && in[i + 1] == '\n')
                ++i;
            ++i;
        }
    }
    if (inPlace) {
        m_inPlace->setBlockContent(w);
        m_store.adoptText(std::move(*m_inPlace));
    } else {
        m_out.setSize(w);
        m_store.adoptText(std::move(m_out));
    }
}

void CardFiler::fileLine(std::size_t begin, std::size_t length, int lineNo)
{
    // The last character is never a separator: a ";" there belongs to the tag.
    const std::size_t kept = std::min(m_separators, kKept);
    std::size_t dataFields = m_separators;
    std::size_t lastSep = kept >= 1 ? m_sep[kept - 1] : kNone;
    if (lastSep == length - 1) {
        --dataFields;
        lastSep = kept >= 2 ? m_sep[kept - 2] : kNone;
    }
    const std::size_t tagBegin = dataFields == 0 ? 0 : lastSep + 1;
    const std::string_view tag(m_text + begin + tagBegin, length - tagBegin);
    if (tag.size() != 2 || tag[1] != ';' || (tag[0] != 'A' && tag[0] != 'B' && tag[0] != 'C'))
        return;
    const char kind = tag[0];

    std::size_t maxFields = 0;
    int32_t rec = -1;
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
        rec = m_store.record(m_r, 0, 0);
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
        rec = m_store.record(m_r, m_h, 0);
    } else {
        ++m_p;
        if (m_raceSkipped || m_horseSkipped) {
            note(lineNo, "past performance skipped: its race or horse was skipped");
            return;
        }
        if (m_p > RaceStore::kMaxPP) {
            note(lineNo, "past performance " + std::to_string(m_p) + " of race " + std::to_string(m_r) + ", horse "
                             + std::to_string(m_h) + " skipped: a horse holds at most 100");
            return;
        }
        maxFields = kMaxPPFields;
    }
    if (dataFields > maxFields) {
        const char *what = kind == 'A' ? "race" : kind == 'B' ? "horse" : "past performance";
        note(lineNo, std::string(what) + " line with " + std::to_string(dataFields) + " fields before its tag; only "
                         + std::to_string(maxFields) + " are kept, the rest were dropped");
    }
    const std::size_t fields = std::min(dataFields, maxFields);

    if (kind == 'A') {
        fileFields(rec, kRaceSlotOfField, fields, begin);
        return;
    }
    if (kind == 'B') {
        fileFields(rec, kHorseSlotOfField, fields, begin);
        return;
    }
    // Fields past the 15th of a PP line are read but not kept.
    const std::size_t filed = std::min<std::size_t>(fields, RaceStore::kPPFields);
    if (length <= RaceStore::kMaxPPLineLength) {
        // Filled in place: a line built aside and copied would be read back wider than written.
        RaceStore::PPLine &line = m_store.addLine(m_r, m_h, m_p);
        line.base = static_cast<uint32_t>(begin);
        for (std::size_t k = 0; k < filed; ++k)
            line.end[k] = static_cast<uint16_t>(m_sep[k]);
        line.fields = static_cast<uint8_t>(filed);
        line.quoted = static_cast<uint16_t>(m_quotedFields & ((1u << RaceStore::kPPFields) - 1));
        // The Final KEL text over the fields not kept and the tag, which nothing reads.
        m_w = begin + RaceStore::finalOffset(line);
        line.finalLength = static_cast<uint8_t>(appendFinalKel(begin, filed));
        return;
    }
    // A line too long for a PPLine: a record of cells.
    rec = m_store.record(m_r, m_h, m_p);
    fileFields(rec, RaceStore::kPPSlotOfField, filed, begin);
    if (filed < RaceStore::kPPFields)
        m_store.setCell(rec, 4, "----");
    const std::size_t at = m_w;
    m_store.setFileCell(rec, 5, at, appendFinalKel(begin, filed));
}

void CardFiler::fileFields(int32_t rec, const int *slotOfField, std::size_t fields, std::size_t begin)
{
    for (std::size_t k = 1; k <= fields; ++k) {
        const std::string_view text = field(begin, k);
        m_store.setFileCell(rec, slotOfField[k], static_cast<std::size_t>(text.data() - m_text), text.size());
    }
}

std::size_t CardFiler::appendFinalKel(std::size_t begin, std::size_t fields)
{
    char *out = m_text + m_w;
    std::size_t length = 0;
    if (fields >= RaceStore::kPPFields) {
        const std::string_view kel = field(begin, 13);
        const std::string_view early = field(begin, 15);
        length = m_finalKels.find(kel, early, out);
        if (length == 0) {
            length = finalKelText(kel, early, out);
            m_finalKels.keep(kel, early, std::string_view(out, length));
        }
    } else {
        std::memcpy(out, "----", 4);
        length = 4;
    }
    m_w += length;
    return length;
}

} // namespace

void SetWideScan(bool allowed)
{
    g_wideScan = allowed;
}

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
    // Copies with room behind them for the eight-byte reads.
    const std::string k = std::string(kel) + std::string(8, '\0');
    const std::string e = std::string(early) + std::string(8, '\0');
    char buf[40];
    return std::string(
        buf, finalKelText(std::string_view(k).substr(0, kel.size()), std::string_view(e).substr(0, early.size()), buf));
}

namespace {

LoadReport loadCard(std::string_view bytes, TextBuffer *inPlace, RaceStore &store)
{
    store.createEmpty();
    LoadReport report;
    // An editor that saved the card as UTF-8 put a byte-order mark in front: the text after it
    // is already what the store holds, and decoding it again would turn "º" into "Âº" and so
    // hide every win. A mark followed by something that is not UTF-8 is just dropped.
    bool utf8 = false;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
        utf8 = isUtf8(bytes);
    }
    // Decoded, the text stays within what the store's offsets reach.
    const bool cut = bytes.size() > kMaxCardBytes;
    if (cut)
        bytes = bytes.substr(0, kMaxCardBytes);
    // One PP line per line at most, and a line holds at least its tag and a few bytes: room
    // reserved from the size is untouched memory, so a generous guess is free.
    store.reserve(std::size_t(RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1),
                  std::min<std::size_t>(bytes.size() / 16 + 1, kMaxRecords));
    CardFiler(store, report, bytes, inPlace).run(!utf8);
    if (cut) {
        ++report.droppedCount;
        if (report.dropped.size() < kMaxNotes)
            report.dropped.push_back({report.lines, "the card is larger than " + std::to_string(kMaxCardBytes >> 20)
                                                        + " MB: the rest of it was not read"});
    }
    return report;
}

} // namespace

LoadReport LoadCard(std::string_view bytes, RaceStore &store)
{
    return loadCard(bytes, nullptr, store);
}

LoadReport LoadCard(TextBuffer &&bytes, RaceStore &store)
{
    TextBuffer taken = std::move(bytes);
    return loadCard(taken.view(), &taken, store);
}

std::optional<TextBuffer> ReadCardFile(const std::string &path, std::string &error)
{
    const auto refuse = [&](std::string_view why) {
        error = "cannot read " + path + ": " + std::string(why);
        return std::nullopt;
    };
    const std::string tooLarge
        = "the file is larger than " + std::to_string(kMaxCardBytes >> 20) + " MB, too large for a race card";
    // A named pipe, a device or a file another program holds under a lease would keep a plain
    // open or read waiting as long as they like: neither waits here. What was opened is what is
    // checked, so nothing can be swapped in between.
    constexpr std::string_view kWouldWait = "reading it would keep the program waiting";
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refuse(errno == EAGAIN || errno == EWOULDBLOCK ? kWouldWait : std::strerror(errno));
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return refuse(std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        return refuse("it is a directory");
    if (!S_ISREG(st.st_mode))
        return refuse("it is not a regular file");
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxCardBytes)
        return refuse(tooLarge);

    // Straight into a buffer of the file's size and a byte, left unfilled until read, then on
    // should the file have grown (files of /proc tell no size). Front room for the loader, which
    // writes the card's text over the bytes (a little longer than them until each line's end is
    // dropped): untouched, it costs nothing.
    TextBuffer bytes;
    const std::size_t room = static_cast<std::size_t>(st.st_size) + 1;
    bytes.reserveWithFront(room / 16 + 4096, room);
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.capacity()) {
            if (size > kMaxCardBytes)
                return refuse(tooLarge);
            bytes.reserve(std::min<std::size_t>(bytes.capacity() * 2, kMaxCardBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + size, bytes.capacity() - size);
        if (n > 0) {
            size += static_cast<std::size_t>(n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            return refuse(errno == EAGAIN || errno == EWOULDBLOCK ? kWouldWait : std::strerror(errno));
        }
    }
    bytes.setSize(size);
    return bytes;
}

} // namespace kel
