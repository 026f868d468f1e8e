#include "printing/print_report.h"

#include "store/utf8.h"
#include "views/display_text.h"

namespace kel {

namespace {

constexpr std::size_t kTitleLineLimit = 125;

} // namespace

std::vector<std::string> TitleLines(std::string_view caption)
{
    // One view per character, so that positions count characters.
    std::string text(caption);
    for (char &ch : text)
        if (static_cast<unsigned char>(ch) < 19)
            ch = ' ';
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = Utf8CharLength(text, i);
        chars.push_back(std::string_view(text).substr(i, len));
        i += len;
    }

    // Positions are 1-based, as the line limit counts them, and [from, to] inclusive.
    std::size_t start = 0;
    const auto left = [&] { return chars.size() - start; };
    const auto at = [&](std::size_t pos) { return chars[start + pos - 1]; };
    const auto piece = [&](std::size_t from, std::size_t to) {
        std::string s;
        for (std::size_t k = from; k <= to; ++k)
            s += at(k);
        return s;
    };
    // The first j of 1..124 with "Selec" at j + 1, or 0.
    const auto selecBefore = [&]() -> std::size_t {
        static constexpr std::string_view kSelec[] = {"S", "e", "l", "e", "c"};
        for (std::size_t j = 1; j < kTitleLineLimit && j + 5 <= left(); ++j) {
            bool match = true;
            for (std::size_t k = 0; k < 5 && match; ++k)
                match = at(j + 1 + k) == kSelec[k];
            if (match)
                return j;
        }
        return 0;
    };

    std::vector<std::string> lines;
    while (left() >= kTitleLineLimit) {
        std::size_t j = selecBefore();
        if (j == 0)
            j = kTitleLineLimit;
        while (j > 0 && at(j) != " ")
            --j;
        if (j == 0) {
            // No blank to break at: a hard break keeps the line below the limit.
            lines.push_back(piece(1, kTitleLineLimit - 1));
            start += kTitleLineLimit - 1;
        } else {
            lines.push_back(piece(1, j - 1));
            start += j;
        }
    }
    if (const std::size_t j = selecBefore(); j > 0) {
        lines.push_back(piece(1, j - 1));
        start += j;
    }
    lines.push_back(piece(1, left()));
    return lines;
}

std::vector<std::string> FitLines(Printer &p, const std::vector<std::string> &lines, double width)
{
    std::vector<std::string> out;
    for (const std::string &line : lines) {
        std::string_view rest = line;
        while (p.textWidth(rest) > width) {
            std::size_t cut = std::string_view::npos;
            for (std::size_t b = rest.find(' '); b != std::string_view::npos && p.textWidth(rest.substr(0, b)) <= width;
                 b = rest.find(' ', b + 1))
                cut = b;
            if (cut != std::string_view::npos) {
                out.emplace_back(rest.substr(0, cut));
                rest.remove_prefix(cut + 1);
                continue;
            }
            std::string_view head = FitText(p, rest, 0, width);
            // A character wider than the page still goes on a line of its own.
            if (head.empty())
                head = rest.substr(0, Utf8CharLength(rest, 0));
            out.emplace_back(head);
            rest.remove_prefix(head.size());
        }
        out.emplace_back(rest);
    }
    return out;
}

std::string_view FitText(Printer &p, std::string_view text, double x, double limit)
{
    if (x + p.textWidth(text) <= limit)
        return text;
    // Character ends; the widths of their prefixes grow with them.
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < text.size();) {
        i += Utf8CharLength(text, i);
        ends.push_back(i);
    }
    std::size_t fits = 0;           // characters known to fit
    std::size_t over = ends.size(); // characters known not to
    while (over - fits > 1) {
        const std::size_t mid = (fits + over) / 2;
        if (x + p.textWidth(text.substr(0, ends[mid - 1])) <= limit)
            fits = mid;
        else
            over = mid;
    }
    return text.substr(0, fits == 0 ? 0 : ends[fits - 1]);
}

std::string CutText(Printer &p, std::string_view text, double x, double limit)
{
    if (x + p.textWidth(text) <= limit)
        return std::string(text);
    const double blank = p.textWidth(" ");
    std::string_view kept = FitText(p, text, x, limit - blank - p.textWidth(kEllipsis));
    // The mark is measured with what it follows, in case the printer's widths do not add up.
    for (;;) {
        kept = kept.substr(0, kept.find_last_not_of(' ') + 1);
        std::string cut = std::string(kept).append(kEllipsis);
        if (x + p.textWidth(cut) + blank <= limit)
            return cut;
        if (kept.empty())
            return {};
        std::size_t last = 0;
        for (std::size_t i = 0; i < kept.size(); i += Utf8CharLength(kept, i))
            last = i;
        kept = kept.substr(0, last);
    }
}

} // namespace kel
