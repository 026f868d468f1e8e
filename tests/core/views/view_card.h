#pragma once

// A small card written straight into the store, for the page and navigation tests.

#include <initializer_list>
#include <string>
#include <string_view>

#include "store/module1.h"
#include "views/commands.h"
#include "support/scripted_dialogs.h"
#include "views/memory_form.h"

namespace kel::test {

inline void setSlots(RaceStore &d, int r, int h, int p, std::initializer_list<std::string_view> slots)
{
    int s = 1;
    for (std::string_view t : slots)
        d.set(r, h, p, s++, t);
}

// PP slots 1 to 16 of PP p, each holding a text that names its place ("d3" is slot 1 of PP 3).
inline void fullPP(RaceStore &d, int r, int h, int p, std::string_view mark = "")
{
    d.set(r, h, p, 0, mark);
    for (int s = 1; s <= 16; ++s)
        d.set(r, h, p, s, std::string(1, static_cast<char>('a' + s - 1)) + std::to_string(p));
}

// Races 1 to 3 with two horses each; horse h of race r has h + r PPs.
inline void threeRaces(Module1 &m)
{
    for (int r = 1; r <= 3; ++r) {
        setSlots(m.Data, r, 0, 0, {"R" + std::to_string(r), "Main", "6F", "Dirt", "Clm"});
        for (int h = 1; h <= 2; ++h) {
            const std::string n = std::to_string(r) + "." + std::to_string(h);
            setSlots(m.Data, r, h, 0,
                     {std::to_string(h), "Horse " + n, "120", "5 1-0-0", "[A-1]", "[B-2]", "[C-1]", "40", "data " + n,
                      "jock " + n, "trainer " + n, "hidden " + n});
            for (int p = 1; p <= h + r; ++p)
                fullPP(m.Data, r, h, p);
        }
    }
    m.loaded = true;
}

// A form that shows a card, as after a load.
struct Screen
{
    Module1 m;
    MemoryForm f;
    Screen()
    {
        f.setSelectedFile("CARD.kel");
        f.setVisible(Ctl::fr_dc, true);
    }
    GridModel &g() { return f.MSF(); }
    std::string row(int r)
    {
        std::string out;
        for (int c = 0; c < g().cols(); ++c)
            out += (c ? "|" : "") + g().cell(r, c);
        return out;
    }
    // Double-click on grid cell (r, c), as the window raises it.
    void dblClick(int r, int c = 0)
    {
        g().setRow(r);
        g().setCol(c);
        MSF_DblClick(m, f);
    }
    void key(int16_t k) { MSF_KeyPress(m, f, k); }
};

} // namespace kel::test
