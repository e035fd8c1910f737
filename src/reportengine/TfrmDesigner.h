#pragma once
// The report designer ("报表设计"): edits one template and writes it back to
// the file it came from. The template in the document is the truth; the
// canvas only draws it. Every change is one step of undo (Ctrl+Z) and redo
// (Ctrl+Y); Ctrl+S saves; Esc asks before unsaved changes are left.

#include "DesignerCanvas.h"
#include "DesignerDialogs.h"
#include "DesignerDocument.h"
#include "ReportSources.h"

#include <QDialog>
#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QScrollArea;
class QToolBar;

namespace Report {

class TfrmDesigner : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDesigner(QWidget *parent = nullptr);

    // Opens the template file. A missing file starts an empty template that
    // saving creates; a file that exists but cannot be read is said and is
    // never saved over. False when the file could not be read.
    bool LoadFromFile(const QString &path);
    // A template the caller already read from `path` (empty: saving asks where).
    void setTemplate(const ReportTemplate &t, const QString &path);
    const ReportTemplate &reportTemplate() const { return m_doc.templ(); }
    DesignerDocument &document() { return m_doc; }
    QString fileName() const { return m_path; }

    // The fields offered in the text window, by source.
    void setSources(const Sources &sources);
    void setSourceFields(const SourceFields &fields);
    // "预览" hands the template as it stands to this; the action is off while none is set.
    void setPreview(std::function<void(const ReportTemplate &)> preview);

    bool modified() const { return m_doc.modified(); }
    bool Save();    // false when nothing was written (refused, failed or no file chosen)

    void addObject(ObjectKind kind);     // a picture asks for its file first
    void addBand(BandKind kind);
    void editObject(const ObjectRef &ref);
    void editBand(int band);
    void editPage();

    DesignerCanvas *canvas;
    QToolBar *toolBar;
    QAction *actSave, *actUndo, *actRedo, *actPreview, *actDelete, *actDeleteBand;
    QAction *actObject, *actBand, *actPage, *actSnap;
    QComboBox *cbbGrid;    // 1 mm / 2 mm
    QLabel *lblStatus;

    // The question Esc asks; its three buttons.
    static const QString kAskSave;   // "报表已修改，是否保存？"

protected:
    void done(int r) override;

private:
    void changed();
    bool confirmLeave();

    DesignerDocument m_doc;
    QScrollArea *m_scroll;
    QString m_path;
    bool m_unreadable = false;   // the file exists but could not be read: never overwrite it
    bool m_savedOnce = false;
    SourceFields m_fields;
    std::function<void(const ReportTemplate &)> m_preview;
};

} // namespace Report
