// The customer picker: its statement letter for letter, and the dialog on a
// small archive through the modal seam (search, categories, choosing,
// closing, a lost connection, the stored layout).
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "components/CategoryPanel.h"
#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "service/CustomerPickerSql.h"
#include "service/TDLGcltrecXZ.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(PickerSearch)

namespace {

const QString kBase = QStringLiteral("select * from T_client where (1=1)");
const QString kOrder = QStringLiteral("order by f_code");

PickerSearch searchFor(const char *name, const char *body = "", const char *bill = "")
{
    PickerSearch s;
    s.name = QString::fromUtf8(name);
    s.bodyCode = QString::fromUtf8(body);
    s.billCode = QString::fromUtf8(bill);
    return s;
}

PickerSearch category(int type, const char *value, PickerSearch s = {})
{
    s.categoryType = type;
    s.categoryChosen = true;
    s.category = QString::fromUtf8(value);
    return s;
}

struct Customer {
    const char *code, *name, *type, *xinghao, *area, *jsCode, *kpCode;
    int disabled;
};

// Codes out of order; a disabled customer, a blank type, quotes in a name
// and a bill number; 热水器 belongs to a disabled customer only.
const Customer kCustomers[] = {
    {"0003", "东方电器", "空调", "KFR-35", "国美", "JS100", "KP9", 0},
    {"0001", "西城电器", "冰箱", "BCD-200", "苏宁", "JS200", "KP1", 0},
    {"0002", "南门商行", "空调", "KFR-35", "国美", "JS101", "KP2", 1},
    {"0005", "O'Neil电器", "洗衣机", "XQB-60", "苏宁", "JS300", "KP'5", 0},
    {"0004", "李四", "", "KFR-35", "国美东店", "", "", 0},
    {"0006", "停用户", "热水器", "RSQ-1", "苏宁", "JS400", "KP6", 1},
};

QStringList codes(const DataSet *ds)
{
    QStringList r;
    if (!ds->isActive()) return r;
    DataSetReader reader(*ds);
    while (reader.next()) r << reader.value(ds->fieldIndex(QStringLiteral("F_code"))).toString();
    return r;
}

// The category list's values below "全部", sorted (the statement has no order).
QStringList categoryValues(const TDLGcltrecXZ &d)
{
    QStringList r;
    for (int row = 1; row < d.vleList->rowCount(); ++row) r << d.vleList->item(row, 1)->text();
    r.sort();
    return r;
}

int rowOf(const TDLGcltrecXZ &d, const QString &value)
{
    for (int row = 0; row < d.vleList->rowCount(); ++row)
        if (d.vleList->item(row, 1)->text() == value) return row;
    return -1;
}

TDLGcltrecXZ &asPicker(QDialog &d)
{
    return dynamic_cast<TDLGcltrecXZ &>(d);
}

} // namespace

class TestCustomerPicker : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        TestDb::signIn();
        m_dir.reset(new QTemporaryDir);
    }

    void statement_data()
    {
        QTest::addColumn<PickerSearch>("search");
        QTest::addColumn<QString>("expected");

        QTest::newRow("worked example")
            << category(1, "KFR-35", searchFor("电器"))
            << QStringLiteral("select * from T_client where (1=1)and F_name Like '%电器%' and F_xingHao = 'KFR-35' order by f_code");
        QTest::newRow("nothing filled") << PickerSearch() << kBase + kOrder;
        QTest::newRow("three boxes in order")
            << searchFor("张", "JS", "KP")
            << kBase + QStringLiteral("and F_name Like '%张%' and F_JScode Like '%JS%' and F_KPcode Like '%KP%' ") + kOrder;
        QTest::newRow("only the bill number") << searchFor("", "", "KP1")
                                              << kBase + QStringLiteral("and F_KPcode Like '%KP1%' ") + kOrder;
        const struct { int type; const char *clause; } types[] = {
            {0, "and F_type = 'v' "}, {1, "and F_xingHao = 'v' "}, {2, "and F_area = 'v' "},
            {3, "and F_setupDept = 'v' "}, {4, "and F_KDcode = 'v' "},
        };
        for (const auto &t : types)
            QTest::newRow(qPrintable(QStringLiteral("category type %1").arg(t.type)))
                << category(t.type, "v") << kBase + QString::fromUtf8(t.clause) + kOrder;
        PickerSearch all = searchFor("a");
        all.categoryType = 2;
        all.category = QStringLiteral("ignored");   // "全部" chosen: the row's value does not count
        QTest::newRow("全部 adds no category") << all << kBase + QStringLiteral("and F_name Like '%a%' ") + kOrder;
        QTest::newRow("quotes doubled everywhere")
            << category(0, "it's", searchFor("O'Neil", "a'b", "'; delete from t_client --"))
            << kBase + QStringLiteral("and F_name Like '%O''Neil%' and F_JScode Like '%a''b%' "
                                      "and F_KPcode Like '%''; delete from t_client --%' and F_type = 'it''s' ")
                   + kOrder;
    }

    void statement()
    {
        QFETCH(PickerSearch, search);
        QFETCH(QString, expected);
        QCOMPARE(customerPickerSql(search), expected);
    }

    // The dialog as an operator works it: every customer on opening, the
    // boxes narrowing on each keystroke, the category list and its types,
    // and the customer of the current row on "确定".
    void searchAndChoose_data() { TestDb::addBackendRows(); }
    void searchAndChoose()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        const qint64 idOfONeil = dm->GetIntValue(QStringLiteral("select F_ID from t_client where F_code = '0005'"));
        QVERIFY(idOfONeil > 0);

        bool checked = false;
        seams.dialogs.handleDialog([&](QDialog &shown) {
            TDLGcltrecXZ &d = asPicker(shown);
            [&] {
                QCOMPARE(d.windowTitle(), QStringLiteral("客户服务记录选择"));
                // Opened: every customer, the disabled ones too, by code; "全部" chosen.
                QCOMPARE(codes(d.QryTable), (QStringList {"0001", "0002", "0003", "0004", "0005", "0006"}));
                QCOMPARE(d.cbbListType->currentIndex(), 0);
                QCOMPARE(d.vleList->currentRow(), 0);
                QCOMPARE(d.vleList->item(0, 0)->text(), QStringLiteral("0"));
                QCOMPARE(d.vleList->item(0, 1)->text(), QStringLiteral("全部"));
                QCOMPARE(d.vleList->horizontalHeaderItem(1)->text(), QStringLiteral("类    别"));
                // No blank value, none of disabled customers only, ordinals 1, 2, 3.
                QCOMPARE(categoryValues(d), (QStringList {"冰箱", "洗衣机", "空调"}));
                for (int row = 1; row < d.vleList->rowCount(); ++row)
                    QCOMPARE(d.vleList->item(row, 0)->text(), QString::number(row));

                // Each keystroke narrows; clearing widens again.
                d.edtName->insert(QStringLiteral("电"));
                QCOMPARE(codes(d.QryTable), (QStringList {"0001", "0003", "0005"}));
                d.edtName->clear();
                QCOMPARE(codes(d.QryTable).size(), 6);
                QTest::keyClick(d.edtName, 'o');
                QCOMPARE(codes(d.QryTable), (QStringList {"0005"}));   // any case
                QTest::keyClicks(d.edtName, QStringLiteral("'nx"));
                QCOMPARE(codes(d.QryTable), QStringList());
                QTest::keyClick(d.edtName, Qt::Key_Backspace);
                QCOMPARE(d.edtName->text(), QStringLiteral("o'n"));
                QCOMPARE(codes(d.QryTable), (QStringList {"0005"}));
                d.edtName->clear();
                QCOMPARE(codes(d.QryTable).size(), 6);
                d.edtKPcode->setText(QStringLiteral(" kp'5 "));   // trimmed; the quote is a character
                QCOMPARE(codes(d.QryTable), (QStringList {"0005"}));
                d.edtKPcode->clear();
                d.edtJScode->setText(QStringLiteral("JS10"));
                QCOMPARE(codes(d.QryTable), (QStringList {"0002", "0003"}));
                d.edtJScode->clear();

                // Another type reloads the list with its caption and "全部";
                // a chosen row narrows, and stays in force with the panel hidden.
                d.cbbListType->setCurrentIndex(1);
                QCOMPARE(d.vleList->horizontalHeaderItem(1)->text(), QStringLiteral("型    号"));
                QCOMPARE(categoryValues(d), (QStringList {"BCD-200", "KFR-35", "XQB-60"}));
                d.vleList->setCurrentCell(rowOf(d, QStringLiteral("KFR-35")), 1);
                QCOMPARE(codes(d.QryTable), (QStringList {"0002", "0003", "0004"}));
                d.edtName->setText(QStringLiteral("电器"));
                QCOMPARE(d.QryTable->sql(), QStringLiteral("select * from T_client where (1=1)and F_name Like '%电器%' "
                                                           "and F_xingHao = 'KFR-35' order by f_code"));
                QCOMPARE(codes(d.QryTable), (QStringList {"0003"}));
                d.edtName->clear();
                d.SpeedButton4->click();
                QVERIFY(d.Panel3->isHidden());
                d.sbFind->click();
                QCOMPARE(codes(d.QryTable).size(), 3);
                d.SpeedButton4->click();
                QVERIFY(d.Panel3->isVisible());

                // "刷新列表" resets the choice to "全部" as a change of type does.
                d.Button1->click();
                QCOMPARE(d.vleList->currentRow(), 0);
                QCOMPARE(codes(d.QryTable).size(), 6);
                d.cbbListType->setCurrentIndex(2);
                QCOMPARE(d.vleList->currentRow(), 0);
                QCOMPARE(categoryValues(d), (QStringList {"国美", "国美东店", "苏宁"}));
                d.vleList->setCurrentCell(rowOf(d, QStringLiteral("苏宁")), 1);
                QCOMPARE(codes(d.QryTable), (QStringList {"0001", "0005", "0006"}));

                // The operator picks the second row in the grid.
                d.DBGridEh1->selectRow(1);
                QCOMPARE(d.QryTable->fieldByName(QStringLiteral("F_code")).asString(), QStringLiteral("0005"));
                checked = true;
            }();
            d.BitBtn1->click();
            return d.result();
        });
        const std::optional<PickedCustomer> picked = PickCustomer(nullptr);
        QVERIFY(checked);
        QVERIFY(picked.has_value());
        QCOMPARE(picked->id, idOfONeil);
        QCOMPARE(picked->code, QStringLiteral("0005"));
        QCOMPARE(picked->name, QStringLiteral("O'Neil电器"));
        QCOMPARE(seams.dialogs.texts(), (QStringList {"客户服务记录选择"}));   // the dialog itself, no message
    }

    // Each way out: a choice gives the row's customer; every close, and a
    // confirmation on an empty list, give nothing, so the editor keeps its customer.
    void waysOut_data() { TestDb::addBackendRows(); }
    void waysOut()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        const struct { const char *name; std::function<void(TDLGcltrecXZ &)> act; const char *code; } cases[] = {
            {"double click", [](TDLGcltrecXZ &d) {
                 d.DBGridEh1->selectRow(2);
                 emit d.DBGridEh1->rowDoubleClicked(2);
             }, "0003"},
            {"确定 on the first row", [](TDLGcltrecXZ &d) { d.BitBtn1->click(); }, "0001"},
            {"关闭", [](TDLGcltrecXZ &d) {
                 d.DBGridEh1->selectRow(2);
                 d.BitBtn2->click();
             }, nullptr},
            {"Esc", [](TDLGcltrecXZ &d) {
                 d.DBGridEh1->selectRow(2);
                 QTest::keyClick(d.DBGridEh1, Qt::Key_Escape);
             }, nullptr},
            {"close box", [](TDLGcltrecXZ &d) {
                 d.DBGridEh1->selectRow(2);
                 d.close();
             }, nullptr},
            {"确定 on an empty list", [](TDLGcltrecXZ &d) {
                 d.edtName->setText(QStringLiteral("nobody"));
                 d.BitBtn1->click();
             }, nullptr},
        };
        for (const auto &c : cases) {
            seams.dialogs.handleDialog([&](QDialog &shown) {
                c.act(asPicker(shown));
                return shown.result();
            });
            const std::optional<PickedCustomer> picked = PickCustomer(nullptr);
            if (picked.has_value() != (c.code != nullptr)) qWarning("case %s", c.name);
            QCOMPARE(picked.has_value(), c.code != nullptr);
            if (c.code) QCOMPARE(picked->code, QString::fromLatin1(c.code));
        }
        QCOMPARE(seams.dialogs.count(QStringLiteral("客户服务记录选择")), int(std::size(cases)));
        QCOMPARE(seams.dialogs.calls.size(), int(std::size(cases)));
    }

    // A lost server: the search says so and empties the grid, so "确定"
    // cannot hand over a customer of the list shown before.
    void lostConnection_data() { TestDb::addBackendRows(); }
    void lostConnection()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        seams.dialogs.handleDialog([&](QDialog &shown) {
            TDLGcltrecXZ &d = asPicker(shown);
            d.DBGridEh1->selectRow(1);
            dm->ADOcnn.close();
            d.edtName->setText(QStringLiteral("电"));
            d.BitBtn1->click();
            return d.result();
        });
        QVERIFY(!PickCustomer(nullptr).has_value());
        const QList<ScriptedDialogs::Call> &calls = seams.dialogs.calls;
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[1].what, QStringLiteral("message"));
        QCOMPARE(calls[1].kind, 3);
    }

    // A long list's footer totals arrive once typing pauses, for the list
    // shown now, not one typed past.
    void longListTotals_data() { TestDb::addBackendRows(); }
    void longListTotals()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        QStringList values;
        for (int i = 0; i < 1200; ++i) {
            values << QStringLiteral("('L%1','n%1',2)").arg(i, 5, 10, QLatin1Char('0'));
            if (values.size() == 100) {
                QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_amount) values") + values.join(u',')));
                values.clear();
            }
        }
        QStringList totals;
        seams.dialogs.handleDialog([&](QDialog &shown) {
            TDLGcltrecXZ &d = asPicker(shown);
            const int amount = d.DBGridEh1->columnOfField(QStringLiteral("F_amount"));
            const QVector<int> fields = d.DBGridEh1->footerSumFields();
            auto total = [&] {
                // "long" while the list is read in pages and the reader has not answered.
                if (!QTest::qWaitFor([&] { return d.QryTable->hasSums(fields); }, 10000)) return QStringLiteral("none");
                return QString::number(d.DBGridEh1->footerText(amount).toDouble())
                       + (d.QryTable->isFullyFetched() ? QStringLiteral(" short") : QStringLiteral(" long"));
            };
            if (amount < 0 || d.DBGridEh1->column(amount).footerKind != FooterKind::Sum) return int(QDialog::Rejected);
            totals << total();
            d.edtName->insert(QStringLiteral("n0"));
            d.edtName->insert(QStringLiteral("0"));   // n00000 ... n00999
            totals << total();
            d.edtName->insert(QStringLiteral("1"));   // n00100 ... n00199
            totals << total();
            return int(QDialog::Rejected);
        });
        PickCustomer(nullptr);
        QCOMPARE(totals, (QStringList {"2400 long", "2000 long", "200 short"}));
    }

    // "保存当前设置" asks first; on Yes the layout is that of the next picker,
    // on No nothing is stored.
    void savedLayout_data() { TestDb::addBackendRows(); }
    void savedLayout()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        auto saveWith = [&](int answer, int width) {
            seams.dialogs.answer(answer);
            seams.dialogs.handleDialog([width](QDialog &shown) {
                TDLGcltrecXZ &d = asPicker(shown);
                GridColumn name = d.DBGridEh1->column(1);
                name.width = width;
                d.DBGridEh1->setColumn(1, name);
                d.DBGridEh1->horizontalHeader()->moveSection(0, 2);   // the code column after the area
                d.PopupMenu1->findChild<QAction *>(QStringLiteral("N2"))->trigger();
                return int(QDialog::Rejected);
            });
            PickCustomer(nullptr);
        };
        QList<GridColumn> reopened;
        auto reopen = [&] {
            seams.dialogs.handleDialog([&](QDialog &shown) {
                reopened = asPicker(shown).DBGridEh1->columns();
                return int(QDialog::Rejected);
            });
            PickCustomer(nullptr);
        };

        saveWith(Mess::No, 250);
        reopen();
        QCOMPARE(reopened.value(0).field, QStringLiteral("F_code"));
        QCOMPARE(reopened.value(1).width, 119);

        saveWith(Mess::Yes, 250);
        reopen();
        QCOMPARE(reopened.value(0).field, QStringLiteral("F_name"));
        QCOMPARE(reopened.value(0).width, 250);
        QCOMPARE(reopened.value(2).field.toLower(), QStringLiteral("f_code"));
        QCOMPARE(seams.dialogs.count(QStringLiteral("真的要保存当前网格设置吗？")), 2);
    }

private:
    std::unique_ptr<TdmData> fixture(const QString &backend)
    {
        auto dm = TestDb::freshModule(backend, m_dir->path());
        for (const Customer &c : kCustomers) {
            const QString sql = QStringLiteral("insert into t_client(F_code,F_name,F_type,F_xingHao,F_area,F_JScode,"
                                               "F_KPcode,F_useFlag) values(%1,%2,%3,%4,%5,%6,%7,%8)")
                                    .arg(sqlQuoted(QString::fromUtf8(c.code)), sqlQuoted(QString::fromUtf8(c.name)),
                                         sqlQuoted(QString::fromUtf8(c.type)), sqlQuoted(QString::fromUtf8(c.xinghao)),
                                         sqlQuoted(QString::fromUtf8(c.area)), sqlQuoted(QString::fromUtf8(c.jsCode)),
                                         sqlQuoted(QString::fromUtf8(c.kpCode)), QString::number(c.disabled));
            if (!dm->RunSQL(sql)) qFatal("fixture: %s", qPrintable(sql));
        }
        return dm;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestCustomerPicker)
#include "tst_customerpicker.moc"
