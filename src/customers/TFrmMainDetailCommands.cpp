// The commands on the detail tabs (repairs, return visits, complaints): their
// context menu entries and the detail area's own toolbar.

#include "TFrmMain.h"

#include "MainCommandHelpers.h"
#include "MainCommandSql.h"

#include "app/Companion.h"
#include "components/DataGrid.h"
#include "components/GridLayout.h"
#include "data/TdmData.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>

using MainCommands::listEmpty;

namespace {

int currentTab(const TFrmMain &w)
{
    const int tab = w.rpcList ? w.rpcList->currentIndex() : 0;
    return tab >= 0 && tab <= 2 ? tab : 0;
}

// The toolbar's 新增 first asks for a customer; the context entry does not.
bool detailNewAllowed(TFrmMain &w, bool needCustomer)
{
    if (needCustomer && listEmpty(w.QryMain)) {
        ShowMess(detailNeedsCustomerMessage(currentTab(w)), 0);
        w.DBGridEh1->setFocus();
        return false;
    }
    return true;
}

bool detailEditAllowed(TFrmMain &w)
{
    if (listEmpty(w.detailQuery(currentTab(w)))) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), 3);
        return false;
    }
    return true;
}

void detailDelete(TFrmMain &w)
{
    const int tab = currentTab(w);
    DataSet *q = w.detailQuery(tab);
    if (listEmpty(q) || !dmData) return;
    const QString date = q->fieldByName(detailDateField(tab)).asString();
    if (ShowMess(detailDeleteQuestion(tab, date), 1, Mess::No) != Mess::Yes) return;
    const qint64 id = q->fieldByName(QStringLiteral("F_ID")).value().toLongLong();
    if (dmData->DeleteByID(detailTable(tab), id)) w.ReopenDetail(tab);
}

} // namespace

int TFrmMain::currentDetailTab() const { return currentTab(*this); }

void TFrmMain::createDetailCommands()
{
    QAction *tbdNew = namedAction("tbdNew", QStringLiteral("新增"), QStyle::SP_FileIcon);
    QAction *tbdEdit = namedAction("tbdEdit", QStringLiteral("修改"), QStyle::SP_FileDialogContentsView);
    QAction *tbddel = namedAction("tbddel", QStringLiteral("删除"), QStyle::SP_TrashIcon);
    QAction *tbdpx = namedAction("tbdpx", QStringLiteral("排序"), QStyle::SP_ArrowDown);
    QAction *tbddc = namedAction("tbddc", QStringLiteral("导出"), QStyle::SP_DialogSaveButton);
    for (QAction *a : {tbdNew, tbdEdit, tbddel, tbdpx, tbddc}) tbDetail->addAction(a);

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    fillMenu(PopupMenu2, {205, 206});
    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    fillMenu(PopupMenu3, {901, 902, 903, 0, 904, 31, 0, 905, 906});
    for (DataGrid *g : {DBGridEh2, DBGridEh3, DBGridEh4}) attachPopup(g, PopupMenu3);
    rpcList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rpcList, &QWidget::customContextMenuRequested, PopupMenu2,
            [this](const QPoint &pos) { PopupMenu2->popup(rpcList->mapToGlobal(pos)); });

    auto on = [this](QAction *a, auto handler) { connect(a, &QAction::triggered, this, handler); };
    // The editors are the service records' windows (the registry's 901 and 902).
    ownCommand(901, [this] {
        if (detailNewAllowed(*this, false)) runProvidedCommand(901);
    });
    on(tbdNew, [this] {
        if (detailNewAllowed(*this, true)) runProvidedCommand(901);
    });
    auto edit = [this] {
        if (detailEditAllowed(*this)) runProvidedCommand(902);
    };
    ownCommand(902, edit);
    on(tbdEdit, edit);
    ownCommand(903, [this] { detailDelete(*this); });
    on(tbddel, [this] { detailDelete(*this); });
    auto sort = [this] { MainCommands::sortGrid(detailGrid(currentTab(*this))); };
    ownCommand(904, sort);
    on(tbdpx, sort);
    auto exportTab = [this] {
        const int tab = currentTab(*this);
        ExportGridToExcel(*detailGrid(tab), detailSheetTitle(tab));
    };
    ownCommand(31, exportTab);
    on(tbddc, exportTab);
    ownCommand(905, [this] { ChooseColumns(*detailGrid(currentTab(*this))); });
    ownCommand(906, [this] {
        const int tab = currentTab(*this);
        AskAndSaveGridLayout(*detailGrid(tab), detailGridKey(tab));
    });

    for (DataGrid *g : {DBGridEh2, DBGridEh3, DBGridEh4})
        connect(g, &DataGrid::rowDoubleClicked, this, [tbdEdit] {
            if (tbdEdit->isVisible() && tbdEdit->isEnabled()) tbdEdit->trigger();
        });
}
