#include "DetailStatWindow.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "components/CustomerListHost.h"
#include "components/DataGrid.h"
#include "components/FormFields.h"
#include "components/GridLayout.h"
#include "data/DataSet.h"
#include "data/ListCounter.h"
#include "data/TdmData.h"
#include "reportengine/ReportPrint.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kCountPrefix = QStringLiteral("记录数/");
constexpr int kCellsPerRow = 4;   // a date range takes two
} // namespace

DetailStatWindow::DetailStatWindow(DetailStatKind kind, QWidget *parent) : QDialog(parent), m_kind(kind)
{
    const DetailStatFamily &fam = family();
    setObjectName(fam.formName);
    setWindowTitle(fam.caption);
    resize(1120, 620);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto button = [this](QToolButton *&b, const char *name, const QString &text, QStyle::StandardPixmap icon) {
        b = FormFields::toolBarButton(ToolBar1, name, text, icon);
    };
    button(tbQuery, "tbQuery", QStringLiteral("查询"), QStyle::SP_FileDialogContentsView);
    ToolBar1->addSeparator();
    button(tbFirst, "tbFirst", QStringLiteral("首项"), QStyle::SP_MediaSkipBackward);
    button(tbPrior, "tbPrior", QStringLiteral("前项"), QStyle::SP_MediaSeekBackward);
    button(tbNext, "tbNext", QStringLiteral("后项"), QStyle::SP_MediaSeekForward);
    button(tbLast, "tbLast", QStringLiteral("末项"), QStyle::SP_MediaSkipForward);
    ToolBar1->addSeparator();
    button(tbPrint, "tbPrint", QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    button(tbSet, "tbSet", QStringLiteral("设置"), QStyle::SP_FileDialogInfoView);
    button(tbExpert, "tbExpert", QStringLiteral("导出"), QStyle::SP_DialogSaveButton);
    ToolBar1->addSeparator();
    button(tbExit, "tbExit", QStringLiteral("退出"), QStyle::SP_DialogCloseButton);

    buildFilterGroup();

    QryTable = new DataSet(dmData ? &dmData->ADOcnn : nullptr, this);
    QryTable->setObjectName(QStringLiteral("QryTable"));

    DBGridEh1 = new DataGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    QList<GridColumn> columns;
    for (const DetailStatColumn &c : fam.columns) {
        GridColumn g;
        g.field = c.field;
        g.caption = c.title;
        g.width = 80;
        g.titleAlignment = Qt::AlignCenter;
        columns << g;
    }
    DBGridEh1->setColumns(columns);
    DBGridEh1->setReadOnly(true);
    DBGridEh1->setFooterVisible(true);
    DBGridEh1->setTitleSort(DataGrid::TitleSort::AllColumns);
    if (!fam.blankNoDateFields.isEmpty()) DBGridEh1->setDisplayHook(DataGrid::blankNoDates(fam.blankNoDateFields));
    DBGridEh1->setDataSet(QryTable);
    DBGridEh1->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("显示字段列表"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = PopupMenu1->addAction(QStringLiteral("保存当前设置"));
    N2->setObjectName(QStringLiteral("N2"));

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
    layout->addWidget(GroupBox1);
    layout->addWidget(DBGridEh1, 1);
    layout->addWidget(status);

    connect(tbQuery, &QToolButton::clicked, this, &DetailStatWindow::tbQueryClick);
    connect(tbFirst, &QToolButton::clicked, this, &DetailStatWindow::tbFirstClick);
    connect(tbPrior, &QToolButton::clicked, this, &DetailStatWindow::tbPriorClick);
    connect(tbNext, &QToolButton::clicked, this, &DetailStatWindow::tbNextClick);
    connect(tbLast, &QToolButton::clicked, this, &DetailStatWindow::tbLastClick);
    connect(tbPrint, &QToolButton::clicked, this, &DetailStatWindow::tbPrintClick);
    connect(tbSet, &QToolButton::clicked, this, &DetailStatWindow::tbSetClick);
    connect(tbExpert, &QToolButton::clicked, this, &DetailStatWindow::tbExpertClick);
    connect(tbExit, &QToolButton::clicked, this, &QDialog::close);
    connect(N1, &QAction::triggered, this, &DetailStatWindow::N1Click);
    connect(N2, &QAction::triggered, this, &DetailStatWindow::N2Click);
    connect(DBGridEh1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(DBGridEh1->viewport()->mapToGlobal(at)); });

    // A long result shows its first screen at once; its count and its footer
    // totals are made on a reader of their own, the totals once the count is
    // in, so neither holds up the window.
    m_counter = std::make_unique<ListCounter>(
        this, [this](int generation, int count) { recordCounted(generation, count); },
        [this](int generation, const QVector<int> &fields, const QVector<double> &totals) {
            if (generation == m_listGeneration) QryTable->setSums(fields, totals);
        });
    DBGridEh1->setFooterSumsSupplied(true);
    m_sumsDelay = new QTimer(this);
    m_sumsDelay->setSingleShot(true);
    m_sumsDelay->setInterval(300);
    connect(m_sumsDelay, &QTimer::timeout, this, &DetailStatWindow::sumFooters);
    connect(QryTable, &DataSet::opened, this, [this] {
        ++m_listGeneration;
        m_sumsDelay->stop();
    });
    connect(QryTable, &DataSet::recordCountKnown, this, [this] {
        setRecordCount();
        m_sumsDelay->start();
    });

    // The window sees its keys before its controls.
    qApp->installEventFilter(this);
}

DetailStatWindow::~DetailStatWindow() { qApp->removeEventFilter(this); }

const DetailStatFamily &DetailStatWindow::family() const { return detailStatFamily(m_kind); }

// The controls are made in tab order, each with its label before it; a date
// range is its label, "自", the from-date, "至" and the to-date.
void DetailStatWindow::buildFilterGroup()
{
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QGridLayout(GroupBox1);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    QList<QWidget *> tabChain;
    int cell = 0;
    for (const DetailStatControl &c : family().controls) {
        const int span = c.kind == DetailStatControl::Kind::DateRange ? 2 : 1;
        if (cell % kCellsPerRow + span > kCellsPerRow) cell += kCellsPerRow - cell % kCellsPerRow;
        const int row = cell / kCellsPerRow, column = 2 * (cell % kCellsPerRow);
        cell += span;
        auto *label = new QLabel(c.label, GroupBox1);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, column);
        const QByteArray name = c.name.toLatin1();
        if (c.kind == DetailStatControl::Kind::DateRange) {
            auto *pair = new QWidget(GroupBox1);
            auto *line = new QHBoxLayout(pair);
            line->setContentsMargins(0, 0, 0, 0);
            line->addWidget(new QLabel(QStringLiteral("自"), pair));
            CheckedDateEdit *from = FormFields::dateBox(pair, name.constData());
            line->addWidget(from, 1);
            line->addWidget(new QLabel(QStringLiteral("至"), pair));
            CheckedDateEdit *to = FormFields::dateBox(pair, c.second ? "dtptoDate1" : "dtpToDate");
            line->addWidget(to, 1);
            grid->addWidget(pair, row, column + 1, 1, 3);
            (c.second ? dtpfromDate1 : dtpFromDate) = from;
            (c.second ? dtptoDate1 : dtpToDate) = to;
            tabChain << from->tickBox() << from->dateEdit() << to->tickBox() << to->dateEdit();
            continue;
        }
        QWidget *field = nullptr;
        switch (c.kind) {
        case DetailStatControl::Kind::Text: field = FormFields::textBox(GroupBox1, name.constData()); break;
        case DetailStatControl::Kind::CodeList: field = FormFields::codeBox(GroupBox1, name.constData()); break;
        case DetailStatControl::Kind::FixedList: field = FormFields::named(new QComboBox(GroupBox1), name.constData()); break;
        case DetailStatControl::Kind::DateRange: break;
        }
        field->setMinimumWidth(110);
        label->setBuddy(field);
        grid->addWidget(field, row, column + 1);
        m_filters.insert(c.name, field);
        tabChain << field;
    }
    for (int i = 0; i < kCellsPerRow; ++i) grid->setColumnStretch(2 * i + 1, 1);
    for (int i = 1; i < tabChain.size(); ++i) QWidget::setTabOrder(tabChain.at(i - 1), tabChain.at(i));
}

QLineEdit *DetailStatWindow::textBox(const QString &name) const { return qobject_cast<QLineEdit *>(m_filters.value(name)); }

QComboBox *DetailStatWindow::listBox(const QString &name) const { return qobject_cast<QComboBox *>(m_filters.value(name)); }

void DetailStatWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void DetailStatWindow::FormShow()
{
    const DetailStatFamily &fam = family();
    const QDate today = QDate::currentDate();
    for (CheckedDateEdit *from : {dtpFromDate, dtpfromDate1})
        if (from) {
            from->setDate(QDate(today.year(), today.month(), 1));
            from->setChecked(true);
        }
    for (CheckedDateEdit *to : {dtpToDate, dtptoDate1})
        if (to) {
            to->setDate(today);
            to->setChecked(true);
        }
    StatusPanels[3]->setText(PubUnit::PublisherText + QStringLiteral("  "));
    LoadGridLayout(*DBGridEh1, fam.gridKey);
    for (QToolButton *b : {tbFirst, tbPrior, tbNext, tbLast, tbPrint, tbSet, tbExpert}) b->setEnabled(false);
    if (dmData)
        for (const auto &[control, codeType] : fam.lists)
            if (QComboBox *box = listBox(control)) dmData->FillItems(detailStatListSql(codeType), box);
}

std::optional<QDate> DetailStatWindow::bound(const CheckedDateEdit *box) const
{
    return box && box->isChecked() ? std::optional(box->date()) : std::nullopt;
}

DetailStatFilter DetailStatWindow::filter() const
{
    DetailStatFilter f;
    f.from = bound(dtpFromDate);
    f.to = bound(dtpToDate);
    f.from2 = bound(dtpfromDate1);
    f.to2 = bound(dtptoDate1);
    for (auto it = m_filters.begin(); it != m_filters.end(); ++it) {
        if (auto *edit = qobject_cast<QLineEdit *>(it.value())) f.values.insert(it.key(), edit->text());
        else if (auto *box = qobject_cast<QComboBox *>(it.value())) f.values.insert(it.key(), box->currentText());
    }
    return f;
}

void DetailStatWindow::tbQueryClick()
{
    for (QToolButton *b : {tbFirst, tbPrior, tbNext, tbLast, tbPrint, tbSet, tbExpert}) b->setEnabled(true);
    if (!dmData) return;
    if (!dmData->OpenSQL(detailStatSql(m_kind, filter()), QryTable)) {
        StatusPanels[2]->setText(kCountPrefix + QStringLiteral("0"));   // the grid is left without rows
        return;
    }
    setRecordCount();
    if (QryTable->isRecordCountKnown()) return;
    // Counted once the first screen is painted, so the two do not compete.
    QTimer::singleShot(0, this, [this, generation = m_listGeneration] {
        if (generation == m_listGeneration && QryTable->isActive() && !QryTable->isRecordCountKnown())
            m_counter->requestCount(dmData->ADOcnn.settings(), QryTable->sql(), generation);
    });
}

void DetailStatWindow::setRecordCount()
{
    const QString count = QryTable->isRecordCountKnown() ? QString::number(QryTable->recordCount()) : QStringLiteral("…");
    StatusPanels[2]->setText(kCountPrefix + count);
}

void DetailStatWindow::recordCounted(int generation, int count)
{
    if (generation != m_listGeneration || !QryTable->isActive()) return;   // the count of an older result
    if (count >= 0)
        QryTable->setRecordCount(count);
    else
        QryTable->recordCount();   // the reader could not count: the result counts itself
}

void DetailStatWindow::sumFooters()
{
    const QVector<int> fields = DBGridEh1->footerSumFields();
    if (!dmData || !QryTable->isActive() || fields.isEmpty() || QryTable->hasSums(fields)) return;
    QStringList names;
    for (int f : fields) names << QryTable->fieldName(f);
    if (names.contains(QString())) return;   // a summed column the result does not have
    m_counter->requestSums(dmData->ADOcnn.settings(), QryTable->sql(), m_listGeneration, fields, names);
}

void DetailStatWindow::tbFirstClick()
{
    QryTable->first();
    tbFirst->setEnabled(false);
    tbPrior->setEnabled(false);
    tbNext->setEnabled(true);
    tbLast->setEnabled(true);
}

void DetailStatWindow::tbPriorClick()
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

void DetailStatWindow::tbNextClick()
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

void DetailStatWindow::tbLastClick()
{
    QryTable->last();
    tbFirst->setEnabled(true);
    tbPrior->setEnabled(true);
    tbLast->setEnabled(false);
    tbNext->setEnabled(false);
}

void DetailStatWindow::tbPrintClick()
{
    if (!QryTable->isActive() || QryTable->isEmpty()) return;
    const std::unique_ptr<DataSetSource> rows = DBGridEh1->rowSource(DataGrid::Columns::AllFields);
    Report::PrintJob job;
    job.fileName = family().templateFile;
    job.texts.insert(QStringLiteral("MemoDate"), detailStatMemoDate(bound(dtpFromDate), bound(dtpToDate)));
    job.sources.bind(QStringLiteral("frDBDataSet1"), rows.get(), QryTable->recNo());
    Report::preview(job, this);
}

void DetailStatWindow::tbSetClick()
{
    const std::unique_ptr<DataSetSource> rows = DBGridEh1->rowSource(DataGrid::Columns::AllFields);
    Report::PrintJob job;
    job.fileName = family().templateFile;
    job.sources.bind(QStringLiteral("frDBDataSet1"), rows.get(), QryTable->recNo());
    Report::design(job, this);
}

void DetailStatWindow::tbExpertClick() { ExportGridToExcel(*DBGridEh1, family().caption); }

void DetailStatWindow::N1Click() { ChooseColumns(*DBGridEh1); }

void DetailStatWindow::N2Click() { AskAndSaveGridLayout(*DBGridEh1, family().gridKey); }

bool DetailStatWindow::eventFilter(QObject *watched, QEvent *event)
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
        if (key->key() != Qt::Key_Q) return false;
        if (tbQuery->isEnabled()) {
            tbQuery->setDown(true);
            tbQuery->repaint();
            tbQueryClick();
            tbQuery->setDown(false);
        }
        return true;
    }
    if (mods != Qt::NoModifier) return false;
    switch (key->key()) {
    case Qt::Key_Escape:
        if (tbExit->isEnabled()) close();
        return true;
    case Qt::Key_PageUp: return press(tbPrior);
    case Qt::Key_PageDown: return press(tbNext);
    case Qt::Key_Home: return press(tbFirst);
    case Qt::Key_End: return press(tbLast);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w)) return false;
        focusNextChild();
        return true;
    default: return false;
    }
}

void OpenDetailStat(DetailStatKind kind, CustomerListHost &host)
{
    std::unique_ptr<DetailStatWindow> window;
    QWidget *parent = host.hostWindow();
    switch (kind) {
    case DetailStatKind::Sales: window = std::make_unique<TfrmXSdetailTj>(parent); break;
    case DetailStatKind::Repairs: window = std::make_unique<TfrmWXdetailTJ>(parent); break;
    case DetailStatKind::Installations: window = std::make_unique<TfrmAZdetailTj>(parent); break;
    case DetailStatKind::Gifts: window = std::make_unique<TfrmZPdetailTj>(parent); break;
    case DetailStatKind::Complaints: window = std::make_unique<TfrmTSdetailTj>(parent); break;
    }
    DispFormPos(window.get(), 0);
    Dialogs::current().execDialog(*window);
}
