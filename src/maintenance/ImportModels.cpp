#include "ImportModels.h"

#include "ImportPreview.h"
#include "Workbook.h"

void SheetModel::setTable(const SheetTable *table)
{
    beginResetModel();
    m_table = table;
    endResetModel();
}

int SheetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_table ? 0 : int(m_table->rows.size());
}

int SheetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_table ? 0 : int(m_table->columns.size());
}

QVariant SheetModel::data(const QModelIndex &index, int role) const
{
    if (!m_table || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const QString text = m_table->rows.at(index.row()).value(index.column());
    // A long cell is shown cut; the whole text is in its tip.
    if (role == Qt::DisplayRole) return text.size() > 255 ? text.left(255) + QStringLiteral("…") : text;
    return text.size() > 255 ? text.left(4096) : QVariant();
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !m_table) return {};
    if (orientation == Qt::Horizontal) return m_table->columns.value(section);
    return section + 1;
}

PreviewModel::PreviewModel(ImportPreview *preview, Refused refused, QObject *parent)
    : QAbstractTableModel(parent), m_preview(preview), m_refused(std::move(refused))
{
}

void PreviewModel::reload()
{
    beginResetModel();
    endResetModel();
}

void PreviewModel::cellsChanged(int column)
{
    if (rowCount() > 0) emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

int PreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_preview->rowCount();
}

int PreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_preview->columnCount();
}

QVariant PreviewModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::DisplayRole || role == Qt::EditRole) return m_preview->text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

bool PreviewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid()) return false;
    const QString text = value.toString();
    if (text == m_preview->text(index.row(), index.column())) return true;
    if (!m_preview->setText(index.row(), index.column(), text)) {
        if (m_refused) m_refused(index.row(), index.column(), text);
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags PreviewModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole) return m_preview->columns().value(section).caption;
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
        return {};
    }
    if (role == Qt::DisplayRole) return section + 1;
    return {};
}
