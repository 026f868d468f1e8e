#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/card_lines.h"
#include "views/display_text.h"
#include "views/grid_model.h"

namespace kel {
namespace {

TEST(GridModel, RowsDropTextsFromTheBottomAndComeBackEmpty)
{
    GridModel g;
    g.setCols(3);
    g.setRows(2);
    g.setCell(0, 0, "head");
    g.setCell(1, 2, "body");
    g.setRows(1);
    g.setRows(2);
    EXPECT_EQ(g.cell(0, 0), "head");
    EXPECT_EQ(g.cell(1, 2), "");
}

TEST(GridModel, NoRowsAtAllIsValid)
{
    GridModel g;
    g.setCols(16);
    g.setRows(2);
    g.setFixedRows(1);
    g.setRows(0);
    EXPECT_EQ(g.rows(), 0);
    EXPECT_EQ(g.fixedRows(), 0);
    EXPECT_EQ(g.cols(), 16);
    EXPECT_EQ(g.cell(0, 0), "");
}

TEST(GridModel, TextWritesOnlyTheCurrentCell)
{
    GridModel g;
    g.setCols(4);
    g.setRows(5);
    g.setRow(3);
    g.setCol(2);
    g.setText("x");
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(g.cell(r, c), r == 3 && c == 2 ? "x" : "") << r << "," << c;
    EXPECT_EQ(g.text(), "x");
}

TEST(GridModel, ColumnsKeepTheirTextsAcrossReshapes)
{
    GridModel g;
    g.setCols(3);
    g.setRows(3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            g.setCell(r, c, std::to_string(r * 10 + c) + " a text too long for small buffers");
    g.setCols(5);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(g.cell(r, c), std::to_string(r * 10 + c) + " a text too long for small buffers");
        EXPECT_EQ(g.cell(r, 3), "");
        EXPECT_EQ(g.cell(r, 4), "");
    }
    g.setCols(2);
    g.setCols(3);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(g.cell(r, 1), std::to_string(r * 10 + 1) + " a text too long for small buffers");
        EXPECT_EQ(g.cell(r, 2), "") << "a dropped column comes back empty";
    }
    // Rows that were never written after a reshape read empty, not an older page's text.
    g.setRows(6);
    for (int r = 3; r < 6; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(g.cell(r, c), "");
}

TEST(GridModel, WidthsAndAlignmentsReadBackExactly)
{
    GridModel g;
    g.setCols(2);
    g.setColWidth(1, 5505);
    g.setColAlignment(1, GridModel::RightTop);
    EXPECT_EQ(g.colWidth(1), 5505);
    EXPECT_EQ(g.colAlignment(1), 6);
    EXPECT_EQ(g.colWidth(0), GridModel::kDefaultColWidth);
    // An added column starts from the defaults, not from what a dropped one had.
    g.setCols(1);
    g.setCols(2);
    EXPECT_EQ(g.colWidth(1), GridModel::kDefaultColWidth);
    EXPECT_EQ(g.colAlignment(1), GridModel::LeftTop);
}

TEST(GridModel, OutsideCellsReadEmptyAndIgnoreWrites)
{
    GridModel g;
    g.setCols(2);
    g.setRows(2);
    g.setRow(7);
    g.setText("lost");
    EXPECT_EQ(g.text(), "");
    g.setCell(-1, 0, "lost");
    g.setColWidth(9, 100);
    EXPECT_EQ(g.colWidth(9), 0);
    EXPECT_EQ(g.rowHeight(1), GridModel::kDefaultRowHeight);
    EXPECT_EQ(g.rowHeight(2), 0);
}

TEST(GridModel, CurrentCellFollowsAShrinkingGrid)
{
    GridModel g;
    g.setCols(16);
    g.setRows(10);
    g.setRow(9);
    g.setCol(15);
    g.setRows(4);
    g.setCols(12);
    EXPECT_EQ(g.row(), 3);
    EXPECT_EQ(g.col(), 11);
}

// Random reshapes and writes against a plain table: no text survives its row or column, and
// none that stays is lost.
TEST(GridModel, ReshapesAgreeWithAPlainTable)
{
    std::mt19937 rng(7);
    GridModel g;
    std::vector<std::vector<std::string>> ref; // ref[r][c]
    int cols = 0;
    for (int step = 0; step < 3000; ++step) {
        const int op = static_cast<int>(rng() % 3);
        if (op == 0) {
            const int n = static_cast<int>(rng() % 8);
            g.setRows(n);
            ref.resize(n, std::vector<std::string>(cols));
        } else if (op == 1) {
            const int n = static_cast<int>(rng() % 18);
            g.setCols(n);
            cols = n;
            for (auto &row : ref)
                row.resize(n);
        } else if (!ref.empty() && cols > 0) {
            const int r = static_cast<int>(rng() % ref.size());
            const int c = static_cast<int>(rng() % cols);
            const std::string t = std::to_string(step) + (step % 2 ? " and a tail past the small-string size" : "");
            g.setCell(r, c, t);
            ref[r][c] = t;
        }
        ASSERT_EQ(g.rows(), static_cast<int>(ref.size()));
        ASSERT_EQ(g.cols(), cols);
        for (int r = 0; r < g.rows(); ++r)
            for (int c = 0; c < cols; ++c)
                ASSERT_EQ(g.cell(r, c), ref[r][c]) << "step " << step << " cell " << r << "," << c;
    }
}

TEST(DisplayText, CutsAfterAThousandCharactersWithAnEllipsis)
{
    const std::string e = "\xC3\xA9", ellipsis = "\xE2\x80\xA6"; // "é" is two bytes
    const std::string x1000(1000, 'x');
    EXPECT_EQ(DisplayText("97%"), "97%");
    EXPECT_EQ(DisplayText(x1000), x1000);
    EXPECT_EQ(DisplayText(x1000 + "y"), x1000 + ellipsis);
    EXPECT_EQ(DisplayText(kel::testing::repeat(e, 1000)), kel::testing::repeat(e, 1000));
    EXPECT_EQ(DisplayText(x1000.substr(1) + e + "tail"), x1000.substr(1) + e + ellipsis);
}

} // namespace
} // namespace kel
