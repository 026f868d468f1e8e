#include "cli/card_export.h"

#include <cstdio>
#include <string_view>

namespace kel {

namespace {

// Races 1.. up to the first without slot 1, or the one race asked for.
template <typename Fn>
void forEachRace(const Module1 &m, int race, Fn fn)
{
    for (int r = race ? race : 1; r <= RaceStore::kMaxRace && !m.Data(r, 0, 0, 1).empty(); ++r) {
        fn(r);
        if (race)
            break;
    }
}

template <typename Fn>
void forEachHorse(const Module1 &m, int r, Fn fn)
{
    for (int h = 1; h <= RaceStore::kMaxHorse && !m.Data(r, h, 0, 1).empty(); ++h)
        fn(h);
}

void csvField(std::ostream &out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out << text;
        return;
    }
    out << '"';
    for (char c : text) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

void jsonString(std::ostream &out, std::string_view text)
{
    out << '"';
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out << buf;
        } else {
            out << c;
        }
    }
    out << '"';
}

void jsonSlots(std::ostream &out, const Module1 &m, int r, int h, int p, int first, int last)
{
    out << "\"slots\":[";
    for (int s = first; s <= last; ++s) {
        if (s > first)
            out << ',';
        jsonString(out, m.Data(r, h, p, s));
    }
    out << ']';
}

} // namespace

void WriteCsv(const Module1 &m, int race, std::ostream &out)
{
    out << "race,horse,number,name,lbs,record,qualy,early,final,win,jockey,trainer,scratched\n";
    static constexpr int kSlots[] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11};
    forEachRace(m, race, [&](int r) {
        forEachHorse(m, r, [&](int h) {
            out << r << ',' << h;
            for (int s : kSlots) {
                out << ',';
                csvField(out, m.Data(r, h, 0, s));
            }
            out << ',' << (m.Data(r, h, 1, 0) == "S" ? 1 : 0) << '\n';
        });
    });
}

void WriteJson(const Module1 &m, int race, std::ostream &out)
{
    out << "{\"races\":[";
    bool firstRace = true;
    forEachRace(m, race, [&](int r) {
        out << (firstRace ? "" : ",") << "{\"number\":" << r << ',';
        firstRace = false;
        jsonSlots(out, m, r, 0, 0, 1, 17);
        out << ",\"horses\":[";
        bool firstHorse = true;
        forEachHorse(m, r, [&](int h) {
            out << (firstHorse ? "" : ",") << "{\"number\":" << h << ',';
            firstHorse = false;
            jsonSlots(out, m, r, h, 0, 1, 18);
            out << ",\"pps\":[";
            for (int p = 1; p <= RaceStore::kMaxPP && !m.Data(r, h, p, 4).empty(); ++p) {
                out << (p > 1 ? "," : "") << "{\"number\":" << p << ',';
                jsonSlots(out, m, r, h, p, 0, 16);
                out << '}';
            }
            out << "]}";
        });
        out << "]}";
    });
    out << "]}\n";
}

} // namespace kel
