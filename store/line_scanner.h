#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/text_buffer.h"

namespace kel {

struct ScannedLine
{
    // The first places of ";", more than any record has fields, and always the last two (the tag's).
    static constexpr std::size_t kKeptSeparators = 32;

    int number = 0;                              // 1-based line number in the file, empty lines counted
    std::size_t begin = 0;                       // where the line's text starts in the scanner's text
    std::size_t length = 0;                      // bytes of the line's text, its line end left out; 0 when empty
    std::size_t separators = 0;                  // every ";" of the line
    std::size_t separator[kKeptSeparators] = {}; // their places from the line's start, as kept
    uint32_t quotedFields = 0;                   // bit f: field f + 1 starts with a double quote
};

// The plain scan is the definition; the 16-byte one finds the same lines in a fraction of the time.
enum class ScanWidth { Plain, Bytes16 };

#if defined(__SSE2__) || defined(__wasm_simd128__)
#define KEL_BLOCK_SCAN 1
inline constexpr ScanWidth kScanWidth = ScanWidth::Bytes16;
#else
inline constexpr ScanWidth kScanWidth = ScanWidth::Plain;
#endif

// The loader's inner loop: every byte of a card passes through it once.
class LineScanner
{
public:
    // Writable behind the line's text after next().
    static constexpr std::size_t kAppendRoom = 64;

    // With inPlace (holding the bytes) the text overwrites them, sparing a second buffer of the
    // card's size, until it catches up with the bytes left. A width the build lacks scans plain.
    LineScanner(std::string_view bytes, bool decode, TextBuffer *inPlace = nullptr, ScanWidth width = kScanWidth);

    // A line ends at CR LF, LF, a lone CR or the end of the bytes.
    bool next(ScannedLine &line);
    int lines() const { return m_lines; }

    // Moves when it grows: valid until the next call of next().
    char *text() { return m_text; }
    std::size_t end() const { return m_w; }
    // The loader writes a PP's Final KEL over the part of its line it does not keep.
    void setEnd(std::size_t end) { m_w = end; }

    TextBuffer takeText();

private:
    // A block's step with a decoded byte, and the append room.
    static constexpr std::size_t kSlack = 128;

    template <bool Decode>
    bool nextPlain(ScannedLine &line);
    template <bool Decode, class Block>
    bool nextBlocks(ScannedLine &line);

    std::size_t roomEnd(std::size_t i) const { return m_writingInPlace ? m_inAt + i : m_out.capacity(); }
    void makeRoom(std::size_t w, std::size_t i);
    void endLine(ScannedLine &line, std::size_t begin, std::size_t i, std::size_t w);

    const unsigned char *m_in;
    std::size_t m_n;
    bool m_decode;
    ScanWidth m_width;
    TextBuffer *m_inPlace;
    bool m_writingInPlace;
    std::size_t m_inAt = 0; // where the bytes start from the start of m_inPlace's block
    TextBuffer m_out;       // the text, unless written over the bytes
    char *m_text = nullptr; // where the text is written
    std::size_t m_i = 0;    // the next byte read
    std::size_t m_w = 0;    // the end of the text
    int m_lines = 0;
};

} // namespace kel
