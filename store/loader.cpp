#include "store/loader.h"

#include <algorithm>
#include <string>
#include <utility>

#include "store/card_filer.h"
#include "store/line_scanner.h"
#include "store/number_text.h"
#include "store/utf8.h"

namespace kel {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

void note(std::vector<LoadNote> &notes, std::size_t &count, int line, std::string what)
{
    ++count;
    if (notes.size() < LoadReport::kMaxNotes)
        notes.push_back({line, std::move(what)});
}

// Out of line, with nothing to destroy: a caller with destructors pending takes each call through
// a JavaScript exception trampoline in the WebAssembly build (two a line, most of a load's time).
[[gnu::noinline]] void fileLines(LineScanner &scanner, CardFiler &filer, ScannedLine &line)
{
    while (scanner.next(line)) {
        if (line.length > 0)
            filer.file(line);
    }
}

LoadReport loadCard(std::string_view bytes, TextBuffer *inPlace, RaceStore &store, RecordLines *lines)
{
    store.createEmpty();
    LoadReport report;
    // A card saved as UTF-8 is what the store holds: decoded again, "º" would become "Âº" and
    // hide every win.
    bool utf8 = false;
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
        utf8 = Utf8Valid(bytes);
    }
    // So that, decoded, the text stays within what the store's offsets reach.
    const bool cut = bytes.size() > kMaxCardBytes;
    if (cut)
        bytes = bytes.substr(0, kMaxCardBytes);
    // Reserved room is untouched memory, so a generous guess is free.
    constexpr std::size_t kRecords
        = std::size_t(RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1) * (RaceStore::kMaxPP + 1);
    store.reserve(std::size_t(RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1),
                  std::min<std::size_t>(bytes.size() / 16 + 1, kRecords));

    LineScanner scanner(bytes, !utf8, inPlace);
    CardFiler filer(store, report, scanner, lines);
    ScannedLine line;
    fileLines(scanner, filer, line);
    report.lines = scanner.lines();
    store.adoptText(scanner.takeText());
    if (cut)
        report.noteDropped(report.lines, "the card is larger than " + DecimalText(kMaxCardBytes >> 20)
                                             + " MB: the rest of it was not read");
    return report;
}

} // namespace

void LoadReport::noteDropped(int line, std::string what)
{
    note(dropped, droppedCount, line, std::move(what));
}

void LoadReport::noteSkipped(int line, std::string what)
{
    note(skipped, skippedCount, line, std::move(what));
}

LoadReport LoadCard(std::string_view bytes, RaceStore &store, RecordLines *lines)
{
    return loadCard(bytes, nullptr, store, lines);
}

LoadReport LoadCard(TextBuffer &&bytes, RaceStore &store, RecordLines *lines)
{
    TextBuffer taken = std::move(bytes);
    return loadCard(taken.view(), &taken, store, lines);
}

} // namespace kel
