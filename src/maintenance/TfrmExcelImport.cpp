#include "TfrmExcelImport.h"

#include "ImportModels.h"
#include "ImportSql.h"
#include "ImportStore.h"
#include "TDLGeditCurList.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/ProgramFolder.h"
#include "app/Shell.h"
#include "components/FormFields.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kColumnWidth = 75;

QGroupBox *explanation(QWidget *parent, const QStringList &lines)
{
    auto *box = new QGroupBox(QStringLiteral("说明"), parent);
    auto *l = new QVBoxLayout(box);
    auto *text = new QLabel(lines.join(u'\n'), box);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->addWidget(text);
    return box;
}

QString sampleFile() { return ProgramFolder::filePath(QStringLiteral("sample.xlsx")); }

} // namespace

TfrmExcelImport::TfrmExcelImport(const QString &targetTable, QWidget *parent)
    : QDialog(parent),
      QryTable2(new DataSet(dmData ? &dmData->ADOcnn : nullptr, this)),
      QryTable3(new DataSet(dmData ? &dmData->ADOcnn : nullptr, this)),
      m_table(targetTable)
{
    using namespace FormFields;
    setObjectName(QStringLiteral("frmExcelImport"));
    setWindowTitle(QStringLiteral("Excel 数据导入"));
    QryTable2->setObjectName(QStringLiteral("QryTable2"));
    QryTable3->setObjectName(QStringLiteral("QryTable3"));
    auto *layout = new QVBoxLayout(this);

    PageControl1 = named(new QTabWidget(this), "PageControl1");
    layout->addWidget(PageControl1, 1);

    // Step 0: the sample and the source file.
    TabSheet1 = named(new QWidget(PageControl1), "TabSheet1");
    {
        auto *l = new QVBoxLayout(TabSheet1);
        auto *welcome = new QLabel(QStringLiteral("欢迎使用澄岚数据导入向导"), TabSheet1);
        QFont f = welcome->font();
        f.setPointSizeF(f.pointSizeF() * 1.5);
        f.setBold(true);
        welcome->setFont(f);
        l->addWidget(welcome);
        l->addSpacing(24);
        l->addWidget(new QLabel(QStringLiteral("您可以参考以下模版来制做导入源文件"), TabSheet1));
        auto *sampleRow = new QHBoxLayout;
        edtSamplePath = textBox(TabSheet1, "edtSamplePath");
        edtSamplePath->setReadOnly(true);
        edtSamplePath->setText(QFileInfo(sampleFile()).absoluteFilePath());
        Button1 = button(TabSheet1, "Button1", QStringLiteral("打开"));
        sampleRow->addWidget(edtSamplePath, 1);
        sampleRow->addWidget(Button1);
        l->addLayout(sampleRow);
        l->addSpacing(24);
        l->addWidget(new QLabel(QStringLiteral("请选择要导入的Excel源文件"), TabSheet1));
        auto *fileRow = new QHBoxLayout;
        edtXlsFileName = textBox(TabSheet1, "edtXlsFileName");
        Button2 = button(TabSheet1, "Button2", QStringLiteral("打开"));
        fileRow->addWidget(edtXlsFileName, 1);
        fileRow->addWidget(Button2);
        l->addLayout(fileRow);
        l->addStretch();
    }
    PageControl1->addTab(TabSheet1, QStringLiteral("数据准备"));

    // Step 1: the sheet.
    TabSheet2 = named(new QWidget(PageControl1), "TabSheet2");
    {
        auto *l = new QVBoxLayout(TabSheet2);
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("请选择一个表名："), TabSheet2));
        ComboBox1 = named(new QComboBox(TabSheet2), "ComboBox1");
        ComboBox1->setEditable(false);
        ComboBox1->setMinimumWidth(220);
        row->addWidget(ComboBox1);
        row->addStretch();
        l->addLayout(row);
        DBGridEh1 = named(new QTableView(TabSheet2), "DBGridEh1");
        DBGridEh1->setEditTriggers(QAbstractItemView::NoEditTriggers);
        DBGridEh1->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
        DBGridEh1->verticalHeader()->setDefaultSectionSize(22);
        m_sheetModel = new SheetModel(this);
        DBGridEh1->setModel(m_sheetModel);
        l->addWidget(DBGridEh1, 1);
        l->addWidget(new QLabel(QStringLiteral("以上是要导入的数据，请检查是否有误！"), TabSheet2));
    }
    PageControl1->addTab(TabSheet2, QStringLiteral("源文件"));

    // Step 2: the mapping.
    TabSheet3 = named(new QWidget(PageControl1), "TabSheet3");
    {
        auto *l = new QHBoxLayout(TabSheet3);
        DBGrid2 = named(new QTableWidget(0, 2, TabSheet3), "DBGrid2");
        DBGrid2->setHorizontalHeaderLabels({QStringLiteral("源字段名"), QStringLiteral("对应的Excel字段")});
        DBGrid2->setColumnWidth(0, 150);
        DBGrid2->horizontalHeader()->setStretchLastSection(true);
        DBGrid2->verticalHeader()->setDefaultSectionSize(24);
        DBGrid2->setSelectionMode(QAbstractItemView::SingleSelection);
        l->addWidget(DBGrid2, 3);
        l->addWidget(explanation(TabSheet3, {QStringLiteral("源字段名"), QStringLiteral("是指在本系统资料中显示的字段名称（中文）"),
                                             QStringLiteral("对应的Excel字段"),
                                             QStringLiteral("是指在Excel表格中显示的第一行名称（中文）"),
                                             QStringLiteral("请从对应的Excel字段列表中选择相对应的项目来，"),
                                             QStringLiteral("匹配源字段；若没有对应的源字段，请把该源字段"),
                                             QStringLiteral("清为空白即可。")}),
                     2);
    }
    PageControl1->addTab(TabSheet3, QStringLiteral("对应字段"));

    // Step 3: the preview.
    TabSheet4 = named(new QWidget(PageControl1), "TabSheet4");
    {
        auto *l = new QVBoxLayout(TabSheet4);
        DBGridEh3 = named(new QTableView(TabSheet4), "DBGridEh3");
        DBGridEh3->setSelectionMode(QAbstractItemView::ExtendedSelection);
        DBGridEh3->setSelectionBehavior(QAbstractItemView::SelectItems);
        DBGridEh3->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
        DBGridEh3->verticalHeader()->setDefaultSectionSize(22);
        DBGridEh3->setContextMenuPolicy(Qt::CustomContextMenu);
        m_previewModel = new PreviewModel(
            &m_preview,
            [this](int, int column, const QString &text) {
                ShowMess(QStringLiteral("“%1”不能填入字段“%2”！").arg(text, m_preview.columns().value(column).caption), 0);
            },
            this);
        DBGridEh3->setModel(m_previewModel);
        l->addWidget(DBGridEh3, 1);
        l->addWidget(explanation(
            TabSheet4,
            {QStringLiteral("以上表格处于预览状态，未正式导入数据库中"), QStringLiteral("你可以在些表格中将各项补充完整"),
             QStringLiteral("要批量修改时，请先把鼠标移动在左边的固定列上，当鼠标变为黑箭头时，再配合CTRL或SHIFT键"),
             QStringLiteral("来选择要修改的行，然后右键点击要修改的某列，在弹出的对话框中输入要修改的值即可。"),
             QStringLiteral("对于不需要导入的行（系统中不允许导入空行，如果出现空行，可以选中空行），然后删除。")}));
        PopupMenu1 = named(new QMenu(this), "PopupMenu1");
        N1 = PopupMenu1->addAction(QStringLiteral("批量修改当前所选列"));
        N1->setObjectName(QStringLiteral("N1"));
        N2 = PopupMenu1->addAction(QStringLiteral("删除当前指定所选行"));
        N2->setObjectName(QStringLiteral("N2"));
    }
    PageControl1->addTab(TabSheet4, QStringLiteral("结果预览"));

    auto *bottom = new QHBoxLayout;
    ProgressBar1 = named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1->setVisible(false);
    bottom->addWidget(ProgressBar1, 1);
    bottom->addStretch();
    Button3 = button(this, "Button3", QStringLiteral("上一步"));
    Button4 = button(this, "Button4", QStringLiteral("下一步"));
    Button5 = button(this, "Button5", QStringLiteral("取  消"));
    bottom->addWidget(Button3);
    bottom->addWidget(Button4);
    bottom->addWidget(Button5);
    layout->addLayout(bottom);

    connect(Button1, &QPushButton::clicked, this, &TfrmExcelImport::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmExcelImport::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmExcelImport::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TfrmExcelImport::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TfrmExcelImport::reject);
    connect(ComboBox1, &QComboBox::activated, this, &TfrmExcelImport::ComboBox1Change);
    connect(N1, &QAction::triggered, this, &TfrmExcelImport::N1Click);
    connect(N2, &QAction::triggered, this, &TfrmExcelImport::N2Click);
    DBGridEh3->viewport()->installEventFilter(this);
    connect(DBGridEh3, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(DBGridEh3->viewport()->mapToGlobal(pos)); });

    setFixedSize(780, 540);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    ShowStep(0);
}

TfrmExcelImport::~TfrmExcelImport() = default;

bool TfrmExcelImport::eventFilter(QObject *watched, QEvent *event)
{
    // A right click names the column to change and keeps the rows chosen
    // for the context commands.
    if (watched == DBGridEh3->viewport() && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        const QModelIndex at = DBGridEh3->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (at.isValid()) DBGridEh3->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmExcelImport::ShowStep(int step)
{
    switch (step) {
    case 0: break;
    case 1:
        if (!openWorkbook()) step = 0;
        break;
    case 2:
        if (!loadMapping()) step = m_step;
        break;
    case 3: buildPreview(); break;
    default: return;
    }
    m_step = step;
    for (int i = 0; i < PageControl1->count(); ++i) PageControl1->setTabVisible(i, i == m_step);
    PageControl1->setCurrentIndex(m_step);
    Button3->setEnabled(m_step > 0);
    Button4->setText(m_step == 3 ? QStringLiteral("完成") : QStringLiteral("下一步"));
}

void TfrmExcelImport::Button1Click()
{
    const QString file = sampleFile();
    if (!QFileInfo::exists(file)) {
        ShowMess(QStringLiteral("例子Excel文件不存在，请检查！"), 0);
        return;
    }
    Shell::current().openDocument(file);
}

void TfrmExcelImport::Button2Click()
{
    const QString current = edtXlsFileName->text().trimmed();
    const QString file = Dialogs::current().openFileName(
        QStringLiteral("请选择excel源文件"), current.isEmpty() ? ProgramFolder::path() : QFileInfo(current).absolutePath(),
        QStringLiteral("Excel文件(*.xls *.xlsx *.csv)"));
    if (!file.isEmpty()) edtXlsFileName->setText(file);
}

void TfrmExcelImport::Button3Click()
{
    if (m_busy) return;
    ShowStep(qMax(0, m_step - 1));
}

void TfrmExcelImport::Button4Click()
{
    if (m_busy) return;
    if (m_step == 3) writeBatch();
    else ShowStep(m_step + 1);
}

void TfrmExcelImport::reject()
{
    // A reading in progress is told to stop; the window closes once it has.
    if (m_busy) {
        m_cancel = true;
        m_closeWhenIdle = true;
        return;
    }
    QDialog::reject();
}

bool TfrmExcelImport::runInBackground(
    const std::function<void(std::atomic<qint64> &, std::atomic<qint64> &, const std::atomic<bool> &)> &work)
{
    std::atomic<qint64> done{0}, total{0};
    m_cancel = false;
    setBusy(true);
    QEventLoop loop;
    QThread *thread = QThread::create([&] { work(done, total, m_cancel); });
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer ticker;
    ticker.setInterval(50);
    connect(&ticker, &QTimer::timeout, this, [&] {
        const qint64 t = total.load();
        if (t <= 0) return;
        // The bar counts in thousandths when the total is bytes of a large file.
        const bool scaled = t > 100000000;
        ProgressBar1->setRange(0, int(scaled ? 1000 : t));
        ProgressBar1->setValue(int(scaled ? done.load() * 1000 / t : done.load()));
    });
    thread->start();
    ticker.start();
    loop.exec();
    thread->wait();
    delete thread;
    ticker.stop();
    setBusy(false);
    const bool cancelled = m_cancel.load();
    if (m_closeWhenIdle) QDialog::reject();
    return !cancelled;
}

void TfrmExcelImport::setBusy(bool busy)
{
    m_busy = busy;
    for (QWidget *w : {static_cast<QWidget *>(Button1), static_cast<QWidget *>(Button2), static_cast<QWidget *>(Button4),
                       static_cast<QWidget *>(ComboBox1), static_cast<QWidget *>(DBGrid2),
                       static_cast<QWidget *>(DBGridEh3)})
        w->setEnabled(!busy);
    Button3->setEnabled(!busy && m_step > 0);
    ProgressBar1->setRange(0, 0);
    ProgressBar1->setVisible(busy);
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

bool TfrmExcelImport::openWorkbook()
{
    const QString path = edtXlsFileName->text().trimmed();
    if (!QFileInfo(path).isFile()) {
        ShowMess(QStringLiteral("请选择要导入的excel源文件！"), 0);
        return false;
    }
    m_sheetModel->setTable(nullptr);
    m_book.reset();
    m_sheet = SheetTable();
    std::unique_ptr<Workbook> book;
    SheetTable first;
    QStringList names;
    QString error;
    const bool finished = runInBackground([&](std::atomic<qint64> &done, std::atomic<qint64> &total,
                                              const std::atomic<bool> &cancel) {
        book = Workbook::open(path, &error);
        if (!book) return;
        names = book->tableNames();
        if (names.isEmpty()) return;
        loadTable(*book, names.first(), &first, [&](qint64 d, qint64 t) {
            done = d;
            total = t;
            return !cancel.load();
        }, &error);
    });
    if (!finished) return false;
    if (!book || !error.isEmpty()) {
        ShowMess(QStringLiteral("请选择要导入的excel源文件！") + (error.isEmpty() ? QString() : u'\n' + error), 0);
        return false;
    }
    m_book = std::move(book);
    ComboBox1->clear();
    ComboBox1->addItems(names);
    ComboBox1->setCurrentIndex(0);
    m_sheet = std::move(first);
    m_sheetModel->setTable(&m_sheet);
    return true;
}

void TfrmExcelImport::ComboBox1Change()
{
    if (!m_book || ComboBox1->currentIndex() < 0) return;
    loadSheet(ComboBox1->currentText());
}

bool TfrmExcelImport::loadSheet(const QString &name)
{
    m_sheetModel->setTable(nullptr);
    m_sheet = SheetTable();
    SheetTable table;
    QString error;
    Workbook *book = m_book.get();
    const bool finished = runInBackground([&](std::atomic<qint64> &done, std::atomic<qint64> &total,
                                              const std::atomic<bool> &cancel) {
        loadTable(*book, name, &table, [&](qint64 d, qint64 t) {
            done = d;
            total = t;
            return !cancel.load();
        }, &error);
    });
    if (!finished) return false;
    if (!error.isEmpty()) {
        ShowMess(error, 3);
        return false;
    }
    m_sheet = std::move(table);
    m_sheetModel->setTable(&m_sheet);
    return true;
}

bool TfrmExcelImport::loadMapping()
{
    if (!dmData || !dmData->OpenSQL(importMappingSql(m_table), QryTable2)) return false;
    m_mappings.clear();
    for (QryTable2->first(); !QryTable2->eof(); QryTable2->next()) {
        ImportMapping m;
        m.fieldName = QryTable2->fieldByName(QStringLiteral("F_fieldName")).asString();
        m.sField = QryTable2->fieldByName(QStringLiteral("S_Field")).asString().trimmed();
        // A default naming no column of this sheet could only stop the
        // build at its first row: it starts cleared for this sheet.
        const int column = sheetColumn(m_sheet.columns, QryTable2->fieldByName(QStringLiteral("F_Field")).asString().trimmed());
        m.fField = column >= 0 ? m_sheet.columns.at(column) : QString();
        m_mappings << m;
    }
    fillMappingGrid();
    m_preview.reset(importColumns(m_table, m_mappings));
    m_previewModel->reload();
    for (int c = 0; c < m_preview.columnCount(); ++c) DBGridEh3->setColumnWidth(c, kColumnWidth);
    return true;
}

void TfrmExcelImport::fillMappingGrid()
{
    DBGrid2->clearContents();
    DBGrid2->setRowCount(int(m_mappings.size()));
    for (int i = 0; i < m_mappings.size(); ++i) {
        auto *name = new QTableWidgetItem(m_mappings.at(i).fieldName);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        DBGrid2->setItem(i, 0, name);
        auto *choice = new QComboBox(DBGrid2);
        choice->setObjectName(QStringLiteral("cbbField%1").arg(i));
        choice->addItem(QString());
        choice->addItems(m_sheet.columns);
        choice->setCurrentIndex(qMax(0, int(m_sheet.columns.indexOf(m_mappings.at(i).fField)) + 1));
        connect(choice, &QComboBox::currentIndexChanged, this, [this, i, choice](int) {
            m_mappings[i].fField = choice->currentText();
        });
        DBGrid2->setCellWidget(i, 1, choice);
    }
}

void TfrmExcelImport::setMapping(int row, const QString &sheetColumn)
{
    auto *choice = qobject_cast<QComboBox *>(DBGrid2->cellWidget(row, 1));
    if (!choice) return;
    const int i = choice->findText(sheetColumn);
    choice->setCurrentIndex(i < 0 ? 0 : i);
}

void TfrmExcelImport::buildPreview()
{
    // The target table's columns, no rows; the preview starts from scratch.
    if (dmData) dmData->OpenSQL(importEmptyTableSql(m_table), QryTable3);
    m_preview.reset(importColumns(m_table, m_mappings));
    m_previewModel->reload();
    ImportPreview built;
    built.reset(m_preview.columns());
    ImportBuild result;
    const SheetTable &sheet = m_sheet;
    const QList<ImportMapping> mappings = m_mappings;
    runInBackground([&](std::atomic<qint64> &done, std::atomic<qint64> &total, const std::atomic<bool> &cancel) {
        total = qMax<qint64>(1, sheet.rows.size());
        done = 1;
        result = ::buildPreview(sheet, mappings, &built, [&](int d, int) {
            done = d;
            return !cancel.load();
        });
    });
    m_preview = std::move(built);
    m_previewModel->reload();
    for (int c = 0; c < m_preview.columnCount(); ++c) DBGridEh3->setColumnWidth(c, kColumnWidth);
    if (!result.ok)
        ShowMess(QStringLiteral("字段“") + result.failedColumn + QStringLiteral("”出错，导入失败！"), 3);
}

void TfrmExcelImport::writeBatch()
{
    if (!dmData) return;
    setBusy(true);
    ProgressBar1->setRange(0, qMax(1, m_preview.rowCount()));
    const ImportWriteResult result = writeImport(dmData->ADOcnn, m_table, m_preview, [this](int done, int) {
        ProgressBar1->setValue(done);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    setBusy(false);
    if (result.ok) {
        ShowMess(QStringLiteral("导入非常成功，请检查资料表核对！"), 0);
        accept();
        return;
    }
    // A row the server refused is named with its reason; any other failure
    // (the connection lost, for one) is the wizard's message alone.
    QString why = QStringLiteral("导入失败，请联系管理人员.....");
    if (result.failedRow >= 0) why += QStringLiteral("\n第 %1 行：%2").arg(result.failedRow + 1).arg(result.reason);
    else if (!result.reason.isEmpty()) qWarning("import failed: %s", qPrintable(result.reason));
    ShowMess(why, 3);
    if (result.failedRow >= 0) {
        const QModelIndex at = m_previewModel->index(result.failedRow, 0);
        DBGridEh3->setCurrentIndex(at);
        DBGridEh3->scrollTo(at);
    }
}

QList<int> TfrmExcelImport::selectedPreviewRows() const
{
    QList<int> rows;
    if (m_preview.columnCount() == 0) return rows;
    for (const QModelIndex &i : DBGridEh3->selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TfrmExcelImport::N1Click()
{
    const QList<int> rows = selectedPreviewRows();
    if (rows.isEmpty()) {
        ShowMess(QStringLiteral("请选中要更新的行，前面的固定行显示为箭头，\n表示选中行！"), 0);
        return;
    }
    const int column = DBGridEh3->currentIndex().column();
    if (column < 0) return;
    const std::optional<QString> text = TDLGeditCurList::Ask(this);
    if (!text || text->isEmpty()) return;
    QString stored;
    if (!importText(m_preview.columns().at(column), *text, &stored)) {
        ShowMess(QStringLiteral("“%1”不能填入字段“%2”！").arg(*text, m_preview.columns().at(column).caption), 0);
        return;
    }
    for (int r : rows) m_preview.setText(r, column, *text);
    m_previewModel->cellsChanged(column);
}

void TfrmExcelImport::N2Click()
{
    const QList<int> rows = selectedPreviewRows();
    if (rows.isEmpty()) {
        const int current = DBGridEh3->currentIndex().row();
        if (ShowMess(QStringLiteral("真的要删除当前行吗？"), 1, Mess::No) != Mess::Yes || current < 0) return;
        m_preview.removeRows({current});
    } else {
        if (ShowMess(QStringLiteral("真的要删除当前选中的多行数据吗？"), 1, Mess::No) == Mess::No) return;
        m_preview.removeRows(rows);
    }
    DBGridEh3->clearSelection();
    m_previewModel->reload();
    for (int c = 0; c < m_preview.columnCount(); ++c) DBGridEh3->setColumnWidth(c, kColumnWidth);
}
