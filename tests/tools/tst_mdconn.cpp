// The connection set-up window: what it shows, tests and writes.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "common/ConnectionForm.h"
#include "mdconn/ConnDialog.h"

#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

class TestMdconn : public QObject {
    Q_OBJECT
private slots:
    void showsTestsAndSaves();
    void refusesEmptyDatabase();
};

void TestMdconn::showsTestsAndSaves()
{
    QTemporaryDir dir;
    const QString made = QDir(dir.path()).filePath(QStringLiteral("made"));
    TestDb::fresh(QStringLiteral("sqlite"), made);
    const QString madeFile = QStringLiteral("made/") + QDir(made).entryList({QStringLiteral("*.db")}).value(0);
    ProgramFolder::setPath(dir.path());
    PrivateProfile ini(QDir(dir.path()).filePath(QStringLiteral("Config.ini")));
    ini.writeString(QStringLiteral("DBconn"), QStringLiteral("Driver"), QStringLiteral("PostgreSQL"));
    ini.writeString(QStringLiteral("DBconn"), QStringLiteral("server"), QStringLiteral("10.0.0.5"));
    ini.writeString(QStringLiteral("DBconn"), QStringLiteral("Database"), QStringLiteral("shop"));
    ini.writeString(QStringLiteral("other"), QStringLiteral("keep"), QStringLiteral("yes"));

    ScopedSeams seams;
    TfrmConnSet window(ini);
    ConnectionForm *form = window.frmConnection;
    QCOMPARE(form->cbbDriver->currentData().toString(), QStringLiteral("postgres"));
    QCOMPARE(form->edtServer->text(), QStringLiteral("10.0.0.5"));
    QCOMPARE(form->edtDatabase->text(), QStringLiteral("shop"));

    // A file that is not there is reported, not created.
    form->cbbDriver->setCurrentIndex(form->cbbDriver->findData(QStringLiteral("sqlite")));
    form->edtDatabase->setText(QStringLiteral(" counter.db "));
    window.btnTest->click();
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls[0].kind, 3);
    QVERIFY2(seams.dialogs.texts()[0].startsWith(QStringLiteral("连接失败：数据库文件不存在")),
             qPrintable(seams.dialogs.texts()[0]));
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(QStringLiteral("counter.db"))));

    form->edtDatabase->setText(madeFile);
    window.btnTest->click();
    QCOMPARE(seams.dialogs.texts().value(1), QStringLiteral("连接成功！"));

    form->edtPassWord->setText(QStringLiteral("it's secret"));
    window.btnSave->click();
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(seams.dialogs.texts().value(2), QStringLiteral("数据库连接设置已保存，请重新启动系统。"));
    PrivateProfile saved(ini.path());
    QCOMPARE(saved.readString(QStringLiteral("DBconn"), QStringLiteral("Driver"), {}), QStringLiteral("sqlite"));
    QCOMPARE(saved.readString(QStringLiteral("DBconn"), QStringLiteral("Database"), {}), madeFile);
    const QString coded = saved.readString(QStringLiteral("DBconn"), QStringLiteral("PassWord"), {});
    QVERIFY(!coded.isEmpty() && !coded.contains(QStringLiteral("secret")));
    QCOMPARE(saved.readString(QStringLiteral("other"), QStringLiteral("keep"), {}), QStringLiteral("yes"));
}

void TestMdconn::refusesEmptyDatabase()
{
    QTemporaryDir dir;
    ProgramFolder::setPath(dir.path());
    PrivateProfile ini(QDir(dir.path()).filePath(QStringLiteral("Config.ini")));
    ScopedSeams seams;
    TfrmConnSet window(ini);
    window.frmConnection->edtDatabase->setText(QStringLiteral("   "));
    window.btnSave->click();
    window.btnTest->click();
    QCOMPARE(seams.dialogs.texts(), QStringList(2, QStringLiteral("请输入数据库名称！")));
    QVERIFY(!QFile::exists(ini.path()));
    QVERIFY(window.result() != QDialog::Accepted);
}

QTEST_MAIN(TestMdconn)
#include "tst_mdconn.moc"
