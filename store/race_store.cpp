#include "store/race_store.h"

#include <cstdint>

namespace kel {

// Backing text for one-character cells (marks "S" and "F", digits of "% W").
const char RaceStore::kChars[256] = {
#define KEL_ROW(n) char(n), char(n + 1), char(n + 2), char(n + 3), char(n + 4), char(n + 5), char(n + 6), char(n + 7)
    KEL_ROW(0), KEL_ROW(8), KEL_ROW(16), KEL_ROW(24), KEL_ROW(32), KEL_ROW(40), KEL_ROW(48), KEL_ROW(56),
    KEL_ROW(64), KEL_ROW(72), KEL_ROW(80), KEL_ROW(88), KEL_ROW(96), KEL_ROW(104), KEL_ROW(112), KEL_ROW(120),
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
    m_file.clear();
    m_file.shrink_to_fit();
    m_loaded.clear();
    m_loaded.shrink_to_fit();
    m_owned.clear();
}

void RaceStore::setCell(int32_t rec, int s, std::string_view text)
{
    Cell &cell = m_records[rec][s];
    if (text.empty()) {
        cell = Cell{};
        return;
    }
    // A text inside the adopted file is kept as its place there (one unsigned compare covers
    // both ends).
    const std::size_t offset = reinterpret_cast<std::uintptr_t>(text.data()) - reinterpret_cast<std::uintptr_t>(m_file.data());
    if (offset < m_file.size() && text.size() <= m_file.size() - offset && text.size() <= kLenMask) {
        cell.a = static_cast<uint32_t>(offset);
        cell.b = (uint32_t(File) << kKindShift) | static_cast<uint32_t>(text.size());
        return;
    }
    if (text.size() == 1 || text == kDashes) {
        cell.a = text.size() == 1 ? static_cast<unsigned char>(text[0]) : kDashesCode;
        cell.b = uint32_t(Char) << kKindShift;
        return;
    }
    // Reuse the owned string of a cell that is rewritten (the engine rewrites its slots often).
    if ((cell.b >> kKindShift) == Owned && !(cell.b & kLoadedFlag)) {
        m_owned[cell.a].assign(text);
        return;
    }
    cell.a = static_cast<uint32_t>(m_owned.size());
    cell.b = uint32_t(Owned) << kKindShift;
    m_owned.emplace_back(text);
}

void RaceStore::setLoadedCell(int32_t rec, int s, std::string_view text)
{
    if (text.size() <= 1 || text == kDashes || text.size() > kLoadedLenMask
        || m_loaded.size() + text.size() > UINT32_MAX) {
        setCell(rec, s, text);
        return;
    }
    Cell &cell = m_records[rec][s];
    cell.a = static_cast<uint32_t>(m_loaded.size());
    cell.b = (uint32_t(Owned) << kKindShift) | kLoadedFlag | static_cast<uint32_t>(text.size());
    m_loaded.append(text);
}

std::string_view RaceStore::adopt(std::string text)
{
    if (m_file.empty() && text.size() < (std::size_t(1) << 32)) {
        m_file = std::move(text);
        return m_file;
    }
    // Cannot reference a second buffer: keep it as owned text instead.
    m_owned.emplace_back(std::move(text));
    return m_owned.back();
}

std::size_t RaceStore::memoryUse() const
{
    std::size_t n = m_index.capacity() * sizeof(int32_t) + m_records.capacity() * sizeof(Record)
        + m_file.capacity() + m_loaded.capacity();
    for (const auto &s : m_owned)
        n += sizeof(std::string) + (s.capacity() > 15 ? s.capacity() : 0);
    return n;
}

} // namespace kel
