#include "TfrmAwokeGl.h"

#include "AwokeSql.h"

#include "app/Dialogs.h"
#include "app/PrivateProfile.h"
#include "app/PubUnit.h"
#include "app/Settings.h"
#include "components/CustomerListHost.h"
#include "components/DataGrid.h"
#include "components/FormFields.h"
#include "components/GridLayout.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "reportengine/ReportPrint.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
const QString kGridKey = QStringLiteral("awokegl1");
const QString kTemplate = QStringLiteral("frAwokeFx.frf");
constexpr int kEditCommand = 202;   // 修改: the customer editor on the main window's current row

struct AwokeColumn {
    const char *field;
    const char *title;
    int width;
};
const AwokeColumn kColumns[] = {
    {"F_name", "用户名称", 100},      {"F_buyaddress", "ID  码", 150}, {"F_phone", "固定电话", 90},
    {"F_KDcode", "开单批号", 70},     {"F_xinghao", "型  号", 90},     {"F_amount", "台数", 45},
    {"F_price", "单价", 60},          {"F_totalprice", "金额", 70},    {"F_addgoodA", "赠品名称A", 80},
    {"F_addAmountA", "赠品数量A", 60}, {"F_addgoodB", "赠品名称B", 80}, {"F_addAmountB", "赠品数量B", 60},
    {"F_area", "购买地点", 80},       {"F_setupDept", "安装部门", 70}, {"F_buyDate", "购买日期", 80},
    {"F_setupDate", "安装日期", 80},  {"F_KPcode", "票 据 号", 70},   {"F_reason", "故障原因", 120},
    {"F_reasonAmount", "故障数量", 60}, {"F_num", "天数", 45},
};
} // namespace

TfrmAwokeGl::TfrmAwokeGl(CustomerListHost &host, bool atStart, QWidget *parent)
    : QDialog(parent), m_host(host), m_atStart(atStart)
{
    setObjectName(QStringLiteral("frmAwokeGl"));
    setWindowTitle(QStringLiteral("业务提醒"));
    setWindowFlags((windowFlags() | Qt::WindowContextHelpButtonHint) & ~Qt::WindowMaximizeButtonHint);

    auto *GroupBox1 = new QGroupBox(QStringLiteral("业务提醒"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    QryTable1 = new DataSet(dmData ? &dmData->ADOcnn : nullptr, this);
    QryTable1->setObjectName(QStringLiteral("QryTable1"));
    DBGridEh1 = new DataGrid(GroupBox1);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    QList<GridColumn> columns;
    for (const AwokeColumn &c : kColumns) {
        GridColumn g;
        g.field = QString::fromLatin1(c.field);
        g.caption = QString::fromUtf8(c.title);
        g.width = c.width;
        g.titleAlignment = Qt::AlignCenter;
        columns << g;
    }
    DBGridEh1->setColumns(columns);
    DBGridEh1->setReadOnly(true);
    DBGridEh1->setMultiSelect(true);
    DBGridEh1->setTitleSort(DataGrid::TitleSort::AllColumns);
    DBGridEh1->setDataSet(QryTable1);
    // Due today: red on the button face.
    DBGridEh1->setRowColours([this](const DataSet &ds, int row, QColor *text, QColor *background) {
        const int f = ds.fieldIndex(QStringLiteral("F_num"));
        const QVariant days = f < 0 ? QVariant() : ds.value(row, f);
        if (days.isNull() || days.toInt() != 0) return false;
        *text = Qt::red;
        *background = palette().color(QPalette::Button);
        return true;
    });
    DBGridEh1->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *boxLayout = new QVBoxLayout(GroupBox1);
    boxLayout->addWidget(DBGridEh1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    N1 = PopupMenu1->addAction(QStringLiteral("显示字段列表"));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = PopupMenu1->addAction(QStringLiteral("保存当前设置"));
    N2->setObjectName(QStringLiteral("N2"));
    N3 = PopupMenu1->addAction(QStringLiteral("定位到此记录"));
    N3->setObjectName(QStringLiteral("N3"));

    CheckBox1 = new QCheckBox(QStringLiteral("每次启动弹出提醒窗口"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    rseDate1 = new QSpinBox(this);
    rseDate1->setObjectName(QStringLiteral("rseDate1"));
    rseDate1->setRange(1, 31);
    rseDate1->setValue(1);
    Button4 = FormFields::button(this, "Button4", QStringLiteral("报表设置"));
    Button1 = FormFields::button(this, "Button1", QStringLiteral("刷新(&R)"));
    Button2 = FormFields::button(this, "Button2", QStringLiteral("打印(&P)"));
    Button3 = FormFields::button(this, "Button3", QStringLiteral("关闭(&C)"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(CheckBox1);
    bottom->addSpacing(12);
    bottom->addWidget(rseDate1);
    bottom->addWidget(new QLabel(QStringLiteral("天"), this));
    bottom->addStretch();
    for (QPushButton *b : {Button4, Button1, Button2, Button3}) bottom->addWidget(b);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(bottom);
    setFixedSize(760, 420);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connect(Button1, &QPushButton::clicked, this, &TfrmAwokeGl::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmAwokeGl::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button4, &QPushButton::clicked, this, &TfrmAwokeGl::Button4Click);
    connect(N1, &QAction::triggered, this, &TfrmAwokeGl::N1Click);
    connect(N2, &QAction::triggered, this, &TfrmAwokeGl::N2Click);
    connect(N3, &QAction::triggered, this, &TfrmAwokeGl::N3Click);
    connect(DBGridEh1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(DBGridEh1->viewport()->mapToGlobal(at)); });
    Button1->setFocus();
}

void TfrmAwokeGl::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TfrmAwokeGl::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // However the window goes away; minimising is not closing.
    if (!event->spontaneous()) FormClose();
}

void TfrmAwokeGl::FormShow()
{
    if (PubUnit::IniFile) {
        CheckBox1->setChecked(Settings::flag(*PubUnit::IniFile, Settings::Key::AwokeFlag));
        // The spin box keeps 1..31: an absent 0 shows as 1.
        rseDate1->setValue(Settings::integer(*PubUnit::IniFile, Settings::Key::AwokeDay));
    }
    RunQuery();
    Button4->setVisible(PubUnit::CurOper.compare(QLatin1String("admin"), Qt::CaseInsensitive) == 0);
    LoadGridLayout(*DBGridEh1, kGridKey);
    Button1->setFocus();
}

void TfrmAwokeGl::FormClose()
{
    if (!PubUnit::IniFile) return;
    Settings::setFlag(*PubUnit::IniFile, Settings::Key::AwokeFlag, CheckBox1->isChecked());
    Settings::setInteger(*PubUnit::IniFile, Settings::Key::AwokeDay, rseDate1->value());
}

void TfrmAwokeGl::RunQuery()
{
    if (dmData) dmData->OpenSQL(awokeListSql(rseDate1->value()), QryTable1);
}

bool TfrmAwokeGl::hasReminders() const { return QryTable1->isActive() && !QryTable1->isEmpty(); }

void TfrmAwokeGl::Button1Click() { RunQuery(); }

void TfrmAwokeGl::Button2Click()
{
    if (!hasReminders()) return;
    const std::unique_ptr<DataSetSource> rows = DBGridEh1->rowSource(DataGrid::Columns::AllFields);
    Report::PrintJob job;
    job.fileName = kTemplate;
    job.sources.bind(QStringLiteral("frDBDataSet1"), rows.get(), QryTable1->recNo());
    Report::preview(job, this);
}

void TfrmAwokeGl::Button4Click()
{
    const std::unique_ptr<DataSetSource> rows = DBGridEh1->rowSource(DataGrid::Columns::AllFields);
    Report::PrintJob job;
    job.fileName = kTemplate;
    job.sources.bind(QStringLiteral("frDBDataSet1"), rows.get(), QryTable1->recNo());
    Report::design(job, this);
}

void TfrmAwokeGl::N1Click() { ChooseColumns(*DBGridEh1); }

void TfrmAwokeGl::N2Click() { AskAndSaveGridLayout(*DBGridEh1, kGridKey); }

void TfrmAwokeGl::N3Click()
{
    if (hasReminders()) {
        const QString code = QryTable1->fieldByName(QStringLiteral("F_code")).asString();
        DataSet *customers = m_host.customerList();
        QAction *edit = m_host.command(kEditCommand);
        // Only a customer the main window lists, and only for an operator
        // who may change customers.
        if (customers && customers->isActive() && customers->locate(QStringLiteral("F_code"), code, false) && edit
            && edit->isVisible())
            edit->trigger();
    }
    // A window opened from the menu closes once the command is done; the
    // one opened at start stays.
    if (!m_atStart) accept();
}

void OpenAwokeWindow(CustomerListHost &host)
{
    TfrmAwokeGl window(host, false, host.hostWindow());
    Dialogs::current().execDialog(window);
}

TfrmAwokeGl *OpenAwokeWindowAtStart(CustomerListHost &host)
{
    if (!PubUnit::AwokeFlag) return nullptr;
    auto *window = new TfrmAwokeGl(host, true, host.hostWindow());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowFlag(Qt::WindowStaysOnTopHint);
    window->show();
    // Nothing due, or the list could not be read: the operator is not disturbed.
    if (!window->hasReminders()) {
        window->close();
        return nullptr;
    }
    return window;
}
