// How a cell reads wherever a list is shown (grid, print, sheet, report).
#include "data/CellFormat.h"
#include "data/RowSource.h"

#include <QDateTime>
#include <QTest>

class TestCellFormat : public QObject {
    Q_OBJECT
private slots:
    void text_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("blank");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        const QString money = QStringLiteral("￥,0.00");
        const int F = int(FieldKind::Float), T = int(FieldKind::Text), B = int(FieldKind::Bool),
                  D = int(FieldKind::DateTime), I = int(FieldKind::Integer);
        QTest::newRow("money") << F << money << false << QVariant(1234.5) << "￥1,234.50";
        QTest::newRow("count") << I << "0.##" << false << QVariant(3) << "3";
        QTest::newRow("number without pattern") << F << "" << false << QVariant(12.5) << "12.5";
        QTest::newRow("computed column") << T << money << false << QVariant(2.5) << "￥2.50";
        QTest::newRow("text that looks like a number") << T << money << false << QVariant("88.8") << "88.8";
        QTest::newRow("ticked flag takes no pattern") << B << money << false << QVariant(1) << "√";
        QTest::newRow("clear flag") << B << money << false << QVariant(0) << "";
        QTest::newRow("flag as text") << B << "" << false << QVariant("True") << "√";
        QTest::newRow("null number") << F << money << false << QVariant() << "";
        QTest::newRow("midnight") << D << "" << false << QVariant(QDateTime(QDate(2024, 3, 5), QTime(0, 0))) << "2024-03-05";
        QTest::newRow("time of day") << D << "" << false << QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)))
                                     << "2024-03-05 14:07:09";
        QTest::newRow("no-date as stored") << D << "" << false << QVariant("1900-08-14") << "1900-08-14";
        QTest::newRow("no-date blanked") << D << "" << true << QVariant("1900-08-14 00:00:00") << "";
        QTest::newRow("first shown date") << D << "" << true << QVariant("1901-08-14") << "1901-08-14";
        QTest::newRow("day before it") << D << "" << true << QVariant(QDateTime(QDate(1901, 8, 13), QTime(10, 0))) << "";
        QTest::newRow("empty date blanked") << D << "" << true << QVariant() << "";
        // A text column read with no-dates blanked (a report source) keeps what is not a date.
        QTest::newRow("phone kept") << T << "" << true << QVariant("0571-86881234") << "0571-86881234";
        QTest::newRow("no-date held as text") << T << "" << true << QVariant("1900-08-14") << "";
    }
    void text()
    {
        QFETCH(int, kind);
        QFETCH(QString, pattern);
        QFETCH(bool, blank);
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        const CellFormat f {FieldKind(kind), pattern, blank};
        QCOMPARE(f.text(value), expected);
    }

    // A sheet writes numbers with the column's pattern, never flags or dates.
    void numberFormatOfASheetColumn()
    {
        const QString money = QStringLiteral(" ￥,0.00 ");
        QCOMPARE((CellFormat {FieldKind::Float, money}.numberFormat()), QStringLiteral("￥,0.00"));
        QCOMPARE((CellFormat {FieldKind::Text, money}.numberFormat()), QStringLiteral("￥,0.00"));
        QCOMPARE((CellFormat {FieldKind::Bool, money}.numberFormat()), QString());
        QCOMPARE((CellFormat {FieldKind::DateTime, money}.numberFormat()), QString());
    }

    // Rows made in memory (a report's own) read by the type of each value.
    void memoryRows()
    {
        MemoryRows rows({QStringLiteral("F_code"), QStringLiteral("F_date"), QStringLiteral("F_paid"), QStringLiteral("F_sum")},
                        {{"00123", QDate(2024, 3, 5), true, 12.5}, {QVariant(), QVariant(), false, 3}});
        QCOMPARE(rows.columnOf(QStringLiteral("f_PAID")), 2);
        QCOMPARE(rows.columnOf(QStringLiteral("nothing")), -1);
        QCOMPARE(rows.rowCount(), 2);
        QVERIFY(rows.start());
        QVERIFY(rows.nextRow());
        QCOMPARE((QStringList {rows.text(0), rows.text(1), rows.text(2), rows.text(3)}),
                 (QStringList {"00123", "2024-03-05", "√", "12.5"}));
        QCOMPARE(rows.value(3).toDouble(), 12.5);
        QVERIFY(rows.nextRow());
        QCOMPARE((QStringList {rows.text(0), rows.text(1), rows.text(2), rows.text(3)}), (QStringList {"", "", "", "3"}));
        QVERIFY(!rows.nextRow());
        QVERIFY(rows.start());   // read once more, as a preview does
        QVERIFY(rows.nextRow());
        QCOMPARE(rows.text(0), QStringLiteral("00123"));
    }
};

QTEST_MAIN(TestCellFormat)
#include "tst_cellformat.moc"
