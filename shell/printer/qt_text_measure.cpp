#include "shell/printer/qt_text_measure.h"

#include <algorithm>

#include "store/utf8.h"

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

QtTextMeasure::Design &QtTextMeasure::design(std::string_view font, bool bold)
{
    auto it = m_designs.find(std::pair{std::string(font), bold});
    if (it == m_designs.end()) {
        QFont f = fontFor(font, 10, bold);
        f.setPixelSize(kDesignPixels);
        it = m_designs.emplace(std::pair{std::string(font), bold}, Design{QFontMetricsF(f), {}, -1}).first;
        it->second.advances.fill(-1);
    }
    return it->second;
}

double QtTextMeasure::textWidth(std::string_view font, double points, bool bold, std::string_view text)
{
    Design &d = design(font, bold);
    // Latin-1 texts are summed from each character's advance, which is what Qt draws without
    // kerning (ligatures of this font keep their letters' widths); others are shaped whole. The
    // ellipsis that ends a cut text is summed too: a text with it is shaped, where the soft
    // hyphen takes no room, and a C1 control does not keep its own advance, so a text with one
    // of those is shaped whole.
    constexpr char32_t kEllipsis = 0x2026;
    const auto shaped = [&] { return d.metrics.horizontalAdvance(printable(text)) * scale(points); };
    double sum = 0;
    double softHyphens = 0;
    bool ellipsis = false;
    bool c1 = false;
    for (std::size_t i = 0; i < text.size();) {
        const bool stray = Utf8CharLength(text, i) == 1 && static_cast<unsigned char>(text[i]) >= 0x80;
        const char32_t c = Utf8Next(text, i);
        if ((c > 0xFF && c != kEllipsis) || stray)
            return shaped();
        if (c < 0x20 || c == 0x7F)
            continue;
        ellipsis = ellipsis || c == kEllipsis;
        c1 = c1 || (c >= 0x80 && c <= 0x9F);
        double &advance = c == kEllipsis ? d.ellipsis : d.advances[c];
        if (advance < 0)
            advance = d.metrics.horizontalAdvance(QChar(c));
        sum += advance;
        if (c == 0xAD)
            softHyphens += advance;
    }
    if (!ellipsis)
        return sum * scale(points);
    if (c1)
        return shaped();
    return (sum - softHyphens) * scale(points);
}

double QtTextMeasure::lineHeight(std::string_view font, double points, bool bold)
{
    return design(font, bold).metrics.lineSpacing() * scale(points);
}

} // namespace kel
