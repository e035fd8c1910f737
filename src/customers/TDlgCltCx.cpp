#include "TDlgCltCx.h"

#include "CustomerListSql.h"

#include "app/Dialogs.h"
#include "app/SetIme.h"
#include "components/CheckedDateEdit.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"
#include "data/TdmData.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace FormFields;

namespace {

DateRangeFilter rangeOf(const QCheckBox *on, const CheckedDateEdit *from, const CheckedDateEdit *to)
{
    return {on->isChecked(), from->isChecked(), from->date(), to->isChecked(), to->date()};
}

} // namespace

TDlgCltCx::TDlgCltCx(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgCltCx"));
    setWindowTitle(QStringLiteral("客户查询对话框"));
    setModal(true);

    GroupBox1 = named(new QGroupBox(this), "GroupBox1");
    edtName = textBox(GroupBox1, "edtName", true);
    edtJScode = textBox(GroupBox1, "edtJScode");
    edtJScode->setFocusPolicy(Qt::ClickFocus);
    edtBuyAddress = textBox(GroupBox1, "edtBuyAddress", true);
    edtphone = textBox(GroupBox1, "edtphone");
    edthandphone = textBox(GroupBox1, "edthandphone");
    cbbType = codeBox(GroupBox1, "cbbType");
    cbbKDcode = codeBox(GroupBox1, "cbbKDcode");
    cbbXingHao = codeBox(GroupBox1, "cbbXingHao");
    cbbArea = codeBox(GroupBox1, "cbbArea");
    cbbSetupDept = codeBox(GroupBox1, "cbbSetupDept");
    edtKPcode = textBox(GroupBox1, "edtKPcode");
    // The bill number is not a condition here; greyed so nobody types one
    // and takes an unfiltered list for a match.
    edtKPcode->setEnabled(false);
    cbbMaker = codeBox(GroupBox1, "cbbMaker");
    Mem = memoBox(GroupBox1, "Mem", 56, false);
    RadioGroup1 = radioRow(GroupBox1, "RadioGroup1",
                           {QStringLiteral("全    部"), QStringLiteral("正在使用"), QStringLiteral("不再使用")},
                           AdvancedQuery::InUse, &RadioGroup1Items);
    RadioGroup2 = radioRow(GroupBox1, "RadioGroup2",
                           {QStringLiteral("全    部"), QStringLiteral("未收款"), QStringLiteral("已收款")},
                           AdvancedQuery::Unpaid, &RadioGroup2Items);

    auto *upper = new QGridLayout(GroupBox1);
    auto put = [&](int row, int col, const QString &label, QWidget *w, int span = 1) {
        upper->addWidget(new QLabel(label, GroupBox1), row, col * 2);
        upper->addWidget(w, row, col * 2 + 1, 1, span);
    };
    put(0, 0, QStringLiteral("用户名称："), edtName);
    put(0, 1, QStringLiteral("机身编码："), edtJScode);
    put(1, 0, QStringLiteral("地    址："), edtBuyAddress, 3);
    put(2, 0, QStringLiteral("固定电话："), edtphone);
    put(2, 1, QStringLiteral("手    机："), edthandphone);
    put(3, 0, QStringLiteral("类    别："), cbbType);
    put(3, 1, QStringLiteral("开单批号："), cbbKDcode);
    put(4, 0, QStringLiteral("型    号："), cbbXingHao);
    put(4, 1, QStringLiteral("购买地点："), cbbArea);
    put(5, 0, QStringLiteral("安 装 部："), cbbSetupDept);
    put(5, 1, QStringLiteral("票 据 号："), edtKPcode);
    put(6, 0, QStringLiteral("业 务 员："), cbbMaker);
    put(7, 0, QStringLiteral("备注信息："), Mem, 3);
    upper->addWidget(RadioGroup1, 8, 0, 1, 2);
    upper->addWidget(RadioGroup2, 8, 2, 1, 2);
    upper->setColumnStretch(1, 1);
    upper->setColumnStretch(3, 1);

    // Each range starts at this month's first day and ends today, both
    // bounds ticked, the range itself off.
    const QDate today = QDate::currentDate();
    const QDate monthStart(today.year(), today.month(), 1);
    GroupBox2 = named(new QGroupBox(this), "GroupBox2");
    auto *lower = new QGridLayout(GroupBox2);
    auto range = [&](int row, QCheckBox *&box, const char *boxName, const QString &text, CheckedDateEdit *&from,
                     const char *fromName, CheckedDateEdit *&to, const char *toName) {
        box = named(new QCheckBox(text, GroupBox2), boxName);
        from = dateBox(GroupBox2, fromName);
        to = dateBox(GroupBox2, toName);
        for (CheckedDateEdit *picker : {from, to}) {
            picker->setChecked(true);
            picker->setEnabled(false);
            connect(box, &QCheckBox::toggled, picker, &QWidget::setEnabled);
        }
        from->setDate(monthStart);
        to->setDate(today);
        lower->addWidget(box, row, 0);
        lower->addWidget(from, row, 1);
        lower->addWidget(new QLabel(QStringLiteral("至"), GroupBox2), row, 2);
        lower->addWidget(to, row, 3);
    };
    range(0, CheckBox1, "CheckBox1", QStringLiteral("购买日期：自"), dtpfromDate, "dtpfromDate", dtptoDate, "dtptoDate");
    range(1, CheckBox2, "CheckBox2", QStringLiteral("预约安装时间：自"), dtpfromDate1, "dtpfromDate1", dtptoDate1,
          "dtptoDate1");
    range(2, CheckBox3, "CheckBox3", QStringLiteral("重约安装时间：自"), dtpfromDate2, "dtpfromDate2", dtptoDate2,
          "dtptoDate2");
    lower->setColumnStretch(1, 1);
    lower->setColumnStretch(3, 1);

    Button1 = button(this, "Button1", QStringLiteral("查询(&P)"));
    Button2 = button(this, "Button2", QStringLiteral("关闭(&C)"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    setMinimumWidth(560);

    QList<QWidget *> order {edtName, edtJScode, edtBuyAddress, edtphone, edthandphone, cbbType, cbbKDcode,
                            cbbXingHao, cbbArea, cbbSetupDept, edtKPcode, cbbMaker, Mem};
    for (QButtonGroup *group : {RadioGroup1Items, RadioGroup2Items})
        for (QAbstractButton *b : group->buttons()) order << b;
    order << CheckBox1 << dtpfromDate << dtptoDate << CheckBox2 << dtpfromDate1 << dtptoDate1 << CheckBox3
          << dtpfromDate2 << dtptoDate2 << Button1 << Button2;
    for (int i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

    DialogKeys::install(this, Button1, Button2);
}

void TDlgCltCx::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TDlgCltCx::FormShow()
{
    SetIme(this);
    edtName->setFocus();
}

void TDlgCltCx::fillDropDowns()
{
    if (!dmData) return;
    const std::pair<QComboBox *, const char *> boxes[] = {
        {cbbType, "type"}, {cbbKDcode, "kdcode"}, {cbbXingHao, "xinghao"},
        {cbbArea, "area"}, {cbbSetupDept, "setupdept"}, {cbbMaker, "maker"},
    };
    for (const auto &[box, type] : boxes) dmData->FillItems(codeValuesSql(QLatin1String(type)), box);
}

QString TDlgCltCx::AskQuery()
{
    fillDropDowns();
    if (Dialogs::current().execDialog(*this) != QDialog::Accepted) return {};
    return advancedQuerySql(query());
}

AdvancedQuery TDlgCltCx::query() const
{
    AdvancedQuery q;
    q.name = edtName->text();
    q.bodyCode = edtJScode->text();
    q.buyAddress = edtBuyAddress->text();
    q.phone = edtphone->text();
    q.handPhone = edthandphone->text();
    q.type = cbbType->currentText();
    q.kdCode = cbbKDcode->currentText();
    q.xingHao = cbbXingHao->currentText();
    q.area = cbbArea->currentText();
    q.setupDept = cbbSetupDept->currentText();
    q.maker = cbbMaker->currentText();
    q.memo = Mem->toPlainText();
    q.useState = RadioGroup1Items->checkedId();
    q.paidState = RadioGroup2Items->checkedId();
    q.buyDate = rangeOf(CheckBox1, dtpfromDate, dtptoDate);
    q.setupDate = rangeOf(CheckBox2, dtpfromDate1, dtptoDate1);
    q.setupDate1 = rangeOf(CheckBox3, dtpfromDate2, dtptoDate2);
    return q;
}
