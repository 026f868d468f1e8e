#include <algorithm>
#include <filesystem>
#include <new>
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

// The listed name (as spelled on disk, not necessarily UTF-8) with its last four characters
// replaced by ".kel". On a file system that tells letter cases apart "CARD.KEL" has no
// "CARD.kel" beside it: then the listed file itself is opened.
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

} // namespace

// Everything that can refuse the open is checked, and the file read, before the card in the
// store is replaced: a refused open leaves the card, the pages and the frames as they were.
void BT_Open_Click(Module1 &m, Form &f, Dialogs &d)
{
    const std::optional<std::string> selected = f.selectedFile();
    if (!selected || selected->empty()) {
        d.msgBox("Select a kel file in the lower window", "Incomplete entry", MsgButtons::Ok);
        return;
    }
    const std::string &name = *selected;
    if (Utf8Count(name) > kMaxCardNameLength) {
        d.msgBox("error TX1", kAppTitle, MsgButtons::Ok);
        return;
    }

    const std::string path = cardPath(f.directory(), f.selectedFileOnDisk().value_or(name));
    std::string error;
    LoadReport report;
    try {
        Result<TextBuffer> bytes = ReadCardFile(path);
        if (bytes)
            report = OpenCard(m, std::move(*bytes));
        else
            error = bytes.error().message;
    } catch (const std::bad_alloc &) {
        error = "not enough memory to load " + name;
    }
    if (!error.empty()) {
        if (error[0] >= 'a' && error[0] <= 'z')
            error[0] = static_cast<char>(error[0] - 'a' + 'A');
        d.msgBox(error, kAppTitle, MsgButtons::Ok);
        return;
    }

    f.setVisible(Ctl::fr_dc, true);
    f.setVisible(Ctl::Fr_Open, false);
    m.cardPath = path;
    ShowRaceList(m, f);
    if (report.droppedCount > 0 || !report.dropped.empty())
        d.msgBox(droppedMessage(name, report), kAppTitle, MsgButtons::Ok);
    f.setFocus(Ctl::MSF);
}

} // namespace kel
