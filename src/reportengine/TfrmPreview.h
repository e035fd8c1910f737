#pragma once
// The one preview window of every print ("预览"): pages appear as the
// renderer makes them, with a progress text and a cancel button; zoom,
// paging, find, print, save and open of a prepared report, and the exports.

#include "PreparedReport.h"

#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace Report {

class PreviewPageView;

class TfrmPreview : public QDialog {
    Q_OBJECT

public:
    explicit TfrmPreview(QWidget *parent = nullptr);
    ~TfrmPreview() override;

    // Replaces the pages; the page shown stays when the new report has it
    // (the finished pages of a render replace those shown while it ran).
    void setReport(PreparedReport report);
    const PreparedReport &report() const { return m_report; }

    // While a renderer runs: pages arrive through addPage, setProgressText
    // tells how far it is, and 取消 (or closing the window) calls `cancel`
    // once; the renderer stops and calls endRendering.
    void beginRendering(std::function<void()> cancel);
    void setProgressText(const QString &text);
    void endRendering();
    bool isRendering() const { return m_rendering; }

    int pageCount() const { return int(m_report.pages.size()); }
    int currentPage() const { return m_page; }   // from 0
    void setCurrentPage(int page);

    // The entries of cbbZoom: whole page, page width, then percentages.
    enum ZoomMode { WholePage, PageWidth, Percent };
    void setZoom(ZoomMode mode, int percent = 100);
    ZoomMode zoomMode() const { return m_zoomMode; }
    double scale() const { return m_scale; }     // screen pixels per mm

    // Looks for the next text item, in reading order after the last hit,
    // that contains `text` (without regard to case), turns to its page and
    // scrolls it into view; false when no page holds it.
    bool findNext(const QString &text);
    int hitPage() const { return m_hitPage; }
    int hitItem() const { return m_hitItem; }    // index into the page's items; -1 none

    QComboBox *cbbZoom = nullptr;
    QToolButton *tbPrint = nullptr;
    QToolButton *tbOpen = nullptr;
    QToolButton *tbSave = nullptr;
    QToolButton *tbExport = nullptr;
    QToolButton *tbFind = nullptr;
    QToolButton *tbFirst = nullptr;
    QToolButton *tbPrior = nullptr;
    QToolButton *tbNext = nullptr;
    QToolButton *tbLast = nullptr;
    QToolButton *tbClose = nullptr;
    QLabel *lblPage = nullptr;
    QLabel *lblProgress = nullptr;
    QPushButton *btnCancel = nullptr;
    QScrollArea *ScrollBox = nullptr;

public slots:
    void addPage(const Report::PreparedPage &page);
    void tbPrintClick();
    void tbOpenClick();
    void tbSaveClick();
    void tbExportClick();
    void tbFindClick();      // Ctrl+F: asks for the text, then finds it
    void FindNextClick();    // F3: the same text once more
    void btnCancelClick();
    void reject() override;   // Esc and 退出; stops a render first

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyZoom();
    void updateState();
    void showHit();
    void cancelRendering();

    PreparedReport m_report;
    PreviewPageView *m_view = nullptr;
    int m_page = 0;
    ZoomMode m_zoomMode = PageWidth;
    int m_percent = 100;
    double m_scale = 1;
    bool m_rendering = false;
    std::function<void()> m_cancel;
    QString m_findText;
    int m_hitPage = -1;
    int m_hitItem = -1;
};

} // namespace Report
