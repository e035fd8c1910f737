#include "TfrmServiceEdit.h"

#include "ServiceEditSql.h"
#include "ServiceStore.h"
#include "TDLGcltrecXZ.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/SetIme.h"
#include "components/CustomerListHost.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"
#include "components/RecordNavigator.h"
#include "customers/TDLGcodeNewXZ.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "reportengine/ReportPrint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace FormFields;

namespace {

const QString kSaveFailed = QStringLiteral("保存失败，请检测数据库连接！");
const QColor kLockedCustomer(163, 149, 242);
const QColor kAqua(0, 255, 255);

void setBase(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    w->setPalette(p);
}

} // namespace

TfrmServiceEdit::TfrmServiceEdit(ServiceKind kind, CustomerListHost *host, QWidget *parent)
    : QDialog(parent), Kind(kind), m_host(host)
{
    static const char *const forms[] = {"frmWXrecEdit", "frmHFrecEdit", "frmTSrecEdit"};
    setObjectName(QString::fromLatin1(forms[int(kind)]));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::MSWindowsFixedSizeDialogHint);

    GroupBox1 = named(new QGroupBox(this), "GroupBox1");
    m_grid = new QGridLayout(GroupBox1);
    m_grid->setHorizontalSpacing(6);
    m_grid->setVerticalSpacing(4);
    edtCLTcode = textBox(GroupBox1, "edtCLTcode");
    sbCLTcode = pickerButton(GroupBox1, "sbCLTcode");
    sbCLTcode->setText(QStringLiteral("..."));
    auto *codeCell = new QWidget(GroupBox1);
    auto *codeLayout = new QHBoxLayout(codeCell);
    codeLayout->setContentsMargins(0, 0, 0, 0);
    codeLayout->setSpacing(2);
    auto *star = new QLabel(QStringLiteral("*"), codeCell);
    star->setStyleSheet(QStringLiteral("color: blue;"));
    codeLayout->addWidget(edtCLTcode, 1);
    codeLayout->addWidget(sbCLTcode);
    codeLayout->addWidget(star);
    addField(QStringLiteral("ID    码："), codeCell, edtCLTcode);
    edtCLTname = textBox(GroupBox1, "edtCLTname", true);
    edtCLTname->setReadOnly(true);
    edtCLTname->setFocusPolicy(Qt::NoFocus);
    setBase(edtCLTname, kAqua);
    addField(QStringLiteral("用户名称："), edtCLTname, nullptr);

    GroupBox2 = named(new QGroupBox(this), "GroupBox2");
    auto *lower = new QHBoxLayout(GroupBox2);
    CheckBox1 = named(new QCheckBox(QStringLiteral("连续新增"), GroupBox2), "CheckBox1");
    CheckBox1->setFocusPolicy(Qt::ClickFocus);
    DBNavigator1 = named(new RecordNavigator(GroupBox2), "DBNavigator1");
    Button1 = button(GroupBox2, "Button1", QStringLiteral("确定"));
    Button2 = button(GroupBox2, "Button2", QStringLiteral("取消"));
    lower->addWidget(CheckBox1);
    lower->addWidget(DBNavigator1);
    lower->addStretch();
    lower->addWidget(Button1);
    lower->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);

    connect(Button1, &QPushButton::clicked, this, &TfrmServiceEdit::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(sbCLTcode, &QToolButton::clicked, this, &TfrmServiceEdit::sbCLTcodeClick);
    connect(edtCLTcode, &QLineEdit::editingFinished, this, &TfrmServiceEdit::edtCLTcodeExit);
    // Moving through the list drops what was typed and shows the row moved to.
    connect(DBNavigator1, &RecordNavigator::moved, this, [this] { LoadFields(true); });
    DialogKeys::install(this, Button1, Button2);
}

// Fields go two to a row, in entry order; a wide one takes a row of its own.
void TfrmServiceEdit::addField(const QString &label, QWidget *field, QWidget *entry, bool wide)
{
    if (wide && m_col != 0) {
        ++m_row;
        m_col = 0;
    }
    auto *l = new QLabel(label, GroupBox1);
    l->setAlignment(Qt::AlignRight | (wide ? Qt::AlignTop : Qt::AlignVCenter));
    m_grid->addWidget(l, m_row, m_col * 2);
    m_grid->addWidget(field, m_row, m_col * 2 + 1, 1, wide ? 3 : 1);
    if (wide || ++m_col == 2) {
        ++m_row;
        m_col = 0;
    }
    if (entry) m_order << entry;
}

void TfrmServiceEdit::finishFields()
{
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnStretch(3, 1);
    QList<QWidget *> order = m_order;
    if (bPrint) order << bPrint;
    order << Button1 << Button2;
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

QWidget *TfrmServiceEdit::withPicker(QComboBox *box, QToolButton *button, const QString &codeType,
                                     const QString &caption)
{
    connect(button, &QToolButton::clicked, this, [this, box, codeType, caption] {
        TDLGcodeNewXZ picker(this);
        picker.CodeType = codeType;
        picker.setWindowTitle(caption);
        picker.PickCode(box);
    });
    return withButton(GroupBox1, box, button);
}

void TfrmServiceEdit::addPrintButton()
{
    bPrint = button(GroupBox2, "bPrint", QStringLiteral("单据打印"));
    static_cast<QHBoxLayout *>(GroupBox2->layout())->insertWidget(3, bPrint);
    connect(bPrint, &QPushButton::clicked, this, &TfrmServiceEdit::bPrintClick);
}

// --- opening ------------------------------------------------------------------------

void TfrmServiceEdit::SetFromMain(bool fromMain)
{
    FromMain = fromMain && m_host;
    if (!FromMain) return;
    CheckBox1->hide();
    DBNavigator1->hide();
    LoadFields(false);
}

void TfrmServiceEdit::setSourceList(DataSet *list, std::function<void(qint64)> saved)
{
    m_list = list;
    m_saved = std::move(saved);
}

DataSet *TfrmServiceEdit::sourceList() const
{
    if (FromMain) return m_host->detailList(detailTab(Kind));
    return m_list;
}

void TfrmServiceEdit::OpenEditor(int mode)
{
    prepare(mode);
    Dialogs::current().execDialog(*this);
}

void TfrmServiceEdit::prepare(int mode)
{
    ApplyMode(mode);
    if (dmData) fillDropDowns();
    LoadFields(mode == EditMode);
    if (bPrint) bPrint->setVisible(IsEdit && FromMain);
}

void TfrmServiceEdit::ApplyMode(int mode)
{
    IsEdit = mode == EditMode;
    CheckBox1->setVisible(!IsEdit);
    DBNavigator1->setDataSet(sourceList());
    DBNavigator1->setVisible(IsEdit);
    setWindowTitle(QString::fromUtf8(serviceKindData(Kind).title)
                   + (IsEdit ? QStringLiteral(" - 修改") : QStringLiteral(" - 新增")));
}

void TfrmServiceEdit::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmServiceEdit::FormShow()
{
    SetIme(this);
}

// --- fields -------------------------------------------------------------------------

void TfrmServiceEdit::LoadFields(bool edit)
{
    const DataSet *row = sourceList();
    if (edit) {
        if (!row || !row->isActive() || row->isEmpty()) return;
        CustomerId = row->fieldByName(QStringLiteral("F_mainID")).asInteger();
        edtCLTcode->setText(row->fieldByName(QStringLiteral("F_CLTcode")).asString());
        edtCLTname->setText(row->fieldByName(QStringLiteral("F_CLTname")).asString());
        loadRow(*row);
        return;
    }
    const DataSet *customers = FromMain ? m_host->customerList() : nullptr;
    if (customers && customers->isActive() && !customers->isEmpty()) {
        CustomerId = customers->fieldByName(QStringLiteral("F_ID")).asInteger();
        edtCLTcode->setText(customers->fieldByName(QStringLiteral("F_code")).asString());
        edtCLTname->setText(customers->fieldByName(QStringLiteral("F_name")).asString());
    } else {
        CustomerId = 0;
        edtCLTcode->clear();
        edtCLTname->clear();
    }
    if (FromMain) {
        sbCLTcode->hide();
        edtCLTcode->setReadOnly(true);
        edtCLTcode->setFocusPolicy(Qt::NoFocus);
        setBase(edtCLTcode, kLockedCustomer);
    }
    clearFields();
}

QDate TfrmServiceEdit::storedDate(const DataSet &row, const char *field)
{
    const QString t = DataSet::displayText(row.fieldByName(QString::fromLatin1(field)).value(), FieldKind::DateTime);
    const QDate d = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? d : QDate::currentDate();
}

QTime TfrmServiceEdit::storedTime(const DataSet &row, const char *field)
{
    const QString t = DataSet::displayText(row.fieldByName(QString::fromLatin1(field)).value(), FieldKind::DateTime);
    const QTime time = QTime::fromString(t.mid(11, 8), QStringLiteral("hh:mm:ss"));
    return time.isValid() ? time : QTime(0, 0);
}

QString TfrmServiceEdit::text(const DataSet &row, const char *field)
{
    return row.fieldByName(QString::fromLatin1(field)).asString();
}

ServiceRecord TfrmServiceEdit::record() const
{
    ServiceRecord r;
    r.customerId = CustomerId;
    r.cltCode = edtCLTcode->text();
    r.cltName = edtCLTname->text();
    gather(r);
    return r;
}

// --- commands -----------------------------------------------------------------------

// A code typed in place of a pick names its customer: a known code brings
// its id and name, an unknown one leaves no customer, so a record can never
// carry one customer's code and belong to another.
void TfrmServiceEdit::edtCLTcodeExit()
{
    if (FromMain || !dmData) return;
    DataSet found(&dmData->ADOcnn);
    const QString code = edtCLTcode->text();
    if (!code.trimmed().isEmpty() && dmData->OpenSQL(customerByCodeSql(code), &found) && !found.isEmpty()) {
        CustomerId = found.fieldByName(QStringLiteral("F_ID")).asInteger();
        edtCLTname->setText(found.fieldByName(QStringLiteral("F_name")).asString());
        return;
    }
    CustomerId = 0;
    edtCLTname->clear();
}

void TfrmServiceEdit::sbCLTcodeClick()
{
    if (const std::optional<PickedCustomer> picked = PickCustomer(this)) {
        CustomerId = picked->id;
        edtCLTcode->setText(picked->code);
        edtCLTname->setText(picked->name);
    }
}

void TfrmServiceEdit::Button1Click()
{
    if (!dmData) return;
    std::optional<qint64> editedId;
    if (IsEdit) {
        const DataSet *list = sourceList();
        if (!list || !list->isActive() || list->isEmpty()) return;
        editedId = list->fieldByName(QStringLiteral("F_ID")).asInteger();
    }
    if (edtCLTname->text().trimmed().isEmpty()) {
        ShowMess(QString::fromUtf8(serviceKindData(Kind).emptyName), 0);
        edtCLTname->setFocus();
        return;
    }
    ServiceStore store(*dmData);
    qint64 savedId = 0;
    if (!store.save(Kind, record(), editedId, &savedId)) {
        qWarning("service record save failed: %s", qPrintable(store.lastError()));
        ShowMess(kSaveFailed, 3);
        return;
    }
    positionAfterSave(savedId);

    if (!IsEdit && CheckBox1->isChecked()) {
        LoadFields(false);
        edtCLTcode->setFocus();
    } else {
        accept();
    }
    ApplyMode(NewMode);
}

// The main window's list of the kind is reopened whoever opened the editor;
// the source list then shows the saved row (a new one, when its id is not
// known, as the last row).
void TfrmServiceEdit::positionAfterSave(qint64 id)
{
    if (m_host) m_host->reopenDetailList(detailTab(Kind));
    if (!FromMain) {
        if (m_saved) m_saved(id);
        return;
    }
    DataSet *list = m_host->detailList(detailTab(Kind));
    if (!list || !list->isActive()) return;
    if (id <= 0 || !list->locate(QStringLiteral("F_ID"), id)) {
        if (IsEdit) list->first();
        else list->last();
    }
}

void TfrmServiceEdit::bPrintClick()
{
    if (!m_host) return;
    const DataSet *customers = m_host->customerList();
    if (!customers || !customers->isActive() || customers->isEmpty()) return;
    Report::HostSources sources(*m_host);
    Report::preview({QStringLiteral("frKhwxPGD.frf"), {}, sources.sources()}, this);
}
