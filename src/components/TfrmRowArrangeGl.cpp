#include "TfrmRowArrangeGl.h"

#include <QComboBox>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

const QString TfrmRowArrangeGl::kAscending = QStringLiteral("升序");
const QString TfrmRowArrangeGl::kDescending = QStringLiteral("降序");

namespace {

constexpr int kKeyCol = 0;
constexpr int kValueCol = 1;

// The value cell picks from the three choices only.
class SortChoiceDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->addItems({QString(), TfrmRowArrangeGl::kAscending, TfrmRowArrangeGl::kDescending});
        QObject::connect(box, &QComboBox::activated, box, [this, box] {
            auto *self = const_cast<SortChoiceDelegate *>(this);
            emit self->commitData(box);
            emit self->closeEditor(box);
        });
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *box = static_cast<QComboBox *>(editor);
        box->setCurrentIndex(qMax(0, box->findText(index.data().toString())));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QComboBox *>(editor)->currentText());
    }
};

} // namespace

void RowArrangeList::moveRow(int from, int to)
{
    const int n = rowCount();
    if (from < 0 || from >= n || to < 0 || to >= n) return;
    if (from != to) {
        QList<QTableWidgetItem *> items;
        for (int c = 0; c < columnCount(); ++c) items << takeItem(from, c);
        removeRow(from);
        insertRow(to);
        for (int c = 0; c < columnCount(); ++c) setItem(to, c, items.at(c));
    }
    setCurrentCell(to, currentColumn() < 0 ? kKeyCol : currentColumn());
}

void RowArrangeList::dropEvent(QDropEvent *event)
{
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const int from = currentRow();
    int to = rowAt(event->position().toPoint().y());
    if (to < 0) {
        to = rowCount() - 1;
    } else {
        // Land where the indicator line was drawn: between two rows.
        const DropIndicatorPosition at = dropIndicatorPosition();
        if (from < to && at == AboveItem) --to;
        if (from > to && at == BelowItem) ++to;
    }
    moveRow(from, to);
    // Not a move action: the view would otherwise remove the dragged row itself.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

TfrmRowArrangeGl::TfrmRowArrangeGl(const QList<QPair<QString, QString>> &columns, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmRowArrangeGl"));
    setWindowTitle(QStringLiteral("排序对话框"));
    setModal(true);

    for (const auto &c : columns) m_columns.append({c.first.toLower(), c.second});

    vle1 = new RowArrangeList(int(m_columns.size()), 2, this);
    vle1->setObjectName(QStringLiteral("vle1"));
    vle1->setHorizontalHeaderLabels({QStringLiteral("字段"), QStringLiteral("排序")});
    vle1->verticalHeader()->hide();
    vle1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vle1->horizontalHeader()->setSectionsClickable(false);
    vle1->setColumnWidth(kKeyCol, 150);
    vle1->setColumnWidth(kValueCol, 159);
    vle1->setSelectionBehavior(QAbstractItemView::SelectRows);
    vle1->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double-click cycles the choice, so it must not open the editor as well.
    vle1->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    vle1->setItemDelegateForColumn(kValueCol, new SortChoiceDelegate(vle1));
    vle1->setDragEnabled(true);
    vle1->setAcceptDrops(true);
    vle1->setDragDropMode(QAbstractItemView::InternalMove);
    vle1->setDropIndicatorShown(true);
    vle1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vle1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    const QBrush fixedBrush = palette().button();
    for (int r = 0; r < m_columns.size(); ++r) {
        auto *key = new QTableWidgetItem(m_columns.at(r).second);
        key->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        key->setBackground(fixedBrush);
        vle1->setItem(r, kKeyCol, key);
        auto *value = new QTableWidgetItem(QString());
        value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
        vle1->setItem(r, kValueCol, value);
    }
    if (!m_columns.isEmpty()) vle1->setCurrentCell(0, kKeyCol);
    vle1->setFixedSize(150 + 159 + 2 * vle1->frameWidth() + vle1->verticalScrollBar()->sizeHint().width(), 320);

    lblHint = new QLabel(QStringLiteral("提示：双击空白处切换排序方式（升降无），单击上下移动键调整优先顺序"), this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setWordWrap(true);
    lblHint->setFixedWidth(vle1->width());

    btnUp = new QPushButton(QStringLiteral("上移"), this);
    btnUp->setObjectName(QStringLiteral("btnUp"));
    btnDown = new QPushButton(QStringLiteral("下移"), this);
    btnDown->setObjectName(QStringLiteral("btnDown"));
    btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setAutoDefault(false);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    btnUp->setAutoDefault(false);
    btnDown->setAutoDefault(false);

    connect(vle1, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { vle1DblClick(row); });
    connect(btnUp, &QPushButton::clicked, this, &TfrmRowArrangeGl::btnUpClick);
    connect(btnDown, &QPushButton::clicked, this, &TfrmRowArrangeGl::btnDownClick);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *side = new QVBoxLayout;
    side->addWidget(btnUp);
    side->addWidget(btnDown);
    side->addStretch();
    side->addWidget(btnOK);
    side->addWidget(btnCancel);
    auto *left = new QVBoxLayout;
    left->addWidget(vle1);
    left->addWidget(lblHint);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TfrmRowArrangeGl::caption(int row) const
{
    const QTableWidgetItem *it = vle1->item(row, kKeyCol);
    return it ? it->text() : QString();
}

QString TfrmRowArrangeGl::value(int row) const
{
    const QTableWidgetItem *it = vle1->item(row, kValueCol);
    return it ? it->text() : QString();
}

void TfrmRowArrangeGl::setValue(int row, const QString &value)
{
    if (QTableWidgetItem *it = vle1->item(row, kValueCol)) it->setText(value);
}

void TfrmRowArrangeGl::vle1DblClick(int row)
{
    if (row < 0 || row >= vle1->rowCount()) return;
    const QString v = value(row);
    if (v.isEmpty())
        setValue(row, kAscending);
    else if (v == kAscending)
        setValue(row, kDescending);
    else
        setValue(row, QString());
}

void TfrmRowArrangeGl::btnUpClick()
{
    vle1->setFocus();
    const int row = vle1->currentRow();
    if (row <= 0) return;
    vle1->moveRow(row, row - 1);
}

void TfrmRowArrangeGl::btnDownClick()
{
    vle1->setFocus();
    const int row = vle1->currentRow();
    if (row < 0 || row >= vle1->rowCount() - 1) return;
    vle1->moveRow(row, row + 1);
}

QString TfrmRowArrangeGl::sortText() const
{
    QString text;
    for (int r = 0; r < vle1->rowCount(); ++r) {
        const QString v = value(r);
        QString direction;
        if (v == kAscending)
            direction = QStringLiteral(" ASC");
        else if (v == kDescending)
            direction = QStringLiteral(" DESC");
        else
            continue;
        // The field of the first column with this caption: two columns titled
        // alike both sort by the first one's field.
        QString field;
        for (const auto &column : m_columns)
            if (column.second == caption(r)) {
                field = column.first;
                break;
            }
        if (field.isEmpty()) continue;
        text += field + direction + u',';
    }
    return text;
}
