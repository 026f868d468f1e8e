#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/final_kel.h"
#include "store/line_scanner.h"
#include "store/loader.h"
#include "store/race_store.h"

namespace kel {

// In file order: a race line starts a race, a horse line a horse of the last race, a PP line a PP
// of the last horse. Fields stay where the scanner put them in the card's text.
class CardFiler
{
public:
    CardFiler(RaceStore &store, LoadReport &report, LineScanner &scanner, RecordLines *lines = nullptr);

    // The line the scanner has just read, not empty.
    void file(const ScannedLine &line);

private:
    void fileRace(const ScannedLine &line, std::size_t dataFields);
    void fileHorse(const ScannedLine &line, std::size_t dataFields);
    void filePP(const ScannedLine &line, std::size_t dataFields);
    std::size_t keptFields(const ScannedLine &line, std::size_t dataFields, std::size_t max, const char *what);

    std::string_view field(const ScannedLine &line, std::size_t k) const;
    void fileFields(int32_t record, const int *slotOfField, std::size_t fields, const ScannedLine &line);
    // The text then ends behind it.
    std::size_t putFinalKel(const ScannedLine &line, std::size_t fields, std::size_t at);
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
    int m_r = 0;
    int m_h = 0;
    int m_p = 1;
    bool m_raceSkipped = false;
    bool m_horseSkipped = false;
};

} // namespace kel
