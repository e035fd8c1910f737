#include "TfrmPreview.h"

#include "PagePainter.h"
#include "ReportExport.h"

#include "app/Companion.h"
#include "app/Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

namespace Report {

namespace {
constexpr int PageMargin = 12;   // grey around the paper, pixels
const int Percents[] = {50, 75, 100, 150, 200};

// The folder of the last file saved or opened, for the next dialog.
QString &lastFolder()
{
    static QString folder;
    return folder;
}

void rememberFolder(const QString &file)
{
    lastFolder() = QFileInfo(file).absolutePath();
}
} // namespace

// The current page on grey, with the find hit marked.
class PreviewPageView : public QWidget {
public:
    explicit PreviewPageView(TfrmPreview *preview) : QWidget(nullptr), m_preview(preview)
    {
        setObjectName(QStringLiteral("PageView"));
        setFocusPolicy(Qt::NoFocus);
    }

    void relayout()
    {
        const PreparedPage *p = page();
        const QSizeF mm = p ? p->size : QSizeF(210, 297);
        resize(int(mm.width() * m_preview->scale()) + 2 * PageMargin, int(mm.height() * m_preview->scale()) + 2 * PageMargin);
        update();
    }

    // Where an item of the current page shows, in this widget.
    QRectF itemRect(const QRectF &mm) const
    {
        const double s = m_preview->scale();
        return QRectF(PageMargin + mm.x() * s, PageMargin + mm.y() * s, mm.width() * s, mm.height() * s);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        const PreparedPage *p = page();
        if (!p) return;
        const double s = m_preview->scale();
        const QRectF paper(PageMargin, PageMargin, p->size.width() * s, p->size.height() * s);
        painter.fillRect(paper.translated(3, 3), QColor(80, 80, 80));
        painter.fillRect(paper, Qt::white);
        painter.save();
        painter.translate(paper.topLeft());
        painter.setClipRect(QRectF(QPointF(0, 0), paper.size()));
        paintPage(painter, *p, s);
        painter.restore();
        if (m_preview->hitPage() == m_preview->currentPage() && m_preview->hitItem() >= 0
            && m_preview->hitItem() < p->items.size()) {
            const QRectF hit = itemRect(p->items.at(m_preview->hitItem()).rect).adjusted(-1, -1, 1, 1);
            painter.fillRect(hit, QColor(255, 230, 0, 110));
            painter.setPen(QPen(QColor(220, 0, 0), 2));
            painter.drawRect(hit);
        }
    }

private:
    const PreparedPage *page() const
    {
        const PreparedReport &r = m_preview->report();
        const int i = m_preview->currentPage();
        return i >= 0 && i < r.pages.size() ? &r.pages.at(i) : nullptr;
    }

    TfrmPreview *m_preview;
};

TfrmPreview::TfrmPreview(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmPreview"));
    setWindowTitle(QStringLiteral("预览"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);

    auto button = [this](const QString &name, const QString &caption, const QString &tip) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(caption);
        b->setToolTip(tip);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    tbPrint = button(QStringLiteral("tbPrint"), QStringLiteral("打印"), QStringLiteral("打印 (Ctrl+P)"));
    tbOpen = button(QStringLiteral("tbOpen"), QStringLiteral("打开"), QStringLiteral("打开保存的预览报表"));
    tbSave = button(QStringLiteral("tbSave"), QStringLiteral("保存"), QStringLiteral("保存预览报表"));
    tbExport = button(QStringLiteral("tbExport"), QStringLiteral("导出"), QStringLiteral("导出为 PDF、CSV、文本、RTF 或 HTML"));
    tbFind = button(QStringLiteral("tbFind"), QStringLiteral("查找"), QStringLiteral("查找 (Ctrl+F，下一个 F3)"));
    tbFirst = button(QStringLiteral("tbFirst"), QStringLiteral("首页"), QStringLiteral("首页 (Home)"));
    tbPrior = button(QStringLiteral("tbPrior"), QStringLiteral("上页"), QStringLiteral("上一页 (PgUp)"));
    tbNext = button(QStringLiteral("tbNext"), QStringLiteral("下页"), QStringLiteral("下一页 (PgDn)"));
    tbLast = button(QStringLiteral("tbLast"), QStringLiteral("末页"), QStringLiteral("末页 (End)"));
    tbClose = button(QStringLiteral("tbClose"), QStringLiteral("退出"), QStringLiteral("关闭预览 (Esc)"));

    cbbZoom = new QComboBox(this);
    cbbZoom->setObjectName(QStringLiteral("cbbZoom"));
    cbbZoom->addItem(QStringLiteral("整页"), -int(WholePage) - 1);
    cbbZoom->addItem(QStringLiteral("页宽"), -int(PageWidth) - 1);
    for (int p : Percents) cbbZoom->addItem(QStringLiteral("%1%").arg(p), p);
    cbbZoom->setCurrentIndex(1);
    cbbZoom->setFocusPolicy(Qt::ClickFocus);

    lblPage = new QLabel(this);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    lblProgress->hide();
    btnCancel->hide();

    auto *bar = new QHBoxLayout;
    bar->setSpacing(2);
    for (QWidget *w : {static_cast<QWidget *>(tbPrint), static_cast<QWidget *>(tbOpen), static_cast<QWidget *>(tbSave),
                       static_cast<QWidget *>(tbExport), static_cast<QWidget *>(tbFind), static_cast<QWidget *>(cbbZoom),
                       static_cast<QWidget *>(tbFirst), static_cast<QWidget *>(tbPrior), static_cast<QWidget *>(tbNext),
                       static_cast<QWidget *>(tbLast), static_cast<QWidget *>(lblPage)})
        bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(lblProgress);
    bar->addWidget(btnCancel);
    bar->addWidget(tbClose);

    m_view = new PreviewPageView(this);
    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setWidget(m_view);
    ScrollBox->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    ScrollBox->setFocusPolicy(Qt::StrongFocus);
    ScrollBox->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(ScrollBox, 1);

    connect(tbPrint, &QToolButton::clicked, this, &TfrmPreview::tbPrintClick);
    connect(tbOpen, &QToolButton::clicked, this, &TfrmPreview::tbOpenClick);
    connect(tbSave, &QToolButton::clicked, this, &TfrmPreview::tbSaveClick);
    connect(tbExport, &QToolButton::clicked, this, &TfrmPreview::tbExportClick);
    connect(tbFind, &QToolButton::clicked, this, &TfrmPreview::tbFindClick);
    connect(tbClose, &QToolButton::clicked, this, &TfrmPreview::reject);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmPreview::btnCancelClick);
    connect(tbFirst, &QToolButton::clicked, this, [this] { setCurrentPage(0); });
    connect(tbPrior, &QToolButton::clicked, this, [this] { setCurrentPage(m_page - 1); });
    connect(tbNext, &QToolButton::clicked, this, [this] { setCurrentPage(m_page + 1); });
    connect(tbLast, &QToolButton::clicked, this, [this] { setCurrentPage(pageCount() - 1); });
    connect(cbbZoom, &QComboBox::activated, this, [this](int index) {
        const int v = cbbZoom->itemData(index).toInt();
        if (v < 0) setZoom(ZoomMode(-v - 1));
        else setZoom(Percent, v);
    });

    // Window shortcuts, so the paging keys work whichever control has the focus.
    auto key = [this](const QKeySequence &seq, auto slot) {
        auto *s = new QShortcut(seq, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    key(QKeySequence(Qt::Key_PageUp), [this] { setCurrentPage(m_page - 1); });
    key(QKeySequence(Qt::Key_PageDown), [this] { setCurrentPage(m_page + 1); });
    key(QKeySequence(Qt::Key_Home), [this] { setCurrentPage(0); });
    key(QKeySequence(Qt::Key_End), [this] { setCurrentPage(pageCount() - 1); });
    key(QKeySequence::Find, [this] { tbFindClick(); });
    key(QKeySequence(Qt::Key_F3), [this] { FindNextClick(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { tbPrintClick(); });

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize avail = screen->availableSize();
        resize(std::max(640, avail.width() * 3 / 4), std::max(480, avail.height() * 7 / 8));
    } else {
        resize(900, 700);
    }
    applyZoom();
    updateState();
}

TfrmPreview::~TfrmPreview() = default;

void TfrmPreview::setReport(PreparedReport report)
{
    m_report = std::move(report);
    m_page = std::clamp(m_page, 0, std::max(0, pageCount() - 1));
    m_hitPage = m_hitItem = -1;
    applyZoom();
    updateState();
}

void TfrmPreview::addPage(const PreparedPage &page)
{
    m_report.pages.append(page);
    if (m_report.pages.size() == 1) applyZoom();
    updateState();
}

void TfrmPreview::beginRendering(std::function<void()> cancel)
{
    m_rendering = true;
    m_cancel = std::move(cancel);
    lblProgress->setText(QStringLiteral("正在生成报表……"));
    lblProgress->show();
    btnCancel->setText(QStringLiteral("取消"));
    btnCancel->setEnabled(true);
    btnCancel->show();
    updateState();
}

void TfrmPreview::setProgressText(const QString &text)
{
    lblProgress->setText(text);
}

void TfrmPreview::endRendering()
{
    m_rendering = false;
    m_cancel = nullptr;
    lblProgress->hide();
    btnCancel->hide();
    updateState();
}

void TfrmPreview::cancelRendering()
{
    if (!m_rendering || !m_cancel) return;
    // Once: the renderer may take a moment to reach its next check.
    auto cancel = std::move(m_cancel);
    m_cancel = nullptr;
    btnCancel->setEnabled(false);
    lblProgress->setText(QStringLiteral("正在取消……"));
    cancel();
}

void TfrmPreview::btnCancelClick()
{
    cancelRendering();
}

void TfrmPreview::reject()
{
    cancelRendering();
    QDialog::reject();
}

void TfrmPreview::setCurrentPage(int page)
{
    if (pageCount() == 0) return;
    page = std::clamp(page, 0, pageCount() - 1);
    if (page == m_page) return;
    const bool sizeChanged = m_report.pages.at(page).size != m_report.pages.at(m_page).size;
    m_page = page;
    if (sizeChanged) applyZoom();
    else m_view->update();
    ScrollBox->verticalScrollBar()->setValue(0);
    updateState();
}

void TfrmPreview::setZoom(ZoomMode mode, int percent)
{
    m_zoomMode = mode;
    if (mode == Percent) m_percent = std::clamp(percent, 10, 800);
    for (int i = 0; i < cbbZoom->count(); ++i) {
        const int v = cbbZoom->itemData(i).toInt();
        if ((mode == Percent && v == m_percent) || (mode != Percent && v == -int(mode) - 1)) {
            cbbZoom->setCurrentIndex(i);
            break;
        }
    }
    applyZoom();
}

void TfrmPreview::applyZoom()
{
    const QSizeF mm = m_page < pageCount() ? m_report.pages.at(m_page).size : QSizeF(210, 297);
    const double actual = logicalDpiX() / 25.4;
    const QSize room = ScrollBox->maximumViewportSize() - QSize(2 * PageMargin, 2 * PageMargin);
    switch (m_zoomMode) {
    case WholePage:
        m_scale = std::min(room.width() / mm.width(), room.height() / mm.height());
        break;
    case PageWidth:
        // Leave room for the vertical scroll bar the taller page will need.
        m_scale = (room.width() - ScrollBox->verticalScrollBar()->sizeHint().width()) / mm.width();
        break;
    case Percent:
        m_scale = actual * m_percent / 100.0;
        break;
    }
    m_scale = std::max(m_scale, 0.2);
    m_view->relayout();
}

void TfrmPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_zoomMode != Percent) applyZoom();
}

bool TfrmPreview::eventFilter(QObject *watched, QEvent *event)
{
    // The wheel scrolls the page and, at its top or bottom, turns it.
    if (watched == ScrollBox->viewport() && event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const int dy = wheel->angleDelta().y();
        QScrollBar *bar = ScrollBox->verticalScrollBar();
        if (dy < 0 && bar->value() >= bar->maximum() && m_page + 1 < pageCount()) {
            setCurrentPage(m_page + 1);
            return true;
        }
        if (dy > 0 && bar->value() <= bar->minimum() && m_page > 0) {
            setCurrentPage(m_page - 1);
            bar->setValue(bar->maximum());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPreview::updateState()
{
    const int n = pageCount();
    lblPage->setText(n == 0 ? QStringLiteral("无页面")
                            : QStringLiteral("第 %1 页 / 共 %2 页%3").arg(m_page + 1).arg(n)
                                  .arg(m_rendering ? QStringLiteral("…") : QString()));
    // The whole report is needed to print, save or export it.
    const bool ready = !m_rendering && n > 0;
    tbPrint->setEnabled(ready);
    tbSave->setEnabled(ready);
    tbExport->setEnabled(ready);
    tbOpen->setEnabled(!m_rendering);
    tbFind->setEnabled(n > 0);
    tbFirst->setEnabled(m_page > 0);
    tbPrior->setEnabled(m_page > 0);
    tbNext->setEnabled(m_page + 1 < n);
    tbLast->setEnabled(m_page + 1 < n);
}

bool TfrmPreview::findNext(const QString &text)
{
    if (text.isEmpty() || pageCount() == 0) return false;
    // Reading order: top to bottom, then left to right.
    auto order = [this](int page) {
        const QList<PreparedItem> &items = m_report.pages.at(page).items;
        QList<int> idx;
        for (int i = 0; i < items.size(); ++i)
            if (items.at(i).kind == PreparedItem::Text) idx << i;
        std::stable_sort(idx.begin(), idx.end(), [&items](int a, int b) {
            const QRectF &ra = items.at(a).rect, &rb = items.at(b).rect;
            return ra.top() != rb.top() ? ra.top() < rb.top() : ra.left() < rb.left();
        });
        return idx;
    };
    // From the last hit when it is on the current page, else from the top of it.
    int startPage = m_page;
    int after = -1;   // position in reading order to begin after
    if (m_hitPage == m_page && m_hitItem >= 0) after = int(order(m_page).indexOf(m_hitItem));
    const int n = pageCount();
    for (int step = 0; step <= n; ++step) {
        const int page = (startPage + step) % n;
        const QList<int> idx = order(page);
        const int from = step == 0 ? after + 1 : 0;
        const int to = step == n ? after + 1 : int(idx.size());   // the wrap ends where it began
        for (int k = from; k < std::min(to, int(idx.size())); ++k) {
            if (m_report.pages.at(page).items.at(idx.at(k)).text.contains(text, Qt::CaseInsensitive)) {
                m_hitPage = page;
                m_hitItem = idx.at(k);
                showHit();
                return true;
            }
        }
    }
    return false;
}

void TfrmPreview::showHit()
{
    if (m_hitPage != m_page) setCurrentPage(m_hitPage);
    const QRectF r = m_view->itemRect(m_report.pages.at(m_hitPage).items.at(m_hitItem).rect);
    ScrollBox->ensureVisible(int(r.center().x()), int(r.center().y()), int(r.width() / 2) + 20, int(r.height() / 2) + 40);
    m_view->update();
}

void TfrmPreview::tbFindClick()
{
    if (pageCount() == 0) return;
    const std::optional<QString> text =
        Dialogs::current().inputText(QStringLiteral("查找"), QStringLiteral("查找内容："), m_findText, false);
    if (!text || text->isEmpty()) return;
    m_findText = *text;
    FindNextClick();
}

void TfrmPreview::FindNextClick()
{
    if (m_findText.isEmpty()) {
        tbFindClick();
        return;
    }
    if (!findNext(m_findText)) ShowMess(QStringLiteral("没有找到“%1”。").arg(m_findText), 0);
}

void TfrmPreview::tbPrintClick()
{
    if (m_rendering || pageCount() == 0) return;
    QPrinter printer(QPrinter::HighResolution);
    const QSizeF mm = m_report.pages.first().size;
    printer.setPageLayout(QPageLayout(QPageSize(QSizeF(std::min(mm.width(), mm.height()), std::max(mm.width(), mm.height())),
                                                QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
                                      mm.width() > mm.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("打印"));
    dialog.setMinMax(1, pageCount());
    if (Dialogs::current().execDialog(dialog) != QDialog::Accepted) return;
    int from = 0, to = 0;
    if (printer.printRange() == QPrinter::PageRange) {
        from = printer.fromPage();
        to = printer.toPage();
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        from = to = m_page + 1;
    }
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = printReport(m_report, printer, &error, from, to);
    QApplication::restoreOverrideCursor();
    if (!ok) ShowMess(error, 3);
}

void TfrmPreview::tbOpenClick()
{
    if (m_rendering) return;
    const QString file =
        Dialogs::current().openFileName(QStringLiteral("打开预览报表"), lastFolder(), preparedFilter());
    if (file.isEmpty()) return;
    rememberFolder(file);
    QString error;
    std::optional<PreparedReport> loaded = loadPrepared(file, &error);
    if (!loaded) {
        ShowMess(error, 3);
        return;
    }
    setReport(std::move(*loaded));
    setCurrentPage(0);
}

void TfrmPreview::tbSaveClick()
{
    if (m_rendering || pageCount() == 0) return;
    QString file = Dialogs::current().saveFileName(QStringLiteral("保存预览报表"), lastFolder(), preparedFilter());
    if (file.isEmpty()) return;
    if (QFileInfo(file).suffix().isEmpty()) file += QLatin1Char('.') + QLatin1String(PreparedSuffix);
    rememberFolder(file);
    QString error;
    if (!savePrepared(m_report, file, &error)) ShowMess(error, 3);
}

void TfrmPreview::tbExportClick()
{
    if (m_rendering || pageCount() == 0) return;
    QString file = Dialogs::current().saveFileName(QStringLiteral("导出"), lastFolder(), exportFilter());
    if (file.isEmpty()) return;
    // The dialog tells the name, not the filter: a name without a type is a PDF.
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
    const std::optional<ExportFormat> format = formatOfFile(file);
    if (!format) {
        ShowMess(QStringLiteral("不能导出为“%1”类型的文件，请选择 PDF、CSV、文本、RTF 或 HTML 文件。").arg(QFileInfo(file).suffix()), 0);
        return;
    }
    rememberFolder(file);
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = exportReport(m_report, *format, file, &error);
    QApplication::restoreOverrideCursor();
    if (!ok) ShowMess(error, 3);
}

} // namespace Report
