#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "store/text_buffer.h"
#include "store/utf8.h"

namespace kel {

#ifdef __wasm__
// WebAssembly has no prefetch: the walk to the address would be all there is.
inline constexpr bool kPrefetches = false;
#else
inline constexpr bool kPrefetches = true;
#endif

// A quoted field loses its first and last character ("ab gives a), the last perhaps several bytes.
inline std::string_view Unquote(std::string_view field)
{
    if (field.empty() || field[0] != '"')
        return field;
    return Utf8DropLast(field.substr(1));
}

// A full card has 1.77 million cells but at most ~90,000 written records, so only those take
// memory: nearly all are PP lines, kept as 40 bytes of field ends into the card's text.
class RaceStore
{
public:
    static constexpr int kMaxRace = 41;
    static constexpr int kMaxHorse = 21;
    static constexpr int kMaxPP = 100;
    static constexpr int kMaxSlot = 18;
    static constexpr int kSlots = kMaxSlot + 1;

    static constexpr int kPPFields = 15;
    static constexpr int kPPSlotOfField[kPPFields + 1] = {0, 12, 6, 15, 7, 8, 9, 10, 14, 13, 11, 1, 2, 3, 16, 4};

    // The Final KEL text overwrites what followed the last field filed (later fields and the
    // tag, which nothing reads), so it starts after that field's end.
    struct PPLine
    {
        uint32_t base = 0;            // offset of the line's first byte in the text
        uint16_t end[kPPFields] = {}; // field k ends at base + end[k - 1] and starts after
                                      // the end of field k - 1 (field 1 at base)
        uint16_t quoted = 0;          // bit k - 1: field k starts with a double quote, so it
                                      // is unquoted when read; the others are read as they
                                      // lie, without touching the text to tell if empty
        uint8_t finalLength = 0;      // bytes of the Final KEL text
        uint8_t fields = 0;           // fields filed; the others read empty ("----" in slot 4)
        char mark = 0;                // slot 0, while flags has kMarked
        uint8_t flags = 0;            // the store's own
    };
    static_assert(sizeof(PPLine) == 40);
    static constexpr std::size_t kMaxPPLineLength = UINT16_MAX;

    RaceStore();

    void createEmpty();

    // "" out of range; the view stays valid until this cell is written again or the store is re-created.
    std::string_view operator()(int r, int h, int p, int s) const
    {
        if (!inRange(r, h, p, s))
            return {};
        const int32_t rec = m_index[recordIndex(r, h, p)];
        return rec < 0 ? std::string_view() : cell(rec, s);
    }

    // -1 when never written; for readers of several cells of one record through cell().
    int32_t find(int r, int h, int p) const { return inRange(r, h, p, 0) ? m_index[recordIndex(r, h, p)] : -1; }

    void set(int r, int h, int p, int s, std::string_view text)
    {
        if (!inRange(r, h, p, s))
            return;
        const int32_t rec = m_index[recordIndex(r, h, p)];
        if (rec >= 0)
            setCell(rec, s, text);
        else if (!text.empty())
            setCell(record(r, h, p), s, text);
    }

    // For writers of whole records: (r, h, p) in range; valid until the store is re-created.
    int32_t record(int r, int h, int p)
    {
        int32_t &rec = m_index[recordIndex(r, h, p)];
        if (rec < 0) {
            rec = static_cast<int32_t>(m_records.size());
            m_records.emplace_back();
        }
        return rec;
    }
    void setCell(int32_t record, int s, std::string_view text);
    // Inlined by force: in WebAssembly the rating runs otherwise call both for every figure.
    [[gnu::always_inline]] std::string_view cell(int32_t record, int s) const
    {
        return (record & kLineBit) ? lineCell(m_lines[record & kLineMask], s) : view(m_records[record][s]);
    }
    // Walks over many PPs read texts spread through the card: one cache miss each otherwise.
    void prefetch(int32_t record, int s) const
    {
        if (!kPrefetches || record < 0)
            return;
        if (record & kLineBit) {
            const std::size_t i = static_cast<std::size_t>(record & kLineMask);
            if (i < m_lines.size()) {
                const PPLine &line = m_lines[i];
                if (line.flags & kMoved)
                    __builtin_prefetch(view(m_records[line.base][s]).data());
                else
                    __builtin_prefetch(m_text.data() + line.base + fieldOffset(line, s));
            }
        } else if (static_cast<std::size_t>(record) < m_records.size()) {
            __builtin_prefetch(view(m_records[record][s]).data());
        }
    }
    void setFileCell(int32_t record, int s, std::size_t offset, std::size_t length)
    {
        m_records[record][s] = length == 0 ? Cell{}
                                           : Cell{static_cast<uint32_t>(offset),
                                                  (uint32_t(File) << kKindShift) | static_cast<uint32_t>(length)};
    }
    // (r, h, p) in range; the caller fills in the line, which stays valid until the next one.
    PPLine &addLine(int r, int h, int p)
    {
        m_index[recordIndex(r, h, p)] = static_cast<int32_t>(m_lines.size()) | kLineBit;
        return m_lines.emplace_back();
    }

    // The loader files cells and lines first and hands their text over last: nothing reads between.
    void adoptText(TextBuffer text) { m_text = std::move(text); }

    static bool inRange(int r, int h, int p, int s)
    {
        return r >= 0 && r <= kMaxRace && h >= 0 && h <= kMaxHorse && p >= 0 && p <= kMaxPP && s >= 0 && s <= kMaxSlot;
    }

    void reserve(std::size_t records, std::size_t lines)
    {
        m_records.reserve(records);
        m_lines.reserve(lines);
    }
    std::size_t recordCount() const { return m_records.size() + m_lines.size(); }
    std::size_t memoryUse() const;

private:
    struct Cell
    {
        uint32_t a = 0; // text offset, owned index or character code
        uint32_t b = 0; // kind in the top two bits, then the length
    };
    using Record = std::array<Cell, kSlots>;

    static constexpr uint32_t kKindShift = 30;
    static constexpr uint32_t kLenMask = (1u << kKindShift) - 1;
    enum Kind : uint32_t { Empty = 0, File = 1, Owned = 2, Char = 3 };
    // A Char cell as well: every PP line without an early figure shows it twice.
    static constexpr std::string_view kDashes = "----";
    static constexpr uint32_t kDashesCode = 256;

    static constexpr int32_t kLineBit = int32_t(1) << 30;
    static constexpr int32_t kLineMask = kLineBit - 1;
    // PPLine flags: slot 0 holds mark; the line moved to the full record numbered base.
    static constexpr uint8_t kMarked = 1;
    static constexpr uint8_t kMoved = 2;

    static constexpr std::array<uint8_t, kSlots> kFieldOfPPSlot = [] {
        std::array<uint8_t, kSlots> f{};
        for (int k = 1; k <= kPPFields; ++k)
            f[static_cast<std::size_t>(kPPSlotOfField[k])] = static_cast<uint8_t>(k);
        return f;
    }();

    static int recordIndex(int r, int h, int p) { return (r * (kMaxHorse + 1) + h) * (kMaxPP + 1) + p; }
    std::string_view view(const Cell &c) const
    {
        switch (c.b >> kKindShift) {
        case File:
            return std::string_view(m_text.data() + c.a, c.b & kLenMask);
        case Owned:
            return m_owned[c.a];
        case Char:
            return c.a == kDashesCode ? kDashes : std::string_view(&kChars[c.a], 1);
        default:
            return {};
        }
    }
    [[gnu::always_inline]] std::string_view lineCell(const PPLine &line, int s) const
    {
        if (line.flags & kMoved)
            return view(m_records[line.base][s]);
        const int k = kFieldOfPPSlot[static_cast<std::size_t>(s)];
        if (k > 0) {
            if (k > line.fields)
                return s == 4 ? kDashes : std::string_view();
            const std::size_t begin = k == 1 ? 0 : std::size_t(line.end[k - 2]) + 1;
            const std::string_view field(m_text.data() + line.base + begin, line.end[k - 1] - begin);
            return (line.quoted >> (k - 1) & 1u) ? Unquote(field) : field;
        }
        if (s == 5)
            return std::string_view(m_text.data() + line.base + finalOffset(line), line.finalLength);
        if (s == 0 && (line.flags & kMarked))
            return std::string_view(&kChars[static_cast<unsigned char>(line.mark)], 1);
        return {};
    }

public:
    static std::size_t finalOffset(const PPLine &line)
    {
        return line.fields == 0 ? 0 : std::size_t(line.end[line.fields - 1]) + 1;
    }

private:
    static std::size_t fieldOffset(const PPLine &line, int s)
    {
        if (s == 5)
            return finalOffset(line);
        const int k = kFieldOfPPSlot[static_cast<std::size_t>(s)];
        return k > 1 && k <= line.fields ? std::size_t(line.end[k - 2]) + 1 : 0;
    }
    void setLineCell(PPLine &line, int s, std::string_view text);
    static const char kChars[256];

    std::vector<int32_t> m_index; // record number per (r, h, p), -1 when never written
    std::vector<Record> m_records;
    std::vector<PPLine> m_lines;
    TextBuffer m_text;
    std::deque<std::string> m_owned;
};

} // namespace kel
