#include "TFrmReportGl.h"

#include "TfrmAwokeGl.h"
#include "TfrmCltStatCx.h"
#include "TfrmExportEmail.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "components/CommandRegistry.h"
#include "components/CustomerListHost.h"
#include "data/DataSet.h"
#include "reportengine/ReportPrint.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

// The dispatch sheets can be designed before any customer exists; every
// preview needs a customer to print. The repair sheet's preview is guarded
// by the customer list, as its print from the repair editor is.
const TFrmReportGl::Item TFrmReportGl::Items[6] = {
    {"当前客户详细报表", "frCltXianqing.frf", true}, {"当前客户统计列表", "frCltList.frf", true},
    {"当前客户信封打印", "frCltXingFeng.frf", true}, {"客户信封标签打印", "frCltBiaoqian.frf", true},
    {"客户销售派工单打印", "frKhxsPGD.frf", false},  {"客户维修派工单打印", "frKhwxPGD.frf", false},
};

TFrmReportGl::TFrmReportGl(CustomerListHost &host, QWidget *parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("FrmReportGl"));
    setWindowTitle(QStringLiteral("报表管理器"));
    auto *hint = new QLabel(QStringLiteral("要设计或预览报表，请先在列表框中选中后再操作"), this);
    hint->setObjectName(QStringLiteral("Label1"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    for (const Item &item : Items) ListBox1->addItem(QString::fromUtf8(item.caption));
    ListBox1->setCurrentRow(-1);
    Button3 = new QPushButton(QStringLiteral("设计"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button4 = new QPushButton(QStringLiteral("预览"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button5 = new QPushButton(QStringLiteral("关闭"), this);
    Button5->setObjectName(QStringLiteral("Button5"));
    for (QPushButton *b : {Button3, Button4, Button5}) b->setAutoDefault(false);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(Button3);
    buttons->addWidget(Button4);
    buttons->addStretch();
    buttons->addWidget(Button5);
    auto *row = new QHBoxLayout;
    row->addWidget(ListBox1, 1);
    row->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(row);
    setFixedSize(420, 260);

    connect(Button3, &QPushButton::clicked, this, &TFrmReportGl::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFrmReportGl::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &QDialog::accept);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TFrmReportGl::Button4Click);
}

const TFrmReportGl::Item *TFrmReportGl::selected() const
{
    const int row = ListBox1->currentRow();
    return ListBox1->currentItem() && ListBox1->currentItem()->isSelected() && row >= 0 && row < 6 ? &Items[row]
                                                                                                    : nullptr;
}

bool TFrmReportGl::customersListed() const
{
    const DataSet *list = m_host.customerList();
    return list && list->isActive() && !list->isEmpty();
}

void TFrmReportGl::Button3Click()
{
    const Item *item = selected();
    if (!item || (item->designNeedsCustomers && !customersListed())) return;
    Report::HostSources sources(m_host);
    Report::design({QString::fromUtf8(item->file), {}, sources.sources()}, this);
}

void TFrmReportGl::Button4Click()
{
    const Item *item = selected();
    if (!item || !customersListed()) return;
    Report::HostSources sources(m_host);
    Report::preview({QString::fromUtf8(item->file), {}, sources.sources()}, this);
}

void provideReportWindows()
{
    CommandRegistry &registry = CommandRegistry::instance();
    registry.provide(302, [](CustomerListHost &host) {
        TFrmReportGl manager(host, host.hostWindow());
        Dialogs::current().execDialog(manager);
    });
    registry.provide(307, [](CustomerListHost &host) {
        TfrmExportEmail window(host, host.hostWindow());
        Dialogs::current().execDialog(window);
    });
    registry.provide(401, [](CustomerListHost &host) {
        TfrmCltStatCx window(host.hostWindow());
        DispFormPos(&window, 0);
        Dialogs::current().execDialog(window);
    });
    registry.provide(402, [](CustomerListHost &host) { OpenAwokeWindow(host); });
    registry.provideAtMainShown([](CustomerListHost &host) { OpenAwokeWindowAtStart(host); });
}
