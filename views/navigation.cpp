#include "views/commands.h"

namespace kel {

namespace {

constexpr int kWideColumn = 5505; // twips
constexpr int16_t kEsc = 27;

// A double-click opens the row under the pointer; a grid without rows below its header has none.
bool onDataRow(const GridModel &g)
{
    return g.row() >= g.fixedRows() && g.row() < g.rows();
}

} // namespace

void MSF_DblClick(Module1 &m, Form &f)
{
    GridModel &g = f.MSF();
    switch (m.ViewPage) {
    case 1:
        if (onDataRow(g))
            ShowRaceHorses(m, f);
        break;
    case 2:
        if (onDataRow(g))
            ShowHorsePPs(m, f);
        break;
    case 3: {
        const int c = g.col();
        if (g.colWidth(c) == kWideColumn)
            ShowHorsePPs(m, f);
        else
            g.setColWidth(c, kWideColumn);
        break;
    }
    default:
        break;
    }
}

void MSF_KeyPress(Module1 &m, Form &f, int16_t keyAscii)
{
    if (keyAscii == kEsc) {
        switch (m.ViewPage) {
        case 1:
            f.setVisible(Ctl::fr_dc, false);
            break;
        case 2:
            ShowRaceList(m, f);
            break;
        case 3:
            ShowRaceHorses(m, f);
            break;
        default:
            break;
        }
    } else if ((keyAscii == 'S' || keyAscii == 's') && m.ViewPage == 2) {
        Scratched(m, f);
    }
}

void Form_KeyPress(Form &f, int16_t keyAscii)
{
    if (keyAscii == kEsc)
        f.close();
}

void File_Open_Click(Module1 &, Form &f)
{
    f.setVisible(Ctl::Fr_Open, true);
    f.setVisible(Ctl::fr_dc, false);
}

void BT_Cancel_Click(Form &f)
{
    f.setVisible(Ctl::Fr_Open, false);
}

} // namespace kel
