#include "data/DataSet.h"
#include "data/TdmData.h"
#include "data/XlsxExport.h"

#include "ScriptedDialogs.h"
#include "TestDb.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

// Rows held in memory; text is what a grid would show for the value.
class MemRows : public XlsxRowSource {
public:
    QList<QVariantList> data;
    int failAt = -1;   // a read error at this row, as a dropped connection gives
    int rowCount() const override { return int(data.size()); }
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

QByteArray unzipEntry(const QString &file, const QString &entry)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, entry});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

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
    void initTestCase();
    void writesCellsByColumnKind();
    void emptyListGivesTitleRowOnly();
    void sheetName_data();
    void sheetName();
    void missingFolderFails();
    void cancelLeavesExistingFileAlone();
    void reportsProgress();
    void readErrorLeavesNoFile();
    void dataSetRows();
    void pagedDataSetRows_data();
    void pagedDataSetRows();
};

void TestXlsxExport::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        QSKIP("unzip is needed to read the written files");
}

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

    const Sheet s = readSheet(unzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    const QStringList formats = readCellFormats(unzipEntry(file, QStringLiteral("xl/styles.xml")));
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
    const QHash<int, int> colStyles = columnStyles(unzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(formats.value(colStyles.value(1)), QStringLiteral("#49"));
    QCOMPARE(formats.value(colStyles.value(3)), QStringLiteral("\"￥\"#,##0.00"));

    QCOMPARE(s.cells.value("E2").value, longText);
    QCOMPARE(s.cells.value("E4").value, QStringLiteral("x<&>y"));

    // Forbidden characters replaced, cut to 31 characters.
    const QString name = sheetNameIn(unzipEntry(file, QStringLiteral("xl/workbook.xml")));
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
    const Sheet s = readSheet(unzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(s.rows, QStringList {"1"});
    QCOMPARE(s.cells.size(), 2);
    QCOMPARE(s.cells.value("B1").value, QStringLiteral("金额"));
    QCOMPARE(sheetNameIn(unzipEntry(file, QStringLiteral("xl/workbook.xml"))), QStringLiteral("维修记录"));
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
    const Sheet s = readSheet(unzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
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

void TestXlsxExport::dataSetRows()
{
    QTemporaryDir dir;
    ScopedSeams seams;
    auto dm = TestDb::freshModule(QStringLiteral("sqlite"), dir.path());
    QVERIFY(dm && dm->connected());
    DataSet ds(&dm->ADOcnn);
    ds.setSql(QStringLiteral("select '00123' as F_code, 12.5 as F_price "
                             "union all select '00124', 3"));
    QVERIFY2(ds.open(), qPrintable(ds.lastError()));

    DataSetRows rows(ds, {QStringLiteral("f_price"), QStringLiteral("F_nosuch"), QStringLiteral("F_CODE")});
    QCOMPARE(rows.rowCount(), 2);

    const QString file = dir.filePath(QStringLiteral("ds.xlsx"));
    QString error;
    QVERIFY2(writeXlsx(file, QStringLiteral("Sheet1"),
                       {{QStringLiteral("单价"), QStringLiteral("￥,0.00")},
                        {QStringLiteral("无此列"), {}},
                        {QStringLiteral("编号"), {}}},
                       rows, &error),
             qPrintable(error));
    const Sheet s = readSheet(unzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(s.cells.value("A2").value.toDouble(), 12.5);
    QCOMPARE(s.cells.value("C2").value, QStringLiteral("00123"));
    QVERIFY(!s.cells.value("B3").hasValue);
}

void TestXlsxExport::pagedDataSetRows_data()
{
    TestDb::addBackendRows();
}

// A list too long to be held whole is read once, front to back, in its sort order.
void TestXlsxExport::pagedDataSetRows()
{
    QFETCH(QString, backend);
    QTemporaryDir dir;
    ScopedSeams seams;
    auto dm = TestDb::freshModule(backend, dir.path());
    QVERIFY(dm && dm->connected());
    DataSet ds(&dm->ADOcnn);
    ds.setSql(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 1234) "
                             "select i as F_amount, 'C' || i as F_code from n order by i desc"));
    QVERIFY2(ds.open(), qPrintable(ds.lastError()));
    QVERIFY(!ds.isFullyFetched());
    ds.setRecNo(1000);   // the cursor's pages do not disturb the export's own read

    DataSetRows rows(ds, {QStringLiteral("F_amount"), QStringLiteral("F_code")});
    const QString file = dir.filePath(QStringLiteral("paged.xlsx"));
    QString error;
    QVERIFY2(writeXlsx(file, QStringLiteral("Sheet1"),
                       {{QStringLiteral("数量"), QStringLiteral("0")}, {QStringLiteral("编号"), {}}}, rows, &error),
             qPrintable(error));
    const Sheet s = readSheet(unzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QCOMPARE(s.rows.size(), 1235);
    QCOMPARE(s.cells.value("A2").value, QStringLiteral("1234"));
    QCOMPARE(s.cells.value("B2").value, QStringLiteral("C1234"));
    QCOMPARE(s.cells.value("A1235").value, QStringLiteral("1"));
    QCOMPARE(s.cells.value("B1235").value, QStringLiteral("C1"));
}

QTEST_MAIN(TestXlsxExport)
#include "tst_xlsxexport.moc"
