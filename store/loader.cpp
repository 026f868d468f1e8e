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

// Every line filed. Out of line and with nothing to destroy: the WebAssembly build then calls the
// scanner and the filer directly, where a caller with destructors pending would take each call
// through a JavaScript exception trampoline (two a line, most of the load's time there).
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
    // An editor that saved the card as UTF-8 put a byte-order mark in front: the text after it
    // is already what the store holds, and decoding it again would turn "º" into "Âº" and so
    // hide every win. A mark followed by something that is not UTF-8 is just dropped.
    bool utf8 = false;
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
        utf8 = Utf8Valid(bytes);
    }
    // Decoded, the text stays within what the store's offsets reach.
    const bool cut = bytes.size() > kMaxCardBytes;
    if (cut)
        bytes = bytes.substr(0, kMaxCardBytes);
    // One PP line per line at most, and a line holds at least its tag and a few bytes: room
    // reserved from the size is untouched memory, so a generous guess is free.
    constexpr std::size_t kRecords
        = std::size_t(RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1) * (RaceStore::kMaxPP + 1);
    store.reserve(std::size_t(RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1),
                  std::min<std::size_t>(bytes.size() / 16 + 1, kRecords));

    LineScanner scanner(bytes, !utf8, inPlace);
    CardFiler filer(store, report, scanner, lines);
    ScannedLine line;
    fileLines(scanner, filer, line);
    report.lines = scanner.lines();
    // The file cells and PP lines refer to the text by offsets: handed over last.
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
