#include "store/race_store.h"

namespace kel {

namespace {
// Backing text for one-character cells (marks "S" and "F", digits of "% W").
constexpr std::array<char, 256> makeCharTable()
{
    std::array<char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<char>(i);
    return t;
}
constexpr std::array<char, 256> kChars = makeCharTable();
} // namespace

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
    m_owned.clear();
}

std::string_view RaceStore::view(const Cell &c) const
{
    switch (c.b >> kKindShift) {
    case File:
        return std::string_view(m_file).substr(c.a, c.b & kLenMask);
    case Owned:
        return m_owned[c.a];
    case Char:
        return std::string_view(&kChars[c.a], 1);
    default:
        return {};
    }
}

std::string_view RaceStore::operator()(int r, int h, int p, int s) const
{
    if (!inRange(r, h, p, s))
        return {};
    const int32_t rec = m_index[recordIndex(r, h, p)];
    if (rec < 0)
        return {};
    return view(m_records[rec][s]);
}

void RaceStore::set(int r, int h, int p, int s, std::string_view text)
{
    if (!inRange(r, h, p, s))
        return;
    int32_t &rec = m_index[recordIndex(r, h, p)];
    if (rec < 0) {
        if (text.empty())
            return;
        rec = static_cast<int32_t>(m_records.size());
        m_records.emplace_back();
    }
    Cell &cell = m_records[rec][s];
    const uint32_t kind = cell.b >> kKindShift;

    if (text.empty()) {
        cell = Cell{};
        return;
    }
    const char *fileBegin = m_file.data();
    if (!m_file.empty() && text.data() >= fileBegin && text.data() + text.size() <= fileBegin + m_file.size()
        && text.size() <= kLenMask) {
        cell.a = static_cast<uint32_t>(text.data() - fileBegin);
        cell.b = (uint32_t(File) << kKindShift) | static_cast<uint32_t>(text.size());
        return;
    }
    if (text.size() == 1) {
        cell.a = static_cast<unsigned char>(text[0]);
        cell.b = uint32_t(Char) << kKindShift;
        return;
    }
    // Reuse the owned string of a cell that is rewritten (the engine rewrites its slots often).
    if (kind == Owned) {
        m_owned[cell.a].assign(text);
        return;
    }
    cell.a = static_cast<uint32_t>(m_owned.size());
    cell.b = uint32_t(Owned) << kKindShift;
    m_owned.emplace_back(text);
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
        + m_file.capacity();
    for (const auto &s : m_owned)
        n += sizeof(std::string) + (s.capacity() > 15 ? s.capacity() : 0);
    return n;
}

} // namespace kel
