// kelsoft-report: the card's ratings as CSV or JSON, without a window.
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/card_export.h"
#include "engine/open_card.h"
#include "store/loader.h"

namespace {

constexpr const char *kUsage =
    "usage: kelsoft-report [--format csv|json] [--race N] CARD.kel\n";

struct Options
{
    std::string format = "csv";
    int race = 0;
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
    return std::stoi(text);
}

} // namespace

int main(int argc, char **argv)
{
    Options opt;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        auto value = [&](const char *what) -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            (void)what;
            return args[++i];
        };
        if (a == "--format") {
            auto v = value("format");
            if (!v || (*v != "csv" && *v != "json"))
                return usageError("--format takes csv or json");
            opt.format = *v;
        } else if (a == "--race") {
            auto v = value("race");
            auto n = v ? wholeNumber(*v) : std::nullopt;
            if (!n || *n < 1 || *n > kel::RaceStore::kMaxRace)
                return usageError("--race takes a race number from 1 to 41");
            opt.race = *n;
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

    std::string error;
    std::optional<std::string> bytes = kel::ReadCardFile(opt.card, error);
    if (!bytes) {
        std::cerr << "kelsoft-report: " << error << '\n';
        return 1;
    }
    kel::Module1 m;
    const kel::LoadReport report = kel::OpenCard(m, std::move(*bytes));
    for (const kel::LoadNote &n : report.dropped)
        std::cerr << opt.card << ':' << n.line << ": " << n.what << '\n';
    if (report.droppedCount > report.dropped.size())
        std::cerr << opt.card << ": and " << report.droppedCount - report.dropped.size() << " more lines skipped\n";

    std::ios::sync_with_stdio(false);
    if (opt.format == "json")
        kel::WriteJson(m, opt.race, std::cout);
    else
        kel::WriteCsv(m, opt.race, std::cout);
    std::cout.flush();
    return std::cout ? 0 : 1;
}
