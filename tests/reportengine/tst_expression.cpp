// Texts with bracketed parts: what is an expression and what prints as
// written, what each part reads, and the running figures behind totals.
#include "reportengine/Expression.h"

#include <QTest>

using namespace Report;

namespace {

// Reads fields from a fixed table; aggregates print as "agg:<func>:<scope>:<src>.<field>".
class FixedContext : public ExpressionContext {
public:
    QHash<QString, QString> fields {{QStringLiteral("frmain.f_name"), QStringLiteral("张三")},
                                    {QStringLiteral("frmain.f_code"), QStringLiteral("00000007")}};
    int total = 7;
    QString fieldText(const ExprPart &p) const override { return fields.value((p.source + '.' + p.field).toLower()); }
    QString aggregateText(const ExprPart &p) const override
    {
        return QStringLiteral("agg:%1:%2:%3.%4").arg(int(p.func)).arg(int(p.scope)).arg(p.source, p.field);
    }
    int pageNumber() const override { return 3; }
    int totalPages() const override { return total; }
    QDateTime now() const override { return QDateTime(QDate(2024, 3, 5), QTime(8, 4, 9)); }
};

} // namespace

class TestExpression : public QObject {
    Q_OBJECT
private slots:
    void evaluates_data();
    void evaluates();
    void aggregateParts_data();
    void aggregateParts();
    void unknownTotalPagesPrintsNothing();
    void longTextsStayLinear();
    void resolvesSomePartsNow();
    void accumulates();
    void aggregateNumbers_data();
    void aggregateNumbers();
};

void TestExpression::evaluates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "客户名单" << "客户名单";
    QTest::newRow("field") << "姓名：[frMain.F_name]" << "姓名：张三";
    QTest::newRow("field, any case, blanks") << "[ FRMAIN.f_code ]" << "00000007";
    QTest::newRow("page of pages") << "第[PAGE#]页 共[TOTALPAGES]页" << "第3页 共7页";
    QTest::newRow("page, lower case") << "[page#]/[totalpages]" << "3/7";
    QTest::newRow("date and time") << "[DATE] [TIME]" << "2024-03-05 08:04:09";
    QTest::newRow("unknown field reads empty") << "<[frMain.F_nosuch]>" << "<>";
    QTest::newRow("unknown source reads empty") << "<[nosuch.F_name]>" << "<>";
    QTest::newRow("no dot: as written") << "[备注] [abc]" << "[备注] [abc]";
    QTest::newRow("bracket left open") << "[frMain.F_name" << "[frMain.F_name";
    QTest::newRow("lone closing bracket") << "a]b[PAGE#]" << "a]b3";
    QTest::newRow("bracket opened twice") << "[[frMain.F_name]]" << "[张三]";
    QTest::newRow("empty brackets") << "[]" << "[]";
    QTest::newRow("empty text") << "" << "";
    QTest::newRow("blank in a name: as written") << "[fr Main.F_name]" << "[fr Main.F_name]";
}

void TestExpression::evaluates()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    FixedContext ctx;
    QCOMPARE(Expression(text).evaluate(ctx), expected);
}

void TestExpression::aggregateParts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sum, report") << "[SUM(frMain.F_price)]" << "agg:0:0:frMain.F_price";
    QTest::newRow("sum, page") << "[sum(frMain.F_price, page)]" << "agg:0:1:frMain.F_price";
    QTest::newRow("sum, carried") << "[SUM(frMain.F_price,CARRIED)]" << "agg:0:2:frMain.F_price";
    QTest::newRow("sum, report named") << "[SUM(frMain.F_price,REPORT)]" << "agg:0:0:frMain.F_price";
    QTest::newRow("count of rows") << "[COUNT(frDetail1)]" << "agg:1:0:frDetail1.";
    QTest::newRow("count of a field") << "[COUNT(frDetail1.F_fee,PAGE)]" << "agg:1:1:frDetail1.F_fee";
    QTest::newRow("avg min max") << "[AVG(a.x)][MIN(a.x)][MAX(a.x)]" << "agg:2:0:a.xagg:3:0:a.xagg:4:0:a.x";
    QTest::newRow("sum needs a field") << "[SUM(frMain)]" << "[SUM(frMain)]";
    QTest::newRow("unknown scope") << "[SUM(frMain.F_price,WEEK)]" << "[SUM(frMain.F_price,WEEK)]";
    QTest::newRow("unknown function") << "[TOTAL(frMain.F_price)]" << "[TOTAL(frMain.F_price)]";
    QTest::newRow("too many arguments") << "[SUM(a.x,PAGE,1)]" << "[SUM(a.x,PAGE,1)]";
    QTest::newRow("among text") << "合计：[SUM(frMain.F_price,PAGE)]元" << "合计：agg:0:1:frMain.F_price元";
}

void TestExpression::aggregateParts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    FixedContext ctx;
    QCOMPARE(Expression(text).evaluate(ctx), expected);
}

void TestExpression::unknownTotalPagesPrintsNothing()
{
    FixedContext ctx;
    ctx.total = 0;
    QCOMPARE(Expression(QStringLiteral("共[TOTALPAGES]页")).evaluate(ctx), QStringLiteral("共页"));
}

void TestExpression::longTextsStayLinear()
{
    FixedContext ctx;
    // Ten thousand characters of every awkward kind: open brackets without
    // an end, a field now and then, text between.
    QString odd;
    while (odd.size() < 10000) odd += QStringLiteral("[[[售后[frMain.F_name]]]x[");
    QString expected = odd;
    expected.replace(QStringLiteral("[frMain.F_name]"), QStringLiteral("张三"));
    QCOMPARE(Expression(odd).evaluate(ctx), expected);
    const QString opens(10000, QLatin1Char('['));
    QCOMPARE(Expression(opens).evaluate(ctx), opens);
    QCOMPARE(Expression(opens + QStringLiteral("PAGE#]")).evaluate(ctx), QString(9999, QLatin1Char('[')) + QStringLiteral("3"));
}

void TestExpression::resolvesSomePartsNow()
{
    FixedContext ctx;
    const Expression e(QStringLiteral("[frMain.F_name] 第[PAGE#]页 共[TOTALPAGES]页"));
    QVERIFY(e.uses(ExprPart::TotalPages));
    QVERIFY(!e.isLiteral());
    const Expression later = e.resolvedExcept(ctx, [](const ExprPart &p) { return p.kind == ExprPart::TotalPages; });
    // Everything but the kept part is text now, so a later page and row no longer change it.
    QCOMPARE(later.parts().size(), 3);
    QCOMPARE(later.parts().at(0).text, QStringLiteral("张三 第3页 共"));
    ctx.total = 12;
    ctx.fields.clear();
    QCOMPARE(later.evaluate(ctx), QStringLiteral("张三 第3页 共12页"));
    QVERIFY(Expression(QStringLiteral("[frMain.F_name]")).onlyField());
    QVERIFY(!Expression(QStringLiteral("x[frMain.F_name]")).onlyField());
}

void TestExpression::accumulates()
{
    Accumulator a;
    // Numbers as the engines deliver them: doubles, integers, numeric text
    // (PostgreSQL's numeric), booleans; null and other text are not numbers.
    for (const QVariant &v : {QVariant(10.5), QVariant(-2), QVariant(QStringLiteral("4.5")), QVariant(),
                              QVariant(QStringLiteral("abc")), QVariant(true)})
        a.addRow(v, false);
    QCOMPARE(a.rows, qint64(6));
    QCOMPARE(a.values, qint64(4));
    QCOMPARE(a.text(AggregateFunc::Sum, false, nullptr), QStringLiteral("14"));
    QCOMPARE(a.text(AggregateFunc::Avg, false, nullptr), QStringLiteral("3.5"));
    QCOMPARE(a.text(AggregateFunc::Min, false, nullptr), QStringLiteral("-2"));
    QCOMPARE(a.text(AggregateFunc::Max, false, nullptr), QStringLiteral("10.5"));
    QCOMPARE(a.text(AggregateFunc::Count, true, nullptr), QStringLiteral("6"));
    QCOMPARE(a.text(AggregateFunc::Count, false, nullptr), QStringLiteral("5"));   // "abc" is a value, null is not

    Accumulator none;
    QCOMPARE(none.text(AggregateFunc::Sum, false, nullptr), QStringLiteral("0"));
    QCOMPARE(none.text(AggregateFunc::Avg, false, nullptr), QString());
    QCOMPARE(none.text(AggregateFunc::Min, false, nullptr), QString());
    QCOMPARE(none.text(AggregateFunc::Count, true, nullptr), QStringLiteral("0"));

    // The first value sets the minimum, even when every value is above zero.
    Accumulator positive;
    positive.addRow(5, false);
    positive.addRow(7, false);
    QCOMPARE(positive.text(AggregateFunc::Min, false, nullptr), QStringLiteral("5"));
}

void TestExpression::aggregateNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("decimal noise") << 0.1 + 0.2 << "" << "0.3";
    QTest::newRow("whole") << 1000000.0 << "" << "1000000";
    QTest::newRow("negative") << -12.25 << "" << "-12.25";
    QTest::newRow("tiny negative") << -0.0000001 << "" << "0";
    QTest::newRow("money pattern") << 1234.5 << "￥,0.00" << "￥1,234.50";
    QTest::newRow("quantity pattern") << 3.0 << "0.##" << "3";
}

void TestExpression::aggregateNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    const CellFormat f {FieldKind::Float, pattern, false};
    QCOMPARE(aggregateNumberText(value, pattern.isEmpty() ? nullptr : &f), expected);
}

QTEST_GUILESS_MAIN(TestExpression)
#include "tst_expression.moc"
