#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/final_kel.h"
#include "store/line_scanner.h"
#include "store/loader.h"
#include "store/race_store.h"

namespace kel {

// Files the lines of a card into the store in file order, as the scanner reads them: a race
// line starts a race, a horse line a horse of the last race, a PP line a PP of the last horse.
// Fields stay where the scanner put them in the card's text; the filer notes their places and
// writes each PP's Final KEL text behind the fields it keeps. What it leaves out or files where
// no page shows it goes into the report; the line of each record filed into lines, if given.
class CardFiler
{
public:
    CardFiler(RaceStore &store, LoadReport &report, LineScanner &scanner, RecordLines *lines = nullptr);

    // Files the line the scanner has just read (not empty).
    void file(const ScannedLine &line);

private:
    // The line's kind and the fields before its tag.
    void fileRace(const ScannedLine &line, std::size_t dataFields);
    void fileHorse(const ScannedLine &line, std::size_t dataFields);
    void filePP(const ScannedLine &line, std::size_t dataFields);
    // At most max of the line's data fields; those past it are noted as dropped.
    std::size_t keptFields(const ScannedLine &line, std::size_t dataFields, std::size_t max, const char *what);

    // Field k (from 1) of the line, quotes removed.
    std::string_view field(const ScannedLine &line, std::size_t k) const;
    void fileFields(int32_t record, const int *slotOfField, std::size_t fields, const ScannedLine &line);
    // Writes the Final KEL text of a PP line of `fields` data fields at offset `at` of the
    // text, which then ends behind it; returns its length.
    std::size_t putFinalKel(const ScannedLine &line, std::size_t fields, std::size_t at);
    // The line of the record just filed, when the caller asked for lines.
    void noteLine(const ScannedLine &line)
    {
        if (m_lines) [[unlikely]]
            m_lines->file(m_r, m_h, m_p, line.number);
    }

    RaceStore &m_store;
    LoadReport &m_report;
    LineScanner &m_scanner;
    RecordLines *m_lines;
    char *m_text = nullptr; // the scanner's text while a line is filed
    FinalKelMemo m_finalKels;
    // Record counters: the race, horse and PP last filed.
    int m_r = 0;
    int m_h = 0;
    int m_p = 1;
    bool m_raceSkipped = false;
    bool m_horseSkipped = false;
};

} // namespace kel
