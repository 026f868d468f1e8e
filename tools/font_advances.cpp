// Writes printing/liberation_sans.inc, the table of FontTableMeasure: the advance widths and line
// spacing of the report's font as the desktop's Qt measure takes them (QtTextMeasure's design
// metrics), for every character a card decoded from Windows-1252 can hold.
//   font_advances > printing/liberation_sans.inc
#include <algorithm>
#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include <QFontMetricsF>
#include <QGuiApplication>

#include "shell/printer/qt_text_measure.h"

namespace {

QFontMetricsF designMetrics(bool bold)
{
    QFont font = kel::QtTextMeasure::fontFor("Arial", 10, bold);
    font.setPixelSize(2048);
    return QFontMetricsF(font);
}

// Widths of one character as the measure takes them: Latin-1 alone, others shaped as a text.
double advance(const QFontMetricsF &m, char32_t c)
{
    if (c <= 0xFF)
        return m.horizontalAdvance(QChar(c));
    return m.horizontalAdvance(QString::fromUcs4(&c, 1));
}

// Shortest text that reads back as the value, whatever the locale Qt set.
std::string number(double v)
{
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<char32_t> chars;
    for (char32_t c = 0x20; c <= 0xFF; ++c)
        if (c != 0x7F)
            chars.push_back(c);
    // What Windows-1252 puts at 0x80 to 0x9F besides Latin-1, in order, and the replacement
    // character that stands for a byte that is not UTF-8.
    for (char32_t c : {0x0152, 0x0153, 0x0160, 0x0161, 0x0178, 0x017D, 0x017E, 0x0192, 0x02C6, 0x02DC,
                       0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D, 0x201E, 0x2020, 0x2021,
                       0x2022, 0x2026, 0x2030, 0x2039, 0x203A, 0x20AC, 0x2122, 0xFFFD})
        chars.push_back(c);

    const QFontMetricsF regular = designMetrics(false), bold = designMetrics(true);
    std::cout << "// Written by tools/font_advances from Liberation Sans as Qt measures it; do not edit.\n"
              << "constexpr double kLineSpacing[2] = {" << number(regular.lineSpacing()) << ", "
              << number(bold.lineSpacing())
              << "};\n"
              // A private-use character no font has: the missing-glyph box.
              << "constexpr double kMissingGlyph[2] = {" << number(advance(regular, 0xE000)) << ", "
              << number(advance(bold, 0xE000)) << "};\n"
              << "constexpr Advance kAdvances[] = {\n";
    for (char32_t c : chars) {
        char code[8];
        const std::string hex(code, std::to_chars(code, code + sizeof code, unsigned(c), 16).ptr);
        std::cout << "    {0x" << std::string(4 - std::min<std::size_t>(4, hex.size()), '0') << hex << ", "
                  << number(advance(regular, c)) << ", " << number(advance(bold, c)) << "},\n";
    }
    std::cout << "};\n";
    return 0;
}
