#include "TFrmMain.h"

#include "CustomerListSql.h"
#include "TDlgCltCx.h"

#include "app/BoolValue.h"
#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "app/PubUnit.h"
#include "app/SetIme.h"
#include "components/CategoryPanel.h"
#include "components/CommandRegistry.h"
#include "components/DataGrid.h"
#include "components/GridLayout.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "data/ListCounter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

namespace {

GridColumn column(const char *field, const char *caption, int width = 80)
{
    GridColumn c;
    c.field = QString::fromUtf8(field);
    c.caption = QString::fromUtf8(caption);
    c.titleAlignment = Qt::AlignCenter;
    c.width = width;
    return c;
}

// The customer grid as designed; a stored layout replaces it at show.
QList<GridColumn> customerColumns()
{
    return {column("F_code", "ID    码", 70), column("F_name", "用户名称", 110), column("F_area", "购买地点", 100),
            column("F_phone", "固定电话", 90), column("F_handphone", "手    机", 95), column("F_type", "类    别"),
            column("F_kdcode", "开单批号"), column("F_xinghao", "型    号", 100), column("F_amount", "台    数", 60),
            column("F_price", "单    价"), column("F_totalprice", "金    额"), column("F_AddGoodA", "赠品名称A"),
            column("F_AddamountA", "赠品数量A"), column("F_AddGoodB", "赠品名称B"), column("F_AddamountB", "赠品数量B"),
            column("F_IFshoukuan", "收款否", 55), column("F_buyAddress", "地    址", 160), column("F_buyDate", "购买日期"),
            column("F_setupDate", "预约安装日期", 95), column("F_kpcode", "票据号码"), column("F_setupDept", "安 装 部"),
            column("F_maker", "业务员"), column("F_memo1", "备    注", 160), column("F_useflag", "使用否", 55),
            column("F_empName", "制单人"), column("F_postcode", "邮政编码"), column("F_shoukuan", "收    款"),
            column("F_setupDate1", "重约安装日期", 95), column("F_JScode", "机身编码", 100), column("F_ZF1", "F_ZF1"),
            column("F_ZF2", "F_ZF2"), column("F_ZF3", "F_ZF3"), column("F_ZF4", "F_ZF4"), column("F_ZF5", "F_ZF5"),
            column("F_SZ1", "F_SZ1"), column("F_SZ2", "F_SZ2"), column("F_SZ3", "F_SZ3"), column("F_RQ1", "F_RQ1"),
            column("F_RQ2", "F_RQ2"), column("F_RQ3", "F_RQ3")};
}

QList<GridColumn> repairColumns()
{
    return {column("F_cltName", "客户名称", 100), column("F_bxdate", "报修日期"), column("F_xfdate", "修复日期"),
            column("F_xinghao", "型号"), column("F_reason", "故障原因", 140), column("F_JScode", "机身编码"),
            column("F_amount", "故障数量"), column("F_price", "单价"), column("F_totalprice", "金额"),
            column("F_shoukuan", "收款"), column("F_setupDept", "维修部门"), column("F_billcode", "维修单号"),
            column("F_mem1", "备注", 140), column("F_fwName", "维修人员")};
}

QList<GridColumn> visitColumns()
{
    return {column("F_cltName", "客户名称", 100), column("F_date", "回访日期"), column("F_empname", "回访人员"),
            column("F_mem1", "回访内容", 200), column("f_mem2", "回访事项处理", 200), column("F_editDate", "修改日期")};
}

QList<GridColumn> complaintColumns()
{
    return {column("F_cltName", "客户名称", 100), column("F_tsdate", "投诉日期"), column("F_tstime", "投诉时间"),
            column("F_jibie", "级    别"), column("F_maker", "制单人"), column("F_reason", "投诉原因", 160),
            column("F_memo1", "投诉处理结果", 160), column("F_memo2", "备注", 140)};
}

DataGrid *detailGridFor(QWidget *parent, const char *name, const QList<GridColumn> &columns)
{
    auto *grid = new DataGrid(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setColumns(columns);
    grid->setFooterVisible(true);
    grid->setTitleSort(DataGrid::TitleSort::SkipMemo);
    return grid;
}

const QString kCountPrefix = QStringLiteral("记录总数： ");

// Hands the events of one object to a function; true from it eats the event.
class EventHook : public QObject {
public:
    EventHook(QObject *target, std::function<bool(QEvent *)> handler) : QObject(target), m_handler(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override { return m_handler(event); }

private:
    std::function<bool(QEvent *)> m_handler;
};

} // namespace

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(PubUnit::ProductName + PubUnit::VersionText);

    Connection *cnn = dmData ? &dmData->ADOcnn : nullptr;
    QryMain = new DataSet(cnn, this);
    QryMain->setObjectName(QStringLiteral("QryMain"));
    QryDetail1 = new DataSet(cnn, this);
    QryDetail1->setObjectName(QStringLiteral("QryDetail1"));
    QryDetail2 = new DataSet(cnn, this);
    QryDetail2->setObjectName(QStringLiteral("QryDetail2"));
    QryDetail3 = new DataSet(cnn, this);
    QryDetail3->setObjectName(QStringLiteral("QryDetail3"));

    m_counter = std::make_unique<ListCounter>(
        this, [this](int generation, int count) { recordCounted(generation, count); },
        [this](int generation, const QVector<int> &fields, const QVector<double> &totals) {
            recordSummed(generation, fields, totals);
        });
    buildLayout();
    createCommands();

    // Placed while it is created; it is shown only after the login.
    DispFormPos(this, 2);
}

TFrmMain::~TFrmMain() = default;

DataSet *TFrmMain::detailQuery(int tab) const
{
    switch (tab) {
    case 0: return QryDetail1;
    case 1: return QryDetail2;
    case 2: return QryDetail3;
    default: return nullptr;
    }
}

DataGrid *TFrmMain::detailGrid(int tab) const
{
    switch (tab) {
    case 0: return DBGridEh2;
    case 1: return DBGridEh3;
    case 2: return DBGridEh4;
    default: return nullptr;
    }
}

void TFrmMain::buildLayout()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("pBody"));
    setCentralWidget(central);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    // Search bar.
    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(2, 2, 2, 2);
    SpeedButton1 = new QToolButton(Panel1);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setText(QStringLiteral("◧"));
    SpeedButton1->setToolTip(QStringLiteral("显示/隐藏分类列表"));
    CheckBox1 = new QCheckBox(QStringLiteral("包含已停用"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox2 = new QCheckBox(QStringLiteral("包含已收款"), Panel1);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    auto *searchLabel = new QLabel(QStringLiteral("搜索(&V)"), Panel1);
    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMinimumWidth(110);
    searchLabel->setBuddy(ComboBox1);
    auto *valueLabel = new QLabel(QStringLiteral("值(&V)"), Panel1);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(180);
    markChineseInput(Edit1);
    cbbValue = new QComboBox(Panel1);
    cbbValue->setObjectName(QStringLiteral("cbbValue"));
    cbbValue->setEditable(true);
    cbbValue->setMinimumWidth(180);
    cbbValue->setInsertPolicy(QComboBox::NoInsert);
    cbbValue->hide();
    markChineseInput(cbbValue);
    valueLabel->setBuddy(Edit1);
    BitBtn1 = new QPushButton(QStringLiteral("查找(F3)"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(false);
    SpeedButton2 = new QToolButton(Panel1);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setText(QStringLiteral("高级查找..."));
    SpeedButton2->setCheckable(true);
    for (QWidget *w : std::initializer_list<QWidget *> {SpeedButton1, CheckBox1, CheckBox2, searchLabel, ComboBox1,
                                                        valueLabel, Edit1, cbbValue, BitBtn1, SpeedButton2})
        bar->addWidget(w);
    bar->addStretch();
    layout->addWidget(Panel1);

    // Category panel.
    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    pList = new CategoryPanel(categoryTypeItems(), true, Splitter1);
    pList->setObjectName(QStringLiteral("pList"));
    vleList = pList->vleList;
    cbbListType = pList->cbbListType;
    Button1 = pList->Button1;

    // List area: customers over the detail area, and the record count.
    auto *listArea = new QWidget(Splitter1);
    auto *areaLayout = new QVBoxLayout(listArea);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->setSpacing(2);
    Splitter2 = new QSplitter(Qt::Vertical, listArea);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    DBGridEh1 = new DataGrid(Splitter2);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setColumns(customerColumns());
    DBGridEh1->setMultiSelect(true);
    DBGridEh1->setFooterVisible(true);
    DBGridEh1->setRowIndicator(true);
    DBGridEh1->setIncrementalSearch(true);
    DBGridEh1->setTitleSort(DataGrid::TitleSort::SkipMemo);
    DBGridEh1->setDataSet(QryMain);
    DBGridEh1->setDisplayHook(DataGrid::blankNoDates(
        {QStringLiteral("F_setupDate"), QStringLiteral("F_setupDate1"), QStringLiteral("F_RQ1"), QStringLiteral("F_RQ2"),
         QStringLiteral("F_RQ3")}));
    DBGridEh1->setRowColours([](const DataSet &ds, int row, QColor *text, QColor *background) {
        const bool disabled = boolValue(ds.value(row, ds.fieldIndex(QStringLiteral("F_useFlag"))));
        const bool paid = boolValue(ds.value(row, ds.fieldIndex(QStringLiteral("F_IFshoukuan"))));
        if (disabled) {
            *text = QColor(0, 0, 255);
            *background = QColor(0, 255, 255);
        } else if (paid) {
            *text = QColor(255, 0, 0);
            *background = QPalette().color(QPalette::Button);
        } else {
            return false;
        }
        return true;
    });

    auto *detailArea = new QWidget(Splitter2);
    auto *detailLayout = new QHBoxLayout(detailArea);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    ListView1 = new QListWidget(detailArea);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->addItems({QStringLiteral("维护记录"), QStringLiteral("回访记录"), QStringLiteral("投诉记录")});
    ListView1->setMaximumWidth(90);
    auto *tabSide = new QWidget(detailArea);
    auto *tabLayout = new QVBoxLayout(tabSide);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    tabLayout->setSpacing(0);
    tbDetail = new QToolBar(tabSide);
    tbDetail->setObjectName(QStringLiteral("tbDetail"));
    tbDetail->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tbDetail->setIconSize(QSize(16, 16));
    rpcList = new QTabWidget(tabSide);
    rpcList->setObjectName(QStringLiteral("rpcList"));
    rpcList->setTabPosition(QTabWidget::South);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    DBGridEh2 = detailGridFor(TabSheet1, "DBGridEh2", repairColumns());
    DBGridEh3 = detailGridFor(TabSheet2, "DBGridEh3", visitColumns());
    DBGridEh4 = detailGridFor(TabSheet3, "DBGridEh4", complaintColumns());
    DBGridEh2->setDataSet(QryDetail1);
    DBGridEh2->setDisplayHook(DataGrid::blankNoDates({QStringLiteral("F_xfdate")}));
    DBGridEh3->setDataSet(QryDetail2);
    DBGridEh4->setDataSet(QryDetail3);
    const struct { QWidget *page; DataGrid *grid; const char *caption; } tabs[] = {
        {TabSheet1, DBGridEh2, "维护记录"}, {TabSheet2, DBGridEh3, "回访记录"}, {TabSheet3, DBGridEh4, "投诉记录"}};
    for (const auto &t : tabs) {
        auto *l = new QVBoxLayout(t.page);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(t.grid);
        rpcList->addTab(t.page, QString::fromUtf8(t.caption));
    }
    tabLayout->addWidget(tbDetail);
    tabLayout->addWidget(rpcList);
    detailLayout->addWidget(ListView1);
    detailLayout->addWidget(tabSide, 1);
    Splitter2->setStretchFactor(0, 3);
    Splitter2->setStretchFactor(1, 1);

    auto *strip = new QHBoxLayout;
    strip->addStretch();
    lblCLTnum = new QLabel(QStringLiteral("记录条数： 0 条"), listArea);
    lblCLTnum->setObjectName(QStringLiteral("lblCLTnum"));
    lblCLTnum->setStyleSheet(QStringLiteral("color: blue;"));
    strip->addWidget(lblCLTnum);
    areaLayout->addWidget(Splitter2, 1);
    areaLayout->addLayout(strip);

    Splitter1->addWidget(pList);
    Splitter1->addWidget(listArea);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({170, 900});
    layout->addWidget(Splitter1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);

    // The search bar re-runs the list on every change.
    connect(Edit1, &QLineEdit::textChanged, this, &TFrmMain::RunQuery);
    connect(cbbValue, &QComboBox::currentTextChanged, this, &TFrmMain::RunQuery);
    connect(BitBtn1, &QPushButton::clicked, this, &TFrmMain::RunQuery);
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, BitBtn1, &QPushButton::click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TFrmMain::RunQuery);
    connect(CheckBox2, &QCheckBox::clicked, this, &TFrmMain::RunQuery);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TFrmMain::ComboBox1Change);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { pList->setVisible(!pList->isVisible()); });
    connect(SpeedButton2, &QToolButton::clicked, this, &TFrmMain::SpeedButton2Click);
    connect(pList, &CategoryPanel::valueClicked, this, &TFrmMain::vleListClick);
    // Down or Enter in the search text goes on to the hits.
    new EventHook(Edit1, [this](QEvent *e) {
        if (e->type() != QEvent::KeyPress) return false;
        const auto *ke = static_cast<QKeyEvent *>(e);
        if ((ke->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        if (ke->key() != Qt::Key_Down && ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter) return false;
        DBGridEh1->setFocus(Qt::TabFocusReason);
        return true;
    });
    connect(pList, &CategoryPanel::kindChanged, this, &TFrmMain::cbbListTypeChange);
    connect(ListView1, &QListWidget::currentRowChanged, this, [this](int row) { rpcList->setCurrentIndex(qMax(0, row)); });
    connect(QryMain, &DataSet::currentRowChanged, this, &TFrmMain::followCurrentCustomer);
    // Any reopening makes a count still under way for the list before it stale.
    // Footer totals of a long list are made on the counting reader when typing
    // pauses after its count: they read the whole list, so they must not hold
    // up the count of the next key.
    DBGridEh1->setFooterSumsSupplied(true);
    m_sumsDelay = new QTimer(this);
    m_sumsDelay->setSingleShot(true);
    m_sumsDelay->setInterval(300);
    connect(m_sumsDelay, &QTimer::timeout, this, &TFrmMain::sumFooters);
    connect(QryMain, &DataSet::opened, this, [this] {
        ++m_listGeneration;
        m_sumsDelay->stop();
    });
    connect(QryMain, &DataSet::recordCountKnown, this, [this] {
        setRecordCount();
        m_sumsDelay->start();
    });
}

// --- showing ------------------------------------------------------------------

void TFrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
    showClock();
}

void TFrmMain::FormShow()
{
    setWindowTitle(PubUnit::ProductName + PubUnit::VersionText);
    if (PubUnit::IniFile) {
        PubUnit::BakMode = PubUnit::IniFile->readInteger(QStringLiteral("config"), QStringLiteral("ibak"), 0);
        const QDate today = QDate::currentDate();
        if (PubUnit::BakMode == 1 || (PubUnit::BakMode == 2 && today.dayOfWeek() == Qt::Monday)
            || (PubUnit::BakMode == 3 && today.day() == 1))
            dmData->AutoBackup();
    }
    LoadGridLayout(*DBGridEh1, QStringLiteral("clientmain"));
    LoadGridLayout(*DBGridEh2, QStringLiteral("wxrecman"));
    LoadGridLayout(*DBGridEh3, QStringLiteral("hfrecman"));
    LoadGridLayout(*DBGridEh4, QStringLiteral("tsrecman"));
    ApplyGridCaptions();
    rpcList->setCurrentIndex(0);
    {
        const QSignalBlocker block(cbbListType);
        cbbListType->setCurrentIndex(0);
    }
    LoadCategoryList(categoryListSql(0), 1);
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->clear();
        ComboBox1->addItems(searchFieldItems(PubUnit::SeeAllClients));
        ComboBox1->setCurrentIndex(-1);
    }
    if (PubUnit::IniFile)
        PubUnit::AwokeFlag = PubUnit::IniFile->readBool(QStringLiteral("set"), QStringLiteral("awokeflag"), false);
    Edit1->setFocus();
    CommandRegistry::instance().mainShown(*this);
}

void TFrmMain::ApplyGridCaptions()
{
    // Free fields take their captions from the settings rows 1-11.
    static const char *const freeFields[] = {"zf1", "zf2", "zf3", "zf4", "zf5", "sz1",
                                             "sz2", "sz3", "rq1", "rq2", "rq3"};
    auto formats = [](GridColumn &c) {
        const QString f = c.field.toLower();
        if (f == QLatin1String("f_price")) c.displayFormat = PubUnit::FmtPrice;
        if (f.contains(QLatin1String("amount"))) c.displayFormat = PubUnit::FmtAmount;
        if (f.contains(QLatin1String("shoukuan")) || f.contains(QLatin1String("totalprice"))) c.displayFormat = PubUnit::FmtTotal;
    };
    QList<GridColumn> customers = DBGridEh1->columns();
    for (GridColumn &c : customers) {
        const QString f = c.field.toLower();
        if (f == QLatin1String("f_maker")) c.caption = QStringLiteral("业务员");
        if (f == QLatin1String("f_empname")) c.caption = QStringLiteral("制单人");
        formats(c);
        for (int i = 0; i < 11; ++i)
            if (f.contains(QLatin1String(freeFields[i]))) c.caption = PubUnit::KeyValues[i + 1];
    }
    DBGridEh1->setColumns(customers);
    QList<GridColumn> repairs = DBGridEh2->columns();
    for (GridColumn &c : repairs) formats(c);
    DBGridEh2->setColumns(repairs);
}

// --- the customer list ------------------------------------------------------------

void TFrmMain::RunQuery()
{
    if (SpeedButton2->isChecked()) {
        // An ordinary search ends an advanced query.
        SpeedButton2->setChecked(false);
        SpeedButton2->setStyleSheet(QString());
    }
    for (int tab = 0; tab < 3; ++tab) detailQuery(tab)->close();

    CustomerSearch s;
    s.seeAllClients = PubUnit::SeeAllClients;
    s.curOper = PubUnit::CurOper;
    s.field = ComboBox1->currentIndex();
    s.text = Edit1->text().trimmed();
    s.value = cbbValue->currentText().trimmed();
    s.includeDisabled = CheckBox1->isChecked();
    s.includePaid = CheckBox2->isChecked();
    s.categoryType = pList->kind();
    s.categoryChosen = pList->valueChosen();
    s.category = pList->chosenValue();
    openList(customerListSql(s));
}

void TFrmMain::openList(const QString &statement)
{
    m_statement = statement;
    m_followedCode.clear();
    if (!dmData || !dmData->OpenSQL(statement, QryMain)) return;
    followCurrentCustomer();
    setRecordCount();
    // A long list shows its first screen now; its count follows from a reader
    // of its own, started once the screen is painted so the two do not compete.
    if (QryMain->isRecordCountKnown()) return;
    QTimer::singleShot(0, this, [this, generation = m_listGeneration] {
        if (generation == m_listGeneration && !QryMain->isRecordCountKnown())
            m_counter->requestCount(dmData->ADOcnn.settings(), QryMain->sql(), generation);
    });
}

void TFrmMain::recordCounted(int generation, int count)
{
    if (generation != m_listGeneration || !QryMain->isActive()) return;   // the count of an older list
    if (count >= 0)
        QryMain->setRecordCount(count);
    else
        QryMain->recordCount();   // the reader could not count: the list counts itself
}

void TFrmMain::sumFooters()
{
    const QVector<int> fields = DBGridEh1->footerSumFields();
    if (!dmData || !QryMain->isActive() || fields.isEmpty() || QryMain->hasSums(fields)) return;
    QStringList names;
    for (int f : fields) names << QryMain->fieldName(f);
    if (names.contains(QString())) return;   // a summed column the list does not have
    m_counter->requestSums(dmData->ADOcnn.settings(), QryMain->sql(), m_listGeneration, fields, names);
}

void TFrmMain::recordSummed(int generation, const QVector<int> &fields, const QVector<double> &totals)
{
    if (generation == m_listGeneration) QryMain->setSums(fields, totals);
}

void TFrmMain::RefreshList()
{
    if (m_statement.isEmpty()) return;
    QryMain->close();
    openList(m_statement);
}

void TFrmMain::setRecordCount()
{
    const QString count = QryMain->isRecordCountKnown() ? QString::number(QryMain->recordCount()) : QStringLiteral("…");
    lblCLTnum->setText(kCountPrefix + count + QStringLiteral(" 条"));
}

void TFrmMain::followCurrentCustomer()
{
    // The detail lists follow the current customer's code; rows of one code share them.
    const QString code = QryMain->isActive() && !QryMain->isEmpty()
                             ? QryMain->fieldByName(QStringLiteral("F_code")).asString() : QString();
    if (code == m_followedCode && QryDetail1->isActive()) return;
    m_followedCode = code;
    for (int tab = 0; tab < 3; ++tab) ReopenDetail(tab);
}

void TFrmMain::ReopenDetail(int tab)
{
    DataSet *q = detailQuery(tab);
    if (!q || !dmData) return;
    // No current customer: a null code, so the list is empty.
    q->setParam(QStringLiteral("F_code"), QryMain->isActive() && !QryMain->isEmpty() ? QVariant(m_followedCode) : QVariant());
    dmData->OpenSQL(detailListSql(tab), q);
}

void TFrmMain::ComboBox1Change()
{
    // Emptying the text re-runs the list once when there was text.
    Edit1->clear();
    const QString type = searchValueCodeType(ComboBox1->currentIndex());
    cbbValue->setVisible(!type.isEmpty());
    Edit1->setVisible(type.isEmpty());
    const QSignalBlocker block(cbbValue);
    const QString keep = cbbValue->currentText();
    if (dmData) dmData->FillItems(codeValuesSql(type), cbbValue);
    cbbValue->setEditText(keep);
}

void TFrmMain::SpeedButton2Click()
{
    if (!SpeedButton2->isChecked()) {
        SpeedButton2->setStyleSheet(QString());
        RunQuery();
        return;
    }
    QString statement;
    {
        TDlgCltCx dialog(this);
        statement = dialog.AskQuery();
    }
    if (statement.isEmpty()) {
        // Closed without a query: the list stays as it was.
        SpeedButton2->setChecked(false);
        SpeedButton2->setStyleSheet(QString());
        return;
    }
    // Down and red while the advanced result is shown.
    SpeedButton2->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    for (int tab = 0; tab < 3; ++tab) detailQuery(tab)->close();
    openList(statement + QStringLiteral("order by F_code"));
}

// --- the category panel ------------------------------------------------------------

void TFrmMain::LoadCategoryList(const QString &statement, int kind)
{
    if (!dmData || !dmData->OpenSQL(statement, dmData->QryPub)) {
        pList->clear(categoryTitle(kind));
        return;
    }
    QStringList values;
    DataSet *q = dmData->QryPub;
    for (q->first(); !q->eof(); q->next()) values << q->fieldByName(QStringLiteral("F_name")).asString();
    pList->fill(categoryTitle(kind), values, [this] { RunQuery(); });
}

void TFrmMain::vleListClick()
{
    RunQuery();
}

void TFrmMain::cbbListTypeChange()
{
    const int index = cbbListType->currentIndex();
    LoadCategoryList(categoryListSql(index), index + 1);
}
