// The main window's command centre: the numbered commands from the command
// table, the toolbar, the context menu of the customer grid, the status bar,
// the rights, the keys and the exit question. Each menu's commands live in a
// file of their own (TFrmMain*Menu.cpp, TFrmMainDetailCommands.cpp).

#include "TFrmMain.h"

#include "MainCommandHelpers.h"
#include "MainCommandSql.h"

#include "access/TfrmOperLogin.h"
#include "app/CommandTable.h"
#include "app/Companion.h"
#include "app/PubUnit.h"
#include "components/CommandRegistry.h"
#include "components/DataGrid.h"
#include "components/GridLayout.h"
#include "data/TdmData.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace MainCommands {

bool listEmpty(const DataSet *ds) { return !ds || !ds->isActive() || ds->isEmpty(); }

void sortGrid(DataGrid *grid)
{
    if (!grid) return;
    QString sort = grid->dataSet() ? grid->dataSet()->sort() : QString();
    if (ArrangeSort(*grid, sort)) grid->applySort(sort);
}

void notYetAvailable() { ShowMess(QStringLiteral("该功能尚未完成，将在后续版本中提供。"), 0); }

} // namespace MainCommands

QAction *TFrmMain::namedAction(const char *objectName, const QString &caption, QStyle::StandardPixmap icon)
{
    auto *a = new QAction(style()->standardIcon(icon), caption, this);
    a->setObjectName(QString::fromLatin1(objectName));
    return a;
}

QMenu *TFrmMain::addMainMenu(const char *objectName, const QString &title)
{
    QMenu *m = menuBar()->addMenu(title);
    m->setObjectName(QString::fromLatin1(objectName));
    return m;
}

// Numbers stand for the numbered commands, 0 for a separator line; the
// other entries are actions.
void TFrmMain::fillMenu(QMenu *menu, std::initializer_list<QVariant> items)
{
    for (const QVariant &v : items) {
        if (v.typeId() != QMetaType::Int)
            menu->addAction(v.value<QAction *>());
        else if (v.toInt() == 0)
            menu->addSeparator();
        else
            menu->addAction(action(v.toInt()));
    }
}

void TFrmMain::attachPopup(QAbstractScrollArea *area, QMenu *menu)
{
    area->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(area, &QWidget::customContextMenuRequested, menu,
            [area, menu](const QPoint &pos) { menu->popup(area->viewport()->mapToGlobal(pos)); });
}

void TFrmMain::ownCommand(int code, const std::function<void()> &handler)
{
    m_ownCommands.insert(code);
    connect(action(code), &QAction::triggered, this, handler);
}

void TFrmMain::runProvidedCommand(int code)
{
    if (const CommandHandler handler = CommandRegistry::instance().handler(code))
        handler(*this);
    else
        MainCommands::notYetAvailable();
}

void TFrmMain::createCommands()
{
    for (const CommandInfo &c : Commands::all()) {
        if (!c.hasAction) continue;
        auto *a = new QAction(style()->standardIcon(c.icon), QString::fromUtf8(c.caption), this);
        a->setObjectName(QStringLiteral("act%1").arg(c.code));
        a->setProperty("category", QString::fromUtf8(c.group));
        m_actions.insert(c.code, a);
    }

    // Toolbar and status bar first: the view menu toggles them.
    createToolBar();
    createStatusBar();

    createFileMenu();
    createEditMenu();
    createOutputMenu();
    mnuStat = addMainMenu("mnuStat", QStringLiteral("统计"));
    fillMenu(mnuStat, {401, 402, 0, 403, 404, 405, 406, 407});
    createDataMenu();
    createViewToolsHelpMenus();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    fillMenu(PopupMenu1, {201, 207, 202, 203, 0, 204, 205, 206, 0, 307, 308});
    attachPopup(DBGridEh1, PopupMenu1);
    createDetailCommands();

    // Whatever the main window does not do itself opens a subsystem's window.
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const int code = it.key();
        if (!m_ownCommands.contains(code))
            connect(it.value(), &QAction::triggered, this, [this, code] { runProvidedCommand(code); });
    }

    // Keys reach the window before its controls (a focused line edit would
    // otherwise take Ctrl+A for itself).
    qApp->installEventFilter(this);
}

void TFrmMain::createToolBar()
{
    QAction *tbReLogin = namedAction("tbReLogin", QStringLiteral("重新登录"), QStyle::SP_BrowserReload);
    QAction *tbRefresh = namedAction("tbRefresh", QStringLiteral("刷新"), QStyle::SP_BrowserReload);
    QAction *tbWX = namedAction("tbWX", QStringLiteral("维护"), QStyle::SP_DriveHDIcon);
    QAction *tbHF = namedAction("tbHF", QStringLiteral("回访"), QStyle::SP_MessageBoxQuestion);
    QAction *tbTS = namedAction("tbTS", QStringLiteral("投诉"), QStyle::SP_MessageBoxWarning);
    QAction *tbClose = namedAction("tbClose", QStringLiteral("关闭"), QStyle::SP_DialogCloseButton);

    ToolBar1 = new QToolBar(QStringLiteral("工具栏"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setMovable(false);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    ToolBar1->addAction(tbReLogin);
    ToolBar1->addAction(tbRefresh);
    ToolBar1->addSeparator();
    for (QAction *a : {tbWX, tbHF, tbTS, action(402)}) ToolBar1->addAction(a);
    ToolBar1->addSeparator();
    for (int code : {201, 207, 202, 203}) ToolBar1->addAction(action(code));
    ToolBar1->addSeparator();
    ToolBar1->addAction(tbClose);

    auto on = [this](QAction *a, auto handler) { connect(a, &QAction::triggered, this, handler); };
    on(tbReLogin, [this] {
        RunLogin(TfrmOperLogin::ChangeOperator, [this](const QString &n) { SetLimits(n); });
        RunQuery();
    });
    on(tbRefresh, [this] { RefreshList(); });
    on(tbWX, [this] { action(208)->trigger(); });
    on(tbHF, [this] { action(209)->trigger(); });
    on(tbTS, [this] { action(210)->trigger(); });
    on(tbClose, [this] { close(); });
}

void TFrmMain::createStatusBar()
{
    const struct {
        QString text;
        int width;
    } panels[] = {{QStringLiteral(" 当前用户"), 60},
                  {QStringLiteral(" ") + PubUnit::CurOper, 80},
                  {QStringLiteral(" 当前日期时间"), 100},
                  {QString(), 140}};
    for (int i = 0; i < 4; ++i) {
        auto *l = new QLabel(panels[i].text, StatusBar1);
        l->setObjectName(QStringLiteral("sbPanel%1").arg(i));
        l->setMinimumWidth(panels[i].width);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusBar1->addWidget(l);
    }
    auto *fixedLine = new QLabel(PubUnit::ProductName + PubUnit::PublisherText, StatusBar1);
    fixedLine->setObjectName(QStringLiteral("sbPanel4"));
    fixedLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fixedLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addPermanentWidget(fixedLine, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFrmMain::showClock);
    Timer1->start();
}

void TFrmMain::SetLimits(const QString &loginName)
{
    const bool admin = loginName.trimmed().toLower() == QStringLiteral("admin");
    QHash<int, bool> granted;
    for (int code : Commands::rightCodes())
        granted[code] = admin || (dmData && dmData->HasRight(QString::number(code)));

    for (const CommandInfo &c : Commands::all()) {
        QAction *a = action(c.code);
        if (!a) continue;
        if (Commands::isRight(c))
            a->setVisible(granted.value(c.code));
        else if (c.follows)
            a->setVisible(granted.value(c.follows));
    }
    if (auto *a = findChild<QAction *>(QStringLiteral("actClearRows"))) a->setVisible(granted.value(501));
    // The detail toolbar acts like the detail context entries, so it carries their rights.
    const struct {
        const char *name;
        int code;
    } detailButtons[] = {{"tbdNew", 901}, {"tbdEdit", 902}, {"tbddel", 903}, {"tbdpx", 904}, {"tbddc", 31}};
    for (const auto &b : detailButtons)
        if (auto *a = findChild<QAction *>(QString::fromLatin1(b.name))) a->setVisible(action(b.code)->isVisible());

    // A menu shows while any right of its group is granted, with its ungated entries.
    auto anyOfGroup = [&granted](const char *group) {
        for (const CommandInfo &c : Commands::all())
            if (Commands::isRight(c) && qstrcmp(c.group, group) == 0 && granted.value(c.code))
                return true;
        return false;
    };
    const struct {
        QMenu *menu;
        const char *group;
    } groups[] = {{mnuFile, "文件"}, {mnuEdit, "编辑"}, {mnuOutput, "输出"}, {mnuStat, "统计"}, {mnuData, "数据"}};
    for (const auto &g : groups) g.menu->menuAction()->setVisible(anyOfGroup(g.group));
}

void TFrmMain::showClock()
{
    if (auto *clock = StatusBar1->findChild<QLabel *>(QStringLiteral("sbPanel3")))
        clock->setText(QStringLiteral(" ") + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    if (auto *oper = StatusBar1->findChild<QLabel *>(QStringLiteral("sbPanel1")))
        oper->setText(QStringLiteral(" ") + PubUnit::CurOper);
}

namespace {
// The command a key stands for: 201/202/203, -1 for Esc, 0 for none.
int keyCommand(const QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() == Qt::Key_Escape && mods == Qt::NoModifier) return -1;
    if (mods != Qt::ControlModifier) return 0;
    switch (e->key()) {
    case Qt::Key_A: return 201;
    case Qt::Key_E: return 202;
    case Qt::Key_S: return 203;
    default: return 0;
    }
}

// Esc inside an open cell editor cancels the edit rather than the window.
bool insideCellEditor(QObject *watched)
{
    auto *w = qobject_cast<QWidget *>(watched);
    for (QObject *o = watched; o; o = o->parent())
        if (auto *view = qobject_cast<QAbstractItemView *>(o))
            return w && w != view->viewport() && view->viewport()->isAncestorOf(w);
    return false;
}
} // namespace

bool TFrmMain::commandKey(QKeyEvent *event)
{
    const int code = keyCommand(event);
    if (code == -1) {
        close();
        return true;
    }
    if (code == 0) return false;
    QAction *a = action(code);
    if (!a || !a->isVisible() || !a->isEnabled()) return false;
    a->trigger();
    return true;
}

bool TFrmMain::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        auto *ke = static_cast<QKeyEvent *>(event);
        const int code = keyCommand(ke);
        if (code == -1 && insideCellEditor(watched)) return QMainWindow::eventFilter(watched, event);
        if (type == QEvent::ShortcutOverride) {
            // Claim the key so no control or shortcut takes it; the press follows.
            const QAction *a = code > 0 ? action(code) : nullptr;
            if (code == -1 || (a && a->isVisible() && a->isEnabled())) {
                ke->accept();
                return true;
            }
        } else if (commandKey(ke)) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::closeEvent(QCloseEvent *event)
{
    if (!m_closeConfirmed && ShowMess(exitQuestion(PubUnit::ProductName), 1) != Mess::Yes) {
        event->ignore();
        return;
    }
    m_closeConfirmed = false;
    event->accept();
}
