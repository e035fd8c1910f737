// The custom settings window: what it shows, the fifteen rows written by
// position in one transaction, a failed write that changes nothing, tables
// with more or fewer rows, and the input-method list.

#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "access/Session.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "data/TdmData.h"
#include "maintenance/CustomSettings.h"
#include "maintenance/TfrmZDYset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList rows(TdmData *dm)
{
    DataSet q(&dm->ADOcnn);
    q.setSql(QStringLiteral("select F_ID, F_Value from KeyValue order by F_ID"));
    if (!q.open()) qFatal("KeyValue: %s", qPrintable(q.lastError()));
    QStringList r;
    for (q.first(); !q.eof(); q.next())
        r << q.fieldByName(QStringLiteral("F_ID")).asString() + u'=' + q.fieldByName(QStringLiteral("F_Value")).asString();
    return r;
}

PrivateProfile ini() { return PrivateProfile(ProgramFolder::filePath(QStringLiteral("Config.ini"))); }

// A row that cannot be updated: the write fails part-way through.
void lockRow(TdmData *dm, const QString &backend, int id)
{
    QStringList sql;
    if (backend == QLatin1String("postgres"))
        sql << QStringLiteral("create function kv_locked() returns trigger language plpgsql as $$ begin "
                              "if new.f_id = %1 then raise exception 'row %1 locked'; end if; return new; end $$")
                   .arg(id)
            << QStringLiteral("create trigger kv_locked before update on keyvalue for each row execute function kv_locked()");
    else
        sql << QStringLiteral("create trigger kv_locked before update on KeyValue when new.F_ID = %1 "
                              "begin select raise(abort, 'row %1 locked'); end")
                   .arg(id);
    for (const QString &s : sql) {
        QSqlQuery q;
        if (!dm->ADOcnn.execNative(q, s, {}, {})) qFatal("trigger: %s", qPrintable(dm->ADOcnn.lastError()));
    }
}

} // namespace

class TestCustomSettings : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }
    void cleanup()
    {
        PubUnit::resetLoginState();
        dmData = nullptr;
    }

    void showAndSave_data() { TestDb::addBackendRows(); }
    void showAndSave();
    void failedWriteChangesNothing_data() { TestDb::addBackendRows(); }
    void failedWriteChangesNothing();
    void rowsByPosition_data();
    void rowsByPosition();
    void inputMethods();
};

void TestCustomSettings::showAndSave()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    QVERIFY(dm->RunSQL(QStringLiteral("update KeyValue set F_Value = '12' where F_ID = 13")));
    Session::SetUp(QStringLiteral("admin"));
    PubUnit::ImeName = QStringLiteral("pinyin");
    const QString row15 = rows(dm.get()).last();

    ScopedSeams seams;
    TfrmZDYset frm;
    frm.show();
    QCOMPARE(frm.windowTitle(), QStringLiteral("自定义设置"));
    QCOMPARE(frm.edtZF[0]->text(), QStringLiteral("自定义文本1"));
    QCOMPARE(frm.edtRQ[2]->text(), QStringLiteral("自定义日期3"));
    QCOMPARE(frm.rsAmount->value(), 0);
    QCOMPARE(frm.rsPrice->value(), 8);   // more places than the spinner allows
    QCOMPARE(frm.rsTotal->value(), 2);
    QCOMPARE(frm.cbbImeName->currentText(), QStringLiteral("pinyin"));
    QVERIFY(!frm.cbZDcode->isChecked());
    // The list is filled only on entering the box.
    QCOMPARE(frm.cbbImeName->count(), 0);
    frm.rsTotal->setValue(9);
    QCOMPARE(frm.rsTotal->value(), 8);

    frm.edtZF[0]->setText(QStringLiteral("颜色'%"));
    frm.edtZF[1]->clear();
    frm.edtSZ[2]->setText(QStringLiteral("重量") + QChar(u'\0'));
    frm.rsAmount->setValue(3);
    frm.rsPrice->setValue(4);
    frm.rsTotal->setValue(0);
    frm.cbbImeName->setEditText(QStringLiteral("fcitx5 rime"));
    frm.cbZDcode->setChecked(true);
    frm.Button2->click();
    QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("当前软件设置更改成功！")});
    QCOMPARE(frm.result(), int(QDialog::Accepted));

    const QStringList stored = rows(dm.get());
    QCOMPARE(stored.size(), 15);
    QCOMPARE(stored.at(0), QStringLiteral("1=颜色'%"));
    QCOMPARE(stored.at(1), QStringLiteral("2="));
    QCOMPARE(stored.at(7), QStringLiteral("8=重量"));
    QCOMPARE(stored.mid(11, 3), (QStringList{QStringLiteral("12=3"), QStringLiteral("13=4"), QStringLiteral("14=0")}));
    QCOMPARE(stored.at(14), row15);
    // In force at once, as the next login would set them.
    QCOMPARE(PubUnit::KeyValues[1], QStringLiteral("颜色'%"));
    QCOMPARE(PubUnit::FmtAmount, TdmData::MakeDisplayFormat(3, 1));
    QCOMPARE(PubUnit::FmtPrice, TdmData::MakeDisplayFormat(4, 2));
    QCOMPARE(PubUnit::FmtTotal, TdmData::MakeDisplayFormat(0, 3));
    QVERIFY(PubUnit::AutoCode);
    QCOMPARE(PubUnit::ImeName, QStringLiteral("fcitx5 rime"));
    QCOMPARE(ini().readString(QStringLiteral("Config"), QStringLiteral("CurImeName")), QStringLiteral("fcitx5 rime"));
    QVERIFY(ini().readBool(QStringLiteral("sys"), QStringLiteral("bZDcode")));
    const QString amount = PubUnit::FmtAmount, price = PubUnit::FmtPrice;
    Session::SetUp(QStringLiteral("admin"));
    QCOMPARE(PubUnit::FmtAmount, amount);
    QCOMPARE(PubUnit::FmtPrice, price);

    // A caption longer than its row keeps is refused before anything is written.
    TfrmZDYset again;
    again.show();
    again.edtRQ[1]->setText(QString(256, u'长'));
    again.edtZF[0]->setText(QStringLiteral("不要保存"));
    seams.dialogs.calls.clear();
    again.Button2->click();
    QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("“日期项二”最多只能输入 255 个字符（现有 256 个），请修改！")});
    QCOMPARE(again.PageControl1->currentIndex(), 1);
    QCOMPARE(rows(dm.get()), stored);
    QVERIFY(again.result() != QDialog::Accepted);
}

void TestCustomSettings::failedWriteChangesNothing()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    Session::SetUp(QStringLiteral("admin"));
    const QStringList before = rows(dm.get());
    const QString fmtAmount = PubUnit::FmtAmount;
    lockRow(dm.get(), backend, 10);

    ScopedSeams seams;
    TfrmZDYset frm;
    frm.show();
    for (QLineEdit *e : frm.edtZF) e->setText(QStringLiteral("改"));
    frm.rsAmount->setValue(5);
    frm.cbZDcode->setChecked(true);
    frm.cbbImeName->setEditText(QStringLiteral("ibus"));
    frm.Button2->click();
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QVERIFY2(seams.dialogs.texts().first().startsWith(QStringLiteral("当前软件设置保存失败，数据库返回：")),
             qPrintable(seams.dialogs.texts().first()));
    QVERIFY2(seams.dialogs.texts().first().contains(QStringLiteral("row 10 locked")), qPrintable(seams.dialogs.texts().first()));
    QCOMPARE(seams.dialogs.calls.first().kind, 3);
    // Every row as it was, the workstation's settings untouched, the window still open.
    QCOMPARE(rows(dm.get()), before);
    QVERIFY(!dm->ADOcnn.inTransaction());
    QCOMPARE(PubUnit::FmtAmount, fmtAmount);
    QCOMPARE(PubUnit::KeyValues[1], QStringLiteral("自定义文本1"));
    QVERIFY(!PubUnit::AutoCode);
    QVERIFY(!ini().readBool(QStringLiteral("sys"), QStringLiteral("bZDcode")));
    QVERIFY(ini().readString(QStringLiteral("Config"), QStringLiteral("CurImeName")).isEmpty());
    QVERIFY(frm.isVisible());
    QCOMPARE(frm.edtZF[0]->text(), QStringLiteral("改"));
}

void TestCustomSettings::rowsByPosition_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("change");   // made to the fifteen starting rows
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("note");
    for (const QString &b : TestDb::backends()) {
        QStringList gaps;
        for (int n = 1; n <= 15; ++n) gaps << QStringLiteral("%1=%2").arg(n * 10 + 1000).arg(n == 1 ? QStringLiteral("甲") : n == 12 ? QStringLiteral("1") : QString());
        QTest::newRow(qPrintable(b + QStringLiteral(" gaps"))) << b << QStringLiteral("update KeyValue set F_ID = F_ID * 10 + 1000") << gaps << QString();
        QStringList fewer;
        for (int n = 1; n <= 13; ++n) fewer << QStringLiteral("%1=%2").arg(n).arg(n == 1 ? QStringLiteral("甲") : n == 12 ? QStringLiteral("1") : QString());
        QTest::newRow(qPrintable(b + QStringLiteral(" fewer"))) << b << QStringLiteral("delete from KeyValue where F_ID > 13") << fewer
                                                                << QStringLiteral("设置表 KeyValue 只有 13 行，应有 15 行：第 14 至 15 项没有保存。");
        QStringList more;
        for (int n = 1; n <= 15; ++n) more << QStringLiteral("%1=%2").arg(n).arg(n == 1 ? QStringLiteral("甲") : n == 12 ? QStringLiteral("1") : QString());
        more << QStringLiteral("16=保留'");
        QTest::newRow(qPrintable(b + QStringLiteral(" more"))) << b << QStringLiteral("insert into KeyValue(F_ID,F_Value) values(16,'保留''')")
                                                               << more << QStringLiteral("设置表 KeyValue 有 16 行，应有 15 行：第 16 行起的内容保持不变。");
    }
}

void TestCustomSettings::rowsByPosition()
{
    FETCH_BACKEND(backend);
    QFETCH(QString, change);
    QFETCH(QStringList, after);
    QFETCH(QString, note);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    ScopedSeams seams;
    QVERIFY(dm->RunSQL(change));
    Session::SetUp(QStringLiteral("admin"));
    TfrmZDYset frm;
    frm.show();
    // Every box set, so each row shows which position went into it.
    for (QLineEdit *e : frm.edtZF) e->clear();
    for (QLineEdit *e : frm.edtSZ) e->clear();
    for (QLineEdit *e : frm.edtRQ) e->clear();
    frm.edtZF[0]->setText(QStringLiteral("甲"));
    frm.rsAmount->setValue(1);
    frm.rsPrice->setValue(0);
    frm.rsTotal->setValue(0);
    frm.Button2->click();
    QStringList expected{QStringLiteral("当前软件设置更改成功！")};
    if (!note.isEmpty()) expected.prepend(note);
    QCOMPARE(seams.dialogs.texts(), expected);
    // Positions 13 and 14 hold "0": shown as such in the list of the rows found.
    QStringList stored = rows(dm.get());
    for (QString &r : stored) r.replace(QRegularExpression(QStringLiteral("^(1130|1140|13|14)=0$")), QStringLiteral("\\1="));
    QCOMPARE(stored, after);
}

void TestCustomSettings::inputMethods()
{
    const QString profile = QStringLiteral(
        "[Groups/0]\nName=默认\nDefault Layout=us\nDefaultIM=pinyin\n\n"
        "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
        "[Groups/0/Items/1]\nName=pinyin\nLayout=\n\n"
        "[Groups/1/Items/0]\nName=rime\n\n[Groups/1/Items/1]\nName=pinyin\n\n[GroupOrder]\n0=默认\n");
    QCOMPARE(fcitx5ProfileNames(profile), (QStringList{QStringLiteral("keyboard-us"), QStringLiteral("pinyin"), QStringLiteral("rime")}));
    QCOMPARE(ibusEngineNames(QStringLiteral("['xkb:us::eng', 'libpinyin', 'rime']\n")),
             (QStringList{QStringLiteral("xkb:us::eng"), QStringLiteral("libpinyin"), QStringLiteral("rime")}));
    QCOMPARE(ibusEngineNames(QStringLiteral("@as []")), QStringList());

    // Entering the box offers the desktop's methods and keeps what is shown.
    QTemporaryDir config;
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("fcitx5")));
    QFile f(QDir(config.path()).filePath(QStringLiteral("fcitx5/profile")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(profile.toUtf8());
    f.close();
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    PubUnit::ImeName = QStringLiteral("我的输入法");
    TfrmZDYset frm;
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    frm.cbbImeName->setFocus();
    QTRY_VERIFY(frm.cbbImeName->count() >= 3);
    QCOMPARE(frm.cbbImeName->itemText(1), QStringLiteral("pinyin"));
    QCOMPARE(frm.cbbImeName->currentText(), QStringLiteral("我的输入法"));
    qunsetenv("XDG_CONFIG_HOME");
}

QTEST_MAIN(TestCustomSettings)
#include "tst_customsettings.moc"
