// The import wizard on each engine: its statements, how cells become
// column values, the steps with their messages, the mapping that is never
// written back, the preview commands, and the one batch that writes every
// row or none.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "data/TdmData.h"
#include "data/XlsxExport.h"
#include "maintenance/ImportModels.h"
#include "maintenance/ImportPreview.h"
#include "maintenance/ImportSql.h"
#include "maintenance/ImportStore.h"
#include "maintenance/TDLGeditCurList.h"
#include "maintenance/TfrmExcelImport.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A sheet whose first-row names are the stored default mapping's, with a quote in every text.
QString writeSheet(const QString &dir, const QList<QVariantList> &rows,
                   const QStringList &names = {"ID码", "用户名称", "手机", "台数", "购买日期", "收款否", "备注"})
{
    const QString path = dir + QStringLiteral("/客户.xlsx");
    QList<XlsxColumn> cols;
    for (const QString &n : names) cols << XlsxColumn{n, {}};
    MemoryRows source(names, rows);
    QString error;
    if (!writeXlsx(path, QStringLiteral("客户资料"), cols, source, &error)) qWarning() << error;
    return path;
}

QList<QVariantList> twoCustomers()
{
    return {{"C'01", "王'五", "139'01", "2", "2024-03-01", "√", "第一行\n第二行 "},
            {"C'02", " 李'四 ", "", "1.5", "", "", ""}};
}

int customers(TdmData &dm) { return dm.GetIntValue(QStringLiteral("select count(*) from t_client")); }

// The wizard opened on a file and taken to `step`.
void goTo(TfrmExcelImport &w, const QString &file, int step)
{
    w.edtXlsFileName->setText(file);
    while (w.step() < step) {
        const int before = w.step();
        w.Button4->click();
        if (w.step() == before) break;
    }
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void init() { TestDb::signIn(); }

    void statements()
    {
        QCOMPARE(importMappingSql(QStringLiteral("t_client")),
                 QStringLiteral("select * from cfg_import where (F_tablename = 't_client')and(F_iFlag = 1) "));
        QCOMPARE(importMappingSql(QStringLiteral("t'x")),
                 QStringLiteral("select * from cfg_import where (F_tablename = 't''x')and(F_iFlag = 1) "));
        QCOMPARE(importEmptyTableSql(QStringLiteral("t_client")), QStringLiteral("select * from t_client where (1<>1)"));
        QStringList names;
        QCOMPARE(importInsertSql(QStringLiteral("t_client"), {"F_code", "F_name"}, 2, &names),
                 QStringLiteral("insert into t_client(F_code,F_name) values(:F_code_0,:F_name_0),(:F_code_1,:F_name_1)"));
        QCOMPARE(names, (QStringList{"F_code_0", "F_name_0", "F_code_1", "F_name_1"}));
    }

    // What a cell becomes in each kind of column, and what a column refuses.
    void cells_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("stored");
        QTest::newRow("text trimmed") << "F_name" << " 王'五 " << true << "王'五";
        QTest::newRow("text at its size") << "F_code" << QString(50, u'码') << true << QString(50, u'码');
        QTest::newRow("text over its size") << "F_code" << QString(51, u'码') << false << "";
        QTest::newRow("memo kept as typed") << "F_memo1" << " a\nb " << true << " a\nb ";
        QTest::newRow("memo of 100,000 characters") << "F_memo1" << QString(100000, u'长') << true << QString(100000, u'长');
        QTest::newRow("number") << "F_amount" << " 2 " << true << "2";
        QTest::newRow("number grouped") << "F_price" << "1,234.50" << true << "1234.5";
        QTest::newRow("number with currency") << "F_price" << "￥12.5" << true << "12.5";
        QTest::newRow("not a number") << "F_amount" << "两台" << false << "";
        QTest::newRow("decimal comma is no number") << "F_amount" << "1,5" << false << "";
        QTest::newRow("empty number") << "F_amount" << "  " << true << "";
        QTest::newRow("date") << "F_buyDate" << "2024-3-1" << true << "2024-03-01";
        QTest::newRow("date with slashes and time") << "F_buyDate" << "2024/03/01 08:30" << true << "2024-03-01 08:30:00";
        QTest::newRow("Chinese date") << "F_buyDate" << "2024年3月1日" << true << "2024-03-01";
        QTest::newRow("no such day") << "F_buyDate" << "2024-02-30" << false << "";
        QTest::newRow("not a date") << "F_buyDate" << "明天" << false << "";
        QTest::newRow("tick") << "F_IFshoukuan" << "√" << true << "1";
        QTest::newRow("TRUE") << "F_IFshoukuan" << "TRUE" << true << "1";
        QTest::newRow("否") << "F_IFshoukuan" << "否" << true << "0";
        QTest::newRow("not a flag") << "F_IFshoukuan" << "也许" << false << "";
        QTest::newRow("column the table lacks") << "F_nothing" << "" << false << "";
    }
    void cells()
    {
        QFETCH(QString, field);
        QFETCH(QString, cell);
        QFETCH(bool, taken);
        QFETCH(QString, stored);
        const QList<ImportColumn> cols = importColumns(QStringLiteral("t_client"), {{"x", field, "x"}});
        QString got;
        QCOMPARE(importText(cols.first(), cell, &got), taken);
        if (taken) QCOMPARE(got, stored);
    }

    // The whole way through: typed path with spaces, the sheet, the stored
    // mapping, the preview, the write; every value arrives as it should.
    void importsRows_data() { TestDb::addBackendRows(); }
    void importsRows()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const int before = customers(*dm);
        const QString file = writeSheet(dir.path(), twoCustomers());
        TfrmExcelImport w(QStringLiteral("t_client"));
        QCOMPARE(w.step(), 0);
        QVERIFY(!w.Button3->isEnabled());
        goTo(w, QStringLiteral("  ") + file + QStringLiteral("  "), 1);
        QCOMPARE(w.step(), 1);
        QCOMPARE(w.ComboBox1->count(), 1);
        QCOMPARE(w.ComboBox1->currentText(), QStringLiteral("客户资料"));
        QCOMPARE(w.DBGridEh1->model()->rowCount(), 2);
        QCOMPARE(w.DBGridEh1->columnWidth(0), 75);
        w.Button4->click();
        QCOMPARE(w.step(), 2);
        QCOMPARE(w.DBGrid2->rowCount(), w.mappings().size());
        QCOMPARE(w.DBGrid2->horizontalHeaderItem(1)->text(), QStringLiteral("对应的Excel字段"));
        w.Button4->click();
        QCOMPARE(w.step(), 3);
        QCOMPARE(w.Button4->text(), QStringLiteral("完成"));
        QCOMPARE(w.preview().rowCount(), 2);
        w.Button4->click();
        QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("导入非常成功，请检查资料表核对！")});
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(customers(*dm), before + 2);
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client where F_code like 'C''0%' order by F_code"), &ds));
        QCOMPARE(ds.recordCount(), 2);
        QCOMPARE(ds.fieldByName("F_name").asString(), QStringLiteral("王'五"));
        QCOMPARE(ds.fieldByName("F_handphone").asString(), QStringLiteral("139'01"));
        QCOMPARE(ds.fieldByName("F_amount").asFloat(), 2.0);
        QCOMPARE(ds.fieldByName("F_buyDate").asString(), QStringLiteral("2024-03-01"));
        QCOMPARE(ds.fieldByName("F_IFshoukuan").asInteger(), 1);
        QCOMPARE(ds.fieldByName("F_memo1").asString(), QStringLiteral("第一行\n第二行 "));
        QVERIFY(ds.fieldByName("F_setupDate").isNull());   // no mapping fills it: the table's default
        ds.next();
        QCOMPARE(ds.fieldByName("F_name").asString(), QStringLiteral("李'四"));
        QCOMPARE(ds.fieldByName("F_handphone").asString(), QString());
        QVERIFY(!ds.fieldByName("F_handphone").isNull());   // an empty text cell is an empty text
        QCOMPARE(ds.fieldByName("F_amount").asFloat(), 1.5);
        QCOMPARE(ds.fieldByName("F_buyDate").asString(), QStringLiteral("1900-08-14"));
        QCOMPARE(ds.fieldByName("F_IFshoukuan").asInteger(), 0);
    }

    // The step rules and their messages, and cancelling at every step.
    void steps_data() { TestDb::addBackendRows(); }
    void steps()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const int before = customers(*dm);
        const QString file = writeSheet(dir.path(), twoCustomers());
        {
            TfrmExcelImport w(QStringLiteral("t_client"));
            w.Button1Click();   // no sample beside the program here
            goTo(w, dir.filePath(QStringLiteral("missing.xlsx")), 1);
            QCOMPARE(w.step(), 0);
            QCOMPARE(seams.dialogs.texts(), (QStringList{QStringLiteral("例子Excel文件不存在，请检查！"),
                                                         QStringLiteral("请选择要导入的excel源文件！")}));
            seams.dialogs.calls.clear();
            // A file that is no workbook says why under the same message.
            const QString bad = dir.filePath(QStringLiteral("bad.xlsx"));
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("PK\x03\x04 not really");
            f.close();
            goTo(w, bad, 1);
            QCOMPARE(w.step(), 0);
            QVERIFY(seams.dialogs.texts().value(0).startsWith(QStringLiteral("请选择要导入的excel源文件！\n")));
            seams.dialogs.calls.clear();
        }
        for (int cancelAt = 0; cancelAt <= 3; ++cancelAt) {
            TfrmExcelImport w(QStringLiteral("t_client"));
            QCOMPARE(w.step(), 0);
            QVERIFY(w.edtXlsFileName->text().isEmpty());
            goTo(w, file, cancelAt);
            QCOMPARE(w.step(), cancelAt);
            QCOMPARE(w.Button3->isEnabled(), cancelAt > 0);
            if (cancelAt > 0) {
                w.Button3->click();
                QCOMPARE(w.step(), cancelAt - 1);
                w.Button4->click();
            }
            w.Button5->click();
            QCOMPARE(w.result(), int(QDialog::Rejected));
        }
        QVERIFY(seams.dialogs.texts().isEmpty());
        QCOMPARE(customers(*dm), before);
    }

    // A long reading runs while the window keeps answering: "取  消" during
    // it stops the reading and closes the window, nothing read or written.
    void cancelWhileReading()
    {
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(QStringLiteral("sqlite"), dir.path());
        const QString file = dir.filePath(QStringLiteral("long.csv"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("ID码,用户名称\n");
        for (int i = 0; i < 300000; ++i) f.write("K" + QByteArray::number(i) + ",名字\n");
        f.close();
        TfrmExcelImport w(QStringLiteral("t_client"));
        bool busyWhenClicked = false;
        QTimer::singleShot(0, &w, [&] {
            busyWhenClicked = w.ProgressBar1->isVisibleTo(&w) && !w.Button4->isEnabled();
            w.Button5->click();
        });
        goTo(w, file, 1);
        QVERIFY(busyWhenClicked);
        QCOMPARE(w.step(), 0);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.ProgressBar1->isVisibleTo(&w));
        QVERIFY(seams.dialogs.texts().isEmpty());
    }

    // The mapping: a stored default the sheet lacks starts cleared, a
    // cleared row fills nothing, all cleared leaves the preview empty, and
    // nothing chosen is kept for the next import.
    void mapping_data() { TestDb::addBackendRows(); }
    void mapping()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QString stored = QStringLiteral("select F_Field from cfg_import where S_Field = 'F_name'");
        const QString file = writeSheet(dir.path(), twoCustomers(), {"ID码", "姓名", "手    机"});
        {
            TfrmExcelImport w(QStringLiteral("t_client"));
            goTo(w, file, 2);
            int nameRow = -1, phoneRow = -1, postRow = -1;
            for (int i = 0; i < w.mappings().size(); ++i) {
                if (w.mappings().at(i).sField == u"F_name") nameRow = i;
                if (w.mappings().at(i).sField == u"F_handphone") phoneRow = i;
                if (w.mappings().at(i).sField == u"F_postcode") postRow = i;
            }
            QVERIFY(nameRow >= 0 && phoneRow >= 0 && postRow >= 0);
            QCOMPARE(w.mappings().at(nameRow).fField, QString());          // 用户名称 is not in this sheet
            QCOMPARE(w.mappings().at(phoneRow).fField, QStringLiteral("手    机"));   // 手机, blanks aside
            QCOMPARE(w.mappings().at(postRow).fField, QString());
            w.setMapping(nameRow, QStringLiteral("姓名"));
            w.Button4->click();
            QCOMPARE(w.preview().rowCount(), 2);
            QCOMPARE(w.preview().text(0, nameRow), QStringLiteral("王'五"));
            // Back to the mapping: it is the stored one again.
            w.Button3->click();
            QCOMPARE(w.mappings().at(nameRow).fField, QString());
            for (int i = 0; i < w.mappings().size(); ++i) w.setMapping(i, QString());
            w.Button4->click();
            QCOMPARE(w.step(), 3);
            QCOMPARE(w.preview().rowCount(), 0);
            w.Button5->click();
        }
        QCOMPARE(dm->GetStrValue(stored), QStringLiteral("用户名称"));
        TfrmExcelImport again(QStringLiteral("t_client"));
        QCOMPARE(again.step(), 0);
        QVERIFY(again.edtXlsFileName->text().isEmpty());
        QVERIFY(seams.dialogs.texts().isEmpty());
    }

    // The sample beside the program opens with the desktop's program, and
    // its first-row names are the stored default mapping, every row of it.
    void sample_data() { TestDb::addBackendRows(); }
    void sample()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QString sample = dir.filePath(QStringLiteral("sample.xlsx"));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/sample.xlsx"), sample));
        TfrmExcelImport w(QStringLiteral("t_client"));
        QCOMPARE(QFileInfo(w.edtSamplePath->text()), QFileInfo(sample));
        w.Button1->click();
        QCOMPARE(seams.shell.opened, QStringList{w.edtSamplePath->text()});
        goTo(w, sample, 3);
        QCOMPARE(w.step(), 3);
        QVERIFY(w.mappings().size() > 40);
        for (const ImportMapping &m : w.mappings()) QVERIFY2(!m.fField.isEmpty(), qPrintable(m.fieldName));
        QCOMPARE(w.preview().rowCount(), 2);
        const int before = customers(*dm);
        w.Button4->click();
        QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("导入非常成功，请检查资料表核对！")});
        QCOMPARE(customers(*dm), before + 2);
    }

    // A cell its column cannot take stops the build there with the message;
    // the rows before it stay, and nothing is written.
    void badCell_data() { TestDb::addBackendRows(); }
    void badCell()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const int before = customers(*dm);
        QList<QVariantList> rows = twoCustomers();
        rows << QVariantList{"C'03", "赵'六", "", "2", "下个月", "", ""} << QVariantList{"C'04", "孙", "", "1", "", "", ""};
        TfrmExcelImport w(QStringLiteral("t_client"));
        goTo(w, writeSheet(dir.path(), rows), 3);
        QCOMPARE(w.step(), 3);
        QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("字段“购买日期”出错，导入失败！")});
        QCOMPARE(seams.dialogs.calls.first().kind, 3);
        QCOMPARE(w.preview().rowCount(), 2);
        w.Button5->click();
        QCOMPARE(customers(*dm), before);
    }

    // The preview's commands: set a column in the chosen rows, delete rows,
    // and an edit the column cannot take is refused at once.
    void previewCommands_data() { TestDb::addBackendRows(); }
    void previewCommands()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QList<QVariantList> rows = twoCustomers();
        rows << QVariantList{"", "", "", "", "", "", ""} << QVariantList{"C'04", "孙", "", "1", "", "", ""};
        TfrmExcelImport w(QStringLiteral("t_client"));
        goTo(w, writeSheet(dir.path(), rows), 3);
        // The empty row is not the last one, so it is a preview row.
        QCOMPARE(w.preview().rowCount(), 4);
        int amount = -1;
        for (int c = 0; c < w.preview().columnCount(); ++c)
            if (w.preview().columns().at(c).field == u"F_amount") amount = c;
        QVERIFY(amount >= 0);
        QAbstractItemModel *model = w.DBGridEh3->model();

        w.N1Click();   // nothing chosen
        QCOMPARE(seams.dialogs.texts().value(0), QStringLiteral("请选中要更新的行，前面的固定行显示为箭头，\n表示选中行！"));
        seams.dialogs.calls.clear();

        auto chooseRows = [&](const QList<int> &list) {
            w.DBGridEh3->clearSelection();
            for (int r : list)
                w.DBGridEh3->selectionModel()->select(model->index(r, 0),
                                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
            w.DBGridEh3->selectionModel()->setCurrentIndex(model->index(list.value(0), amount), QItemSelectionModel::NoUpdate);
        };
        auto answerWith = [&](const QString &text, bool ok) {
            seams.dialogs.handleDialog([text, ok](QDialog &d) {
                auto &dlg = static_cast<TDLGeditCurList &>(d);
                dlg.Edit1->setText(text);
                (ok ? dlg.Button1 : dlg.Button2)->click();
                return dlg.result();
            });
        };
        chooseRows({0, 3});
        answerWith(QStringLiteral("7"), true);
        w.N1Click();
        QCOMPARE(w.preview().text(0, amount), QStringLiteral("7"));
        QCOMPARE(w.preview().text(1, amount), QStringLiteral("1.5"));
        QCOMPARE(w.preview().text(3, amount), QStringLiteral("7"));
        for (const auto &[text, ok] : {std::pair{QStringLiteral("9"), false}, std::pair{QString(), true}}) {
            answerWith(text, ok);
            w.N1Click();
            QCOMPARE(w.preview().text(0, amount), QStringLiteral("7"));
        }
        answerWith(QStringLiteral("很多"), true);
        w.N1Click();
        QCOMPARE(w.preview().text(0, amount), QStringLiteral("7"));
        QCOMPARE(seams.dialogs.count(QStringLiteral("“很多”不能填入字段“台数”！")), 1);

        QVERIFY(!model->setData(model->index(1, amount), QStringLiteral("x"), Qt::EditRole));
        QCOMPARE(w.preview().text(1, amount), QStringLiteral("1.5"));
        QVERIFY(model->setData(model->index(1, amount), QStringLiteral("3"), Qt::EditRole));
        QCOMPARE(w.preview().text(1, amount), QStringLiteral("3"));
        seams.dialogs.calls.clear();

        // Deleting: the current row alone, asked; No keeps it.
        w.DBGridEh3->clearSelection();
        w.DBGridEh3->setCurrentIndex(model->index(2, 0));
        w.DBGridEh3->clearSelection();
        seams.dialogs.answer(Mess::No);
        w.N2Click();
        QCOMPARE(w.preview().rowCount(), 4);
        seams.dialogs.answer(Mess::Yes);
        w.N2Click();
        QCOMPARE(w.preview().rowCount(), 3);
        QCOMPARE(seams.dialogs.count(QStringLiteral("真的要删除当前行吗？")), 2);
        chooseRows({0, 2});
        seams.dialogs.answer(Mess::Yes);
        w.N2Click();
        QCOMPARE(seams.dialogs.count(QStringLiteral("真的要删除当前选中的多行数据吗？")), 1);
        QCOMPARE(w.preview().rowCount(), 1);
        QCOMPARE(w.preview().text(0, amount), QStringLiteral("3"));
        const int before = customers(*dm);
        w.Button4->click();
        QCOMPARE(customers(*dm), before + 1);
    }

    // A batch the server refuses at its 50,001st row leaves the table as it
    // was and keeps the preview; corrected there, the retry writes every row.
    void batchIsAllOrNothing_data() { TestDb::addBackendRows(); }
    void batchIsAllOrNothing()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QVERIFY(dm->RunSQL(backend == u"postgres"
                               ? QStringLiteral("alter table t_client add constraint no_bad check (F_name <> 'bad')")
                               : QStringLiteral("create trigger no_bad before insert on t_client when new.F_name = 'bad' "
                                                "begin select raise(abort, 'bad name'); end")));
        const int before = customers(*dm);
        // A large batch into a small table rebuilds the table's indexes: they are all there after either end.
        const QString indexes = backend == u"postgres"
                                    ? QStringLiteral("select count(*) from pg_indexes where tablename = 't_client'")
                                    : QStringLiteral("select count(*) from sqlite_master where type = 'index' and tbl_name = 't_client'");
        const int indexCount = dm->GetIntValue(indexes);
        QVERIFY(indexCount > 10);
        const int total = 50010;
        QByteArray csv = "ID码,用户名称\n";
        for (int i = 0; i < total; ++i)
            csv += "K" + QByteArray::number(i) + ",\"" + (i == 50000 ? QByteArray("bad") : "名'" + QByteArray::number(i)) + "\"\n";
        const QString file = dir.filePath(QStringLiteral("many.csv"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(csv);
        f.close();
        TfrmExcelImport w(QStringLiteral("t_client"));
        goTo(w, file, 3);
        QCOMPARE(w.preview().rowCount(), total);
        w.Button4->click();
        QCOMPARE(w.step(), 3);
        QCOMPARE(seams.dialogs.calls.size(), 1);
        QCOMPARE(seams.dialogs.calls.first().kind, 3);
        QVERIFY2(seams.dialogs.calls.first().text.startsWith(QStringLiteral("导入失败，请联系管理人员.....\n第 50001 行：")),
                 qPrintable(seams.dialogs.calls.first().text));
        QCOMPARE(customers(*dm), before);
        QCOMPARE(dm->GetIntValue(indexes), indexCount);
        QCOMPARE(w.DBGridEh3->currentIndex().row(), 50000);
        int name = -1;
        for (int c = 0; c < w.preview().columnCount(); ++c)
            if (w.preview().columns().at(c).field == u"F_name") name = c;
        QVERIFY(w.DBGridEh3->model()->setData(w.DBGridEh3->model()->index(50000, name), QStringLiteral("好"), Qt::EditRole));
        seams.dialogs.calls.clear();
        w.Button4->click();
        QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("导入非常成功，请检查资料表核对！")});
        QCOMPARE(customers(*dm), before + total);
        QCOMPARE(dm->GetIntValue(indexes), indexCount);
        QCOMPARE(dm->GetStrValue(QStringLiteral("select F_name from t_client where F_code = 'K50000'")), QStringLiteral("好"));
        QCOMPARE(dm->GetStrValue(QStringLiteral("select F_name from t_client where F_code = 'K50009'")), QStringLiteral("名'50009"));
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
