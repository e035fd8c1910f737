// Message boxes through the seam, window placement and password coding.

#include "ScriptedDialogs.h"
#include "app/ChaCha20.h"
#include "app/Companion.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTest>
#include <QWidget>

class TestCompanion : public QObject {
    Q_OBJECT
private slots:
    void showMessKinds_data();
    void showMessKinds();
    void questionAnswersOnlyYesOrNo_data();
    void questionAnswersOnlyYesOrNo();

    void passwordRoundTrip_data();
    void passwordRoundTrip();
    void longPasswordCutAtCharacter();
    void clearTextStoredValueKept_data();
    void clearTextStoredValueKept();
    void codesOfOnePasswordDiffer();
    void chacha20KnownAnswer();

    void dispFormPosKeepsWindowOnScreen_data();
    void dispFormPosKeepsWindowOnScreen();
    void listWindowBesideMainWindowStaysOnScreen();
};

void TestCompanion::showMessKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("recordedKind");
    QTest::newRow("information") << 0 << 0;
    QTest::newRow("warning") << 2 << 2;
    QTest::newRow("error") << 3 << 3;
    QTest::newRow("unknown kind shown as information") << 7 << 0;
}

void TestCompanion::showMessKinds()
{
    QFETCH(int, kind);
    QFETCH(int, recordedKind);
    ScopedSeams seams;
    ShowMess(QStringLiteral("保存成功！"), kind);
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls[0].what, QStringLiteral("message"));
    QCOMPARE(seams.dialogs.calls[0].text, QStringLiteral("保存成功！"));
    QCOMPARE(seams.dialogs.calls[0].kind, recordedKind);
    QCOMPARE(seams.dialogs.calls[0].defaultAnswer, 0);   // no choice, no default
}

void TestCompanion::questionAnswersOnlyYesOrNo_data()
{
    QTest::addColumn<QVariant>("seamAnswer");
    QTest::addColumn<int>("result");
    QTest::newRow("yes") << QVariant(1) << 1;
    QTest::newRow("no") << QVariant(2) << 2;
    QTest::newRow("zero is no") << QVariant(0) << 2;
    QTest::newRow("cancel-like 3 is no") << QVariant(3) << 2;
    QTest::newRow("negative is no") << QVariant(-1) << 2;
    QTest::newRow("no answer scripted") << QVariant() << 2;
}

// Either default button, the answer is exactly Yes or No, and the box is
// told which button Enter presses.
void TestCompanion::questionAnswersOnlyYesOrNo()
{
    QFETCH(QVariant, seamAnswer);
    QFETCH(int, result);
    for (const Mess::Answer preferred : {Mess::Yes, Mess::No}) {
        ScopedSeams seams;
        if (seamAnswer.isValid()) seams.dialogs.answer(seamAnswer);
        const int r = preferred == Mess::Yes ? ShowMess(QStringLiteral("真的要删除吗？"), 1)
                                             : ShowMess(QStringLiteral("真的要删除吗？"), 1, Mess::No);
        QCOMPARE(r, result);
        QCOMPARE(seams.dialogs.calls.size(), 1);
        QCOMPARE(seams.dialogs.calls[0].kind, 1);
        QCOMPARE(seams.dialogs.calls[0].defaultAnswer, int(preferred));
    }
}

void TestCompanion::passwordRoundTrip_data()
{
    QTest::addColumn<QString>("clear");
    QTest::newRow("empty") << QString();
    QTest::newRow("ascii") << QStringLiteral("secret");
    QTest::newRow("one char") << QStringLiteral("x");
    QTest::newRow("chinese") << QStringLiteral("售后服务密码");
    QTest::newRow("blanks around and inside") << QStringLiteral("  a b  ");
    QTest::newRow("only blanks") << QStringLiteral("   ");
    QTest::newRow("quotes and ini characters") << QStringLiteral("a'b\"c=d;e[f]#");
    QTest::newRow("looks like a coded value") << QStringLiteral("$c1$abc");
    QTest::newRow("emoji") << QStringLiteral("pw\U0001F600");
    QTest::newRow("exactly 180 bytes") << QString(180, u'k');
    QTest::newRow("60 chinese chars = 180 bytes") << QString(60, QChar(0x5BC6));
}

void TestCompanion::passwordRoundTrip()
{
    QFETCH(QString, clear);
    const QString coded = SavePass(clear);
    QCOMPARE(GetPass(coded), clear);
    QVERIFY2(coded.size() <= 255, qPrintable(QString::number(coded.size())));
    for (const QChar c : coded) QVERIFY2(c.unicode() >= 0x21 && c.unicode() <= 0x7e, qPrintable(coded));
    if (!clear.isEmpty()) QVERIFY(coded != clear);
}

void TestCompanion::longPasswordCutAtCharacter()
{
    // 300 characters of three UTF-8 bytes each: cut to 60 whole characters.
    const QString longChinese(300, QChar(0x5BC6));
    QString coded = SavePass(longChinese);
    QVERIFY(coded.size() <= 255);
    QCOMPARE(GetPass(coded), QString(60, QChar(0x5BC6)));

    // 179 ASCII bytes then a three-byte character: the character does not fit.
    const QString mixed = QString(179, u'a') + QChar(0x5BC6) + QStringLiteral("tail");
    coded = SavePass(mixed);
    QVERIFY(coded.size() <= 255);
    QCOMPARE(GetPass(coded), QString(179, u'a'));

    const QString longAscii(300, u'z');
    QCOMPARE(GetPass(SavePass(longAscii)), QString(180, u'z'));
}

void TestCompanion::clearTextStoredValueKept_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("typed into Config.ini") << QStringLiteral("sa123");
    QTest::newRow("chinese") << QStringLiteral("密码");
    QTest::newRow("prefix with bad base64") << QStringLiteral("$c1$!!!not base64");
    QTest::newRow("prefix too short for a nonce") << QStringLiteral("$c1$AAA");
    QTest::newRow("prefix only") << QStringLiteral("$c1$");
}

void TestCompanion::clearTextStoredValueKept()
{
    QFETCH(QString, stored);
    QCOMPARE(GetPass(stored), stored);
}

void TestCompanion::codesOfOnePasswordDiffer()
{
    const QString a = SavePass(QStringLiteral("admin123"));
    const QString b = SavePass(QStringLiteral("admin123"));
    QVERIFY(a != b);
    QCOMPARE(GetPass(a), GetPass(b));
}

void TestCompanion::chacha20KnownAnswer()
{
    ChaCha20::Key key;
    for (int i = 0; i < 32; ++i) key[size_t(i)] = uint8_t(i);
    const ChaCha20::Nonce nonce = {0, 0, 0, 0, 0, 0, 0, 0x4a, 0, 0, 0, 0};
    const QByteArray plain(
        "Ladies and Gentlemen of the class of '99: If I could offer you only one tip for the future, "
        "sunscreen would be it.");
    const QByteArray expected = QByteArray::fromHex(
        "6e2e359a2568f98041ba0728dd0d6981e97e7aec1d4360c20a27afccfd9fae0b"
        "f91b65c5524733ab8f593dabcd62b3571639d624e65152ab8f530c359f0861d8"
        "07ca0dbf500d6a6156a38e088a22b65e52bc514d16ccf806818ce91ab7793736"
        "5af90bbf74a35be6b40b8eedf2785e42874d");
    QCOMPARE(ChaCha20::apply(key, nonce, 1, plain).toHex(), expected.toHex());
    QCOMPARE(ChaCha20::apply(key, nonce, 1, expected), plain);
}

void TestCompanion::dispFormPosKeepsWindowOnScreen_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QSize>("size");
    for (int mode : {0, 1, 2}) {
        const QByteArray m = QByteArray::number(mode);
        QTest::newRow("mode " + m + " small") << mode << QSize(300, 200);
        QTest::newRow("mode " + m + " larger than screen") << mode << QSize(5000, 4000);
    }
}

void TestCompanion::dispFormPosKeepsWindowOnScreen()
{
    QFETCH(int, mode);
    QFETCH(QSize, size);
    QWidget w;
    w.resize(size);
    w.move(-3000, -3000);
    DispFormPos(&w, mode);
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(avail.contains(w.geometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(w.x()).arg(w.y()).arg(w.width()).arg(w.height())));
    if (mode == 2) QVERIFY(w.width() >= avail.width() / 2);
}

void TestCompanion::listWindowBesideMainWindowStaysOnScreen()
{
    // The operator has pushed the main window half off the screen.
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    QMainWindow main;
    main.setGeometry(avail.x() + avail.width() / 2, avail.y() + avail.height() / 2, avail.width(),
                     avail.height());
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QWidget list;
    list.resize(400, 300);
    DispFormPos(&list, 0);
    QVERIFY2(avail.contains(list.geometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(list.x()).arg(list.y()).arg(list.width()).arg(list.height())));
}

QTEST_MAIN(TestCompanion)
#include "tst_companion.moc"
