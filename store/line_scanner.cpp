#include "store/line_scanner.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "store/cp1252.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

namespace kel {

namespace {

constexpr std::size_t kKept = ScannedLine::kKeptSeparators;

inline void keepSeparator(ScannedLine &line, std::size_t at)
{
    if (line.separators < kKept) {
        line.separator[line.separators] = at;
    } else {
        line.separator[kKept - 2] = line.separator[kKept - 1];
        line.separator[kKept - 1] = at;
    }
    ++line.separators;
}

#ifdef KEL_BLOCK_SCAN
// kSteps: separators taken per block without a loop; a block of some 7-byte fields rarely holds more.
struct Block16
{
    static constexpr unsigned kSize = 16;
    static constexpr int kSteps = 3;
#if defined(__SSE2__)
    template <bool Decode>
    static void copy(const unsigned char *src, char *dst, unsigned &semi, unsigned &eol, unsigned &high,
                     unsigned &quote)
    {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), v);
        semi = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(';'))));
        eol = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')))));
        high = Decode ? static_cast<unsigned>(_mm_movemask_epi8(v)) : 0u;
        quote = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('"'))));
    }
#elif defined(__wasm_simd128__)
    template <bool Decode>
    static void copy(const unsigned char *src, char *dst, unsigned &semi, unsigned &eol, unsigned &high,
                     unsigned &quote)
    {
        const v128_t v = wasm_v128_load(src);
        wasm_v128_store(dst, v);
        semi = wasm_i8x16_bitmask(wasm_i8x16_eq(v, wasm_i8x16_splat(';')));
        eol = wasm_i8x16_bitmask(
            wasm_v128_or(wasm_i8x16_eq(v, wasm_i8x16_splat('\n')), wasm_i8x16_eq(v, wasm_i8x16_splat('\r'))));
        high = Decode ? wasm_i8x16_bitmask(v) : 0u;
        quote = wasm_i8x16_bitmask(wasm_i8x16_eq(v, wasm_i8x16_splat('"')));
    }
#endif
};
#endif

} // namespace

LineScanner::LineScanner(std::string_view bytes, bool decode, TextBuffer *inPlace, ScanWidth width)
    : m_in(reinterpret_cast<const unsigned char *>(bytes.data()))
    , m_n(bytes.size())
    , m_decode(decode)
    , m_width(width)
    , m_inPlace(inPlace)
    , m_writingInPlace(inPlace != nullptr)
{
    if (m_writingInPlace) {
        // The text grows by "º" taking two bytes and by each Final KEL, and shrinks by line ends
        // and tags: the front room keeps it behind the bytes on any real card.
        m_text = inPlace->block();
        m_inAt = static_cast<std::size_t>(bytes.data() - m_text);
    } else {
        // "º" taking two bytes and each Final KEL: some 8 % on a typical card.
        m_out.reserve(m_n + m_n / 8 + kSlack);
        m_text = m_out.data();
    }
}

bool LineScanner::next(ScannedLine &line)
{
#ifdef KEL_BLOCK_SCAN
    if (m_width == ScanWidth::Bytes16)
        return m_decode ? nextBlocks<true, Block16>(line) : nextBlocks<false, Block16>(line);
#endif
    return m_decode ? nextPlain<true>(line) : nextPlain<false>(line);
}

template <bool Decode>
bool LineScanner::nextPlain(ScannedLine &line)
{
    std::size_t i = m_i;
    if (i >= m_n)
        return false;
    std::size_t w = m_w;
    const std::size_t begin = w;
    line.separators = 0;
    line.quotedFields = 0;
    bool fieldStarts = true;
    while (i < m_n && m_in[i] != '\n' && m_in[i] != '\r') {
        if (w + kSlack > roomEnd(i))
            makeRoom(w, i);
        const unsigned char c = m_in[i++];
        if (c == '"' && fieldStarts && line.separators < 32)
            line.quotedFields |= uint32_t(1) << line.separators;
        if (c == ';')
            keepSeparator(line, w - begin);
        fieldStarts = c == ';';
        if (Decode && c >= 0x80)
            w = static_cast<std::size_t>(PutCp1252AsUtf8(c, m_text + w) - m_text);
        else
            m_text[w++] = static_cast<char>(c);
    }
    endLine(line, begin, i, w);
    return true;
}

// One function, long as it is: every byte of a card passes through this loop, and its counters
// stay in registers only while no call leaves it.
template <bool Decode, class Block>
bool LineScanner::nextBlocks(ScannedLine &line)
{
    const unsigned char *const in = m_in;
    const std::size_t n = m_n;
    std::size_t i = m_i;
    if (i >= n)
        return false;
    // Locals, not members, in the loop: its stores into the text may alias any member, which
    // would then be reloaded and stored back at every block.
    char *out = m_text;
    bool inPlace = m_writingInPlace;
    const std::size_t inAt = m_inAt;
    std::size_t capacity = m_out.capacity();
    std::size_t w = m_w;
    const std::size_t begin = w;
    std::size_t separators = 0;
    uint32_t quotedFields = 0;
    std::size_t *const sep = line.separator;
    for (;;) {
        if (w + kSlack > (inPlace ? inAt + i : capacity)) [[unlikely]] {
            makeRoom(w, i);
            out = m_text;
            inPlace = m_writingInPlace;
            capacity = m_out.capacity();
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
        if (const unsigned quotes = quote & before) [[unlikely]] {
            const bool blockStartsField = w == begin || out[w - 1] == ';';
            for (unsigned q = quotes & ((semi << 1) | unsigned(blockStartsField)); q; q &= q - 1) {
                const unsigned at = static_cast<unsigned>(std::countr_zero(q));
                const std::size_t field = separators + static_cast<std::size_t>(std::popcount(semi & ((1u << at) - 1)));
                if (field < 32)
                    quotedFields |= uint32_t(1) << field;
            }
        }
        unsigned m = semi & before;
        const std::size_t at = w - begin;
        if (separators + Block::kSteps <= kKept) {
            // Steps whatever the count: a loop would mispredict its end in nearly every block.
            for (int k = 0; k < Block::kSteps; ++k) {
                line.separator[separators] = at + static_cast<std::size_t>(std::countr_zero(m));
                separators += m != 0;
                m &= m - 1;
            }
        }
        for (; m; m &= m - 1) {
            const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(m));
            if (separators < kKept) {
                sep[separators] = place;
            } else {
                sep[kKept - 2] = sep[kKept - 1];
                sep[kKept - 1] = place;
            }
            ++separators;
        }
        i += count;
        w += count;
        if (!stop)
            continue;
        if (eol >> count & 1u)
            break;
        w = static_cast<std::size_t>(PutCp1252AsUtf8(in[i], out + w) - out);
        ++i;
    }
    line.separators = separators;
    line.quotedFields = quotedFields;
    endLine(line, begin, i, w);
    return true;
}

void LineScanner::endLine(ScannedLine &line, std::size_t begin, std::size_t i, std::size_t w)
{
    line.number = ++m_lines;
    line.begin = begin;
    line.length = w - begin;
    if (i < m_n) {
        if (m_in[i] == '\r' && i + 1 < m_n && m_in[i + 1] == '\n')
            ++i;
        ++i;
    }
    m_i = i;
    m_w = w;
    if (w + kSlack > roomEnd(i))
        makeRoom(w, i);
}

void LineScanner::makeRoom(std::size_t w, std::size_t i)
{
    if (m_writingInPlace) {
        m_out.reserve(w + (m_n - i) + (m_n - i) / 8 + kSlack);
        std::memcpy(m_out.data(), m_text, w);
        m_writingInPlace = false;
    } else {
        m_out.reserve(std::max(2 * m_out.capacity(), w + kSlack));
    }
    m_text = m_out.data();
}

TextBuffer LineScanner::takeText()
{
    if (m_writingInPlace) {
        m_inPlace->setBlockContent(m_w);
        return std::move(*m_inPlace);
    }
    m_out.setSize(m_w);
    return std::move(m_out);
}

} // namespace kel
