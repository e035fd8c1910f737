#include "TFrmLimitGl.h"

#include "FieldLimit.h"
#include "OperatorSql.h"
#include "OperatorStore.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/SetIme.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"
#include "data/TdmData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kSaveFailed = QStringLiteral("保存失败，请检测数据库连接！");
} // namespace

TFrmLimitGl::TFrmLimitGl(Mode mode, DataSet *list, std::function<void(const QString &)> saved, QWidget *parent)
    : QDialog(parent), m_mode(mode), m_list(list), m_saved(std::move(saved))
{
    setObjectName(QStringLiteral("FrmLimitGl"));
    setWindowTitle(QStringLiteral("操作员"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);

    cbbName = FormFields::codeBox(this, "cbbName", true);
    edtPassWord = FormFields::textBox(this, "edtPassWord");
    edtPassWord->setEchoMode(QLineEdit::Password);
    edtRepPass = FormFields::textBox(this, "edtRepPass");
    edtRepPass->setEchoMode(QLineEdit::Password);
    Mem1 = FormFields::memoBox(this, "Mem1", 60);
    clbOperLimt = new QListWidget(this);
    clbOperLimt->setObjectName(QStringLiteral("clbOperLimt"));
    // Two columns, filled row by row.
    clbOperLimt->setFlow(QListView::LeftToRight);
    clbOperLimt->setWrapping(true);
    clbOperLimt->setResizeMode(QListView::Adjust);
    clbOperLimt->setUniformItemSizes(true);
    clbOperLimt->setMinimumHeight(260);
    cbXtFlag = new QCheckBox(QStringLiteral("只看到自己的客户"), this);
    cbXtFlag->setObjectName(QStringLiteral("cbXtFlag"));
    CheckBox1 = new QCheckBox(QStringLiteral("用户禁用"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    BitBtn1 = FormFields::button(this, "BitBtn1", QStringLiteral("保存"));
    BitBtn2 = FormFields::button(this, "BitBtn2", QStringLiteral("关闭"));
    Button1 = FormFields::button(this, "Button1", QStringLiteral("全选"));
    Button2 = FormFields::button(this, "Button2", QStringLiteral("清除"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("用户名称："), cbbName);
    form->addRow(QStringLiteral("初始密码："), edtPassWord);
    form->addRow(QStringLiteral("密码确认："), edtRepPass);
    form->addRow(QStringLiteral("详细描述："), Mem1);
    auto *flags = new QHBoxLayout;
    flags->addWidget(cbXtFlag);
    flags->addWidget(CheckBox1);
    flags->addStretch();
    form->addRow(QString(), flags);
    form->addRow(QStringLiteral("权限属性："), clbOperLimt);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(520, 560);

    cbbName->installEventFilter(this);
    clbOperLimt->viewport()->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, &TFrmLimitGl::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, [this] { setAllRights(true); });
    connect(Button2, &QPushButton::clicked, this, [this] { setAllRights(false); });
    DialogKeys::install(this, BitBtn1, BitBtn2);
}

bool TFrmLimitGl::eventFilter(QObject *watched, QEvent *event)
{
    // Two columns whatever the width: each cell is half the list.
    if (watched == clbOperLimt->viewport() && event->type() == QEvent::Resize) {
        const int column = qMax(60, (clbOperLimt->viewport()->width() - 2) / 2);
        clbOperLimt->setGridSize(QSize(column, clbOperLimt->fontMetrics().height() + 8));
    }
    // The names offered come from the operator-name code list, read on entering the box.
    if (watched == cbbName && event->type() == QEvent::FocusIn && dmData) {
        const QString typed = cbbName->currentText();
        dmData->FillItems(QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = 'opername' "),
                          cbbName);
        cbbName->setEditText(typed);
    }
    return QDialog::eventFilter(watched, event);
}


int TFrmLimitGl::OpenEditor()
{
    LoadRights();
    LoadFields();
    SetIme(this);
    cbbName->setFocus();
    return Dialogs::current().execDialog(*this);
}

void TFrmLimitGl::LoadRights()
{
    clbOperLimt->clear();
    if (!dmData || !dmData->OpenSQL(offeredRightsSql(), dmData->QryPub)) return;
    DataSet *q = dmData->QryPub;
    for (q->first(); !q->eof(); q->next()) {
        auto *item = new QListWidgetItem(q->fieldByName(QStringLiteral("F_name")).asString(), clbOperLimt);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    q->close();
}

void TFrmLimitGl::clearFields()
{
    cbbName->setEditText(QString());
    edtPassWord->clear();
    edtRepPass->clear();
    Mem1->clear();
    cbXtFlag->setChecked(false);
    CheckBox1->setChecked(false);
    setAllRights(false);
}

void TFrmLimitGl::LoadFields()
{
    clearFields();
    m_editedId.reset();
    if (m_mode != EditMode || !m_list || !m_list->isActive() || m_list->isEmpty()) return;
    m_editedId = m_list->fieldByName(QStringLiteral("F_ID")).value().toLongLong();
    const QString name = m_list->fieldByName(QStringLiteral("F_Name")).asString();
    cbbName->setEditText(name);
    const QString clear = GetPass(m_list->fieldByName(QStringLiteral("F_PassWord")).asString());
    edtPassWord->setText(clear);
    edtRepPass->setText(clear);
    cbXtFlag->setChecked(m_list->fieldByName(QStringLiteral("F_xtFlag")).asBoolean());
    // The list counts a missing flag as disabled; the box says the same.
    const Field flag = m_list->fieldByName(QStringLiteral("F_Flag"));
    CheckBox1->setChecked(flag.isNull() || flag.asBoolean());
    Mem1->setPlainText(m_list->fieldByName(QStringLiteral("F_Mem")).asString());

    if (!dmData || !dmData->OpenSQL(operLimitSql(name.trimmed()), dmData->QryPub)) return;
    QStringList held;
    DataSet *q = dmData->QryPub;
    for (q->first(); !q->eof(); q->next()) held << q->fieldByName(QStringLiteral("F_lmtName")).asString();
    q->close();
    for (int i = 0; i < clbOperLimt->count(); ++i) {
        QListWidgetItem *item = clbOperLimt->item(i);
        if (held.contains(item->text())) item->setCheckState(Qt::Checked);
    }
}

void TFrmLimitGl::setAllRights(bool ticked)
{
    for (int i = 0; i < clbOperLimt->count(); ++i)
        clbOperLimt->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

QStringList TFrmLimitGl::tickedRights() const
{
    QStringList rights;
    for (int i = 0; i < clbOperLimt->count(); ++i)
        if (clbOperLimt->item(i)->checkState() == Qt::Checked) rights << clbOperLimt->item(i)->text();
    return rights;
}

bool TFrmLimitGl::gather(OperatorRecord *r)
{
    // A NUL cannot be stored; dropped here so every check sees the stored name.
    r->name = cbbName->currentText().remove(QChar(u'\0')).trimmed();
    if (r->name.isEmpty()) {
        ShowMess(QStringLiteral("操作员名称不能为空！"), 0);
        cbbName->setFocus();
        return false;
    }
    const int limit = operatorNameLimit();
    if (r->name.size() > limit) {
        ShowMess(tooLongMessage(QStringLiteral("用户名称"), limit, int(r->name.size())), 0);
        cbbName->setFocus();
        return false;
    }
    if (edtPassWord->text() != edtRepPass->text()) {
        ShowMess(QStringLiteral("验正码不正确，请重新确认输入！"), 0);
        edtRepPass->setFocus();
        return false;
    }
    // A longer password would be cut when coded, and the typed one would no longer log in.
    if (edtPassWord->text().toUtf8().size() > MaxClearPasswordBytes) {
        ShowMess(QStringLiteral("密码太长：最多 %1 个字节（一个汉字占 3 个），请重新输入！").arg(MaxClearPasswordBytes), 0);
        edtPassWord->setFocus();
        return false;
    }
    const int found = dmData->GetIntValue(operatorIdSql(r->name));
    if (found > 0 && (m_mode == NewMode || found != m_editedId.value_or(-1))) {
        ShowMess(QStringLiteral("操作员名称重复，请重新输入！"), 0);
        cbbName->setFocus();
        return false;
    }
    r->password = edtPassWord->text();
    r->mem = Mem1->toPlainText();
    r->disabled = CheckBox1->isChecked();
    r->ownClientsOnly = cbXtFlag->isChecked();
    r->rights = tickedRights();
    return true;
}

void TFrmLimitGl::BitBtn1Click()
{
    if (!dmData) return;
    OperatorRecord record;
    if (!gather(&record)) return;
    OperatorStore store(*dmData);
    if (!store.save(record, m_mode == EditMode ? m_editedId : std::nullopt)) {
        qWarning("operator save failed: %s", qPrintable(store.lastError()));
        ShowMess(kSaveFailed, 3);
        return;
    }
    if (m_saved) m_saved(record.name);
    if (m_mode == NewMode) {
        clearFields();
        cbbName->setFocus();
        return;
    }
    accept();
}
