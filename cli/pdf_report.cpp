#include "cli/pdf_report.h"

#ifdef KEL_HAVE_PDF

#include <memory>

#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "printing/print_report.h"
#include "shell/printer/painter_printer.h"
#include "views/commands.h"
#include "views/memory_form.h"

namespace kel {

namespace {

class FixedTarget : public PrintTarget
{
public:
    explicit FixedTarget(Printer *p) : m_printer(p) {}
    Printer *open() override { return m_printer; }

private:
    Printer *m_printer;
};

// Fonts need a GUI application; without a display it runs on the offscreen platform.
std::unique_ptr<QGuiApplication> EnsureApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kelsoft-report";
    static char *argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int WritePdfReport(Module1 &m, const std::string &cardName, const std::string &pdfPath, int ppCount, int race,
                   std::string &error)
{
    const std::unique_ptr<QGuiApplication> app = EnsureApplication();

    MemoryForm f;
    f.setSelectedFile(cardName);
    ShowRaceList(m, f);
    const int listed = f.MSF().rows();
    if (race < 0 || race > listed) {
        error = "race " + std::to_string(race) + " is not on the card (it lists " + std::to_string(listed)
                + (listed == 1 ? " race)" : " races)");
        return 1;
    }

    QPdfWriter writer(QString::fromStdString(pdfPath));
    writer.setTitle(QString::fromStdString(cardName));
    writer.setCreator(QStringLiteral("kelsoft-report"));
    // One device unit per twip: fonts are drawn at exactly the sizes the report measures.
    writer.setResolution(1440);
    PainterPrinter::useLetterPage(writer);
    {
        PainterPrinter printer(&writer);
        FixedTarget target(&printer);
        // The answers the user would give to the command's questions.
        ScriptedDialogs answers;
        if (ppCount > 0)
            answers.answer(MsgAnswer::Yes).type(std::to_string(ppCount));
        else
            answers.answer(MsgAnswer::No);
        answers.type(std::to_string(race > 0 ? race : 1));
        answers.type(std::to_string(race > 0 ? race : listed));
        Printd_Click(m, f, answers, target);
        if (printer.failed()) {
            error = "cannot write " + pdfPath;
            return 1;
        }
        if (printer.pages() > 0)
            return 0;
    }
    // A card without races still gives a file: one empty page.
    QPainter blank;
    if (!blank.begin(&writer)) {
        error = "cannot write " + pdfPath;
        return 1;
    }
    blank.end();
    return 0;
}

} // namespace kel

#endif // KEL_HAVE_PDF
