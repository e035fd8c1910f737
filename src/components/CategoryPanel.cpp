#include "CategoryPanel.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

CategoryPanel::CategoryPanel(const QStringList &kinds, bool editableValues, QWidget *parent)
    : QWidget(parent),
      vleList(new QTableWidget(0, 2, this)),
      cbbListType(new QComboBox(this)),
      Button1(new QPushButton(QStringLiteral("刷新列表"), this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    vleList->setObjectName(QStringLiteral("vleList"));
    vleList->setHorizontalHeaderLabels({QString(), QString()});
    vleList->verticalHeader()->hide();
    vleList->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    vleList->horizontalHeader()->setStretchLastSection(true);
    vleList->setColumnWidth(0, 36);
    vleList->setSelectionBehavior(QAbstractItemView::SelectRows);
    vleList->setSelectionMode(QAbstractItemView::SingleSelection);
    vleList->setEditTriggers(editableValues ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                            : QAbstractItemView::NoEditTriggers);
    // Tab passes through the list instead of moving its chosen row.
    vleList->setTabKeyNavigation(false);
    cbbListType->setObjectName(QStringLiteral("cbbListType"));
    cbbListType->addItems(kinds);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    layout->addWidget(vleList, 1);
    layout->addWidget(cbbListType);
    layout->addWidget(Button1);

    connect(vleList, &QTableWidget::currentCellChanged, this, [this](int row, int, int oldRow, int) {
        if (row != oldRow) emit valueClicked();
    });
    // A click on the row already chosen runs the list again (its value may
    // have been typed over); a press on another row has run it already.
    vleList->viewport()->installEventFilter(this);
    connect(vleList, &QTableWidget::cellClicked, this, [this](int row) {
        if (row == m_rowAtPress) emit valueClicked();
    });
    connect(cbbListType, &QComboBox::currentIndexChanged, this, &CategoryPanel::kindChanged);
    connect(Button1, &QPushButton::clicked, this, &CategoryPanel::kindChanged);
}

bool CategoryPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == vleList->viewport() && event->type() == QEvent::MouseButtonPress)
        m_rowAtPress = vleList->currentRow();
    return QWidget::eventFilter(watched, event);
}

void CategoryPanel::addRow(int ordinal, const QString &value)
{
    const int r = vleList->rowCount();
    vleList->insertRow(r);
    auto *number = new QTableWidgetItem(QString::number(ordinal));
    number->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    vleList->setItem(r, 0, number);
    vleList->setItem(r, 1, new QTableWidgetItem(value));
}

void CategoryPanel::clear(const QString &title)
{
    const QSignalBlocker block(vleList);
    vleList->setRowCount(0);
    vleList->setHorizontalHeaderLabels({QString(), title});
}

void CategoryPanel::fill(const QString &title, const QStringList &values, const std::function<void()> &runList)
{
    clear(title);
    const QSignalBlocker block(vleList);
    addRow(0, QStringLiteral("全部"));
    vleList->setCurrentCell(0, 1);
    runList();
    for (int i = 0; i < values.size(); ++i) addRow(i + 1, values.at(i));
}

int CategoryPanel::kind() const { return cbbListType->currentIndex(); }

bool CategoryPanel::valueChosen() const
{
    const int row = vleList->currentRow();
    return row > 0 && vleList->item(row, 1);
}

QString CategoryPanel::chosenValue() const
{
    return valueChosen() ? vleList->item(vleList->currentRow(), 1)->text() : QString();
}
