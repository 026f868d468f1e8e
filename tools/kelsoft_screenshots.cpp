// kelsoft-screenshots: pictures of the window for the documentation (scripts/screenshots.sh).
// Not installed: the program users get has no such tour in it.
#include <charconv>
#include <string>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

#include "shell/kel_soft.h"
#include "tools/screenshot_tour.h"

namespace {

int positiveNumber(const QString &text)
{
    const std::string s = text.toStdString();
    int n = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    return ec == std::errc() && end == s.data() + s.size() && n > 0 ? n : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Saves pictures of the kelsoft window, one card walked through."));
    parser.addHelpOption();
    const QCommandLineOption race(QStringLiteral("race"), QStringLiteral("Race to open (default 1)."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption horse(QStringLiteral("horse"), QStringLiteral("Horse to open (default 1)."),
                                   QStringLiteral("N"), QStringLiteral("1"));
    parser.addOptions({race, horse});
    parser.addPositionalArgument(QStringLiteral("card"), QStringLiteral("The .kel card to open."));
    parser.addPositionalArgument(QStringLiteral("outdir"), QStringLiteral("Where the PNG files go."));
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    const int raceNumber = positiveNumber(parser.value(race));
    const int horseNumber = positiveNumber(parser.value(horse));
    if (args.size() != 2 || raceNumber == 0 || horseNumber == 0) {
        QTextStream(stderr) << parser.helpText();
        return 2;
    }
    kel::KEL_Soft window;
    window.show();
    return kel::runScreenshotTour(window, args[0], args[1], raceNumber, horseNumber) ? 0 : 1;
}
