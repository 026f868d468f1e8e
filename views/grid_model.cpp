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
    const std::size_t oldSize = static_cast<std::size_t>(m_rows) * m_cols;
    const std::size_t newSize = static_cast<std::size_t>(n) * m_cols;
    // Dropped rows come back empty when the count grows again.
    for (std::size_t i = newSize; i < oldSize; ++i)
        m_cells[i].clear();
    if (m_cells.size() < newSize)
        m_cells.resize(newSize);
    m_rowHeight.resize(n, kDefaultRowHeight);
    m_rows = n;
    m_fixedRows = std::min(m_fixedRows, n);
    if (m_row >= n)
        m_row = std::max(n - 1, 0);
    ++m_revision;
}

void GridModel::setCols(int n)
{
    n = std::max(n, 0);
    if (n != m_cols) {
        const std::size_t rows = static_cast<std::size_t>(m_rows);
        const std::size_t oldCols = static_cast<std::size_t>(m_cols);
        const std::size_t newCols = static_cast<std::size_t>(n);
        // Cells move by swapping with empty pool entries, so buffers stay in the pool and
        // every entry outside the new rectangle ends empty.
        if (newCols > oldCols) {
            if (m_cells.size() < rows * newCols)
                m_cells.resize(rows * newCols);
            for (std::size_t r = rows; r-- > 0;)
                for (std::size_t c = oldCols; c-- > 0;)
                    if (r * newCols + c != r * oldCols + c)
                        std::swap(m_cells[r * newCols + c], m_cells[r * oldCols + c]);
        } else {
            for (std::size_t r = 0; r < rows; ++r)
                for (std::size_t c = newCols; c < oldCols; ++c)
                    m_cells[r * oldCols + c].clear();
            for (std::size_t r = 0; r < rows; ++r)
                for (std::size_t c = 0; c < newCols; ++c)
                    if (r * newCols + c != r * oldCols + c)
                        std::swap(m_cells[r * newCols + c], m_cells[r * oldCols + c]);
        }
    }
    m_colWidth.resize(n, kDefaultColWidth);
    m_colAlign.resize(n, LeftTop);
    m_cols = n;
    if (m_col >= n)
        m_col = std::max(n - 1, 0);
    ++m_revision;
}

void GridModel::setFixedRows(int n)
{
    m_fixedRows = std::clamp(n, 0, m_rows);
    ++m_revision;
}

const std::string &GridModel::cell(int r, int c) const
{
    return contains(r, c) ? m_cells[index(r, c)] : kEmpty;
}

void GridModel::setCell(int r, int c, std::string_view t)
{
    if (contains(r, c)) {
        m_cells[index(r, c)].assign(t);
        ++m_revision;
    }
}

int GridModel::colWidth(int c) const
{
    return c >= 0 && c < m_cols ? m_colWidth[c] : 0;
}

void GridModel::setColWidth(int c, int twips)
{
    if (c >= 0 && c < m_cols) {
        m_colWidth[c] = twips;
        ++m_revision;
    }
}

int GridModel::colAlignment(int c) const
{
    return c >= 0 && c < m_cols ? m_colAlign[c] : LeftTop;
}

void GridModel::setColAlignment(int c, int code)
{
    if (c >= 0 && c < m_cols) {
        m_colAlign[c] = code;
        ++m_revision;
    }
}

int GridModel::rowHeight(int r) const
{
    return r >= 0 && r < m_rows ? m_rowHeight[r] : 0;
}

void GridModel::setRowHeight(int r, int twips)
{
    if (r >= 0 && r < m_rows) {
        m_rowHeight[r] = twips;
        ++m_revision;
    }
}

void GridModel::setWidth(int twips)
{
    m_width = twips;
    ++m_revision;
}

} // namespace kel
