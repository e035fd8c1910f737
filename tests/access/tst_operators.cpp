// Operators and rights: the list window, the editor, the password change and
// what the next login makes of them, against a real database.

#include "LoginDriver.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "access/OperatorSql.h"
#include "access/OperatorStore.h"
#include "access/TFrmLimitGl.h"
#include "access/TfrmModPass.h"
#include "access/TfrmOperGl.h"
#include "access/TfrmOperLogin.h"
#include "app/CommandTable.h"
#include "app/Companion.h"
#include "app/PubUnit.h"
#include "components/DataGrid.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Entry {
    Entry(QString n, QString p = {}, QString r = {}, QStringList g = {}, bool d = false, bool o = false, QString m = {})
        : name(std::move(n)), password(std::move(p)), repeat(std::move(r)), rights(std::move(g)), disabled(d),
          ownOnly(o), mem(std::move(m))
    {
    }
    QString name;
    QString password;
    QString repeat;
    QStringList rights;
    bool disabled = false;
    bool ownOnly = false;
    QString mem;
};

void fill(TFrmLimitGl &e, const Entry &x)
{
    e.cbbName->setEditText(x.name);
    e.edtPassWord->setText(x.password);
    e.edtRepPass->setText(x.repeat);
    e.Mem1->setPlainText(x.mem);
    e.CheckBox1->setChecked(x.disabled);
    e.cbXtFlag->setChecked(x.ownOnly);
    e.setAllRights(false);
    for (int i = 0; i < e.clbOperLimt->count(); ++i)
        if (x.rights.contains(e.clbOperLimt->item(i)->text())) e.clbOperLimt->item(i)->setCheckState(Qt::Checked);
}

// Opens the editor from the list (new or edit) and saves each entry in turn.
void editFromList(ScopedSeams &seams, TfrmOperGl &list, bool edit, const QList<Entry> &entries)
{
    seams.dialogs.handleDialog([entries](QDialog &d) {
        auto &e = static_cast<TFrmLimitGl &>(d);
        for (const Entry &x : entries) {
            fill(e, x);
            e.BitBtn1->click();
        }
        return e.result();
    });
    edit ? list.Button2Click() : list.Button1Click();
}

QStringList grantedCodes(TdmData *dm, const QString &oper)
{
    const QString before = PubUnit::CurOper;
    PubUnit::CurOper = oper;
    QStringList codes;
    for (int code : Commands::rightCodes())
        if (dm->HasRight(QString::number(code))) codes << QString::number(code);
    PubUnit::CurOper = before;
    return codes;
}

QStringList listedNames(TfrmOperGl &list)
{
    QStringList names;
    DataSet *q = list.QryTable;
    const int row = q->recNo();
    for (q->first(); !q->eof(); q->next()) names << q->fieldByName(QStringLiteral("F_Name")).asString();
    q->setRecNo(row);
    return names;
}

int count(TdmData *dm, const QString &sql) { return dm->GetIntValue(sql); }

bool logsIn(const QString &name, const QString &password, ScopedSeams &seams)
{
    LoginDriver driver;
    driver.add(name, password);
    const int before = int(seams.dialogs.calls.size());
    const bool ok = RunLogin(TfrmOperLogin::ChangeOperator, {});
    // A refusal shows its message; only then is the window cancelled.
    return ok && int(seams.dialogs.calls.size()) == before;
}

const QString kSaveFailed = QStringLiteral("保存失败，请检测数据库连接！");

} // namespace

class TestOperators : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }
    void cleanup()
    {
        PubUnit::resetLoginState();
        dmData = nullptr;
    }

    void statements();
    void addedOperatorLogsInWithItsRights_data() { TestDb::addBackendRows(); }
    void addedOperatorLogsInWithItsRights();
    void renameAndDisable_data() { TestDb::addBackendRows(); }
    void renameAndDisable();
    void defaultOperatorProtected_data() { TestDb::addBackendRows(); }
    void defaultOperatorProtected();
    void editorChecks_data() { TestDb::addBackendRows(); }
    void editorChecks();
    void failedSaveWritesNothing_data() { TestDb::addBackendRows(); }
    void failedSaveWritesNothing();
    void deleteAndList_data() { TestDb::addBackendRows(); }
    void deleteAndList();
    void passwordChange_data() { TestDb::addBackendRows(); }
    void passwordChange();
};

void TestOperators::statements()
{
    const QString v = QStringLiteral("O'B%");
    QCOMPARE(operListSql(false), QStringLiteral("select * from OperList where (1=1) and F_flag = 0 order by F_ID"));
    QCOMPARE(operListSql(true), QStringLiteral("select * from OperList where (1=1) order by F_ID"));
    QCOMPARE(operatorIdSql(v), QStringLiteral("Select F_ID from OperList Where F_Name = 'O''B%' "));
    QCOMPARE(offeredRightsSql(), QStringLiteral("select * from limits where isNull(F_flag,0) = 1 order by F_code"));
    QCOMPARE(operLimitSql(v), QStringLiteral("select * from OperLimit where F_OperName = 'O''B%' "));
    QCOMPARE(deleteOperLimitSql(v), QStringLiteral("delete from OperLimit where F_OperName = 'O''B%' "));
    QCOMPARE(insertOperLimitSql(v, QStringLiteral("a'b")),
             QStringLiteral("insert into OperLimit(F_OperName,F_lmtName)Values('O''B%','a''b')"));
    QCOMPARE(operatorInsertSql(), QStringLiteral("Insert into OperList(F_Name,F_password,F_mem,F_flag,F_xtFlag) "
                                                 "Values(:fName,:fPassword,:mem,:fFlag,:xtFlag) "));
    QCOMPARE(operatorUpdateSql(), QStringLiteral("Update OperList Set F_Name = :fName,F_Password = :fPassword, "
                                                 "F_mem = :mem,F_Flag = :fFlag,F_xtFlag = :xtFlag Where F_ID = :iID"));
    QCOMPARE(ownPasswordSql(v), QStringLiteral("Select F_ID,F_PassWord From OperList Where (F_Name = 'O''B%')"));
    QCOMPARE(deleteOperatorQuestion(QStringLiteral("张三")), QStringLiteral("真的要删除当前操作员 \"张三\" 吗？"));
    for (const char *n : {"admin", "ADMIN", " Admin ", "aDmIn"}) QVERIFY2(isDefaultOperator(QString::fromLatin1(n)), n);
    for (const char *n : {"admin1", "adm in", ""}) QVERIFY2(!isDefaultOperator(QString::fromLatin1(n)), n);
    QCOMPARE(operatorNameLimit(), 50);
}

void TestOperators::addedOperatorLogsInWithItsRights()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    TestDb::signIn();
    ScopedSeams seams;
    TfrmOperGl list;
    list.LoadList();

    // The offered rights, in code order; those not offered are not in the list.
    TFrmLimitGl *editor = nullptr;
    QStringList offered;
    seams.dialogs.handleDialog([&](QDialog &d) {
        auto &e = static_cast<TFrmLimitGl &>(d);
        editor = &e;
        for (int i = 0; i < e.clbOperLimt->count(); ++i) offered << e.clbOperLimt->item(i)->text();
        fill(e, {QStringLiteral("王'五%"), QStringLiteral("密 码"), QStringLiteral("密 码"),
                 {QStringLiteral("新增"), QStringLiteral("修改"), QStringLiteral("公司信息")}, false, true,
                 QStringLiteral("门店'一")});
        e.BitBtn1->click();
        // New mode stays open, emptied, for the next operator.
        [&] {
            QVERIFY(e.isVisible());
            QCOMPARE(e.cbbName->currentText(), QString());
            QCOMPARE(e.edtPassWord->text(), QString());
            QVERIFY(e.tickedRights().isEmpty());
        }();
        fill(e, {QStringLiteral("赵六"), QString(), QString(), {}, false, false, QString()});
        e.Button1->click();   // 全选
        e.BitBtn1->click();
        return int(QDialog::Rejected);
    });
    list.Button1Click();
    QVERIFY2(seams.dialogs.count(kSaveFailed) == 0, qPrintable(seams.dialogs.texts().join(u'\n')));
    QVERIFY(editor);
    QCOMPARE(offered.first(), QStringLiteral("公司信息"));
    QVERIFY(!offered.contains(QStringLiteral("区域...")));
    // The list was reloaded onto the last operator saved.
    QCOMPARE(list.QryTable->fieldByName(QStringLiteral("F_Name")).asString(), QStringLiteral("赵六"));
    QCOMPARE(listedNames(list), (QStringList{QStringLiteral("admin"), QStringLiteral("王'五%"), QStringLiteral("赵六")}));

    QCOMPARE(grantedCodes(dm.get(), QStringLiteral("王'五%")),
             (QStringList{QStringLiteral("101"), QStringLiteral("201"), QStringLiteral("202")}));
    // 全选 grants every offered right and nothing else.
    QStringList all;
    for (const CommandInfo &c : Commands::all())
        if (Commands::isRight(c) && c.offered) all << QString::number(c.code);
    QCOMPARE(grantedCodes(dm.get(), QStringLiteral("赵六")), all);

    // Both log in: one with its password, the other with the empty one.
    QVERIFY(logsIn(QStringLiteral("王'五%"), QStringLiteral("密 码"), seams));
    QCOMPARE(PubUnit::CurOper, QStringLiteral("王'五%"));
    QVERIFY(!PubUnit::SeeAllClients);
    QVERIFY(logsIn(QStringLiteral("赵六"), QString(), seams));
    QVERIFY(PubUnit::SeeAllClients);

    // Reopened in edit mode the editor shows what was saved.
    QVERIFY(list.QryTable->locate(QStringLiteral("F_Name"), QStringLiteral("王'五%")));
    QStringList ticked;
    QString password, mem;
    bool ownOnly = false;
    seams.dialogs.handleDialog([&](QDialog &d) {
        auto &e = static_cast<TFrmLimitGl &>(d);
        ticked = e.tickedRights();
        password = e.edtRepPass->text();
        mem = e.Mem1->toPlainText();
        ownOnly = e.cbXtFlag->isChecked();
        return int(QDialog::Rejected);
    });
    list.Button2Click();
    QCOMPARE(ticked, (QStringList{QStringLiteral("公司信息"), QStringLiteral("新增"), QStringLiteral("修改")}));
    QCOMPARE(password, QStringLiteral("密 码"));
    QCOMPARE(mem, QStringLiteral("门店'一"));
    QVERIFY(ownOnly);
}

void TestOperators::renameAndDisable()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    TestDb::signIn();
    ScopedSeams seams;
    TfrmOperGl list;
    list.LoadList();
    const QStringList three{QStringLiteral("新增"), QStringLiteral("导出"), QStringLiteral("统计")};
    editFromList(seams, list, false, {{QStringLiteral("张三"), QStringLiteral("p"), QStringLiteral("p"), three}});

    // Renamed under its own id: the rights follow the new name.
    QVERIFY(list.QryTable->locate(QStringLiteral("F_Name"), QStringLiteral("张三")));
    int editResult = -1;
    seams.dialogs.handleDialog([&](QDialog &d) {
        auto &e = static_cast<TFrmLimitGl &>(d);
        e.cbbName->setEditText(QStringLiteral("张三丰"));
        e.BitBtn1->click();
        editResult = e.result();
        return e.result();
    });
    list.Button2Click();
    QCOMPARE(editResult, int(QDialog::Accepted));   // edit mode closes after saving
    QCOMPARE(list.QryTable->fieldByName(QStringLiteral("F_Name")).asString(), QStringLiteral("张三丰"));
    QCOMPARE(grantedCodes(dm.get(), QStringLiteral("张三丰")),
             (QStringList{QStringLiteral("201"), QStringLiteral("301"), QStringLiteral("401")}));
    QVERIFY(logsIn(QStringLiteral("张三丰"), QStringLiteral("p"), seams));
    QVERIFY(!logsIn(QStringLiteral("张三"), QStringLiteral("p"), seams));
    QCOMPARE(seams.dialogs.calls.last().text, QStringLiteral("此操作员并不存在，请重新选择操作员！"));

    // Saved again under its unchanged name: allowed.
    editFromList(seams, list, true, {{QStringLiteral("张三丰"), QStringLiteral("p"), QStringLiteral("p"), three, true}});
    QCOMPARE(seams.dialogs.count(QStringLiteral("操作员名称重复，请重新输入！")), 0);

    // Disabled: gone from the list unless asked for, and refused at the next login.
    QCOMPARE(listedNames(list), QStringList{QStringLiteral("admin")});
    list.CheckBox1->click();
    QCOMPARE(listedNames(list), (QStringList{QStringLiteral("admin"), QStringLiteral("张三丰")}));
    QVERIFY(!logsIn(QStringLiteral("张三丰"), QStringLiteral("p"), seams));
    QCOMPARE(seams.dialogs.calls.last().text, QStringLiteral("此操作员已被禁用，不能登录！"));

    // A row whose flag was never set is listed among the disabled, but is not
    // locked out: only the editor's 用户禁用 bars a login.
    QVERIFY(dm->RunSQL(QStringLiteral("insert into OperList(F_Name,F_PassWord) values('无标记','')")));
    list.CheckBox1->click();
    QCOMPARE(listedNames(list), QStringList{QStringLiteral("admin")});
    QVERIFY(logsIn(QStringLiteral("无标记"), QString(), seams));
}

void TestOperators::defaultOperatorProtected()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    TestDb::signIn();
    for (const QString &spelling : {QStringLiteral("admin"), QStringLiteral("ADMIN"), QStringLiteral("Admin")}) {
        QVERIFY(dm->RunSQL(QStringLiteral("update OperList set F_Flag = 0, F_Name = ") + sqlQuoted(spelling)));
        ScopedSeams seams;
        TfrmOperGl list;
        list.LoadList();
        list.Button2Click();
        list.Button3Click();
        QCOMPARE(seams.dialogs.texts(), (QStringList{QStringLiteral("此用户为系统默认用户，不能修改和编辑！"),
                                                     QStringLiteral("此用户为系统默认用户，不能删除！")}));
        QCOMPARE(seams.dialogs.calls.at(0).kind, 3);
        QCOMPARE(seams.dialogs.calls.at(1).kind, 3);
        QCOMPARE(count(dm.get(), QStringLiteral("select count(*) from OperList")), 1);
        // However spelt, admin logs in, even with a flag that would disable anyone else.
        QVERIFY(dm->RunSQL(QStringLiteral("update OperList set F_Flag = 1")));
        QVERIFY(logsIn(spelling, QString(), seams));
    }
}

void TestOperators::editorChecks()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    TestDb::signIn();
    ScopedSeams seams;
    TfrmOperGl list;
    list.LoadList();
    const QString huge(10000, u'长');
    const QString nul = QStringLiteral("李") + QChar(u'\0') + QStringLiteral("四");
    editFromList(seams, list, false,
                 {{QStringLiteral("   "), QString(), QString()},
                  {QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("a ")},
                  {huge, QString(), QString()},
                  {QStringLiteral("x"), huge, huge},
                  {QStringLiteral(" Admin "), QString(), QString()},
                  {nul, QString(), QString(), {}, false, false, huge + QChar(u'\0') + QStringLiteral("'%")},
                  {QStringLiteral("李四"), QString(), QString()}});
    QCOMPARE(seams.dialogs.texts(),
             (QStringList{QStringLiteral("操作员"), QStringLiteral("操作员名称不能为空！"),
                          QStringLiteral("验正码不正确，请重新确认输入！"),
                          QStringLiteral("“用户名称”最多只能输入 50 个字符（现有 10000 个），请修改！"),
                          QStringLiteral("密码太长：最多 180 个字节（一个汉字占 3 个），请重新输入！"),
                          QStringLiteral("操作员名称重复，请重新输入！"),
                          QStringLiteral("操作员名称重复，请重新输入！")}));
    for (int i = 1; i < seams.dialogs.calls.size(); ++i) QCOMPARE(seams.dialogs.calls.at(i).kind, 0);
    // The NUL was dropped from the name; the long description was stored whole.
    QCOMPARE(count(dm.get(), QStringLiteral("select count(*) from OperList where F_Name = '李四'")), 1);
    const QString mem = dm->GetStrValue(QStringLiteral("select F_Mem from OperList where F_Name = '李四'"));
    QCOMPARE(mem, huge + QStringLiteral("'%"));
}

void TestOperators::failedSaveWritesNothing()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    TestDb::signIn();
    OperatorStore store(*dm);
    QVERIFY(store.save({QStringLiteral("张三"), QStringLiteral("p"), QString(), false, false, {QStringLiteral("新增")}},
                       std::nullopt));
    const qint64 id = dm->GetIntValue(operatorIdSql(QStringLiteral("张三")));
    QVERIFY(id > 0);

    // The grants cannot be written: the operator row keeps its old name.
    QVERIFY(dm->RunSQL(QStringLiteral("alter table OperLimit rename to OperLimitGone")));
    ScopedSeams seams;
    TfrmOperGl list;
    list.LoadList();
    QVERIFY(list.QryTable->locate(QStringLiteral("F_Name"), QStringLiteral("张三")));
    bool stayedOpen = false;
    seams.dialogs.handleDialog([&](QDialog &d) {
        auto &e = static_cast<TFrmLimitGl &>(d);
        e.cbbName->setEditText(QStringLiteral("张三丰"));
        e.BitBtn1->click();
        stayedOpen = e.isVisible() && e.cbbName->currentText() == QStringLiteral("张三丰");
        return e.result();
    });
    list.Button2Click();
    QVERIFY(stayedOpen);
    QCOMPARE(seams.dialogs.texts().last(), kSaveFailed);
    QCOMPARE(seams.dialogs.calls.last().kind, 3);
    QVERIFY(!dm->ADOcnn.inTransaction());
    QCOMPARE(dm->GetStrValue(QStringLiteral("select F_Name from OperList where F_ID = %1").arg(id)), QStringLiteral("张三"));
    QVERIFY(dm->RunSQL(QStringLiteral("alter table OperLimitGone rename to OperLimit")));
    QCOMPARE(grantedCodes(dm.get(), QStringLiteral("张三")), QStringList{QStringLiteral("201")});

    // An operator deleted meanwhile by another workstation is not saved into.
    QVERIFY(dm->RunSQL(QStringLiteral("delete from OperList where F_ID = %1").arg(id)));
    QVERIFY(!store.save({QStringLiteral("张三"), QStringLiteral("p"), QString(), false, false, {}}, id));
    QCOMPARE(grantedCodes(dm.get(), QStringLiteral("张三")), QStringList{QStringLiteral("201")});
}

void TestOperators::deleteAndList()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    TestDb::signIn();
    OperatorStore store(*dm);
    QVERIFY(store.save({QStringLiteral("张\"三'"), QString(), QStringLiteral("说明"), false, true, {}}, std::nullopt));
    ScopedSeams seams;
    TfrmOperGl list;
    list.LoadList();
    QVERIFY(list.QryTable->locate(QStringLiteral("F_Name"), QStringLiteral("张\"三'")));
    QCOMPARE(list.DBMemo1->toPlainText(), QStringLiteral("说明"));
    QVERIFY(list.DBCheckBox1->isChecked());

    seams.dialogs.answer(Mess::No);
    list.Button3Click();
    QCOMPARE(seams.dialogs.calls.last().text, QStringLiteral("真的要删除当前操作员 \"张\"三'\" 吗？"));
    QCOMPARE(seams.dialogs.calls.last().kind, 1);
    QCOMPARE(listedNames(list).size(), 2);
    seams.dialogs.answer(Mess::Yes);
    list.Button3Click();
    QCOMPARE(listedNames(list), QStringList{QStringLiteral("admin")});

    // An empty list: 修改 says so, 删除 does nothing.
    QVERIFY(dm->RunSQL(QStringLiteral("update OperList set F_Flag = 1")));
    list.LoadList();
    seams.dialogs.calls.clear();
    list.Button3Click();
    QVERIFY(seams.dialogs.calls.isEmpty());
    list.Button2Click();
    QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("此表为空，没有记录需要修改！")});
}

void TestOperators::passwordChange()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    TestDb::signIn(QStringLiteral("admin"));
    ScopedSeams seams;
    struct Case {
        QString oldPass, newPass, repeat, message;
        int kind;
        QString stored;   // the password afterwards
    };
    const QList<Case> cases{
        {QStringLiteral("wrong"), QStringLiteral("n"), QStringLiteral("n"), QStringLiteral("旧口令输入错误，不能更改！"), 2, QString()},
        {QString(), QStringLiteral("n1"), QStringLiteral("n2"), QStringLiteral("新口令错误，不能更改！"), 0, QString()},
        // Blanks around the repetition do not count; the password keeps them as typed first.
        {QString(), QStringLiteral(" 新'口令 "), QStringLiteral("新'口令"), QStringLiteral("更改口令成功！"), 0, QStringLiteral(" 新'口令 ")},
        {QStringLiteral(" 新'口令 "), QString(180 / 3 + 1, u'密'), QString(180 / 3 + 1, u'密'),
         QStringLiteral("新口令太长：最多 180 个字节（一个汉字占 3 个），不能更改！"), 0, QStringLiteral(" 新'口令 ")},
        {QStringLiteral(" 新'口令 "), QString(), QString(), QStringLiteral("更改口令成功！"), 0, QString()},
    };
    for (const Case &c : cases) {
        TfrmModPass frm;
        QCOMPARE(frm.Label1->text(), QStringLiteral("当前操作员：admin "));
        frm.show();
        frm.edtOldPass->setText(c.oldPass);
        frm.edtNewPass->setText(c.newPass);
        frm.edtAdjustPass->setText(c.repeat);
        seams.dialogs.calls.clear();
        frm.BitBtn1->click();
        QCOMPARE(seams.dialogs.texts(), QStringList{c.message});
        QCOMPARE(seams.dialogs.calls.first().kind, c.kind);
        QCOMPARE(frm.result(), int(QDialog::Accepted));   // closes whatever the outcome
        QVERIFY(!frm.isVisible());
        if (c.message == QStringLiteral("新口令错误，不能更改！")) QVERIFY(frm.edtNewPass->text().isEmpty());
        QCOMPARE(GetPass(dm->GetStrValue(QStringLiteral("select F_PassWord from OperList where F_Name = 'admin'"))), c.stored);
    }
    // The changed password is the one the next login asks for.
    QVERIFY(dm->RunSQL(QStringLiteral("update OperList set F_PassWord = ") + sqlQuoted(SavePass(QStringLiteral("新 pw")))));
    QVERIFY(!logsIn(QStringLiteral("admin"), QString(), seams));
    QVERIFY(logsIn(QStringLiteral("admin"), QStringLiteral("新 pw"), seams));
}

QTEST_MAIN(TestOperators)
#include "tst_operators.moc"
