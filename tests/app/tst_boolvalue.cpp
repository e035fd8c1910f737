// Stored flags read as true or false the same way wherever they are read.

#include "app/BoolValue.h"

#include <QTest>

class TestBoolValue : public QObject {
    Q_OBJECT
private slots:
    void values_data()
    {
        QTest::addColumn<QVariant>("v");
        QTest::addColumn<bool>("expected");
        QTest::newRow("null") << QVariant() << false;
        QTest::newRow("typed null") << QVariant(QMetaType(QMetaType::Int)) << false;
        QTest::newRow("bool true") << QVariant(true) << true;
        QTest::newRow("bool false") << QVariant(false) << false;
        QTest::newRow("1") << QVariant(1) << true;
        QTest::newRow("0") << QVariant(0) << false;
        QTest::newRow("-1") << QVariant(-1) << true;
        QTest::newRow("0.0") << QVariant(0.0) << false;
        QTest::newRow("long long") << QVariant(qlonglong(2)) << true;
        QTest::newRow("text 1") << QVariant(QStringLiteral("1")) << true;
        QTest::newRow("text 0") << QVariant(QStringLiteral("0")) << false;
        QTest::newRow("text 0.0") << QVariant(QStringLiteral("0.0")) << false;   // not "non-empty text"
        QTest::newRow("text -1 with blanks") << QVariant(QStringLiteral(" -1 ")) << true;
        QTest::newRow("True") << QVariant(QStringLiteral("True")) << true;
        QTest::newRow("true with blanks") << QVariant(QStringLiteral(" true ")) << true;
        QTest::newRow("False") << QVariant(QStringLiteral("False")) << false;
        QTest::newRow("empty text") << QVariant(QString()) << false;
        QTest::newRow("other text") << QVariant(QStringLiteral("abc")) << false;
        QTest::newRow("bytes") << QVariant(QByteArray("TRUE")) << true;
    }
    void values()
    {
        QFETCH(QVariant, v);
        QFETCH(bool, expected);
        QCOMPARE(boolValue(v), expected);
    }
};

QTEST_MAIN(TestBoolValue)
#include "tst_boolvalue.moc"
