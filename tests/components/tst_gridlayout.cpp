// Stored grid layouts on every backend, the column chooser and the sort window.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "components/DataGrid.h"
#include "components/GridLayout.h"
#include "components/TFrmDispFieldXZ.h"
#include "components/TfrmRowArrangeGl.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kOpFailed = QStringLiteral("操作失败，请检查数据连接... ");
const Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignVCenter;
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

GridColumn col(const QString &field, const QString &caption, bool visible = true)
{
    GridColumn c;
    c.field = field;
    c.caption = caption;
    c.width = 90;
    c.visible = visible;
    return c;
}

QString alignName(Qt::Alignment a)
{
    const Qt::Alignment h = a & Qt::AlignHorizontal_Mask;
    return h == Qt::AlignHCenter ? "centre" : h == Qt::AlignRight ? "right" : h == Qt::AlignLeft ? "left" : "other";
}

// Everything a stored layout carries, one line per column, so a mismatch
// names the column and the property.
QStringList describe(const DataGrid &g)
{
    QStringList out;
    for (int i = 0; i < g.columnCount(); ++i) {
        const GridColumn &c = g.column(i);
        out << QStringLiteral("%1|%2|w%3|%4|%5|%6|fmt=%7|foot=%8:%9")
                   .arg(c.field, c.caption)
                   .arg(c.width)
                   .arg(c.visible ? "shown" : "hidden", c.readOnly ? "ro" : "rw", alignName(c.alignment),
                        c.displayFormat)
                   .arg(int(c.footerKind))
                   .arg(c.footerValue);
    }
    return out;
}

QStringList dumpCfgGrid(TdmData &dm, const QString &where = {})
{
    QStringList rows;
    DataSet q(&dm.ADOcnn);
    q.setSql("select * from cfg_Grid " + where + " order by F_ID");
    if (!q.open()) {
        qWarning() << q.lastError();
        return {"<failed>"};
    }
    for (q.first(); !q.eof(); q.next()) {
        QStringList cells;
        for (int c = 0; c < q.fieldCount(); ++c) cells << q.field(c).asString();
        rows << cells.join('|');
    }
    return rows;
}

void addStoredRow(TdmData &dm, const QString &key, const QString &fieldSql, const QString &caption, int width,
                  int visible, int readOnly, const QString &format, const QString &footer, int footerType,
                  int alignment, int order)
{
    QVERIFY(dm.RunSQL(QStringLiteral("insert into cfg_Grid(F_name,F_FieldName,F_Caption,F_Width,F_Visible,F_ReadOnly,"
                                     "F_DisplayFormat,F_FooterValue,F_FooterType,F_Alignment,F_Order) "
                                     "values('%1',%2,'%3',%4,%5,%6,'%7','%8',%9,%10,%11)")
                          .arg(sqlValue(key), fieldSql, sqlValue(caption))
                          .arg(width)
                          .arg(visible)
                          .arg(readOnly)
                          .arg(sqlValue(format), sqlValue(footer))
                          .arg(footerType)
                          .arg(alignment)
                          .arg(order)));
}

// What the window system delivers for a double-click.
void doubleClick(QWidget *w, QPoint pos)
{
    QTest::mousePress(w, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(w, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(w, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(w, Qt::LeftButton, {}, pos);
}

template <typename T>
T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QString::fromLatin1(name));
    if (!c) qWarning("no child %s", name);
    return c;
}

} // namespace

class TstGridLayout : public QObject {
    Q_OBJECT
private slots:
    // --- stored layouts ---

    void savedLayoutIsWhatAFreshGridLoads_data() { TestDb::addBackendRows(); }
    void savedLayoutIsWhatAFreshGridLoads()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QStringList otherKeys = dumpCfgGrid(*dm, "where F_name <> 'clientmain'");

        DataGrid a;
        QVERIFY(LoadGridLayout(a, "clientmain"));
        QVERIFY(a.columnCount() > 3);
        for (int i = 0; i < a.columnCount(); ++i) QCOMPARE(a.column(i).titleAlignment, kCentre);

        QList<GridColumn> cols = a.columns();
        cols.move(0, 2);
        cols[0].caption = "O'Brien 的名称";
        cols[0].width = 222;
        cols[0].readOnly = false;
        cols[1].visible = false;
        cols[1].alignment = kCentre;
        cols[2].footerKind = FooterKind::Text;
        cols[2].footerValue = "合计'";
        cols[2].alignment = kRight;
        cols[2].displayFormat = "#,##0.00";
        cols[3].footerKind = FooterKind::Sum;
        a.setColumns(cols);

        // Saved under another spelling of the key: the rows are stored in lower case.
        SaveGridLayout(a, "ClientMain");
        QCOMPARE(seams.dialogs.calls.size(), 0);

        DataGrid b;
        QVERIFY(LoadGridLayout(b, "clientmain"));
        QCOMPARE(describe(b), describe(a));
        QCOMPARE(b.column(0).caption, QString("O'Brien 的名称"));
        QCOMPARE(b.column(2).field, a.columns().at(2).field);

        DataGrid c;
        QVERIFY(LoadGridLayout(c, "CLIENTMAIN"));
        QCOMPARE(describe(c), describe(a));

        QCOMPARE(dumpCfgGrid(*dm, "where F_name <> 'clientmain'"), otherKeys);
        QCOMPARE(seams.dialogs.calls.size(), 0);
    }

    void storedRowsMapToColumns_data() { TestDb::addBackendRows(); }
    void storedRowsMapToColumns()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        addStoredRow(*dm, "tmap", "''", "空字段", 40, 1, 0, "", "", 0, 0, 0);
        addStoredRow(*dm, "tmap", "NULL", "无字段", 40, 1, 0, "", "", 0, 0, 1);
        addStoredRow(*dm, "tmap", "'F_a'", "A", 50, 1, 0, "", "合计", 1, 0, 5);
        addStoredRow(*dm, "tmap", "'F_b'", "B", 60, 0, 1, "#,##0.00", "", 2, 2, 3);
        addStoredRow(*dm, "tmap", "'F_c'", "C", 70, 1, 0, "", "", 9, 1, 4);
        addStoredRow(*dm, "tmap", "'F_d'", "D", 80, 1, 1, "", "", 0, 7, 6);

        DataGrid g;
        g.setColumns({col("F_old", "旧列")});
        QVERIFY(LoadGridLayout(g, "tmap"));
        // Ordered by F_Order; rows without a field are skipped; an unknown
        // alignment keeps the default and an unknown footer kind is none.
        QCOMPARE(describe(g), QStringList({
                                  "F_b|B|w60|hidden|ro|right|fmt=#,##0.00|foot=2:",
                                  "F_c|C|w70|shown|rw|centre|fmt=|foot=0:",
                                  "F_a|A|w50|shown|rw|left|fmt=|foot=1:合计",
                                  "F_d|D|w80|shown|ro|left|fmt=|foot=0:",
                              }));
        QCOMPARE(seams.dialogs.calls.size(), 0);
    }

    void keyWithoutRowsKeepsBuiltColumns_data() { TestDb::addBackendRows(); }
    void keyWithoutRowsKeepsBuiltColumns()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QStringList stored = dumpCfgGrid(*dm);

        DataGrid g;
        // F_code has rows under other keys: they must not be touched.
        g.setColumns({col("F_code", "编码"), col("F_name", "名称", false)});
        const QStringList built = describe(g);
        QVERIFY(!LoadGridLayout(g, "nosuchkey"));
        QCOMPARE(describe(g), built);

        SaveGridLayout(g, "nosuchkey");
        QCOMPARE(dumpCfgGrid(*dm), stored);
        QCOMPARE(seams.dialogs.calls.size(), 0);
    }

    void failureShowsMessageAndKeepsColumns_data() { TestDb::addBackendRows(); }
    void failureShowsMessageAndKeepsColumns()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        DataGrid g;
        g.setColumns({col("F_code", "编码"), col("F_name", "名称"), col("F_memo1", "备注")});
        const QStringList built = describe(g);
        dm->ADOcnn.close();

        QVERIFY(!LoadGridLayout(g, "clientmain"));
        QCOMPARE(describe(g), built);
        QCOMPARE(seams.dialogs.calls.size(), 1);
        QCOMPARE(seams.dialogs.calls.at(0).text, kOpFailed);
        QCOMPARE(seams.dialogs.calls.at(0).kind, 3);

        // Every column is still tried after the first one fails.
        seams.dialogs.calls.clear();
        SaveGridLayout(g, "clientmain");
        QCOMPARE(seams.dialogs.calls.size(), 3);
        for (const auto &c : seams.dialogs.calls) QCOMPARE(c.kind, 3);
    }

    void askAndSaveSavesOnlyOnYes_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("answer");
        for (const QString &b : TestDb::backends()) {
            QTest::newRow(qPrintable(b + " yes")) << b << 1;
            QTest::newRow(qPrintable(b + " no")) << b << 2;
        }
    }
    void askAndSaveSavesOnlyOnYes()
    {
        FETCH_BACKEND(backend);
        QFETCH(int, answer);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        DataGrid g;
        QVERIFY(LoadGridLayout(g, "wxrecman"));
        const QString field = g.column(0).field;
        const QString original = g.column(0).caption;
        GridColumn c = g.column(0);
        c.caption = "新标题";
        g.setColumn(0, c);

        seams.dialogs.answer(answer);
        AskAndSaveGridLayout(g, "wxrecman");
        QCOMPARE(seams.dialogs.calls.size(), 1);
        QCOMPARE(seams.dialogs.calls.at(0).text, QString("真的要保存当前网格设置吗？"));
        QCOMPARE(seams.dialogs.calls.at(0).kind, 1);
        QCOMPARE(dm->GetStrValue("select F_Caption from cfg_Grid where F_name = 'wxrecman' and F_FieldName = "
                                 + sqlQuoted(field)),
                 answer == 1 ? QString("新标题") : original);
    }

    // --- column chooser ---

    void chooserAppliesTicksOnlyOnOk_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<bool>>("visible");
        QTest::newRow("ok") << "ok" << QList<bool>{false, true, true};
        QTest::newRow("cancel") << "cancel" << QList<bool>{true, false, true};
        QTest::newRow("escape") << "escape" << QList<bool>{true, false, true};
    }
    void chooserAppliesTicksOnlyOnOk()
    {
        QFETCH(QString, action);
        QFETCH(QList<bool>, visible);
        ScopedSeams seams;
        DataGrid g;
        g.setColumns({col("F_a", "甲"), col("F_b", "乙", false), col("F_c", "丙")});

        QStringList captions;
        QList<bool> shownTicks;
        Qt::WindowFlags flags;
        seams.dialogs.handleDialog([&](QDialog &d) {
            flags = d.windowFlags();
            auto *list = child<QListWidget>(d, "CheckListBox1");
            for (int i = 0; i < list->count(); ++i) {
                captions << list->item(i)->text();
                shownTicks << (list->item(i)->checkState() == Qt::Checked);
            }
            list->item(0)->setCheckState(Qt::Unchecked);
            list->item(1)->setCheckState(Qt::Checked);
            if (action == "ok")
                QTest::mouseClick(child<QPushButton>(d, "btnOK"), Qt::LeftButton);
            else if (action == "cancel")
                QTest::mouseClick(child<QPushButton>(d, "btnCancel"), Qt::LeftButton);
            else
                QTest::keyClick(list, Qt::Key_Escape);
            return d.result();
        });
        ChooseColumns(g);

        QCOMPARE(seams.dialogs.calls.size(), 1);
        QCOMPARE(seams.dialogs.calls.at(0).text, QString("字段列表"));
        QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint)));
        QCOMPARE(captions, QStringList({"甲", "乙", "丙"}));
        QCOMPARE(shownTicks, QList<bool>({true, false, true}));
        QList<bool> now;
        for (int i = 0; i < g.columnCount(); ++i) now << g.column(i).visible;
        QCOMPARE(now, visible);
    }

    // --- sort window ---

    void doubleClickCyclesValue()
    {
        TfrmRowArrangeGl f({{"F_a", "甲"}, {"F_b", "乙"}});
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        for (int column : {0, 1}) {
            const QRect cell = f.vle1->visualRect(f.vle1->model()->index(1, column));
            const QStringList expected{"升序", "降序", "", "升序"};
            for (const QString &v : expected) {
                doubleClick(f.vle1->viewport(), cell.center());
                QCOMPARE(f.value(1), v);
            }
            f.setValue(1, "别的");
            f.vle1DblClick(1);
            QCOMPARE(f.value(1), QString());
            QCOMPARE(f.value(0), QString());
        }
        // The double-click only cycles; no editor is left open over the cell.
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        for (const QComboBox *box : f.vle1->findChildren<QComboBox *>()) QVERIFY(!box->isVisible());
    }

    void moveRows_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("newCurrent");
        QTest::newRow("first up") << 0 << "up" << QStringList{"甲", "乙", "丙"} << QStringList{"升序", "", "降序"} << 0;
        QTest::newRow("last down") << 2 << "down" << QStringList{"甲", "乙", "丙"} << QStringList{"升序", "", "降序"} << 2;
        QTest::newRow("middle up") << 1 << "up" << QStringList{"乙", "甲", "丙"} << QStringList{"", "升序", "降序"} << 0;
        QTest::newRow("middle down") << 1 << "down" << QStringList{"甲", "丙", "乙"} << QStringList{"升序", "降序", ""} << 2;
        QTest::newRow("drag first to last") << 0 << "drag2" << QStringList{"乙", "丙", "甲"} << QStringList{"", "降序", "升序"} << 2;
    }
    void moveRows()
    {
        QFETCH(int, current);
        QFETCH(QString, action);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, values);
        QFETCH(int, newCurrent);
        TfrmRowArrangeGl f({{"F_a", "甲"}, {"F_b", "乙"}, {"F_c", "丙"}});
        f.setValue(0, "升序");
        f.setValue(2, "降序");
        f.vle1->setCurrentCell(current, 0);
        if (action == "up")
            QTest::mouseClick(f.btnUp, Qt::LeftButton);
        else if (action == "down")
            QTest::mouseClick(f.btnDown, Qt::LeftButton);
        else
            f.vle1->moveRow(current, 2);
        QStringList nowCaptions, nowValues;
        for (int r = 0; r < f.vle1->rowCount(); ++r) {
            nowCaptions << f.caption(r);
            nowValues << f.value(r);
        }
        QCOMPARE(nowCaptions, captions);
        QCOMPARE(nowValues, values);
        QCOMPARE(f.vle1->currentRow(), newCurrent);
    }

    void sortTextFromRows_data()
    {
        using Columns = QList<QPair<QString, QString>>;
        QTest::addColumn<Columns>("columns");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<int>("moveToTop");   // row moved to the top before building, -1 none
        QTest::addColumn<QString>("text");
        const Columns abc{{"F_Code", "编码"}, {"F_name", "名称"}, {"F_memo1", "备注"}};
        QTest::newRow("nothing chosen") << abc << QStringList{"", "", ""} << -1 << "";
        QTest::newRow("one ascending") << abc << QStringList{"升序", "", ""} << -1 << "f_code ASC,";
        QTest::newRow("priority by row order") << abc << QStringList{"降序", "", "升序"} << -1 << "f_code DESC,f_memo1 ASC,";
        QTest::newRow("moved row comes first") << abc << QStringList{"降序", "", "升序"} << 2 << "f_memo1 ASC,f_code DESC,";
        const Columns twins{{"F_memo1", "备注"}, {"F_mem2", "备注"}};
        QTest::newRow("same caption sorts by the first one's field") << twins << QStringList{"", "降序"} << -1 << "f_memo1 DESC,";
        QTest::newRow("same caption moved") << twins << QStringList{"升序", "降序"} << 1 << "f_memo1 DESC,f_memo1 ASC,";
    }
    void sortTextFromRows()
    {
        using Columns = QList<QPair<QString, QString>>;
        QFETCH(Columns, columns);
        QFETCH(QStringList, values);
        QFETCH(int, moveToTop);
        QFETCH(QString, text);
        TfrmRowArrangeGl f(columns);
        for (int r = 0; r < values.size(); ++r) f.setValue(r, values.at(r));
        if (moveToTop >= 0) f.vle1->moveRow(moveToTop, 0);
        QCOMPARE(f.sortText(), text);
    }

    void arrangeSortWindow_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("text");
        QTest::newRow("ok") << "ok" << true << "f_b DESC,";
        QTest::newRow("cancel") << "cancel" << false << "earlier ASC";
        QTest::newRow("escape") << "escape" << false << "earlier ASC";
    }
    void arrangeSortWindow()
    {
        QFETCH(QString, action);
        QFETCH(bool, result);
        QFETCH(QString, text);
        ScopedSeams seams;
        DataGrid g;
        g.setColumns({col("F_a", "甲"), col("F_B", "乙", false), col("F_c", "丙")});

        QStringList keys;
        seams.dialogs.handleDialog([&](QDialog &d) {
            auto &f = static_cast<TfrmRowArrangeGl &>(d);
            const Qt::WindowFlags flags = f.windowFlags();
            [&] {
                QVERIFY(flags & Qt::WindowCloseButtonHint);
                QVERIFY(!(flags & Qt::WindowMinMaxButtonsHint));
                QCOMPARE(f.minimumSize(), f.maximumSize());
                QCOMPARE(f.vle1->columnWidth(0), 150);
                QCOMPARE(f.vle1->columnWidth(1), 159);
                QCOMPARE(child<QLabel>(f, "lblHint")->text(),
                         QString("提示：双击空白处切换排序方式（升降无），单击上下移动键调整优先顺序"));
                QVERIFY(!(f.vle1->item(0, 0)->flags() & Qt::ItemIsEditable));
            }();
            for (int r = 0; r < f.vle1->rowCount(); ++r) keys << f.caption(r) + "=" + f.value(r);
            f.setValue(1, "降序");
            if (action == "ok")
                QTest::mouseClick(f.btnOK, Qt::LeftButton);
            else if (action == "cancel")
                QTest::mouseClick(f.btnCancel, Qt::LeftButton);
            else
                QTest::keyClick(f.vle1, Qt::Key_Escape);
            return f.result();
        });
        QString sortText = "earlier ASC";
        QCOMPARE(ArrangeSort(g, sortText), result);
        QCOMPARE(sortText, text);
        QCOMPARE(seams.dialogs.calls.size(), 1);
        QCOMPARE(seams.dialogs.calls.at(0).text, QString("排序对话框"));
        // Hidden columns are offered too.
        QCOMPARE(keys, QStringList({"甲=", "乙=", "丙="}));
    }

    // The text the window builds, trailing comma and all, orders a real list.
    void builtTextOrdersLoadedRows_data() { TestDb::addBackendRows(); }
    void builtTextOrdersLoadedRows()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const char *rows[][2] = {{"003", "Beta"}, {"001", "Alpha"}, {"002", "Beta"}};
        for (const auto &r : rows)
            QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name) values('%1','%2')").arg(r[0], r[1])));
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL("select F_code,F_name from t_client order by F_ID", &ds));
        DataGrid g;
        g.setColumns({col("F_code", "编码"), col("F_name", "名称")});
        g.setDataSet(&ds);

        auto codes = [&] {
            QStringList out;
            for (int r = 0; r < ds.recordCount(); ++r) out << g.cellText(r, 0);
            return out;
        };
        const QStringList loaded = codes();
        QCOMPARE(loaded, QStringList({"003", "001", "002"}));

        TfrmRowArrangeGl f({{"F_code", "编码"}, {"F_name", "名称"}});
        f.setValue(0, "降序");
        f.setValue(1, "升序");
        f.vle1->moveRow(1, 0);
        g.applySort(f.sortText());
        QCOMPARE(codes(), QStringList({"001", "003", "002"}));

        // Nothing chosen: the list goes back to the order it was loaded in.
        TfrmRowArrangeGl none({{"F_code", "编码"}, {"F_name", "名称"}});
        g.applySort(none.sortText());
        QCOMPARE(codes(), loaded);
        QCOMPARE(seams.dialogs.calls.size(), 0);
    }
};

QTEST_MAIN(TstGridLayout)
#include "tst_gridlayout.moc"
