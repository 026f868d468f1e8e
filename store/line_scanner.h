#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/text_buffer.h"

namespace kel {

// One line of a card as LineScanner leaves it.
struct ScannedLine
{
    // Places of ";" kept per line: the first kKeptSeparators - 2, more than any record has
    // fields, and always the last two, which frame the tag.
    static constexpr std::size_t kKeptSeparators = 32;

    int number = 0;                              // 1-based line number in the file, empty lines counted
    std::size_t begin = 0;                       // where the line's text starts in the scanner's text
    std::size_t length = 0;                      // bytes of the line's text, its line end left out; 0 when empty
    std::size_t separators = 0;                  // every ";" of the line
    std::size_t separator[kKeptSeparators] = {}; // their places from the line's start, as kept
    uint32_t quotedFields = 0;                   // bit f: field f + 1 starts with a double quote
};

// How many bytes a scan takes a step: one (the definition), or 16 with vector instructions,
// which find the same lines in a fraction of the time.
enum class ScanWidth { Plain, Bytes16 };

// The width an open scans at: 16 bytes where the build has vector instructions for it (SSE2 on
// x86-64, SIMD128 in WebAssembly), a byte elsewhere.
#if defined(__SSE2__) || defined(__wasm_simd128__)
#define KEL_BLOCK_SCAN 1
inline constexpr ScanWidth kScanWidth = ScanWidth::Bytes16;
#else
inline constexpr ScanWidth kScanWidth = ScanWidth::Plain;
#endif

// Reads a card line by line, the loader's inner loop: every byte of the card passes through it
// once. Each line's text is copied into one text for the whole card (the text the store refers
// to), decoded from Windows-1252 to UTF-8 when asked, without its line end; the scanner notes
// where the line's ";" are and which fields start with a double quote. Every width gives the
// same lines and the same text.
class LineScanner
{
public:
    // After next(), bytes writable behind the line's text (see setEnd).
    static constexpr std::size_t kAppendRoom = 64;

    // decode: the bytes are Windows-1252; otherwise they are UTF-8 and copied as they are.
    // inPlace, when given, holds the bytes; the text is then written over them from the start
    // of its block (its front room first), which spares a second buffer of the card's size.
    // Should the text catch up with the bytes still to be read, it goes on in a buffer of its
    // own. A width the build lacks scans plain.
    LineScanner(std::string_view bytes, bool decode, TextBuffer *inPlace = nullptr, ScanWidth width = kScanWidth);

    // The next line; false once every byte has been read. A line ends at CR LF, LF, a lone CR
    // or the end of the bytes.
    bool next(ScannedLine &line);
    // Lines read so far.
    int lines() const { return m_lines; }

    // The text so far. It moves when it grows: valid until the next call of next().
    char *text() { return m_text; }
    // Where the text ends: behind the last line read, unless setEnd moved it.
    std::size_t end() const { return m_w; }
    // Moves the end of the text back into the last line or up to kAppendRoom bytes behind it:
    // the loader writes a PP's Final KEL text over the part of its line it does not keep.
    void setEnd(std::size_t end) { m_w = end; }

    // The whole text, once every line has been read.
    TextBuffer takeText();

private:
    // Room kept writable behind the text: a block's step with a decoded byte, and the append
    // room.
    static constexpr std::size_t kSlack = 128;

    template <bool Decode>
    bool nextPlain(ScannedLine &line);
    template <bool Decode, class Block>
    bool nextBlocks(ScannedLine &line);

    // Where the room for the text ends while the byte at i is the next one read.
    std::size_t roomEnd(std::size_t i) const { return m_writingInPlace ? m_inAt + i : m_out.capacity(); }
    // Room for kSlack bytes behind w, in a buffer of its own if need be.
    void makeRoom(std::size_t w, std::size_t i);
    // Ends the line read up to byte i and text end w: steps over its line end.
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
