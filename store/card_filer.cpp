#include "store/card_filer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "store/number_text.h"
#include "store/utf8.h"

namespace kel {

namespace {

constexpr int kRaceSlotOfField[18] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
constexpr int kHorseSlotOfField[15] = {0, 1, 2, 3, 4, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
constexpr std::size_t kMaxRaceFields = 17;
constexpr std::size_t kMaxHorseFields = 14;
constexpr std::size_t kMaxPPFields = 17;
constexpr std::size_t kTagShown = 20;

constexpr std::size_t kKept = ScannedLine::kKeptSeparators;
constexpr std::size_t kNone = std::size_t(-1);

// Out of the way of the filing: a line rarely has more fields than its record.
[[gnu::noinline]] std::string droppedFields(const char *what, std::size_t fields, std::size_t kept)
{
    return std::string(what) + " line with " + DecimalText(fields) + " fields before its tag; only " + DecimalText(kept)
           + " are kept, the rest were dropped";
}

} // namespace

CardFiler::CardFiler(RaceStore &store, LoadReport &report, LineScanner &scanner, RecordLines *lines)
    : m_store(store)
    , m_report(report)
    , m_scanner(scanner)
    , m_lines(lines)
{}

void CardFiler::file(const ScannedLine &line)
{
    m_text = m_scanner.text();
    // The tag is the last field; a ";" that ends the line belongs to it.
    const std::size_t kept = std::min(line.separators, kKept);
    std::size_t dataFields = line.separators;
    std::size_t lastSep = kept >= 1 ? line.separator[kept - 1] : kNone;
    if (lastSep == line.length - 1) {
        --dataFields;
        lastSep = kept >= 2 ? line.separator[kept - 2] : kNone;
    }
    const std::size_t tagBegin = dataFields == 0 ? 0 : lastSep + 1;
    const std::string_view tag(m_text + line.begin + tagBegin, line.length - tagBegin);
    // Compared by hand: WebAssembly's libc++ leaves a two-byte == to a call of memcmp, every line.
    const char kind = tag.size() == 2 && tag[1] == ';' ? tag[0] : '\0';
    if (kind == 'A') {
        fileRace(line, dataFields);
    } else if (kind == 'B') {
        fileHorse(line, dataFields);
    } else if (kind == 'C') {
        filePP(line, dataFields);
    } else if (line.separators == 0) {
        m_report.noteSkipped(line.number, "line skipped: it has no \";\", so no record tag (A;, B; or C;)");
    } else {
        const std::string_view shown = Utf8Left(tag, kTagShown);
        m_report.noteSkipped(line.number, "line skipped: its last field \"" + std::string(shown)
                                              + (shown.size() < tag.size() ? "...\"" : "\"")
                                              + " is not a record tag (A;, B; or C;)");
    }
}

void CardFiler::fileRace(const ScannedLine &line, std::size_t dataFields)
{
    ++m_r;
    m_h = 0;
    m_p = 0;
    m_raceSkipped = m_r > RaceStore::kMaxRace;
    m_horseSkipped = false;
    if (m_raceSkipped) {
        m_report.noteDropped(line.number, "race " + DecimalText(m_r) + " skipped: a card holds at most 41 races");
        return;
    }
    const std::size_t fields = keptFields(line, dataFields, kMaxRaceFields, "race");
    fileFields(m_store.record(m_r, 0, 0), kRaceSlotOfField, fields, line);
    noteLine(line);
}

void CardFiler::fileHorse(const ScannedLine &line, std::size_t dataFields)
{
    ++m_h;
    m_p = 0;
    if (m_raceSkipped) {
        m_report.noteDropped(line.number, "horse skipped: its race was skipped");
        return;
    }
    m_horseSkipped = m_h > RaceStore::kMaxHorse;
    if (m_horseSkipped) {
        m_report.noteDropped(line.number, "horse " + DecimalText(m_h) + " of race " + DecimalText(m_r)
                                              + " skipped: a race holds at most 21 horses");
        return;
    }
    if (m_r == 0)
        m_report.noteSkipped(line.number, "horse line before any race line: filed under race 0, which no page shows");
    const std::size_t fields = keptFields(line, dataFields, kMaxHorseFields, "horse");
    fileFields(m_store.record(m_r, m_h, 0), kHorseSlotOfField, fields, line);
    noteLine(line);
}

void CardFiler::filePP(const ScannedLine &line, std::size_t dataFields)
{
    ++m_p;
    if (m_raceSkipped || m_horseSkipped) {
        m_report.noteDropped(line.number, "past performance skipped: its race or horse was skipped");
        return;
    }
    if (m_p > RaceStore::kMaxPP) {
        m_report.noteDropped(line.number, "past performance " + DecimalText(m_p) + " of race " + DecimalText(m_r)
                                              + ", horse " + DecimalText(m_h) + " skipped: a horse holds at most 100");
        return;
    }
    if (m_r == 0)
        m_report.noteSkipped(line.number,
                             "past performance line before any race line: filed under race 0, which no page shows");
    else if (m_h == 0)
        m_report.noteSkipped(line.number, "past performance line before any horse line of its race: filed under "
                                          "horse 0, which no page shows");
    noteLine(line);
    const std::size_t filed
        = std::min<std::size_t>(keptFields(line, dataFields, kMaxPPFields, "past performance"), RaceStore::kPPFields);
    if (line.length <= RaceStore::kMaxPPLineLength) {
        // Filled in place: a line built aside and copied would be read back wider than written.
        RaceStore::PPLine &pp = m_store.addLine(m_r, m_h, m_p);
        pp.base = static_cast<uint32_t>(line.begin);
        for (std::size_t k = 0; k < filed; ++k)
            pp.end[k] = static_cast<uint16_t>(line.separator[k]);
        pp.fields = static_cast<uint8_t>(filed);
        pp.quoted = static_cast<uint16_t>(line.quotedFields & ((1u << RaceStore::kPPFields) - 1));
        pp.finalLength = static_cast<uint8_t>(putFinalKel(line, filed, line.begin + RaceStore::finalOffset(pp)));
        return;
    }
    const int32_t rec = m_store.record(m_r, m_h, m_p);
    fileFields(rec, RaceStore::kPPSlotOfField, filed, line);
    if (filed < RaceStore::kPPFields)
        m_store.setCell(rec, 4, kNoFigure);
    const std::size_t at = m_scanner.end();
    m_store.setFileCell(rec, 5, at, putFinalKel(line, filed, at));
}

std::size_t CardFiler::keptFields(const ScannedLine &line, std::size_t dataFields, std::size_t max, const char *what)
{
    if (dataFields > max) [[unlikely]]
        m_report.noteDropped(line.number, droppedFields(what, dataFields, max));
    return std::min(dataFields, max);
}

std::string_view CardFiler::field(const ScannedLine &line, std::size_t k) const
{
    const std::size_t from = k == 1 ? 0 : line.separator[k - 2] + 1;
    return Unquote(std::string_view(m_text + line.begin + from, line.separator[k - 1] - from));
}

void CardFiler::fileFields(int32_t record, const int *slotOfField, std::size_t fields, const ScannedLine &line)
{
    for (std::size_t k = 1; k <= fields; ++k) {
        const std::string_view text = field(line, k);
        m_store.setFileCell(record, slotOfField[k], static_cast<std::size_t>(text.data() - m_text), text.size());
    }
}

std::size_t CardFiler::putFinalKel(const ScannedLine &line, std::size_t fields, std::size_t at)
{
    char *const out = m_text + at;
    std::size_t length = kNoFigure.size();
    if (fields >= RaceStore::kPPFields)
        length = m_finalKels.put(field(line, 13), field(line, 15), out);
    else
        std::memcpy(out, kNoFigure.data(), kNoFigure.size());
    m_scanner.setEnd(at + length);
    return length;
}

} // namespace kel
