#include "shell/grid_table_model.h"

#include <QString>

#include "views/display_text.h"

namespace kel {

namespace {

Qt::Alignment alignmentOf(int code)
{
    return code == GridModel::RightTop ? (Qt::AlignRight | Qt::AlignTop) : (Qt::AlignLeft | Qt::AlignTop);
}

} // namespace

GridTableModel::GridTableModel(const GridModel &grid, QObject *parent) : QAbstractTableModel(parent), m_grid(grid)
{}

int GridTableModel::headerRows() const
{
    return m_grid.fixedRows() >= 1 && m_grid.rows() >= 1 ? 1 : 0;
}

int GridTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid.rows() - headerRows();
}

int GridTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid.cols();
}

QVariant GridTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(DisplayText(m_grid.cell(gridRow(index.row()), index.column())));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignmentOf(m_grid.colAlignment(index.column())));
    default:
        return {};
    }
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || headerRows() == 0 || section < 0 || section >= m_grid.cols())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(DisplayText(m_grid.cell(0, section)));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GridTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

} // namespace kel
