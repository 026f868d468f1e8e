#pragma once

#include <emscripten/val.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/open_card.h"
#include "printing/recorded_document.h"
#include "store/module1.h"
#include "store/text_buffer.h"
#include "views/dialogs.h"
#include "views/memory_form.h"

namespace kel {

// Letter paper less quarter-inch margins, in twips: what the desktop prints on by default.
inline constexpr double kPrintWidth = 11520;
inline constexpr double kPrintHeight = 15120;

// kind ("text", "line", "newpage" or "enddoc"), page, position, then the line's or the text's own.
void AppendPrintEventJson(std::string &out, const RecordedDocument::Event &e);

// The card, the form and every command of the window, for JavaScript; the boxes are asked of the
// dialogs it is made with (a module may bind more than one kind).
class Window
{
public:
    explicit Window(std::unique_ptr<Dialogs> dialogs) : m_dialogs(std::move(dialogs)) {}

    Module1 &module() { return m_m; }
    MemoryForm &form() { return m_form; }
    Dialogs &dialogs() { return *m_dialogs; }

    // cardBuffer(size) gives where the page writes the card's bytes (0 when the memory is short);
    // openCard(name) opens them under the file's name.
    uintptr_t cardBuffer(std::size_t size);
    void openCard(const std::string &name);
    // prepareCard() loads and rates the bytes written at cardBuffer apart from the card on show
    // (false when the memory is short); openPrepared(name) then opens them as openCard would.
    bool prepareCard();
    void openPrepared(const std::string &name);
    void dropPrepared() { m_prepared.reset(); }

    std::string state() const;

    // The grid's current cell, as a click puts it.
    void setCell(int row, int col);
    void setColWidth(int col, int twips);
    void setText(const std::string &ctl, const std::string &text);
    void setValue(const std::string &ctl, int value);

    void doubleClick();
    void gridKey(int key);
    void formKey(int key);
    void fileOpen();
    void cancelOpen();
    void recalculate();
    void go();
    void cancelSettings();
    void resetData();
    void earlySpeed();
    void lateSpeed();
    // "Print": the questions asked, then the report's events as JSON ("[]" when abandoned).
    std::string print();

    // The report tool's bytes, as a Uint8Array: the spreadsheet CSV's byte-order mark would be
    // lost in a string. Race 0 for every race.
    emscripten::val csv(int race, bool odds, bool excel) const;
    emscripten::val json(int race, bool odds) const;

private:
    Module1 m_m;
    MemoryForm m_form;
    std::unique_ptr<Dialogs> m_dialogs;
    std::optional<TextBuffer> m_card;
    std::optional<PreparedCard> m_prepared;
};

} // namespace kel
