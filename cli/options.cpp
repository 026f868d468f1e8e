#include "cli/options.h"

#include <charconv>
#include <tuple>

#include <QCommandLineParser>
#include <QStringList>

#include "kel_version.h"
#include "store/race_store.h"

namespace kel {

namespace {

constexpr const char *kUsage = "usage: kelsoft-report [options] CARD.kel   (kelsoft-report --help lists them)\n";

// Arguments are bytes, and a card's name need not be UTF-8: Latin-1 carries every byte
// through Qt's strings and back unchanged, and the option names are ASCII either way.
QString fromArg(const std::string &arg)
{
    return QString::fromLatin1(arg.data(), static_cast<qsizetype>(arg.size()));
}

std::string toArg(const QString &text)
{
    return text.toLatin1().toStdString();
}

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

// "--purse FROM TO" and "--distance FROM TO" take two values, which the parser does not know:
// they become the option twice, "--purse=FROM --purse=TO".
QStringList arguments(int argc, char **argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--purse" || a == "--distance") && i + 2 < argc) {
            args << fromArg(a + '=' + argv[i + 1]) << fromArg(a + '=' + argv[i + 2]);
            i += 2;
        } else {
            args << fromArg(a);
            if (a == "--")
                for (++i; i < argc; ++i)
                    args << fromArg(argv[i]);
        }
    }
    return args;
}

struct Parser
{
    QCommandLineParser p;
    QCommandLineOption format{"format", "csv (the default) or json", "csv|json"};
    QCommandLineOption race{"race", "race N alone instead of the whole card", "N"};
    QCommandLineOption scratch{"scratch", "scratch horse H of race R first (repeatable)", "R:H"};
    QCommandLineOption filter{"filter", "run the Settings filter (\"Go!\") before rating"};
    QCommandLineOption since{"since", "with --filter: since date (default 01/01/01)", "mm/dd/yy"};
    QCommandLineOption noDirt{"no-dirt", "with --filter: untick \"Dirt races\""};
    QCommandLineOption noTurf{"no-turf", "with --filter: untick \"Turf races\""};
    QCommandLineOption noFast{"no-fast", "with --filter: untick \"Fast, good surface races\""};
    QCommandLineOption noMuddy{"no-muddy", "with --filter: untick \"Muddy, sloopy surface races\""};
    QCommandLineOption purse{"purse", "with --filter: purse limits (default 0K 10M)", "FROM TO"};
    QCommandLineOption distance{"distance", "with --filter: limits (default \"4 1/2F\" \"2 1/2M\")", "FROM TO"};
    QCommandLineOption pdf{"pdf", "write the printed race report to a PDF file", "FILE"};
    QCommandLineOption pps{"pps", "with --pdf: print the first N PPs of each horse", "N"};
    QCommandLineOption odds{"odds", "add each horse's share and fair odds"};
    QCommandLineOption excel{"excel", "CSV that spreadsheets open safely"};
    QCommandLineOption check{"check", "list the lines of the card that may not do as meant"};
    QCommandLineOption output{{"o", "output"}, "write to FILE instead of standard output", "FILE"};
    QCommandLineOption help{{"h", "help"}, "show this help"};
    QCommandLineOption version{{"v", "version"}, "show the version"};

    Parser()
    {
        p.setApplicationDescription("The ratings of a race card as CSV, JSON or a PDF report, or a check of the card.\n"
                                    "Exit status: 0 done, 1 the card cannot be read or the output written (with\n"
                                    "--check: something listed), 2 a usage error.");
        p.addOptions({format, race, scratch, filter, since, noDirt, noTurf, noFast, noMuddy, purse, distance, pdf, pps,
                      odds, excel, check, output, help, version});
        p.addPositionalArgument("CARD.kel", "the race card");
    }

    std::string value(const QCommandLineOption &o) const { return toArg(p.value(o)); }
    std::string helpText() const
    {
        // Without an application object the parser cannot know the program's name.
        return toArg(p.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("kelsoft-report")));
    }
};

CommandLine usageError(const std::string &message)
{
    return {{}, 2, "kelsoft-report: " + message + '\n' + kUsage};
}

// The options that only "Go!" reads; their values default to the Settings frame's.
std::optional<std::string> readSettings(const Parser &ps, Options &o)
{
    const QCommandLineParser &p = ps.p;
    if (p.isSet(ps.since))
        o.settings.date = ps.value(ps.since);
    const std::pair<const QCommandLineOption *, int *> boxes[] = {{&ps.noDirt, &o.settings.dirt},
                                                                  {&ps.noTurf, &o.settings.turf},
                                                                  {&ps.noFast, &o.settings.fast},
                                                                  {&ps.noMuddy, &o.settings.muddy}};
    bool given = p.isSet(ps.since);
    for (const auto &[option, box] : boxes) {
        if (p.isSet(*option)) {
            *box = 0;
            given = true;
        }
    }
    const std::tuple<const QCommandLineOption *, std::string *, std::string *> limits[]
        = {{&ps.purse, &o.settings.purseFrom, &o.settings.purseTo},
           {&ps.distance, &o.settings.distanceFrom, &o.settings.distanceTo}};
    for (const auto &[option, from, to] : limits) {
        if (!p.isSet(*option))
            continue;
        const QStringList v = p.values(*option);
        if (v.size() != 2)
            return "--" + toArg(option->names().front()) + " takes two limits, FROM and TO";
        *from = toArg(v[0]);
        *to = toArg(v[1]);
        given = true;
    }
    if (given && !o.filter)
        return "the settings options go with --filter";
    return std::nullopt;
}

// The options' values, each checked on its own.
std::optional<std::string> readValues(const Parser &ps, Options &o)
{
    const QCommandLineParser &p = ps.p;
    if (p.isSet(ps.format)) {
        const std::string f = ps.value(ps.format);
        if (f != "csv" && f != "json")
            return "--format takes csv or json";
        o.json = f == "json";
        o.formatGiven = true;
    }
    if (p.isSet(ps.race)) {
        const auto n = wholeNumber(ps.value(ps.race), 1, RaceStore::kMaxRace);
        if (!n)
            return "--race takes a race number from 1 to 41";
        o.race = *n;
    }
    for (const QString &v : p.values(ps.scratch)) {
        const std::string s = toArg(v);
        const auto colon = s.find(':');
        const auto r
            = colon == std::string::npos ? std::nullopt : wholeNumber(s.substr(0, colon), 1, RaceStore::kMaxRace);
        const auto h = r ? wholeNumber(s.substr(colon + 1), 1, RaceStore::kMaxHorse) : std::nullopt;
        if (!h)
            return "--scratch takes RACE:HORSE, a race from 1 to 41 and a horse from 1 to 21";
        o.scratches.push_back({*r, *h});
    }
    if (p.isSet(ps.pdf) && (o.pdf = ps.value(ps.pdf)).empty())
        return "--pdf takes the name of the PDF file to write";
    if (p.isSet(ps.pps)) {
        const auto n = wholeNumber(ps.value(ps.pps), 0, RaceStore::kMaxPP);
        if (!n)
            return "--pps takes how many PPs to print per horse, 0 to 100";
        o.pps = *n;
    }
    if (p.isSet(ps.output) && (o.output = ps.value(ps.output)).empty())
        return "-o takes the name of the file to write";
    o.filter = p.isSet(ps.filter);
    o.odds = p.isSet(ps.odds);
    o.excel = p.isSet(ps.excel);
    o.check = p.isSet(ps.check);
    return readSettings(ps, o);
}

// Options that mean nothing together.
std::optional<std::string> checkCombination(const Parser &ps, const Options &o)
{
    if (o.check) {
        if (o.formatGiven || !o.pdf.empty() || o.race || !o.scratches.empty() || o.filter || o.odds || o.excel)
            return "--check goes alone, with -o FILE at most";
        return std::nullopt;
    }
    if (ps.p.isSet(ps.pps) && o.pdf.empty())
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
    Parser ps;
    if (!ps.p.parse(arguments(argc, argv)))
        return usageError(toArg(ps.p.errorText()));
    if (ps.p.isSet(ps.help))
        return {{}, 0, ps.helpText()};
    if (ps.p.isSet(ps.version))
        return {{}, 0, "kelsoft-report " + std::string(kVersion) + '\n'};

    CommandLine cl;
    Options &o = cl.options;
    if (const auto error = readValues(ps, o))
        return usageError(*error);
    if (const auto error = checkCombination(ps, o))
        return usageError(*error);
    const QStringList cards = ps.p.positionalArguments();
    if (cards.isEmpty())
        return usageError("no card given");
    if (cards.size() > 1)
        return usageError("only one card can be read at a time");
    o.card = toArg(cards.front());
    return cl;
}

} // namespace kel
