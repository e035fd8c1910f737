// The statements of the repair, return-visit and complaint lists, letter for
// letter, and what they find on each backend.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "data/DataSet.h"
#include "data/TdmData.h"
#include "service/ServiceListSql.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ServiceKind)

namespace {
const QDate kFrom(2024, 3, 1);
const QDate kTo(2024, 3, 15);

ServiceListFilter range(std::optional<QDate> from = kFrom, std::optional<QDate> to = kTo)
{
    ServiceListFilter f;
    f.from = from;
    f.to = to;
    return f;
}

// The F_IDs a statement lists, in its order.
QList<int> ids(TdmData &dm, const QString &sql)
{
    DataSet q(&dm.ADOcnn);
    if (!dm.OpenSQL(sql, &q)) return {-1};
    QList<int> r;
    for (q.first(); !q.eof(); q.next()) r << q.fieldByName(QStringLiteral("F_ID")).asInteger();
    return r;
}
} // namespace

class TestServiceListSql : public QObject {
    Q_OBJECT
private slots:
    void workedExample()
    {
        ServiceListFilter f = range();
        f.field = 1;
        f.text = QStringLiteral("  A12 ");
        f.categoryType = 0;
        f.categoryChosen = true;
        f.category = QStringLiteral("KFR-35");
        QCOMPARE(serviceListSql(ServiceKind::Repair, f),
                 QStringLiteral("select * from T_WXrec where (F_BXdate >= '2024-03-01' and F_BXdate <= '2024-03-15') "
                                "and F_JScode like '%A12%' and F_xingHao = 'KFR-35' order by F_BXdate"));
    }

    void rangesAndOrder_data()
    {
        QTest::addColumn<ServiceKind>("kind");
        QTest::addColumn<bool>("fromOn");
        QTest::addColumn<bool>("toOn");
        QTest::addColumn<QString>("sql");
        QTest::newRow("repair, both off") << ServiceKind::Repair << false << false
            << "select * from T_WXrec where (F_BXdate >= '1900-08-14' and F_BXdate <= '3000-08-14') order by F_BXdate";
        QTest::newRow("visit, both on") << ServiceKind::ReturnVisit << true << true
            << "select * from T_HFrec where (F_date >= '2024-03-01' and F_date <= '2024-03-15') order by F_date";
        QTest::newRow("visit, to off") << ServiceKind::ReturnVisit << true << false
            << "select * from T_HFrec where (F_date >= '2024-03-01' and F_date <= '3000-08-14') order by F_date";
        // A complaint's date carries its time: the to-date reaches the end of its day.
        QTest::newRow("complaint, both on") << ServiceKind::Complaint << true << true
            << "select * from T_TSrec where (F_TSdate >= '2024-03-01' and F_TSdate <= '2024-03-15 23:59:59') order by F_TSdate";
        QTest::newRow("complaint, from off") << ServiceKind::Complaint << false << true
            << "select * from T_TSrec where (F_TSdate >= '1900-08-14' and F_TSdate <= '2024-03-15 23:59:59') order by F_TSdate";
    }

    void rangesAndOrder()
    {
        QFETCH(ServiceKind, kind);
        QFETCH(bool, fromOn);
        QFETCH(bool, toOn);
        QFETCH(QString, sql);
        QCOMPARE(serviceListSql(kind, range(fromOn ? std::optional(kFrom) : std::nullopt, toOn ? std::optional(kTo) : std::nullopt)),
                 sql);
    }

    void searchClauses_data()
    {
        QTest::addColumn<ServiceKind>("kind");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("clause");
        const ServiceKind r = ServiceKind::Repair, v = ServiceKind::ReturnVisit, c = ServiceKind::Complaint;
        QTest::newRow("repair none") << r << -1 << QString() << QString();
        QTest::newRow("repair 0") << r << 0 << "客户名称" << "and F_CLTname like '%o''k%' ";
        QTest::newRow("repair 1") << r << 1 << "机身编码" << "and F_JScode like '%o''k%' ";
        QTest::newRow("repair 2") << r << 2 << "维修单号" << "and F_BillCode like '%o''k%' ";
        QTest::newRow("repair 3") << r << 3 << "处理结果" << "and F_Mem1 like '%o''k%' ";
        QTest::newRow("visit 0") << v << 0 << "客户名称" << "and F_CLTname like '%o''k%' ";
        QTest::newRow("visit 1 starts with") << v << 1 << "回访人员" << "and F_EmpName like 'o''k%' ";
        QTest::newRow("visit 2") << v << 2 << "回访内容" << "and F_mem1 like '%o''k%' ";
        QTest::newRow("visit 3") << v << 3 << "回访事项处理" << "and F_mem2 like '%o''k%' ";
        QTest::newRow("complaint 0") << c << 0 << "客户名称" << "and F_CLTname like '%o''k%' ";
        QTest::newRow("complaint 1") << c << 1 << "投诉原因" << "and F_reason like '%o''k%' ";
        QTest::newRow("complaint 2") << c << 2 << "投诉处理结果" << "and F_memo1 like '%o''k%' ";
        QTest::newRow("complaint 3") << c << 3 << "备注" << "and F_memo2 like '%o''k%' ";
        QTest::newRow("complaint past the end") << c << 4 << QString() << QString();
    }

    // Each field's caption and clause; the search text is trimmed and its quote doubled.
    void searchClauses()
    {
        QFETCH(ServiceKind, kind);
        QFETCH(int, field);
        QFETCH(QString, caption);
        QFETCH(QString, clause);
        const ServiceListFamily &fam = serviceListFamily(kind);
        if (!caption.isEmpty()) QCOMPARE(fam.searchFields.at(field).caption, caption);
        ServiceListFilter f = range(std::nullopt, std::nullopt);
        f.field = field;
        f.text = QStringLiteral(" o'k  ");
        const QString sql = serviceListSql(kind, f);
        const QString head = serviceListSql(kind, range(std::nullopt, std::nullopt));
        const QString order = QStringLiteral("order by ") + fam.dateField;
        QCOMPARE(sql, head.left(head.size() - order.size()) + clause + order);
    }

    void categories_data()
    {
        QTest::addColumn<ServiceKind>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("listSql");
        QTest::addColumn<QString>("clause");
        const ServiceKind r = ServiceKind::Repair, c = ServiceKind::Complaint;
        QTest::newRow("repair model") << r << 0 << "型    号"
            << "select distinct F_xingHao as F_name from T_WXrec group by F_xingHao" << "and F_xingHao = 'a''b' ";
        QTest::newRow("repair reason") << r << 1 << "故障原因"
            << "select distinct F_reason as F_name from T_WXrec group by F_reason" << "and F_reason = 'a''b' ";
        QTest::newRow("repair dept") << r << 2 << "维修部门"
            << "select distinct F_setupDept as F_name from T_WXrec group by F_setupDept" << "and F_setupDept = 'a''b' ";
        QTest::newRow("repair repairer") << r << 3 << "维修人员"
            << "select distinct F_FWname as F_name from T_WXrec group by F_FWname" << "and F_FWname = 'a''b' ";
        QTest::newRow("complaint level") << c << 0 << "级    别"
            << "select distinct F_jibie as F_name from T_TSrec where F_jibie <> '' group by F_jibie" << "and F_jibie = 'a''b' ";
        QTest::newRow("complaint maker") << c << 1 << "制 单 人"
            << "select distinct F_maker as F_name from T_TSrec where F_maker <> '' group by F_maker" << "and F_Maker = 'a''b' ";
        QTest::newRow("complaint past the end") << c << 2 << QString() << QString() << QString();
        QTest::newRow("return visits have none") << ServiceKind::ReturnVisit << 0 << QString() << QString() << QString();
    }

    // The list of each category type, and the clause of a chosen value (with
    // its quote doubled); "全部" adds nothing.
    void categories()
    {
        QFETCH(ServiceKind, kind);
        QFETCH(int, type);
        QFETCH(QString, caption);
        QFETCH(QString, listSql);
        QFETCH(QString, clause);
        const ServiceListFamily &fam = serviceListFamily(kind);
        if (!caption.isEmpty()) QCOMPARE(fam.categoryTypes.at(type).caption, caption);
        QCOMPARE(serviceCategoryListSql(kind, type), listSql);
        ServiceListFilter f = range();
        f.categoryType = type;
        f.category = QStringLiteral("a'b");
        const QString all = serviceListSql(kind, f);
        f.categoryChosen = true;
        const QString order = QStringLiteral("order by ") + fam.dateField;
        QCOMPARE(serviceListSql(kind, f), all.left(all.size() - order.size()) + clause + order);
    }

    void texts()
    {
        QCOMPARE(serviceDeleteQuestion(ServiceKind::Repair, QStringLiteral("WX01")),
                 QStringLiteral("真的要删除维修单号为 WX01 维修记录吗？"));
        QCOMPARE(serviceDeleteQuestion(ServiceKind::ReturnVisit, QStringLiteral("张三")),
                 QStringLiteral("真的要删除客户名称为 张三 回访记录吗？"));
        QCOMPARE(serviceDeleteQuestion(ServiceKind::Complaint, QStringLiteral("张三")),
                 QStringLiteral("真的要删除客户名称为 张三 的投诉记录吗？"));
        QCOMPARE(serviceMemoDateText(ServiceKind::Repair, std::nullopt, std::nullopt),
                 QStringLiteral("报修日期：自 启用系统 至 记帐最后一天"));
        QCOMPARE(serviceMemoDateText(ServiceKind::ReturnVisit, kFrom, std::nullopt),
                 QStringLiteral("统计日期：自 2024-03-01 至 记帐最后一天"));
        QCOMPARE(serviceMemoDateText(ServiceKind::Complaint, std::nullopt, kTo),
                 QStringLiteral("统计日期：自 启用系统 至 2024-03-15"));
        QCOMPARE(visitorNamesSql(), QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = 'maker' "));
    }

    void onTheDatabase_data() { TestDb::addBackendRows(); }

    // What the statements find: the range bounds (a complaint late on the
    // last day included), a quote in the search text and the category value,
    // an empty search keeping only named rows, the visitor matched at the start.
    void onTheDatabase()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QVERIFY(dm->RunSQL(QStringLiteral(
            "insert into T_WXrec(F_cltName,F_bxdate,F_xinghao,F_JScode) values"
            "('O''Neil','2024-03-01','K''1','A12'),('乙','2024-03-15','K2','XA12'),(NULL,'2024-03-10','K''1','B'),"
            "('丁','2024-02-29','K''1','A12'),('戊','2024-03-16','K''1','A12')")));
        QVERIFY(dm->RunSQL(QStringLiteral(
            "insert into T_TSrec(F_cltName,F_tsdate,F_jibie) values"
            "('甲','2024-03-15 23:30:00','高'),('乙','2024-03-16 00:00:00','高'),('丙','2024-03-01 00:00:00','低')")));
        QVERIFY(dm->RunSQL(QStringLiteral(
            "insert into T_HFrec(F_cltName,F_date,F_empname) values('甲','2024-03-02','王小二'),('乙','2024-03-03','小王')")));

        ServiceListFilter f = range();
        QCOMPARE(ids(*dm, serviceListSql(ServiceKind::Repair, f)), (QList<int> {1, 3, 2}));
        f.field = 0;
        QCOMPARE(ids(*dm, serviceListSql(ServiceKind::Repair, f)), (QList<int> {1, 2}));
        f.text = QStringLiteral("o'n");
        QCOMPARE(ids(*dm, serviceListSql(ServiceKind::Repair, f)), (QList<int> {1}));
        f.field = 1;
        f.text = QStringLiteral("A12");
        f.categoryChosen = true;
        f.category = QStringLiteral("K'1");
        QCOMPARE(ids(*dm, serviceListSql(ServiceKind::Repair, f)), (QList<int> {1}));
        QCOMPARE(ids(*dm, serviceListSql(ServiceKind::Repair, range(std::nullopt, std::nullopt))), (QList<int> {4, 1, 3, 2, 5}));

        QCOMPARE(ids(*dm, serviceListSql(ServiceKind::Complaint, range())), (QList<int> {3, 1}));
        ServiceListFilter levels = range(std::nullopt, std::nullopt);
        levels.categoryChosen = true;
        levels.category = QStringLiteral("高");
        QCOMPARE(ids(*dm, serviceListSql(ServiceKind::Complaint, levels)), (QList<int> {1, 2}));

        ServiceListFilter visitor = range();
        visitor.field = 1;
        visitor.text = QStringLiteral("王");
        QCOMPARE(ids(*dm, serviceListSql(ServiceKind::ReturnVisit, visitor)), (QList<int> {1}));
        QVERIFY(seams.dialogs.calls.isEmpty());
    }
};

QTEST_MAIN(TestServiceListSql)
#include "tst_servicelistsql.moc"
