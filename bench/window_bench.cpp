// The real window on a card whose every race line carries a field of 1 MB (the full card, 41 x
// 21 x 100, besides): the open command from the Open button to the race list drawn, then the
// horses page of race 1 printed to a PDF. Prints the times and the process's peak memory, and
// exits 1 when the open or the print takes 1 s or more, or the peak reaches 200 MB. With --card,
// the same on the card given (the browser page's benchmark opens the full card in both).
//
//   kel_window_bench [--repeat N] [--card CARD.kel]      (offscreen unless a display is set)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "bench/card_generator.h"
#include "shell/file_lists.h"
#include "shell/grid_table_model.h"
#include "shell/kel_soft.h"
#include "shell/msf_view.h"
#include "shell/printer/pdf_output.h"
#include "shell/printer/qt_text_measure.h"
#include "printing/print_report.h"
#include "support/scripted_dialogs.h"
#include "views/memory_form.h"

namespace {

constexpr uint64_t kCardSeed = 20240504;
constexpr std::size_t kFieldBytes = std::size_t(1) << 20;
constexpr double kTargetSeconds = 1.0;
constexpr double kTargetMegabytes = 200.0;

// The generated full card with a 1 MB field of words before the tag of each race line.
QByteArray hugeFieldCard()
{
    std::string field;
    for (int i = 0; field.size() < kFieldBytes; ++i)
        field += i % 7 ? "comment " : "Long note ";
    field.resize(kFieldBytes);
    const std::string card = kel::GenerateCard(kCardSeed, kel::CardShape{});
    std::string out;
    out.reserve(card.size() + 42 * (kFieldBytes + 1));
    for (std::size_t at = 0; at < card.size();) {
        std::size_t end = card.find('\n', at);
        end = end == std::string::npos ? card.size() : end + 1;
        const std::string_view line(card.data() + at, end - at);
        const std::size_t tag = line.rfind(";A;");
        if (tag != std::string_view::npos && line.size() - tag <= 5)
            out.append(line.substr(0, tag + 1)).append(field).append(line.substr(tag));
        else
            out.append(line);
        at = end;
    }
    return QByteArray::fromStdString(out);
}

double peakMegabytes()
{
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return double(use.ru_maxrss) / 1024.0;
}

std::string fixed(double v, int decimals)
{
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals).ptr);
}

// The window's print road without the preview: the report recorded for letter paper, then
// written as a PDF.
class PdfTarget : public kel::PrintTarget
{
public:
    explicit PdfTarget(QString path) : m_path(std::move(path)) {}
    void print(kel::Module1 &m, kel::Form &f, const kel::PrintRequest &request) override
    {
        const kel::PageArea page = kel::AreaOf(kel::LetterLayout());
        kel::RecordedDocument doc(m_measure, page.width, page.height);
        kel::PrintReport(m, f, doc, request);
        m_pages = kel::WritePdf(doc, m_path, {}).ok() ? doc.pages() : 0;
    }
    int pages() const { return m_pages; }

private:
    QString m_path;
    kel::QtTextMeasure m_measure;
    int m_pages = 0;
};

void doubleClickRow(kel::KEL_Soft &w, int gridRow)
{
    kel::MsfView *view = w.gridView();
    auto *model = static_cast<kel::GridTableModel *>(view->model());
    const QModelIndex idx = model->index(model->viewRow(gridRow), 0);
    const QPoint at = view->visualRect(idx).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

double seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

} // namespace

int main(int argc, char **argv)
{
    int repeat = 3;
    QString given;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string_view(argv[i]) == "--repeat")
            std::from_chars(argv[i + 1], argv[i + 1] + std::char_traits<char>::length(argv[i + 1]), repeat);
        else if (std::string_view(argv[i]) == "--card")
            given = QFile::decodeName(argv[i + 1]);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    // Written by a child, so that making it does not count in this process's peak memory.
    const QString cardPath = dir.filePath("field.kel");
    const pid_t writer = ::fork();
    if (writer == 0 && !given.isEmpty())
        ::_exit(QFile::copy(given, cardPath) ? 0 : 1);
    if (writer == 0) {
        const QByteArray card = hugeFieldCard();
        QFile f(cardPath);
        ::_exit(f.open(QIODevice::WriteOnly) && f.write(card) == card.size() ? 0 : 1);
    }
    int status = 1;
    if (writer < 0 || ::waitpid(writer, &status, 0) != writer || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fputs("kel_window_bench: cannot write the card\n", stderr);
        return 1;
    }
    const double cardMegabytes = double(QFileInfo(cardPath).size()) / (1 << 20);

    QApplication app(argc, argv);
    const double startMegabytes = peakMegabytes();

    std::vector<double> opens;
    std::vector<double> prints;
    int pages = 0;
    for (int run = 0; run < std::max(repeat, 1); ++run) {
        kel::ScriptedDialogs dialogs;
        kel::KEL_Soft w(dir.path());
        PdfTarget pdf(dir.filePath("race.pdf"));
        w.setDialogs(&dialogs);
        w.setPrintTarget(&pdf);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            return 1;
        w.findChild<QAction *>("File_Open")->trigger();
        auto *files = static_cast<QListWidget *>(w.control(kel::Ctl::File1));
        files->setCurrentRow(0);

        auto start = std::chrono::steady_clock::now();
        static_cast<QPushButton *>(w.control(kel::Ctl::BT_Open))->click();
        w.repaint();
        QCoreApplication::processEvents();
        opens.push_back(seconds(start));
        if (w.module().ViewPage != 1 || !dialogs.shown().empty()) {
            std::fputs("kel_window_bench: the card did not open to its race list\n", stderr);
            return 1;
        }

        doubleClickRow(w, 0);
        dialogs.answer(kel::MsgAnswer::No); // "Print last pp's?"
        start = std::chrono::steady_clock::now();
        static_cast<QPushButton *>(w.control(kel::Ctl::Printd))->click();
        prints.push_back(seconds(start));
        pages = pdf.pages();
    }
    std::sort(opens.begin(), opens.end());
    std::sort(prints.begin(), prints.end());
    const double open = opens[opens.size() / 2];
    const double print = prints[prints.size() / 2];
    const double peak = peakMegabytes();

    const auto line = [](const std::string &what, const std::string &value, bool met) {
        std::fputs(("| " + what + " | " + value + " | " + (met ? "met" : "MISSED") + " |\n").c_str(), stdout);
    };
    const std::string card = given.isEmpty() ? "41 races x 21 horses x 100 PPs, each race line with a 1 MB field"
                                             : QFileInfo(given).fileName().toStdString();
    std::fputs(("Card: " + card + "; " + fixed(cardMegabytes, 1) + " MiB; medians of " + std::to_string(opens.size())
                + " runs\n\n| What | Figure | Target 1 s, 200 MB |\n|---|---:|---|\n")
                   .c_str(),
               stdout);
    line("Open: from the button to the race list drawn", fixed(open * 1000, 0) + " ms", open < kTargetSeconds);
    line("Print race 1 without PPs, to a PDF (" + std::to_string(pages) + " pages)", fixed(print * 1000, 0) + " ms",
         print < kTargetSeconds);
    line("Peak resident memory of the process (" + fixed(startMegabytes, 0) + " MiB before the first open)",
         fixed(peak, 0) + " MiB", peak < kTargetMegabytes);
    return open < kTargetSeconds && print < kTargetSeconds && peak < kTargetMegabytes ? 0 : 1;
}
