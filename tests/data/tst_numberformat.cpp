#include "data/NumberFormat.h"

#include <QTest>

class TestNumberFormat : public QObject {
    Q_OBJECT
private slots:
    void format_data();
    void format();
    void excel_data();
    void excel();
};

void TestNumberFormat::format_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    // Quantities: decimals only when there are any.
    QTest::newRow("qty whole") << "0.##" << 3.0 << "3";
    QTest::newRow("qty rounded") << "0.##" << 3.14159 << "3.14";
    QTest::newRow("qty half") << "0.##" << 0.5 << "0.5";
    QTest::newRow("qty rounds up") << "0.##" << 0.005 << "0.01";
    QTest::newRow("qty tiny") << "0.##" << 1e-7 << "0";
    QTest::newRow("qty large") << "0.##" << 1e15 << "1000000000000000";
    QTest::newRow("qty negative") << "0.##" << -2.5 << "-2.5";

    // Money: grouping, fixed places, sign before the currency sign.
    QTest::newRow("money grouped") << "￥,0.00" << 1234567.891 << "￥1,234,567.89";
    QTest::newRow("money negative") << "￥,0.00" << -1234.5 << "-￥1,234.50";
    QTest::newRow("money zero") << "￥,0.00" << 0.0 << "￥0.00";
    QTest::newRow("money 3 digits") << "￥,0.00" << 100.0 << "￥100.00";
    QTest::newRow("money 4 digits") << "￥,0.00" << 1000.0 << "￥1,000.00";
    QTest::newRow("money carry into group") << "￥,0.00" << 999.995 << "￥1,000.00";
    QTest::newRow("money decimal half 2.675") << "￥,0.00" << 2.675 << "￥2.68";
    QTest::newRow("money decimal half 1.005") << "￥,0.00" << 1.005 << "￥1.01";
    QTest::newRow("money negative half") << "￥,0.00" << -0.125 << "-￥0.13";
    QTest::newRow("money big") << "￥,0.00" << 123456789012.345 << "￥123,456,789,012.35";
    QTest::newRow("money optional place unused") << "￥,0.00#" << 2.5 << "￥2.50";
    QTest::newRow("money optional place used") << "￥,0.00#" << 2.1234 << "￥2.123";
    QTest::newRow("money four places") << "￥,0.00##" << 1.23456 << "￥1.2346";

    // No decimal places: no point, rounded half away from zero.
    QTest::newRow("no places below half") << "0." << 0.4 << "0";
    QTest::newRow("no places half") << "0." << 12.5 << "13";
    QTest::newRow("no places negative half") << "0." << -12.5 << "-13";
    QTest::newRow("money no places carry") << "￥,0." << 999.5 << "￥1,000";

    QTest::newRow("negative rounding to zero has no sign") << "0.00" << -0.001 << "0.00";
    QTest::newRow("minimum integer digits") << "0000" << 12.0 << "0012";
    QTest::newRow("only optional integer digits") << "#.##" << 0.5 << ".5";
    QTest::newRow("literal suffix") << "0.0 元" << 3.25 << "3.3 元";
    QTest::newRow("quoted literal") << "\"约\"0.0" << 3.0 << "约3.0";
    QTest::newRow("negative section") << "0.00;(0.00)" << -5.0 << "(5.00)";
    QTest::newRow("zero section") << "0.00;-0.00;无" << 0.0 << "无";

    QTest::newRow("empty pattern") << "" << 3.5 << "3.5";
    QTest::newRow("empty pattern sum") << "" << 0.1 + 0.2 << "0.3";
    QTest::newRow("empty pattern integer") << "" << 120.0 << "120";
}

void TestNumberFormat::format()
{
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(formatNumber(pattern, value), expected);
}

void TestNumberFormat::excel_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "0.##" << "0.##";
    QTest::newRow("money") << "￥,0.00" << "\"￥\"#,##0.00";
    QTest::newRow("money optional places") << "￥,0.00##" << "\"￥\"#,##0.00##";
    QTest::newRow("no places") << "0." << "0";
    QTest::newRow("money no places") << "￥,0." << "\"￥\"#,##0";
    QTest::newRow("already excel") << "#,##0.00" << "#,##0.00";
    QTest::newRow("wide grouping") << ",00000" << "00,000";
    QTest::newRow("suffix") << "0.0 元" << "0.0\" 元\"";
    // A literal % must not make the spreadsheet scale the value by 100.
    QTest::newRow("percent literal") << "0%" << "0\"%\"";
    QTest::newRow("quote in literal") << "0'\"'" << "0\\\"";
    QTest::newRow("sections") << "0.00;(0.00)" << "0.00;\"(\"0.00\")\"";
    QTest::newRow("empty") << "" << "General";
}

void TestNumberFormat::excel()
{
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(excelNumberFormat(pattern), expected);
}

QTEST_APPLESS_MAIN(TestNumberFormat)
#include "tst_numberformat.moc"
