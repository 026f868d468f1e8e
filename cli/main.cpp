// kelsoft-report: the card's ratings as CSV or JSON, a PDF report or a check of the card,
// without a window.
#include <csignal>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/card_check.h"
#include "cli/card_export.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/pdf_report.h"
#include "engine/open_card.h"
#include "settings/filter.h"
#include "settings/marks.h"
#include "store/card_file.h"
#include "store/loader.h"
#include "store/number_text.h"
#include "store/walk.h"
#ifdef KEL_HAVE_PDF
#include <QGuiApplication>
#endif

namespace {

using namespace kel;

int fail(int status, const std::string &message)
{
    std::cerr << "kelsoft-report: " << message << '\n';
    return status;
}

// The outputs asked for that would write over the card, or over each other.
std::optional<std::string> clashingOutputs(const Options &o)
{
    if (!o.pdf.empty() && IsCardItself(o.pdf, o.card))
        return "--pdf " + o.pdf + " is the card itself; the card was left as it is";
    if ((o.writesTable() || o.check) && IsCardItself(o.output, o.card))
        return (o.output.empty() ? "the standard output" : "-o " + o.output)
               + " is the card itself; the card was left as it is";
    if (!o.pdf.empty() && o.writesTable() && IsSameFile(o.pdf, o.output))
        return o.output.empty() ? "--pdf " + o.pdf + " is the standard output, where the table goes too"
                                : "--pdf and -o name the same file, " + o.output;
    return std::nullopt;
}

// --race, --scratch and --filter on the loaded card: the reason when one of them cannot be done.
std::optional<std::string> applyCommands(const Options &o, Module1 &m)
{
    const int listed = RaceCount(m.Data);
    if (o.race > listed)
        return "kelsoft-report: " + RaceNotOnCard(o.race, listed);
    for (const Scratch &s : o.scratches) {
        if (s.race > listed)
            return "kelsoft-report: --scratch " + DecimalText(s.race) + ':' + DecimalText(s.row) + ": "
                   + RaceNotOnCard(s.race, listed);
        if (!ScratchHorse(m, s.race, s.row))
            return "kelsoft-report: --scratch " + DecimalText(s.race) + ':' + DecimalText(s.row) + ": race "
                   + DecimalText(s.race) + " has no horse " + DecimalText(s.row);
    }
    if (o.filter) {
        m.CurrentRace = static_cast<int16_t>(o.race);
        // The Settings frame's own refusal, worded as the window words it.
        if (const Result<void> go = RunGo(m, o.settings); !go)
            return go.error().message;
    }
    return std::nullopt;
}

void printLoadNotes(const std::string &card, const LoadReport &report, std::ostream &out)
{
    for (const LoadNote &n : report.dropped)
        out << card << ':' << DecimalText(n.line) << ": " << n.what << '\n';
    if (report.droppedCount > report.dropped.size())
        out << card << ": and " << DecimalText(report.droppedCount - report.dropped.size()) << " more lines skipped\n";
}

int check(const Options &o, const Module1 &m, const LoadReport &report, const RecordLines &lines)
{
    std::vector<CheckNote> notes = CheckCardName(std::filesystem::path(o.card).filename().native());
    const std::vector<CheckNote> inCard = CheckCard(m, report, lines);
    notes.insert(notes.end(), inCard.begin(), inCard.end());
    auto out = Output::open(o.output);
    if (!out)
        return fail(1, out.error().message);
    for (const CheckNote &n : notes)
        (*out)->stream() << o.card << (n.line > 0 ? ':' + DecimalText(n.line) : std::string()) << ": " << n.what
                         << '\n';
    const std::size_t unlisted
        = report.droppedCount - report.dropped.size() + report.skippedCount - report.skipped.size();
    if (unlisted > 0)
        (*out)->stream() << o.card << ": and " << DecimalText(unlisted) << " more lines left out or not shown\n";
    if (const auto done = (*out)->finish(); !done)
        return fail(1, done.error().message);
    return notes.empty() ? 0 : 1;
}

#ifdef KEL_HAVE_PDF
// The report is drawn offscreen whatever the environment names: a DISPLAY left from a closed
// session must not stop it, and Qt's notes about the platform are no part of the tool's output.
std::unique_ptr<QGuiApplication> offscreenApplication()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg) {
            std::cerr << "kelsoft-report: " << message.toStdString() << '\n';
            std::abort();
        }
    });
    static int argc = 3;
    static char name[] = "kelsoft-report", platform[] = "-platform", offscreen[] = "offscreen";
    static char *argv[] = {name, platform, offscreen, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int writePdf(const Options &o, Module1 &m)
{
    const std::unique_ptr<QGuiApplication> app = offscreenApplication();
    const std::string name = std::filesystem::path(o.card).filename().string();
    if (const Result<void> written = WritePdfReport(m, name, o.pdf, o.pps, o.race); !written)
        return fail(1, written.error().message);
    return 0;
}
#endif

int run(const Options &o)
{
#ifndef KEL_HAVE_PDF
    if (!o.pdf.empty())
        return fail(2, "this build has no PDF output");
#endif
    if (const auto refusal = clashingOutputs(o))
        return fail(2, *refusal);
    std::string error;
    Module1 m;
    LoadReport report;
    // The check points at the lines of the card; the report needs no lines.
    RecordLines lines;
    try {
        Result<TextBuffer> read = ReadCardFile(o.card);
        if (read)
            report = OpenCard(m, std::move(*read), o.check ? &lines : nullptr);
        else
            error = read.error().message;
    } catch (const std::bad_alloc &) {
        error = "not enough memory to load " + std::filesystem::path(o.card).filename().string();
    }
    if (!error.empty())
        return fail(1, error);
    if (o.check)
        return check(o, m, report, lines);

    printLoadNotes(o.card, report, std::cerr);
    if (const auto refusal = applyCommands(o, m)) {
        std::cerr << *refusal << '\n';
        return 2;
    }
    // Opened before the PDF is drawn, so a file that cannot be made stops the run at once.
    std::unique_ptr<Output> out;
    if (o.writesTable()) {
        auto opened = Output::open(o.output);
        if (!opened)
            return fail(1, opened.error().message);
        out = std::move(*opened);
    }
#ifdef KEL_HAVE_PDF
    if (!o.pdf.empty())
        if (const int status = writePdf(o, m))
            return status;
#endif
    if (!out)
        return 0;
    const TableStyle style{o.odds, o.excel};
    if (o.json)
        WriteJson(m, o.race, out->stream(), style);
    else
        WriteCsv(m, o.race, out->stream(), style);
    if (const auto done = out->finish(); !done)
        return fail(1, done.error().message);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // A write beyond a file-size limit then fails with its reason instead of ending the tool.
    std::signal(SIGXFSZ, SIG_IGN);
    const CommandLine cl = ParseCommandLine(argc, argv);
    if (!cl.exitStatus) {
        try {
            return run(cl.options);
        } catch (const std::bad_alloc &) {
            // The load says so itself; this is what comes after it.
            return fail(1, "not enough memory to write the report");
        }
    }
    if (*cl.exitStatus != 0) {
        std::cerr << cl.text;
        return *cl.exitStatus;
    }
    auto out = Output::open("");
    if (!out)
        return fail(1, out.error().message);
    (*out)->stream() << cl.text;
    const Result<void> done = (*out)->finish();
    return done ? 0 : fail(1, done.error().message);
}
