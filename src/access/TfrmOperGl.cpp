#include "TfrmOperGl.h"

#include "OperatorSql.h"
#include "TFrmLimitGl.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "components/DataGrid.h"
#include "components/FormFields.h"
#include "data/TdmData.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

TfrmOperGl::TfrmOperGl(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOperGl"));
    setWindowTitle(QStringLiteral("操作员权限管理"));
    resize(520, 380);

    QryTable = new DataSet(dmData ? &dmData->ADOcnn : nullptr, this);
    QryTable->setObjectName(QStringLiteral("QryTable"));

    DBGridEh1 = new DataGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    GridColumn name;
    name.field = QStringLiteral("F_Name");
    name.caption = QStringLiteral("操作员");
    name.width = 180;
    DBGridEh1->setColumns({name});
    DBGridEh1->setReadOnly(true);
    DBGridEh1->setDataSet(QryTable);

    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setReadOnly(true);
    DBCheckBox1 = new QCheckBox(QStringLiteral("只看到自己的客户"), this);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    // Shows the row; a click does not change it.
    DBCheckBox1->setAttribute(Qt::WA_TransparentForMouseEvents);
    DBCheckBox1->setFocusPolicy(Qt::NoFocus);
    CheckBox1 = new QCheckBox(QStringLiteral("显示禁用操作员"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

    Button1 = FormFields::button(this, "Button1", QStringLiteral("新增"));
    Button2 = FormFields::button(this, "Button2", QStringLiteral("修改"));
    Button3 = FormFields::button(this, "Button3", QStringLiteral("删除"));
    Button4 = FormFields::button(this, "Button4", QStringLiteral("关闭"));

    auto *side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("其他描述"), this));
    side->addWidget(DBMemo1, 1);
    side->addWidget(DBCheckBox1);
    side->addWidget(CheckBox1);
    auto *top = new QHBoxLayout;
    top->addWidget(DBGridEh1, 1);
    top->addLayout(side, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {Button1, Button2, Button3, Button4}) buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(CheckBox1, &QCheckBox::clicked, this, [this] { LoadList(); });
    connect(Button1, &QPushButton::clicked, this, &TfrmOperGl::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmOperGl::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmOperGl::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGridEh1, &DataGrid::rowDoubleClicked, this, &TfrmOperGl::Button2Click);
    connect(QryTable, &DataSet::currentRowChanged, this, &TfrmOperGl::showCurrent);
    connect(QryTable, &DataSet::opened, this, &TfrmOperGl::showCurrent);

    // The list window's keys.
    auto key = [this](const QKeySequence &seq, void (TfrmOperGl::*slot)()) {
        auto *s = new QShortcut(seq, this);
        connect(s, &QShortcut::activated, this, slot);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_A), &TfrmOperGl::Button1Click);
    key(QKeySequence(Qt::CTRL | Qt::Key_E), &TfrmOperGl::Button2Click);
    key(QKeySequence(Qt::Key_Delete), &TfrmOperGl::Button3Click);
}

void TfrmOperGl::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    LoadList();
}

void TfrmOperGl::LoadList(const QString &name)
{
    if (!dmData) return;
    dmData->OpenSQL(operListSql(CheckBox1->isChecked()), QryTable);
    if (!name.isEmpty()) QryTable->locate(QStringLiteral("F_Name"), name);
    showCurrent();
}

void TfrmOperGl::showCurrent()
{
    const bool row = QryTable->isActive() && !QryTable->isEmpty() && QryTable->recNo() >= 0;
    DBMemo1->setPlainText(row ? QryTable->fieldByName(QStringLiteral("F_Mem")).asString() : QString());
    DBCheckBox1->setChecked(row && QryTable->fieldByName(QStringLiteral("F_xtFlag")).asBoolean());
}

void TfrmOperGl::Button1Click()
{
    TFrmLimitGl editor(TFrmLimitGl::NewMode, QryTable, [this](const QString &n) { LoadList(n); }, this);
    editor.OpenEditor();
}

void TfrmOperGl::Button2Click()
{
    if (!QryTable->isActive() || QryTable->isEmpty()) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), 3);
        return;
    }
    if (isDefaultOperator(QryTable->fieldByName(QStringLiteral("F_Name")).asString())) {
        ShowMess(QStringLiteral("此用户为系统默认用户，不能修改和编辑！"), 3);
        return;
    }
    TFrmLimitGl editor(TFrmLimitGl::EditMode, QryTable, [this](const QString &n) { LoadList(n); }, this);
    editor.OpenEditor();
}

void TfrmOperGl::Button3Click()
{
    // An empty list has no operator to ask about.
    if (!dmData || !QryTable->isActive() || QryTable->isEmpty()) return;
    const QString name = QryTable->fieldByName(QStringLiteral("F_Name")).asString();
    if (isDefaultOperator(name)) {
        ShowMess(QStringLiteral("此用户为系统默认用户，不能删除！"), 3);
        return;
    }
    if (ShowMess(deleteOperatorQuestion(name), 1, Mess::No) != Mess::Yes) return;
    const int row = QryTable->recNo();
    if (!dmData->DeleteByID(QStringLiteral("OperList"), QryTable->fieldByName(QStringLiteral("F_ID")).value().toLongLong()))
        return;
    LoadList();
    if (!QryTable->isEmpty()) QryTable->setRecNo(qMin(row, QryTable->recordCount() - 1));
}
