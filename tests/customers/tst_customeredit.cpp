// The customer record editor on a real main window: adding, copying and
// changing customers, the checks, the code change, continuous add.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "components/NumberEdit.h"
#include "components/RecordNavigator.h"
#include "customers/TFrmMain.h"
#include "customers/TfrmCltEdit.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTest>

namespace {

QString value(TdmData &dm, const QString &sql) { return dm.GetStrValue(sql); }

} // namespace

class TestCustomerEdit : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        TestDb::signIn();
        TfrmCltEdit::AreaId = 0;
        m_dir.reset(new QTemporaryDir);
    }

    void newCustomerWithGeneratedCode_data() { TestDb::addBackendRows(); }
    void newCustomerWithGeneratedCode()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, m_dir->path());
        PubUnit::AutoCode = true;
        PubUnit::KeyValues.set(1, QStringLiteral("保修卡号"));
        PubUnit::FmtTotal = QStringLiteral("￥,0.00");
        TFrmMain main;
        main.show();
        TfrmCltEdit e(main);
        QVERIFY(e.prepare(TfrmCltEdit::NewMode));
        e.show();
        QCOMPARE(e.windowTitle(), QStringLiteral("用户档案 - 新增"));
        QCOMPARE(e.edtcode->text(), QStringLiteral("00000001"));
        QVERIFY(e.edtcode->isReadOnly());
        QCOMPARE(e.edtcode->palette().color(QPalette::Base), QColor(163, 149, 242));
        QCOMPARE(e.lblZF[0]->text(), QStringLiteral("保修卡号："));
        QVERIFY(e.CheckBox1->isVisible());
        QVERIFY(!e.DBNavigator1->isVisible());

        e.edtName->setText(QStringLiteral("  张三 "));
        e.edthandphone->setText(QStringLiteral("13900001111"));
        e.cbbType->setCurrentText(QStringLiteral("空调 "));
        e.rceAmount->setValue(2);
        e.cePrice->setValue(1500);
        QCOMPARE(e.ceTotalPrice->value(), 3000.0);
        e.ceTotalPrice->setValue(2800);   // typed over: stays until amount or price change
        e.edtZF[0]->setText(QStringLiteral(" 卡 "));
        e.dtpSetupDate->setChecked(true);
        e.dtpSetupDate->setDate(QDate(2026, 3, 1));
        e.cbIFshoukuan->setChecked(false);
        e.Button1->click();
        QCOMPARE(e.result(), int(QDialog::Accepted));
        QVERIFY2(seams.dialogs.calls.isEmpty(), qPrintable(seams.dialogs.texts().join(u'|')));

        QCOMPARE(value(*dm, QStringLiteral("select F_name from t_client where F_code = '00000001'")), QStringLiteral("张三"));
        QCOMPARE(value(*dm, QStringLiteral("select F_type from t_client")), QStringLiteral("空调"));
        QCOMPARE(value(*dm, QStringLiteral("select F_totalprice from t_client")).toDouble(), 2800.0);
        QCOMPARE(value(*dm, QStringLiteral("select F_ZF1 from t_client")), QStringLiteral(" 卡 "));   // as typed
        QCOMPARE(value(*dm, QStringLiteral("select F_empName from t_client")), QStringLiteral("admin"));
        QCOMPARE(value(*dm, QStringLiteral("select F_setupDate from t_client")).left(10), QStringLiteral("2026-03-01"));
        QCOMPARE(value(*dm, QStringLiteral("select F_awokeDate from t_client")).left(10), QStringLiteral("1900-08-14"));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select F_areaID from t_client")), -1);   // empty area
        // The list shows the new customer as its current row.
        QCOMPARE(main.QryMain->fieldByName(QStringLiteral("F_code")).asString(), QStringLiteral("00000001"));
        QCOMPARE(main.lblCLTnum->text(), QStringLiteral("记录总数： 1 条"));
    }

    void codeRepeat_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("autoCode");
        for (const QString &b : TestDb::backends()) {
            QTest::newRow(qPrintable(b + QStringLiteral(" typed codes"))) << b << false;
            QTest::newRow(qPrintable(b + QStringLiteral(" generated codes"))) << b << true;
        }
    }

    // A copy repeats the code: typed codes stop, generated ones move on.
    void codeRepeat()
    {
        FETCH_BACKEND(backend);
        QFETCH(bool, autoCode);
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_setupDate) values('00000007','李四','1900-08-14')")));
        PubUnit::AutoCode = autoCode;
        TFrmMain main;
        main.show();
        TfrmCltEdit e(main);
        QVERIFY(e.prepare(TfrmCltEdit::CopyMode));
        e.show();
        QCOMPARE(e.edtcode->text(), QStringLiteral("00000007"));
        QCOMPARE(e.edtName->text(), QStringLiteral("李四"));
        QVERIFY(!e.dtpSetupDate->isChecked());   // the no-date value shows unticked
        QCOMPARE(e.dtpSetupDate->date(), QDate::currentDate());
        e.Button1->click();
        if (autoCode) {
            QVERIFY(seams.dialogs.calls.isEmpty());
            QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client where F_code = '00000008'")), 1);
        } else {
            QCOMPARE(seams.dialogs.texts(), QStringList {QStringLiteral("用户ID码重复，请重新输入！")});
            QCOMPARE(seams.dialogs.calls[0].kind, 0);
            QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client")), 1);
            QVERIFY(e.result() != QDialog::Accepted);
            e.edtcode->setText(QStringLiteral("X'1"));   // a quote is a code like any other
            e.Button1->click();
            QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client where F_code = 'X''1'")), 1);
        }
        QCOMPARE(e.result(), int(QDialog::Accepted));
    }

    void repeatQuestions_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("answer");
        for (const QString &b : TestDb::backends()) {
            QTest::newRow(qPrintable(b + QStringLiteral(" yes"))) << b << 1;
            QTest::newRow(qPrintable(b + QStringLiteral(" no"))) << b << 2;
        }
    }

    // A repeated bill number or phone only asks; No keeps the dialog and writes nothing.
    void repeatQuestions()
    {
        FETCH_BACKEND(backend);
        QFETCH(int, answer);
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_phone,F_kpcode) values('A1','甲','0571-1','KP9')")));
        PubUnit::AutoCode = false;
        TFrmMain main;
        main.show();
        TfrmCltEdit e(main);
        QVERIFY(e.prepare(TfrmCltEdit::NewMode));
        e.show();
        e.edtcode->setText(QStringLiteral("A2"));
        e.edtName->setText(QStringLiteral("乙"));
        e.edtKPcode->setText(QStringLiteral("KP9"));
        e.edtphone->setText(QStringLiteral("0571-1"));
        seams.dialogs.answer(answer);
        seams.dialogs.answer(answer);
        e.Button1->click();
        if (answer == 2) {
            QCOMPARE(seams.dialogs.texts(), QStringList {QStringLiteral("票据号重复，是否保存当前输入？")});
            QCOMPARE(e.focusWidget(), e.edtKPcode);
            QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client")), 1);
        } else {
            QCOMPARE(seams.dialogs.texts(), (QStringList {QStringLiteral("票据号重复，是否保存当前输入？"),
                                                          QStringLiteral("客户电话重复，是否保存当前输入？")}));
            QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client")), 2);
        }
    }

    // Changing a customer's code moves its service records in the same
    // transaction; a failure part-way writes nothing at all.
    void codeChange_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("fail");
        for (const QString &b : TestDb::backends()) {
            QTest::newRow(qPrintable(b + QStringLiteral(" saved"))) << b << false;
            QTest::newRow(qPrintable(b + QStringLiteral(" refused"))) << b << true;
        }
    }

    void codeChange()
    {
        FETCH_BACKEND(backend);
        QFETCH(bool, fail);
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_phone,F_empName) values"
                                          "('C1','丙','0571-2','op9'),('C0','丁','0571-2','op9')")));
        QVERIFY(dm->RunSQL(QStringLiteral("insert into T_WXrec(F_cltcode,F_mainID) values('C1',5)")));
        QVERIFY(dm->RunSQL(QStringLiteral("insert into T_HFrec(F_cltcode,F_mainID) values('C1',5)")));
        QVERIFY(dm->RunSQL(QStringLiteral("insert into T_TSrec(F_cltcode,F_mainID) values('C1',5)")));
        if (fail) QVERIFY(dm->RunSQL(QStringLiteral("drop table T_TSrec")));   // the last statement is refused
        TFrmMain main;
        main.show();
        QVERIFY(main.QryMain->locate(QStringLiteral("F_code"), QStringLiteral("C1")));
        TfrmCltEdit e(main);
        QVERIFY(e.prepare(TfrmCltEdit::EditMode));
        e.show();
        QCOMPARE(e.windowTitle(), QStringLiteral("用户档案 - 修改"));
        QVERIFY(e.DBNavigator1->isVisible());
        QCOMPARE(e.edtEmpName->text(), QStringLiteral("op9"));
        e.edtcode->setText(QStringLiteral("C2"));
        e.edtName->setText(QStringLiteral("丙改"));
        seams.dialogs.answer(1);   // the phone is also another customer's
        e.Button1->click();
        if (fail) {
            QCOMPARE(seams.dialogs.texts().last(), QStringLiteral("保存失败，请检测数据库连接！"));
            QCOMPARE(seams.dialogs.calls.last().kind, 3);
            QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client where F_code = 'C1' and F_name = '丙'")), 1);
            QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from T_WXrec where F_cltcode = 'C1'")), 1);
            QVERIFY(e.result() != QDialog::Accepted);
            QCOMPARE(e.edtcode->text(), QStringLiteral("C2"));   // the entry stays for another try
        } else {
            QCOMPARE(e.result(), int(QDialog::Accepted));
            QCOMPARE(value(*dm, QStringLiteral("select F_name from t_client where F_code = 'C2'")), QStringLiteral("丙改"));
            QCOMPARE(value(*dm, QStringLiteral("select F_empName from t_client where F_code = 'C2'")), QStringLiteral("admin"));
            for (const char *table : {"T_WXrec", "T_HFrec", "T_TSrec"})
                QCOMPARE(dm->GetIntValue(QStringLiteral("select F_mainID from %1 where F_cltcode = 'C2'").arg(QLatin1String(table))), 5);
            QCOMPARE(main.QryMain->fieldByName(QStringLiteral("F_name")).asString(), QStringLiteral("丙改"));
        }
    }

    void continuousAddAndArea_data() { TestDb::addBackendRows(); }
    void continuousAddAndArea()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_treecode(F_Caption,F_flag) values('城东','area')")));
        const int cityEast = dm->GetIntValue(QStringLiteral("select F_ID from t_treecode where F_Caption = '城东'"));
        PubUnit::AutoCode = false;
        TFrmMain main;
        main.show();
        TfrmCltEdit e(main);
        QVERIFY(e.prepare(TfrmCltEdit::NewMode));
        e.show();
        e.CheckBox1->setChecked(true);
        e.edtcode->setText(QStringLiteral("00000041"));
        e.edtName->setText(QStringLiteral("戊"));
        e.cbbArea->setCurrentText(QStringLiteral("城东"));
        e.Button1->click();
        QVERIFY(e.isVisible());
        QVERIFY(e.result() != QDialog::Accepted);
        QCOMPARE(e.edtcode->text(), QStringLiteral("00000042"));
        QVERIFY(!e.edtcode->isReadOnly());
        QVERIFY(e.edtName->text().isEmpty());
        QCOMPARE(e.focusWidget(), e.edtName);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select F_areaID from t_client where F_code = '00000041'")), cityEast);
        QCOMPARE(main.lblCLTnum->text(), QStringLiteral("记录总数： 1 条"));
        // The area id holds for the run: any area now gets it without a look-up.
        e.edtName->setText(QStringLiteral("己"));
        e.cbbArea->setCurrentText(QStringLiteral("别处"));
        e.CheckBox1->setChecked(false);
        e.Button1->click();
        QCOMPARE(e.result(), int(QDialog::Accepted));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select F_areaID from t_client where F_code = '00000042'")), cityEast);
    }

    // Generated codes count on from the largest code that ends in a number
    // and are never a code in use, when the form opens and on a repeat.
    void generatedCodes_data() { TestDb::addBackendRows(); }
    void generatedCodes()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name) values"
                                          "('99999999','甲'),('00000000','乙'),('X0001118','丙')")));
        PubUnit::AutoCode = true;
        TFrmMain main;
        main.show();
        {
            TfrmCltEdit e(main);
            QVERIFY(e.prepare(TfrmCltEdit::NewMode));
            QCOMPARE(e.edtcode->text(), QStringLiteral("00000001"));
            e.show();
            e.CheckBox1->setChecked(true);
            e.edtName->setText(QStringLiteral("丁"));
            e.Button1->click();
            // Continuous add: the form is ready for the next sale, code fixed.
            QVERIFY(e.isVisible());
            QCOMPARE(e.edtcode->text(), QStringLiteral("00000002"));
            QVERIFY(e.edtcode->isReadOnly());
            e.Button2->click();
        }
        QVERIFY(main.QryMain->locate(QStringLiteral("F_code"), QStringLiteral("99999999")));
        TfrmCltEdit copy(main);
        QVERIFY(copy.prepare(TfrmCltEdit::CopyMode));
        copy.Button1->click();   // the copied code repeats: the next free one is taken
        QCOMPARE(copy.result(), int(QDialog::Accepted));
        QVERIFY2(seams.dialogs.calls.isEmpty(), qPrintable(seams.dialogs.texts().join(u'|')));
        QCOMPARE(value(*dm, QStringLiteral("select F_code from t_client where F_name = '甲' and F_code <> '99999999'")),
                 QStringLiteral("00000002"));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client")), 5);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(distinct F_code) from t_client")), 5);
    }

    // When no code can be looked up the new-record form does not open; the
    // picker buttons open the code list of their type.
    void noNextCodeAndPickers()
    {
        ScopedSeams seams;
        auto dm = TestDb::freshModule(QStringLiteral("sqlite"), m_dir->path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_code(F_name,F_type) values('冰箱','type'),('空调','type')")));
        PubUnit::AutoCode = true;
        TFrmMain main;
        main.show();
        QVERIFY(dm->RunSQL(QStringLiteral("alter table t_client rename to t_client_gone")));
        {
            TfrmCltEdit e(main);
            QVERIFY(!e.OpenEditor(TfrmCltEdit::NewMode));
            QCOMPARE(seams.dialogs.calls.size(), 1);
            QCOMPARE(seams.dialogs.calls[0].kind, 3);
            QVERIFY(seams.dialogs.texts()[0].startsWith(QStringLiteral("无法生成新的客户ID码")));
        }
        PubUnit::AutoCode = false;
        seams.dialogs.calls.clear();
        TfrmCltEdit e(main);
        QVERIFY(e.prepare(TfrmCltEdit::NewMode));
        QVERIFY(e.cbbType->findText(QStringLiteral("空调")) > 0);
        e.cbbType->setCurrentText(QStringLiteral("空调"));
        seams.dialogs.handleDialog([](QDialog &) { return int(QDialog::Accepted); });
        e.sbType->click();
        QCOMPARE(seams.dialogs.calls.size(), 1);
        QCOMPARE(seams.dialogs.calls[0].text, QStringLiteral("类别资料"));
        QCOMPARE(e.cbbType->currentText(), QStringLiteral("空调"));   // the picker started on it and kept it
    }

    void keysAndNavigator()
    {
        ScopedSeams seams;
        auto dm = TestDb::freshModule(QStringLiteral("sqlite"), m_dir->path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name) values('K1','一'),('K2','二'),('K3','三')")));
        TFrmMain main;
        main.show();
        TfrmCltEdit e(main);
        QVERIFY(e.prepare(TfrmCltEdit::EditMode));
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.activateWindow();
        e.edtName->setFocus();
        QTest::keyClick(e.edtName, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), e.edtcode);   // Enter moves on like Tab
        RecordNavigator *nav = e.DBNavigator1;
        using S = RecordNavigator::Step;
        // The list starts on its first row: only onwards.
        QCOMPARE(main.QryMain->recNo(), 0);
        QVERIFY(!nav->button(S::First)->isEnabled() && !nav->button(S::Prior)->isEnabled());
        QVERIFY(nav->button(S::Next)->isEnabled() && nav->button(S::Last)->isEnabled());
        nav->button(S::Last)->click();
        QCOMPARE(e.edtName->text(), QStringLiteral("三"));
        QCOMPARE(main.QryMain->recNo(), 2);
        QVERIFY(nav->button(S::First)->isEnabled() && nav->button(S::Prior)->isEnabled());
        QVERIFY(!nav->button(S::Next)->isEnabled() && !nav->button(S::Last)->isEnabled());
        nav->button(S::Prior)->click();
        QCOMPARE(e.edtcode->text(), QStringLiteral("K2"));
        e.edtName->setText(QStringLiteral("二改"));
        QTest::keyClick(e.edtName, Qt::Key_S, Qt::ControlModifier);   // Ctrl+S saves
        QCOMPARE(value(*dm, QStringLiteral("select F_name from t_client where F_code = 'K2'")), QStringLiteral("二改"));
        QCOMPARE(e.result(), int(QDialog::Accepted));
    }

    // Tab and Enter pass the free dates and the reminder date by, ticked or
    // not; the appointment dates are reached, their date once ticked.
    void dateTabStops_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("unticked") << false;
        QTest::newRow("ticked") << true;
    }
    void dateTabStops()
    {
        QFETCH(bool, ticked);
        ScopedSeams seams;
        auto dm = TestDb::freshModule(QStringLiteral("sqlite"), m_dir->path());
        PubUnit::AutoCode = false;
        TFrmMain main;
        main.show();
        TfrmCltEdit e(main);
        QVERIFY(e.prepare(TfrmCltEdit::NewMode));
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&e));
        for (CheckedDateEdit *d : {e.dtpRQ[0], e.dtpRQ[1], e.dtpRQ[2], e.dtpAwokeDate, e.dtpSetupDate})
            d->setChecked(ticked);
        e.edtName->setFocus();
        QSet<QWidget *> reached;
        for (int i = 0; i < 120; ++i) {
            // Enter presses a focused button, so buttons are passed with Tab.
            QWidget *at = QApplication::focusWidget();
            QTest::keyClick(at, i % 2 || qobject_cast<QPushButton *>(at) ? Qt::Key_Tab : Qt::Key_Return);
            reached << QApplication::focusWidget();
        }
        for (CheckedDateEdit *d : {e.dtpRQ[0], e.dtpRQ[1], e.dtpRQ[2], e.dtpAwokeDate})
            for (QWidget *w : std::as_const(reached))
                QVERIFY2(w != d && !d->isAncestorOf(w), qPrintable(d->objectName() + u' ' + w->metaObject()->className()));
        QVERIFY(reached.contains(static_cast<QWidget *>(e.dtpSetupDate->tickBox())));
        QCOMPARE(reached.contains(static_cast<QWidget *>(e.dtpSetupDate->dateEdit())), ticked);
        QVERIFY(reached.contains(static_cast<QWidget *>(e.edtZF[4])));
        QVERIFY(reached.contains(static_cast<QWidget *>(e.rceSZ[2])));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestCustomerEdit)
#include "tst_customeredit.moc"
