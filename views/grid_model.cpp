#include "views/grid_model.h"

#include <algorithm>
#include <utility>

namespace kel {

namespace {
const std::string kEmpty;
}

void GridModel::setRows(int n)
{
    n = std::max(n, 0);
    m_cells.resize(static_cast<std::size_t>(n) * m_cols);
    m_rowHeight.resize(n, kDefaultRowHeight);
    m_rows = n;
    m_fixedRows = std::min(m_fixedRows, n);
    if (m_row >= n)
        m_row = std::max(n - 1, 0);
}

void GridModel::setCols(int n)
{
    n = std::max(n, 0);
    // Without rows there is nothing to move, and the cells keep their room for the next page.
    if (n != m_cols && m_rows > 0) {
        std::vector<std::string> cells(static_cast<std::size_t>(m_rows) * n);
        const int kept = std::min(n, m_cols);
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < kept; ++c)
                cells[static_cast<std::size_t>(r) * n + c] = std::move(m_cells[index(r, c)]);
        m_cells = std::move(cells);
    }
    m_colWidth.resize(n, kDefaultColWidth);
    m_colAlign.resize(n, LeftTop);
    m_cols = n;
    if (m_col >= n)
        m_col = std::max(n - 1, 0);
}

void GridModel::setFixedRows(int n)
{
    m_fixedRows = std::clamp(n, 0, m_rows);
}

const std::string &GridModel::cell(int r, int c) const
{
    return contains(r, c) ? m_cells[index(r, c)] : kEmpty;
}

void GridModel::setCell(int r, int c, std::string_view t)
{
    if (contains(r, c))
        m_cells[index(r, c)].assign(t);
}

int GridModel::colWidth(int c) const
{
    return c >= 0 && c < m_cols ? m_colWidth[c] : 0;
}

void GridModel::setColWidth(int c, int twips)
{
    if (c >= 0 && c < m_cols)
        m_colWidth[c] = twips;
}

int GridModel::colAlignment(int c) const
{
    return c >= 0 && c < m_cols ? m_colAlign[c] : LeftTop;
}

void GridModel::setColAlignment(int c, int code)
{
    if (c >= 0 && c < m_cols)
        m_colAlign[c] = code;
}

int GridModel::rowHeight(int r) const
{
    return r >= 0 && r < m_rows ? m_rowHeight[r] : 0;
}

void GridModel::setRowHeight(int r, int twips)
{
    if (r >= 0 && r < m_rows)
        m_rowHeight[r] = twips;
}

} // namespace kel
