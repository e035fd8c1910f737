// The three service record editors on a real main window and on a list of
// their own: the fixed customer, the picked one, saving, continuous add,
// the navigator, the checks and what cancelling leaves.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "components/CommandRegistry.h"
#include "components/NumberEdit.h"
#include "components/RecordNavigator.h"
#include "customers/TFrmMain.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "service/ServiceEditors.h"
#include "service/ServiceListWindow.h"
#include "service/TfrmHFrecEdit.h"
#include "service/TfrmTSrecEdit.h"
#include "service/TfrmWXrecEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>

Q_DECLARE_METATYPE(ServiceKind)

namespace {

// Works the next modal window as an operator would; it ends with the result it was left with.
void onDialog(ScriptedDialogs &dialogs, const std::function<void(QDialog &)> &work)
{
    dialogs.handleDialog([work](QDialog &d) {
        work(d);
        return d.result();
    });
}

// A main window over two customers, with the editors' commands provided.
struct Fixture {
    explicit Fixture(const QString &backend)
    {
        dm = TestDb::freshModule(backend, dir.path());
        TestDb::signIn();
        addCustomer(QStringLiteral("A01"), QStringLiteral("某'商行"));
        addCustomer(QStringLiteral("A02"), QStringLiteral("乙"));
        CommandRegistry::instance().clear();
        provideServiceWindows();
        w = std::make_unique<TFrmMain>();
        w->SetLimits(QStringLiteral("admin"));
        w->RunQuery();
        customerId = dm->GetIntValue(QStringLiteral("select F_ID from t_client where F_code = 'A01'"));
    }
    ~Fixture() { CommandRegistry::instance().clear(); }

    void addCustomer(const QString &code, const QString &name)
    {
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name) values(%1,%2)")
                               .arg(sqlQuoted(code), sqlQuoted(name))));
    }
    int count(const QString &sql) { return dm->GetIntValue(sql); }
    // Runs a main window command; `work` handles the editor it opens.
    template <typename Editor>
    void command(int code, int tab, const std::function<void(Editor &)> &work)
    {
        w->rpcList->setCurrentIndex(tab);
        onDialog(seams.dialogs, [work](QDialog &d) {
            auto *e = dynamic_cast<Editor *>(&d);
            if (!e) qFatal("not the expected editor: %s", qPrintable(d.objectName()));
            work(*e);
        });
        CommandRegistry::instance().handler(code)(*w);
    }

    QTemporaryDir dir;
    ScopedSeams seams;
    std::unique_ptr<TdmData> dm;
    std::unique_ptr<TFrmMain> w;
    qint64 customerId = 0;
};

} // namespace

class TestServiceEditors : public QObject {
    Q_OBJECT
private slots:
    // From the main window: the current customer, fixed; the total follows
    // the price only; an unticked repair-done date is the no-date value and
    // comes back unticked; the edit saves, closes and stays on the record.
    void repairFromMain_data() { TestDb::addBackendRows(); }
    void repairFromMain()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.command<TfrmWXrecEdit>(901, 0, [&](TfrmWXrecEdit &e) {
            QCOMPARE(e.windowTitle(), QStringLiteral("维修记录 - 新增"));
            QCOMPARE(e.CustomerId, f.customerId);
            QCOMPARE(e.edtCLTcode->text(), QStringLiteral("A01"));
            QCOMPARE(e.edtCLTname->text(), QStringLiteral("某'商行"));
            QVERIFY(e.edtCLTcode->isReadOnly());
            QCOMPARE(e.edtCLTcode->focusPolicy(), Qt::NoFocus);
            QCOMPARE(e.edtCLTcode->palette().color(QPalette::Base), QColor(163, 149, 242));
            QVERIFY(e.sbCLTcode->isHidden());
            QVERIFY(e.bPrint->isHidden());
            QVERIFY(!e.dtpXFdate->isChecked());
            e.rceAmount->setValue(2);
            e.cePrice->setValue(12.5);
            QCOMPARE(e.ceTotalPrice->value(), 25.0);
            e.rceAmount->setValue(3);
            QCOMPARE(e.ceTotalPrice->value(), 25.0);
            e.cbbReason->setCurrentText(QStringLiteral("  不制冷 "));
            e.mem1->setPlainText(QStringLiteral(" 备注\n第二行 "));
            QTest::keyClick(&e, Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(e.result(), int(QDialog::Accepted));
        });
        QVERIFY2(f.seams.dialogs.texts() == QStringList {QStringLiteral("维修记录 - 新增")},
                 qPrintable(f.seams.dialogs.texts().join(u'|')));
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_WXrec where F_xfdate = '1900-08-14' and "
                                        "F_reason = '不制冷' and F_totalprice = 25 and F_amount = 3")), 1);
        QCOMPARE(f.dm->GetStrValue(QStringLiteral("select F_mem1 from T_WXrec")), QStringLiteral(" 备注\n第二行 "));
        QCOMPARE(f.count(QStringLiteral("select F_mainID from T_WXrec")), int(f.customerId));
        QCOMPARE(f.w->QryDetail1->recordCount(), 1);

        f.command<TfrmWXrecEdit>(902, 0, [&](TfrmWXrecEdit &e) {
            QCOMPARE(e.windowTitle(), QStringLiteral("维修记录 - 修改"));
            QVERIFY(!e.bPrint->isHidden());
            QVERIFY(e.edtCLTcode->isReadOnly() && e.sbCLTcode->isHidden());
            QVERIFY(!e.dtpXFdate->isChecked());
            QCOMPARE(e.dtpXFdate->date(), QDate::currentDate());
            QCOMPARE(e.ceTotalPrice->value(), 25.0);   // the stored total, not 3 x 12.5
            QCOMPARE(e.cbbReason->currentText(), QStringLiteral("不制冷"));
            e.dtpXFdate->setChecked(true);
            e.dtpXFdate->setDate(QDate(2026, 3, 4));
            e.Button1->click();
            QCOMPARE(e.result(), int(QDialog::Accepted));
        });
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_WXrec where F_xfdate = '2026-03-04'")), 1);
        QCOMPARE(f.count(QStringLiteral("select count(*) from LogRec where F_OperType = '修改维修记录！'")), 1);
        f.command<TfrmWXrecEdit>(902, 0, [&](TfrmWXrecEdit &e) {
            QVERIFY(e.dtpXFdate->isChecked());
            QCOMPARE(e.dtpXFdate->date(), QDate(2026, 3, 4));
            e.Button2->click();
        });
    }

    // Continuous add from the main window keeps the customer, locked; the
    // complaint's moment starts anew and comes back whole; the navigator
    // moves through the customer's complaints and shows each.
    void complaintFromMain_data() { TestDb::addBackendRows(); }
    void complaintFromMain()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.command<TfrmTSrecEdit>(901, 2, [&](TfrmTSrecEdit &e) {
            QVERIFY(e.CheckBox1->isVisibleTo(&e));
            e.CheckBox1->setChecked(true);
            e.dtpTSdate->setDate(QDate(2024, 3, 5));
            e.dtpTStime->setTime(QTime(14, 7, 9));
            e.memReason->setPlainText(QStringLiteral(" \n噪音大\n "));
            e.memo1->setPlainText(QStringLiteral(" 已上门\n"));
            e.Button1->click();
            QVERIFY(e.result() != QDialog::Accepted);
            QCOMPARE(e.edtCLTname->text(), QStringLiteral("某'商行"));
            QVERIFY(e.edtCLTcode->isReadOnly());
            QCOMPARE(e.dtpTSdate->date(), QDate::currentDate());
            QVERIFY(qAbs(e.dtpTStime->time().secsTo(QTime::currentTime())) < 5);
            QVERIFY(e.memReason->toPlainText().isEmpty());
            e.dtpTSdate->setDate(QDate(2024, 3, 6));
            e.dtpTStime->setTime(QTime(8, 0, 0));
            e.memReason->setPlainText(QStringLiteral("第二次"));
            e.CheckBox1->setChecked(false);
            e.Button1->click();
            QCOMPARE(e.result(), int(QDialog::Accepted));
        });
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_TSrec where F_mainID = %1").arg(f.customerId)), 2);
        QCOMPARE(f.dm->GetStrValue(QStringLiteral("select F_reason from T_TSrec where F_tsdate < '2024-03-06'")),
                 QStringLiteral("噪音大"));
        QCOMPARE(f.dm->GetStrValue(QStringLiteral("select F_memo1 from T_TSrec where F_tsdate < '2024-03-06'")),
                 QStringLiteral(" 已上门\n"));
        QCOMPARE(f.count(QStringLiteral("select count(*) from LogRec where F_OperType = '增加投诉记录！'")), 2);

        f.w->QryDetail3->first();
        f.command<TfrmTSrecEdit>(902, 2, [&](TfrmTSrecEdit &e) {
            QCOMPARE(e.dtpTSdate->date(), QDate(2024, 3, 5));
            QCOMPARE(e.dtpTStime->time(), QTime(14, 7, 9));
            e.memReason->setPlainText(QStringLiteral("dropped"));
            e.DBNavigator1->move(RecordNavigator::Next);
            QCOMPARE(e.dtpTSdate->date(), QDate(2024, 3, 6));
            QCOMPARE(e.dtpTStime->time(), QTime(8, 0, 0));
            QCOMPARE(e.memReason->toPlainText(), QStringLiteral("第二次"));
            e.Memo2->setPlainText(QStringLiteral("改过"));
            e.Button1->click();
        });
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_TSrec where F_memo2 = '改过' and F_tsdate > '2024-03-06'")), 1);
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_TSrec where F_reason = 'dropped'")), 0);
        QCOMPARE(f.w->QryDetail3->fieldByName(QStringLiteral("F_memo2")).asString(), QStringLiteral("改过"));
    }

    // With no customer nothing is written, whatever was typed as the code;
    // cancelling after typing writes nothing either.
    void noCustomer_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<ServiceKind>("kind");
        QTest::addColumn<QString>("message");
        for (const QString &b : TestDb::backends()) {
            QTest::newRow(qPrintable(b + QStringLiteral(" repair"))) << b << ServiceKind::Repair
                                                                      << QStringLiteral("当前用户名称不能为空！");
            QTest::newRow(qPrintable(b + QStringLiteral(" return visit"))) << b << ServiceKind::ReturnVisit
                                                                            << QStringLiteral("用户名称不能为空！");
            QTest::newRow(qPrintable(b + QStringLiteral(" complaint"))) << b << ServiceKind::Complaint
                                                                         << QStringLiteral("当前用户名称不能为空！");
        }
    }
    void noCustomer()
    {
        FETCH_BACKEND(backend);
        QFETCH(ServiceKind, kind);
        QFETCH(QString, message);
        Fixture f(backend);
        DataSet list(&f.dm->ADOcnn);
        int saves = 0;
        const char *const tables[] = {"T_WXrec", "T_HFrec", "T_TSrec"};
        const QString countSql = QStringLiteral("select count(*) from %1").arg(QLatin1String(tables[int(kind)]));
        for (bool cancel : {false, true}) {
            f.seams.dialogs.calls.clear();
            onDialog(f.seams.dialogs, [&](QDialog &d) {
                auto &e = static_cast<TfrmServiceEdit &>(d);
                QVERIFY(!e.sbCLTcode->isHidden());
                e.edtCLTcode->setText(QStringLiteral("A01"));
                if (cancel) {
                    QTest::keyClick(&e, Qt::Key_Escape);
                } else {
                    e.Button1->click();
                    QVERIFY(e.result() != QDialog::Accepted);
                    e.reject();
                }
            });
            EditFromList(kind, TfrmServiceEdit::NewMode, list, f.w.get(), [&](long long) { ++saves; });
            const QStringList expected = cancel ? QStringList {f.seams.dialogs.texts().value(0)}
                                                : QStringList {f.seams.dialogs.texts().value(0), message};
            QCOMPARE(f.seams.dialogs.texts(), expected);
            if (!cancel) QCOMPARE(f.seams.dialogs.calls.value(1).kind, 0);
        }
        QCOMPARE(saves, 0);
        QCOMPARE(f.count(countSql), 0);
    }

    // From a list window: the customer is picked; continuous add empties it
    // for the next visit; an edit saves the list's current row and hands its
    // id back; a typed code names its own customer, an unknown one none.
    void returnVisitFromList_data() { TestDb::addBackendRows(); }
    void returnVisitFromList()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        QVERIFY(f.dm->RunSQL(QStringLiteral("insert into t_code(F_name,F_type) values('小王','maker')")));
        DataSet list(&f.dm->ADOcnn);
        QList<long long> saved;
        auto reopen = [&](long long id) {
            saved << id;
            QVERIFY(f.dm->OpenSQL(QStringLiteral("select * from T_HFrec order by F_date"), &list));
            if (!list.locate(QStringLiteral("F_ID"), id)) list.last();
        };
        onDialog(f.seams.dialogs, [&](QDialog &d) {
            auto &e = static_cast<TfrmHFrecEdit &>(d);
            QCOMPARE(e.windowTitle(), QStringLiteral("回访记录 - 新增"));
            QCOMPARE(e.cbbEmpName->itemText(0), QString());
            QVERIFY(e.cbbEmpName->findText(QStringLiteral("小王")) > 0);
            f.seams.dialogs.handleDialog([](QDialog &) { return int(QDialog::Accepted); });
            e.sbCLTcode->click();   // the picker's first row: A01
            QCOMPARE(e.CustomerId, f.customerId);
            QCOMPARE(e.edtCLTname->text(), QStringLiteral("某'商行"));
            e.CheckBox1->setChecked(true);
            e.dtpDate->setDate(QDate(2026, 2, 27));
            e.cbbEmpName->setCurrentText(QStringLiteral(" 不在列表 "));
            e.mem2->setPlainText(QStringLiteral(" 处理\n"));
            e.Button1->click();
            QVERIFY(e.result() != QDialog::Accepted);
            QCOMPARE(e.CustomerId, 0);
            QVERIFY(e.edtCLTcode->text().isEmpty());
            QVERIFY(e.edtCLTname->text().isEmpty());
            QVERIFY(!e.edtCLTcode->isReadOnly());
            QCOMPARE(e.windowTitle(), QStringLiteral("回访记录 - 新增"));
            e.Button1->click();   // no customer picked again: refused
            QCOMPARE(f.seams.dialogs.texts().last(), QStringLiteral("用户名称不能为空！"));
            e.reject();
        });
        EditFromList(ServiceKind::ReturnVisit, TfrmServiceEdit::NewMode, list, f.w.get(), reopen);
        QCOMPARE(saved.size(), 1);
        QCOMPARE(list.recordCount(), 1);
        QCOMPARE(list.fieldByName(QStringLiteral("F_ID")).asInteger(), int(saved[0]));
        QCOMPARE(list.fieldByName(QStringLiteral("F_mem2")).asString(), QStringLiteral(" 处理\n"));
        QCOMPARE(list.fieldByName(QStringLiteral("F_mem1")).asString(), QString());
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_HFrec where F_mem1 = ''")), 1);

        onDialog(f.seams.dialogs, [&](QDialog &d) {
            auto &e = static_cast<TfrmHFrecEdit &>(d);
            QCOMPARE(e.windowTitle(), QStringLiteral("回访记录 - 修改"));
            QCOMPARE(e.cbbEmpName->currentText(), QStringLiteral("不在列表"));
            QCOMPARE(e.dtpDate->date(), QDate(2026, 2, 27));
            QVERIFY(!e.sbCLTcode->isHidden());
            // A code typed over the picked one names its own customer when the box is left.
            e.edtCLTcode->setText(QStringLiteral(" A02 "));
            emit e.edtCLTcode->editingFinished();
            QCOMPARE(e.edtCLTname->text(), QStringLiteral("乙"));
            e.Button1->click();
        });
        EditFromList(ServiceKind::ReturnVisit, TfrmServiceEdit::EditMode, list, f.w.get(), reopen);
        QCOMPARE(saved.size(), 2);
        QCOMPARE(saved[1], saved[0]);
        QCOMPARE(list.fieldByName(QStringLiteral("F_cltcode")).asString(), QStringLiteral("A02"));
        QCOMPARE(list.fieldByName(QStringLiteral("F_cltname")).asString(), QStringLiteral("乙"));
        QCOMPARE(list.fieldByName(QStringLiteral("F_mainID")).asInteger(),
                 f.count(QStringLiteral("select F_ID from t_client where F_code = 'A02'")));

        // An unknown code leaves no customer, so the save stops instead of filing the
        // record under the customer picked before.
        onDialog(f.seams.dialogs, [&](QDialog &d) {
            auto &e = static_cast<TfrmHFrecEdit &>(d);
            e.edtCLTcode->setText(QStringLiteral("无此'码"));
            emit e.edtCLTcode->editingFinished();
            QCOMPARE(e.CustomerId, 0);
            QVERIFY(e.edtCLTname->text().isEmpty());
            e.Button1->click();
            QVERIFY(e.result() != QDialog::Accepted);
            e.reject();
        });
        EditFromList(ServiceKind::ReturnVisit, TfrmServiceEdit::EditMode, list, f.w.get(), reopen);
        QCOMPARE(saved.size(), 2);
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_HFrec where F_cltcode = 'A02'")), 1);
        QCOMPARE(f.count(QStringLiteral("select count(*) from LogRec where F_OperType = '修改用户服务记录！'")), 1);
    }

    // A refused save says so and keeps the dialog open with what was typed, in its mode.
    void saveFails_data() { TestDb::addBackendRows(); }
    void saveFails()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        QVERIFY(f.dm->RunSQL(QStringLiteral("drop table T_TSrec")));
        f.command<TfrmTSrecEdit>(901, 2, [&](TfrmTSrecEdit &e) {
            e.CheckBox1->setChecked(true);
            e.memReason->setPlainText(QStringLiteral("漏水"));
            e.Button1->click();
            QVERIFY(e.result() != QDialog::Accepted);
            QCOMPARE(e.memReason->toPlainText(), QStringLiteral("漏水"));
            QCOMPARE(e.windowTitle(), QStringLiteral("投诉记录 - 新增"));
            QCOMPARE(f.seams.dialogs.texts().last(), QStringLiteral("保存失败，请检测数据库连接！"));
            QCOMPARE(f.seams.dialogs.calls.last().kind, 3);
        });
        QCOMPARE(f.count(QStringLiteral("select count(*) from LogRec")), 0);
    }

    // The repair list of the main window's command: a record added from it
    // shows in the main window's repairs of the customer too.
    void repairFromListCommand_data() { TestDb::addBackendRows(); }
    void repairFromListCommand()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        QCOMPARE(f.w->QryDetail1->recordCount(), 0);
        onDialog(f.seams.dialogs, [&](QDialog &d) {
            auto &list = static_cast<ServiceListWindow &>(d);
            onDialog(f.seams.dialogs, [&](QDialog &editor) {
                auto &e = static_cast<TfrmWXrecEdit &>(editor);
                QVERIFY(e.bPrint->isHidden());
                f.seams.dialogs.handleDialog([](QDialog &) { return int(QDialog::Accepted); });
                e.sbCLTcode->click();
                e.edtbillcode->setText(QStringLiteral(" W'7 "));
                e.Button1->click();
            });
            list.tbNewClick();
            QCOMPARE(list.QryTable->fieldByName(QStringLiteral("F_billcode")).asString(), QStringLiteral("W'7"));
        });
        CommandRegistry::instance().handler(208)(*f.w);
        QCOMPARE(f.w->QryDetail1->recordCount(), 1);
        QCOMPARE(f.w->QryDetail1->fieldByName(QStringLiteral("F_billcode")).asString(), QStringLiteral("W'7"));
    }

    // Entry order: the visitor, placed beside the date, comes after the two
    // memos; the complaint's memos are left out and reached by mouse.
    void entryOrder()
    {
        Fixture f(QStringLiteral("sqlite"));
        // The named controls Tab reaches after `from`, each once however many parts it has.
        auto chain = [](QDialog &e, QWidget *from, int steps) {
            QStringList names;
            QWidget *w = from;
            for (int guard = 0; names.size() < steps && guard < 500; ++guard) {
                w = w->nextInFocusChain();
                if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(&e) || !w->isEnabled()) continue;
                QWidget *named = w;
                while (named && (named->objectName().isEmpty() || named->objectName().startsWith(u"qt_")))
                    named = named->parentWidget();
                const QString name = named ? named->objectName() : QString();
                if (names.isEmpty() || names.last() != name) names << name;
            }
            return names;
        };
        TfrmHFrecEdit visit(nullptr, f.w.get());
        visit.prepare(TfrmServiceEdit::NewMode);
        QCOMPARE(chain(visit, visit.edtCLTcode, 4),
                 (QStringList {"dtpDate", "mem1", "mem2", "cbbEmpName"}));
        TfrmTSrecEdit complaint(nullptr, f.w.get());
        complaint.prepare(TfrmServiceEdit::NewMode);
        QCOMPARE(chain(complaint, complaint.edtCLTcode, 5),
                 (QStringList {"dtpTSdate", "dtpTStime", "cbbJibie", "cbbMaker", "Button1"}));
    }
};

QTEST_MAIN(TestServiceEditors)
#include "tst_serviceeditors.moc"
