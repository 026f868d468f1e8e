#include <algorithm>

#include <QApplication>

#include "shell/kel_soft.h"
#include "shell/screenshot_tour.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kel::KEL_Soft window;
    window.show();

    // Undocumented: pictures for the documentation (scripts/screenshots.sh).
    const QString shots = qEnvironmentVariable("KELSOFT_SCREENSHOTS");
    if (!shots.isEmpty()) {
        const int race = std::max(1, qEnvironmentVariableIntValue("KELSOFT_SCREENSHOT_RACE"));
        const int horse = std::max(1, qEnvironmentVariableIntValue("KELSOFT_SCREENSHOT_HORSE"));
        const bool ok
            = kel::runScreenshotTour(window, qEnvironmentVariable("KELSOFT_SCREENSHOT_CARD"), shots, race, horse);
        return ok ? 0 : 1;
    }
    return app.exec();
}
