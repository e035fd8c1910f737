// The advanced customer query: its statement letter for letter, the dialog
// with its defaults and keys, and the main window's toggle on a small archive.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "customers/AdvancedQuerySql.h"
#include "customers/TDlgCltCx.h"
#include "customers/TFrmMain.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(AdvancedQuery)

namespace {

const QString kBase = QStringLiteral("select * from t_client where (1=1) ");
const QString kInUseUnpaid = QStringLiteral("and isNull(F_useFlag,0) = 0 and isNull(F_IFshoukuan,0) = 0 ");

AdvancedQuery anyRow()
{
    AdvancedQuery q;
    q.useState = AdvancedQuery::AnyUse;
    q.paidState = AdvancedQuery::AnyPaid;
    return q;
}

DateRangeFilter range(const char *from, const char *to)
{
    DateRangeFilter r;
    r.on = true;
    r.fromOn = from != nullptr;
    r.from = from ? QDate::fromString(QLatin1String(from), Qt::ISODate) : QDate(2030, 1, 1);
    r.toOn = to != nullptr;
    r.to = to ? QDate::fromString(QLatin1String(to), Qt::ISODate) : QDate(2030, 1, 1);
    return r;
}

struct Customer {
    const char *code, *name, *emp;
    int disabled, paid;
    const char *buyDate, *setupDate, *setupDate1, *type, *area, *memo;
};

// Setup dates include the no-date value and a missing one.
const Customer kCustomers[] = {
    {"0001", "东方商行", "admin", 0, 0, "2006-01-01", "1900-08-14", nullptr, "空调", "国美", "老客户"},
    {"0002", "西城商行", "op1", 0, 0, "2006-01-31", "2006-02-05", "2006-02-20", "冰箱", "苏宁", ""},
    {"0003", "南门商行", "op1", 1, 0, "2006-01-15", nullptr, nullptr, "空调", "国美", ""},
    {"0004", "O'Neil商行", "admin", 0, 1, "2006-02-01", "2006-02-28", nullptr, "洗衣机", "国美东店", "it's late"},
    {"0005", "李四", "admin", 0, 0, "2006-01-10", "2006-03-01", "2006-03-02", "空调扇", "苏宁", ""},
};

QString quoted(const char *v)
{
    return v ? sqlQuoted(QString::fromUtf8(v)) : QStringLiteral("null");
}

QStringList codes(const DataSet *ds)
{
    QStringList r;
    DataSetReader reader(*ds);
    while (reader.next()) r << reader.value(ds->fieldIndex(QStringLiteral("F_code"))).toString();
    return r;
}

TDlgCltCx &asQuery(QDialog &d)
{
    return dynamic_cast<TDlgCltCx &>(d);
}

} // namespace

class TestAdvancedQuery : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        TestDb::signIn();
        m_dir.reset(new QTemporaryDir);
    }

    void statement_data()
    {
        QTest::addColumn<AdvancedQuery>("query");
        QTest::addColumn<QString>("expected");

        AdvancedQuery q;
        q.name = QStringLiteral("商行");
        q.buyDate = range("2006-01-01", "2006-01-31");
        QTest::newRow("worked example")
            << q << QStringLiteral("select * from t_client where (1=1) and isNull(F_name,'') Like '%商行%' "
                                   "and isNull(F_useFlag,0) = 0 and isNull(F_IFshoukuan,0) = 0 "
                                   "and (F_buyDate >= '2006-01-01' and F_buydate <= '2006-01-31') ");

        QTest::newRow("defaults") << AdvancedQuery() << kBase + kInUseUnpaid;
        QTest::newRow("both radios all") << anyRow() << kBase;

        q = AdvancedQuery();
        q.useState = AdvancedQuery::NoLongerUsed;
        q.paidState = AdvancedQuery::Paid;
        QTest::newRow("no longer used, paid")
            << q << kBase + QStringLiteral("and isNull(F_useFlag,0) = 1 and isNull(F_IFshoukuan,0) = 1 ");

        // Every text control at once: the order of the clauses and each shape.
        q = anyRow();
        q.name = QStringLiteral(" a ");
        q.bodyCode = QStringLiteral("b");
        q.buyAddress = QStringLiteral("c");
        q.phone = QStringLiteral("d");
        q.handPhone = QStringLiteral("e");
        q.type = QStringLiteral("f");
        q.kdCode = QStringLiteral("g");
        q.xingHao = QStringLiteral("h");
        q.area = QStringLiteral("i");
        q.setupDept = QStringLiteral("j");
        q.maker = QStringLiteral("k");
        q.memo = QStringLiteral("\nl\n");
        QTest::newRow("every text, trimmed")
            << q << kBase + QStringLiteral("and isNull(F_name,'') Like '%a%' and isNull(F_JScode,'') Like 'b%' "
                                           "and isNull(F_buyAddress,'') like 'c%' and isNull(F_phone,'') like '%d%' "
                                           "and isNull(F_HandPhone,'') like 'e%' and isNull(F_type,'') like '%f%' "
                                           "and isNull(F_KDcode,'') like 'g%' and isNull(F_xinghao,'') like '%h%' "
                                           "and isNull(F_area,'') like 'i%' and isNull(F_setupDept,'') like '%j%' "
                                           "and isNull(F_Maker,'') like '%k%' and isNull(F_memo1,'') like '%l%' ");

        q = anyRow();
        q.name = QStringLiteral("   ");
        q.memo = QStringLiteral(" \n ");
        q.buyDate.from = QDate(2006, 1, 1);   // range not ticked: its dates do not count
        QTest::newRow("blanks and an unticked range add nothing") << q << kBase;

        q = anyRow();
        q.name = QStringLiteral("O'Neil");
        q.area = QStringLiteral("'; delete from t_client --");
        QTest::newRow("quotes doubled")
            << q << kBase + QStringLiteral("and isNull(F_name,'') Like '%O''Neil%' "
                                           "and isNull(F_area,'') like '''; delete from t_client --%' ");

        q = anyRow();
        q.buyDate = range(nullptr, "2006-01-31");
        QTest::newRow("from unticked")
            << q << kBase + QStringLiteral("and (F_buyDate >= '1900-08-14' and F_buydate <= '2006-01-31') ");
        q.buyDate = range("2006-01-01", nullptr);
        QTest::newRow("to unticked")
            << q << kBase + QStringLiteral("and (F_buyDate >= '2006-01-01' and F_buydate <= '3000-08-14') ");
        q.buyDate = range(nullptr, nullptr);
        QTest::newRow("both unticked")
            << q << kBase + QStringLiteral("and (F_buyDate >= '1900-08-14' and F_buydate <= '3000-08-14') ");

        q = anyRow();
        q.setupDate = range("2006-02-01", "2006-02-28");
        QTest::newRow("appointment")
            << q << kBase + QStringLiteral("and (F_setupDate >= '2006-02-01' and F_setupDate <= '2006-02-28') ");
        q = anyRow();
        q.setupDate1 = range("2006-03-01", "2006-03-31");
        QTest::newRow("re-appointment")
            << q << kBase + QStringLiteral("and (F_setupDate1 >= '2006-03-01' and F_setupDate1 <= '2006-03-31') ");

        q = AdvancedQuery();
        q.setupDate1 = range("2006-03-01", nullptr);
        q.setupDate = range(nullptr, "2006-02-28");
        q.buyDate = range("2006-01-01", "2006-01-31");
        QTest::newRow("three ranges in order")
            << q << kBase + kInUseUnpaid
                        + QStringLiteral("and (F_buyDate >= '2006-01-01' and F_buydate <= '2006-01-31') "
                                         "and (F_setupDate >= '1900-08-14' and F_setupDate <= '2006-02-28') "
                                         "and (F_setupDate1 >= '2006-03-01' and F_setupDate1 <= '3000-08-14') ");
    }

    void statement()
    {
        QFETCH(AdvancedQuery, query);
        QFETCH(QString, expected);
        QCOMPARE(advancedQuerySql(query), expected);
    }

    // The statements select what they promise on a real database: bounds
    // inclusive, the open lower bound taking in the no-date value, a quote
    // in a value matched as a character.
    void statementOnData_data() { TestDb::addBackendRows(); }
    void statementOnData()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        DataSet ds(&dm->ADOcnn);
        auto run = [&](const AdvancedQuery &q) {
            if (!dm->OpenSQL(advancedQuerySql(q) + QStringLiteral("order by F_code"), &ds)) return QStringList {"failed"};
            return codes(&ds);
        };

        AdvancedQuery q;
        QCOMPARE(run(q), (QStringList {"0001", "0002", "0005"}));
        QCOMPARE(run(anyRow()).size(), 5);
        q.name = QStringLiteral("商行");
        q.buyDate = range("2006-01-01", "2006-01-31");
        QCOMPARE(run(q), (QStringList {"0001", "0002"}));

        const struct { const char *name; AdvancedQuery query; QStringList expected; } cases[] = {
            {"appointment from open", [] { auto a = anyRow(); a.setupDate = range(nullptr, "2006-02-28"); return a; }(),
             {"0001", "0002", "0004"}},
            {"appointment to open", [] { auto a = anyRow(); a.setupDate = range("2006-02-28", nullptr); return a; }(),
             {"0004", "0005"}},
            {"re-appointment one day", [] { auto a = anyRow(); a.setupDate1 = range("2006-03-02", "2006-03-02"); return a; }(),
             {"0005"}},
            {"quote in name", [] { auto a = anyRow(); a.name = QStringLiteral("o'ne"); return a; }(), {"0004"}},
            {"quote in memo", [] { auto a = anyRow(); a.memo = QStringLiteral("it's"); return a; }(), {"0004"}},
            {"area starts with", [] { auto a = anyRow(); a.area = QStringLiteral("国美"); return a; }(),
             {"0001", "0003", "0004"}},
            {"type contains", [] { auto a = anyRow(); a.type = QStringLiteral("空调"); return a; }(),
             {"0001", "0003", "0005"}},
            {"disabled only", [] { auto a = anyRow(); a.useState = AdvancedQuery::NoLongerUsed; return a; }(), {"0003"}},
            {"paid only", [] { auto a = anyRow(); a.paidState = AdvancedQuery::Paid; return a; }(), {"0004"}},
        };
        for (const auto &c : cases) {
            const QStringList got = run(c.query);
            if (got != c.expected) qWarning("case %s", c.name);
            QCOMPARE(got, c.expected);
        }
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    void dialogDefaultsAndRanges()
    {
        ScopedSeams seams;
        TDlgCltCx d;
        QCOMPARE(d.objectName(), QStringLiteral("DlgCltCx"));
        QCOMPARE(d.windowTitle(), QStringLiteral("客户查询对话框"));
        QCOMPARE(d.RadioGroup1Items->checkedButton()->text(), QStringLiteral("正在使用"));
        QCOMPARE(d.RadioGroup2Items->checkedButton()->text(), QStringLiteral("未收款"));
        QCOMPARE(advancedQuerySql(d.query()), kBase + kInUseUnpaid);

        const QDate today = QDate::currentDate();
        const struct { QCheckBox *box; const char *text; CheckedDateEdit *from, *to; } ranges[] = {
            {d.CheckBox1, "购买日期：自", d.dtpfromDate, d.dtptoDate},
            {d.CheckBox2, "预约安装时间：自", d.dtpfromDate1, d.dtptoDate1},
            {d.CheckBox3, "重约安装时间：自", d.dtpfromDate2, d.dtptoDate2},
        };
        for (const auto &r : ranges) {
            QCOMPARE(r.box->text(), QString::fromUtf8(r.text));
            QVERIFY(!r.box->isChecked());
            for (CheckedDateEdit *p : {r.from, r.to}) {
                QVERIFY(!p->isEnabled());
                QVERIFY(p->isChecked());
            }
            QCOMPARE(r.from->date(), QDate(today.year(), today.month(), 1));
            QCOMPARE(r.to->date(), today);
        }

        // Ticking one range enables its two pickers only; each picker's own
        // tick box still decides whether its bound is open.
        d.CheckBox2->click();
        QVERIFY(d.dtpfromDate1->isEnabled() && d.dtptoDate1->isEnabled());
        QVERIFY(d.dtpfromDate1->dateEdit()->isEnabled());
        QVERIFY(!d.dtpfromDate->isEnabled() && !d.dtpfromDate2->isEnabled());
        d.dtpfromDate1->tickBox()->click();
        QVERIFY(!d.dtpfromDate1->dateEdit()->isEnabled());
        d.dtptoDate1->setDate(QDate(2006, 2, 28));
        QCOMPARE(advancedQuerySql(d.query()),
                 kBase + kInUseUnpaid + QStringLiteral("and (F_setupDate >= '1900-08-14' and F_setupDate <= '2006-02-28') "));
        d.CheckBox2->click();
        QVERIFY(!d.dtpfromDate1->isEnabled() && !d.dtptoDate1->isEnabled());
        QCOMPARE(advancedQuerySql(d.query()), kBase + kInUseUnpaid);

        // The bill number takes no part: it is shown greyed.
        QVERIFY(!d.edtKPcode->isEnabled());
        d.edtKPcode->setText(QStringLiteral("KP01"));
        QCOMPARE(advancedQuerySql(d.query()), kBase + kInUseUnpaid);

        // Every control reaches the statement.
        d.edtName->setText(QStringLiteral("n"));
        d.edtJScode->setText(QStringLiteral("js"));
        d.edtBuyAddress->setText(QStringLiteral("ad"));
        d.edtphone->setText(QStringLiteral("ph"));
        d.edthandphone->setText(QStringLiteral("mo"));
        d.cbbType->setEditText(QStringLiteral("ty"));
        d.cbbKDcode->setEditText(QStringLiteral("kd"));
        d.cbbXingHao->setEditText(QStringLiteral("xh"));
        d.cbbArea->setEditText(QStringLiteral("ar"));
        d.cbbSetupDept->setEditText(QStringLiteral("sd"));
        d.cbbMaker->setEditText(QStringLiteral("mk"));
        d.Mem->setPlainText(QStringLiteral("me"));
        d.RadioGroup1Items->button(0)->click();
        d.RadioGroup2Items->button(2)->click();
        const AdvancedQuery q = d.query();
        QCOMPARE((QStringList {q.name, q.bodyCode, q.buyAddress, q.phone, q.handPhone, q.type, q.kdCode, q.xingHao,
                               q.area, q.setupDept, q.maker, q.memo}),
                 (QStringList {"n", "js", "ad", "ph", "mo", "ty", "kd", "xh", "ar", "sd", "mk", "me"}));
        QCOMPARE(q.useState, int(AdvancedQuery::AnyUse));
        QCOMPARE(q.paidState, int(AdvancedQuery::Paid));
    }

    // AskQuery through the modal seam: the drop-downs come from the code
    // lists, "查询" gives the statement, "关闭", Esc or no answer give nothing.
    void askQuery_data() { TestDb::addBackendRows(); }
    void askQuery()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        TFrmMain main;
        main.show();
        main.setGeometry(0, 0, 660, 580);   // off the screen's centre

        QStringList typeItems;
        bool filled = false;
        QPoint offCentre;
        {
            TDlgCltCx d(&main);
            seams.dialogs.handleDialog([&](QDialog &shown) {
                TDlgCltCx &dlg = asQuery(shown);
                for (int i = 0; i < dlg.cbbType->count(); ++i) typeItems << dlg.cbbType->itemText(i);
                filled = dlg.cbbMaker->findText(QStringLiteral("张丽")) > 0 && dlg.cbbArea->findText(QStringLiteral("国美")) > 0;
                for (QComboBox *box : {dlg.cbbKDcode, dlg.cbbXingHao, dlg.cbbSetupDept})
                    filled = filled && box->count() >= 1 && box->itemText(0).isEmpty();
                // Opened centred on the main window.
                offCentre = dlg.frameGeometry().center() - main.frameGeometry().center();
                dlg.edtName->setText(QStringLiteral("商行"));
                dlg.CheckBox1->click();
                dlg.dtpfromDate->setDate(QDate(2006, 1, 1));
                dlg.dtptoDate->setDate(QDate(2006, 1, 31));
                dlg.Button1->click();
                return dlg.result();
            });
            QCOMPARE(d.AskQuery(),
                     QStringLiteral("select * from t_client where (1=1) and isNull(F_name,'') Like '%商行%' "
                                    "and isNull(F_useFlag,0) = 0 and isNull(F_IFshoukuan,0) = 0 "
                                    "and (F_buyDate >= '2006-01-01' and F_buydate <= '2006-01-31') "));
        }
        // An empty entry first, then the names of the code list.
        QCOMPARE(typeItems.value(0), QString());
        QVERIFY(typeItems.contains(QStringLiteral("冰箱")) && typeItems.contains(QStringLiteral("空调")));
        QVERIFY(filled);
        QVERIFY2(offCentre.manhattanLength() <= 4, qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        QCOMPARE(seams.dialogs.calls.last().text, QStringLiteral("客户查询对话框"));

        {
            TDlgCltCx d(&main);
            seams.dialogs.handleDialog([](QDialog &shown) {
                TDlgCltCx &dlg = asQuery(shown);
                dlg.edtName->setText(QStringLiteral("x"));
                dlg.Button2->click();
                return dlg.result();
            });
            QCOMPARE(d.AskQuery(), QString());
        }
        {
            TDlgCltCx d(&main);
            QCOMPARE(d.AskQuery(), QString());   // closed unseen
        }
    }

    // Enter moves on (the body code and memo are skipped as tab stops, the
    // memo keeps Enter), Ctrl+S runs the query, Esc closes.
    void keys()
    {
        ScopedSeams seams;
        auto dm = fixture(QStringLiteral("sqlite"));
        const struct { const char *name; Qt::Key key; Qt::KeyboardModifiers mods; bool accepted; } endings[] = {
            {"ctrl+s", Qt::Key_S, Qt::ControlModifier, true},
            {"esc", Qt::Key_Escape, Qt::NoModifier, false},
        };
        for (const auto &e : endings) {
            TDlgCltCx d;
            QWidget *movedTo = nullptr;
            seams.dialogs.handleDialog([&](QDialog &shown) {
                TDlgCltCx &dlg = asQuery(shown);
                shown.activateWindow();
                (void)QTest::qWaitFor([&] { return QApplication::focusWidget() == dlg.edtName; });
                QTest::keyClick(dlg.edtName, Qt::Key_Return);
                movedTo = QApplication::focusWidget();
                dlg.Mem->setFocus();
                QTest::keyClicks(dlg.Mem, QStringLiteral("a"));
                QTest::keyClick(dlg.Mem, Qt::Key_Return);
                QTest::keyClicks(dlg.Mem, QStringLiteral("b"));
                QTest::keyClick(dlg.edtName, e.key, e.mods);
                return dlg.result();
            });
            const QString sql = d.AskQuery();
            QCOMPARE(movedTo, d.edtBuyAddress);
            if (e.accepted)
                QCOMPARE(sql, kBase + QStringLiteral("and isNull(F_memo1,'') like '%a\nb%' ") + kInUseUnpaid);
            else
                QCOMPARE(sql, QString());
        }
    }

    // The toggle on the main window: the advanced result shown with the
    // button down and red, regardless of the operator restriction; a closed
    // dialog leaves the list; an ordinary search ends the advanced query.
    void mainWindowToggle_data() { TestDb::addBackendRows(); }
    void mainWindowToggle()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        QVERIFY(dm->RunSQL(QStringLiteral("insert into T_WXrec(F_cltcode,F_cltName,F_bxdate,F_reason) "
                                          "values('0001','东方商行','2006-02-01','不制冷')")));
        PubUnit::CurOper = QStringLiteral("op1");
        PubUnit::SeeAllClients = false;
        TFrmMain w;
        w.show();
        QCOMPARE(codes(w.QryMain), (QStringList {"0002"}));   // op1's own rows in use and unpaid

        seams.dialogs.handleDialog([](QDialog &shown) {
            TDlgCltCx &dlg = asQuery(shown);
            dlg.edtName->setText(QStringLiteral("商行"));
            dlg.CheckBox1->click();
            dlg.dtpfromDate->setDate(QDate(2006, 1, 1));
            dlg.dtptoDate->setDate(QDate(2006, 1, 31));
            dlg.Button1->click();
            return dlg.result();
        });
        w.SpeedButton2->click();
        QCOMPARE(codes(w.QryMain), (QStringList {"0001", "0002"}));   // another operator's row too
        QVERIFY(w.SpeedButton2->isChecked());
        QCOMPARE(w.SpeedButton2->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
        QCOMPARE(w.lblCLTnum->text(), QStringLiteral("记录总数： 2 条"));
        QCOMPARE(w.QryMain->fieldByName(QStringLiteral("F_code")).asString(), QStringLiteral("0001"));
        QCOMPARE(w.QryDetail1->recordCount(), 1);   // the details follow the new list

        // Clicking again raises it and runs the ordinary list.
        w.SpeedButton2->click();
        QVERIFY(!w.SpeedButton2->isChecked());
        QVERIFY(w.SpeedButton2->palette().color(QPalette::ButtonText) != QColor(255, 0, 0));
        QCOMPARE(codes(w.QryMain), (QStringList {"0002"}));

        // Both radios on all with a quoted name; then a closed dialog leaves that list.
        seams.dialogs.handleDialog([](QDialog &shown) {
            TDlgCltCx &dlg = asQuery(shown);
            dlg.RadioGroup1Items->button(0)->click();
            dlg.RadioGroup2Items->button(0)->click();
            dlg.edtName->setText(QStringLiteral("o'neil"));
            dlg.Button1->click();
            return dlg.result();
        });
        w.SpeedButton2->click();
        QCOMPARE(codes(w.QryMain), (QStringList {"0004"}));
        QVERIFY(w.SpeedButton2->isChecked());
        w.SpeedButton2->click();   // up: ordinary list
        seams.dialogs.handleDialog([](QDialog &shown) {
            asQuery(shown).Button2->click();
            return shown.result();
        });
        w.SpeedButton2->click();
        QVERIFY(!w.SpeedButton2->isChecked());
        QCOMPARE(codes(w.QryMain), (QStringList {"0002"}));

        // An ordinary search drops a shown advanced query.
        seams.dialogs.handleDialog([](QDialog &shown) {
            TDlgCltCx &dlg = asQuery(shown);
            dlg.RadioGroup1Items->button(0)->click();
            dlg.Button1->click();
            return dlg.result();
        });
        w.SpeedButton2->click();
        QCOMPARE(codes(w.QryMain), (QStringList {"0001", "0002", "0003", "0005"}));
        QVERIFY(w.SpeedButton2->isChecked());
        w.ComboBox1->setCurrentIndex(0);
        w.Edit1->insert(QStringLiteral("西"));
        QVERIFY(!w.SpeedButton2->isChecked());
        QVERIFY(w.SpeedButton2->palette().color(QPalette::ButtonText) != QColor(255, 0, 0));
        QCOMPARE(codes(w.QryMain), (QStringList {"0002"}));
        QVERIFY(seams.dialogs.texts().filter(QStringLiteral("失败")).isEmpty());
    }

private:
    std::unique_ptr<TdmData> fixture(const QString &backend)
    {
        auto dm = TestDb::freshModule(backend, m_dir->path());
        for (const Customer &c : kCustomers) {
            const QString sql =
                QStringLiteral("insert into t_client(F_code,F_name,F_empName,F_useFlag,F_IFshoukuan,F_buyDate,F_setupDate,"
                               "F_setupDate1,F_type,F_area,F_memo1) values(%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11)")
                    .arg(quoted(c.code), quoted(c.name), quoted(c.emp), QString::number(c.disabled),
                         QString::number(c.paid), quoted(c.buyDate), quoted(c.setupDate), quoted(c.setupDate1),
                         quoted(c.type))
                    .arg(quoted(c.area), quoted(c.memo));
            if (!dm->RunSQL(sql)) qFatal("fixture: %s", qPrintable(sql));
        }
        dm->RunSQL(QStringLiteral("insert into t_code(F_name,F_code,F_type) values('空调','kt','type'),"
                                  "('冰箱','bx','type'),('张丽','zl','maker'),('国美','gm','area')"));
        return dm;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestAdvancedQuery)
#include "tst_advancedquery.moc"
