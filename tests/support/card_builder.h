#pragma once

// Test helper: writes races, horses and PPs straight into a RaceStore, the way the loader
// files them (same slots), without going through a .kel file.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "store/race_store.h"

namespace kel::test {

// The slots of one PP the tests care about. Slots 3, 4 and 5 are the rating slots.
struct PPText
{
    std::string kel = "100%";              // PP slot 3
    std::string early = "100%";            // PP slot 4
    std::string fin = "100%";              // PP slot 5
    std::string pos = "4\xC2\xBA 120 (5)"; // PP slot 6, "4º 120 (5)"
    std::string mark;                      // PP slot 0: "", "F" or "S"
    std::string track = "AQU";             // PP slot 2: "" ends the horse's PPs for the engine
    std::string date = "01/02/24";         // PP slot 1
};

// A PP whose three figures are the same percent text.
inline PPText Fig(std::string_view all)
{
    PPText t;
    t.kel = t.early = t.fin = std::string(all);
    return t;
}

// "1º ..." style position text (UTF-8 "º").
inline std::string Pos(std::string_view place)
{
    return std::string(place) + "\xC2\xBA 118 (1)";
}

class CardBuilder
{
public:
    explicit CardBuilder(RaceStore &data) : m_data(data) {}

    // Race record: slot 1 (non-empty: the race exists) and slot 2.
    CardBuilder &race(int r, std::string_view title = "Race")
    {
        m_data.set(r, 0, 0, 1, title);
        m_data.set(r, 0, 0, 2, "6F");
        return *this;
    }

    // Horse record: program number, name, weight and the file's record field.
    CardBuilder &horse(int r, int h, std::string_view name = "Horse")
    {
        m_data.set(r, h, 0, 1, std::to_string(h));
        m_data.set(r, h, 0, 2, name);
        m_data.set(r, h, 0, 3, "120");
        m_data.set(r, h, 0, 4, "file record");
        m_data.set(r, h, 0, 10, "Jockey");
        return *this;
    }

    CardBuilder &pp(int r, int h, int p, const PPText &t)
    {
        m_data.set(r, h, p, 0, t.mark);
        m_data.set(r, h, p, 1, t.date);
        m_data.set(r, h, p, 2, t.track);
        m_data.set(r, h, p, 3, t.kel);
        m_data.set(r, h, p, 4, t.early);
        m_data.set(r, h, p, 5, t.fin);
        m_data.set(r, h, p, 6, t.pos);
        m_data.set(r, h, p, 7, "6F");
        return *this;
    }

    // A horse whose PPs 1, 2, ... carry the given figure texts in all three rating slots.
    CardBuilder &horseWith(int r, int h, std::initializer_list<std::string_view> figures)
    {
        horse(r, h);
        int p = 1;
        for (std::string_view f : figures)
            pp(r, h, p++, Fig(f));
        return *this;
    }

    // A horse with PPs built from full PP texts.
    CardBuilder &horseWith(int r, int h, const std::vector<PPText> &pps)
    {
        horse(r, h);
        int p = 1;
        for (const PPText &t : pps)
            pp(r, h, p++, t);
        return *this;
    }

private:
    RaceStore &m_data;
};

} // namespace kel::test
