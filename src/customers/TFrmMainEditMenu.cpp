// The 编辑 menu: new, copy, change and delete a customer, and the customer
// grid's sort, columns and layout.

#include "TFrmMain.h"

#include "MainCommandHelpers.h"
#include "MainCommandSql.h"
#include "TfrmCltEdit.h"

#include "app/Companion.h"
#include "components/DataGrid.h"
#include "components/GridLayout.h"
#include "data/TdmData.h"

#include <QAction>
#include <QMenu>

using MainCommands::listEmpty;

namespace {

void openCustomerEditor(TFrmMain &w, int mode)
{
    TfrmCltEdit editor(w, &w);
    editor.OpenEditor(mode);
}

void editCustomer(TFrmMain &w)
{
    if (listEmpty(w.QryMain)) {
        ShowMess(QStringLiteral("此表为空，没有售后记录需要修改！"), 3);
        return;
    }
    openCustomerEditor(w, TfrmCltEdit::EditMode);
}

void copyCustomer(TFrmMain &w)
{
    if (listEmpty(w.QryMain)) {
        ShowMess(QStringLiteral("售后记录是空，不能复制！"), 0);
        return;
    }
    openCustomerEditor(w, TfrmCltEdit::CopyMode);
}

bool runStatements(const QStringList &statements)
{
    for (const QString &sql : statements) {
        dmData->QryPub->close();
        dmData->QryPub->params().clear();
        dmData->QryPub->setSql(sql);
        if (!dmData->QryPub->execSql()) return false;
    }
    return true;
}

// All or nothing: the customer's service records and the customer. A code
// that is empty or shared by other customers does not name this customer
// alone, so then only this row and the records attached to it go.
void deleteCustomer(TFrmMain &w)
{
    if (listEmpty(w.QryMain) || !dmData) return;
    const QString name = w.QryMain->fieldByName(QStringLiteral("F_Name")).asString();
    if (ShowMess(customerDeleteQuestion(name), 1, Mess::No) != Mess::Yes) return;
    const QString code = w.QryMain->fieldByName(QStringLiteral("F_code")).asString();
    const qint64 id = w.QryMain->fieldByName(QStringLiteral("F_ID")).value().toLongLong();

    bool ok = false;
    bool listRerun = false;
    {
        ScopedTransaction transaction(dmData->ADOcnn);
        ok = transaction.isActive();
        if (ok) {
            const bool codeIsTheCustomers =
                !code.trimmed().isEmpty() && dmData->GetIntValue(customersWithCodeSql(code)) == 1;
            ok = runStatements(codeIsTheCustomers ? customerDeleteStatements(code) : customerRowDeleteStatements(id));
        }
        if (ok) {
            w.RunQuery();
            listRerun = true;
            ok = transaction.commit();
        }
    }
    if (!ok) {
        ShowMess(QStringLiteral("操作失败，请检查连接..."), 3);
        // The list was read inside the rolled-back transaction.
        if (listRerun) w.RunQuery();
    }
}

} // namespace

void TFrmMain::createEditMenu()
{
    mnuEdit = addMainMenu("mnuEdit", QStringLiteral("编辑"));
    fillMenu(mnuEdit, {201, 207, 202, 203, 0, 208, 209, 210, 0, 205, 206, 204});

    ownCommand(201, [this] { openCustomerEditor(*this, TfrmCltEdit::NewMode); });
    ownCommand(202, [this] { editCustomer(*this); });
    ownCommand(207, [this] { copyCustomer(*this); });
    ownCommand(203, [this] { deleteCustomer(*this); });
    ownCommand(204, [this] { MainCommands::sortGrid(DBGridEh1); });
    ownCommand(205, [this] { ChooseColumns(*DBGridEh1); });
    ownCommand(206, [this] { AskAndSaveGridLayout(*DBGridEh1, QStringLiteral("clientmain")); });

    connect(DBGridEh1, &DataGrid::rowDoubleClicked, this, [this] {
        if (action(202)->isVisible()) action(202)->trigger();
    });
}
