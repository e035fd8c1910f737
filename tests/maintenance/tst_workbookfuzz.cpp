// Damaged workbooks by the thousand: every fixture with random bytes
// changed and cut short is opened and read. Each must end with a reading
// or a message; a crash or a hang fails the run. The seed is fixed, so a
// failure can be replayed.
#include "maintenance/Workbook.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestWorkbookFuzz : public QObject {
    Q_OBJECT
private slots:
    void damagedFiles_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *name : {"producers.xlsx", "lo-written.xlsx", "lo-written.xls", "lo-source.csv", "longcell.xlsx"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void damagedFiles()
    {
        QFETCH(QString, file);
        QFile f(QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/fixtures/") + file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray original = f.readAll();
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        QRandomGenerator rng(20261210);
        int answered = 0;
        for (int round = 0; round < 1500; ++round) {
            QByteArray bytes = original;
            for (int k = 1 + int(rng.bounded(8)); k > 0; --k) bytes[rng.bounded(int(bytes.size()))] = char(rng.bounded(256));
            if (round % 7 == 0) bytes.truncate(rng.bounded(int(bytes.size())));
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
            out.close();
            QString error;
            std::unique_ptr<Workbook> book = Workbook::open(path, &error);
            if (!book) {
                QVERIFY(!error.isEmpty());
                ++answered;
                continue;
            }
            for (const QString &table : book->tableNames()) {
                SheetTable sheet;
                QVERIFY(loadTable(*book, table, &sheet, {}, &error) || !error.isEmpty());
            }
            ++answered;
        }
        QCOMPARE(answered, 1500);
    }
};

QTEST_GUILESS_MAIN(TestWorkbookFuzz)
#include "tst_workbookfuzz.moc"
