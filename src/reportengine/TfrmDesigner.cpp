#include "TfrmDesigner.h"
#include "TemplateFile.h"

#include "app/Dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace Report {

const QString TfrmDesigner::kAskSave = QStringLiteral("报表已修改，是否保存？");

TfrmDesigner::TfrmDesigner(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmDesigner"));
    setWindowTitle(QStringLiteral("报表设计"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(1000, 720);

    canvas = new DesignerCanvas(m_doc, this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(canvas);
    m_scroll->setWidgetResizable(false);
    m_scroll->setBackgroundRole(QPalette::Dark);

    toolBar = new QToolBar(this);
    auto action = [this](const QString &text, const QList<QKeySequence> &keys, auto slot) {
        QAction *a = toolBar->addAction(text);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    actSave = action(QStringLiteral("保存"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { Save(); });
    actPreview = action(QStringLiteral("预览"), {}, [this] {
        if (m_preview) m_preview(m_doc.templ());
    });
    toolBar->addSeparator();
    actUndo = action(QStringLiteral("撤消"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] {
        m_doc.undo();
        changed();
    });
    actRedo = action(QStringLiteral("重做"),
                     {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
                     [this] {
                         m_doc.redo();
                         changed();
                     });
    toolBar->addSeparator();

    auto *addMenu = new QMenu(this);
    for (ObjectKind k : {ObjectKind::Text, ObjectKind::Line, ObjectKind::Rect, ObjectKind::CheckBox,
                         ObjectKind::Picture, ObjectKind::Chart})
        connect(addMenu->addAction(objectKindCaption(k)), &QAction::triggered, this, [this, k] { addObject(k); });
    auto *addButton = new QToolButton(this);
    addButton->setText(QStringLiteral("插入对象"));
    addButton->setMenu(addMenu);
    addButton->setPopupMode(QToolButton::InstantPopup);
    toolBar->addWidget(addButton);
    actDelete = action(QStringLiteral("删除对象"), {QKeySequence(Qt::Key_Delete)}, [this] {
        m_doc.deleteSelection();
        changed();
    });
    actObject = action(QStringLiteral("对象属性"), {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}, [this] {
        if (!m_doc.selection().isEmpty()) editObject(m_doc.selection().first());
    });
    toolBar->addSeparator();

    auto *bandMenu = new QMenu(this);
    for (BandKind k : bandKindsInPageOrder())
        connect(bandMenu->addAction(bandKindCaption(k)), &QAction::triggered, this, [this, k] { addBand(k); });
    auto *bandButton = new QToolButton(this);
    bandButton->setText(QStringLiteral("插入栏"));
    bandButton->setMenu(bandMenu);
    bandButton->setPopupMode(QToolButton::InstantPopup);
    toolBar->addWidget(bandButton);
    actDeleteBand = action(QStringLiteral("删除栏"), {}, [this] {
        m_doc.deleteBand(m_doc.currentBand());
        changed();
    });
    actBand = action(QStringLiteral("栏属性"), {}, [this] { editBand(m_doc.currentBand()); });
    actPage = action(QStringLiteral("页面设置"), {}, [this] { editPage(); });
    toolBar->addSeparator();
    actSnap = action(QStringLiteral("对齐网格"), {}, [this](bool on) {
        m_doc.snap = on;
        canvas->update();
    });
    actSnap->setCheckable(true);
    actSnap->setChecked(m_doc.snap);
    cbbGrid = new QComboBox(this);
    cbbGrid->setObjectName(QStringLiteral("cbbGrid"));
    cbbGrid->addItem(QStringLiteral("1 mm"), 1.0);
    cbbGrid->addItem(QStringLiteral("2 mm"), 2.0);
    cbbGrid->setFocusPolicy(Qt::NoFocus);
    connect(cbbGrid, &QComboBox::currentIndexChanged, this, [this] {
        m_doc.grid = cbbGrid->currentData().toDouble();
        canvas->update();
    });
    toolBar->addWidget(cbbGrid);

    lblStatus = new QLabel(this);
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(toolBar);
    v->addWidget(m_scroll, 1);
    v->addWidget(lblStatus);

    connect(canvas, &DesignerCanvas::changed, this, &TfrmDesigner::changed);
    connect(canvas, &DesignerCanvas::objectActivated, this, &TfrmDesigner::editObject);
    connect(canvas, &DesignerCanvas::bandActivated, this, &TfrmDesigner::editBand);
    changed();
    canvas->setFocus();
}

bool TfrmDesigner::LoadFromFile(const QString &path)
{
    m_path = path;
    m_unreadable = false;
    if (!QFileInfo::exists(path)) {
        m_doc.reset(ReportTemplate {});
        changed();
        return true;
    }
    QString error;
    const std::optional<ReportTemplate> t = loadTemplate(path, &error);
    if (!t) {
        m_unreadable = true;
        m_doc.reset(ReportTemplate {});
        changed();
        ShowMess(error + QStringLiteral("\n设计器不会保存覆盖这个文件。"), 3);
        return false;
    }
    m_doc.reset(*t);
    changed();
    // What the reader left out or changed would be lost at the next save: say it now.
    if (!error.isEmpty()) ShowMess(error, 2);
    return true;
}

void TfrmDesigner::setTemplate(const ReportTemplate &t, const QString &path)
{
    m_path = path;
    m_unreadable = false;
    m_doc.reset(t);
    changed();
}

void TfrmDesigner::setSources(const Sources &sources)
{
    SourceFields fields;
    for (const QString &name : sources.names())
        if (const RowSource *rows = sources.find(name).rows) fields.insert(name, rows->fieldNames());
    setSourceFields(fields);
}

void TfrmDesigner::setSourceFields(const SourceFields &fields) { m_fields = fields; }

void TfrmDesigner::setPreview(std::function<void(const ReportTemplate &)> preview)
{
    m_preview = std::move(preview);
    changed();
}

bool TfrmDesigner::Save()
{
    if (m_unreadable) {
        ShowMess(QStringLiteral("报表文件 %1 无法读取，为免覆盖原文件，不能保存。").arg(m_path), 2);
        return false;
    }
    if (m_path.isEmpty()) {
        m_path = Dialogs::current().saveFileName(QStringLiteral("保存报表"), QString(),
                                                 QStringLiteral("报表模板 (*.frf)"));
        if (m_path.isEmpty()) return false;
    }
    QString error;
    if (!saveTemplate(m_doc.templ(), m_path, &error)) {
        ShowMess(QStringLiteral("保存报表失败：%1").arg(error), 3);
        return false;
    }
    m_doc.markSaved();
    m_savedOnce = true;
    changed();
    return true;
}

void TfrmDesigner::addObject(ObjectKind kind)
{
    if (m_doc.templ().bands.isEmpty()) {
        ShowMess(QStringLiteral("请先插入一个栏，再在栏上放置对象。"), 0);
        return;
    }
    QByteArray picture;
    if (kind == ObjectKind::Picture) {
        const std::optional<QByteArray> bytes = askPictureFile();
        if (!bytes) return;
        picture = *bytes;
    }
    m_doc.addObject(kind, picture);
    changed();
}

void TfrmDesigner::addBand(BandKind kind)
{
    m_doc.addBand(kind);
    changed();
}

void TfrmDesigner::editObject(const ObjectRef &ref)
{
    const ReportObject *o = m_doc.object(ref);
    if (!o) return;
    DesignerObjectDialog dlg(*o, m_fields, this);
    if (Dialogs::current().execDialog(dlg) != QDialog::Accepted) return;
    const ReportObject edited = dlg.result();
    m_doc.edit([&](ReportTemplate &t) { t.bands[ref.band].objects[ref.index] = edited; });
    changed();
}

void TfrmDesigner::editBand(int band)
{
    if (band < 0 || band >= m_doc.templ().bands.size()) return;
    DesignerBandDialog dlg(m_doc.templ().bands.at(band), m_fields.keys(), this);
    if (Dialogs::current().execDialog(dlg) != QDialog::Accepted) return;
    const Band edited = dlg.result();
    m_doc.edit([&](ReportTemplate &t) { t.bands[band] = edited; });
    changed();
}

void TfrmDesigner::editPage()
{
    DesignerPageDialog dlg(m_doc.templ().page, this);
    if (Dialogs::current().execDialog(dlg) != QDialog::Accepted) return;
    const PageSetup page = dlg.result();
    const QSizeF size = page.size();
    if (page.margins.left() + page.margins.right() >= size.width()
        || page.margins.top() + page.margins.bottom() >= size.height()) {
        ShowMess(QStringLiteral("页边距超出了纸张大小，页面设置未改变。"), 2);
        return;
    }
    m_doc.edit([&](ReportTemplate &t) { t.page = page; });
    changed();
}

void TfrmDesigner::changed()
{
    actUndo->setEnabled(m_doc.canUndo());
    actRedo->setEnabled(m_doc.canRedo());
    actPreview->setEnabled(bool(m_preview));
    actDelete->setEnabled(!m_doc.selection().isEmpty());
    actObject->setEnabled(!m_doc.selection().isEmpty());
    actDeleteBand->setEnabled(m_doc.currentBand() >= 0);
    actBand->setEnabled(m_doc.currentBand() >= 0);
    QString status = m_path.isEmpty() ? QStringLiteral("（未保存的报表）") : m_path;
    if (m_unreadable) status += QStringLiteral("  （无法读取，不能保存）");
    else if (m_doc.modified()) status += QStringLiteral("  （已修改）");
    if (m_doc.selection().size() == 1) {
        const ReportObject *o = m_doc.object(m_doc.selection().first());
        status += QStringLiteral("    %1 %2  X %3  Y %4  宽 %5  高 %6 mm")
                      .arg(objectKindCaption(o->kind), o->name)
                      .arg(o->rect.x(), 0, 'f', 1)
                      .arg(o->rect.y(), 0, 'f', 1)
                      .arg(o->rect.width(), 0, 'f', 1)
                      .arg(o->rect.height(), 0, 'f', 1);
    }
    lblStatus->setText(status);
    canvas->refresh();
}

bool TfrmDesigner::confirmLeave()
{
    if (!m_doc.modified()) return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("询问"), kAskSave, QMessageBox::NoButton, this);
    QPushButton *yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    QPushButton *stay = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(stay);
    Dialogs::current().execDialog(box);
    if (box.clickedButton() == yes) return Save();
    return box.clickedButton() == no;   // closed unanswered: stay with the changes
}

void TfrmDesigner::done(int r)
{
    Q_UNUSED(r)
    if (!confirmLeave()) return;
    // Accepted tells the caller the file was written.
    QDialog::done(m_savedOnce ? Accepted : Rejected);
}

} // namespace Report
