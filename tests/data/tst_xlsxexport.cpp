// The .xlsx writer and the export of a data set's columns as the list shows
// them: files read back as a spreadsheet program would.
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "data/XlsxExport.h"

#include "ScriptedDialogs.h"
#include "TestDb.h"
#include "ZipEntry.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

// Rows held in memory; text is what a grid would show for the value.
class MemRows : public RowSource {
public:
    QList<QVariantList> data;
    int failAt = -1;   // a read error at this row, as a dropped connection gives
    QStringList fieldNames() const override { return {}; }
    int rowCount() const override { return int(data.size()); }
    bool start() override { m_row = -1; return true; }
    bool nextRow() override { return ++m_row < data.size() && m_row != failAt; }
    QString error() const override { return m_row == failAt ? QStringLiteral("连接已断开") : QString(); }
    QVariant value(int col) const override { return data.at(m_row).value(col); }
    QString text(int col) const override
    {
        const QVariant v = value(col);
        return v.typeId() == QMetaType::QDate ? v.toDate().toString(Qt::ISODate) : v.toString();
    }

private:
    int m_row = -1;
};

struct Cell {
    QString type;    // t attribute: "inlineStr", "" for numbers
    int style = 0;
    QString value;   // <v> or the inline text
    bool hasValue = false;
};

struct Sheet {
    QHash<QString, Cell> cells;   // by reference, "A1"
    QStringList rows;             // row numbers in file order
};

Sheet readSheet(const QByteArray &xml)
{
    Sheet s;
    QXmlStreamReader r(xml);
    QString ref;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        if (r.name() == u"row") {
            s.rows << r.attributes().value(QStringLiteral("r")).toString();
        } else if (r.name() == u"c") {
            ref = r.attributes().value(QStringLiteral("r")).toString();
            Cell c;
            c.type = r.attributes().value(QStringLiteral("t")).toString();
            c.style = r.attributes().value(QStringLiteral("s")).toInt();
            s.cells.insert(ref, c);
        } else if (r.name() == u"v" || r.name() == u"t") {
            Cell &c = s.cells[ref];
            c.value = r.readElementText();
            c.hasValue = true;
        }
    }
    return s;
}

// Style index -> number format code (built-in ids as "#<id>").
QStringList readCellFormats(const QByteArray &xml)
{
    QHash<int, QString> codes;
    QStringList out;
    QXmlStreamReader r(xml);
    bool inCellXfs = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"numFmt")
            codes.insert(r.attributes().value(QStringLiteral("numFmtId")).toInt(),
                         r.attributes().value(QStringLiteral("formatCode")).toString());
        if (r.name() == u"cellXfs")
            inCellXfs = r.isStartElement();
        if (inCellXfs && r.isStartElement() && r.name() == u"xf") {
            const int id = r.attributes().value(QStringLiteral("numFmtId")).toInt();
            out << codes.value(id, QStringLiteral("#%1").arg(id));
        }
    }
    return out;
}

QString sheetNameIn(const QByteArray &workbookXml)
{
    QXmlStreamReader r(workbookXml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"sheet")
            return r.attributes().value(QStringLiteral("name")).toString();
    }
    return {};
}

// The style of each column (<col min= max= style=>), by 1-based column number.
QHash<int, int> columnStyles(const QByteArray &xml)
{
    QHash<int, int> styles;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() == QXmlStreamReader::StartElement && r.name() == QLatin1String("col")) {
            const auto a = r.attributes();
            for (int c = a.value("min").toInt(); c <= a.value("max").toInt(); ++c)
                styles.insert(c, a.value("style").toInt());
        }
    }
    return styles;
}

QStringList leftovers(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestXlsxExport : public QObject {
    Q_OBJECT
private slots:
    void writesCellsByColumnKind();
    void emptyListGivesTitleRowOnly();
    void sheetName_data();
    void sheetName();
    void missingFolderFails();
    void cancelLeavesExistingFileAlone();
    void reportsProgress();
    void readErrorLeavesNoFile();
    void dataSetColumnsAsTheListShowsThem();
    void longListSurvivesStatementsMeanwhile_data();
    void longListSurvivesStatementsMeanwhile();
    void exportSaysWhereTheFileIs();
};

void TestXlsxExport::writesCellsByColumnKind()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("客户资料.xlsx"));
    const QList<XlsxColumn> columns = {
        {QStringLiteral("客户编号"), {}},
        {QStringLiteral("客户名称"), {}},
        {QStringLiteral("金额"), QStringLiteral("￥,0.00")},
        {QStringLiteral("安装日期"), {}},
        {QStringLiteral("备注"), {}},
    };
    const QString longText(10000, QChar(0x957F));   // 长
    MemRows rows;
    rows.data = {
        {"00123", "张三", 1234.5, QDate(1900, 8, 14), longText},
        {"00456", "李四", "待定", "2024-03-05", "  1900-08-14 "},
        {"", "王五", QVariant(), "2024-01-01", "x<&>y"},
        {"00789", "赵六", "88.8", "", "1900-08-15"},
    };
    const QString forty(40, QChar(0x6570));   // 数
    const QString wanted = QStringLiteral("客户[]:*?/\\") + forty;

    QString error;
    QVERIFY2(writeXlsx(file, wanted, columns, rows, &error), qPrintable(error));
    QVERIFY(error.isEmpty());
    QCOMPARE(leftovers(dir.path()), QStringList {QStringLiteral("客户资料.xlsx")});

    const Sheet s = readSheet(zipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    const QStringList formats = readCellFormats(zipEntry(file, QStringLiteral("xl/styles.xml")));
    QVERIFY(!formats.isEmpty());
    auto formatOf = [&](const QString &ref) { return formats.value(s.cells.value(ref).style); };

    // Title row.
    QCOMPARE(s.cells.value("A1").type, QStringLiteral("inlineStr"));
    QCOMPARE(s.cells.value("A1").value, QStringLiteral("客户编号"));
    QCOMPARE(s.cells.value("C1").value, QStringLiteral("金额"));
    QCOMPARE(s.rows, (QStringList {"1", "2", "3", "4", "5"}));

    // A code keeps its leading zeros as text.
    QCOMPARE(s.cells.value("A2").type, QStringLiteral("inlineStr"));
    QCOMPARE(s.cells.value("A2").value, QStringLiteral("00123"));
    QCOMPARE(formatOf("A2"), QStringLiteral("#49"));

    // Money is a number in the quoted currency format.
    QCOMPARE(s.cells.value("C2").type, QString());
    QCOMPARE(s.cells.value("C2").value.toDouble(), 1234.5);
    QCOMPARE(formatOf("C2"), QStringLiteral("\"￥\"#,##0.00"));
    QCOMPARE(s.cells.value("C5").type, QString());   // numeric text becomes a number
    QCOMPARE(s.cells.value("C5").value.toDouble(), 88.8);
    // Text that is no number stays text, in the same format.
    QCOMPARE(s.cells.value("C3").type, QStringLiteral("inlineStr"));
    QCOMPARE(s.cells.value("C3").value, QStringLiteral("待定"));
    QCOMPARE(formatOf("C3"), QStringLiteral("\"￥\"#,##0.00"));
    QVERIFY(!s.cells.value("C4").hasValue);

    // The no-date value leaves the cell empty, trimmed or not; a real date stays.
    QVERIFY(!s.cells.value("D2").hasValue);
    QVERIFY(!s.cells.value("E3").hasValue);
    QCOMPARE(s.cells.value("D3").value, QStringLiteral("2024-03-05"));
    QCOMPARE(s.cells.value("E5").value, QStringLiteral("1900-08-15"));
    QVERIFY(!s.cells.value("A4").hasValue);
    // An empty cell takes its column's format when someone types into it.
    const QHash<int, int> colStyles = columnStyles(zipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(formats.value(colStyles.value(1)), QStringLiteral("#49"));
    QCOMPARE(formats.value(colStyles.value(3)), QStringLiteral("\"￥\"#,##0.00"));

    QCOMPARE(s.cells.value("E2").value, longText);
    QCOMPARE(s.cells.value("E4").value, QStringLiteral("x<&>y"));

    // Forbidden characters replaced, cut to 31 characters.
    const QString name = sheetNameIn(zipEntry(file, QStringLiteral("xl/workbook.xml")));
    QCOMPARE(name, QStringLiteral("客户_______") + forty.left(22));
    QCOMPARE(name.size(), 31);
}

void TestXlsxExport::emptyListGivesTitleRowOnly()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("empty.xlsx"));
    MemRows rows;
    QString error;
    QVERIFY2(writeXlsx(file, QStringLiteral("维修记录"),
                       {{QStringLiteral("编号"), {}}, {QStringLiteral("金额"), QStringLiteral("￥,0.00")}},
                       rows, &error),
             qPrintable(error));
    const Sheet s = readSheet(zipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(s.rows, QStringList {"1"});
    QCOMPARE(s.cells.size(), 2);
    QCOMPARE(s.cells.value("B1").value, QStringLiteral("金额"));
    QCOMPARE(sheetNameIn(zipEntry(file, QStringLiteral("xl/workbook.xml"))), QStringLiteral("维修记录"));
}

void TestXlsxExport::sheetName_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("expected");
    QTest::newRow("kept") << "客户资料" << "客户资料";
    QTest::newRow("empty") << "" << "Sheet1";
    QTest::newRow("blank") << "   " << "Sheet1";
    QTest::newRow("forbidden") << "a/b:c" << "a_b_c";
    QTest::newRow("apostrophes") << "'客户'" << "客户";
    QTest::newRow("only apostrophes") << "'''" << "Sheet1";
    QTest::newRow("31 characters kept") << QString(31, QChar(0x5BA2)) << QString(31, QChar(0x5BA2));
    QTest::newRow("32 cut") << QString(32, QChar(0x5BA2)) << QString(31, QChar(0x5BA2));
    QTest::newRow("cut before apostrophe") << QString(30, u'a') + "'b" << QString(30, u'a');
}

void TestXlsxExport::sheetName()
{
    QFETCH(QString, wanted);
    QFETCH(QString, expected);
    QCOMPARE(xlsxSheetName(wanted), expected);
}

void TestXlsxExport::missingFolderFails()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("nope/list.xlsx"));
    MemRows rows;
    rows.data = {{"1"}};
    QString error;
    QVERIFY(!writeXlsx(file, QStringLiteral("Sheet1"), {{QStringLiteral("编号"), {}}}, rows, &error));
    QVERIFY2(error.startsWith(QStringLiteral("无法写入文件：")), qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("list.xlsx")));
    QVERIFY(!QFile::exists(file));
}

void TestXlsxExport::cancelLeavesExistingFileAlone()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.xlsx"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier export");
    }
    MemRows rows;
    for (int i = 0; i < 5000; ++i)
        rows.data << QVariantList {QString::number(i), i * 1.5};
    QString error;
    int calls = 0;
    const bool ok = writeXlsx(file, QStringLiteral("Sheet1"),
                              {{QStringLiteral("编号"), {}}, {QStringLiteral("数量"), QStringLiteral("0.##")}},
                              rows, &error, [&](int done, int) { ++calls; return done < 1000; });
    QVERIFY(!ok);
    QVERIFY(!error.isEmpty());
    QVERIFY(calls >= 2);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier export"));
    QCOMPARE(leftovers(dir.path()), QStringList {QStringLiteral("list.xlsx")});
}

void TestXlsxExport::reportsProgress()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.xlsx"));
    MemRows rows;
    for (int i = 0; i < 1234; ++i)
        rows.data << QVariantList {i};
    QList<QPair<int, int>> calls;
    QString error;
    QVERIFY(writeXlsx(file, QStringLiteral("Sheet1"), {{QStringLiteral("编号"), QStringLiteral("0")}}, rows,
                      &error, [&](int done, int total) {
                          calls.append({done, total});
                          return true;
                      }));
    QVERIFY(calls.size() >= 2);
    QCOMPARE(calls.first(), qMakePair(0, 1234));
    QCOMPARE(calls.last(), qMakePair(1234, 1234));
    for (int i = 1; i < calls.size(); ++i)
        QVERIFY(calls.at(i).first > calls.at(i - 1).first);
    const Sheet s = readSheet(zipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(s.rows.size(), 1235);
    QCOMPARE(s.cells.value("A1235").value, QStringLiteral("1233"));
}

void TestXlsxExport::readErrorLeavesNoFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.xlsx"));
    MemRows rows;
    for (int i = 0; i < 3000; ++i)
        rows.data << QVariantList {i};
    rows.failAt = 2500;
    QString error;
    QVERIFY(!writeXlsx(file, QStringLiteral("Sheet1"), {{QStringLiteral("编号"), {}}}, rows, &error));
    QVERIFY2(error.contains(QStringLiteral("连接已断开")), qPrintable(error));
    QVERIFY(leftovers(dir.path()).isEmpty());
}

// Booleans and dates never take a number pattern; no-date columns blank as
// the grid blanks them; an unknown field gives empty cells.
void TestXlsxExport::dataSetColumnsAsTheListShowsThem()
{
    QTemporaryDir dir;
    ScopedSeams seams;
    auto dm = TestDb::freshModule(QStringLiteral("sqlite"), dir.path());
    QVERIFY(dm->RunSQL(QStringLiteral(
        "insert into t_client(F_code,F_price,F_IFshoukuan,F_setupDate,F_buyDate) values"
        "('00123',12.5,1,'1900-08-14','1900-08-14'),('00124',3,0,'2024-03-05','2024-03-05')")));
    DataSet ds(&dm->ADOcnn);
    QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client order by F_code"), &ds));

    const QString money = QStringLiteral("￥,0.00");
    DataSetSource rows(&ds, {{QStringLiteral("f_price"), QStringLiteral("单价"), money},
                             {QStringLiteral("F_nosuch"), QStringLiteral("无此列"), {}},
                             {QStringLiteral("F_CODE"), QStringLiteral("编号"), {}},
                             {QStringLiteral("F_IFshoukuan"), QStringLiteral("收款否"), money},
                             {QStringLiteral("F_setupDate"), QStringLiteral("安装日期"), {}, true},
                             {QStringLiteral("F_buyDate"), QStringLiteral("购买日期"), money}});
    QCOMPARE(rows.rowCount(), 2);
    const QList<XlsxColumn> columns = xlsxColumns(rows);
    QCOMPARE(columns.at(0).numberFormat, money);
    QCOMPARE(columns.at(3).numberFormat, QString());
    QCOMPARE(columns.at(5).numberFormat, QString());
    QCOMPARE(columns.at(3).caption, QStringLiteral("收款否"));

    const QString file = dir.filePath(QStringLiteral("ds.xlsx"));
    QString error;
    QVERIFY2(writeXlsx(file, QStringLiteral("Sheet1"), columns, rows, &error), qPrintable(error));
    const Sheet s = readSheet(zipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(s.cells.value("A2").value.toDouble(), 12.5);
    QCOMPARE(s.cells.value("A2").type, QString());
    QVERIFY(!s.cells.value("B2").hasValue);
    QCOMPARE(s.cells.value("C2").value, QStringLiteral("00123"));
    // The paid flag reads as the grid's tick, not as a sum of money.
    QCOMPARE(s.cells.value("D2").type, QStringLiteral("inlineStr"));
    QCOMPARE(s.cells.value("D2").value, QStringLiteral("√"));
    QVERIFY(!s.cells.value("D3").hasValue);
    QVERIFY(!s.cells.value("E2").hasValue);
    QCOMPARE(s.cells.value("E3").value, QStringLiteral("2024-03-05"));
    QCOMPARE(s.cells.value("F3").value, QStringLiteral("2024-03-05"));
    QCOMPARE(s.cells.value("F3").type, QStringLiteral("inlineStr"));
}

void TestXlsxExport::longListSurvivesStatementsMeanwhile_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("sql");
    for (const QString &b : TestDb::backends()) {
        // Rows with a key are read by key, rows without one by position.
        QTest::addRow("%s by key", qPrintable(b)) << b << "select * from t_client order by F_code desc";
        QTest::addRow("%s by position", qPrintable(b)) << b << "select F_code, F_amount from t_client order by F_code desc";
    }
}

// A long list is read front to back while the progress bar repaints, and a
// repaint runs statements on the same connection: the export must still
// hold every row once, in the list's order.
void TestXlsxExport::longListSurvivesStatementsMeanwhile()
{
    FETCH_BACKEND(backend);
    QFETCH(QString, sql);
    QTemporaryDir dir;
    ScopedSeams seams;
    auto dm = TestDb::freshModule(backend, dir.path());
    QVERIFY(dm->RunSQL(QStringLiteral(
        "insert into t_client(F_code,F_amount) "
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2345) "
        "select 'C' || (10000 + i), i from n")));
    DataSet ds(&dm->ADOcnn);
    QVERIFY(dm->OpenSQL(sql, &ds));
    QVERIFY(!ds.isFullyFetched());
    ds.setRecNo(1000);   // the cursor's pages do not disturb the export's own read

    DataSetSource rows(&ds, {{QStringLiteral("F_amount"), QStringLiteral("数量"), QStringLiteral("0")},
                             {QStringLiteral("F_code"), QStringLiteral("编号"), {}}});
    const QString file = dir.filePath(QStringLiteral("paged.xlsx"));
    QString error;
    int repaints = 0;
    QVERIFY2(writeXlsx(file, QStringLiteral("Sheet1"), xlsxColumns(rows), rows, &error,
                       [&](int, int) {
                           ++repaints;
                           return dm->GetIntValue(QStringLiteral("select count(*) from t_code")) >= 0
                                  && dm->GetStrValue(QStringLiteral("select max(F_code) from t_client")) == QLatin1String("C12345");
                       }),
             qPrintable(error));
    QVERIFY(repaints >= 3);
    QVERIFY(seams.dialogs.calls.isEmpty());
    const Sheet s = readSheet(zipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(s.rows.size(), 2346);
    for (int r = 2; r <= 2346; ++r) {
        const int amount = 2347 - r;
        QCOMPARE(s.cells.value(QStringLiteral("A%1").arg(r)).value.toInt(), amount);
        QCOMPARE(s.cells.value(QStringLiteral("B%1").arg(r)).value, QStringLiteral("C%1").arg(10000 + amount));
    }
    QCOMPARE(ds.recNo(), 1000);
}

// With no program for spreadsheets on the desktop the export still succeeds
// and tells where the file is.
void TestXlsxExport::exportSaysWhereTheFileIs()
{
    QTemporaryDir dir;
    ScopedSeams seams;
    auto dm = TestDb::freshModule(QStringLiteral("sqlite"), dir.path());
    QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code) values('A01')")));
    DataSet ds(&dm->ADOcnn);
    QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client"), &ds));
    qputenv("TMPDIR", QFile::encodeName(dir.path()));
    const QList<ExportColumn> columns {{QStringLiteral("F_code"), QStringLiteral("编号"), {}}};

    QVERIFY(dm->ExportToExcel(columns, &ds, QStringLiteral("客户资料"), true));
    QCOMPARE(seams.shell.opened.size(), 1);
    QVERIFY(seams.dialogs.calls.isEmpty());

    seams.shell.result = false;
    QVERIFY(dm->ExportToExcel(columns, &ds, QStringLiteral("客户资料"), true));
    QCOMPARE(seams.shell.opened.size(), 2);
    const QString file = seams.shell.opened.last();
    QVERIFY(QFileInfo(file).isAbsolute());
    QVERIFY(QFileInfo(file).size() > 0);
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls[0].kind, 0);
    QVERIFY2(seams.dialogs.calls[0].text.contains(QDir::toNativeSeparators(file)), qPrintable(seams.dialogs.calls[0].text));
    qunsetenv("TMPDIR");
}

QTEST_MAIN(TestXlsxExport)
#include "tst_xlsxexport.moc"
