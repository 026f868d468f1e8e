#include "shell/printer/qt_text_measure.h"

namespace kel {

namespace {

constexpr double kMinPoints = 0.5;
constexpr int kDesignPixels = 2048;

double scale(double points)
{
    return std::max(points, kMinPoints) * 20.0 / kDesignPixels;
}

} // namespace

QFont QtTextMeasure::fontFor(std::string_view name, double points, bool bold)
{
    QString family = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        family = QStringLiteral("Liberation Sans");
    QFont font(family);
    font.setPointSizeF(std::max(points, kMinPoints));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

QString QtTextMeasure::printable(std::string_view text)
{
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    return s;
}

const QFontMetricsF &QtTextMeasure::design(std::string_view font, bool bold)
{
    if (!m_design || font != m_font || bold != m_bold) {
        QFont f = fontFor(font, 10, bold);
        f.setPixelSize(kDesignPixels);
        m_design.emplace(f);
        m_font.assign(font);
        m_bold = bold;
    }
    return *m_design;
}

double QtTextMeasure::textWidth(std::string_view font, double points, bool bold, std::string_view text)
{
    return design(font, bold).horizontalAdvance(printable(text)) * scale(points);
}

double QtTextMeasure::lineHeight(std::string_view font, double points, bool bold)
{
    return design(font, bold).lineSpacing() * scale(points);
}

} // namespace kel
