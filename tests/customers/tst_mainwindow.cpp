// The main window's customer list: search bar, tick boxes, category panel,
// detail tabs, captions and no-date cells, on a real window offscreen.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "components/DataGrid.h"
#include "customers/TFrmMain.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QFile>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>

namespace {

struct Customer {
    const char *code, *name, *address, *phone, *mobile, *bodyCode, *giftA, *giftB, *bill, *memo, *maker;
    const char *type, *model, *area, *dept, *batch, *emp;
    int disabled, paid;
    const char *setupDate;
};

const Customer kCustomers[] = {
    {"0012001", "某商行", "北京路1号", "010-1111", "13900001111", "JS01", "电饭煲", "", "KP01", "老客户", "张丽",
     "空调", "KFR-35", "国美", "一部", "B1", "admin", 0, 0, "1900-08-14"},
    {"0012002", "李四", "上海路2号", "021-2222", "13800002222", "JS02", "", "电饭煲", "KP02", "", "王强",
     "冰箱", "BCD-1", "苏宁", "二部", "B2", "op1", 0, 0, "2006-03-01"},
    {"0013001", "王五商行", "广州路3号", "020-3333", "13700003333", "XS03", "电风扇", "", "KP03", "急件", "张丽",
     "空调", "KFR-50", "国美", "一部", "B1", "op1", 0, 0, nullptr},
    {"0014001", "赵六", "深圳路4号", "0755-4444", "13600004444", "JS04", "", "", "KP04", "", "王强",
     "洗衣机", "XQG-80", "国美", "二部", "B3", "admin", 1, 0, "2020-01-02"},   // disabled
    {"0015001", "O'Neil", "杭州路5号", "0571-5555", "13500005555", "JS05", "", "", "KP05", "", "张丽",
     "冰箱", "BCD-2", "苏宁", "一部", "B2", "admin", 0, 1, "2021-05-06"},      // paid
};

QString quoted(const char *v)
{
    return v ? QStringLiteral("'") + sqlValue(QString::fromUtf8(v)) + QStringLiteral("'") : QStringLiteral("null");
}

// The statements the trace file holds, one per line.
QStringList traced(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// The trace of everything run meanwhile, in a file of its own.
class ScopedTrace {
public:
    explicit ScopedTrace(const QString &file) : m_file(file)
    {
        QFile::remove(file);
        qputenv("CLSERVICE_SQL_TRACE", file.toUtf8());
    }
    ~ScopedTrace() { qunsetenv("CLSERVICE_SQL_TRACE"); }
    QStringList take()
    {
        const QStringList lines = traced(m_file);
        QFile::remove(m_file);
        return lines;
    }

private:
    QString m_file;
};

QStringList codes(const DataSet *ds)
{
    QStringList r;
    DataSetReader reader(*ds);
    while (reader.next()) r << reader.value(ds->fieldIndex(QStringLiteral("F_code"))).toString();
    return r;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        TestDb::signIn();
        PubUnit::FmtPrice = QStringLiteral("￥,0.00");
        m_dir.reset(new QTemporaryDir);
    }

    void searchBarAndBoxes_data() { TestDb::addBackendRows(); }
    void searchBarAndBoxes()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        TFrmMain w;
        w.show();

        // Start: no field chosen, disabled and paid rows hidden.
        QCOMPARE(w.ComboBox1->currentIndex(), -1);
        QCOMPARE(w.ComboBox1->count(), 10);
        QCOMPARE(codes(w.QryMain), (QStringList {"0012001", "0012002", "0013001"}));
        QCOMPARE(w.lblCLTnum->text(), QStringLiteral("记录总数： 3 条"));
        w.Edit1->setText(QStringLiteral("李"));   // no field: re-runs, adds nothing
        QCOMPARE(codes(w.QryMain).size(), 3);
        w.Edit1->clear();

        const struct { int field; const char *text; QStringList expected; } cases[] = {
            {0, "商行", {"0012001", "0013001"}},      // name contains
            {1, "0012", {"0012001", "0012002"}},      // code starts with
            {1, "", {"0012001", "0012002", "0013001"}},
            {2, "海路", {"0012002"}},
            {3, "-3333", {"0013001"}},
            {4, "0000222", {"0012002"}},
            {5, "JS", {"0012001", "0012002"}},        // body code starts with
            {7, "KP03", {"0013001"}},
            {8, "急", {"0013001"}},
        };
        for (const auto &c : cases) {
            w.Edit1->clear();
            w.ComboBox1->setCurrentIndex(c.field);
            QVERIFY(w.Edit1->isVisible());
            for (QChar ch : QString::fromUtf8(c.text)) w.Edit1->insert(QString(ch));   // one change per key
            if (!*c.text) w.BitBtn1->click();
            QCOMPARE(codes(w.QryMain), c.expected);
        }

        // Gifts and salesmen are picked from the code list in the value drop-down.
        w.ComboBox1->setCurrentIndex(6);
        QVERIFY(w.cbbValue->isVisible());
        QVERIFY(!w.Edit1->isVisible());
        QVERIFY(w.cbbValue->findText(QStringLiteral("电饭煲")) > 0);
        w.cbbValue->setCurrentText(QStringLiteral("电饭"));
        QCOMPARE(codes(w.QryMain), (QStringList {"0012001", "0012002"}));   // either gift
        w.ComboBox1->setCurrentIndex(9);
        w.cbbValue->setCurrentText(QStringLiteral("王"));
        QCOMPARE(codes(w.QryMain), (QStringList {"0012002"}));

        // A quote in the text is a search like any other.
        w.ComboBox1->setCurrentIndex(0);
        w.Edit1->setText(QStringLiteral("O'Ne"));
        QVERIFY(codes(w.QryMain).isEmpty());   // paid rows are hidden
        w.CheckBox2->click();
        QCOMPARE(codes(w.QryMain), (QStringList {"0015001"}));
        w.Edit1->setText(QStringLiteral("o'nE"));   // without regard to case
        QCOMPARE(codes(w.QryMain), (QStringList {"0015001"}));
        w.Edit1->setText(QStringLiteral("O'Ne"));
        QCOMPARE(w.DBGridEh1->model()->data(w.DBGridEh1->model()->index(0, 1), Qt::ForegroundRole).value<QColor>(),
                 QColor(255, 0, 0));
        w.Edit1->clear();
        QCOMPARE(codes(w.QryMain).size(), 4);
        w.CheckBox1->click();
        QCOMPARE(codes(w.QryMain).size(), 5);
        const int disabledRow = codes(w.QryMain).indexOf(QStringLiteral("0014001"));
        QCOMPARE(w.DBGridEh1->model()->data(w.DBGridEh1->model()->index(disabledRow, 0), Qt::BackgroundRole).value<QColor>(),
                 QColor(0, 255, 255));
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    void categoryPanel_data() { TestDb::addBackendRows(); }
    void categoryPanel()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        TFrmMain w;
        w.show();
        // Types of enabled customers, with "全部" first.
        QCOMPARE(w.vleList->rowCount(), 3);
        QCOMPARE(w.vleList->item(0, 1)->text(), QStringLiteral("全部"));
        QCOMPARE(w.vleList->horizontalHeaderItem(1)->text(), QStringLiteral("类    别"));
        const int aircon = w.vleList->findItems(QStringLiteral("空调"), Qt::MatchExactly).value(0)->row();
        w.vleList->setCurrentCell(aircon, 1);
        QCOMPARE(codes(w.QryMain), (QStringList {"0012001", "0013001"}));
        w.vleList->setCurrentCell(0, 1);
        QCOMPARE(codes(w.QryMain).size(), 3);

        w.cbbListType->setCurrentIndex(2);   // 购买地点
        QCOMPARE(w.vleList->horizontalHeaderItem(1)->text(), QStringLiteral("购买地点"));
        QCOMPARE(w.vleList->currentRow(), 0);
        const int suning = w.vleList->findItems(QStringLiteral("苏宁"), Qt::MatchExactly).value(0)->row();
        QCOMPARE(w.vleList->item(suning, 0)->text(), QString::number(suning));
        w.vleList->setCurrentCell(suning, 1);
        QCOMPARE(codes(w.QryMain), (QStringList {"0012002"}));
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    void restrictedOperator_data() { TestDb::addBackendRows(); }
    void restrictedOperator()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        PubUnit::CurOper = QStringLiteral("op1");
        PubUnit::SeeAllClients = false;
        TFrmMain w;
        w.show();
        QCOMPARE(codes(w.QryMain), (QStringList {"0012002", "0013001"}));
        QCOMPARE(w.ComboBox1->count(), 9);
        // The category values still come from every customer.
        const int washer = w.vleList->findItems(QStringLiteral("洗衣机"), Qt::MatchExactly).size();
        QCOMPARE(washer, 0);   // disabled rows give no category
        const int fridge = w.vleList->findItems(QStringLiteral("冰箱"), Qt::MatchExactly).value(0)->row();
        w.vleList->setCurrentCell(fridge, 1);
        QCOMPARE(codes(w.QryMain), (QStringList {"0012002"}));
    }

    void detailsFollowAndDatesBlank_data() { TestDb::addBackendRows(); }
    void detailsFollowAndDatesBlank()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        QVERIFY(dm->RunSQL(QStringLiteral(
            "insert into T_WXrec(F_cltcode,F_cltName,F_bxdate,F_xfdate,F_reason) values"
            "('0012001','某商行','2024-01-05','1900-08-14','不制冷'),('0012002','李四','2024-02-01','2024-02-03','漏水')")));
        QVERIFY(dm->RunSQL(QStringLiteral("insert into T_HFrec(F_cltcode,F_cltName,F_date) values('0012002','李四','2024-02-10')")));
        TFrmMain w;
        w.show();
        QCOMPARE(w.rpcList->currentIndex(), 0);
        QCOMPARE(w.QryDetail1->recordCount(), 1);
        QCOMPARE(w.QryDetail2->recordCount(), 0);
        const int xf = w.DBGridEh2->columnOfField(QStringLiteral("F_xfdate"));
        const int bx = w.DBGridEh2->columnOfField(QStringLiteral("F_bxdate"));
        QCOMPARE(w.DBGridEh2->cellText(0, xf), QString());
        QCOMPARE(w.DBGridEh2->cellText(0, bx), QStringLiteral("2024-01-05"));
        const int setup = w.DBGridEh1->columnOfField(QStringLiteral("F_setupDate"));
        QCOMPARE(w.DBGridEh1->cellText(0, setup), QString());               // 1900-08-14
        QCOMPARE(w.DBGridEh1->cellText(1, setup), QStringLiteral("2006-03-01"));
        QCOMPARE(w.DBGridEh1->cellText(2, setup), QString());               // null

        w.DBGridEh1->setCurrentIndex(w.DBGridEh1->model()->index(1, 0));
        QCOMPARE(w.QryDetail1->fieldByName(QStringLiteral("F_reason")).asString(), QStringLiteral("漏水"));
        QCOMPARE(w.QryDetail2->recordCount(), 1);

        // An empty result empties the details too.
        w.ComboBox1->setCurrentIndex(0);
        w.Edit1->setText(QStringLiteral("nobody"));
        QCOMPARE(w.QryMain->recordCount(), 0);
        QCOMPARE(w.QryDetail1->recordCount(), 0);
        QCOMPARE(w.lblCLTnum->text(), QStringLiteral("记录总数： 0 条"));

        // The advanced query closed without a statement: the button goes back up, the list stays.
        w.SpeedButton2->click();
        QVERIFY(!w.SpeedButton2->isChecked());
        QCOMPARE(w.QryMain->recordCount(), 0);
    }

    // A keystroke runs the list, then the three detail lists, in this order
    // and with these texts.
    void keystrokeTrace_data() { TestDb::addBackendRows(); }
    void keystrokeTrace()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        TFrmMain w;
        w.show();
        w.ComboBox1->setCurrentIndex(4);
        ScopedTrace trace(m_dir->filePath(QStringLiteral("trace.txt")));
        w.Edit1->insert(QStringLiteral("139"));
        QCOMPARE(trace.take(),
                 (QStringList {"select * from t_client where (1=1) and isNull(f_handphone,'') like '%139%' "
                               "and isNull(F_useFlag,0) = 0 and isNull(F_IFshoukuan,0) = 0  order by F_code",
                               "select * from t_WXrec where F_cltCode = :F_code order by F_BXdate -- F_code=0012001",
                               "select * from t_HFrec where F_cltCode = :F_code order by F_date -- F_code=0012001",
                               "select * from t_tsREC where F_cltCode = :F_code order by F_tsDate -- F_code=0012001"}));
    }

    // A long list paints its first page without waiting for the count; the
    // count arrives from a reader of its own, and a count made for an older
    // search never lands on a newer one.
    void longListCountFollows_data() { TestDb::addBackendRows(); }
    void longListCountFollows()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        QStringList values;
        for (int i = 0; i < 1700; ++i) {
            values << QStringLiteral("('%1','n%1',2)").arg(i, 5, 10, QLatin1Char('0'));
            if (values.size() == 100) {
                QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_amount) values") + values.join(u',')));
                values.clear();
            }
        }
        TFrmMain w;
        w.show();
        QTRY_COMPARE(w.lblCLTnum->text(), QStringLiteral("记录总数： 1703 条"));
        QTRY_COMPARE(w.DBGridEh1->model()->rowCount(), 1703);

        w.ComboBox1->setCurrentIndex(1);   // ID code starts with
        QTRY_COMPARE(w.lblCLTnum->text(), QStringLiteral("记录总数： 1703 条"));
        w.Edit1->insert(QStringLiteral("0"));   // 00000 ... 01699 and the three 001... of the fixture
        QVERIFY(!w.QryMain->isRecordCountKnown());
        QCOMPARE(w.lblCLTnum->text(), QStringLiteral("记录总数： … 条"));
        QVERIFY(w.DBGridEh1->model()->rowCount() < 1703);
        QCOMPARE(w.DBGridEh1->cellText(0, 0), QStringLiteral("00000"));
        // The count of "0" is made while no events run, so it is waiting when "01" opens.
        QTest::qSleep(800);
        w.Edit1->insert(QStringLiteral("1"));   // 01000 ... 01699
        QTRY_COMPARE(w.lblCLTnum->text(), QStringLiteral("记录总数： 700 条"));
        QTest::qWait(100);
        QCOMPARE(w.lblCLTnum->text(), QStringLiteral("记录总数： 700 条"));
        QCOMPARE(w.QryMain->recordCount(), 700);
        QCOMPARE(w.DBGridEh1->model()->rowCount(), 700);
        QCOMPARE(w.DBGridEh1->cellText(699, 0), QStringLiteral("01699"));

        // The footer totals of the long list come the same way, once typing pauses.
        const int amount = w.DBGridEh1->columnOfField(QStringLiteral("F_amount"));
        QCOMPARE(w.DBGridEh1->column(amount).footerKind, FooterKind::Sum);
        QTRY_VERIFY(w.QryMain->hasSums(w.DBGridEh1->footerSumFields()));
        QCOMPARE(w.DBGridEh1->footerText(amount).toDouble(), 1400.0);
    }

    // Keys of the search box and the category panel, and a click on the
    // category row that is already chosen.
    void keysAndCategoryClicks_data() { TestDb::addBackendRows(); }
    void keysAndCategoryClicks()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = fixture(backend);
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        // Down and Enter in the search text go on to the hits, where Down reaches the second.
        const struct { Qt::Key key; Qt::KeyboardModifiers mods; } toList[] = {
            {Qt::Key_Down, Qt::NoModifier}, {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}};
        for (const auto &k : toList) {
            w.Edit1->setFocus();
            QTRY_VERIFY(w.Edit1->hasFocus());
            QTest::keyClick(w.Edit1, k.key, k.mods);
            QTRY_VERIFY2(w.DBGridEh1->hasFocus(), qPrintable(QString::number(k.key, 16)));
            QCOMPARE(w.QryMain->recNo(), 0);
        }
        QTest::keyClick(w.DBGridEh1, Qt::Key_Down);
        QCOMPARE(w.QryMain->fieldByName(QStringLiteral("F_code")).asString(), QStringLiteral("0012002"));

        // Both labels carry Alt+V: one press reaches one box, the next the other.
        w.BitBtn1->setFocus();
        QTest::keyClick(&w, Qt::Key_V, Qt::AltModifier);
        QWidget *first = QApplication::focusWidget();
        QTest::keyClick(&w, Qt::Key_V, Qt::AltModifier);
        QWidget *second = QApplication::focusWidget();
        QCOMPARE((QSet<QWidget *> {first, second}), (QSet<QWidget *> {w.ComboBox1, w.Edit1}));

        // Tab through the category panel leaves the chosen category alone.
        const int aircon = w.vleList->findItems(QStringLiteral("空调"), Qt::MatchExactly).value(0)->row();
        w.vleList->setCurrentCell(aircon, 1);
        QCOMPARE(codes(w.QryMain), (QStringList {"0012001", "0013001"}));
        w.SpeedButton2->setFocus();
        QTest::keyClick(w.SpeedButton2, Qt::Key_Tab);
        QTRY_VERIFY(w.vleList->hasFocus());
        QTest::keyClick(w.vleList, Qt::Key_Tab);
        QTRY_VERIFY(!w.vleList->hasFocus());
        QCOMPARE(w.vleList->currentRow(), aircon);
        QCOMPARE(codes(w.QryMain), (QStringList {"0012001", "0013001"}));

        // The chosen row's value typed over, then clicked: the list takes the new value, once.
        ScopedTrace trace(m_dir->filePath(QStringLiteral("clicks.txt")));
        w.vleList->item(aircon, 1)->setText(QStringLiteral("冰箱"));
        auto clickRow = [&](int row) {
            const QRect cell = w.vleList->visualRect(w.vleList->model()->index(row, 1));
            QTest::mouseClick(w.vleList->viewport(), Qt::LeftButton, {}, cell.center());
        };
        auto listRuns = [](const QStringList &lines) {
            return std::count_if(lines.begin(), lines.end(),
                                 [](const QString &l) { return l.startsWith(QLatin1String("select * from t_client")); });
        };
        clickRow(aircon);
        QCOMPARE(codes(w.QryMain), (QStringList {"0012002"}));
        QCOMPARE(listRuns(trace.take()), 1);
        clickRow(0);   // another row: once, too
        QCOMPARE(w.vleList->currentRow(), 0);
        QCOMPARE(codes(w.QryMain).size(), 3);
        QCOMPARE(listRuns(trace.take()), 1);
    }

    void captionsFromSettings()
    {
        ScopedSeams seams;
        auto dm = fixture(QStringLiteral("sqlite"));
        PubUnit::KeyValues.set(1, QStringLiteral("保修卡号"));
        PubUnit::KeyValues.set(11, QStringLiteral("回访日"));
        PubUnit::FmtTotal = QStringLiteral("￥,0.00#");
        TFrmMain w;
        w.show();
        auto caption = [&](const char *field) {
            return w.DBGridEh1->column(w.DBGridEh1->columnOfField(QString::fromLatin1(field))).caption;
        };
        QCOMPARE(caption("F_ZF1"), QStringLiteral("保修卡号"));
        QCOMPARE(caption("F_RQ3"), QStringLiteral("回访日"));
        QCOMPARE(caption("F_maker"), QStringLiteral("业务员"));
        QCOMPARE(caption("F_empName"), QStringLiteral("制单人"));
        const int total = w.DBGridEh1->columnOfField(QStringLiteral("F_totalprice"));
        QCOMPARE(w.DBGridEh1->column(total).displayFormat, QStringLiteral("￥,0.00#"));
        QCOMPARE(w.DBGridEh2->column(w.DBGridEh2->columnOfField(QStringLiteral("F_price"))).displayFormat,
                 QStringLiteral("￥,0.00"));
    }

private:
    std::unique_ptr<TdmData> fixture(const QString &backend)
    {
        auto dm = TestDb::freshModule(backend, m_dir->path());
        for (const Customer &c : kCustomers) {
            const QString sql = QStringLiteral(
                "insert into t_client(F_code,F_name,F_buyAddress,F_phone,F_handphone,F_JScode,F_AddGoodA,F_AddGoodB,"
                "F_kpcode,F_memo1,F_maker,F_type,F_xinghao,F_area,F_setupDept,F_kdcode,F_empName,F_useFlag,F_IFshoukuan,"
                "F_setupDate,F_buyDate) values(%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11,%12,%13,%14,%15,%16,%17,%18,%19,%20,'1900-08-14')")
                .arg(quoted(c.code), quoted(c.name), quoted(c.address), quoted(c.phone), quoted(c.mobile),
                     quoted(c.bodyCode), quoted(c.giftA), quoted(c.giftB), quoted(c.bill))
                .arg(quoted(c.memo), quoted(c.maker), quoted(c.type), quoted(c.model), quoted(c.area), quoted(c.dept),
                     quoted(c.batch), quoted(c.emp), QString::number(c.disabled))
                .arg(QString::number(c.paid), quoted(c.setupDate));
            if (!dm->RunSQL(sql)) qFatal("fixture: %s", qPrintable(sql));
        }
        dm->RunSQL(QStringLiteral("insert into t_code(F_name,F_code,F_type) values('电饭煲','dfb','addgood'),"
                                  "('王强','wq','maker'),('张丽','zl','maker')"));
        return dm;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
