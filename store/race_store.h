#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

// The loaded card: Data(race 0..41, horse 0..21, PP 0..100, slot 0..18), every cell a text.
//
// A full card has 1.77 million cells but at most ~90,000 written records, so only written
// records take memory, and their texts are views into the file text the loader adopted;
// texts written later are interned one-character codes or owned strings reused per cell.
class RaceStore
{
public:
    static constexpr int kMaxRace = 41;
    static constexpr int kMaxHorse = 21;
    static constexpr int kMaxPP = 100;
    static constexpr int kMaxSlot = 18;
    static constexpr int kSlots = kMaxSlot + 1;

    RaceStore();

    // Every cell becomes empty; views handed out before are invalid afterwards.
    void createEmpty();

    // The text of a cell; "" for a cell never written or indices out of range. The view stays
    // valid until this cell is written again or the store is re-created.
    std::string_view operator()(int r, int h, int p, int s) const
    {
        if (!inRange(r, h, p, s))
            return {};
        const int32_t rec = m_index[recordIndex(r, h, p)];
        return rec < 0 ? std::string_view() : view(m_records[rec][s]);
    }
    std::string_view get(int r, int h, int p, int s) const { return (*this)(r, h, p, s); }

    // The number of record (r, h, p), or -1 when it was never written (every cell empty); for
    // readers of several cells of one record, with cell(record, slot).
    int32_t find(int r, int h, int p) const
    {
        return inRange(r, h, p, 0) ? m_index[recordIndex(r, h, p)] : -1;
    }

    // Out-of-range writes are ignored.
    void set(int r, int h, int p, int s, std::string_view text)
    {
        if (inRange(r, h, p, s) && (!text.empty() || m_index[recordIndex(r, h, p)] >= 0))
            setCell(record(r, h, p), s, text);
    }

    // For writers of whole records (the loader): the number of record (r, h, p), which must be
    // in range, created empty when missing; then its cells by slot (0 to kMaxSlot) without a
    // lookup per cell. A number stays valid until the store is re-created.
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
    std::string_view cell(int32_t record, int s) const { return view(m_records[record][s]); }
    // Asks the processor for a cell's text ahead of its reading: walks over many PPs read texts
    // spread through the card, one cache miss each otherwise.
    void prefetch(int32_t record, int s) const
    {
        if (record >= 0 && static_cast<std::size_t>(record) < m_records.size())
            __builtin_prefetch(view(m_records[record][s]).data());
    }
    // A cell that is bytes [offset, offset + length) of the adopted text.
    void setFileCell(int32_t record, int s, std::size_t offset, std::size_t length)
    {
        m_records[record][s] = length == 0 ? Cell{}
                                           : Cell{static_cast<uint32_t>(offset),
                                                  (uint32_t(File) << kKindShift) | static_cast<uint32_t>(length)};
    }
    // A text the loader made (a decoded field, a Final KEL figure), kept in one growing buffer
    // next to the file's. Only while loading: a later call may move texts viewed before.
    void setLoadedCell(int32_t record, int s, std::string_view text);
    void reserveLoaded(std::size_t bytes) { m_loaded.reserve(bytes); }

    // Takes over a text buffer; set() with a view into it then references it without copying.
    // Only one buffer is adopted per card; a later call copies as set() always may.
    std::string_view adopt(std::string text);

    static bool inRange(int r, int h, int p, int s)
    {
        return r >= 0 && r <= kMaxRace && h >= 0 && h <= kMaxHorse && p >= 0 && p <= kMaxPP
            && s >= 0 && s <= kMaxSlot;
    }

    // Room for this many written records, so a large card does not regrow the table.
    void reserveRecords(std::size_t n) { m_records.reserve(n); }
    std::size_t recordCount() const { return m_records.size(); }
    // Approximate heap use, for the benchmarks.
    std::size_t memoryUse() const;

private:
    struct Cell
    {
        uint32_t a = 0; // file or loaded-text offset, owned index or character code
        uint32_t b = 0; // kind in the top two bits, then the loaded flag, then the length
    };
    using Record = std::array<Cell, kSlots>;

    static constexpr uint32_t kKindShift = 30;
    static constexpr uint32_t kLenMask = (1u << kKindShift) - 1;
    enum Kind : uint32_t { Empty = 0, File = 1, Owned = 2, Char = 3 };
    // An Owned cell with this flag refers to the loaded texts instead of an owned string.
    static constexpr uint32_t kLoadedFlag = 1u << (kKindShift - 1);
    static constexpr uint32_t kLoadedLenMask = kLoadedFlag - 1;
    // A Char cell holds one character, or the missing-figure text, which the loader writes
    // twice on every PP line.
    static constexpr std::string_view kDashes = "----";
    static constexpr uint32_t kDashesCode = 256;

    static int recordIndex(int r, int h, int p) { return (r * (kMaxHorse + 1) + h) * (kMaxPP + 1) + p; }
    std::string_view view(const Cell &c) const
    {
        switch (c.b >> kKindShift) {
        case File:
            return std::string_view(m_file.data() + c.a, c.b & kLenMask);
        case Owned:
            if (c.b & kLoadedFlag)
                return std::string_view(m_loaded.data() + c.a, c.b & kLoadedLenMask);
            return m_owned[c.a];
        case Char:
            return c.a == kDashesCode ? kDashes : std::string_view(&kChars[c.a], 1);
        default:
            return {};
        }
    }
    static const char kChars[256];

    std::vector<int32_t> m_index; // record number per (r, h, p), -1 when never written
    std::vector<Record> m_records;
    std::string m_file;
    std::string m_loaded;
    std::deque<std::string> m_owned;
};

} // namespace kel
