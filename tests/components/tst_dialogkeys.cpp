// The keys of every entry dialog: Enter moves to the next field (also out
// of a date box, which would keep Tab for its own sections), a memo keeps
// Enter, Enter on a focused button presses it, Ctrl+S saves and Esc cancels.
#include "components/DialogKeys.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

class TstDialogKeys : public QObject {
    Q_OBJECT
private slots:
    void keys()
    {
        QDialog dialog;
        auto *layout = new QVBoxLayout(&dialog);
        auto *first = new QLineEdit(&dialog);
        auto *date = new QDateEdit(QDate(2024, 3, 5), &dialog);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        auto *second = new QLineEdit(&dialog);
        auto *memo = new QPlainTextEdit(&dialog);
        auto *save = new QPushButton(QStringLiteral("确定"), &dialog);
        auto *cancel = new QPushButton(QStringLiteral("取消"), &dialog);
        for (QWidget *w : std::initializer_list<QWidget *>{first, date, second, memo, save, cancel}) layout->addWidget(w);
        int saved = 0, cancelled = 0;
        connect(save, &QPushButton::clicked, [&saved] { ++saved; });
        connect(cancel, &QPushButton::clicked, [&cancelled] { ++cancelled; });
        DialogKeys::install(&dialog, save, cancel);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        first->setFocus();
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), date);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), second);
        QCOMPARE(date->date(), QDate(2024, 3, 5));
        QTest::keyClick(second, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), memo);
        QTest::keyClicks(memo, QStringLiteral("a"));
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("b"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("a\nb"));
        QCOMPARE(QApplication::focusWidget(), memo);

        QTest::keyClick(memo, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(first, Qt::Key_Escape);
        QCOMPARE(saved, 1);
        QCOMPARE(cancelled, 1);

        // Enter on a button reached with Tab presses it, even one that is not
        // the default; on a tick box it moves on.
        auto *tick = new QCheckBox(QStringLiteral("连续新增"), &dialog);
        layout->insertWidget(4, tick);
        QWidget::setTabOrder(memo, tick);
        QWidget::setTabOrder(tick, save);
        save->setAutoDefault(false);
        cancel->setAutoDefault(false);
        tick->show();
        tick->setFocus();
        QCOMPARE(QApplication::focusWidget(), tick);
        QTest::keyClick(tick, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), save);
        QVERIFY(!tick->isChecked());
        QTest::keyClick(save, Qt::Key_Return);
        QCOMPARE(saved, 2);
        QCOMPARE(QApplication::focusWidget(), save);
        QCOMPARE(cancelled, 1);
    }
};

QTEST_MAIN(TstDialogKeys)
#include "tst_dialogkeys.moc"
