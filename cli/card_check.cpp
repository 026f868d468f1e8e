#include "cli/card_check.h"

#include <algorithm>
#include <cctype>

#include "engine/ratings.h"
#include "settings/filter.h"
#include "settings/settings_texts.h"
#include "store/final_kel.h"
#include "store/number_text.h"
#include "store/utf8.h"
#include "store/slots.h"
#include "views/commands.h"

namespace kel {

namespace {

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

// "field 3", "fields 3 and 5", "fields 3, 5 and 6".
std::string fieldList(const std::vector<int> &fields)
{
    std::string out = fields.size() == 1 ? "field " : "fields ";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += i + 1 == fields.size() ? " and " : ", ";
        out += DecimalText(fields[i]);
    }
    return out;
}

// What a field left empty hides: the program's own columns, then the card's fields.
std::string leftOut(std::string_view computed, const std::vector<int> &fields)
{
    std::string out(computed);
    if (!computed.empty() && !fields.empty())
        out += " and ";
    return fields.empty() ? out : out + fieldList(fields);
}

class Checker
{
public:
    Checker(const Module1 &m, const RecordLines &lines) : m_lines(lines), m_d(m.Data) {}

    // Walks every record the loader filed, not the store's walks: what lies past the ends those
    // stop at is what no page shows, and the check lists it.
    std::vector<CheckNote> run()
    {
        for (int r = 1; r <= RaceStore::kMaxRace && m_d.find(r, 0, 0) >= 0; ++r) {
            if (m_d(r, 0, 0, kKeySlot).empty()) {
                note(r, 0, 0, "race line without a first field: the race list ends before this race");
                break;
            }
            checkRaceGap(r);
            for (int h = 1; h <= RaceStore::kMaxHorse && m_d.find(r, h, 0) >= 0; ++h) {
                if (m_d(r, h, 0, kKeySlot).empty()) {
                    note(r, h, 0, "horse line without a number (field 1): the race's horses end before this one");
                    break;
                }
                checkHorseGap(r, h);
                for (int p = 1; p <= RaceStore::kMaxPP && m_d.find(r, h, p) >= 0; ++p)
                    if (!checkPP(r, h, p))
                        break;
            }
        }
        return std::move(m_notes);
    }

private:
    void note(int r, int h, int p, std::string what) { m_notes.push_back({m_lines(r, h, p), std::move(what)}); }

    // The first empty slot of record (r, h, p) among slots 1 to last, where the pages stop
    // showing it, and the slots after it that hold a text; none when nothing is hidden so.
    struct Gap
    {
        int slot = 0;
        std::vector<int> hidden;
    };
    Gap gapIn(int r, int h, int p, int last) const
    {
        Gap gap;
        for (int s = 1; s <= last; ++s) {
            const bool empty = m_d(r, h, p, s).empty();
            if (empty && gap.slot == 0)
                gap.slot = s;
            else if (!empty && gap.slot != 0)
                gap.hidden.push_back(s);
        }
        return gap;
    }

    void checkRaceGap(int r)
    {
        const Gap gap = gapIn(r, 0, 0, RaceStore::kMaxSlot);
        if (!gap.hidden.empty())
            note(r, 0, 0,
                 "race line with field " + DecimalText(gap.slot)
                     + " empty: the race list and the race's title end there, leaving out " + fieldList(gap.hidden));
    }

    // Horse slots kHorseRecord to kHorseWinPercent are the engine's.
    void checkHorseGap(int r, int h)
    {
        const Gap gap = gapIn(r, h, 0, kHeadedHorseSlots);
        if (gap.hidden.empty())
            return;
        std::vector<int> fields;
        for (const int s : gap.hidden)
            if (s < kHorseRecord || s > kHorseWinPercent)
                fields.push_back(fieldOfHorseSlot(s));
        note(r, h, 0,
             "horse line with field " + DecimalText(fieldOfHorseSlot(gap.slot))
                 + " empty: the horses page ends the horse's row there, leaving out "
                 + leftOut(gap.slot < kHorseRecord ? "the record, the ratings, \"% W\"" : "", fields));
    }

    // A PP without a date is not listed at all, which checkDate says.
    void checkPPGap(int r, int h, int p)
    {
        const Gap gap = gapIn(r, h, p, kHeadedPPSlots);
        if (gap.hidden.empty() || gap.slot == kPPDate)
            return;
        std::vector<int> fields;
        for (const int s : gap.hidden)
            if (s != kPPFinalKel)
                fields.push_back(fieldOfPPSlot(s));
        std::sort(fields.begin(), fields.end());
        note(r, h, p,
             "PP line with field " + DecimalText(fieldOfPPSlot(gap.slot))
                 + " empty: the PP page ends the PP's row there, leaving out "
                 + leftOut(gap.slot < kPPFinalKel ? "the Final KEL" : "", fields));
    }

    // Horse fields 1 to 4 fill slots 1 to 4, the later ones the slots after the ratings and "% W".
    static int fieldOfHorseSlot(int slot)
    {
        return slot > kHorseWinPercent ? slot - (kHorseWinPercent - kHorseRecord) : slot;
    }

    static int fieldOfPPSlot(int slot)
    {
        for (int k = 1; k <= RaceStore::kPPFields; ++k)
            if (RaceStore::kPPSlotOfField[k] == slot)
                return k;
        return 0;
    }

    // False when the horse's later PPs count for nothing.
    bool checkPP(int r, int h, int p)
    {
        if (m_d(r, h, p, kPPTrack).empty()) {
            note(r, h, p,
                 "PP line without a track (field 12): the ratings, the record and the filter end before this PP");
            return false;
        }
        checkDate(r, h, p);
        checkPPGap(r, h, p);
        checkFigure(r, h, p, kPPKel, "13 (KEL)", "Qualy");
        if (m_d(r, h, p, kPPEarlyKel) != kNoFigure)
            checkFigure(r, h, p, kPPEarlyKel, "15 (Early KEL)", "Early");
        const std::string_view kel = m_d(r, h, p, kPPKel), early = m_d(r, h, p, kPPEarlyKel);
        if (m_d(r, h, p, kPPFinalKel) == kNoFigure && !isMissing(early) && PercentNumber(kel) && PercentNumber(early))
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

    const RecordLines &m_lines;
    const RaceStore &m_d;
    std::vector<CheckNote> m_notes;
};

} // namespace

std::vector<CheckNote> CheckCard(const Module1 &m, const LoadReport &report, const RecordLines &lines)
{
    // The loader's notes first: on a line both concern, what was left out of it comes first.
    std::vector<CheckNote> notes;
    for (const std::vector<LoadNote> *kind : {&report.dropped, &report.skipped})
        for (const LoadNote &n : *kind)
            notes.push_back({n.line, printable(n.what)});
    std::vector<CheckNote> found = Checker(m, lines).run();
    notes.insert(notes.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    std::stable_sort(notes.begin(), notes.end(),
                     [](const CheckNote &a, const CheckNote &b) { return a.line < b.line; });
    return notes;
}

std::vector<CheckNote> CheckCardName(std::string_view fileName)
{
    std::vector<CheckNote> notes;
    if (!IsListedCardName(fileName))
        notes.push_back(
            {0, "the name " + quoted(fileName)
                    + (fileName.starts_with('.') ? " starts with \".\": File, Open lists no hidden file"
                                                 : " does not end in \".kel\": File, Open does not list it")});
    if (const std::size_t chars = Utf8Count(fileName); chars > kMaxCardNameLength)
        notes.push_back({0, "the name " + quoted(fileName) + " has " + DecimalText(chars)
                                + " characters: File, Open refuses a name longer than "
                                + DecimalText(kMaxCardNameLength) + " with \"error TX1\""});
    return notes;
}

} // namespace kel
