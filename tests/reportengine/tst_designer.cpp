// The report designer: arrows, drags and the grid, selection, adding and
// deleting objects and bands, the property windows, undo/redo, saving back
// to the file, a file it could not read, and leaving with unsaved changes.
#include "reportengine/TemplateFile.h"
#include "reportengine/TfrmDesigner.h"

#include "ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Report;

namespace {

// A page header with a title and a data band with one field.
ReportTemplate fixture()
{
    ReportTemplate t;
    Band header;
    header.kind = BandKind::PageHeader;
    header.height = 12;
    ReportObject title;
    title.name = QStringLiteral("MemoTitle");
    title.text = QStringLiteral("客户列表");
    title.rect = {50, 2, 60, 8};
    header.objects << title;
    Band data;
    data.kind = BandKind::MasterData;
    data.source = QStringLiteral("frMain");
    data.height = 10;
    ReportObject name;
    name.name = QStringLiteral("Memo1");
    name.text = QStringLiteral("[frMain.F_name]");
    name.rect = {10, 1, 40, 6};
    data.objects << name;
    t.bands << header << data;
    return t;
}

const ObjectRef kTitle {0, 0};
const ObjectRef kName {1, 0};

QRectF rectOf(TfrmDesigner &d, const ObjectRef &r) { return d.document().object(r)->rect; }

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Shown and active, so its shortcuts work as they do for an operator.
void showActive(TfrmDesigner &d)
{
    d.show();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    d.canvas->setFocus();
}

void drag(QWidget *w, QPoint from, QPoint to, Qt::KeyboardModifiers mods = {})
{
    QTest::mousePress(w, Qt::LeftButton, mods, from);
    QTest::mouseMove(w, (from + to) / 2);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, mods, to);
}

// Clicks the button of a message box whose text starts with `label`; the
// question asked goes to *asked.
ScriptedDialogs::DialogHandler clickButton(const QString &label, QString *asked = nullptr)
{
    return [label, asked](QDialog &d) {
        auto &box = static_cast<QMessageBox &>(d);
        if (asked) *asked = box.text();
        for (QAbstractButton *b : box.buttons())
            if (b->text().startsWith(label)) b->click();
        return 0;
    };
}

// A source that only names its fields: the designer reads no rows.
class FieldsOnly : public RowSource {
public:
    explicit FieldsOnly(QStringList fields) : m_fields(std::move(fields)) {}
    QStringList fieldNames() const override { return m_fields; }
    int rowCount() const override { return 0; }
    bool start() override { return true; }
    bool nextRow() override { return false; }
    QVariant value(int) const override { return {}; }
    QString text(int) const override { return {}; }

private:
    QStringList m_fields;
};

} // namespace

class TestDesigner : public QObject {
    Q_OBJECT
private slots:
    void arrowKeysMoveAndResize_data();
    void arrowKeysMoveAndResize();
    void mouseDragIsOneUndoStep();
    void resizeHandleAndBandEdge();
    void dragOntoAnotherBand();
    void rubberBandAndShiftClick();
    void addAndDeleteObjects();
    void bandsGoInPageOrder();
    void objectWindowInsertsFieldsAndApplies();
    void bandAndPageWindows();
    void saveWritesBackToTheFile();
    void unreadableFileIsNeverSavedOver();
    void partsLeftOutOnLoadingAreSaid();
    void leavingWithUnsavedChanges_data();
    void leavingWithUnsavedChanges();
    void previewGetsTheTemplateAsItStands();
};

void TestDesigner::arrowKeysMoveAndResize_data()
{
    QTest::addColumn<bool>("snap");
    QTest::addColumn<double>("grid");
    QTest::addColumn<QRectF>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("mods");
    QTest::addColumn<QRectF>("expected");
    const QRectF r {10, 1, 40, 6};
    const int shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    QTest::newRow("right, 1 mm grid") << true << 1.0 << r << int(Qt::Key_Right) << 0 << QRectF(11, 1, 40, 6);
    QTest::newRow("right, 2 mm grid") << true << 2.0 << r << int(Qt::Key_Right) << 0 << QRectF(12, 1, 40, 6);
    QTest::newRow("off the grid lands on it") << true << 2.0 << QRectF(10.3, 1, 40, 6) << int(Qt::Key_Right) << 0
                                              << QRectF(12, 1, 40, 6);
    QTest::newRow("no snapping keeps the offset") << false << 2.0 << QRectF(10.3, 1, 40, 6) << int(Qt::Key_Right)
                                                  << 0 << QRectF(11.3, 1, 40, 6);
    QTest::newRow("ctrl: a tenth, no snapping") << true << 2.0 << r << int(Qt::Key_Left) << ctrl
                                                << QRectF(9.9, 1, 40, 6);
    QTest::newRow("up stops at the band's top") << true << 2.0 << r << int(Qt::Key_Up) << 0 << QRectF(10, 0, 40, 6);
    QTest::newRow("down stops at the band's bottom") << true << 1.0 << QRectF(10, 4, 40, 6) << int(Qt::Key_Down)
                                                     << 0 << QRectF(10, 4, 40, 6);
    QTest::newRow("right stops at the margin") << true << 1.0 << QRectF(150, 1, 40, 6) << int(Qt::Key_Right) << 0
                                               << QRectF(150, 1, 40, 6);
    QTest::newRow("shift+right widens") << true << 1.0 << r << int(Qt::Key_Right) << shift << QRectF(10, 1, 41, 6);
    QTest::newRow("shift+down, 2 mm grid") << true << 2.0 << r << int(Qt::Key_Down) << shift << QRectF(10, 1, 40, 8);
    QTest::newRow("shift+ctrl+left narrows a tenth") << true << 1.0 << r << int(Qt::Key_Left) << (shift | ctrl)
                                                     << QRectF(10, 1, 39.9, 6);
    QTest::newRow("never narrower than half a millimetre") << true << 1.0 << QRectF(10, 1, 0.5, 6)
                                                           << int(Qt::Key_Left) << shift << QRectF(10, 1, 0.5, 6);
}

void TestDesigner::arrowKeysMoveAndResize()
{
    QFETCH(bool, snap);
    QFETCH(double, grid);
    QFETCH(QRectF, start);
    QFETCH(int, key);
    QFETCH(int, mods);
    QFETCH(QRectF, expected);
    ScopedSeams seams;
    ReportTemplate t = fixture();
    t.bands[1].objects[0].rect = start;
    TfrmDesigner d;
    d.setTemplate(t, QString());
    d.actSnap->setChecked(!snap);
    d.actSnap->trigger();
    d.cbbGrid->setCurrentIndex(grid == 2 ? 1 : 0);
    d.document().select({kName});
    QTest::keyClick(d.canvas, Qt::Key(key), Qt::KeyboardModifiers(mods));
    QCOMPARE(rectOf(d, kName), expected);
    QVERIFY(d.modified());
    QCOMPARE(rectOf(d, kTitle), fixture().bands[0].objects[0].rect);   // not selected: stays
}

void TestDesigner::mouseDragIsOneUndoStep()
{
    ScopedSeams seams;
    TfrmDesigner d;
    d.setTemplate(fixture(), QString());
    showActive(d);
    const QPoint at = d.canvas->objectRect(kName).center();

    // A click without moving selects and changes nothing.
    QTest::mouseClick(d.canvas, Qt::LeftButton, {}, at);
    QCOMPARE(d.document().selection(), QList<ObjectRef>{kName});
    QVERIFY(!d.document().canUndo());
    QVERIFY(!d.modified());

    // 5 mm right, 1.75 mm down: the top-left corner lands on the 1 mm grid.
    drag(d.canvas, at, at + QPoint(20, 7));
    QCOMPARE(rectOf(d, kName), QRectF(15, 3, 40, 6));
    QVERIFY(d.modified());

    QTest::keyClick(&d, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(rectOf(d, kName), QRectF(10, 1, 40, 6));
    QVERIFY(!d.document().canUndo());   // the whole drag was one step
    QVERIFY(!d.modified());
    QTest::keyClick(&d, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(rectOf(d, kName), QRectF(15, 3, 40, 6));
    QVERIFY(!d.document().canRedo());
    QVERIFY(d.modified());
    // The view follows the model: the object is drawn where it now is.
    QCOMPARE(d.canvas->objectRect(kName).topLeft(),
             d.canvas->bandRect(1).topLeft() + QPoint(15 * 4, 3 * 4));
}

void TestDesigner::resizeHandleAndBandEdge()
{
    ScopedSeams seams;
    TfrmDesigner d;
    d.setTemplate(fixture(), QString());
    showActive(d);
    d.document().select({kName});
    d.canvas->refresh();
    const QPoint handle = d.canvas->resizeHandle(kName).center();
    drag(d.canvas, handle, handle + QPoint(8, 4));
    QCOMPARE(rectOf(d, kName), QRectF(10, 1, 42, 7));

    // The data band's lower edge dragged 3 mm down; the band below would move with it.
    const int dataTop = d.canvas->bandRect(1).top();
    const QPoint edge(d.canvas->bandRect(0).center().x(), d.canvas->bandRect(0).bottom() + 1);
    d.document().select({});
    drag(d.canvas, edge, edge + QPoint(0, 12));
    QCOMPARE(d.document().templ().bands[0].height, 15.0);
    QCOMPARE(d.canvas->bandRect(1).top(), dataTop + 12);
    QCOMPARE(rectOf(d, kName), QRectF(10, 1, 42, 7));   // objects keep their place in their band

    QTest::keyClick(&d, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.document().templ().bands[0].height, 12.0);
    QTest::keyClick(&d, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(rectOf(d, kName), QRectF(10, 1, 40, 6));
}

void TestDesigner::dragOntoAnotherBand()
{
    ScopedSeams seams;
    TfrmDesigner d;
    d.setTemplate(fixture(), QString());
    showActive(d);
    // The title, picked 1 mm inside its corner and dropped with the pointer
    // 1 mm into the data band, lands on that band at its top.
    const QPoint from = d.canvas->objectRect(kTitle).topLeft() + QPoint(4, 4);
    const QPoint to(from.x() - 40, d.canvas->bandRect(1).top() + 4);
    drag(d.canvas, from, to);
    QCOMPARE(d.document().templ().bands[0].objects.size(), 0);
    QCOMPARE(d.document().templ().bands[1].objects.size(), 2);
    const ObjectRef moved {1, 1};
    QCOMPARE(d.document().object(moved)->name, QStringLiteral("MemoTitle"));
    QCOMPARE(rectOf(d, moved), QRectF(40, 0, 60, 8));
    QCOMPARE(d.document().selection(), QList<ObjectRef>{moved});
    QCOMPARE(d.document().currentBand(), 1);

    // Dragged on below the paper it stays on the data band's last millimetres.
    drag(d.canvas, d.canvas->objectRect(moved).center(), d.canvas->objectRect(moved).center() + QPoint(0, 400));
    QCOMPARE(rectOf(d, moved), QRectF(40, 2, 60, 8));

    QTest::keyClick(&d, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&d, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.document().templ().bands[0].objects.size(), 1);
    QCOMPARE(rectOf(d, kTitle), QRectF(50, 2, 60, 8));
    QVERIFY(d.document().selection().isEmpty());   // the moved reference is gone
}

void TestDesigner::rubberBandAndShiftClick()
{
    ScopedSeams seams;
    TfrmDesigner d;
    d.setTemplate(fixture(), QString());
    showActive(d);
    // From the empty corner of the header to below the field: both objects.
    const QPoint from = d.canvas->bandRect(0).topLeft() + QPoint(2, 2);
    const QPoint to = d.canvas->objectRect(kTitle).right() > d.canvas->objectRect(kName).right()
                          ? d.canvas->objectRect(kTitle).bottomRight()
                          : d.canvas->objectRect(kName).bottomRight();
    drag(d.canvas, from, QPoint(to.x(), d.canvas->objectRect(kName).bottom()) + QPoint(2, 2));
    QCOMPARE(d.document().selection().size(), 2);
    QVERIFY(!d.document().canUndo());

    QTest::keyClick(d.canvas, Qt::Key_Right);   // both move
    QCOMPARE(rectOf(d, kTitle).left(), 51.0);
    QCOMPARE(rectOf(d, kName).left(), 11.0);

    // Shift+click takes one out again; the other alone moves on.
    QTest::mouseClick(d.canvas, Qt::LeftButton, Qt::ShiftModifier, d.canvas->objectRect(kTitle).center());
    QCOMPARE(d.document().selection(), QList<ObjectRef>{kName});
    QTest::keyClick(d.canvas, Qt::Key_Down);
    QCOMPARE(rectOf(d, kTitle).top(), 2.0);
    QCOMPARE(rectOf(d, kName).top(), 2.0);

    // A click on empty paper clears the selection; arrows then change nothing.
    QTest::mouseClick(d.canvas, Qt::LeftButton, {}, d.canvas->bandRect(1).bottomRight() - QPoint(3, 3));
    QVERIFY(d.document().selection().isEmpty());
    const ReportTemplate before = d.document().templ();
    QTest::keyClick(d.canvas, Qt::Key_Left);
    QCOMPARE(rectOf(d, kName), before.bands[1].objects[0].rect);
}

void TestDesigner::addAndDeleteObjects()
{
    ScopedSeams seams;
    TfrmDesigner d;
    d.setTemplate(fixture(), QString());
    showActive(d);

    // A click in the data band makes it the band new objects go into.
    QTest::mouseClick(d.canvas, Qt::LeftButton, {}, d.canvas->bandRect(1).bottomRight() - QPoint(3, 3));
    d.addObject(ObjectKind::Text);
    QCOMPARE(d.document().templ().bands[1].objects.size(), 2);
    const ReportObject &added = d.document().templ().bands[1].objects[1];
    QCOMPARE(added.kind, ObjectKind::Text);
    QCOMPARE(added.name, QStringLiteral("Memo2"));   // Memo1 is taken: windows find objects by name
    QCOMPARE(added.font.family, QString::fromLatin1(DefaultFont));
    QCOMPARE(d.document().selection(), (QList<ObjectRef>{{1, 1}}));

    // A picture reads its file; a file that is no picture is said and adds nothing.
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("logo.png")), bad = dir.filePath(QStringLiteral("bad.png"));
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    QVERIFY(img.save(png));
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("not a picture") > 0);
    f.close();
    seams.dialogs.answer(bad);
    d.addObject(ObjectKind::Picture);
    QCOMPARE(d.document().templ().bands[1].objects.size(), 2);
    QCOMPARE(seams.dialogs.calls.last().kind, int(Dialogs::Kind::Warning));
    seams.dialogs.answer(png);
    d.addObject(ObjectKind::Picture);
    QCOMPARE(d.document().templ().bands[1].objects.size(), 3);
    QVERIFY(!QImage::fromData(d.document().templ().bands[1].objects[2].picture).isNull());
    QCOMPARE(d.document().templ().bands[1].height, 30.0);   // grown to hold the 30 mm picture

    // Delete removes every selected object, from two bands at once, whatever
    // the order they were picked in.
    d.document().select({kName, kTitle, {1, 1}});
    QTest::keyClick(&d, Qt::Key_Delete);
    QCOMPARE(d.document().templ().bands[0].objects.size(), 0);
    QCOMPARE(d.document().templ().bands[1].objects.size(), 1);
    QCOMPARE(d.document().templ().bands[1].objects[0].kind, ObjectKind::Picture);
    QVERIFY(d.document().selection().isEmpty());
    QTest::keyClick(&d, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(d.document().templ().bands[1].objects.size(), 3);
    QCOMPARE(d.document().templ().bands[0].objects[0].name, QStringLiteral("MemoTitle"));

    // No band to put it on: said, nothing added.
    TfrmDesigner empty;
    empty.setTemplate(ReportTemplate {}, QString());
    empty.addObject(ObjectKind::Text);
    QVERIFY(empty.document().templ().bands.isEmpty());
    QVERIFY(!empty.modified());
}

void TestDesigner::bandsGoInPageOrder()
{
    ScopedSeams seams;
    TfrmDesigner d;
    d.setTemplate(fixture(), QString());
    d.document().select({kName});
    d.addBand(BandKind::PageFooter);
    d.addBand(BandKind::ReportTitle);
    d.addBand(BandKind::GroupHeader);
    QList<BandKind> kinds;
    for (const Band &b : d.document().templ().bands) kinds << b.kind;
    QCOMPARE(kinds, (QList<BandKind>{BandKind::ReportTitle, BandKind::PageHeader, BandKind::GroupHeader,
                                     BandKind::MasterData, BandKind::PageFooter}));
    QCOMPARE(d.document().currentBand(), 2);
    // The selection follows its object when bands are put in above it.
    QCOMPARE(d.document().selection(), (QList<ObjectRef>{{3, 0}}));
    QTest::keyClick(d.canvas, Qt::Key_Right);
    QCOMPARE(d.document().templ().bands[3].objects[0].rect.left(), 11.0);

    d.document().setCurrentBand(1);
    d.actDeleteBand->trigger();
    QCOMPARE(d.document().templ().bands.size(), 4);
    QCOMPARE(d.document().templ().bands[2].kind, BandKind::MasterData);
    QCOMPARE(d.document().selection(), (QList<ObjectRef>{{2, 0}}));
    d.actUndo->trigger();
    QCOMPARE(d.document().templ().bands[1].objects[0].name, QStringLiteral("MemoTitle"));
}

void TestDesigner::objectWindowInsertsFieldsAndApplies()
{
    ScopedSeams seams;
    TfrmDesigner d;
    d.setTemplate(fixture(), QString());
    d.setSourceFields({{QStringLiteral("frMain"), {QStringLiteral("F_code"), QStringLiteral("F_name")}},
                       {QStringLiteral("frDetail1"), {QStringLiteral("F_date")}}});
    QStringList offered;
    seams.dialogs.handleDialog([&](QDialog &w) {
        auto &o = static_cast<DesignerObjectDialog &>(w);
        for (int i = 0; i < o.lstFields->count(); ++i) offered << o.lstFields->item(i)->text();
        o.memText->setPlainText(QStringLiteral("编码："));
        o.memText->moveCursor(QTextCursor::End);
        o.lstFieldsDblClick(int(offered.indexOf(QStringLiteral("frMain.F_code"))));
        o.cbbHAlign->setCurrentIndex(2);
        o.chkWordWrap->setChecked(true);
        o.chkStretch->setChecked(true);
        o.chkFrameBottom->setChecked(true);
        o.spnSize->setValue(12);
        return int(QDialog::Accepted);
    });
    d.editObject(kName);
    QCOMPARE(offered, (QStringList{QStringLiteral("frDetail1.F_date"), QStringLiteral("frMain.F_code"),
                                   QStringLiteral("frMain.F_name")}));
    const ReportObject &o = *d.document().object(kName);
    QCOMPARE(o.text, QStringLiteral("编码：[frMain.F_code]"));
    QCOMPARE(o.alignment, int(Qt::AlignRight | Qt::AlignVCenter));
    QVERIFY(o.wordWrap && o.stretch);
    QVERIFY(o.frame.bottom && !o.frame.top);
    QCOMPARE(o.font.size, 12.0);
    QCOMPARE(o.font.family, QString::fromLatin1(DefaultFont));
    QCOMPARE(o.rect, QRectF(10, 1, 40, 6));

    d.actUndo->trigger();
    QCOMPARE(d.document().object(kName)->text, QStringLiteral("[frMain.F_name]"));
    // Cancelled: nothing changes and there is nothing to undo.
    seams.dialogs.handleDialog([](QDialog &w) {
        static_cast<DesignerObjectDialog &>(w).memText->setPlainText(QStringLiteral("x"));
        return int(QDialog::Rejected);
    });
    d.editObject(kName);
    QCOMPARE(d.document().object(kName)->text, QStringLiteral("[frMain.F_name]"));
    QVERIFY(!d.document().canUndo());

    // Bound sources offer their fields; a name bound to nothing offers none.
    FieldsOnly rows({QStringLiteral("F_code"), QStringLiteral("F_tel")});
    Sources sources;
    sources.bind(QStringLiteral("frMain"), &rows);
    sources.bind(QStringLiteral("frDBDataSet2"), nullptr);
    d.setSources(sources);
    offered.clear();
    seams.dialogs.handleDialog([&](QDialog &w) {
        auto &dlg = static_cast<DesignerObjectDialog &>(w);
        for (int i = 0; i < dlg.lstFields->count(); ++i) offered << dlg.lstFields->item(i)->text().toLower();
        return int(QDialog::Rejected);
    });
    d.editObject(kName);
    QCOMPARE(offered, (QStringList{QStringLiteral("frmain.f_code"), QStringLiteral("frmain.f_tel")}));
}

void TestDesigner::bandAndPageWindows()
{
    ScopedSeams seams;
    TfrmDesigner d;
    d.setTemplate(fixture(), QString());
    seams.dialogs.handleDialog([](QDialog &w) {
        auto &b = static_cast<DesignerBandDialog &>(w);
        b.cbbKind->setCurrentIndex(b.cbbKind->findText(QStringLiteral("明细数据")));
        b.spnHeight->setValue(20);
        b.cbbSource->setEditText(QStringLiteral("frDetail1"));
        b.edtMasterField->setText(QStringLiteral("F_code"));
        b.edtDetailField->setText(QStringLiteral("F_cltcode"));
        return int(QDialog::Accepted);
    });
    d.editBand(1);
    const Band &b = d.document().templ().bands[1];
    QCOMPARE(b.kind, BandKind::DetailData);
    QCOMPARE(b.height, 20.0);
    QCOMPARE(b.source, QStringLiteral("frDetail1"));
    QCOMPARE(b.masterField, QStringLiteral("F_code"));
    QCOMPARE(b.detailField, QStringLiteral("F_cltcode"));
    QCOMPARE(b.objects.size(), 1);   // its objects stay
    QCOMPARE(d.canvas->bandRect(1).height(), 80);

    // A named paper fixes the size; landscape turns it.
    seams.dialogs.handleDialog([](QDialog &w) {
        auto &p = static_cast<DesignerPageDialog &>(w);
        p.cbbPaper->setCurrentText(QStringLiteral("A5"));
        p.cbbOrientation->setCurrentIndex(1);
        p.spnColumns->setValue(2);
        return int(QDialog::Accepted);
    });
    d.actPage->trigger();
    const PageSetup &pg = d.document().templ().page;
    QCOMPARE(QSizeF(pg.width, pg.height), QSizeF(148, 210));
    QCOMPARE(pg.size(), QSizeF(210, 148));
    QCOMPARE(pg.columns, 2);
    QCOMPARE(d.canvas->bandRect(0).width(), (210 - 20) * 4);

    // Margins that leave no paper are refused, the page as it was.
    seams.dialogs.handleDialog([](QDialog &w) {
        auto &p = static_cast<DesignerPageDialog &>(w);
        p.cbbPaper->setCurrentText(QStringLiteral("自定义"));
        p.spnWidth->setValue(100);
        p.spnTop->setValue(80);
        p.spnBottom->setValue(80);
        return int(QDialog::Accepted);
    });
    d.actPage->trigger();
    QCOMPARE(seams.dialogs.calls.last().kind, int(Dialogs::Kind::Warning));
    QCOMPARE(d.document().templ().page.width, 148.0);
    QCOMPARE(d.document().templ().page.margins.top(), 10.0);
}

void TestDesigner::saveWritesBackToTheFile()
{
    ScopedSeams seams;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frCltList.frf"));
    QVERIFY(saveTemplate(fixture(), path));
    TfrmDesigner d;
    QVERIFY(d.LoadFromFile(path));
    showActive(d);
    d.document().select({kName});
    QTest::keyClick(d.canvas, Qt::Key_Right);
    QTest::keyClick(d.canvas, Qt::Key_Down, Qt::ShiftModifier);
    drag(d.canvas, d.canvas->objectRect(kTitle).center(), d.canvas->objectRect(kTitle).center() + QPoint(-8, 0));
    QTest::keyClick(&d, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!d.modified());
    QVERIFY(seams.dialogs.calls.isEmpty());

    const std::optional<ReportTemplate> back = loadTemplate(path);
    QVERIFY(back);
    QCOMPARE(back->bands[1].objects[0].rect, QRectF(11, 1, 40, 7));
    QCOMPARE(back->bands[0].objects[0].rect, QRectF(48, 2, 60, 8));
    QCOMPARE(back->bands[1].objects[0].text, QStringLiteral("[frMain.F_name]"));

    // Undo past the save is a change again.
    QTest::keyClick(&d, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(d.modified());

    // A file that does not exist yet is created by the first save.
    const QString fresh = dir.filePath(QStringLiteral("new.frf"));
    TfrmDesigner n;
    QVERIFY(n.LoadFromFile(fresh));
    QVERIFY(n.document().templ().bands.isEmpty());
    n.addBand(BandKind::MasterData);
    QVERIFY(n.Save());
    QCOMPARE(loadTemplate(fresh)->bands.size(), 1);

    // A failed save is said and the changes stay unsaved.
    TfrmDesigner w;
    w.setTemplate(fixture(), dir.filePath(QStringLiteral("no/such/folder/x.frf")));
    w.addBand(BandKind::PageFooter);
    QVERIFY(!w.Save());
    QVERIFY(w.modified());
    QCOMPARE(seams.dialogs.calls.last().kind, int(Dialogs::Kind::Error));
}

void TestDesigner::unreadableFileIsNeverSavedOver()
{
    ScopedSeams seams;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frKhwxPGD.frf"));
    const QByteArray garbage = "<?xml version=\"1.0\"?><report><band kind=";
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(garbage) == garbage.size());
    f.close();

    TfrmDesigner d;
    QVERIFY(!d.LoadFromFile(path));
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls.last().kind, int(Dialogs::Kind::Error));
    d.addBand(BandKind::MasterData);
    QVERIFY(!d.Save());
    QCOMPARE(seams.dialogs.calls.size(), 2);
    QVERIFY(seams.dialogs.calls.last().text.contains(QStringLiteral("不能保存")));
    QCOMPARE(readAll(path), garbage);

    // Leaving answers 是: the save is refused again, so the window stays.
    showActive(d);
    seams.dialogs.handleDialog(clickButton(QStringLiteral("是")));
    QTest::keyClick(d.canvas, Qt::Key_Escape);
    QVERIFY(d.isVisible());
    QCOMPARE(readAll(path), garbage);
}

void TestDesigner::partsLeftOutOnLoadingAreSaid()
{
    ScopedSeams seams;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frStatFx.frf"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<reportTemplate version=\"1\"><page/>"
            "<band kind=\"MasterData\" height=\"8\"><object kind=\"hologram\" x=\"0\" y=\"0\" width=\"5\" height=\"5\"/>"
            "<object kind=\"text\" name=\"Memo1\" x=\"1\" y=\"1\" width=\"20\" height=\"5\"><text>标题</text></object>"
            "</band></reportTemplate>");
    f.close();
    TfrmDesigner d;
    QVERIFY(d.LoadFromFile(path));
    // What would be lost at the next save is said before anything is changed.
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls[0].kind, int(Dialogs::Kind::Warning));
    QCOMPARE(d.document().templ().bands[0].objects.size(), 1);
    QVERIFY(d.Save());
    QCOMPARE(loadTemplate(path)->bands[0].objects[0].name, QStringLiteral("Memo1"));
}

void TestDesigner::leavingWithUnsavedChanges_data()
{
    QTest::addColumn<QString>("answer");   // the button clicked; empty: the box closed unanswered
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    QTest::newRow("是 saves and leaves") << QStringLiteral("是") << true << true;
    QTest::newRow("否 leaves without saving") << QStringLiteral("否") << true << false;
    QTest::newRow("取消 stays") << QStringLiteral("取消") << false << false;
    QTest::newRow("unanswered stays") << QString() << false << false;
}

void TestDesigner::leavingWithUnsavedChanges()
{
    QFETCH(QString, answer);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    ScopedSeams seams;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frCltList.frf"));
    QVERIFY(saveTemplate(fixture(), path));
    const QByteArray before = readAll(path);

    TfrmDesigner d;
    QVERIFY(d.LoadFromFile(path));
    showActive(d);
    // Unchanged: Esc leaves without a question.
    QTest::keyClick(d.canvas, Qt::Key_Escape);
    QVERIFY(!d.isVisible());
    QVERIFY(seams.dialogs.calls.isEmpty());
    QCOMPARE(d.result(), int(QDialog::Rejected));

    showActive(d);
    d.document().select({kName});
    QTest::keyClick(d.canvas, Qt::Key_Right);
    QString asked;
    seams.dialogs.handleDialog(clickButton(answer.isEmpty() ? QStringLiteral("-") : answer, &asked));
    QTest::keyClick(d.canvas, Qt::Key_Escape);
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls[0].what, QStringLiteral("dialog"));
    QCOMPARE(asked, TfrmDesigner::kAskSave);
    QCOMPARE(!d.isVisible(), closes);
    QCOMPARE(readAll(path) != before, saved);
    if (saved) {
        QCOMPARE(loadTemplate(path)->bands[1].objects[0].rect.left(), 11.0);
        QCOMPARE(d.result(), int(QDialog::Accepted));   // the caller learns the file changed
    }
    if (!closes) QVERIFY(d.modified());
}

void TestDesigner::previewGetsTheTemplateAsItStands()
{
    ScopedSeams seams;
    TfrmDesigner d;
    d.setTemplate(fixture(), QString());
    QVERIFY(!d.actPreview->isEnabled());
    QList<ReportTemplate> shown;
    d.setPreview([&](const ReportTemplate &t) { shown << t; });
    QVERIFY(d.actPreview->isEnabled());
    d.document().select({kName});
    QTest::keyClick(d.canvas, Qt::Key_Down);
    d.actPreview->trigger();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].bands[1].objects[0].rect.top(), 2.0);
    QVERIFY(d.modified());   // previewing saves nothing
}

QTEST_MAIN(TestDesigner)
#include "tst_designer.moc"
