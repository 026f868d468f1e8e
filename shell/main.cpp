#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include <QApplication>
#include <QIcon>
#include <QWindow>

#include "kel_version.h"
#include "shell/kel_soft.h"

namespace {

constexpr const char *kUsage = "usage: kelsoft [CARD.kel]\n"
                               "       kelsoft --version | --help\n"
                               "Opens the card as File, Open does; without one the window starts empty.\n";

int usageError(const std::string &message)
{
    std::fputs(("kelsoft: " + message + '\n' + kUsage).c_str(), stderr);
    return 2;
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
    // Answered before the display is opened, so that they work without one.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(("kelsoft " + std::string(kel::kVersion) + '\n').c_str(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kelsoft"));
    QApplication::setApplicationVersion(QString::fromUtf8(kel::kVersion.data(), qsizetype(kel::kVersion.size())));
    QApplication::setDesktopFileName(QStringLiteral("io.github.kelsoft.KelSoft"));
    QIcon icon;
    for (const char *size : {"32", "64", "256"})
        icon.addFile(QStringLiteral(":/icons/kelsoft-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);

    // QApplication has taken its own options (-platform, -style, ...) out of argv.
    const char *card = nullptr;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        if (options && std::strcmp(argv[i], "--") == 0)
            options = false;
        else if (options && argv[i][0] == '-' && argv[i][1] != '\0')
            return usageError("unknown option " + std::string(argv[i]));
        else if (card)
            return usageError("only one card can be opened at a time");
        else
            card = argv[i];
    }

    kel::KEL_Soft window;
    window.show();
    if (card) {
        const QByteArray path(card);
        new WhenExposed(window.windowHandle(), [&window, path] { window.openCard(path); });
    }
    return app.exec();
}
