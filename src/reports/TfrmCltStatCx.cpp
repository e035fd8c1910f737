#include "TfrmCltStatCx.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "components/DataGrid.h"
#include "components/FormFields.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "reportengine/GridPrint.h"
#include "reportengine/ReportPrint.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

TfrmCltStatCx::TfrmCltStatCx(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCltStatCx"));
    setWindowTitle(QStringLiteral("客户服务信息统计分析"));
    resize(780, 575);

    // The title band.
    auto *Panel3 = new QWidget(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Label1 = new QLabel(cltStatStartTitle(), Panel3);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big = Label1->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    Label1->setFont(big);
    Label1->setStyleSheet(QStringLiteral("color: blue;"));
    Button1 = FormFields::button(Panel3, "Button1", QStringLiteral("打印"));
    auto *band = new QHBoxLayout(Panel3);
    band->addWidget(Label1, 1);
    band->addWidget(Button1);

    // The groupings.
    TabControl1 = new QTabWidget(this);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    ListBox1 = new QListWidget(TabControl1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    for (const CltStatGrouping &g : CltStatGroupings) ListBox1->addItem(QString::fromUtf8(g.item));
    TabControl1->addTab(ListBox1, QStringLiteral("统计方式"));

    // The filter band.
    auto *Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto *filterRow = new QHBoxLayout(Panel2);
    filterRow->setContentsMargins(4, 2, 4, 2);
    filterRow->addWidget(new QLabel(QStringLiteral("购买日期：自"), Panel2));
    dtpfromDate = FormFields::dateBox(Panel2, "dtpfromDate");
    filterRow->addWidget(dtpfromDate);
    filterRow->addWidget(new QLabel(QStringLiteral("至"), Panel2));
    dtptoDate = FormFields::dateBox(Panel2, "dtptoDate");
    filterRow->addWidget(dtptoDate);
    CheckBox1 = new QCheckBox(QStringLiteral("包含已停用"), Panel2);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    filterRow->addWidget(CheckBox1);
    filterRow->addStretch();
    btnCX = FormFields::button(Panel2, "btnCX", QStringLiteral("查询"));
    btnDY = FormFields::button(Panel2, "btnDY", QStringLiteral("打印"));
    filterRow->addWidget(btnCX);
    filterRow->addWidget(btnDY);

    // The chart and the list.
    series = new QPieSeries;
    series->setObjectName(QStringLiteral("Series1"));
    chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(cltStatStartTitle());
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    chart->setTitleFont(titleFont);
    chart->setBackgroundRoundness(0);
    chart->setBackgroundPen(Qt::NoPen);
    // Every slice carries its name and share; a legend would repeat them
    // and squeeze the labels.
    chart->legend()->hide();
    DBChart1 = new QChartView(chart);
    DBChart1->setObjectName(QStringLiteral("DBChart1"));
    DBChart1->setRenderHint(QPainter::Antialiasing);
    DBChart1->setFrameShape(QFrame::NoFrame);

    QryTable = new DataSet(dmData ? &dmData->ADOcnn : nullptr, this);
    QryTable->setObjectName(QStringLiteral("QryTable"));
    DBGridEh1 = new DataGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    GridColumn name;
    name.field = QStringLiteral("f_name");
    name.caption = QStringLiteral("行业类别");
    name.width = 240;
    name.footerKind = FooterKind::Text;
    name.footerValue = QStringLiteral("合  计");
    GridColumn num;
    num.field = QStringLiteral("f_num");
    num.caption = QStringLiteral("数量");
    num.width = 100;
    num.alignment = Qt::AlignRight | Qt::AlignVCenter;
    num.footerKind = FooterKind::Sum;
    DBGridEh1->setColumns({name, num});
    DBGridEh1->setReadOnly(true);
    DBGridEh1->setFooterVisible(true);
    DBGridEh1->setDataSet(QryTable);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(DBChart1, QStringLiteral("  图解显示  "));
    PageControl1->addTab(DBGridEh1, QStringLiteral("  列表显示  "));

    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(Panel2);
    rightLayout->addWidget(PageControl1, 1);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(TabControl1);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({130, 650});

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    const int widths[4] = {150, 150, 100, 50};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(status);
        StatusPanels[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i));
        StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusPanels[i]->setMinimumWidth(widths[i]);
        if (i >= 2) StatusPanels[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (i < 2) status->addWidget(StatusPanels[i]);
        else status->addPermanentWidget(StatusPanels[i]);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(Panel3);
    layout->addWidget(splitter, 1);
    layout->addWidget(status);

    connect(btnCX, &QPushButton::clicked, this, &TfrmCltStatCx::RunQuery);
    connect(btnDY, &QPushButton::clicked, this, &TfrmCltStatCx::btnDYClick);
    connect(Button1, &QPushButton::clicked, this, &TfrmCltStatCx::Button1Click);
    connect(dtpfromDate, &CheckedDateEdit::changed, this, &TfrmCltStatCx::RunQuery);
    connect(dtptoDate, &CheckedDateEdit::changed, this, &TfrmCltStatCx::RunQuery);
    // A grouping chosen with the keys or the mouse counts at once; clicking
    // the chosen one again counts once more.
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] {
        m_queriedThisPress = true;
        RunQuery();
    });
    connect(ListBox1, &QListWidget::itemClicked, this, [this] {
        if (!m_queriedThisPress) RunQuery();
    });
    ListBox1->viewport()->installEventFilter(this);
}

bool TfrmCltStatCx::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonPress) m_queriedThisPress = false;
    return QDialog::eventFilter(watched, event);
}

void TfrmCltStatCx::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TfrmCltStatCx::FormShow()
{
    const QDate today = QDate::currentDate();
    dtpfromDate->setDate(QDate(today.year(), today.month(), 1));
    dtpfromDate->setChecked(true);
    dtptoDate->setDate(today);
    dtptoDate->setChecked(true);
    ListBox1->setCurrentRow(0);
    if (dmData) StatusPanels[2]->setText(cltStatCountText(dmData->GetStrValue(cltStatTotalSql()), false));
    StatusPanels[3]->setText(PubUnit::PublisherText + u' ');
    // The first count waits for the operator.
    m_queryReady = true;
}

QString TfrmCltStatCx::groupingName() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    return item ? item->text() : QString();
}

CltStatFilter TfrmCltStatCx::filter() const
{
    CltStatFilter f;
    if (dtpfromDate->isChecked()) f.from = dtpfromDate->date();
    if (dtptoDate->isChecked()) f.to = dtptoDate->date();
    f.includeDisabled = CheckBox1->isChecked();
    return f;
}

void TfrmCltStatCx::RunQuery()
{
    if (!m_queryReady || !dmData) return;
    const QString name = groupingName();
    if (name.trimmed().isEmpty()) return;
    DBGridEh1->setColumn(0, [&] {
        GridColumn c = DBGridEh1->column(0);
        c.caption = name;
        return c;
    }());
    QryTable->close();
    QryTable->setSql(cltStatSql(ListBox1->currentRow(), filter()));
    if (!QryTable->open()) {
        // The list stays empty and the chart keeps what it showed.
        ShowMess(QStringLiteral("统计查询失败：%1").arg(QryTable->lastError()), 3);
        return;
    }
    const int groups = QryTable->recordCount();
    if (groups > 0) {
        series->clear();
        for (int row = 0; row < groups; ++row) {
            const QString label = QryTable->value(row, QryTable->fieldIndex(QStringLiteral("F_name"))).toString();
            series->append(label, QryTable->value(row, QryTable->fieldIndex(QStringLiteral("F_num"))).toDouble());
        }
        // Percentages are known once every slice is in. Neighbouring
        // slices get hues far apart (golden-angle steps), so each reads apart.
        qreal hue = 0.58;
        for (QPieSlice *slice : series->slices()) {
            slice->setColor(QColor::fromHsvF(hue, 0.55, 0.92));
            slice->setBorderColor(Qt::white);
            hue = std::fmod(hue + 0.381966, 1.0);
            const QString pct = QString::number(slice->percentage() * 100, 'f', 1) + u'%';
            slice->setLabel(slice->label().isEmpty() ? pct : slice->label() + u' ' + pct);
            slice->setLabelVisible(true);
        }
        chart->setTitle(cltStatChartTitle(name));
    }
    StatusPanels[2]->setText(cltStatCountText(QString::number(groups), true));
}

void TfrmCltStatCx::btnDYClick()
{
    if (PageControl1->currentWidget() == DBChart1) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(QPageLayout::Landscape);
        QPrintPreviewDialog preview(&printer, this);
        preview.setWindowTitle(QStringLiteral("打印预览"));
        connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *p) {
            QPainter painter(p);
            DBChart1->render(&painter, QRectF(painter.viewport()), DBChart1->viewport()->rect());
        });
        Dialogs::current().execDialog(preview);
        return;
    }
    PrintGrid(*DBGridEh1, chart->title(), QString(), QString());
}

void TfrmCltStatCx::Button1Click()
{
    if (!QryTable->isActive() || QryTable->isEmpty()) return;
    const std::unique_ptr<DataSetSource> rows = DBGridEh1->rowSource(DataGrid::Columns::AllFields);
    Report::PrintJob job;
    job.fileName = QStringLiteral("frStatFx.frf");
    job.texts.insert(QStringLiteral("Memo1"), chart->title());
    job.texts.insert(QStringLiteral("Memo2"), groupingName());
    job.sources.bind(QStringLiteral("frDBDataSet1"), rows.get(), QryTable->recNo());
    Report::preview(job, this);
}
