// Input method per field: Chinese-input fields keep it, all others lose it.

#include "app/PubUnit.h"
#include "app/SetIme.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>

class TestSetIme : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { PubUnit::ImeName.clear(); }
    void markedFieldsKeepInputMethod();
    void secondCallFollowsChangedMarks();
    void nullWindowIsIgnored() { SetIme(nullptr); }
};

void TestSetIme::markedFieldsKeepInputMethod()
{
    PubUnit::ImeName = QStringLiteral("搜狗拼音");
    QWidget window;
    auto *outer = new QVBoxLayout(&window);
    auto *edtName = new QLineEdit(&window);
    auto *edtCode = new QLineEdit(&window);
    auto *group = new QGroupBox(&window);    // fields nested two levels deep
    auto *inner = new QVBoxLayout(group);
    auto *cbbArea = new QComboBox(group);
    cbbArea->setEditable(true);
    auto *cbbType = new QComboBox(group);
    cbbType->setEditable(true);
    auto *memo = new QTextEdit(group);
    auto *plain = new QPlainTextEdit(group);
    auto *grid = new QTableView(group);
    auto *spin = new QSpinBox(group);
    outer->addWidget(edtName);
    outer->addWidget(edtCode);
    outer->addWidget(group);
    for (QWidget *w : std::initializer_list<QWidget *>{cbbArea, cbbType, memo, plain, grid, spin})
        inner->addWidget(w);

    markChineseInput(edtName);
    markChineseInput(cbbArea);
    markChineseInput(memo);
    QVERIFY(isChineseInput(edtName));
    QVERIFY(!isChineseInput(edtCode));

    const QList<QWidget *> all{edtName, edtCode, cbbArea, cbbArea->lineEdit(), cbbType, cbbType->lineEdit(),
                               memo, plain, grid, spin};
    for (QWidget *w : all) w->setAttribute(Qt::WA_InputMethodEnabled, true);

    SetIme(&window);

    const QList<QWidget *> chinese{edtName, cbbArea, cbbArea->lineEdit(), memo};
    for (QWidget *w : all) {
        const bool keep = chinese.contains(w);
        QVERIFY2(w->testAttribute(Qt::WA_InputMethodEnabled) == keep, w->metaObject()->className());
        QVERIFY2(bool(w->inputMethodHints() & Qt::ImhLatinOnly) == !keep, w->metaObject()->className());
        if (keep) QCOMPARE(w->property("imeName").toString(), QStringLiteral("搜狗拼音"));
    }
}

void TestSetIme::secondCallFollowsChangedMarks()
{
    QWidget window;
    auto *edt = new QLineEdit(&window);
    markChineseInput(edt);
    SetIme(&window);
    QVERIFY(edt->testAttribute(Qt::WA_InputMethodEnabled));
    markChineseInput(edt, false);
    SetIme(&window);
    QVERIFY(!edt->testAttribute(Qt::WA_InputMethodEnabled));
    markChineseInput(edt, true);
    SetIme(&window);
    QVERIFY(edt->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(!(edt->inputMethodHints() & Qt::ImhLatinOnly));
}

QTEST_MAIN(TestSetIme)
#include "tst_setime.moc"
