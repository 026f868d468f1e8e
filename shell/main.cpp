#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QWindow>

#include "kel_version.h"
#include "shell/kel_soft.h"
#include "views/commands.h"

namespace {

constexpr const char *kUsage = "usage: kelsoft [CARD.kel]   (kelsoft --help lists the options)\n";

// Qt's own options, which QApplication takes out of the arguments: accepted, not listed.
constexpr const char *kQtOptionsWithValue[]
    = {"platform",    "platformpluginpath", "platformtheme", "plugin",  "qmljsdebugger", "qwindowgeometry",
       "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",      "style",
       "stylesheet"};
constexpr const char *kQtFlags[] = {"reverse", "widgetcount"};

struct CommandLine
{
    std::optional<QByteArray> card;
    QString platform;        // -platform, when given
    bool display = false;    // -display given
    std::optional<int> done; // the exit status when the program ends here
};

void print(std::FILE *to, const std::string &text)
{
    std::fputs(text.c_str(), to);
}

// Read before the application object exists, so that --help and --version work without a
// display. Arguments are bytes, and a card's path need not be UTF-8: Latin-1 carries every byte
// through Qt's strings and back.
CommandLine parse(int argc, char **argv)
{
    QCommandLineParser p;
    // "-platform offscreen" as Qt writes its options, not as the letters p, l, a, ...
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    p.setApplicationDescription(
        QStringLiteral("Rates the horses of a race card and prints race reports. Opens CARD.kel at once;\n"
                       "without it the window starts empty. Qt's own options (-platform, -style, ...) are taken too.\n"
                       "Exit status: 0 the window was closed, 1 no graphical session, 2 a usage error."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("show this help"));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("show the version"));
    p.addOptions({help, version});
    for (const char *name : kQtOptionsWithValue) {
        QCommandLineOption qt(QString::fromLatin1(name), {}, QStringLiteral("value"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(qt);
    }
    for (const char *name : kQtFlags) {
        QCommandLineOption qt(QString::fromLatin1(name));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(qt);
    }
    p.addPositionalArgument(QStringLiteral("CARD.kel"), QStringLiteral("the race card to open"),
                            QStringLiteral("[CARD.kel]"));

    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLatin1(argv[i]);
    CommandLine line;
    const auto usageError = [&](const QString &message) {
        print(stderr, "kelsoft: " + message.toStdString() + '\n' + kUsage);
        line.done = 2;
        return line;
    };
    if (!p.parse(args))
        return usageError(p.errorText());
    if (p.isSet(help)) {
        // Without an application object the parser cannot know the program's name.
        print(stdout,
              p.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("kelsoft")).toStdString());
        line.done = 0;
        return line;
    }
    if (p.isSet(version)) {
        print(stdout, "kelsoft " + std::string(kel::kVersion) + '\n');
        line.done = 0;
        return line;
    }
    const QStringList cards = p.positionalArguments();
    if (cards.size() > 1)
        return usageError(QStringLiteral("only one card can be opened at a time"));
    if (!cards.isEmpty())
        line.card = cards.front().toLatin1();
    line.platform = p.value(QStringLiteral("platform"));
    line.display = p.isSet(QStringLiteral("display"));
    return line;
}

bool isSet(const char *variable)
{
    const char *value = std::getenv(variable);
    return value && *value;
}

std::string named(const char *variable)
{
    return isSet(variable) ? std::string(variable) + '=' + std::getenv(variable) : std::string(variable) + " not set";
}

// Qt's notes while the application starts are held back: when no platform starts, Qt ends the
// program (abort) after notes and a text about reinstalling it, which only mislead.
QStringList g_startNotes;

void whileStarting(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        g_startNotes << qFormatLogMessage(type, context, message);
        return;
    }
    print(stderr, "kelsoft: the window needs a graphical session, and none could be reached (" + named("DISPLAY") + ", "
                      + named("WAYLAND_DISPLAY") + ")\n");
    std::_Exit(1);
}

// Runs once, after the window is first exposed: by then the window manager has placed it, so a
// box the open command shows opens over the window and not over where it stood before.
class WhenExposed : public QObject
{
public:
    WhenExposed(QWindow *window, std::function<void()> run) : QObject(window), m_run(std::move(run))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed() && m_run) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_run();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_run;
};

} // namespace

int main(int argc, char *argv[])
{
    const CommandLine line = parse(argc, argv);
    if (line.done)
        return *line.done;
    if (line.platform.isEmpty() && !line.display && !isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY")
        && !isSet("WAYLAND_DISPLAY")) {
        print(stderr,
              "kelsoft: the window needs a graphical session, and neither DISPLAY nor WAYLAND_DISPLAY is set\n");
        return 1;
    }

    qInstallMessageHandler(whileStarting);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    for (const QString &note : std::as_const(g_startNotes))
        print(stderr, note.toStdString() + '\n');

    QApplication::setApplicationName(QStringLiteral("kelsoft"));
    QApplication::setApplicationVersion(QString::fromUtf8(kel::kVersion.data(), qsizetype(kel::kVersion.size())));
    QApplication::setDesktopFileName(QStringLiteral("io.github.kelsoft.KelSoft"));
    QIcon icon;
    for (const char *size : {"32", "64", "256"})
        icon.addFile(QStringLiteral(":/icons/kelsoft-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);

    kel::KEL_Soft window;
    window.show();
    if (line.card) {
        const QByteArray path = *line.card;
        // The window says only "error TX1"; a card named from a terminal or a file manager gets
        // the reason where such a start writes.
        const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
        if (name.toLower().endsWith(".kel") && kel::IsTooLongCardName(name.toStdString()))
            print(stderr,
                  "kelsoft: " + name.toStdString() + ": error TX1: " + std::string(kel::kLongCardNameNote) + '\n');
        new WhenExposed(window.windowHandle(), [&window, path] { window.openCard(path); });
    }
    return app.exec();
}
