#include "cli/card_check.h"

#include <algorithm>
#include <cctype>

#include "engine/ratings.h"
#include "settings/filter.h"
#include "settings/settings_texts.h"
#include "store/percent.h"
#include "store/utf8.h"

namespace kel {

namespace {

// The file line of each record the loader filed. The store keeps no line numbers, so the
// lines are walked again with the loader's own rules: lines end in CR LF, LF or a lone CR, a
// UTF-8 byte-order mark in front is no part of the first line, the tag is the last field, and
// the race, horse and PP counters move as the loader moves them. Counters only grow in card
// order, so no two lines share a record.
class RecordLines
{
public:
    explicit RecordLines(std::string_view bytes) : m_line(kRecords, 0)
    {
        if (bytes.starts_with("\xEF\xBB\xBF"))
            bytes.remove_prefix(3);
        int r = 0, h = 0, p = 1, lineNo = 0;
        for (std::size_t i = 0; i < bytes.size();) {
            std::size_t end = bytes.find_first_of("\r\n", i);
            if (end == std::string_view::npos)
                end = bytes.size();
            const std::string_view line = bytes.substr(i, end - i);
            ++lineNo;
            i = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
            const char tag = tagOf(line);
            if (tag == 'A')
                ++r, h = 0, p = 0;
            else if (tag == 'B')
                ++h, p = 0;
            else if (tag == 'C')
                ++p;
            if (tag && RaceStore::inRange(r, h, p, 0))
                m_line[index(r, h, p)] = lineNo;
        }
    }

    // 0 for a record no line filed.
    int operator()(int r, int h, int p) const { return m_line[index(r, h, p)]; }

private:
    static constexpr int kRecords = (RaceStore::kMaxRace + 1) * (RaceStore::kMaxHorse + 1) * (RaceStore::kMaxPP + 1);
    static std::size_t index(int r, int h, int p)
    {
        const int i = (r * (RaceStore::kMaxHorse + 1) + h) * (RaceStore::kMaxPP + 1) + p; // below kRecords
        return static_cast<std::size_t>(i);
    }
    // 'A', 'B' or 'C' when the line's last field is that tag, else 0.
    static char tagOf(std::string_view line)
    {
        const std::size_t n = line.size();
        if (n < 2 || line[n - 1] != ';' || (n > 2 && line[n - 3] != ';'))
            return 0;
        return line[n - 2] == 'A' || line[n - 2] == 'B' || line[n - 2] == 'C' ? line[n - 2] : 0;
    }

    std::vector<int> m_line;
};

// Text as the listing shows it: control characters by their code, so that a hostile card
// cannot drive the terminal; with maxChars, cut after that many characters.
std::string printable(std::string_view text, std::size_t maxChars = std::string_view::npos)
{
    std::string out;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++chars) {
        if (chars == maxChars) {
            out += "...";
            break;
        }
        const std::size_t len = Utf8CharLength(text, i);
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += {'\\', 'x', kHex[c >> 4], kHex[c & 0xF]};
        } else {
            out.append(text.substr(i, len));
        }
        i += len;
    }
    return out;
}

// A card text as a message quotes it, cut so that a long one does not flood the listing.
std::string quoted(std::string_view text)
{
    return '"' + printable(text, 40) + '"';
}

bool isMissing(std::string_view figure)
{
    return figure.starts_with("--");
}

class Checker
{
public:
    Checker(std::string_view bytes, const Module1 &m) : m_lines(bytes), m_d(m.Data) {}

    // Walks every record the loader filed, not the store's walks: what lies past the ends those
    // stop at is what no page shows, and the check lists it.
    std::vector<CheckNote> run()
    {
        for (int r = 1; r <= RaceStore::kMaxRace && m_d.find(r, 0, 0) >= 0; ++r) {
            if (m_d(r, 0, 0, kKeySlot).empty()) {
                note(r, 0, 0, "race line without a first field: the race list ends before this race");
                break;
            }
            for (int h = 1; h <= RaceStore::kMaxHorse && m_d.find(r, h, 0) >= 0; ++h) {
                if (m_d(r, h, 0, kKeySlot).empty()) {
                    note(r, h, 0, "horse line without a number (field 1): the race's horses end before this one");
                    break;
                }
                for (int p = 1; p <= RaceStore::kMaxPP && m_d.find(r, h, p) >= 0; ++p)
                    if (!checkPP(r, h, p))
                        break;
            }
        }
        return std::move(m_notes);
    }

private:
    void note(int r, int h, int p, std::string what) { m_notes.push_back({m_lines(r, h, p), std::move(what)}); }

    // False when the horse's later PPs count for nothing.
    bool checkPP(int r, int h, int p)
    {
        if (m_d(r, h, p, kPPTrack).empty()) {
            note(r, h, p,
                 "PP line without a track (field 12): the ratings, the record and the filter end before this PP");
            return false;
        }
        checkDate(r, h, p);
        checkFigure(r, h, p, 3, "13 (KEL)", "Qualy");
        if (m_d(r, h, p, kPPEarlyKel) != "----")
            checkFigure(r, h, p, 4, "15 (Early KEL)", "Early");
        const std::string_view kel = m_d(r, h, p, kPPKel), early = m_d(r, h, p, kPPEarlyKel);
        if (m_d(r, h, p, kPPFinalKel) == "----" && !isMissing(early) && PercentNumber(kel) && PercentNumber(early))
            note(r, h, p, "Final KEL is \"----\" although KEL and Early KEL are figures: 2 x KEL - Early is too large");
        checkPlace(r, h, p);
        checkCondition(r, h, p);
        checkPurseAndDistance(r, h, p);
        return true;
    }

    void checkDate(int r, int h, int p)
    {
        const std::string_view date = m_d(r, h, p, kPPDate);
        if (date.empty()) {
            note(r, h, p, "PP line without a date (field 11): the PP page and the printout end before this PP");
            return;
        }
        // Read by position, each part as a number: "mm/dd/yy" with digits (or a blank, which the
        // filter skips) in each place.
        const auto digits = [&](int from) {
            const std::string_view part = MidText(date, from, from + 1);
            return part.size() == 2 && part != "  " && std::all_of(part.begin(), part.end(), [](char c) {
                       return c == ' ' || std::isdigit(static_cast<unsigned char>(c));
                   });
        };
        if (CharLength(date) == 8 && digits(1) && digits(4) && digits(7))
            return;
        const ShortDate d = ParseShortDate(date);
        note(r, h, p,
             "date (field 11) " + quoted(date) + " is not mm/dd/yy: the Settings filter reads month "
                 + GeneralNumber(d.month) + ", day " + GeneralNumber(d.day) + ", year " + GeneralNumber(d.year));
    }

    void checkFigure(int r, int h, int p, int slot, std::string_view field, std::string_view rating)
    {
        const std::string_view text = m_d(r, h, p, slot);
        const std::string name = "field " + std::string(field);
        if (text.empty()) {
            note(r, h, p,
                 name + " is empty: the " + std::string(rating)
                     + " rating ends before this PP, so the horse's later PPs" + " count for nothing in it");
            return;
        }
        if (isMissing(text))
            return;
        const std::optional<double> number = PercentNumber(text);
        if (!number || *number < 0) {
            note(r, h, p,
                 name + " " + quoted(text) + " is not a figure such as 97%: the PP counts for no " + std::string(rating)
                     + " and no Final rating");
        } else if (!text.ends_with('%')) {
            note(r, h, p,
                 name + " " + quoted(text) + " does not end in \"%\": its last character is dropped, so it reads as "
                     + GeneralNumber(*number) + "%");
        }
    }

    void checkPlace(int r, int h, int p)
    {
        const std::string_view pos = m_d(r, h, p, kPPPosition);
        const std::size_t ordinal = pos.find("\xC2\xBA");
        if (pos.empty() || (ordinal != std::string_view::npos && PlainNumber(pos.substr(0, ordinal))))
            return;
        note(r, h, p,
             "position (field 2) " + quoted(pos)
                 + " does not start with a place such as 1\xC2\xBA: the record counts this PP as a start only");
    }

    void checkCondition(int r, int h, int p)
    {
        const std::string_view cond = m_d(r, h, p, kPPCondition);
        const std::string name = "track condition (field 6) " + quoted(cond);
        if (!cond.starts_with('d') && !cond.starts_with('t') && !IsPRecord(cond))
            note(r, h, p,
                 name
                     + " does not start with d (dirt), t (turf) or P: \"Dirt races\" and \"Turf races\" never leave"
                       " this PP out");
        const std::string_view code = ConditionCode(cond, m_d(r, h, p, kPPDistance));
        // A P record without a code is one the filter reads as meant.
        if (ConditionGroupOf(code) != ConditionGroup::None || (code.empty() && IsPRecord(cond)))
            return;
        note(r, h, p,
             name + (code.empty() ? " has no code after \"-\"" : " has the code " + quoted(code) + ", in neither group")
                 + ": \"Fast, good surface races\" and \"Muddy, sloopy surface races\" never leave this PP out");
    }

    void checkPurseAndDistance(int r, int h, int p)
    {
        const std::string_view cond = m_d(r, h, p, kPPCondition), purse = m_d(r, h, p, kPPPurse),
                               distance = m_d(r, h, p, kPPDistance);
        if (!IsPRecord(cond) && !ParsePurse(purse))
            note(r, h, p,
                 "purse (field 7) " + quoted(purse)
                     + " is not a number followed by K or M: the Settings filter never leaves this PP out for its "
                       "purse");
        const ValueView v = ParseDistanceView(distance, DistanceForm::PP, cond);
        if (!v.hasValue()) {
            note(r, h, p,
                 "distance (field 4) " + quoted(distance)
                     + " is not in furlongs (F), miles (M) or miles and yards (Y): the Settings filter never leaves"
                       " this PP out for its distance");
        } else if (v.kind == ValueKind::Text) {
            note(r, h, p,
                 "distance (field 4) " + quoted(distance)
                     + " of a P record is read as a text, above every number: \"Go!\" leaves this PP out whenever"
                       " the upper distance limit is a number");
        }
    }

    RecordLines m_lines;
    const RaceStore &m_d;
    std::vector<CheckNote> m_notes;
};

} // namespace

std::vector<CheckNote> CheckCard(std::string_view bytes, const Module1 &m, const LoadReport &report)
{
    // The loader's notes first: on a line both concern, what was left out of it comes first.
    std::vector<CheckNote> notes;
    for (const std::vector<LoadNote> *kind : {&report.dropped, &report.skipped})
        for (const LoadNote &n : *kind)
            notes.push_back({n.line, printable(n.what)});
    std::vector<CheckNote> found = Checker(bytes, m).run();
    notes.insert(notes.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    std::stable_sort(notes.begin(), notes.end(),
                     [](const CheckNote &a, const CheckNote &b) { return a.line < b.line; });
    return notes;
}

} // namespace kel
