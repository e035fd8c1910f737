#include "TDLGcodeNewXZ.h"

#include "CodeListSql.h"
#include "TDLGaddText.h"

#include "app/Dialogs.h"
#include "components/DataGrid.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TDLGcodeNewXZ::TDLGcodeNewXZ(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DLGcodeNewXZ"));
    setWindowTitle(QStringLiteral("基础代码选择"));
    resize(380, 420);

    auto *lblCode = new QLabel(QStringLiteral("助 记 码："), this);
    edtcode = FormFields::textBox(this, "edtcode");
    auto *lblName = new QLabel(QStringLiteral("名    称："), this);
    edtname = FormFields::textBox(this, "edtname");
    BitBtn3 = FormFields::button(this, "BitBtn3", QStringLiteral("查询"));

    QryCode = new DataSet(dmData ? &dmData->ADOcnn : nullptr, this);
    QryCode->setObjectName(QStringLiteral("QryCode"));
    // Kept in memory so an added entry can stay in the list as its current
    // row, whatever the search shows; the entry itself is written at once.
    QryCode->setCachedUpdates(true, QStringLiteral("t_code"), QStringLiteral("F_ID"));

    DBGridEh1 = new DataGrid(this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    GridColumn name;
    name.field = QStringLiteral("F_Name");
    name.caption = QStringLiteral("名称");
    name.width = 200;
    GridColumn code;
    code.field = QStringLiteral("F_code");
    code.caption = QStringLiteral("助记码");
    code.width = 100;
    DBGridEh1->setColumns({name, code});
    DBGridEh1->setReadOnly(true);
    DBGridEh1->setFooterVisible(true);
    DBGridEh1->setDataSet(QryCode);

    BitBtn1 = FormFields::button(this, "BitBtn1", QStringLiteral("确定"));
    BitBtn2 = FormFields::button(this, "BitBtn2", QStringLiteral("关闭"));
    Button1 = FormFields::button(this, "Button1", QStringLiteral("新增"));

    auto *topPanel = new QHBoxLayout;
    topPanel->addWidget(lblCode);
    topPanel->addWidget(edtcode, 1);
    topPanel->addWidget(lblName);
    topPanel->addWidget(edtname, 2);
    topPanel->addWidget(BitBtn3);
    auto *bottomPanel = new QHBoxLayout;
    bottomPanel->addWidget(Button1);
    bottomPanel->addStretch(1);
    bottomPanel->addWidget(BitBtn1);
    bottomPanel->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(topPanel);
    layout->addWidget(DBGridEh1, 1);
    layout->addLayout(bottomPanel);

    connect(edtname, &QLineEdit::textChanged, this, &TDLGcodeNewXZ::FilterCodes);
    connect(edtcode, &QLineEdit::textChanged, this, &TDLGcodeNewXZ::FilterCodes);
    connect(BitBtn3, &QPushButton::clicked, this, &TDLGcodeNewXZ::FilterCodes);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, &TDLGcodeNewXZ::Button1Click);
    connect(DBGridEh1, &DataGrid::rowDoubleClicked, this, &QDialog::accept);

    DialogKeys::install(this, nullptr, BitBtn2);
    // Installed after the dialog keys, so Enter in the grid chooses rather than moves on.
    qApp->installEventFilter(this);
}

TDLGcodeNewXZ::~TDLGcodeNewXZ() { qApp->removeEventFilter(this); }

void TDLGcodeNewXZ::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DBGridEh1->setFocus();
}

bool TDLGcodeNewXZ::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *w = qobject_cast<QWidget *>(watched);
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (enter && mods == Qt::NoModifier && w && (w == DBGridEh1 || DBGridEh1->isAncestorOf(w))) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString TDLGcodeNewXZ::PickCode(QComboBox *box)
{
    if (dmData) dmData->OpenSQL(codePickListSql(CodeType), QryCode);
    QString result = box ? box->currentText() : QString();
    CodesAdded = false;
    // Names are compared exactly here: the drop-down's text was picked from this list.
    if (QryCode->isActive() && !QryCode->isEmpty()) {
        QryCode->first();
        if (!QryCode->locate(QStringLiteral("F_name"), result, false)) QryCode->first();
    }

    const bool chosen = Dialogs::current().execDialog(*this) == QDialog::Accepted;
    if (chosen) {
        result = QryCode->isActive() && !QryCode->isEmpty() ? QryCode->fieldByName(QStringLiteral("F_name")).asString()
                                                            : QString();
        if (box) {
            if (CodesAdded && dmData) dmData->FillItems(codeFillSql(CodeType), box);
            TdmData::SelectItem(result, box);
        }
        return result;
    }
    if (box && CodesAdded && dmData) {
        // The new entries are offered from now on; the text the operator had stays.
        const QString text = box->currentText();
        dmData->FillItems(codeFillSql(CodeType), box);
        const int i = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (i >= 0) box->setCurrentIndex(i);
        else if (box->isEditable()) box->setEditText(text);
        else TdmData::SelectItem(text, box);
    }
    return QString();
}

void TDLGcodeNewXZ::FilterCodes()
{
    if (dmData) dmData->OpenSQL(codePickFilterSql(CodeType, edtname->text()), QryCode);
}

void TDLGcodeNewXZ::Button1Click()
{
    TDLGaddText dlg(this);
    QString name;
    if (!dlg.AskText(&name)) return;
    if (!dmData || !dmData->RunSQL(codeInsertSql(name, CodeType))) return;
    CodesAdded = true;
    if (QryCode->isActive()) {
        QryCode->appendRecord();
        QryCode->setFieldValue(QStringLiteral("F_name"), name);
        QryCode->setFieldValue(QStringLiteral("F_type"), CodeType);
    }
    DBGridEh1->setFocus();
}
