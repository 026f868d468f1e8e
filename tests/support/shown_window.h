#pragma once

// The main window shown offscreen, started in a folder of the test's choosing and answering its
// boxes from the given dialogs.
#include <memory>

#include <QString>
#include <QtTest>

#include "shell/kel_soft.h"
#include "views/dialogs.h"

namespace kel::testing {

inline std::unique_ptr<KEL_Soft> shownWindow(const QString &startDir, Dialogs &dialogs)
{
    auto w = std::make_unique<KEL_Soft>(startDir);
    w->setDialogs(&dialogs);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get()))
        qWarning("window not exposed");
    return w;
}

} // namespace kel::testing
