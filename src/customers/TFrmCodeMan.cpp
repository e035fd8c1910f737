#include "TFrmCodeMan.h"

#include "CodeListSql.h"

#include "app/Companion.h"
#include "app/PubUnit.h"
#include "components/FormFields.h"
#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "reportengine/GridPrint.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kFirstTitle = QStringLiteral("类    别");
} // namespace

TFrmCodeMan::TFrmCodeMan(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmCodeMan"));
    setWindowTitle(QStringLiteral("选项设置.."));
    resize(560, 460);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto button = [this](QToolButton *&b, const char *name, const QString &text, QStyle::StandardPixmap icon) {
        b = FormFields::toolBarButton(ToolBar1, name, text, icon);
    };
    button(tbNew, "tbNew", QStringLiteral("新增"), QStyle::SP_FileIcon);
    button(tbEdit, "tbEdit", QStringLiteral("修改"), QStyle::SP_FileDialogContentsView);
    button(tbDel, "tbDel", QStringLiteral("删除"), QStyle::SP_TrashIcon);
    ToolBar1->addSeparator();
    button(tbSave, "tbSave", QStringLiteral("保存"), QStyle::SP_DialogSaveButton);
    button(tbCancel, "tbCancel", QStringLiteral("取消"), QStyle::SP_DialogCancelButton);
    ToolBar1->addSeparator();
    button(tbPrint, "tbPrint", QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView);
    button(tbRefresh, "tbRefresh", QStringLiteral("刷新"), QStyle::SP_BrowserReload);
    ToolBar1->addSeparator();
    button(tbExit, "tbExit", QStringLiteral("退出"), QStyle::SP_DialogCloseButton);

    PageControl1 = new QTabBar(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setUsesScrollButtons(true);
    PageControl1->setExpanding(false);
    for (const CodeTab &t : codeTabs()) {
        const int i = PageControl1->addTab(t.caption);
        PageControl1->setTabData(i, t.name);
    }

    QryCode = new DataSet(dmData ? &dmData->ADOcnn : nullptr, this);
    QryCode->setObjectName(QStringLiteral("QryCode"));
    QryCode->setCachedUpdates(true, QStringLiteral("t_code"), QStringLiteral("F_ID"));

    DBGrid1 = new DataGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    GridColumn name;
    name.field = QStringLiteral("F_Name");
    name.caption = kFirstTitle;
    name.width = 260;
    GridColumn code;
    code.field = QStringLiteral("F_code");
    code.caption = QStringLiteral("助记码");
    code.width = 140;
    DBGrid1->setColumns({name, code});
    DBGrid1->setDataSet(QryCode);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(StatusBar1);
        StatusPanels[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i));
        StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusPanels[i]->setMinimumWidth(60);
        if (i < 3) StatusBar1->addWidget(StatusPanels[i]);
    }
    StatusPanels[3]->setText(PubUnit::PublisherText + QStringLiteral("  "));
    StatusPanels[3]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    StatusBar1->addPermanentWidget(StatusPanels[3], 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(ToolBar1);
    layout->addWidget(PageControl1);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(StatusBar1);

    connect(tbNew, &QToolButton::clicked, this, &TFrmCodeMan::tbNewClick);
    connect(tbEdit, &QToolButton::clicked, this, &TFrmCodeMan::tbEditClick);
    connect(tbDel, &QToolButton::clicked, this, &TFrmCodeMan::tbDelClick);
    connect(tbSave, &QToolButton::clicked, this, &TFrmCodeMan::tbSaveClick);
    connect(tbCancel, &QToolButton::clicked, this, &TFrmCodeMan::tbCancelClick);
    connect(tbPrint, &QToolButton::clicked, this, &TFrmCodeMan::tbPrintClick);
    connect(tbRefresh, &QToolButton::clicked, this, &TFrmCodeMan::tbRefreshClick);
    connect(tbExit, &QToolButton::clicked, this, &TFrmCodeMan::tbExitClick);
    connect(PageControl1, &QTabBar::currentChanged, this, &TFrmCodeMan::ShowCodeType);
    connect(DBGrid1, &DataGrid::rowDoubleClicked, this, [this] {
        if (tbEdit->isEnabled()) tbEditClick();
    });

    SetBrowseMode(true);
    // The window sees its keys before its controls.
    qApp->installEventFilter(this);
}

TFrmCodeMan::~TFrmCodeMan() { qApp->removeEventFilter(this); }

void TFrmCodeMan::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TFrmCodeMan::FormShow()
{
    CodeType = QStringLiteral("type");
    GridColumn c = DBGrid1->column(0);
    c.caption = kFirstTitle;
    DBGrid1->setColumn(0, c);
    if (dmData) dmData->OpenSQL(codeManListSql(CodeType), QryCode);
    {
        const QSignalBlocker block(PageControl1);
        PageControl1->setCurrentIndex(0);
    }
    SetBrowseMode(true);
    DBGrid1->setFocus();
}

void TFrmCodeMan::ShowCodeType(int tab)
{
    if (tab < 0) return;
    CodeType = codeTypeOfTab(PageControl1->tabData(tab).toString());
    GridColumn c = DBGrid1->column(0);
    c.caption = PageControl1->tabText(tab);
    DBGrid1->setColumn(0, c);
    if (dmData) dmData->OpenSQL(codeManListSql(CodeType), QryCode);
}

void TFrmCodeMan::SetBrowseMode(bool browse)
{
    m_editing = !browse;
    for (QWidget *w : std::initializer_list<QWidget *>{tbNew, tbEdit, tbDel, tbExit, tbRefresh, tbPrint, PageControl1})
        w->setEnabled(browse);
    tbSave->setEnabled(!browse);
    tbCancel->setEnabled(!browse);
    DBGrid1->setReadOnly(browse);
}

void TFrmCodeMan::endCellEdit(bool commit)
{
    QWidget *editor = DBGrid1->indexWidget(DBGrid1->currentIndex());
    if (!editor) return;
    QAbstractItemDelegate *delegate = DBGrid1->itemDelegateForIndex(DBGrid1->currentIndex());
    if (commit) emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, commit ? QAbstractItemDelegate::NoHint : QAbstractItemDelegate::RevertModelCache);
}

void TFrmCodeMan::tbNewClick()
{
    if (!tbNew->isEnabled()) return;
    SetBrowseMode(false);
    QryCode->appendRecord();
    DBGrid1->setFocus();
    if (QryCode->recNo() >= 0)
        DBGrid1->setCurrentIndex(DBGrid1->model()->index(QryCode->recNo(), 0));
}

void TFrmCodeMan::tbEditClick()
{
    if (!tbEdit->isEnabled()) return;
    if (!QryCode->isActive() || QryCode->isEmpty()) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), 3);
        return;
    }
    SetBrowseMode(false);
    DBGrid1->setFocus();
}

void TFrmCodeMan::tbDelClick()
{
    if (!tbDel->isEnabled()) return;
    if (!QryCode->isActive() || QryCode->isEmpty()) {
        ShowMess(QStringLiteral("此表是空表，不需要删除！"), 0);
        return;
    }
    const QString question = QStringLiteral("真的要删除 \"") + PageControl1->tabText(PageControl1->currentIndex())
                             + QStringLiteral("\"") + QryCode->fieldByName(QStringLiteral("F_Name")).asString()
                             + QStringLiteral("吗？");
    if (ShowMess(question, 1, Mess::No) == Mess::No) return;
    QryCode->deleteRecord();
    if (!QryCode->applyUpdates()) {
        ShowMess(QStringLiteral("删除操作失败，请检查数据连接... "), 3);
        QryCode->cancelUpdates();   // the row comes back as it still is in the table
    }
}

void TFrmCodeMan::tbSaveClick()
{
    if (!tbSave->isEnabled()) return;
    endCellEdit(true);
    SetBrowseMode(true);
    if (QryCode->isActive()) {
        // New rows get their type here; rows of the list already have it.
        const int keep = QryCode->recNo();
        for (int r = 0; r < QryCode->recordCount(); ++r) {
            QryCode->setRecNo(r);
            if (QryCode->fieldByName(QStringLiteral("F_type")).asString() != CodeType)
                QryCode->setFieldValue(QStringLiteral("F_type"), CodeType);
        }
        QryCode->setRecNo(keep);
    }
    if (!QryCode->applyUpdates()) {
        // Nothing is lost: the operator may try again or cancel.
        ShowMess(QStringLiteral("保存失败，请检测数据库连接！"), 3);
        SetBrowseMode(false);
    }
}

void TFrmCodeMan::tbCancelClick()
{
    if (!tbCancel->isEnabled()) return;
    endCellEdit(false);
    SetBrowseMode(true);
    QryCode->cancelUpdates();
}

void TFrmCodeMan::tbPrintClick()
{
    if (!tbPrint->isEnabled()) return;
    PrintGrid(*DBGrid1, QStringLiteral("基本代码列表"), QString(), QString());
}

void TFrmCodeMan::tbRefreshClick()
{
    if (!tbRefresh->isEnabled()) return;
    QryCode->close();
    if (dmData) dmData->OpenSQL(codeManListSql(CodeType), QryCode);
}

void TFrmCodeMan::tbExitClick()
{
    if (!tbExit->isEnabled()) return;
    close();
}

void TFrmCodeMan::closeEvent(QCloseEvent *event)
{
    // The close box drops unsaved changes without a question.
    endCellEdit(false);
    QryCode->cancelUpdates();
    SetBrowseMode(true);
    QDialog::closeEvent(event);
}

void TFrmCodeMan::nextColumn()
{
    const int columns = DBGrid1->columnCount();
    QModelIndex current = DBGrid1->currentIndex();
    if (!current.isValid() || columns == 0) return;
    endCellEdit(true);
    int col = current.column();
    for (int step = 0; step < columns; ++step) {
        col = (col + 1) % columns;
        if (!DBGrid1->isColumnHidden(col)) break;
    }
    DBGrid1->setCurrentIndex(DBGrid1->model()->index(current.row(), col));
}

bool TFrmCodeMan::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this) return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    auto press = [](QToolButton *b, void (TFrmCodeMan::*handler)(), TFrmCodeMan *self) {
        if (!b->isEnabled()) return false;
        (self->*handler)();
        return true;
    };
    if (mods == Qt::ControlModifier) {
        switch (key->key()) {
        case Qt::Key_A: return press(tbNew, &TFrmCodeMan::tbNewClick, this);
        case Qt::Key_E: return press(tbEdit, &TFrmCodeMan::tbEditClick, this);
        case Qt::Key_S: return press(tbSave, &TFrmCodeMan::tbSaveClick, this);
        default: return false;
        }
    }
    if (mods != Qt::NoModifier) return false;
    switch (key->key()) {
    case Qt::Key_Escape:
        if (tbCancel->isEnabled()) tbCancelClick();
        else if (tbExit->isEnabled()) tbExitClick();
        return true;
    case Qt::Key_Delete: return press(tbDel, &TFrmCodeMan::tbDelClick, this);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (w == DBGrid1 || DBGrid1->isAncestorOf(w)) {
            nextColumn();
            return true;
        }
        if (!qobject_cast<QToolButton *>(w)) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(w, &tab);
            return true;
        }
        return false;
    default: return false;
    }
}
