#pragma once
// Table models of the import wizard's grids: the sheet as read, and the
// preview whose cells the operator may correct.

#include <QAbstractTableModel>
#include <functional>

struct SheetTable;
class ImportPreview;

class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SheetModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}
    void setTable(const SheetTable *table);   // not owned; nullptr shows nothing

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const SheetTable *m_table = nullptr;
};

class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // refused(row, column, text): an edit the column cannot take (the cell keeps its value).
    using Refused = std::function<void(int row, int column, const QString &text)>;
    PreviewModel(ImportPreview *preview, Refused refused, QObject *parent = nullptr);

    // After the preview changed as a whole (built, rows removed).
    void reload();
    void cellsChanged(int column);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ImportPreview *m_preview;
    Refused m_refused;
};
