// The about box names the program folder in use and opens it on a click,
// so a site can find its settings, archive and backups.

#include "customers/TfrmAboutInfo.h"

#include "app/ProgramFolder.h"

#include "ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class TestAboutFolder : public QObject {
    Q_OBJECT
private slots:
    void showsAndOpensTheFolder();
};

void TestAboutFolder::showsAndOpensTheFolder()
{
    QTemporaryDir base;
    // Blanks and Chinese in the path: shown as they are, opened as a proper file URL.
    const QString home = base.filePath(QStringLiteral("售后 数据"));
    QVERIFY(QDir().mkpath(home));
    ProgramFolder::setPath(home);
    ScopedSeams seams;

    TfrmAboutInfo about;
    QVERIFY(about.lblFolder->text().startsWith(QStringLiteral("程序目录：")));
    QVERIFY(about.lblFolder->text().contains(QDir::toNativeSeparators(QDir(home).absolutePath()).toHtmlEscaped()));
    const QString href = QRegularExpression(QStringLiteral("href=\"([^\"]+)\"")).match(about.lblFolder->text()).captured(1);
    emit about.lblFolder->linkActivated(href);
    QCOMPARE(seams.shell.opened.size(), 1);
    const QUrl url(seams.shell.opened.first());
    QVERIFY(url.isLocalFile());
    QCOMPARE(url.toLocalFile(), QDir(home).absolutePath());
}

QTEST_MAIN(TestAboutFolder)
#include "tst_aboutfolder.moc"
