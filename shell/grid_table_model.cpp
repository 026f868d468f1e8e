#include "shell/grid_table_model.h"

#include <QFont>
#include <QString>

#include "views/display_text.h"

namespace kel {

namespace {

QString shown(std::string_view text)
{
    return QString::fromStdString(DisplayText(text));
}

} // namespace

GridTableModel::GridTableModel(QObject *parent) : QAbstractTableModel(parent)
{}

int GridTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows - m_headerRows;
}

int GridTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant GridTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int r = gridRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(r, index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_alignments[std::size_t(index.column())]);
    case Qt::FontRole:
        if (r == m_markedRow && index.column() == 0) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ToolTipRole:
        if (r < m_notes.size() && !m_notes[r].isEmpty() && text(r, index.column()) == QLatin1String("-"))
            return m_notes[r];
        return {};
    default:
        return {};
    }
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || m_headerRows == 0 || section < 0 || section >= m_cols)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(0, section);
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

void GridTableModel::setGrid(const GridModel &grid, const std::vector<std::string> &rowNotes, int markedRow)
{
    beginResetModel();
    m_markedRow = markedRow;
    m_rows = grid.rows();
    m_cols = grid.cols();
    m_headerRows = grid.fixedRows() >= 1 && m_rows >= 1 ? 1 : 0;
    m_texts.clear();
    m_texts.reserve(qsizetype(m_rows) * m_cols);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_cols; ++c)
            m_texts.append(shown(grid.cell(r, c)));
    m_alignments.clear();
    for (int c = 0; c < m_cols; ++c)
        m_alignments.push_back(grid.colAlignment(c) == GridModel::RightTop ? (Qt::AlignRight | Qt::AlignTop)
                                                                           : (Qt::AlignLeft | Qt::AlignTop));
    m_notes.clear();
    for (const std::string &note : rowNotes)
        m_notes.append(shown(note));
    endResetModel();
}

} // namespace kel
