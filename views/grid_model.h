#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kel {

// The grid MSF as the pages use it, pure data: the window shows it through a table model that
// keeps its own copy.
class GridModel
{
public:
    static constexpr int kDefaultRowHeight = 240; // twips
    static constexpr int kDefaultColWidth = 960;  // twips
    enum Alignment { LeftTop = 0, RightTop = 6 };

    int rows() const { return m_rows; }
    // Fewer rows drop their texts from the bottom; FixedRows and the current row shrink with them.
    void setRows(int n);
    int cols() const { return m_cols; }
    // Likewise at the right edge; the current column shrinks with the count.
    void setCols(int n);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int n);

    int row() const { return m_row; }
    void setRow(int r) { m_row = r; }
    int col() const { return m_col; }
    void setCol(int c) { m_col = c; }

    // Text of the current cell; "" (and ignored on write) when the current cell is outside.
    const std::string &text() const { return cell(m_row, m_col); }
    void setText(std::string_view t) { setCell(m_row, m_col, t); }

    const std::string &cell(int r, int c) const;
    void setCell(int r, int c, std::string_view t);

    // The value set is read back exactly.
    int colWidth(int c) const;
    void setColWidth(int c, int twips);
    int colAlignment(int c) const;
    void setColAlignment(int c, int code);
    int rowHeight(int r) const;
    void setRowHeight(int r, int twips);

    // The control's own width, in twips; 0 until the form that holds the grid sets it.
    int width() const { return m_width; }
    void setWidth(int twips) { m_width = twips; }

    bool contains(int r, int c) const { return r >= 0 && r < m_rows && c >= 0 && c < m_cols; }

private:
    std::size_t index(int r, int c) const { return static_cast<std::size_t>(r) * m_cols + c; }

    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_row = 0;
    int m_col = 0;
    int m_width = 0;
    std::vector<std::string> m_cells; // row-major, m_rows x m_cols
    std::vector<int> m_colWidth;
    std::vector<int> m_colAlign;
    std::vector<int> m_rowHeight;
};

} // namespace kel
