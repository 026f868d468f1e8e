#include "store/race_store.h"

#include <cstdint>

namespace kel {

// Backing text for one-character cells (marks "S" and "F", digits of "% W").
const char RaceStore::kChars[256] = {
#define KEL_ROW(n)                                                                                                     \
    char(n), char((n) + 1), char((n) + 2), char((n) + 3), char((n) + 4), char((n) + 5), char((n) + 6), char((n) + 7)
    KEL_ROW(0),   KEL_ROW(8),   KEL_ROW(16),  KEL_ROW(24),  KEL_ROW(32),  KEL_ROW(40),  KEL_ROW(48),  KEL_ROW(56),
    KEL_ROW(64),  KEL_ROW(72),  KEL_ROW(80),  KEL_ROW(88),  KEL_ROW(96),  KEL_ROW(104), KEL_ROW(112), KEL_ROW(120),
    KEL_ROW(128), KEL_ROW(136), KEL_ROW(144), KEL_ROW(152), KEL_ROW(160), KEL_ROW(168), KEL_ROW(176), KEL_ROW(184),
    KEL_ROW(192), KEL_ROW(200), KEL_ROW(208), KEL_ROW(216), KEL_ROW(224), KEL_ROW(232), KEL_ROW(240), KEL_ROW(248),
#undef KEL_ROW
};

RaceStore::RaceStore()
{
    createEmpty();
}

void RaceStore::createEmpty()
{
    m_index.assign(static_cast<std::size_t>(kMaxRace + 1) * (kMaxHorse + 1) * (kMaxPP + 1), -1);
    m_records.clear();
    m_records.shrink_to_fit();
    m_lines.clear();
    m_lines.shrink_to_fit();
    m_text.release();
    m_owned.clear();
}

void RaceStore::setCell(int32_t rec, int s, std::string_view text)
{
    if (rec & kLineBit) {
        setLineCell(m_lines[rec & kLineMask], s, text);
        return;
    }
    Cell &cell = m_records[rec][s];
    if (text.empty()) {
        cell = Cell{};
        return;
    }
    // One unsigned compare covers both ends: a text before the card's wraps to a huge offset.
    const std::size_t offset
        = reinterpret_cast<std::uintptr_t>(text.data()) - reinterpret_cast<std::uintptr_t>(m_text.data());
    if (offset < m_text.size() && text.size() <= m_text.size() - offset && text.size() <= kLenMask
        && offset <= UINT32_MAX) {
        cell.a = static_cast<uint32_t>(offset);
        cell.b = (uint32_t(File) << kKindShift) | static_cast<uint32_t>(text.size());
        return;
    }
    if (text.size() == 1 || text == kDashes) {
        cell.a = text.size() == 1 ? static_cast<unsigned char>(text[0]) : kDashesCode;
        cell.b = uint32_t(Char) << kKindShift;
        return;
    }
    // Reused: the engine rewrites its slots often.
    if ((cell.b >> kKindShift) == Owned) {
        m_owned[cell.a].assign(text);
        return;
    }
    cell.a = static_cast<uint32_t>(m_owned.size());
    cell.b = uint32_t(Owned) << kKindShift;
    m_owned.emplace_back(text);
}

void RaceStore::setLineCell(PPLine &line, int s, std::string_view text)
{
    if (line.flags & kMoved) {
        setCell(static_cast<int32_t>(line.base), s, text);
        return;
    }
    if (lineCell(line, s) == text)
        return;
    if (s == 0 && text.size() <= 1) {
        line.mark = text.empty() ? 0 : text[0];
        line.flags = static_cast<uint8_t>(text.empty() ? line.flags & ~kMarked : line.flags | kMarked);
        return;
    }
    const int32_t rec = static_cast<int32_t>(m_records.size());
    m_records.emplace_back();
    for (int slot = 0; slot < kSlots; ++slot)
        setCell(rec, slot, lineCell(line, slot));
    line.flags |= kMoved;
    line.base = static_cast<uint32_t>(rec);
    setCell(rec, s, text);
}

std::size_t RaceStore::memoryUse() const
{
    std::size_t n = m_index.capacity() * sizeof(int32_t) + m_records.capacity() * sizeof(Record)
                    + m_lines.capacity() * sizeof(PPLine) + m_text.capacity();
    for (const auto &s : m_owned)
        n += sizeof(std::string) + (s.capacity() > 15 ? s.capacity() : 0);
    return n;
}

} // namespace kel
