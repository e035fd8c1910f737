// The grid printed as a list: pages, columns, Chinese text in the PDF, the
// preview and its PDF save, and failures that must not pass as success.
#include "components/DataGrid.h"
#include "components/GridPrint.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include "ScriptedDialogs.h"
#include "TestDb.h"

#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return int(QString::fromLatin1(pdf).count(page));
}

// The characters the PDF's embedded fonts map back to text (their ToUnicode
// tables): a character drawn anywhere in the document is among them. The
// font maps a few characters that double as radicals (户, 日, 人, 页) back to the
// radical's code point, so the checks use other characters.
QSet<char32_t> pdfCharacters(const QByteArray &pdf)
{
    QSet<char32_t> out;
    static const QRegularExpression block(QStringLiteral("begin(bfrange|bfchar)(.*?)end\\1"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]{4,8})>"));
    const QString text = QString::fromLatin1(pdf);
    for (auto m = block.globalMatch(text); m.hasNext();) {
        const QString body = m.next().captured(2);
        for (auto h = hex.globalMatch(body); h.hasNext();)
            out.insert(char32_t(h.next().captured(1).toUInt(nullptr, 16)));
    }
    return out;
}

bool pdfShows(const QSet<char32_t> &chars, const QString &text)
{
    for (char32_t c : text.toUcs4())
        if (c > 0x7f && !chars.contains(c)) return false;
    return true;
}

GridColumn col(const QString &field, const QString &caption, int width, bool visible = true,
               const QString &format = {})
{
    GridColumn c;
    c.field = field;
    c.caption = caption;
    c.width = width;
    c.visible = visible;
    c.displayFormat = format;
    return c;
}

// Customers 00000001.. with a Chinese name and a price; every third is paid.
void addCustomers(TdmData &dm, int count)
{
    QVERIFY(dm.ADOcnn.beginTransaction());
    for (int i = 1; i <= count; ++i) {
        const QString sql = QStringLiteral("insert into t_client(F_code,F_name,F_totalprice,F_memo1,F_IFshoukuan) "
                                           "values('%1','%2',%3,'%4',%5)")
                                .arg(QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')),
                                     sqlValue(QStringLiteral("张晓%1").arg(i)))
                                .arg(1234.5 + i)
                                .arg(sqlValue(QStringLiteral("秘密备注'%1").arg(i)))
                                .arg(i % 3 == 0 ? 1 : 0);
        QVERIFY(dm.RunSQL(sql));
    }
    QVERIFY(dm.ADOcnn.commit());
}

// The columns a list window would show; the memo column is hidden.
void setCustomerColumns(DataGrid &grid)
{
    grid.setColumns({col(QStringLiteral("F_code"), QStringLiteral("编号"), 80),
                     col(QStringLiteral("F_name"), QStringLiteral("姓名"), 120),
                     col(QStringLiteral("F_memo1"), QStringLiteral("隐藏栏"), 200, false),
                     col(QStringLiteral("F_totalprice"), QStringLiteral("总价"), 90, true, QStringLiteral("￥,0.00")),
                     col(QStringLiteral("F_IFshoukuan"), QStringLiteral("收款"), 40)});
}

// The layout of a document on a fresh A4 PDF page.
GridPrintLayout layoutOf(const GridPrintDocument &doc)
{
    QByteArray sink;
    QBuffer buffer(&sink);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(300);
    setGridPrintPage(writer);
    return gridPrintLayout(doc, writer);
}

// Fails half way, as a dropped connection does.
class FailingRows : public RowSource {
public:
    QStringList fieldNames() const override { return {QStringLiteral("F_code")}; }
    int rowCount() const override { return 100; }
    bool start() override { m_at = 0; return true; }
    bool nextRow() override { return ++m_at <= 50; }
    QVariant value(int) const override { return m_at; }
    QString text(int) const override { return QString::number(m_at); }
    QString error() const override { return m_at > 50 ? QStringLiteral("连接已断开") : QString(); }

private:
    int m_at = 0;
};

} // namespace

class TestGridPrint : public QObject {
    Q_OBJECT
private slots:
    void printsGridRows_data() { TestDb::addBackendRows(); }
    void printsGridRows();
    void columnWidthsInProportion_data();
    void columnWidthsInProportion();
    void gridWithoutDataPrintsHeadings();
    void failuresAreReported();
    void previewAndSave();
};

void TestGridPrint::printsGridRows()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    ScopedSeams seams;
    auto dm = TestDb::freshModule(backend, dir.path());
    // More rows than one fetch holds, so the print reads a set that is not all in memory.
    const int total = 520;
    addCustomers(*dm, total);

    DataSet list(&dm->ADOcnn);
    list.setSql(QStringLiteral("select * from t_client order by F_code"));
    QVERIFY2(list.open(), qPrintable(list.lastError()));
    DataGrid grid;
    setCustomerColumns(grid);
    grid.setDataSet(&list);
    list.setRecNo(7);

    // Rows as the grid shows them, hidden column left out.
    {
        auto rows = grid.rowSource(DataGrid::Columns::Visible);
        QCOMPARE(rows->fieldNames(), (QStringList{"F_code", "F_name", "F_totalprice", "F_IFshoukuan"}));
        QCOMPARE(rows->rowCount(), total);
        QVERIFY(rows->start());
        auto cells = [&] {
            QStringList out;
            for (int c = 0; c < 4; ++c) out << rows->text(c);
            return out;
        };
        QVERIFY(rows->nextRow());
        QCOMPARE(cells(), (QStringList{"00000001", "张晓1", "￥1,235.50", ""}));
        QVERIFY(rows->nextRow());
        QVERIFY(rows->nextRow());
        QCOMPARE(cells(), (QStringList{"00000003", "张晓3", "￥1,237.50", "√"}));
        QCOMPARE(rows->value(2).toDouble(), 1237.5);
        QVERIFY(rows->error().isEmpty());
    }

    GridPrintDocument doc;
    doc.title = QStringLiteral("维修清单");
    doc.pageHeader = QStringLiteral("统计日期：自 启用系统");
    doc.pageFooter = QStringLiteral("制表人：管理员");
    doc.columns = gridPrintColumns(grid);
    const GridPrintLayout layout = layoutOf(doc);
    QVERIFY(layout.rowsPerPage > 10);

    const QString file = dir.filePath("list.pdf");
    QString error;
    QVERIFY2(printGridToPdf(grid, doc.title, doc.pageHeader, doc.pageFooter, file, &error), qPrintable(error));
    const QByteArray pdf = readAll(file);
    QCOMPARE(pdfPages(pdf), layout.pageCount(total));
    QVERIFY(pdfPages(pdf) >= 2);

    const QSet<char32_t> chars = pdfCharacters(pdf);
    for (const char *shown : {"维修清单", "统计", "制表", "编号", "姓名", "总价", "张晓"})
        QVERIFY2(pdfShows(chars, QString::fromUtf8(shown)), shown);
    QVERIFY2(!pdfShows(chars, QStringLiteral("隐藏栏")), "a hidden column's caption was printed");
    QVERIFY2(!pdfShows(chars, QStringLiteral("秘密")), "a hidden column's cells were printed");

    // The print did not move the grid.
    QCOMPARE(list.recNo(), 7);
    QCOMPARE(grid.currentRow(), 7);

    // A limit prints only the first rows; the set can still be read afterwards.
    QVERIFY2(printGridToPdf(grid, doc.title, doc.pageHeader, doc.pageFooter, file, &error, layout.rowsPerPage + 1),
             qPrintable(error));
    QCOMPARE(pdfPages(readAll(file)), 2);
    QCOMPARE(grid.cellText(total - 1, 0), QStringLiteral("%1").arg(total, 8, 10, QLatin1Char('0')));
}

void TestGridPrint::columnWidthsInProportion_data()
{
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<bool>("fitsPage");
    QTest::newRow("narrow list") << QList<int>{82, 122, 42} << false;
    QTest::newRow("wider than the page") << QList<int>{400, 900, 250, 700} << true;
}

void TestGridPrint::columnWidthsInProportion()
{
    QFETCH(QList<int>, widths);
    QFETCH(bool, fitsPage);
    GridPrintDocument doc;
    doc.title = QStringLiteral("客户列表");
    doc.pageHeader = QStringLiteral("第一行\n第二行");
    for (int w : widths) doc.columns << GridPrintColumn{QStringLiteral("列"), w};
    const GridPrintLayout l = layoutOf(doc);

    QCOMPARE(l.columnX.size(), widths.size());
    QCOMPARE(l.columnX.first(), l.area.left());
    for (int i = 0; i < widths.size(); ++i) {
        QVERIFY(qAbs(l.columnWidth.at(i) / l.columnWidth.first() - qreal(widths.at(i)) / widths.first()) < 1e-9);
        if (i > 0) QVERIFY(qAbs(l.columnX.at(i) - (l.columnX.at(i - 1) + l.columnWidth.at(i - 1))) < 1e-6);
    }
    const qreal right = l.columnX.last() + l.columnWidth.last();
    if (fitsPage)
        QVERIFY(qAbs(right - l.area.right()) < 1e-6);
    else
        QVERIFY(right < l.area.right() - l.area.width() / 2);

    // Title, both header lines, the table and the footer one below the other, all on the page.
    QVERIFY(l.titleRect.top() >= l.area.top());
    QVERIFY(l.headerRect.top() >= l.titleRect.bottom());
    QVERIFY(l.headerRect.height() > 1.5 * l.footerRect.height());
    QVERIFY(l.tableRect.top() >= l.headerRect.bottom());
    QVERIFY(l.tableRect.bottom() <= l.footerRect.top() + 1e-6);
    QVERIFY(l.footerRect.bottom() <= l.area.bottom() + 1e-6);
    QCOMPARE(l.pageCount(0), 1);
    QCOMPARE(l.pageCount(l.rowsPerPage), 1);
    QCOMPARE(l.pageCount(l.rowsPerPage + 1), 2);
}

void TestGridPrint::gridWithoutDataPrintsHeadings()
{
    QTemporaryDir dir;
    ScopedSeams seams;
    DataSet closed(nullptr);
    for (DataSet *ds : {static_cast<DataSet *>(nullptr), &closed}) {
        DataGrid grid;
        setCustomerColumns(grid);
        grid.setDataSet(ds);
        const QString file = dir.filePath("empty.pdf");
        QString error;
        QVERIFY2(printGridToPdf(grid, QStringLiteral("维修清单"), {}, {}, file, &error), qPrintable(error));
        const QByteArray pdf = readAll(file);
        QCOMPARE(pdfPages(pdf), 1);
        QVERIFY(pdfShows(pdfCharacters(pdf), QStringLiteral("维修清单编号姓名总价")));
    }
}

void TestGridPrint::failuresAreReported()
{
    QTemporaryDir dir;
    MemoryRows some({QStringLiteral("F_code")}, {{"1"}, {"2"}});
    GridPrintDocument doc;
    doc.columns << GridPrintColumn{QStringLiteral("编号"), 80};
    doc.rows = &some;

    // A folder that is not there: a message naming the file, nothing written.
    const QString missing = dir.filePath("no/such/folder/list.pdf");
    QString error;
    QVERIFY(!printGridToPdf(doc, missing, &error));
    QVERIFY2(error.contains(QStringLiteral("list.pdf")), qPrintable(error));
    QVERIFY(!QFile::exists(missing));

    // Rows that fail half way: reported, and an earlier file is kept whole.
    const QString file = dir.filePath("kept.pdf");
    QVERIFY(printGridToPdf(doc, file, &error));
    const QByteArray before = readAll(file);
    FailingRows failing;
    doc.rows = &failing;
    error.clear();
    QVERIFY(!printGridToPdf(doc, file, &error));
    QVERIFY2(error.contains(QStringLiteral("连接已断开")), qPrintable(error));
    QCOMPARE(readAll(file), before);
}

void TestGridPrint::previewAndSave()
{
    QTemporaryDir dir;
    ScopedSeams seams;
    auto dm = TestDb::freshModule(QStringLiteral("sqlite"), dir.path());
    addCustomers(*dm, 45);
    DataSet list(&dm->ADOcnn);
    list.setSql(QStringLiteral("select * from t_client order by F_code"));
    QVERIFY(list.open());
    DataGrid grid;
    setCustomerColumns(grid);
    grid.setDataSet(&list);

    GridPrintDocument doc;
    doc.title = QStringLiteral("客户列表");
    doc.columns = gridPrintColumns(grid);
    const int expectedPages = layoutOf(doc).pageCount(45);
    QVERIFY(expectedPages >= 2);

    const QString saved = dir.filePath("preview");   // no suffix: .pdf is added
    const QString failing = dir.filePath("no/such/folder/x.pdf");
    seams.dialogs.answer(saved);
    seams.dialogs.answer(QString());                 // cancelled: nothing happens
    seams.dialogs.answer(failing);
    seams.dialogs.answer(QString());                 // the print button, when it asks for a file
    int shownPages = -1;
    bool pageSetupAsked = false;
    seams.dialogs.handleDialog([&](QDialog &d) {
        auto *preview = qobject_cast<QPrintPreviewDialog *>(&d) ? d.findChild<QPrintPreviewWidget *>() : nullptr;
        if (!preview) return int(QDialog::Rejected);
        shownPages = preview->pageCount();
        auto *save = d.findChild<QAction *>(QStringLiteral("actSavePdf"));
        if (!save) return int(QDialog::Rejected);
        save->trigger();
        save->trigger();
        save->trigger();
        // Page set-up and printing ask through the seams too (printing: a file
        // name when no printer is installed, else the print dialog).
        const int before = int(seams.dialogs.calls.size());
        for (QAction *a : d.findChildren<QAction *>())
            if (a->text() == QPrintPreviewDialog::tr("Page setup")) a->trigger();
        pageSetupAsked = seams.dialogs.calls.size() == before + 1 && seams.dialogs.calls.last().what == "dialog";
        for (QAction *a : d.findChildren<QAction *>())
            if (a->text() == QPrintPreviewDialog::tr("Print")) a->trigger();
        return int(QDialog::Rejected);
    });
    PrintGrid(grid, QStringLiteral("客户列表"), {}, {});

    QCOMPARE(seams.dialogs.count(QStringLiteral("打印预览 - 客户列表")), 1);
    QVERIFY(pageSetupAsked);
    const QString last = seams.dialogs.calls.last().what;
    QVERIFY2(seams.dialogs.calls.size() >= 5 && (last == QLatin1String("save") || last == QLatin1String("dialog")),
             qPrintable(last));
    QCOMPARE(shownPages, expectedPages);
    QCOMPARE(pdfPages(readAll(saved + ".pdf")), expectedPages);
    QVERIFY(!QFile::exists(failing));
    // One failure message for the bad folder; the cancelled answer asked nothing more.
    int errors = 0;
    for (const auto &c : seams.dialogs.calls)
        if (c.what == QLatin1String("message") && c.kind == 3) {
            ++errors;
            QVERIFY2(c.text.contains(QStringLiteral("x.pdf")), qPrintable(c.text));
        }
    QCOMPARE(errors, 1);
}

QTEST_MAIN(TestGridPrint)
#include "tst_gridprint.moc"
