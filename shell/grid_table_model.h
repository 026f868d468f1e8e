#pragma once

#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QStringList>

#include "views/grid_model.h"

namespace kel {

// Holds the grid's texts as drawn, taken at setGrid(). The first fixed row is the horizontal
// header, so that it stays in view while the rows scroll.
class GridTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit GridTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    int headerRows() const { return m_headerRows; }
    int gridRow(int viewRow) const { return viewRow + m_headerRows; }
    int viewRow(int gridRow) const { return gridRow - m_headerRows; }

    // rowNotes[r], when not empty, is the tooltip of the "-" cells of grid row r: what a scratched
    // horse's row no longer shows. The first cell of grid row markedRow is drawn bold.
    void setGrid(const GridModel &grid, const std::vector<std::string> &rowNotes = {}, int markedRow = -1);

private:
    const QString &text(int gridRow, int col) const { return m_texts[gridRow * m_cols + col]; }

    int m_rows = 0; // grid rows, the header row included
    int m_cols = 0;
    int m_headerRows = 0;
    QStringList m_texts; // row-major, m_rows x m_cols
    std::vector<Qt::Alignment> m_alignments;
    QStringList m_notes; // by grid row
    int m_markedRow = -1;
};

} // namespace kel
