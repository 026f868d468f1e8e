#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <tuple>

#include "kel_version.h"
#include "store/race_store.h"

namespace kel {

namespace {

constexpr const char *kUsage = "usage: kelsoft-report [options] CARD.kel   (kelsoft-report --help lists them)\n";

std::optional<int> wholeNumber(const std::string &text, int from, int to)
{
    int n = 0;
    const char *end = text.data() + text.size();
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    const auto [ptr, ec] = std::from_chars(text.data(), end, n);
    if (ec != std::errc() || ptr != end || n < from || n > to)
        return std::nullopt;
    return n;
}

enum Opt {
    OptFormat,
    OptRace,
    OptScratch,
    OptFilter,
    OptSince,
    OptNoDirt,
    OptNoTurf,
    OptNoFast,
    OptNoMuddy,
    OptPurse,
    OptDistance,
    OptPdf,
    OptPps,
    OptOdds,
    OptExcel,
    OptCheck,
    OptOutput,
    OptHelp,
    OptVersion,
    OptCount
};

// What --help lists, in its order.
struct OptionInfo
{
    const char *shortName; // "" when there is none
    const char *name;
    const char *valueName; // "" for a switch
    const char *description;
};

constexpr OptionInfo kOptions[OptCount] = {
    {"", "format", "csv|json", "csv (the default) or json"},
    {"", "race", "N", "race N alone instead of the whole card"},
    {"", "scratch", "R:H", "scratch horse H of race R first (repeatable)"},
    {"", "filter", "", "run the Settings filter (\"Go!\") before rating"},
    {"", "since", "mm/dd/yy", "with --filter: since date (default 01/01/01)"},
    {"", "no-dirt", "", "with --filter: untick \"Dirt races\""},
    {"", "no-turf", "", "with --filter: untick \"Turf races\""},
    {"", "no-fast", "", "with --filter: untick \"Fast, good surface races\""},
    {"", "no-muddy", "", "with --filter: untick \"Muddy, sloopy surface races\""},
    {"", "purse", "FROM TO", "with --filter: purse limits (default 0K 10M)"},
    {"", "distance", "FROM TO", "with --filter: limits (default \"4 1/2F\" \"2 1/2M\")"},
    {"", "pdf", "FILE", "write the printed race report to a PDF file"},
    {"", "pps", "N", "with --pdf: print the first N PPs of each horse"},
    {"", "odds", "", "add each horse's share and fair odds"},
    {"", "excel", "", "CSV that spreadsheets open safely"},
    {"", "check", "", "list the lines of the card that may not do as meant"},
    {"o", "output", "FILE", "write to FILE instead of standard output"},
    {"h", "help", "", "show this help"},
    {"v", "version", "", "show the version"},
};

constexpr const char *kDescription
    = "The ratings of a race card as CSV, JSON or a PDF report, or a check of the card.\n"
      "Exit status: 0 done, 1 the card cannot be read or the output written (with\n"
      "--check: something listed), 2 a usage error.\n";

// Read as QCommandLineParser reads it, with its messages, so that the build without Qt (for node)
// reads the same: a short name after "--" too ("--o FILE"), short options run together ("-hv")
// with a value joined to the last ("-oFILE", "-o=FILE"), a lone "-" and all after "--" a card.
struct Parsed
{
    bool given[OptCount] = {};
    std::vector<std::string> values[OptCount];
    std::vector<std::string> cards;
    std::string error;

    bool isSet(Opt o) const { return given[o]; }
    // The last one given.
    const std::string &value(Opt o) const { return values[o].back(); }
};

bool takesValue(Opt o)
{
    return *kOptions[o].valueName != '\0';
}

// "--purse FROM TO" and "--distance FROM TO" take two values, which the reading below does not
// know: they become the option twice, "--purse=FROM --purse=TO".
std::vector<std::string> arguments(int argc, char **argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--purse" || a == "--distance") && i + 2 < argc) {
            args.push_back(a + '=' + argv[i + 1]);
            args.push_back(a + '=' + argv[i + 2]);
            i += 2;
        } else {
            args.push_back(a);
            if (a == "--")
                for (++i; i < argc; ++i)
                    args.emplace_back(argv[i]);
        }
    }
    return args;
}

Parsed parse(const std::vector<std::string> &args)
{
    Parsed p;
    std::vector<std::string> unknown;
    const auto found = [&](const std::string &name) -> std::optional<Opt> {
        for (int i = 0; i < OptCount; ++i) {
            if (name == kOptions[i].name || (!name.empty() && name == kOptions[i].shortName)) {
                p.given[i] = true;
                return static_cast<Opt>(i);
            }
        }
        unknown.push_back(name);
        return std::nullopt;
    };
    // The value of the option written as `arg`: after its '=', or the next argument.
    auto it = args.begin();
    const auto readValue = [&](Opt o, const std::string &arg) {
        const std::size_t assign = arg.find('=');
        if (!takesValue(o)) {
            if (assign != std::string::npos)
                p.error = "Unexpected value after '" + arg.substr(0, assign) + "'.";
        } else if (assign != std::string::npos) {
            p.values[o].push_back(arg.substr(assign + 1));
        } else if (++it == args.end()) {
            p.error = "Missing value after '" + arg + "'.";
        } else {
            p.values[o].push_back(*it);
        }
    };
    bool cardsOnly = false;
    for (; it != args.end(); ++it) {
        const std::string &a = *it;
        if (cardsOnly || a.size() < 2 || a[0] != '-') {
            p.cards.push_back(a);
        } else if (a == "--") {
            cardsOnly = true;
        } else if (a[1] == '-') {
            if (const auto o = found(a.substr(2, a.find('=') - 2)))
                readValue(*o, a);
        } else {
            std::optional<Opt> last;
            bool valueFound = false;
            for (std::size_t pos = 1; pos < a.size(); ++pos) {
                if (!(last = found(a.substr(pos, 1))))
                    continue;
                const bool more = pos + 1 < a.size();
                if (takesValue(*last)) {
                    if (more) {
                        p.values[*last].push_back(a.substr(pos + (a[pos + 1] == '=' ? 2 : 1)));
                        valueFound = true;
                    }
                    break;
                }
                if (more && a[pos + 1] == '=')
                    break;
            }
            if (last && !valueFound)
                readValue(*last, a);
        }
        if (it == args.end())
            break;
    }
    if (p.error.empty() && !unknown.empty()) {
        p.error = unknown.size() == 1 ? "Unknown option '" + unknown.front() + "'." : "Unknown options: ";
        for (std::size_t i = 0; unknown.size() > 1 && i < unknown.size(); ++i)
            p.error += (i ? ", " : "") + unknown[i] + (i + 1 == unknown.size() ? "." : "");
    }
    return p;
}

std::string helpText()
{
    std::string names[OptCount];
    std::size_t width = std::string_view("CARD.kel").size();
    for (int i = 0; i < OptCount; ++i) {
        const OptionInfo &o = kOptions[i];
        names[i] = (*o.shortName ? std::string("-") + o.shortName + ", --" : "--") + o.name
                   + (*o.valueName ? std::string(" <") + o.valueName + '>' : "");
        width = std::max(width, names[i].size());
    }
    const auto line = [&](const std::string &name, const char *description) {
        return "  " + name + std::string(width + 2 - name.size(), ' ') + description + '\n';
    };
    std::string text = std::string("Usage: kelsoft-report [options] CARD.kel\n") + kDescription + "\nOptions:\n";
    for (int i = 0; i < OptCount; ++i)
        text += line(names[i], kOptions[i].description);
    return text + "\nArguments:\n" + line("CARD.kel", "the race card");
}

CommandLine usageError(const std::string &message)
{
    return {{}, 2, "kelsoft-report: " + message + '\n' + kUsage};
}

// The options that only "Go!" reads; their values default to the Settings frame's.
std::optional<std::string> readSettings(const Parsed &p, Options &o)
{
    if (p.isSet(OptSince))
        o.settings.date = p.value(OptSince);
    const std::pair<Opt, int *> boxes[] = {{OptNoDirt, &o.settings.dirt},
                                           {OptNoTurf, &o.settings.turf},
                                           {OptNoFast, &o.settings.fast},
                                           {OptNoMuddy, &o.settings.muddy}};
    bool given = p.isSet(OptSince);
    for (const auto &[option, box] : boxes) {
        if (p.isSet(option)) {
            *box = 0;
            given = true;
        }
    }
    const std::tuple<Opt, std::string *, std::string *> limits[]
        = {{OptPurse, &o.settings.purseFrom, &o.settings.purseTo},
           {OptDistance, &o.settings.distanceFrom, &o.settings.distanceTo}};
    for (const auto &[option, from, to] : limits) {
        if (!p.isSet(option))
            continue;
        const std::vector<std::string> &v = p.values[option];
        if (v.size() != 2)
            return std::string("--") + kOptions[option].name + " takes two limits, FROM and TO";
        *from = v[0];
        *to = v[1];
        given = true;
    }
    if (given && !o.filter)
        return "the settings options go with --filter";
    return std::nullopt;
}

std::optional<std::string> readValues(const Parsed &p, Options &o)
{
    if (p.isSet(OptFormat)) {
        const std::string &f = p.value(OptFormat);
        if (f != "csv" && f != "json")
            return "--format takes csv or json";
        o.json = f == "json";
        o.formatGiven = true;
    }
    if (p.isSet(OptRace)) {
        const auto n = wholeNumber(p.value(OptRace), 1, RaceStore::kMaxRace);
        if (!n)
            return "--race takes a race number from 1 to 41";
        o.race = *n;
    }
    for (const std::string &s : p.values[OptScratch]) {
        const auto colon = s.find(':');
        const auto r
            = colon == std::string::npos ? std::nullopt : wholeNumber(s.substr(0, colon), 1, RaceStore::kMaxRace);
        const auto h = r ? wholeNumber(s.substr(colon + 1), 1, RaceStore::kMaxHorse) : std::nullopt;
        if (!h)
            return "--scratch takes RACE:HORSE, a race from 1 to 41 and a horse from 1 to 21";
        o.scratches.push_back({*r, *h});
    }
    if (p.isSet(OptPdf) && (o.pdf = p.value(OptPdf)).empty())
        return "--pdf takes the name of the PDF file to write";
    if (p.isSet(OptPps)) {
        const auto n = wholeNumber(p.value(OptPps), 0, RaceStore::kMaxPP);
        if (!n)
            return "--pps takes how many PPs to print per horse, 0 to 100";
        o.pps = *n;
    }
    if (p.isSet(OptOutput) && (o.output = p.value(OptOutput)).empty())
        return "-o takes the name of the file to write";
    o.filter = p.isSet(OptFilter);
    o.odds = p.isSet(OptOdds);
    o.excel = p.isSet(OptExcel);
    o.check = p.isSet(OptCheck);
    return readSettings(p, o);
}

std::optional<std::string> checkCombination(const Parsed &p, const Options &o)
{
    if (o.check) {
        if (o.formatGiven || !o.pdf.empty() || o.race || !o.scratches.empty() || o.filter || o.odds || o.excel)
            return "--check goes alone, with -o FILE at most";
        return std::nullopt;
    }
    if (p.isSet(OptPps) && o.pdf.empty())
        return "--pps goes with --pdf";
    if (!o.writesTable() && (o.odds || o.excel || !o.output.empty()))
        return "--odds, --excel and -o are about the CSV or JSON output: with --pdf, add --format";
    if (o.excel && o.json)
        return "--excel goes with the CSV output";
    return std::nullopt;
}

} // namespace

CommandLine ParseCommandLine(int argc, char **argv)
{
    const Parsed p = parse(arguments(argc, argv));
    if (!p.error.empty())
        return usageError(p.error);
    if (p.isSet(OptHelp))
        return {{}, 0, helpText()};
    if (p.isSet(OptVersion))
        return {{}, 0, "kelsoft-report " + std::string(kVersion) + '\n'};

    CommandLine cl;
    Options &o = cl.options;
    if (const auto error = readValues(p, o))
        return usageError(*error);
    if (const auto error = checkCombination(p, o))
        return usageError(*error);
    if (p.cards.empty())
        return usageError("no card given");
    if (p.cards.size() > 1)
        return usageError("only one card can be read at a time");
    o.card = p.cards.front();
    return cl;
}

} // namespace kel
