// The company window: loading, refilling, the backup folder, the e-mail
// check, the addresses handed to the platform and the over-long fields.

#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/Companion.h"
#include "app/ProgramFolder.h"
#include "data/TdmData.h"
#include "maintenance/CompanyInfo.h"
#include "maintenance/TFrmUserInfo.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

QStringList storedRow(TdmData *dm)
{
    QStringList row;
    const std::optional<CompanyInfo> info = CompanyStore(*dm).load();
    if (!info) return row;
    for (const QString &v : info->values) row << v;
    return row;
}

void setAll(TFrmUserInfo &f, const QStringList &v)
{
    QLineEdit *boxes[] = {f.edtCode, f.edtName, f.edtManager, f.edtPhone, f.edtMovePhone,
                          f.edtHomepage, f.edtEmail, f.edtBakPath, f.edtEnroler};
    for (int i = 0; i < 9; ++i) boxes[i]->setText(v.value(i));
    f.Mem->setPlainText(v.value(9));
}

} // namespace

class TestCompanyInfo : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { dmData = nullptr; }

    void updateStatement();
    void emailAddress_data();
    void emailAddress();
    void addresses();
    void loadRefillAndSave_data() { TestDb::addBackendRows(); }
    void loadRefillAndSave();
    void backupFolder_data() { TestDb::addBackendRows(); }
    void backupFolder();
    void tooLongFields_data() { TestDb::addBackendRows(); }
    void tooLongFields();
    void noRow_data() { TestDb::addBackendRows(); }
    void noRow();
};

void TestCompanyInfo::updateStatement()
{
    CompanyInfo info;
    const QStringList v{QStringLiteral(" 澄'岚 "), QStringLiteral("路%"), QStringLiteral("陈"), QStringLiteral("1"),
                        QStringLiteral("2"), QStringLiteral("h"), QStringLiteral("e"), QStringLiteral("/b'"),
                        QStringLiteral("法"), QStringLiteral(" 简介\n ")};
    for (int i = 0; i < 10; ++i) info.values[size_t(i)] = v[i];
    QCOMPARE(sysInfoUpdateSql(info),
             QStringLiteral("Update SysInfo Set F_Code = '澄''岚',F_Name = '路%',F_Manager = '陈',F_Phone = '1',"
                            "F_HandPhone = '2',F_HomePage = 'h',F_Email = 'e',F_BakPath = '/b''',F_Enroler = '法',"
                            "F_Mem = '简介' "));
}

void TestCompanyInfo::emailAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "service@example.com" << true;
    QTest::newRow("all allowed characters") << "a-b.c_D9@x-y.com" << true;
    QTest::newRow("three after the first dot") << "a@b.com" << true;
    QTest::newRow("two after the first dot") << "a@bc.cn" << false;
    QTest::newRow("dots after the first count as characters") << "a@b.c.d.e" << true;
    QTest::newRow("no dot") << "a@bcdef" << false;
    QTest::newRow("domain of three") << "a@b.c" << false;
    QTest::newRow("empty local") << "@bb.com" << false;
    QTest::newRow("no at") << "a.example.com" << false;
    QTest::newRow("two dots") << "a..b@example.com" << false;
    QTest::newRow("blank") << "a b@example.com" << false;
    QTest::newRow("quote") << "o'b@example.com" << false;
    QTest::newRow("chinese") << "客服@example.com" << false;
    QTest::newRow("empty") << "" << false;
}

void TestCompanyInfo::emailAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsEmailAddress(text), valid);
    QCOMPARE(mailtoUrl(QStringLiteral("  ") + text + QStringLiteral(" ")),
             valid ? QStringLiteral("mailto:") + text + QStringLiteral("?subject") : QString());
}

void TestCompanyInfo::addresses()
{
    QCOMPARE(homepageUrl(QStringLiteral("  ")), QString());
    QCOMPARE(homepageUrl(QStringLiteral(" www.example.com ")), QStringLiteral("http://www.example.com"));
    QCOMPARE(homepageUrl(QStringLiteral("http://www.example.com")), QStringLiteral("http://www.example.com"));
    QCOMPARE(homepageUrl(QStringLiteral("HTTPS://example.com/a")), QStringLiteral("HTTPS://example.com/a"));
    // Only a scheme at the start counts as one.
    QCOMPARE(homepageUrl(QStringLiteral("example.com/?u=http:")), QStringLiteral("http://example.com/?u=http:"));
}

void TestCompanyInfo::loadRefillAndSave()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    ScopedSeams seams;
    TFrmUserInfo frm;
    frm.show();
    QCOMPARE(frm.windowTitle(), QStringLiteral("公司信息"));
    QCOMPARE(frm.PageControl1->tabText(0), QStringLiteral("主要资料"));
    QCOMPARE(frm.PageControl1->tabText(1), QStringLiteral("其他资料"));
    QCOMPARE(frm.edtCode->text(), QStringLiteral("澄岚家电销售服务有限公司"));
    QCOMPARE(frm.edtName->text(), QStringLiteral("城东区解放路88号"));
    QCOMPARE(frm.Mem->toPlainText(), QStringLiteral("家用电器销售、安装与售后服务"));

    frm.BitBtn1->click();   // 重填: boxes only
    QVERIFY(frm.edtCode->text().isEmpty() && frm.edtEmail->text().isEmpty() && frm.Mem->toPlainText().isEmpty());
    QCOMPARE(storedRow(dm.get()).value(0), QStringLiteral("澄岚家电销售服务有限公司"));
    frm.BitBtn3->click();   // 修改 reloads the stored values
    QCOMPARE(frm.edtCode->text(), QStringLiteral("澄岚家电销售服务有限公司"));

    // Saved trimmed, quotes and percent signs kept; an existing folder asks nothing.
    const QStringList typed{QStringLiteral(" 新'公司% "), QStringLiteral("北'路1号"), QStringLiteral("王"),
                            QStringLiteral("0571"), QStringLiteral("139"), QStringLiteral("www.x.com"),
                            QStringLiteral("a@b.com"), QStringLiteral(" ") + dir.path() + QStringLiteral(" "),
                            QStringLiteral("李'"), QStringLiteral(" 第一行\n第二行 ")};
    setAll(frm, typed);
    frm.BitBtn2->click();
    QVERIFY2(seams.dialogs.calls.isEmpty(), qPrintable(seams.dialogs.texts().join(u'\n')));
    QStringList expected;
    for (const QString &t : typed) expected << t.trimmed();
    QCOMPARE(storedRow(dm.get()), expected);
    QVERIFY(frm.isVisible());

    // Double-clicks hand the addresses to the platform.
    QTest::mouseDClick(frm.edtHomepage, Qt::LeftButton);
    QTest::mouseDClick(frm.edtEmail, Qt::LeftButton);
    frm.edtEmail->setText(QStringLiteral("not an address"));
    QTest::mouseDClick(frm.edtEmail, Qt::LeftButton);
    QCOMPARE(seams.shell.opened, (QStringList{QStringLiteral("http://www.x.com"), QStringLiteral("mailto:a@b.com?subject")}));
}

void TestCompanyInfo::backupFolder()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    ScopedSeams seams;
    TFrmUserInfo frm;
    frm.show();
    const QStringList before = storedRow(dm.get());

    // The small button offers the program's own back folder, only for a blank box.
    frm.edtBakPath->setText(QStringLiteral("  "));
    frm.SpeedButton1->click();
    QCOMPARE(QDir::fromNativeSeparators(frm.edtBakPath->text()), QDir(ProgramFolder::path()).filePath(QStringLiteral("back")));
    frm.edtBakPath->setText(QStringLiteral("/elsewhere"));
    frm.SpeedButton1->click();
    QCOMPARE(frm.edtBakPath->text(), QStringLiteral("/elsewhere"));

    // Refused creation: nothing written, focus on the folder.
    const QString missing = dir.filePath(QStringLiteral("a/b'c"));
    frm.edtCode->setText(QStringLiteral("不要保存"));
    frm.edtBakPath->setText(missing);
    seams.dialogs.answer(Mess::No);
    frm.BitBtn2->click();
    QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("当前目录") + missing + QStringLiteral(" 不存在，是否创建！")});
    QCOMPARE(seams.dialogs.calls.last().kind, 1);
    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(storedRow(dm.get()), before);
    QVERIFY(frm.edtBakPath->hasFocus() || QApplication::focusWidget() == nullptr);

    // Accepted: the folder with its parents, then the row.
    seams.dialogs.answer(Mess::Yes);
    frm.edtCode->setText(QStringLiteral("保存"));
    frm.BitBtn2->click();
    QVERIFY(QFileInfo(missing).isDir());
    QCOMPARE(storedRow(dm.get()).value(0), QStringLiteral("保存"));
    QCOMPARE(storedRow(dm.get()).value(CoBakPath), missing);

    // A folder that cannot be made (a file is in the way).
    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString impossible = dir.filePath(QStringLiteral("file/sub"));
    frm.edtBakPath->setText(impossible);
    frm.edtCode->setText(QStringLiteral("不要保存"));
    seams.dialogs.calls.clear();
    seams.dialogs.answer(Mess::Yes);
    frm.BitBtn2->click();
    QCOMPARE(seams.dialogs.texts().last(), QStringLiteral("目录") + impossible + QStringLiteral("创建失败,请检测路径是否合法!"));
    QCOMPARE(seams.dialogs.calls.last().kind, 3);
    QCOMPARE(storedRow(dm.get()).value(0), QStringLiteral("保存"));
}

void TestCompanyInfo::tooLongFields()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    ScopedSeams seams;
    TFrmUserInfo frm;
    frm.show();
    const QStringList before = storedRow(dm.get());
    struct Case {
        QLineEdit *box;
        QString text;
        QString message;
        int page;
    };
    const QString huge(10000, u'\'');
    const QList<Case> cases{
        {frm.edtName, QStringLiteral("一二三四五六七八九十一"), QStringLiteral("“联系地址”最多只能输入 10 个字符（现有 11 个），请修改！"), 0},
        {frm.edtCode, huge, QStringLiteral("“公司名称”最多只能输入 50 个字符（现有 10000 个），请修改！"), 0},
        {frm.edtHomepage, QString(256, u'w'), QStringLiteral("“主页”最多只能输入 255 个字符（现有 256 个），请修改！"), 0},
        {frm.edtEnroler, QString(51, u'%'), QStringLiteral("“注册法人”最多只能输入 50 个字符（现有 51 个），请修改！"), 1},
    };
    for (const Case &c : cases) {
        frm.LoadFields();
        frm.PageControl1->setCurrentIndex(1 - c.page);
        c.box->setText(c.text);
        seams.dialogs.calls.clear();
        frm.BitBtn2->click();
        QCOMPARE(seams.dialogs.texts(), QStringList{c.message});
        QCOMPARE(seams.dialogs.calls.first().kind, 0);
        QCOMPARE(frm.PageControl1->currentIndex(), c.page);
        QCOMPARE(storedRow(dm.get()), before);
    }
    // Ten characters fit, blanks around them do not count, a NUL is not stored.
    frm.LoadFields();
    frm.edtName->setText(QStringLiteral("  一二三四五六七八九十  "));
    frm.edtManager->setText(QStringLiteral("陈") + QChar(u'\0') + QStringLiteral("明"));
    seams.dialogs.calls.clear();
    frm.BitBtn2->click();
    QVERIFY(seams.dialogs.calls.isEmpty());
    QCOMPARE(storedRow(dm.get()).value(CoAddress), QStringLiteral("一二三四五六七八九十"));
    QCOMPARE(storedRow(dm.get()).value(CoManager), QStringLiteral("陈明"));
}

void TestCompanyInfo::noRow()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    QVERIFY(dm->RunSQL(QStringLiteral("delete from SysInfo")));
    ScopedSeams seams;
    TFrmUserInfo frm;
    frm.show();
    QVERIFY(frm.edtCode->text().isEmpty() && frm.edtName->text().isEmpty());
    frm.edtCode->setText(QStringLiteral("无行"));
    frm.BitBtn2->click();
    QVERIFY(seams.dialogs.calls.isEmpty());
    QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from SysInfo")), 0);
}

QTEST_MAIN(TestCompanyInfo)
#include "tst_companyinfo.moc"
