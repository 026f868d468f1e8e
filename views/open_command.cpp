#include <algorithm>
#include <filesystem>
#include <new>
#include <optional>
#include <string>

#include "engine/open_card.h"
#include "store/loader.h"
#include "store/number_text.h"
#include "store/utf8.h"
#include "views/commands.h"

namespace kel {

namespace {

constexpr std::size_t kNotesShown = 5;

std::string inDirectory(const std::string &dir, std::string_view file)
{
    std::string path = dir;
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += '/';
    path += file;
    return path;
}

bool exists(const std::string &path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// The name's last four characters become ".kel"; where letter cases differ on disk "CARD.KEL" has
// no "CARD.kel" beside it, and the listed file itself is opened.
std::string cardPath(const std::string &dir, const std::string &name)
{
    const std::size_t chars = Utf8Count(name);
    std::string path = inDirectory(dir, std::string(Utf8Left(name, chars > 4 ? chars - 4 : 0)) + ".kel");
    if (!exists(path)) {
        std::string listed = inDirectory(dir, name);
        if (exists(listed))
            return listed;
    }
    return path;
}

std::string droppedMessage(const std::string &name, const LoadReport &report)
{
    const std::size_t count = std::max(report.droppedCount, report.dropped.size());
    std::string msg = DecimalText(count) + (count == 1 ? " line of " : " lines of ") + name
                      + (count == 1 ? " did not fit and was" : " did not fit and were")
                      + " left out in whole or in part:";
    const std::size_t shown = std::min(kNotesShown, report.dropped.size());
    for (std::size_t i = 0; i < shown; ++i)
        msg += "\nline " + DecimalText(report.dropped[i].line) + ": " + report.dropped[i].what;
    if (count > shown)
        msg += "\nand " + DecimalText(count - shown) + " more.";
    return msg;
}

// The message saying why the card cannot be put on show, if so; open() puts it in the store, or
// says why not, and may run out of memory.
template <class Open>
std::optional<std::string> openRead(Module1 &m, Form &f, Dialogs &d, const std::string &path, const std::string &name,
                                    Open open)
{
    std::string error;
    LoadReport report;
    try {
        Result<LoadReport> opened = open();
        if (opened)
            report = std::move(*opened);
        else
            error = opened.error().message;
    } catch (const std::bad_alloc &) {
        error = "not enough memory to load " + name;
    }
    if (!error.empty()) {
        if (error[0] >= 'a' && error[0] <= 'z')
            error[0] = static_cast<char>(error[0] - 'a' + 'A');
        return error;
    }

    f.setVisible(Ctl::fr_dc, true);
    f.setVisible(Ctl::Fr_Open, false);
    m.cardPath = path;
    ShowRaceList(m, f);
    if (report.droppedCount > 0 || !report.dropped.empty())
        d.msgBox(droppedMessage(name, report), kAppTitle, MsgButtons::Ok);
    f.setFocus(Ctl::MSF);
    return std::nullopt;
}

bool endsInKel(std::string_view name)
{
    if (name.size() < 4)
        return false;
    std::string end(name.substr(name.size() - 4));
    for (char &c : end)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return end == ".kel";
}

std::optional<std::string> openFile(Module1 &m, Form &f, Dialogs &d, const std::string &path, const std::string &name)
{
    return openRead(m, f, d, path, name, [&]() -> Result<LoadReport> {
        Result<TextBuffer> bytes = ReadCardFile(path);
        if (!bytes)
            return bytes.error();
        return OpenCard(m, std::move(*bytes));
    });
}

// False: refused, with the box shown.
bool startOpen(Module1 &m, Form &f, Dialogs &d, const std::optional<std::string> &name)
{
    m.Data.createEmpty();
    m.cardPath.clear();
    if (!name || name->empty()) {
        d.msgBox("Select a kel file in the lower window", "Incomplete entry", MsgButtons::Ok);
        return false;
    }
    f.setVisible(Ctl::fr_dc, true);
    f.setVisible(Ctl::Fr_Open, false);
    if (IsTooLongCardName(*name)) {
        d.msgBox("error TX1", kAppTitle, MsgButtons::Ok);
        return false;
    }
    return true;
}

// A card the page has read (its bytes, or the card prepared from them; none: the memory ran out).
// A name File, Open would not list is refused as a named card's is.
template <class Card>
void openGiven(Module1 &m, Form &f, Dialogs &d, const std::string &name, std::optional<Card> &card)
{
    if (!startOpen(m, f, d, name))
        return;
    std::optional<std::string> refused;
    if (!endsInKel(name))
        refused = "Cannot read " + name + ": the name does not end in .kel";
    else
        refused = openRead(m, f, d, name, name, [&]() -> Result<LoadReport> {
            if (!card)
                throw std::bad_alloc();
            return OpenCard(m, std::move(*card));
        });
    if (refused)
        d.msgBox(*refused, kAppTitle, MsgButtons::Ok);
}

} // namespace

// The card goes before any check: every open replaces it, a refused one with nothing. The new one
// is handed over whole, so running out of memory leaves the store empty, not half filled.
void BT_Open_Click(Module1 &m, Form &f, Dialogs &d)
{
    const std::optional<std::string> selected = f.selectedFile();
    if (!startOpen(m, f, d, selected))
        return;
    const std::string &name = *selected;
    const std::string path = cardPath(f.directory(), f.selectedFileOnDisk().value_or(name));
    if (const std::optional<std::string> refused = openFile(m, f, d, path, name))
        d.msgBox(*refused, kAppTitle, MsgButtons::Ok);
}

// Everything that can refuse the open is checked, and the file read, before the card in the
// store is replaced.
void OpenNamedCard(Module1 &m, Form &f, Dialogs &d, const std::string &path)
{
    const std::string name = path.substr(path.find_last_of('/') + 1);
    std::optional<std::string> refused;
    if (!endsInKel(name))
        refused = "Cannot read " + path + ": the name does not end in .kel";
    else if (IsTooLongCardName(name))
        refused = "error TX1";
    else
        refused = openFile(m, f, d, path, name);
    if (!refused)
        return;
    if (!f.visible(Ctl::fr_dc))
        f.setVisible(Ctl::Fr_Open, true);
    d.msgBox(*refused, kAppTitle, MsgButtons::Ok);
}

void OpenCardBytes(Module1 &m, Form &f, Dialogs &d, const std::string &name, std::optional<TextBuffer> bytes)
{
    openGiven(m, f, d, name, bytes);
}

void OpenPreparedCard(Module1 &m, Form &f, Dialogs &d, const std::string &name, std::optional<PreparedCard> card)
{
    openGiven(m, f, d, name, card);
}

} // namespace kel
