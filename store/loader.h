#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/card_file.h"
#include "store/race_store.h"

namespace kel {

// A line of the card that the store does not hold or show as its maker meant, and why.
struct LoadNote
{
    int line = 0; // 1-based line number in the file
    std::string what;
};

struct LoadReport
{
    // At most this many notes of each kind are kept; the counts go on.
    static constexpr std::size_t kMaxNotes = 1000;

    int lines = 0; // lines read, empty ones included
    // What did not fit the store and was left out: records past its capacity, fields past the
    // last slot of a line, the end of a card past kMaxCardBytes. The open command and the report
    // tool show these.
    std::vector<LoadNote> dropped;
    std::size_t droppedCount = 0;
    // Lines whose record no page shows: a line without a record tag or with another tag than
    // "A;", "B;" or "C;" (skipped), a horse line before any race line (filed under race 0), a
    // PP line before any horse line of its race (filed under horse 0). Empty lines are not
    // listed. For the card checker; the open command does not show them.
    std::vector<LoadNote> skipped;
    std::size_t skippedCount = 0;

    void noteDropped(int line, std::string what);
    void noteSkipped(int line, std::string what);
};

// The card line each record was filed from, for a caller that points back at the card (the
// store keeps no line numbers).
class RecordLines
{
public:
    // 0 for a record no line filed.
    int operator()(int r, int h, int p) const
    {
        return m_line.empty() || !RaceStore::inRange(r, h, p, 0) ? 0 : m_line[index(r, h, p)];
    }
    // (r, h, p) in range.
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

// Re-creates the store and files every race, horse and PP line of the card into it, with the
// Final KEL figure of each PP. Lines end in CR LF, LF or a lone CR. A card that starts with a
// UTF-8 byte-order mark is taken as UTF-8 when it is (the mark dropped); otherwise as
// Windows-1252. Never fails: what does not fit the store is skipped and listed in the report,
// as is anything past kMaxCardBytes. With lines, notes there the line of each record filed.
LoadReport LoadCard(std::string_view bytes, RaceStore &store, RecordLines *lines = nullptr);
// The same, taking over the bytes: the store's text is then written over them, in the buffer's
// front room first (ReadCardFile leaves some), which spares a second buffer of the card's size.
LoadReport LoadCard(TextBuffer &&bytes, RaceStore &store, RecordLines *lines = nullptr);

} // namespace kel
