#include "TDLGcltrecXZ.h"

#include "app/Dialogs.h"
#include "app/PubUnit.h"
#include "app/SetIme.h"
#include "components/CategoryPanel.h"
#include "components/DataGrid.h"
#include "components/DialogKeys.h"
#include "components/GridLayout.h"
#include "customers/CustomerListSql.h"
#include "data/DataSet.h"
#include "data/ListCounter.h"
#include "data/TdmData.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kLayoutKey = QStringLiteral("dlgcltrecxz");

GridColumn column(const char *field, const char *caption, int width = 64)
{
    GridColumn c;
    c.field = QString::fromUtf8(field);
    c.caption = QString::fromUtf8(caption);
    c.titleAlignment = Qt::AlignCenter;
    c.width = width;
    return c;
}

// The grid as designed; a stored layout replaces it.
QList<GridColumn> pickerColumns()
{
    return {column("F_code", "ID 号", 71), column("F_name", "用户名称", 119), column("F_area", "购买地点", 121),
            column("F_phone", "固定电话", 84), column("F_handphone", "手    机", 80), column("F_type", "类    别", 74),
            column("F_kdcode", "开单批号", 80), column("F_xinghao", "型    号", 80), column("F_amount", "台  数"),
            column("F_price", "单  价"), column("F_totalprice", "金  额"), column("F_AddGoodA", "赠品名称A", 84),
            column("F_AddamountA", "赠品数量A", 73), column("F_AddGoodB", "赠品名称B", 90),
            column("F_AddamountB", "赠品数量B"), column("F_IFshoukuan", "是否收款", 55),
            column("F_buyAddress", "地  址", 135), column("F_buyDate", "购买日期"), column("F_setupDate", "安装日期"),
            column("F_kpcode", "票据号"), column("F_setupDept", "安装部"), column("F_maker", "制单人"),
            column("F_reason", "故障原因"), column("F_reasonAmount", "故障数量"), column("F_memo1", "备  注")};
}

QLineEdit *searchBox(QWidget *parent, const char *name, QHBoxLayout *bar, const char *label)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    auto *l = new QLabel(QString::fromUtf8(label), parent);
    l->setBuddy(edit);
    bar->addWidget(l);
    bar->addWidget(edit);
    return edit;
}

} // namespace

std::optional<PickedCustomer> PickCustomer(QWidget *parent)
{
    TDLGcltrecXZ dialog(parent);
    return dialog.Pick();
}

TDLGcltrecXZ::TDLGcltrecXZ(QWidget *parent)
    : QDialog(parent), QryTable(new DataSet(dmData ? &dmData->ADOcnn : nullptr, this))
{
    setObjectName(QStringLiteral("DLGcltrecXZ"));
    setWindowTitle(QStringLiteral("客户服务记录选择"));
    resize(780, 500);
    QryTable->setObjectName(QStringLiteral("QryTable"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    Panel41 = new QWidget(this);
    Panel41->setObjectName(QStringLiteral("Panel41"));
    auto *bar = new QHBoxLayout(Panel41);
    bar->setContentsMargins(0, 0, 0, 0);
    SpeedButton4 = new QToolButton(Panel41);
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));
    SpeedButton4->setAutoRaise(true);
    SpeedButton4->setText(QStringLiteral("◧"));
    SpeedButton4->setToolTip(QStringLiteral("显示/隐藏分类列表"));
    bar->addWidget(SpeedButton4);
    edtName = searchBox(Panel41, "edtName", bar, "用户名称：");
    markChineseInput(edtName);
    edtJScode = searchBox(Panel41, "edtJScode", bar, "机身编码：");
    edtKPcode = searchBox(Panel41, "edtKPcode", bar, "票 据 号：");
    sbFind = new QPushButton(QStringLiteral("查询(F8)"), Panel41);
    sbFind->setObjectName(QStringLiteral("sbFind"));
    sbFind->setAutoDefault(false);
    bar->addWidget(sbFind);
    bar->addStretch();
    layout->addWidget(Panel41);

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    QStringList kinds;
    for (int kind = 1; kind <= 5; ++kind) kinds << categoryTitle(kind);
    Panel3 = new CategoryPanel(kinds, false, Splitter1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    vleList = Panel3->vleList;
    cbbListType = Panel3->cbbListType;
    Button1 = Panel3->Button1;

    DBGridEh1 = new DataGrid(Splitter1);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumns(pickerColumns());
    DBGridEh1->setFooterVisible(true);
    DBGridEh1->setIncrementalSearch(true);
    DBGridEh1->setDisplayHook(DataGrid::blankNoDates({QStringLiteral("F_buyDate"), QStringLiteral("F_setupDate")}));
    DBGridEh1->setDataSet(QryTable);
    DBGridEh1->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *N1 = PopupMenu1->addAction(QStringLiteral("显示字段列表"));
    N1->setObjectName(QStringLiteral("N1"));
    QAction *N2 = PopupMenu1->addAction(QStringLiteral("保存当前设置"));
    N2->setObjectName(QStringLiteral("N2"));

    Splitter1->addWidget(Panel3);
    Splitter1->addWidget(DBGridEh1);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({150, 630});
    layout->addWidget(Splitter1, 1);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *bottom = new QHBoxLayout(Panel1);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addStretch();
    BitBtn1 = new QPushButton(QStringLiteral("确定"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("关闭"), Panel1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    bottom->addWidget(BitBtn1);
    bottom->addWidget(BitBtn2);
    layout->addWidget(Panel1);

    // The list follows every keystroke; F8 has no key of its own.
    for (QLineEdit *box : {edtName, edtJScode, edtKPcode})
        connect(box, &QLineEdit::textChanged, this, &TDLGcltrecXZ::RunQuery);
    connect(sbFind, &QPushButton::clicked, this, &TDLGcltrecXZ::RunQuery);
    connect(Panel3, &CategoryPanel::valueClicked, this, &TDLGcltrecXZ::RunQuery);
    connect(Panel3, &CategoryPanel::kindChanged, this, &TDLGcltrecXZ::cbbListTypeChange);
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { Panel3->setVisible(!Panel3->isVisible()); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGridEh1, &DataGrid::rowDoubleClicked, this, &QDialog::accept);
    connect(DBGridEh1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(DBGridEh1->viewport()->mapToGlobal(pos)); });
    connect(N1, &QAction::triggered, this, [this] { ChooseColumns(*DBGridEh1); });
    connect(N2, &QAction::triggered, this, [this] { AskAndSaveGridLayout(*DBGridEh1, kLayoutKey); });
    DialogKeys::install(this, nullptr, BitBtn2);

    // A long list's totals read the whole table: they are made on a reader of
    // their own once typing pauses, so the next key is not held up by them.
    m_counter = std::make_unique<ListCounter>(
        this, [](int, int) {},
        [this](int generation, const QVector<int> &fields, const QVector<double> &totals) {
            if (generation == m_listGeneration) QryTable->setSums(fields, totals);
        });
    DBGridEh1->setFooterSumsSupplied(true);
    m_sumsDelay = new QTimer(this);
    m_sumsDelay->setSingleShot(true);
    m_sumsDelay->setInterval(300);
    connect(m_sumsDelay, &QTimer::timeout, this, &TDLGcltrecXZ::sumFooters);
    connect(QryTable, &DataSet::opened, this, [this] {
        ++m_listGeneration;
        m_sumsDelay->start();
    });
}

TDLGcltrecXZ::~TDLGcltrecXZ() = default;

void TDLGcltrecXZ::sumFooters()
{
    const QVector<int> fields = DBGridEh1->footerSumFields();
    if (!dmData || fields.isEmpty() || QryTable->hasSums(fields)) return;   // a short list sums its own rows
    QStringList names;
    for (int f : fields) names << QryTable->fieldName(f);
    if (names.contains(QString())) return;   // a summed column the list does not have
    m_counter->requestSums(dmData->ADOcnn.settings(), QryTable->sql(), m_listGeneration, fields, names);
}

void TDLGcltrecXZ::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_placed) return;
    m_placed = true;
    // Centred on the screen, not on the editor that opened it.
    if (QScreen *s = screen()) move(s->availableGeometry().center() - rect().center());
    SetIme(this);
    edtName->setFocus();
}

std::optional<PickedCustomer> TDLGcltrecXZ::Pick()
{
    LoadGridLayout(*DBGridEh1, kLayoutKey);
    applyNumberFormats();
    {
        const QSignalBlocker block(cbbListType);
        cbbListType->setCurrentIndex(0);
    }
    LoadCategoryList(categoryListSql(0), 1);
    if (Dialogs::current().execDialog(*this) != QDialog::Accepted) return std::nullopt;
    // A list that failed to open, or has no rows, chooses nobody.
    if (!QryTable->isActive() || QryTable->isEmpty() || QryTable->recNo() < 0) return std::nullopt;
    PickedCustomer c;
    c.id = QryTable->fieldByName(QStringLiteral("F_ID")).value().toLongLong();
    c.code = QryTable->fieldByName(QStringLiteral("F_code")).asString();
    c.name = QryTable->fieldByName(QStringLiteral("F_name")).asString();
    return c;
}

void TDLGcltrecXZ::applyNumberFormats()
{
    QList<GridColumn> columns = DBGridEh1->columns();
    for (GridColumn &c : columns) {
        const QString f = c.field.toLower();
        if (f == QLatin1String("f_price")) c.displayFormat = PubUnit::FmtPrice;
        else if (f == QLatin1String("f_totalprice")) c.displayFormat = PubUnit::FmtTotal;
        else if (f.contains(QLatin1String("amount"))) c.displayFormat = PubUnit::FmtAmount;
    }
    DBGridEh1->setColumns(columns);
}

PickerSearch TDLGcltrecXZ::search() const
{
    PickerSearch s;
    s.name = edtName->text().trimmed();
    s.bodyCode = edtJScode->text().trimmed();
    s.billCode = edtKPcode->text().trimmed();
    s.categoryType = Panel3->kind();
    s.categoryChosen = Panel3->valueChosen();
    s.category = Panel3->chosenValue();
    return s;
}

void TDLGcltrecXZ::RunQuery()
{
    if (dmData) dmData->OpenSQL(customerPickerSql(search()), QryTable);
}

void TDLGcltrecXZ::LoadCategoryList(const QString &statement, int kind)
{
    if (!dmData || !dmData->OpenSQL(statement, dmData->QryPub)) {
        Panel3->clear(categoryTitle(kind));
        return;
    }
    QStringList values;
    DataSet *q = dmData->QryPub;
    for (q->first(); !q->eof(); q->next()) values << q->fieldByName(QStringLiteral("F_name")).asString();
    Panel3->fill(categoryTitle(kind), values, [this] { RunQuery(); });
}

void TDLGcltrecXZ::cbbListTypeChange()
{
    const int index = cbbListType->currentIndex();
    LoadCategoryList(categoryListSql(index), index + 1);
}
