// The preview window: pages arriving while a report renders and its cancel,
// paging keys and the wheel, zoom, find, print through the dialog seam, save
// and open of a prepared report, and the export to every format.
#include "reportengine/ReportExport.h"
#include "reportengine/TfrmPreview.h"

#include "ScriptedDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace Report;

namespace {

PreparedItem text(const QRectF &mm, const QString &s, int bandRow)
{
    PreparedItem item;
    item.rect = mm;
    item.text = s;
    item.bandRow = bandRow;
    return item;
}

// Three A4 pages; 张三 on the first page (twice, the lower one listed
// first) and on the third.
PreparedReport threePages()
{
    PreparedReport r;
    for (int p = 0; p < 3; ++p) {
        PreparedPage page;
        page.items << text({10, 10, 100, 8}, QStringLiteral("客户列表 第%1页").arg(p + 1), 0);
        if (p == 0)
            page.items << text({10, 60, 40, 6}, QStringLiteral("张三丰"), 2) << text({10, 40, 40, 6}, QStringLiteral("张三"), 1);
        if (p == 1) page.items << text({10, 40, 40, 6}, QStringLiteral("李四 Abc"), 1);
        if (p == 2) page.items << text({10, 250, 40, 6}, QStringLiteral("老张三"), 1);
        r.pages << page;
    }
    return r;
}

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

void sendWheel(QWidget *viewport, int delta)
{
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void pagesArriveWhileRenderingAndCancelOnce();
    void pagingKeysAndWheel();
    void zoomModes();
    void findHighlightsTheNextHitAndWraps();
    void exportToEveryFormat_data();
    void exportToEveryFormat();
    void saveAndOpenAPreparedReport();
    void printGoesThroughTheDialogSeam();
};

void TestPreview::pagesArriveWhileRenderingAndCancelOnce()
{
    ScopedSeams seams;
    TfrmPreview preview;
    QCOMPARE(preview.windowTitle(), QStringLiteral("预览"));
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    int cancels = 0;
    preview.beginRendering([&cancels] { ++cancels; });
    QVERIFY(preview.lblProgress->isVisible());
    QVERIFY(preview.btnCancel->isVisible());
    const PreparedReport r = threePages();
    preview.addPage(r.pages[0]);
    preview.setProgressText(QStringLiteral("第 1 页"));
    QCOMPARE(preview.lblProgress->text(), QStringLiteral("第 1 页"));
    QCOMPARE(preview.pageCount(), 1);
    // Pages can be read before the rest arrives; the output needs them all.
    preview.addPage(r.pages[1]);
    QTest::keyClick(&preview, Qt::Key_PageDown);
    QCOMPARE(preview.currentPage(), 1);
    QVERIFY(!preview.tbExport->isEnabled());
    QVERIFY(!preview.tbPrint->isEnabled());
    QVERIFY(!preview.tbSave->isEnabled());
    QVERIFY(preview.lblPage->text().contains(QStringLiteral("共 2 页")));

    QTest::mouseClick(preview.btnCancel, Qt::LeftButton);
    QCOMPARE(cancels, 1);
    QVERIFY(!preview.btnCancel->isEnabled());
    // Closing while the renderer winds down does not cancel a second time.
    preview.reject();
    QCOMPARE(cancels, 1);
    preview.endRendering();
    QVERIFY(!preview.lblProgress->isVisible() && !preview.btnCancel->isVisible());
    QVERIFY(preview.tbExport->isEnabled());
    // The finished pages replace those shown; the operator stays on his page.
    preview.setReport(r);
    QCOMPARE(preview.pageCount(), 3);
    QCOMPARE(preview.currentPage(), 1);
    QVERIFY(preview.lblPage->text().startsWith(QStringLiteral("第 2 页 / 共 3 页")));

    // Esc during a render stops it too.
    TfrmPreview second;
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    int stops = 0;
    second.beginRendering([&stops] { ++stops; });
    second.addPage(r.pages[0]);
    QTest::keyClick(&second, Qt::Key_Escape);
    QCOMPARE(stops, 1);
    QVERIFY(!second.isVisible());
    QVERIFY(seams.dialogs.calls.isEmpty());
}

void TestPreview::pagingKeysAndWheel()
{
    ScopedSeams seams;
    TfrmPreview preview;
    preview.setReport(threePages());
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    const struct { Qt::Key key; int page; } steps[] = {
        {Qt::Key_PageDown, 1}, {Qt::Key_PageDown, 2}, {Qt::Key_PageDown, 2}, {Qt::Key_PageUp, 1},
        {Qt::Key_Home, 0}, {Qt::Key_PageUp, 0}, {Qt::Key_End, 2},
    };
    for (const auto &s : steps) {
        QTest::keyClick(&preview, s.key);
        QCOMPARE(preview.currentPage(), s.page);
    }
    QCOMPARE(preview.lblPage->text(), QStringLiteral("第 3 页 / 共 3 页"));
    QVERIFY(!preview.tbNext->isEnabled() && preview.tbPrior->isEnabled());

    // With the zoom box focused the keys still page and leave the zoom alone.
    preview.cbbZoom->setFocus();
    const int zoomIndex = preview.cbbZoom->currentIndex();
    QTest::keyClick(preview.cbbZoom, Qt::Key_Home);
    QCOMPARE(preview.currentPage(), 0);
    QTest::keyClick(preview.cbbZoom, Qt::Key_PageDown);
    QCOMPARE(preview.currentPage(), 1);
    QCOMPARE(preview.cbbZoom->currentIndex(), zoomIndex);

    // A whole page has nothing to scroll: the wheel turns pages.
    preview.setZoom(TfrmPreview::WholePage);
    QWidget *viewport = preview.ScrollBox->viewport();
    sendWheel(viewport, -120);
    QCOMPARE(preview.currentPage(), 2);
    sendWheel(viewport, 120);
    sendWheel(viewport, 120);
    QCOMPARE(preview.currentPage(), 0);
    // Enlarged, it scrolls first and turns the page at the bottom.
    preview.setZoom(TfrmPreview::Percent, 200);
    QScrollBar *bar = preview.ScrollBox->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    sendWheel(viewport, -120);
    QCOMPARE(preview.currentPage(), 0);
    QVERIFY(bar->value() > 0);
    bar->setValue(bar->maximum());
    sendWheel(viewport, -120);
    QCOMPARE(preview.currentPage(), 1);
    QCOMPARE(bar->value(), 0);
    // Turning back up lands at the bottom of the previous page.
    sendWheel(viewport, 120);
    QCOMPARE(preview.currentPage(), 0);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestPreview::zoomModes()
{
    ScopedSeams seams;
    TfrmPreview preview;
    preview.setReport(threePages());
    preview.resize(800, 600);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QWidget *page = preview.ScrollBox->widget();
    const QSize room = preview.ScrollBox->maximumViewportSize();

    preview.setZoom(TfrmPreview::WholePage);
    QVERIFY(page->width() <= room.width() && page->height() <= room.height());
    QVERIFY(page->height() >= room.height() - 2);   // as large as fits: the height decides on A4
    QCOMPARE(preview.cbbZoom->currentText(), QStringLiteral("整页"));

    preview.setZoom(TfrmPreview::PageWidth);
    QVERIFY(page->width() <= room.width());
    QVERIFY(page->width() >= room.width() - preview.ScrollBox->verticalScrollBar()->sizeHint().width() - 2);
    QVERIFY(page->height() > room.height());

    // Each percentage from the box: 100% is the paper's own size on screen.
    const double pxPerMm = preview.logicalDpiX() / 25.4;
    for (int percent : {50, 75, 100, 150, 200}) {
        const int index = preview.cbbZoom->findText(QStringLiteral("%1%").arg(percent));
        QVERIFY(index >= 0);
        preview.cbbZoom->setCurrentIndex(index);
        emit preview.cbbZoom->activated(index);
        QCOMPARE(preview.zoomMode(), TfrmPreview::Percent);
        QVERIFY(qAbs(preview.scale() - pxPerMm * percent / 100) < 1e-9);
        QVERIFY(qAbs(page->width() - (210 * pxPerMm * percent / 100 + 24)) <= 1);
    }
    // A page width view follows the window's width.
    preview.setZoom(TfrmPreview::PageWidth);
    const int before = page->width();
    preview.resize(1000, 600);
    QTRY_VERIFY(page->width() > before + 150);
}

void TestPreview::findHighlightsTheNextHitAndWraps()
{
    ScopedSeams seams;
    TfrmPreview preview;
    preview.setReport(threePages());
    preview.setZoom(TfrmPreview::Percent, 200);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));

    // Reading order: 张三 (y 40) before 张三丰 (y 60) though listed after it.
    seams.dialogs.answer(QStringLiteral("张三"));
    QTest::keyClick(&preview, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(seams.dialogs.calls.value(0).what, QStringLiteral("input"));
    QCOMPARE(preview.hitPage(), 0);
    QCOMPARE(preview.hitItem(), 2);
    QTest::keyClick(&preview, Qt::Key_F3);
    QCOMPARE(preview.hitPage(), 0);
    QCOMPARE(preview.hitItem(), 1);
    // The next one is far down page 3: turned to and scrolled into view.
    QTest::keyClick(&preview, Qt::Key_F3);
    QCOMPARE(preview.hitPage(), 2);
    QCOMPARE(preview.currentPage(), 2);
    QScrollBar *bar = preview.ScrollBox->verticalScrollBar();
    const double y = 250 * preview.scale() + 12;
    QVERIFY(bar->value() < y && y < bar->value() + preview.ScrollBox->viewport()->height());
    // And round again to the first.
    QTest::keyClick(&preview, Qt::Key_F3);
    QCOMPARE(preview.hitPage(), 0);
    QCOMPARE(preview.hitItem(), 2);

    // Without regard to case; a search from another page starts there.
    preview.setCurrentPage(1);
    QVERIFY(preview.findNext(QStringLiteral("abc")));
    QCOMPARE(preview.hitPage(), 1);
    QVERIFY(preview.findNext(QStringLiteral("abc")));   // the only hit stays
    QCOMPARE(preview.hitPage(), 1);

    seams.dialogs.answer(QStringLiteral("王五"));
    preview.tbFindClick();
    QCOMPARE(seams.dialogs.calls.last().what, QStringLiteral("message"));
    QCOMPARE(seams.dialogs.calls.last().text, QStringLiteral("没有找到“王五”。"));
    QCOMPARE(preview.hitPage(), 1);   // the last hit stays marked
}

void TestPreview::exportToEveryFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("starts");
    QTest::newRow("pdf") << "a.pdf" << "a.pdf" << QByteArray("%PDF");
    QTest::newRow("no type is pdf") << "b" << "b.pdf" << QByteArray("%PDF");
    QTest::newRow("csv") << "c.csv" << "c.csv" << QByteArray("\xEF\xBB\xBF客户列表 第1页\r\n张三\r\n");
    QTest::newRow("text") << "d.txt" << "d.txt" << QStringLiteral("     客户列表 第1页\n     张三\n").toUtf8();
    QTest::newRow("html") << "e.html" << "e.html" << QByteArray("<!DOCTYPE html>");
    QTest::newRow("rtf") << "f.rtf" << "f.rtf" << QByteArray("{\\rtf1");
}

void TestPreview::exportToEveryFormat()
{
    QFETCH(QString, name);
    QFETCH(QString, written);
    QFETCH(QByteArray, starts);
    ScopedSeams seams;
    QTemporaryDir dir;
    TfrmPreview preview;
    preview.setReport(threePages());
    preview.show();
    seams.dialogs.answer(dir.filePath(name));
    QTest::mouseClick(preview.tbExport, Qt::LeftButton);
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls[0].what, QStringLiteral("save"));
    const QByteArray bytes = readAll(dir.filePath(written));
    QVERIFY2(bytes.startsWith(starts), bytes.left(80).constData());
    if (starts == "%PDF") QCOMPARE(pdfPages(bytes), 3);
}

void TestPreview::saveAndOpenAPreparedReport()
{
    ScopedSeams seams;
    QTemporaryDir dir;
    TfrmPreview preview;
    preview.setReport(threePages());
    preview.show();
    seams.dialogs.answer(dir.filePath(QStringLiteral("saved")));
    preview.tbSaveClick();
    const QString file = dir.filePath(QStringLiteral("saved.clrep"));
    QVERIFY(QFile::exists(file));

    TfrmPreview other;
    PreparedReport shown = threePages();
    shown.pages << shown.pages;
    other.setReport(shown);
    other.setCurrentPage(4);
    other.show();
    seams.dialogs.answer(file);
    other.tbOpenClick();
    QCOMPARE(other.pageCount(), 3);
    QCOMPARE(other.currentPage(), 0);
    QCOMPARE(other.report().pages[2].items[1].text, QStringLiteral("老张三"));

    // A file that is not a prepared report: said, and what was shown stays.
    const QString bad = dir.filePath(QStringLiteral("bad.clrep"));
    {
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(readAll(file).left(30));
    }
    seams.dialogs.answer(bad);
    other.tbOpenClick();
    QCOMPARE(seams.dialogs.calls.last().what, QStringLiteral("message"));
    QCOMPARE(seams.dialogs.calls.last().kind, 3);
    QVERIFY(seams.dialogs.calls.last().text.contains(QStringLiteral("不完整")));
    QCOMPARE(other.pageCount(), 3);

    // Exports that cannot be written, or of a type we do not write, are said.
    seams.dialogs.answer(bad + QStringLiteral("/x.csv"));
    other.tbExportClick();
    QCOMPARE(seams.dialogs.calls.last().kind, 3);
    QVERIFY(seams.dialogs.calls.last().text.startsWith(QStringLiteral("无法写入文件")));
    seams.dialogs.answer(dir.filePath(QStringLiteral("x.doc")));
    other.tbExportClick();
    QCOMPARE(seams.dialogs.calls.last().kind, 0);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.doc"))));
    // A cancelled dialog does nothing.
    const qsizetype asked = seams.dialogs.calls.size();
    other.tbExportClick();
    QCOMPARE(seams.dialogs.calls.size(), asked + 1);
    QCOMPARE(seams.dialogs.calls.last().what, QStringLiteral("save"));
}

void TestPreview::printGoesThroughTheDialogSeam()
{
    ScopedSeams seams;
    QTemporaryDir dir;
    TfrmPreview preview;
    preview.setReport(threePages());
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    // Refused: nothing printed, nothing else asked.
    preview.tbPrintClick();
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls[0].what, QStringLiteral("dialog"));
    QCOMPARE(seams.dialogs.calls[0].text, QStringLiteral("打印"));

    // Accepted on a file printer: all pages, then pages 2 to 3.
    const struct { int from, to, pages; } runs[] = {{0, 0, 3}, {2, 3, 2}};
    for (const auto &run : runs) {
        const QString file = dir.filePath(QStringLiteral("print%1.pdf").arg(run.from));
        seams.dialogs.handleDialog([&](QDialog &d) {
            auto *print = qobject_cast<QPrintDialog *>(&d);
            if (!print) return int(QDialog::Rejected);
            print->printer()->setOutputFileName(file);
            if (run.from > 0) {
                print->printer()->setPrintRange(QPrinter::PageRange);
                print->printer()->setFromTo(run.from, run.to);
            }
            return int(QDialog::Accepted);
        });
        QTest::keyClick(&preview, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(pdfPages(readAll(file)), run.pages);
    }
    for (const ScriptedDialogs::Call &c : seams.dialogs.calls) QVERIFY(c.what != QStringLiteral("message"));
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
