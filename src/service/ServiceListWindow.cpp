#include "ServiceListWindow.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/PubUnit.h"
#include "components/CategoryPanel.h"
#include "components/FormFields.h"
#include "components/CheckedDateEdit.h"
#include "components/CustomerListHost.h"
#include "components/DataGrid.h"
#include "components/GridLayout.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "reportengine/ReportPrint.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

ServiceListWindow::ServiceListWindow(ServiceKind kind, QWidget *parent) : QDialog(parent), m_kind(kind)
{
    const ServiceListFamily &fam = family();
    setObjectName(fam.formName);
    setWindowTitle(fam.caption);
    resize(900, 560);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto button = [this](QToolButton *&b, const char *name, const QString &text, QStyle::StandardPixmap icon) {
        b = FormFields::toolBarButton(ToolBar1, name, text, icon);
    };
    button(tbNew, "tbNew", QStringLiteral("新增"), QStyle::SP_FileIcon);
    button(tbEdit, "tbEdit", QStringLiteral("修改"), QStyle::SP_FileDialogContentsView);
    button(tbDel, "tbDel", QStringLiteral("删除"), QStyle::SP_TrashIcon);
    ToolBar1->addSeparator();
    button(tbFirst, "tbFirst", QStringLiteral("首项"), QStyle::SP_MediaSkipBackward);
    button(tbPrior, "tbPrior", QStringLiteral("前项"), QStyle::SP_MediaSeekBackward);
    button(tbNext, "tbNext", QStringLiteral("后项"), QStyle::SP_MediaSeekForward);
    button(tbLast, "tbLast", QStringLiteral("末项"), QStyle::SP_MediaSkipForward);
    ToolBar1->addSeparator();
    button(tbPrint, "tbPrint", QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    button(tbset, "tbset", QStringLiteral("设置"), QStyle::SP_FileDialogInfoView);
    button(ToolButton1, "ToolButton1", QStringLiteral("导出"), QStyle::SP_DialogSaveButton);
    ToolBar1->addSeparator();
    button(tbExit, "tbExit", QStringLiteral("退出"), QStyle::SP_DialogCloseButton);

    // The filter bar.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *bar = new QHBoxLayout(Panel1);
    bar->setContentsMargins(4, 2, 4, 2);
    if (!fam.categoryTypes.isEmpty()) {
        SpeedButton2 = new QToolButton(Panel1);
        SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
        SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
        bar->addWidget(SpeedButton2);
    }
    bar->addWidget(new QLabel(QStringLiteral("查询类型："), Panel1));
    ComboBox1 = new QComboBox(Panel1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    for (const ServiceSearchField &f : fam.searchFields) ComboBox1->addItem(f.caption);
    ComboBox1->setCurrentIndex(-1);
    bar->addWidget(ComboBox1);
    bar->addWidget(new QLabel(QStringLiteral("查询内容："), Panel1));
    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    bar->addWidget(Edit1, 1);
    if (fam.visitorField >= 0) {
        ComboBox2 = new QComboBox(Panel1);
        ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
        ComboBox2->setEditable(true);
        ComboBox2->hide();
        bar->addWidget(ComboBox2, 1);
    }
    bar->addWidget(new QLabel(fam.dateLabel, Panel1));
    dtpFromDate = new CheckedDateEdit(Panel1);
    dtpFromDate->setObjectName(QStringLiteral("dtpFromDate"));
    bar->addWidget(dtpFromDate);
    bar->addWidget(new QLabel(QStringLiteral("至"), Panel1));
    dtpToDate = new CheckedDateEdit(Panel1);
    dtpToDate->setObjectName(QStringLiteral("dtpToDate"));
    bar->addWidget(dtpToDate);
    SpeedButton1 = new QToolButton(Panel1);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("查询"));
    bar->addWidget(SpeedButton1);

    QryTable = new DataSet(dmData ? &dmData->ADOcnn : nullptr, this);
    QryTable->setObjectName(QStringLiteral("QryTable"));

    DBGridEh1 = new DataGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    QList<GridColumn> columns;
    for (const ServiceListColumn &c : fam.columns) {
        GridColumn g;
        g.field = c.field;
        g.caption = c.title;
        g.width = 80;
        g.titleAlignment = Qt::AlignCenter;
        columns << g;
    }
    DBGridEh1->setColumns(columns);
    DBGridEh1->setReadOnly(true);
    DBGridEh1->setMultiSelect(true);
    DBGridEh1->setFooterVisible(true);
    DBGridEh1->setTitleSort(DataGrid::TitleSort::SkipMemo);
    if (!fam.blankNoDateFields.isEmpty()) DBGridEh1->setDisplayHook(DataGrid::blankNoDates(fam.blankNoDateFields));
    DBGridEh1->setDataSet(QryTable);
    DBGridEh1->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("显示字段列表"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = PopupMenu1->addAction(QStringLiteral("保存当前设置"));
    N2->setObjectName(QStringLiteral("N2"));

    QWidget *body = DBGridEh1;
    if (!fam.categoryTypes.isEmpty()) {
        QStringList kinds;
        for (const ServiceCategoryType &t : fam.categoryTypes) kinds << t.caption;
        Panel3 = new CategoryPanel(kinds, false, this);
        Panel3->setObjectName(QStringLiteral("Panel3"));
        vleList = Panel3->vleList;
        vleList->setColumnWidth(0, 29);
        vleList->setColumnWidth(1, 100);
        cbbListType = Panel3->cbbListType;
        Button1 = Panel3->Button1;
        auto *splitter = new QSplitter(Qt::Horizontal, this);
        splitter->addWidget(Panel3);
        splitter->addWidget(DBGridEh1);
        splitter->setStretchFactor(1, 1);
        splitter->setSizes({140, 760});
        body = splitter;
    }

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    status->setSizeGripEnabled(false);
    const int widths[4] = {150, 150, 100, 50};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(status);
        StatusPanels[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i));
        StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusPanels[i]->setMinimumWidth(widths[i]);
        if (i < 3) status->addWidget(StatusPanels[i]);
    }
    StatusPanels[3]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    status->addPermanentWidget(StatusPanels[3], 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(ToolBar1);
    layout->addWidget(Panel1);
    layout->addWidget(body, 1);
    layout->addWidget(status);

    connect(tbNew, &QToolButton::clicked, this, &ServiceListWindow::tbNewClick);
    connect(tbEdit, &QToolButton::clicked, this, &ServiceListWindow::tbEditClick);
    connect(tbDel, &QToolButton::clicked, this, &ServiceListWindow::tbDelClick);
    connect(tbFirst, &QToolButton::clicked, this, &ServiceListWindow::tbFirstClick);
    connect(tbPrior, &QToolButton::clicked, this, &ServiceListWindow::tbPriorClick);
    connect(tbNext, &QToolButton::clicked, this, &ServiceListWindow::tbNextClick);
    connect(tbLast, &QToolButton::clicked, this, &ServiceListWindow::tbLastClick);
    connect(tbPrint, &QToolButton::clicked, this, &ServiceListWindow::tbPrintClick);
    connect(tbset, &QToolButton::clicked, this, &ServiceListWindow::tbsetClick);
    connect(ToolButton1, &QToolButton::clicked, this, &ServiceListWindow::ToolButton1Click);
    connect(tbExit, &QToolButton::clicked, this, &QDialog::close);
    connect(N1, &QAction::triggered, this, &ServiceListWindow::N1Click);
    connect(N2, &QAction::triggered, this, &ServiceListWindow::N2Click);
    connect(DBGridEh1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(DBGridEh1->viewport()->mapToGlobal(at)); });
    connect(DBGridEh1, &DataGrid::rowDoubleClicked, this, [this] {
        if (tbEdit->isEnabled()) tbEditClick();
    });

    connect(Edit1, &QLineEdit::textChanged, this, &ServiceListWindow::RunQuery);
    connect(dtpFromDate, &CheckedDateEdit::changed, this, &ServiceListWindow::RunQuery);
    connect(dtpToDate, &CheckedDateEdit::changed, this, &ServiceListWindow::RunQuery);
    connect(SpeedButton1, &QToolButton::clicked, this, &ServiceListWindow::RunQuery);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &ServiceListWindow::ComboBox1Change);
    if (ComboBox2) connect(ComboBox2, &QComboBox::editTextChanged, this, &ServiceListWindow::RunQuery);
    if (vleList) {
        connect(SpeedButton2, &QToolButton::clicked, this, [this] { Panel3->setVisible(Panel3->isHidden()); });
        connect(Panel3, &CategoryPanel::kindChanged, this, &ServiceListWindow::cbbListTypeChange);
        connect(Panel3, &CategoryPanel::valueClicked, this, &ServiceListWindow::RunQuery);
    }

    // The window sees its keys before its controls.
    qApp->installEventFilter(this);
}

ServiceListWindow::~ServiceListWindow() { qApp->removeEventFilter(this); }

const ServiceListFamily &ServiceListWindow::family() const { return serviceListFamily(m_kind); }

void ServiceListWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void ServiceListWindow::FormShow()
{
    const ServiceListFamily &fam = family();
    const QDate today = QDate::currentDate();
    dtpFromDate->setDate(QDate(today.year(), today.month(), 1));
    dtpFromDate->setChecked(true);
    dtpToDate->setDate(today);
    dtpToDate->setChecked(true);
    LoadGridLayout(*DBGridEh1, fam.gridKey);
    m_queryReady = true;
    if (vleList) LoadCategoryList(serviceCategoryListSql(m_kind, cbbListType->currentIndex()));
    else RunQuery();
    if (fam.displayFormats) {
        for (int i = 0; i < DBGridEh1->columnCount(); ++i) {
            GridColumn c = DBGridEh1->column(i);
            const QString f = c.field.toLower();
            if (f == QLatin1String("f_price")) c.displayFormat = PubUnit::FmtPrice;
            else if (f == QLatin1String("f_amount")) c.displayFormat = PubUnit::FmtAmount;
            else if (f == QLatin1String("f_totalprice") || f == QLatin1String("f_shoukuan")) c.displayFormat = PubUnit::FmtTotal;
            else continue;
            DBGridEh1->setColumn(i, c);
        }
    }
    StatusPanels[3]->setText(PubUnit::PublisherText + QStringLiteral("  "));
}

std::optional<QDate> ServiceListWindow::fromDate() const
{
    return dtpFromDate->isChecked() ? std::optional(dtpFromDate->date()) : std::nullopt;
}

std::optional<QDate> ServiceListWindow::toDate() const
{
    return dtpToDate->isChecked() ? std::optional(dtpToDate->date()) : std::nullopt;
}

ServiceListFilter ServiceListWindow::filter() const
{
    ServiceListFilter f;
    f.from = fromDate();
    f.to = toDate();
    f.field = ComboBox1->currentIndex();
    f.text = ComboBox2 && f.field == family().visitorField ? ComboBox2->currentText() : Edit1->text();
    if (vleList) {
        f.categoryType = Panel3->kind();
        f.categoryChosen = Panel3->valueChosen();
        f.category = Panel3->chosenValue();
    }
    return f;
}

void ServiceListWindow::RunQuery()
{
    if (!m_queryReady || !dmData) return;
    if (dmData->OpenSQL(serviceListSql(m_kind, filter()), QryTable))
        StatusPanels[2]->setText(QStringLiteral("记录数：") + QString::number(QryTable->recordCount()));
}

void ServiceListWindow::LoadCategoryList(const QString &statement)
{
    Panel3->clear(cbbListType->currentText());
    if (!dmData) return;
    DataSet *q = dmData->QryPub;
    q->close();
    q->setSql(statement);
    if (!q->open()) {
        Dialogs::current().standardMessage(q->lastError(), QStringLiteral("错误"), Dialogs::Kind::Error);
        return;
    }
    QStringList values;
    for (q->first(); !q->eof(); q->next()) values << q->fieldByName(QStringLiteral("F_name")).asString();
    q->close();
    Panel3->fill(cbbListType->currentText(), values, [this] { RunQuery(); });
}

void ServiceListWindow::cbbListTypeChange()
{
    LoadCategoryList(serviceCategoryListSql(m_kind, cbbListType->currentIndex()));
}

void ServiceListWindow::ComboBox1Change()
{
    if (!ComboBox2) {
        Edit1->clear();
        return;
    }
    if (ComboBox1->currentIndex() == family().visitorField) {
        Edit1->hide();
        Edit1->clear();
        ComboBox2->show();
        ComboBox2->setEditText(QString());
        if (dmData) {
            const QSignalBlocker block(ComboBox2);
            dmData->FillItems(visitorNamesSql(), ComboBox2);
            ComboBox2->setCurrentIndex(-1);
            ComboBox2->setEditText(QString());
        }
    } else {
        ComboBox2->hide();
        ComboBox2->setEditText(QString());
        Edit1->show();
        Edit1->clear();
    }
}

void ServiceListWindow::openEditor(int mode)
{
    EditFromList(m_kind, mode, *QryTable, this, [this](long long savedId) { reopen(savedId); });
}

void ServiceListWindow::reopen(long long savedId)
{
    if (!dmData) return;
    const int row = QryTable->recNo();
    if (!dmData->OpenSQL(QryTable->sql(), QryTable)) return;
    StatusPanels[2]->setText(QStringLiteral("记录数：") + QString::number(QryTable->recordCount()));
    // The saved record is most often where the edited row was, or last when
    // it is new: those rows are looked at before the whole list is searched.
    const QString key = QStringLiteral("F_ID");
    auto isSavedAt = [&](int at) {
        if (at <= 0 || at > QryTable->recordCount()) return false;
        QryTable->setRecNo(at);
        return QryTable->fieldByName(key).value().toLongLong() == savedId;
    };
    if (savedId > 0 && (isSavedAt(row) || isSavedAt(QryTable->recordCount()) || QryTable->locate(key, savedId))) return;
    if (row > 0) QryTable->setRecNo(row);
}

void ServiceListWindow::tbNewClick() { openEditor(0); }

void ServiceListWindow::tbEditClick()
{
    if (!QryTable->isActive() || QryTable->isEmpty()) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), 3);
        return;
    }
    openEditor(1);
}

void ServiceListWindow::tbDelClick()
{
    if (!dmData || !QryTable->isActive() || QryTable->isEmpty()) return;
    const ServiceListFamily &fam = family();
    const QString question = serviceDeleteQuestion(m_kind, QryTable->fieldByName(fam.deleteField).asString());
    if (!Dialogs::current().confirm(question, QStringLiteral("系统提示"))) return;
    const qint64 id = QryTable->fieldByName(QStringLiteral("F_ID")).asInteger();
    if (dmData->DeleteByID(fam.table, id)) reopen(0);
}

void ServiceListWindow::tbFirstClick()
{
    QryTable->first();
    tbFirst->setEnabled(false);
    tbPrior->setEnabled(false);
    tbNext->setEnabled(true);
    tbLast->setEnabled(true);
}

void ServiceListWindow::tbPriorClick()
{
    if (QryTable->bof()) {
        tbFirst->setEnabled(false);
        tbPrior->setEnabled(false);
    } else {
        QryTable->prior();
    }
    tbNext->setEnabled(true);
    tbLast->setEnabled(true);
}

void ServiceListWindow::tbNextClick()
{
    if (QryTable->eof()) {
        tbLast->setEnabled(false);
        tbNext->setEnabled(false);
    } else {
        QryTable->next();
    }
    tbFirst->setEnabled(true);
    tbPrior->setEnabled(true);
}

void ServiceListWindow::tbLastClick()
{
    QryTable->last();
    tbFirst->setEnabled(true);
    tbPrior->setEnabled(true);
    tbLast->setEnabled(false);
    tbNext->setEnabled(false);
}

void ServiceListWindow::tbPrintClick()
{
    if (!QryTable->isActive() || QryTable->isEmpty()) return;
    const std::unique_ptr<DataSetSource> rows = DBGridEh1->rowSource(DataGrid::Columns::AllFields);
    Report::PrintJob job;
    job.fileName = family().templateFile;
    job.texts.insert(QStringLiteral("MemoDate"), serviceMemoDateText(m_kind, fromDate(), toDate()));
    job.sources.bind(QStringLiteral("frDBDataSet1"), rows.get(), QryTable->recNo());
    Report::preview(job, this);
}

void ServiceListWindow::tbsetClick()
{
    const std::unique_ptr<DataSetSource> rows = DBGridEh1->rowSource(DataGrid::Columns::AllFields);
    Report::PrintJob job;
    job.fileName = family().templateFile;
    job.sources.bind(QStringLiteral("frDBDataSet1"), rows.get(), QryTable->recNo());
    Report::design(job, this);
}

void ServiceListWindow::ToolButton1Click() { ExportGridToExcel(*DBGridEh1, family().sheetTitle); }

void ServiceListWindow::N1Click() { ChooseColumns(*DBGridEh1); }

void ServiceListWindow::N2Click() { AskAndSaveGridLayout(*DBGridEh1, family().gridKey); }

bool ServiceListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return QDialog::eventFilter(watched, event);
    auto *w = static_cast<QWidget *>(watched);
    // Once per key, at the control that has the focus (the key then passes
    // up through its parents, which must not run the command again).
    if (w->window() != this || w != QApplication::focusWidget()) return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    auto press = [](QToolButton *b) {
        if (b->isEnabled()) b->click();
        return false;   // the control still gets the key
    };
    if (mods == Qt::ControlModifier) {
        if (key->key() == Qt::Key_A) return press(tbNew);
        if (key->key() == Qt::Key_E) return press(tbEdit);
        return false;
    }
    if (mods != Qt::NoModifier) return false;
    switch (key->key()) {
    case Qt::Key_Escape: close(); return true;
    case Qt::Key_PageUp: return press(tbPrior);
    case Qt::Key_PageDown: return press(tbNext);
    case Qt::Key_Home: return press(tbFirst);
    case Qt::Key_End: return press(tbLast);
    case Qt::Key_Delete: return press(tbDel);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w)) return false;
        focusNextChild();
        return true;
    default: return false;
    }
}

void OpenServiceList(ServiceKind kind, CustomerListHost &host)
{
    std::unique_ptr<ServiceListWindow> window;
    switch (kind) {
    case ServiceKind::Repair: window = std::make_unique<TfrmWXrecMan>(host.hostWindow()); break;
    case ServiceKind::ReturnVisit: window = std::make_unique<TfrmHFrecMan>(host.hostWindow()); break;
    case ServiceKind::Complaint: window = std::make_unique<TfrmTSrecMan>(host.hostWindow()); break;
    }
    DispFormPos(window.get(), 0);
    Dialogs::current().execDialog(*window);
}
