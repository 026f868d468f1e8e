#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/card_file.h"
#include "store/race_store.h"

namespace kel {

struct LoadNote
{
    int line = 0; // 1-based line number in the file
    std::string what;
};

struct LoadReport
{
    // Notes kept of each kind; the counts go on.
    static constexpr std::size_t kMaxNotes = 1000;

    int lines = 0; // lines read, empty ones included
    // What did not fit the store and was left out: the open command and the report tool show it.
    std::vector<LoadNote> dropped;
    std::size_t droppedCount = 0;
    // Lines no page shows: no tag "A;", "B;" or "C;", or filed under race or horse 0 for want of
    // a race or horse line before them. For the card checker; empty lines are not listed.
    std::vector<LoadNote> skipped;
    std::size_t skippedCount = 0;

    void noteDropped(int line, std::string what);
    void noteSkipped(int line, std::string what);
};

class RecordLines
{
public:
    int operator()(int r, int h, int p) const
    {
        return m_line.empty() || !RaceStore::inRange(r, h, p, 0) ? 0 : m_line[index(r, h, p)];
    }
    void file(int r, int h, int p, int line)
    {
        if (m_line.empty())
            m_line.resize(std::size_t(RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1) * (RaceStore::kMaxPP + 1));
        m_line[index(r, h, p)] = line;
    }

private:
    static std::size_t index(int r, int h, int p)
    {
        const int i = (r * (RaceStore::kMaxHorse + 1) + h) * (RaceStore::kMaxPP + 1) + p;
        return static_cast<std::size_t>(i);
    }
    std::vector<int> m_line;
};

// A card that starts with a UTF-8 byte-order mark is UTF-8 when it is valid, else Windows-1252.
// Never fails: what does not fit the store is left out and listed in the report.
LoadReport LoadCard(std::string_view bytes, RaceStore &store, RecordLines *lines = nullptr);
// Writes the store's text over the bytes, sparing a second buffer of the card's size.
LoadReport LoadCard(TextBuffer &&bytes, RaceStore &store, RecordLines *lines = nullptr);

} // namespace kel
