// Any bytes as a card, through what the report tool writes of it: the card check, the CSV with
// --excel --odds, the JSON and each race's shares, on the card as loaded and, for some inputs,
// with a horse scratched.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/card_check.h"
#include "cli/card_export.h"
#include "cli/fair_odds.h"
#include "engine/open_card.h"
#include "fuzz/card_checks.h"
#include "settings/marks.h"
#include "store/loader.h"

namespace {

using namespace kel;
using namespace kel::fuzz;

// The card's lines as the file format gives them: a UTF-8 byte-order mark is no part of the
// first line; lines end in CR LF, LF or a lone CR.
std::vector<std::string_view> cardLines(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::vector<std::string_view> lines;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t end = bytes.find_first_of("\r\n", i);
        if (end == std::string_view::npos)
            end = bytes.size();
        lines.push_back(bytes.substr(i, end - i));
        i = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

// 'A', 'B' or 'C' when the line's last field is that record tag, else 0.
char tagOf(std::string_view line)
{
    const std::size_t n = line.size();
    if (n < 2 || line[n - 1] != ';' || (n > 2 && line[n - 3] != ';'))
        return 0;
    return line[n - 2] == 'A' || line[n - 2] == 'B' || line[n - 2] == 'C' ? line[n - 2] : 0;
}

// The loader's line of every record it filed is the line the counters of the file format give
// it, and every note of the check names a line of the card, in order.
void checkLines(std::string_view bytes, const Module1 &m, const LoadReport &report, const RecordLines &lines)
{
    const std::vector<std::string_view> text = cardLines(bytes);
    KEL_FUZZ_CHECK(report.lines == static_cast<int>(text.size()), "the loader counts the card's lines");
    int r = 0, h = 0, p = 1;
    std::size_t filed = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char tag = tagOf(text[i]);
        if (tag == 'A')
            ++r, h = 0, p = 0;
        else if (tag == 'B')
            ++h, p = 0;
        else if (tag == 'C')
            ++p;
        if (!tag || !RaceStore::inRange(r, h, p, 0))
            continue;
        KEL_FUZZ_CHECK(lines(r, h, p) == static_cast<int>(i + 1), "a record's line is its line in the card");
        ++filed;
    }
    // Right after the load the store holds the records filed and no others.
    KEL_FUZZ_CHECK(m.Data.recordCount() == filed, "every record comes from a line of the card");

    int last = 0;
    for (const CheckNote &n : CheckCard(m, report, lines)) {
        KEL_FUZZ_CHECK(n.line >= 1 && n.line <= report.lines, "a note names a line of the card");
        KEL_FUZZ_CHECK(n.line >= last, "the notes come in line order");
        KEL_FUZZ_CHECK(validUtf8(n.what) && n.what.find_first_of("\r\n") == std::string::npos,
                       "a note is one line of text");
        last = n.line;
    }
}

// A whole cell a spreadsheet reads as a number with a sign.
bool signedNumber(std::string_view cell)
{
    if (cell.size() < 2 || (cell[0] != '-' && cell[0] != '+'))
        return false;
    int digits = 0, points = 0;
    for (const char c : cell.substr(1)) {
        digits += c >= '0' && c <= '9';
        points += c == '.';
        if ((c < '0' || c > '9') && c != '.')
            return false;
    }
    return digits > 0 && points <= 1;
}

// RFC 4180 with CR LF: the rows and their cells, or nothing when the text is not such CSV.
std::optional<std::vector<std::vector<std::string>>> parseCsv(std::string_view text)
{
    std::vector<std::vector<std::string>> rows;
    std::size_t i = 0;
    while (i < text.size()) {
        std::vector<std::string> row;
        for (;;) {
            std::string cell;
            if (i < text.size() && text[i] == '"') {
                for (++i;; ++i) {
                    if (i >= text.size())
                        return std::nullopt;
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"')
                            ++i;
                        else
                            break;
                    }
                    cell += text[i];
                }
                ++i;
            } else {
                while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                    if (text[i] == '"')
                        return std::nullopt;
                    cell += text[i++];
                }
            }
            row.push_back(std::move(cell));
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            if (text.substr(i, 2) != "\r\n")
                return std::nullopt;
            i += 2;
            break;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void checkCsv(const Module1 &m)
{
    std::ostringstream out;
    WriteCsv(m, 0, out, TableStyle{true, true});
    const std::string csv = out.str();
    KEL_FUZZ_CHECK(csv.starts_with("\xEF\xBB\xBF"), "the spreadsheet CSV starts with a byte-order mark");
    KEL_FUZZ_CHECK(validUtf8(csv), "the CSV is UTF-8");
    const auto rows = parseCsv(std::string_view(csv).substr(3));
    KEL_FUZZ_CHECK(rows.has_value(), "the CSV is RFC 4180 with CR LF");
    int horses = 0;
    for (int r = 1; r <= raceCount(m.Data); ++r)
        horses += horseCount(m.Data, r);
    KEL_FUZZ_CHECK(rows->size() == static_cast<std::size_t>(1 + horses), "the CSV has a header and a row per horse");
    for (const std::vector<std::string> &row : *rows) {
        KEL_FUZZ_CHECK(row.size() == 15, "every CSV row has its 15 columns");
        for (const std::string &cell : row)
            KEL_FUZZ_CHECK(cell.empty() || std::string_view("=+-@\t\r").find(cell[0]) == std::string_view::npos
                               || signedNumber(cell),
                           "no CSV cell reads as a formula");
    }
}

// Just enough JSON to read the report back: objects, arrays, strings and whole numbers.
class Json
{
public:
    enum Kind { Null, Number, String, Array, Object };
    Kind kind = Null;
    long long number = 0;
    std::string text;
    std::vector<Json> items;       // an array's items, an object's values
    std::vector<std::string> keys; // an object's keys, one per value

    const Json *operator[](std::string_view key) const
    {
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key)
                return &items[i];
        return nullptr;
    }

    // The whole text as one value, or nothing.
    static std::optional<Json> parse(std::string_view s)
    {
        std::size_t i = 0;
        std::optional<Json> v = value(s, i);
        return v && i == s.size() ? v : std::nullopt;
    }

private:
    static std::optional<std::string> string(std::string_view s, std::size_t &i)
    {
        if (i >= s.size() || s[i] != '"')
            return std::nullopt;
        std::string out;
        for (++i; i < s.size() && s[i] != '"'; ++i) {
            const auto c = static_cast<unsigned char>(s[i]);
            if (c < 0x20)
                return std::nullopt;
            if (c != '\\') {
                out += s[i];
                continue;
            }
            if (++i >= s.size())
                return std::nullopt;
            if (s[i] == '"' || s[i] == '\\' || s[i] == '/') {
                out += s[i];
            } else if (s[i] == 'u' && i + 4 < s.size()) {
                // The report escapes control characters only: one byte each.
                unsigned code = 0;
                for (int k = 1; k <= 4; ++k) {
                    const char h = s[i + k];
                    const int d = h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10 : -1;
                    if (d < 0)
                        return std::nullopt;
                    code = code * 16 + static_cast<unsigned>(d);
                }
                if (code >= 0x20)
                    return std::nullopt;
                out += static_cast<char>(code);
                i += 4;
            } else {
                return std::nullopt;
            }
        }
        if (i >= s.size())
            return std::nullopt;
        ++i;
        return out;
    }

    static std::optional<Json> value(std::string_view s, std::size_t &i)
    {
        Json v;
        if (i >= s.size())
            return std::nullopt;
        if (s[i] == '"') {
            std::optional<std::string> t = string(s, i);
            if (!t)
                return std::nullopt;
            v.kind = String;
            v.text = std::move(*t);
        } else if (s[i] >= '0' && s[i] <= '9') {
            v.kind = Number;
            for (; i < s.size() && s[i] >= '0' && s[i] <= '9' && v.number < 1000000; ++i)
                v.number = v.number * 10 + (s[i] - '0');
        } else if (s[i] == '[' || s[i] == '{') {
            const bool object = s[i] == '{';
            const char close = object ? '}' : ']';
            v.kind = object ? Object : Array;
            ++i;
            for (bool first = true; i < s.size() && s[i] != close; first = false) {
                if (!first && s[i++] != ',')
                    return std::nullopt;
                if (object) {
                    std::optional<std::string> key = string(s, i);
                    if (!key || i >= s.size() || s[i++] != ':')
                        return std::nullopt;
                    v.keys.push_back(std::move(*key));
                }
                std::optional<Json> item = value(s, i);
                if (!item)
                    return std::nullopt;
                v.items.push_back(std::move(*item));
            }
            if (i >= s.size())
                return std::nullopt;
            ++i;
        } else {
            return std::nullopt;
        }
        return v;
    }
};

// A record's slots first..last as the JSON has them: the store's texts, in order.
bool sameSlots(const Json *slots, const RaceStore &d, int r, int h, int p, int first, int last)
{
    if (!slots || slots->kind != Json::Array || slots->items.size() != static_cast<std::size_t>(last - first + 1))
        return false;
    for (int s = first; s <= last; ++s)
        if (slots->items[static_cast<std::size_t>(s - first)].text != d(r, h, p, s))
            return false;
    return true;
}

bool numbered(const Json &item, int n)
{
    const Json *number = item["number"];
    return item.kind == Json::Object && number && number->kind == Json::Number && number->number == n;
}

// The JSON is well-formed UTF-8, holds every race and horse the pages list with their slots, and
// every PP the loader filed of each horse.
void checkJson(const Module1 &m, const RecordLines &lines)
{
    const RaceStore &d = m.Data;
    std::ostringstream out;
    WriteJson(m, 0, out, TableStyle{true, false});
    const std::string text = out.str();
    KEL_FUZZ_CHECK(validUtf8(text), "the JSON is UTF-8");
    KEL_FUZZ_CHECK(text.ends_with('\n'), "the JSON ends its line");
    const std::optional<Json> json = Json::parse(std::string_view(text).substr(0, text.size() - 1));
    KEL_FUZZ_CHECK(json && json->kind == Json::Object, "the JSON is one object");
    const Json *races = (*json)["races"];
    KEL_FUZZ_CHECK(races && races->items.size() == static_cast<std::size_t>(raceCount(d)),
                   "the JSON has every race listed");
    for (int r = 1; r <= raceCount(d); ++r) {
        const Json &race = races->items[static_cast<std::size_t>(r - 1)];
        KEL_FUZZ_CHECK(numbered(race, r) && sameSlots(race["slots"], d, r, 0, 0, 1, 17), "a race holds its slots");
        const Json *horses = race["horses"];
        KEL_FUZZ_CHECK(horses && horses->items.size() == static_cast<std::size_t>(horseCount(d, r)),
                       "a race holds every horse listed");
        for (int h = 1; h <= horseCount(d, r); ++h) {
            const Json &horse = horses->items[static_cast<std::size_t>(h - 1)];
            KEL_FUZZ_CHECK(numbered(horse, h) && sameSlots(horse["slots"], d, r, h, 0, 1, 18),
                           "a horse holds its slots");
            int filed = 0;
            while (filed < RaceStore::kMaxPP && lines(r, h, filed + 1) > 0)
                ++filed;
            const Json *pps = horse["pps"];
            KEL_FUZZ_CHECK(pps && pps->items.size() == static_cast<std::size_t>(filed),
                           "every PP filed is in the JSON");
            for (int p = 1; p <= filed; ++p)
                KEL_FUZZ_CHECK(
                    numbered(pps->items[static_cast<std::size_t>(p - 1)], p)
                        && sameSlots(pps->items[static_cast<std::size_t>(p - 1)]["slots"], d, r, h, p, 0, 16),
                    "a PP holds its slots");
        }
    }
}

// The shares of a race's counted horses add up to 100 within the rounding of each to a tenth.
void checkShares(const Module1 &m)
{
    const RaceStore &d = m.Data;
    for (int r = 1; r <= raceCount(d); ++r) {
        const std::vector<FairOdds> odds = RaceFairOdds(d, r);
        KEL_FUZZ_CHECK(odds.size() == static_cast<std::size_t>(horseCount(d, r)), "a share per horse");
        double sum = 0;
        int shares = 0;
        for (const FairOdds &o : odds) {
            if (o.share.empty())
                continue;
            const std::size_t point = o.share.find('.');
            KEL_FUZZ_CHECK(point != std::string::npos && point + 2 == o.share.size()
                               && allDigits(o.share.substr(0, point)) && allDigits(o.share.substr(point + 1)),
                           "a share is a number with one decimal");
            sum += wholeNumber(o.share.substr(0, point)) + (o.share[point + 1] - '0') / 10.0;
            ++shares;
        }
        KEL_FUZZ_CHECK(shares == 0 || std::fabs(sum - 100) <= 0.05 * shares + 1e-9, "a race's shares add up to 100");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    Module1 m;
    RecordLines lines;
    const LoadReport report = OpenCard(m, bytes, &lines);
    checkLines(bytes, m, report, lines);
    checkCsv(m);
    checkJson(m, lines);
    checkShares(m);
    // Some inputs again with a horse scratched: its row, its PPs' marks, the race's shares.
    if (size % 3 == 0 && ScratchHorse(m, 1, 1 + static_cast<int>(size / 3 % 4))) {
        checkCsv(m);
        checkJson(m, lines);
        checkShares(m);
    }
    return 0;
}
