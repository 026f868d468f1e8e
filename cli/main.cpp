// kelsoft-report: the card's ratings as CSV or JSON, without a window.
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/card_export.h"
#include "kel_version.h"
#include "engine/open_card.h"
#include "settings/filter.h"
#include "settings/marks.h"
#include "store/loader.h"
#ifdef KEL_HAVE_PDF
#include "cli/pdf_report.h"
#endif

namespace {

constexpr const char *kUsage
    = "usage: kelsoft-report [--format csv|json] [--race N] [--scratch R:H]...\n"
      "                      [--filter [--since TEXT] [--no-dirt] [--no-turf] [--no-fast] [--no-muddy]\n"
      "                                [--purse FROM TO] [--distance FROM TO]]\n"
      "                      [--pdf FILE [--pps N]] CARD.kel\n"
      "       kelsoft-report --version | --help\n";

struct Scratch
{
    int race = 0;
    int row = 0;
};

struct Options
{
    std::string format = "csv";
    bool formatGiven = false;
    std::string pdf;
    int pps = 0;
    bool ppsGiven = false;
    int race = 0;
    std::vector<Scratch> scratches;
    bool filter = false;
    bool settingsGiven = false;
    kel::SettingsTexts settings;
    std::string card;
};

int usageError(const std::string &message)
{
    std::cerr << "kelsoft-report: " << message << '\n' << kUsage;
    return 2;
}

std::optional<int> wholeNumber(const std::string &text)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int n = 0;
    std::from_chars(text.data(), text.data() + text.size(), n);
    return n;
}

int run(int argc, char **argv)
{
    Options opt;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        // The option's value: the next argument, if there is one.
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (a == "--format") {
            auto v = value();
            if (!v || (*v != "csv" && *v != "json"))
                return usageError("--format takes csv or json");
            opt.format = *v;
            opt.formatGiven = true;
        } else if (a == "--pdf") {
            auto v = value();
            if (!v || v->empty())
                return usageError("--pdf takes the name of the PDF file to write");
            opt.pdf = *v;
        } else if (a == "--pps") {
            auto v = value();
            auto n = v ? wholeNumber(*v) : std::nullopt;
            if (!n || *n > 100)
                return usageError("--pps takes how many PPs to print per horse, 0 to 100");
            opt.pps = *n;
            opt.ppsGiven = true;
        } else if (a == "--race") {
            auto v = value();
            auto n = v ? wholeNumber(*v) : std::nullopt;
            if (!n || *n < 1 || *n > kel::RaceStore::kMaxRace)
                return usageError("--race takes a race number from 1 to 41");
            opt.race = *n;
        } else if (a == "--scratch") {
            auto v = value();
            const auto colon = v ? v->find(':') : std::string::npos;
            auto r = colon != std::string::npos ? wholeNumber(v->substr(0, colon)) : std::nullopt;
            auto h = colon != std::string::npos ? wholeNumber(v->substr(colon + 1)) : std::nullopt;
            if (!r || !h || *r < 1 || *r > kel::RaceStore::kMaxRace || *h < 1 || *h > kel::RaceStore::kMaxHorse)
                return usageError("--scratch takes RACE:HORSE, a race from 1 to 41 and a horse from 1 to 21");
            opt.scratches.push_back({*r, *h});
        } else if (a == "--filter") {
            opt.filter = true;
        } else if (a == "--since") {
            auto v = value();
            if (!v)
                return usageError("--since takes a date text mm/dd/yy");
            opt.settings.date = *v;
            opt.settingsGiven = true;
        } else if (a == "--no-dirt" || a == "--no-turf" || a == "--no-fast" || a == "--no-muddy") {
            int &box = a == "--no-dirt"   ? opt.settings.dirt
                       : a == "--no-turf" ? opt.settings.turf
                       : a == "--no-fast" ? opt.settings.fast
                                          : opt.settings.muddy;
            box = 0;
            opt.settingsGiven = true;
        } else if (a == "--purse" || a == "--distance") {
            if (i + 2 >= args.size())
                return usageError(a + " takes two limits, FROM and TO");
            std::string &from = a == "--purse" ? opt.settings.purseFrom : opt.settings.distanceFrom;
            std::string &to = a == "--purse" ? opt.settings.purseTo : opt.settings.distanceTo;
            from = args[++i];
            to = args[++i];
            opt.settingsGiven = true;
        } else if (a == "--version") {
            std::cout << "kelsoft-report " << kel::kVersion << '\n';
            return 0;
        } else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option " + a);
        } else if (opt.card.empty()) {
            opt.card = a;
        } else {
            return usageError("only one card can be read at a time");
        }
    }
    if (opt.card.empty())
        return usageError("no card given");
    if (opt.ppsGiven && opt.pdf.empty())
        return usageError("--pps goes with --pdf");
#ifndef KEL_HAVE_PDF
    if (!opt.pdf.empty())
        return usageError("this build has no PDF output");
#endif
    if (opt.settingsGiven && !opt.filter)
        return usageError("the settings options go with --filter");
    // The Settings frame refuses a short date before anything is marked.
    if (opt.filter && opt.settings.date.size() < 8) {
        std::cerr << kel::kDateMessage << '\n';
        return 2;
    }

    std::string error;
    kel::Module1 m;
    kel::LoadReport report;
    try {
        std::optional<kel::TextBuffer> bytes = kel::ReadCardFile(opt.card, error);
        if (bytes)
            report = kel::OpenCard(m, std::move(*bytes));
    } catch (const std::bad_alloc &) {
        error = "not enough memory to load " + std::filesystem::path(opt.card).filename().string();
    }
    if (!error.empty()) {
        std::cerr << "kelsoft-report: " << error << '\n';
        return 1;
    }
    for (const kel::LoadNote &n : report.dropped)
        std::cerr << opt.card << ':' << std::to_string(n.line) << ": " << n.what << '\n';
    if (report.droppedCount > report.dropped.size())
        std::cerr << opt.card << ": and " << std::to_string(report.droppedCount - report.dropped.size())
                  << " more lines skipped\n";

    for (const Scratch &s : opt.scratches) {
        if (!kel::ScratchHorse(m, s.race, s.row))
            std::cerr << "kelsoft-report: race " + std::to_string(s.race) + " has no horse " + std::to_string(s.row)
                             + "; nothing scratched\n";
    }
    if (opt.filter) {
        m.CurrentRace = static_cast<int16_t>(opt.race);
        if (const auto refusal = kel::RunGo(m, opt.settings)) {
            std::cerr << *refusal << '\n';
            return 2;
        }
    }

#ifdef KEL_HAVE_PDF
    if (!opt.pdf.empty()) {
        const std::string name = std::filesystem::path(opt.card).filename().string();
        if (kel::WritePdfReport(m, name, opt.pdf, opt.pps, opt.race, error) != 0) {
            std::cerr << "kelsoft-report: " << error << '\n';
            return 1;
        }
        if (!opt.formatGiven)
            return 0;
    }
#endif

    std::ios::sync_with_stdio(false);
    if (opt.format == "json")
        kel::WriteJson(m, opt.race, std::cout);
    else
        kel::WriteCsv(m, opt.race, std::cout);
    std::cout.flush();
    return std::cout ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc &) {
        // The load says so itself; this is what comes after it.
        std::cerr << "kelsoft-report: not enough memory to write the report\n";
        return 1;
    }
}
