// The program folder: which one is used, and how the shipped templates and
// import sample get into it without replacing a site's own.

#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QStringList shippedTemplates()
{
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/Qr"))
        .entryList({QStringLiteral("*.frf")}, QDir::Files, QDir::Name);
}
} // namespace

class TestProgramFolder : public QObject {
    Q_OBJECT
private slots:
    void chosenFolder();
    void copiesOnlyWhatIsMissing();
    void unwritableFolderIsReported();
};

void TestProgramFolder::chosenFolder()
{
    QTemporaryDir a, b;
    // A build folder holds Qr/ beside the programs, so it is not an installed one.
    QVERIFY(!ProgramFolder::installed());
    QCOMPARE(ProgramFolder::sharedDataPath(), QCoreApplication::applicationDirPath());

    qputenv("CLSERVICE_HOME", a.path().toUtf8());
    ProgramFolder::initFromArguments({QStringLiteral("prog"), QStringLiteral("--home"), b.path()});
    QCOMPARE(ProgramFolder::path(), QDir(b.path()).absolutePath());
    ProgramFolder::initFromArguments({QStringLiteral("prog")});
    QCOMPARE(ProgramFolder::path(), QDir(a.path()).absolutePath());
    QCOMPARE(ProgramFolder::filePath(QStringLiteral("Config.ini")), QDir(a.path()).filePath(QStringLiteral("Config.ini")));
    qunsetenv("CLSERVICE_HOME");
}

void TestProgramFolder::copiesOnlyWhatIsMissing()
{
    const QStringList templates = shippedTemplates();
    QVERIFY2(!templates.isEmpty(), "the report templates are built into the programs' folder");
    QTemporaryDir home;
    ProgramFolder::setPath(home.path());

    // A template the site changed, and one it deleted.
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("Qr"))));
    const QString changed = home.filePath(QStringLiteral("Qr/") + templates.first());
    {
        QFile f(changed);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("site's own");
    }
    ProgramFolder::CopyResult r = ProgramFolder::copyMissingShared();
    QVERIFY(r.failed.isEmpty());
    QCOMPARE(r.copied.size(), templates.size());   // all other templates and the sample
    QVERIFY(!r.copied.contains(changed));
    QCOMPARE(readAll(changed), QByteArray("site's own"));
    QCOMPARE(QDir(home.filePath(QStringLiteral("Qr"))).entryList({QStringLiteral("*.frf")}, QDir::Files, QDir::Name),
             templates);
    QCOMPARE(readAll(home.filePath(QStringLiteral("sample.xlsx"))),
             readAll(QCoreApplication::applicationDirPath() + QStringLiteral("/sample.xlsx")));
    QVERIFY(QFileInfo(home.filePath(QStringLiteral("sample.xlsx"))).isWritable());

    // Again: nothing left to copy.
    r = ProgramFolder::copyMissingShared();
    QVERIFY(r.copied.isEmpty());
    QVERIFY(r.failed.isEmpty());

    // The shipped folder itself as program folder: nothing is copied onto itself.
    ProgramFolder::setPath(QCoreApplication::applicationDirPath());
    r = ProgramFolder::copyMissingShared();
    QVERIFY(r.copied.isEmpty() && r.failed.isEmpty());
}

void TestProgramFolder::unwritableFolderIsReported()
{
    QTemporaryDir dir;
    // A file where the folder should be: nothing can be written below it.
    const QString blocked = dir.filePath(QStringLiteral("home"));
    {
        QFile f(blocked);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    ProgramFolder::setPath(blocked);
    const ProgramFolder::CopyResult r = ProgramFolder::copyMissingShared();
    QVERIFY(r.copied.isEmpty());
    QCOMPARE(r.failed.size(), shippedTemplates().size() + 1);
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
