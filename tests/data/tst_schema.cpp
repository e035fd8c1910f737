// The schema and starting rows on each backend, and the demo archive.
#include "TestDb.h"

#include "app/Companion.h"
#include "data/Connection.h"
#include "data/DemoData.h"
#include "data/Schema.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlRecord>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

QVariant scalar(Connection &cnn, const QString &tsql)
{
    QSqlQuery q(cnn.database());
    if (!cnn.exec(q, tsql)) qFatal("%s: %s", qPrintable(tsql), qPrintable(cnn.lastError()));
    const QVariant v = q.next() ? q.value(0) : QVariant();
    q.finish();
    return v;
}

QList<QVariantList> rows(Connection &cnn, const QString &tsql)
{
    QSqlQuery q(cnn.database());
    if (!cnn.exec(q, tsql)) qFatal("%s: %s", qPrintable(tsql), qPrintable(cnn.lastError()));
    QList<QVariantList> out;
    while (q.next()) {
        QVariantList r;
        for (int i = 0; i < q.record().count(); ++i) r << q.value(i);
        out << r;
    }
    return out;
}

bool hasColumn(const QString &table, const QString &column)
{
    const Schema::TableDef *t = Schema::table(table);
    if (!t) return false;
    for (const Schema::ColumnDef &c : t->columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) return true;
    return false;
}

} // namespace

class TestSchema : public QObject {
    Q_OBJECT
private slots:
    void columnType_data();
    void columnType();
    void tableLookup();
    void createStatements();

    void installAndCheck_data() { TestDb::addBackendRows(); }
    void installAndCheck();
    void startingRows_data() { TestDb::addBackendRows(); }
    void startingRows();
    void installTwiceRefused_data() { TestDb::addBackendRows(); }
    void installTwiceRefused();
    void checkFindsMissingParts_data() { TestDb::addBackendRows(); }
    void checkFindsMissingParts();

    void demoData_data() { TestDb::addBackendRows(); }
    void demoData();
    void demoBulkKeepsIndexes();
};

void TestSchema::columnType_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("type");   // -1 = none
    QTest::newRow("code") << "f_CODE" << int(ColType::Text);
    QTest::newRow("id") << "F_ID" << int(ColType::Identity);
    QTest::newRow("amount") << "f_amount" << int(ColType::Float);
    QTest::newRow("paid") << "F_IFSHOUKUAN" << int(ColType::Bit);
    QTest::newRow("buy date") << "f_buydate" << int(ColType::DateTime);
    QTest::newRow("memo") << "F_memo1" << int(ColType::LongText);
    QTest::newRow("mainid") << "F_mainID" << int(ColType::Integer);
    QTest::newRow("log date is text") << "F_OperDate" << int(ColType::Text);
    QTest::newRow("grid width") << "f_width" << int(ColType::Integer);
    QTest::newRow("visit memo2") << "F_MEM2" << int(ColType::LongText);
    QTest::newRow("flag differs by table") << "F_flag" << -1;
    QTest::newRow("unknown") << "F_nothing" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestSchema::columnType()
{
    QFETCH(QString, column);
    QFETCH(int, type);
    const std::optional<ColType> t = Schema::columnType(column);
    QCOMPARE(t.has_value() ? int(*t) : -1, type);
}

void TestSchema::tableLookup()
{
    const QStringList expected = {"t_client", "T_WXrec", "T_HFrec", "T_TSrec", "t_code", "t_treecode", "OperList",
                                  "Limits", "OperLimit", "LogRec", "cfg_Grid", "cfg_import", "KeyValue", "SysInfo"};
    QCOMPARE(Schema::tables().size(), expected.size());
    for (const QString &name : expected) {
        const Schema::TableDef *t = Schema::table(name.toUpper());
        QVERIFY2(t, qPrintable(name));
        QCOMPARE(t->name, name);
        // Every table can be addressed by row.
        QVERIFY2(hasColumn(name, "F_ID"), qPrintable(name));
    }
    QVERIFY(!Schema::table("t_nothing"));
    const Schema::TableDef *client = Schema::table("t_client");
    QCOMPARE(client->columns.first().name, QString("F_ID"));
    QCOMPARE(client->columns.at(1).name, QString("F_code"));
    QCOMPARE(client->columns.last().name, QString("F_email"));
    QCOMPARE(client->columns.size(), 46);
}

void TestSchema::createStatements()
{
    const auto dialect = Dialect::create("sqlite");
    const QStringList st = Schema::createStatements(*dialect);
    int tables = 0;
    for (const QString &s : st) tables += s.startsWith("create table ");
    QCOMPARE(tables, Schema::tables().size());
    QVERIFY(st.filter("on t_client(F_code, F_useFlag, F_IFshoukuan)").size() == 1);
    QVERIFY(st.filter("on T_WXrec(F_cltcode)").size() == 1);
    // Indexes come after every table.
    QVERIFY(st.indexOf(QRegularExpression("^create (unique )?index .*")) > st.lastIndexOf(QRegularExpression("^create table .*")));
}

void TestSchema::installAndCheck()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    const ConnectionSettings s = TestDb::fresh(backend, dir.path());
    Connection cnn("tst");
    QVERIFY2(cnn.open(s), qPrintable(cnn.lastError()));
    QStringList problems{"stale"};
    QVERIFY2(Schema::check(cnn, &problems), qPrintable(problems.join('\n')));
    QVERIFY(problems.isEmpty());
}

void TestSchema::startingRows()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    const ConnectionSettings s = TestDb::fresh(backend, dir.path());
    Connection cnn("tst");
    QVERIFY(cnn.open(s));

    // The one operator, whose password is the empty one.
    const auto ops = rows(cnn, "select F_Name, F_PassWord, isNull(F_Flag,0), isNull(F_xtFlag,0) from OperList");
    QCOMPARE(ops.size(), 1);
    QCOMPARE(ops[0][0].toString(), QString("admin"));
    QCOMPARE(GetPass(ops[0][1].toString()), QString());
    QCOMPARE(ops[0][2].toInt(), 0);
    QCOMPARE(ops[0][3].toInt(), 0);

    QCOMPARE(scalar(cnn, "select count(*) from SysInfo").toInt(), 1);
    QVERIFY(!scalar(cnn, "select F_Code from SysInfo").toString().isEmpty());
    QVERIFY(scalar(cnn, "select F_Name from SysInfo").toString().size() <= 10);

    const auto kv = rows(cnn, "select F_ID, F_Value from KeyValue order by F_ID");
    QCOMPARE(kv.size(), 15);
    for (int i = 0; i < 15; ++i) QCOMPARE(kv[i][0].toInt(), i + 1);
    for (int i = 11; i < 14; ++i) {
        bool ok = false;
        const int digits = kv[i][1].toString().toInt(&ok);
        QVERIFY(ok && digits >= 0 && digits <= 9);
    }

    // One right per code; names are the grant keys, so they must differ.
    const auto rights = rows(cnn, "select F_code, F_name, isNull(F_flag,0) from Limits order by F_code");
    QCOMPARE(rights.size(), 32);
    QSet<QString> names, codes;
    for (const auto &r : rights) {
        codes << r[0].toString();
        names << r[1].toString();
        const bool offered = r[2].toInt() == 1;
        QCOMPARE(offered, r[0].toString() != "105" && r[0].toString() != "505");
    }
    QCOMPARE(names.size(), 32);
    QCOMPARE(codes.size(), 32);
    QVERIFY(codes.contains("101") && codes.contains("207") && codes.contains("308") && codes.contains("407")
            && codes.contains("504"));

    // Grid layouts: every key, fields that exist, orders 0..n-1.
    const QHash<QString, QString> tableOf = {
        {"clientmain", "t_client"}, {"dlgcltrecxz", "t_client"}, {"wxrecman", "T_WXrec"},
        {"hfrecman", "T_HFrec"},   {"tsrecman", "T_TSrec"},     {"xsdetailtj", "t_client"},
        {"azdetailtj", "t_client"}, {"zpdetailtj", "t_client"}, {"wxdetailtj", "T_WXrec"},
        {"tsdetailtj", "T_TSrec"},  {"awokegl1", "t_client"}};
    const auto grid = rows(cnn, "select F_name, F_FieldName, F_Order, F_FooterType, F_Width, isNull(F_Visible,0) "
                                "from cfg_Grid order by F_name, F_Order");
    QHash<QString, int> perKey;
    for (const auto &r : grid) {
        const QString key = r[0].toString();
        QVERIFY2(tableOf.contains(key), qPrintable(key));
        QCOMPARE(r[2].toInt(), perKey[key]++);
        const QString field = r[1].toString();
        QVERIFY(!field.isEmpty());
        // Statistics lists join the customer in; the reminder adds a day count.
        QVERIFY2(hasColumn(tableOf[key], field) || hasColumn("t_client", field) || field == "F_num",
                 qPrintable(key + ": " + field));
        QVERIFY(r[4].toInt() > 20);
    }
    QCOMPARE(perKey.size(), 11);
    QCOMPARE(scalar(cnn, "select count(*) from cfg_Grid where F_name = 'clientmain' and F_FooterType = 2 "
                         "and F_FieldName = 'F_totalprice'").toInt(), 1);

    // Import map: customer columns only, never the system's own.
    const auto imp = rows(cnn, "select S_Field, F_fieldName, F_Field, F_iFlag from cfg_import where F_tablename = 't_client'");
    QVERIFY(imp.size() >= 30);
    QSet<QString> targets;
    for (const auto &r : imp) {
        const QString f = r[0].toString();
        QVERIFY2(hasColumn("t_client", f), qPrintable(f));
        QVERIFY(f.compare("F_ID", Qt::CaseInsensitive) && f.compare("F_areaID", Qt::CaseInsensitive)
                && f.compare("F_empName", Qt::CaseInsensitive));
        QVERIFY(!r[1].toString().isEmpty());
        QCOMPARE(r[2].toString(), r[1].toString());
        QCOMPARE(r[3].toInt(), 1);
        targets << f.toLower();
    }
    QCOMPARE(targets.size(), imp.size());

    for (const char *type : {"type", "xinghao", "area", "setupdept", "kdcode", "maker", "addgood", "reason", "fwname",
                             "tsjibie", "opername"})
        QVERIFY2(scalar(cnn, QString("select count(*) from t_code where F_name <> '' and F_type = '%1'").arg(type)).toInt() >= 2,
                 type);
    QCOMPARE(scalar(cnn, "select count(*) from t_treecode where F_flag = 'area'").toInt(),
             scalar(cnn, "select count(*) from t_code where F_type = 'area'").toInt());
}

void TestSchema::installTwiceRefused()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    const ConnectionSettings s = TestDb::fresh(backend, dir.path());
    Connection cnn("tst");
    QVERIFY(cnn.open(s));
    QString error;
    QVERIFY(!Schema::install(cnn, &error));
    QVERIFY(error.contains("t_client"));
    QCOMPARE(scalar(cnn, "select count(*) from OperList").toInt(), 1);
    QCOMPARE(scalar(cnn, "select count(*) from KeyValue").toInt(), 15);
    QVERIFY(!cnn.inTransaction());
}

void TestSchema::checkFindsMissingParts()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    const ConnectionSettings s = TestDb::fresh(backend, dir.path());
    Connection cnn("tst");
    QVERIFY(cnn.open(s));
    QSqlQuery q(cnn.database());
    QVERIFY(cnn.execNative(q, "drop table LogRec", {}, {}));
    QVERIFY2(cnn.execNative(q, "alter table t_client drop column F_email", {}, {}), qPrintable(cnn.lastError()));
    QStringList problems;
    QVERIFY(!Schema::check(cnn, &problems));
    QCOMPARE(problems.size(), 2);
    QVERIFY(problems.filter("LogRec").size() == 1);
    QVERIFY(problems.filter("F_email").size() == 1);
}

void TestSchema::demoData()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    const ConnectionSettings s = TestDb::fresh(backend, dir.path());
    Connection cnn("tst");
    QVERIFY(cnn.open(s));

    int lastDone = -1, lastTotal = -1;
    QString error;
    DemoData::Options o;
    o.customers = 400;
    QVERIFY2(DemoData::generate(cnn, o, &error, [&](int d, int t) { lastDone = d; lastTotal = t; }), qPrintable(error));
    QCOMPARE(lastDone, lastTotal);
    QCOMPARE(scalar(cnn, "select count(*) from t_client").toInt(), 400);
    QCOMPARE(scalar(cnn, "select min(F_code) from t_client").toString(), QString("00000001"));
    QCOMPARE(scalar(cnn, "select max(F_code) from t_client").toString(), QString("00000400"));
    QCOMPARE(lastTotal, 400 + scalar(cnn, "select count(*) from T_WXrec").toInt()
                            + scalar(cnn, "select count(*) from T_HFrec").toInt()
                            + scalar(cnn, "select count(*) from T_TSrec").toInt());

    // Service records point at their customer by row id, code and name.
    for (const char *t : {"T_WXrec", "T_HFrec", "T_TSrec"}) {
        QVERIFY2(scalar(cnn, QString("select count(*) from %1").arg(t)).toInt() > 0, t);
        QCOMPARE(scalar(cnn, QString("select count(*) from %1 r left join t_client c on c.F_ID = r.F_mainID "
                                     "where c.F_code is null or c.F_code <> r.F_cltcode or c.F_name <> r.F_cltName")
                                 .arg(t)).toInt(), 0);
    }
    // Sensible values: mobiles of 11 digits, totals = units x price, dates in range.
    QCOMPARE(scalar(cnn, "select count(*) from t_client where F_handphone <> '' and F_handphone not like '1" + QString(10, '_') + "'").toInt(), 0);
    QCOMPARE(scalar(cnn, "select count(*) from t_client where abs(F_totalprice - F_amount * F_price) > 0.001").toInt(), 0);
    QCOMPARE(scalar(cnn, "select count(*) from t_client where F_buyDate < '2021-01-01'").toInt(), 0);
    QCOMPARE(scalar(cnn, "select count(*) from t_client where F_setupDate > '1901-08-14' and F_setupDate < F_buyDate").toInt(), 0);
    const int paid = scalar(cnn, "select count(*) from t_client where isNull(F_IFshoukuan,0) = 1").toInt();
    QVERIFY(paid > 40 && paid < 130);
    QVERIFY(scalar(cnn, "select count(*) from t_client where F_areaID > 0").toInt() > 0);

    // The demo operators can log in with the empty password.
    for (const QString &op : DemoData::demoOperators()) {
        const QString stored = scalar(cnn, QString("select F_PassWord from OperList where F_Name = '%1'").arg(op)).toString();
        QVERIFY(scalar(cnn, QString("select count(*) from OperList where F_Name = '%1'").arg(op)).toInt() == 1);
        QCOMPARE(GetPass(stored), QString());
        QVERIFY(scalar(cnn, QString("select count(*) from OperLimit where F_OperName = '%1'").arg(op)).toInt() > 0);
    }

    // A second run continues the codes and adds no second set of operators.
    o.customers = 10;
    QVERIFY2(DemoData::generate(cnn, o, &error), qPrintable(error));
    QCOMPARE(scalar(cnn, "select max(F_code) from t_client").toString(), QString("00000410"));
    QCOMPARE(scalar(cnn, "select count(distinct F_code) from t_client").toInt(), 410);
    QCOMPARE(scalar(cnn, "select count(*) from OperList").toInt(), 3);
}

void TestSchema::demoBulkKeepsIndexes()
{
    // A large load drops the indexes and builds them again; they must all be back.
    QTemporaryDir dir;
    const ConnectionSettings s = TestDb::fresh("sqlite", dir.path());
    Connection cnn("tst");
    QVERIFY(cnn.open(s));
    const QString count = "select count(*) from sqlite_master where type = 'index' and name not like 'sqlite%'";
    const int before = scalar(cnn, count).toInt();
    QVERIFY(before >= 25);
    QString error;
    DemoData::Options o;
    o.customers = 20000;
    QVERIFY2(DemoData::generate(cnn, o, &error), qPrintable(error));
    QCOMPARE(scalar(cnn, count).toInt(), before);
    QCOMPARE(scalar(cnn, "select count(*) from t_client").toInt(), 20000);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
