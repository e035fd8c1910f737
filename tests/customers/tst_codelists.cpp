// Code lists: the picker beside a drop-down, the add-text dialog and the
// maintenance window, on every backend.

#include "ScriptedDialogs.h"
#include "app/Companion.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "components/DataGrid.h"
#include "customers/CodeListSql.h"
#include "customers/TDLGaddText.h"
#include "customers/TDLGcodeNewXZ.h"
#include "customers/TFrmCodeMan.h"
#include "customers/TFrmMain.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

struct Fixture {
    explicit Fixture(const QString &backend) { dm = TestDb::freshModule(backend, dir.path()); }

    // Replaces the entries of a type.
    void codes(const QString &type, const QStringList &names)
    {
        QVERIFY(dm->RunSQL(QStringLiteral("delete from t_code where F_type = ") + sqlQuoted(type)));
        for (const QString &n : names) QVERIFY(dm->RunSQL(codeInsertSql(n, type)));
    }
    // Rows of a type as stored: "name|code", sorted.
    QStringList stored(const QString &type)
    {
        DataSet q(&dm->ADOcnn);
        q.setSql(QStringLiteral("select F_name, F_code from t_code where F_type = ") + sqlQuoted(type));
        if (!q.open()) qFatal("stored: %s", qPrintable(q.lastError()));
        QStringList r;
        for (q.first(); !q.eof(); q.next())
            r << q.field(0).asString() + u'|' + q.field(1).asString();
        r.sort();
        return r;
    }
    QStringList storedNames(const QString &type)
    {
        QStringList r;
        for (const QString &s : stored(type)) r << s.section(u'|', 0, 0);
        return r;
    }
    QStringList messages() const
    {
        QStringList r;
        for (const auto &c : seams.dialogs.calls)
            if (c.what == QLatin1String("message")) r << QStringLiteral("%1:%2").arg(c.kind).arg(c.text);
        return r;
    }

    QTemporaryDir dir;
    ScopedSeams seams;
    std::unique_ptr<TdmData> dm;
};

// The names a data set holds, in its order.
QStringList namesOf(const DataSet *ds)
{
    QStringList r;
    const int col = ds->fieldIndex(QStringLiteral("F_name"));
    for (int i = 0; i < ds->recordCount(); ++i) r << ds->value(i, col).toString();
    return r;
}

QString currentName(const DataSet *ds) { return ds->fieldByName(QStringLiteral("F_name")).asString(); }

QStringList items(const QComboBox &box)
{
    QStringList r;
    for (int i = 0; i < box.count(); ++i) r << box.itemText(i);
    return r;
}

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

// An editable drop-down filled as the editors fill it, showing `text` as typed.
void fillBox(TdmData &dm, QComboBox &box, const QString &type, const QString &text)
{
    box.setEditable(true);
    dm.FillItems(codeFillSql(type), &box);
    const int i = box.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0) box.setCurrentIndex(i);
    else box.setEditText(text);
}

const QString kType = QStringLiteral("type");

} // namespace

class TestCodeLists : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }

    void pickerStartsOnTheDropDownText_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("current");   // empty: the first row
        for (const QString &b : TestDb::backends()) {
            const QByteArray p = b.toLatin1() + ' ';
            QTest::newRow(p + "in list") << b << QStringLiteral("彩电") << QStringLiteral("彩电");
            QTest::newRow(p + "not in list") << b << QStringLiteral("洗衣机") << QString();
            // Matched exactly: a blank or another case is not the entry.
            QTest::newRow(p + "trailing blank") << b << QStringLiteral("彩电 ") << QString();
            QTest::newRow(p + "other case") << b << QStringLiteral("o'neil") << QString();
            QTest::newRow(p + "quote") << b << QStringLiteral("O'Neil") << QStringLiteral("O'Neil");
        }
    }

    // Opening on the drop-down's text; 确定 puts the current row's name back.
    void pickerStartsOnTheDropDownText()
    {
        FETCH_BACKEND(backend);
        QFETCH(QString, text);
        QFETCH(QString, current);
        Fixture f(backend);
        f.codes(kType, {QStringLiteral("冰箱"), QStringLiteral("彩电"), QStringLiteral("LCD"), QStringLiteral("O'Neil"),
                        QString()});
        QComboBox box;
        fillBox(*f.dm, box, kType, text);

        TDLGcodeNewXZ dlg;
        dlg.CodeType = kType;
        dlg.setWindowTitle(QStringLiteral("类别资料"));
        QString seen;
        int row = -1;
        f.seams.dialogs.handleDialog([&](QDialog &) {
            seen = currentName(dlg.QryCode);
            row = dlg.QryCode->recNo();
            [&] {
                QCOMPARE(dlg.DBGridEh1->currentIndex().row(), row);
                QCOMPARE(dlg.focusWidget(), static_cast<QWidget *>(dlg.DBGridEh1));
            }();
            QTest::mouseClick(dlg.BitBtn1, Qt::LeftButton);
            return dlg.result();
        });
        const QString result = dlg.PickCode(&box);

        QCOMPARE(f.seams.dialogs.calls.value(0).text, QStringLiteral("类别资料"));
        // Empty names are never offered.
        QCOMPARE(namesOf(dlg.QryCode).size(), 4);
        if (current.isEmpty()) QCOMPARE(row, 0);
        else QCOMPARE(seen, current);
        QCOMPARE(result, seen);
        QCOMPARE(box.currentText(), seen);
        QCOMPARE(box.currentIndex(), box.findText(seen));
    }

    void pickerChooses_data()
    {
        TestDb::addBackendRows();
    }

    // A double-click or Enter in the grid chooses the row; 关闭 and Esc leave
    // the drop-down as it was.
    void pickerChooses()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.codes(kType, {QStringLiteral("a1"), QStringLiteral("b2"), QStringLiteral("c3")});
        QComboBox box;
        fillBox(*f.dm, box, kType, QStringLiteral("a1"));
        const QStringList before = items(box);

        using Act = std::function<void(TDLGcodeNewXZ &)>;
        const struct {
            const char *name;
            Act act;
            QString result;
        } cases[] = {
            {"double-click", [](TDLGcodeNewXZ &d) { emit d.DBGridEh1->rowDoubleClicked(d.QryCode->recNo()); }, "c3"},
            {"enter", [](TDLGcodeNewXZ &d) { QTest::keyClick(d.DBGridEh1, Qt::Key_Return); }, "c3"},
            {"close", [](TDLGcodeNewXZ &d) { QTest::mouseClick(d.BitBtn2, Qt::LeftButton); }, QString()},
            {"esc", [](TDLGcodeNewXZ &d) { QTest::keyClick(d.DBGridEh1, Qt::Key_Escape); }, QString()},
        };
        for (const auto &c : cases) {
            box.setCurrentIndex(box.findText(QStringLiteral("a1")));
            TDLGcodeNewXZ dlg;
            dlg.CodeType = kType;
            f.seams.dialogs.handleDialog([&](QDialog &) {
                const int last = dlg.QryCode->recordCount() - 1;
                dlg.DBGridEh1->setCurrentIndex(dlg.DBGridEh1->model()->index(last, 0));
                c.act(dlg);
                return dlg.result();
            });
            QCOMPARE(dlg.PickCode(&box), c.result);
            QCOMPARE(box.currentText(), c.result.isEmpty() ? QStringLiteral("a1") : c.result);
            QCOMPARE(items(box), before);
        }
    }

    void pickerOnEmptyList_data() { TestDb::addBackendRows(); }

    // 确定 on an empty list selects the drop-down's empty first entry.
    void pickerOnEmptyList()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.codes(QStringLiteral("abSheet1"), {});
        QComboBox box;
        box.setEditable(true);
        box.addItems({QString(), QStringLiteral("old")});
        box.setCurrentIndex(1);
        TDLGcodeNewXZ dlg;
        dlg.CodeType = QStringLiteral("abSheet1");
        f.seams.dialogs.handleDialog([&](QDialog &) {
            [&] { QVERIFY(dlg.QryCode->isEmpty()); }();
            QTest::mouseClick(dlg.BitBtn1, Qt::LeftButton);
            return dlg.result();
        });
        QCOMPARE(dlg.PickCode(&box), QString());
        QCOMPARE(box.currentIndex(), 0);
        QCOMPARE(box.currentText(), QString());
    }

    void pickerSearch_data() { TestDb::addBackendRows(); }

    // The name box narrows the list to names containing it (empty names are
    // in the unnarrowed list); the mnemonic box only re-runs the search.
    void pickerSearch()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.codes(kType, {QStringLiteral("洗衣机"), QStringLiteral("冰箱"), QStringLiteral("电视机"), QString(),
                        QStringLiteral("机'器")});
        f.codes(QStringLiteral("xinghao"), {QStringLiteral("收音机")});
        QComboBox box;
        TDLGcodeNewXZ dlg;
        dlg.CodeType = kType;
        f.seams.dialogs.handleDialog([&](QDialog &) {
            [&] {
                dlg.edtname->setText(QStringLiteral("机"));
                QCOMPARE(sorted(namesOf(dlg.QryCode)),
                         sorted({QStringLiteral("洗衣机"), QStringLiteral("电视机"), QStringLiteral("机'器")}));
                dlg.edtname->setText(QStringLiteral(" 机' "));
                QCOMPARE(namesOf(dlg.QryCode), QStringList{QStringLiteral("机'器")});
                dlg.edtname->setText(QStringLiteral("  "));
                QCOMPARE(sorted(namesOf(dlg.QryCode)), sorted({QStringLiteral("洗衣机"), QStringLiteral("冰箱"),
                                                              QStringLiteral("电视机"), QString(), QStringLiteral("机'器")}));
                dlg.edtname->setText(QStringLiteral("冰"));
                dlg.edtcode->setText(QStringLiteral("zzz"));
                QCOMPARE(namesOf(dlg.QryCode), QStringList{QStringLiteral("冰箱")});
                // 查询 runs the same search.
                f.dm->RunSQL(codeInsertSql(QStringLiteral("冰柜"), kType));
                QTest::mouseClick(dlg.BitBtn3, Qt::LeftButton);
                QCOMPARE(sorted(namesOf(dlg.QryCode)), sorted({QStringLiteral("冰箱"), QStringLiteral("冰柜")}));
                // The picker's statements carry no mnemonic code.
                QCOMPARE(dlg.DBGridEh1->cellText(0, 1), QString());
            }();
            return int(QDialog::Rejected);
        });
        dlg.PickCode(&box);
        QCOMPARE(f.messages(), QStringList());
    }

    void pickerAdd_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("search");
        for (const QString &b : TestDb::backends()) {
            const QByteArray p = b.toLatin1() + ' ';
            QTest::newRow(p + "ok") << b << true << QString();
            QTest::newRow(p + "close") << b << false << QString();
            // The new row is current even when the search does not show it.
            QTest::newRow(p + "ok after a search") << b << true << QStringLiteral("nothing");
        }
    }

    // 新增 stores the name as typed at once; the drop-down is refilled on
    // either button, and 确定 selects the new entry.
    void pickerAdd()
    {
        FETCH_BACKEND(backend);
        QFETCH(bool, accept);
        QFETCH(QString, search);
        Fixture f(backend);
        f.codes(kType, {QStringLiteral("冰箱"), QStringLiteral("彩电")});
        QComboBox box;
        fillBox(*f.dm, box, kType, QStringLiteral("冰箱"));
        const QString added = QStringLiteral(" 新'品 ");

        TDLGcodeNewXZ dlg;
        dlg.CodeType = kType;
        f.seams.dialogs.handleDialog([&](QDialog &) {
            if (!search.isEmpty()) dlg.edtname->setText(search);
            QTest::mouseClick(dlg.Button1, Qt::LeftButton);
            // Stored before the picker closes.
            [&] { QCOMPARE(f.storedNames(kType), sorted({QStringLiteral("冰箱"), QStringLiteral("彩电"), added})); }();
            [&] { QCOMPARE(currentName(dlg.QryCode), added); }();
            [&] { QVERIFY(dlg.CodesAdded); }();
            QTest::mouseClick(accept ? dlg.BitBtn1 : dlg.BitBtn2, Qt::LeftButton);
            return dlg.result();
        });
        f.seams.dialogs.handleDialog([](QDialog &d) {
            auto &ask = static_cast<TDLGaddText &>(d);
            ask.edtName->setText(QStringLiteral(" 新'品 "));
            QTest::mouseClick(ask.BitBtn1, Qt::LeftButton);
            return ask.result();
        });
        const QString result = dlg.PickCode(&box);

        QCOMPARE(f.seams.dialogs.calls.size(), 2);
        QVERIFY(items(box).contains(added));
        QCOMPARE(result, accept ? added : QString());
        QCOMPARE(box.currentText(), accept ? added : QStringLiteral("冰箱"));
        if (accept) QCOMPARE(box.currentIndex(), box.findText(added));
    }

    void pickerAddCancelled_data() { TestDb::addBackendRows(); }

    // Closing the add-text dialog adds nothing and leaves the drop-down alone.
    void pickerAddCancelled()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.codes(kType, {QStringLiteral("冰箱")});
        QComboBox box;
        box.setEditable(true);
        box.addItems({QString(), QStringLiteral("旧项")});
        box.setEditText(QStringLiteral("自己输入"));
        TDLGcodeNewXZ dlg;
        dlg.CodeType = kType;
        f.seams.dialogs.handleDialog([&](QDialog &) {
            QTest::mouseClick(dlg.Button1, Qt::LeftButton);   // the add-text dialog is rejected unseen
            QTest::mouseClick(dlg.BitBtn2, Qt::LeftButton);
            return dlg.result();
        });
        QCOMPARE(dlg.PickCode(&box), QString());
        QVERIFY(!dlg.CodesAdded);
        QCOMPARE(items(box), (QStringList{QString(), QStringLiteral("旧项")}));
        QCOMPARE(box.currentText(), QStringLiteral("自己输入"));
        QCOMPARE(f.storedNames(kType), QStringList{QStringLiteral("冰箱")});
    }

    // An empty or blank name is refused with a message and the dialog stays;
    // a confirmed name comes back untrimmed.
    void addTextDialog()
    {
        ScopedSeams seams;
        TDLGaddText dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("请输入要增加的标题名称"));
        QString name = QStringLiteral("unchanged");
        seams.dialogs.handleDialog([&](QDialog &) {
            for (const QString &bad : {QString(), QStringLiteral("   ")}) {
                dlg.edtName->setText(bad);
                QTest::mouseClick(dlg.BitBtn1, Qt::LeftButton);
                if (dlg.isHidden()) return dlg.result();
            }
            [&] { QCOMPARE(dlg.focusWidget(), static_cast<QWidget *>(dlg.edtName)); }();
            dlg.edtName->setText(QStringLiteral("  x "));
            QTest::keyClick(dlg.edtName, Qt::Key_S, Qt::ControlModifier);   // saves like 确定
            return dlg.result();
        });
        QVERIFY(dlg.AskText(&name));
        QCOMPARE(name, QStringLiteral("  x "));
        QCOMPARE(seams.dialogs.texts(), (QStringList{QStringLiteral("请输入要增加的标题名称"),
                                                     QStringLiteral("名称不能为空！"), QStringLiteral("名称不能为空！")}));
        QCOMPARE(seams.dialogs.calls.value(1).kind, 0);

        TDLGaddText closed;
        seams.dialogs.handleDialog([&](QDialog &) {
            closed.edtName->setText(QStringLiteral("y"));
            QTest::keyClick(closed.edtName, Qt::Key_Escape);
            return closed.result();
        });
        name = QStringLiteral("unchanged");
        QVERIFY(!closed.AskText(&name));
        QCOMPARE(name, QStringLiteral("unchanged"));
    }

    void manShowsAndChangesTabs_data() { TestDb::addBackendRows(); }

    // Each tab lists its type; the first column is titled after the tab.
    void manShowsAndChangesTabs()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.codes(QStringLiteral("abSheet1"), {QStringLiteral("★")});
        TFrmCodeMan w;
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("选项设置.."));
        QCOMPARE(w.CodeType, kType);
        QCOMPARE(w.PageControl1->currentIndex(), 0);
        QCOMPARE(w.DBGrid1->column(0).caption, QStringLiteral("类    别"));
        QCOMPARE(w.DBGrid1->column(1).caption, QStringLiteral("助记码"));
        QCOMPARE(sorted(namesOf(w.QryCode)), f.storedNames(kType));
        QCOMPARE(w.StatusPanels[3]->text(), PubUnit::PublisherText + QStringLiteral("  "));
        QCOMPARE(w.PageControl1->count(), codeTabs().size());

        for (int i = w.PageControl1->count() - 1; i >= 0; --i) {
            w.PageControl1->setCurrentIndex(i);
            const QString type = codeTypeOfTab(w.PageControl1->tabData(i).toString());
            QCOMPARE(w.CodeType, type);
            QCOMPARE(w.DBGrid1->column(0).caption, w.PageControl1->tabText(i));
            QCOMPARE(sorted(namesOf(w.QryCode)), f.storedNames(type));
        }
        QCOMPARE(w.PageControl1->tabData(11).toString(), QStringLiteral("TabSheet1"));
        w.PageControl1->setCurrentIndex(11);
        QCOMPARE(namesOf(w.QryCode), QStringList{QStringLiteral("★")});

        // 刷新 shows what others stored meanwhile.
        f.dm->RunSQL(codeInsertSql(QStringLiteral("☆"), QStringLiteral("abSheet1")));
        QTest::mouseClick(w.tbRefresh, Qt::LeftButton);
        QCOMPARE(sorted(namesOf(w.QryCode)), sorted({QStringLiteral("★"), QStringLiteral("☆")}));
        QCOMPARE(f.messages(), QStringList());

        // 打印 previews the list under its fixed title.
        QTest::mouseClick(w.tbPrint, Qt::LeftButton);
        QCOMPARE(f.seams.dialogs.texts(), QStringList{QStringLiteral("预览")});
    }

    void manNewAndSave_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("name");
        for (const QString &b : TestDb::backends()) {
            const QByteArray p = b.toLatin1() + ' ';
            QTest::newRow(p + "ttype") << b << 0 << kType << QStringLiteral("滚筒'洗衣机");
            QTest::newRow(p + "TabSheet1") << b << 11 << QStringLiteral("abSheet1") << QStringLiteral("★");
            QTest::newRow(p + "empty name") << b << 6 << QStringLiteral("maker") << QString();
        }
    }

    // 新增 keeps the row in the window: 取消 writes nothing, 保存 stores it
    // with the tab's type.
    void manNewAndSave()
    {
        FETCH_BACKEND(backend);
        QFETCH(int, tab);
        QFETCH(QString, type);
        QFETCH(QString, name);
        Fixture f(backend);
        const QStringList before = f.stored(type);
        TFrmCodeMan w;
        w.show();
        w.PageControl1->setCurrentIndex(tab);
        QAbstractItemModel *m = w.DBGrid1->model();

        for (bool save : {false, true}) {
            QTest::mouseClick(w.tbNew, Qt::LeftButton);
            QVERIFY(w.isEditing());
            const int row = w.QryCode->recNo();
            QCOMPARE(row, before.size());
            QVERIFY(m->setData(m->index(row, 0), name, Qt::EditRole));
            QVERIFY(m->setData(m->index(row, 1), QStringLiteral("MC"), Qt::EditRole));
            QCOMPARE(f.stored(type), before);   // kept in the window until 保存
            QTest::mouseClick(save ? w.tbSave : w.tbCancel, Qt::LeftButton);
            QVERIFY(!w.isEditing());
            if (!save) {
                QCOMPARE(f.stored(type), before);
                QCOMPARE(w.QryCode->recordCount(), before.size());
            }
        }
        QCOMPARE(f.stored(type), sorted(before + QStringList{name + QStringLiteral("|MC")}));
        QCOMPARE(sorted(namesOf(w.QryCode)), f.storedNames(type));
        QCOMPARE(f.messages(), QStringList());
    }

    void manEditsInOneBatch_data() { TestDb::addBackendRows(); }

    // 修改 changes any number of rows; 保存 writes them together.
    void manEditsInOneBatch()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.codes(QStringLiteral("area"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        TFrmCodeMan w;
        w.show();
        w.PageControl1->setCurrentIndex(8);
        QCOMPARE(w.CodeType, QStringLiteral("area"));
        QAbstractItemModel *m = w.DBGrid1->model();
        QVERIFY(!(m->flags(m->index(0, 0)) & Qt::ItemIsEditable));   // read-only while browsing

        QTest::mouseClick(w.tbEdit, Qt::LeftButton);
        QVERIFY(w.isEditing());
        for (int r = 0; r < 3; ++r) {
            const QString n = m->data(m->index(r, 0), Qt::EditRole).toString();
            if (n == QLatin1String("b")) continue;
            QVERIFY(m->setData(m->index(r, 0), n.toUpper() + QStringLiteral("'"), Qt::EditRole));
            QVERIFY(m->setData(m->index(r, 1), QStringLiteral("code ") + n, Qt::EditRole));
        }
        QCOMPARE(f.storedNames(QStringLiteral("area")), (QStringList{"a", "b", "c"}));
        QTest::mouseClick(w.tbSave, Qt::LeftButton);
        QCOMPARE(f.stored(QStringLiteral("area")), (QStringList{"A'|code a", "C'|code c", "b|"}));
        QVERIFY(!(m->flags(m->index(0, 0)) & Qt::ItemIsEditable));
        QCOMPARE(f.messages(), QStringList());
    }

    void manDelete_data() { TestDb::addBackendRows(); }

    // The question names the tab and the entry, with 否 as the answer Enter
    // gives; only No keeps the row. An empty list answers with a message
    // instead.
    void manDelete()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.codes(QStringLiteral("maker"), {QStringLiteral("O'Neil")});
        f.codes(QStringLiteral("abSheet1"), {});
        QVERIFY(f.dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_Maker) values('00000001','x','O''Neil')")));
        TFrmCodeMan w;
        w.show();
        w.PageControl1->setCurrentIndex(6);
        const QString question = QStringLiteral("1:真的要删除 \" 业 务 员 \"O'Neil吗？");

        f.seams.dialogs.answer(2);
        QTest::mouseClick(w.tbDel, Qt::LeftButton);
        QCOMPARE(f.storedNames(QStringLiteral("maker")), QStringList{QStringLiteral("O'Neil")});
        f.seams.dialogs.answer(1);
        QTest::mouseClick(w.tbDel, Qt::LeftButton);
        QCOMPARE(f.storedNames(QStringLiteral("maker")), QStringList());
        QVERIFY(w.QryCode->isEmpty());
        // The customer keeps its text.
        QCOMPARE(f.dm->GetStrValue(QStringLiteral("select F_Maker from t_client")), QStringLiteral("O'Neil"));

        w.PageControl1->setCurrentIndex(11);
        QTest::mouseClick(w.tbDel, Qt::LeftButton);
        QTest::mouseClick(w.tbEdit, Qt::LeftButton);
        QVERIFY(!w.isEditing());
        QCOMPARE(f.messages(), (QStringList{question, question, QStringLiteral("0:此表是空表，不需要删除！"),
                                            QStringLiteral("3:此表为空，没有记录需要修改！")}));
        for (int i : {0, 1}) QCOMPARE(f.seams.dialogs.calls[i].defaultAnswer, int(Mess::No));
    }

    // What is enabled in each mode: tabs only while browsing.
    void manModes()
    {
        Fixture f(QStringLiteral("sqlite"));
        TFrmCodeMan w;
        w.show();
        auto states = [&w] {
            QString s;
            for (QWidget *b : std::initializer_list<QWidget *>{w.tbNew, w.tbEdit, w.tbDel, w.tbSave, w.tbCancel,
                                                                w.tbPrint, w.tbRefresh, w.tbExit, w.PageControl1})
                s += b->isEnabled() ? u'1' : u'0';
            return s + (w.DBGrid1->isReadOnly() ? u'r' : u'w');
        };
        QCOMPARE(states(), QStringLiteral("111001111r"));
        QTest::mouseClick(w.tbNew, Qt::LeftButton);
        QCOMPARE(states(), QStringLiteral("000110000w"));
        QTest::mouseClick(w.tbCancel, Qt::LeftButton);
        QCOMPARE(states(), QStringLiteral("111001111r"));
        QTest::mouseClick(w.tbEdit, Qt::LeftButton);
        QCOMPARE(states(), QStringLiteral("000110000w"));
        QTest::mouseClick(w.tbSave, Qt::LeftButton);
        QCOMPARE(states(), QStringLiteral("111001111r"));
    }

    // Keys: Ctrl+A/E/S, Esc cancels or closes, Delete deletes, Enter walks
    // the grid's columns and wraps; a double-click changes; the close box
    // drops what was typed.
    void manKeys()
    {
        Fixture f(QStringLiteral("sqlite"));
        f.codes(QStringLiteral("reason"), {QStringLiteral("r1")});
        TFrmCodeMan w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.PageControl1->setCurrentIndex(5);
        DataGrid *g = w.DBGrid1;

        QTest::keyClick(g, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(w.isEditing());
        QCOMPARE(w.QryCode->recordCount(), 2);
        QTest::keyClick(g, Qt::Key_Escape);
        QVERIFY(!w.isEditing());
        QCOMPARE(w.QryCode->recordCount(), 1);

        emit g->rowDoubleClicked(0);
        QVERIFY(w.isEditing());
        QTest::keyClick(g, Qt::Key_Delete);   // not while editing
        QCOMPARE(f.messages(), QStringList());
        QTest::keyClick(g, Qt::Key_Escape);

        QTest::keyClick(g, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(w.isEditing());
        g->setCurrentIndex(g->model()->index(0, 0));
        // Typing into the cell, Enter to the next column and back round.
        QTest::keyClicks(g, QStringLiteral("x"));
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor && editor != g);
        QTest::keyClicks(editor, QStringLiteral("yz"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(g->currentIndex().column(), 1);
        QTest::keyClick(g, Qt::Key_Return);
        QCOMPARE(g->currentIndex().column(), 0);
        QTest::keyClick(g, Qt::Key_Right);
        QTest::keyClicks(g, QStringLiteral("k"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
        // Ctrl+S with the cell still open keeps what was typed.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!w.isEditing());
        QCOMPARE(f.stored(QStringLiteral("reason")), QStringList{QStringLiteral("xyz|k1")});

        f.seams.dialogs.answer(2);
        QTest::keyClick(g, Qt::Key_Delete);
        QCOMPARE(f.messages(), QStringList{QStringLiteral("1:真的要删除 \" 故障原因 \"xyz吗？")});

        // Typed but not saved: the close box leaves the table as it was.
        QTest::keyClick(g, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClicks(g, QStringLiteral("q"));
        w.close();
        QCOMPARE(f.stored(QStringLiteral("reason")), QStringList{QStringLiteral("xyz|k1")});

        // Esc while browsing closes the window.
        w.show();
        QVERIFY(w.isVisible());
        QTest::keyClick(g, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }

    // The main window's "选项..." opens the maintenance window modally.
    void optionsCommandOpensIt()
    {
        Fixture f(QStringLiteral("sqlite"));
        PubUnit::CurOper = QStringLiteral("admin");
        PubUnit::SeeAllClients = true;
        TFrmMain main;
        main.SetLimits(QStringLiteral("admin"));
        QString type;
        f.seams.dialogs.handleDialog([&](QDialog &d) {
            auto *w = qobject_cast<TFrmCodeMan *>(&d);
            if (w) type = w->CodeType;
            return int(QDialog::Rejected);
        });
        main.action(104)->trigger();
        QCOMPARE(f.seams.dialogs.texts(), QStringList{QStringLiteral("选项设置..")});
        QCOMPARE(type, kType);
    }
};

QTEST_MAIN(TestCodeLists)
#include "tst_codelists.moc"
