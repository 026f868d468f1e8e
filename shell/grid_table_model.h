#pragma once

#include <QAbstractTableModel>

#include "views/grid_model.h"

namespace kel {

// Shows the grid MSF in a QTableView. The first fixed row is answered as the horizontal header,
// so it stays in view while the rows scroll; view row v is grid row v + headerRows().
class GridTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit GridTableModel(const GridModel &grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // 1 when grid row 0 is a fixed row shown as the header, else 0.
    int headerRows() const;
    int gridRow(int viewRow) const { return viewRow + headerRows(); }
    int viewRow(int gridRow) const { return gridRow - headerRows(); }

    // The grid changed behind the model's back (a page was built): start over.
    void reload();

private:
    const GridModel &m_grid;
};

} // namespace kel
