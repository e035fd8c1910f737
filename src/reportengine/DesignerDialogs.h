#pragma once
// The designer's property windows: an object's text and looks, a band, the
// page set-up. Each takes a copy of what it edits and hands back the edited
// copy; the designer applies it as one undoable change.

#include "ReportTemplate.h"

#include <QDialog>
#include <QMap>
#include <QStringList>
#include <optional>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace Report {

// Source name -> its field names, for the field list of the text window.
using SourceFields = QMap<QString, QStringList>;

// Asks for a PNG or JPEG file and reads it; a file that is no picture is
// said. Nothing when cancelled or unreadable.
std::optional<QByteArray> askPictureFile();

class DesignerObjectDialog : public QDialog {
    Q_OBJECT
public:
    DesignerObjectDialog(const ReportObject &o, const SourceFields &fields, QWidget *parent = nullptr);
    ReportObject result() const;

    // Double-click on a field: "[source.field]" goes in at the cursor.
    void lstFieldsDblClick(int row);
    void btnPictureClick();

    QLineEdit *edtName;
    QPlainTextEdit *memText;
    QListWidget *lstFields;
    QFontComboBox *cbbFont;
    QDoubleSpinBox *spnSize;
    QCheckBox *chkBold, *chkItalic, *chkUnderline;
    QComboBox *cbbHAlign, *cbbVAlign;
    QCheckBox *chkWordWrap, *chkStretch;
    QCheckBox *chkFrameLeft, *chkFrameTop, *chkFrameRight, *chkFrameBottom;
    QDoubleSpinBox *spnFrameWidth;
    QComboBox *cbbChartType, *cbbChartSource, *cbbLabelField, *cbbValueField;
    QPushButton *btnPicture;
    QDialogButtonBox *buttons;

private:
    ReportObject m_o;
    SourceFields m_fields;
};

class DesignerBandDialog : public QDialog {
    Q_OBJECT
public:
    DesignerBandDialog(const Band &b, const QStringList &sourceNames, QWidget *parent = nullptr);
    Band result() const;   // the objects stay as they were

    QComboBox *cbbKind;
    QLineEdit *edtName;
    QDoubleSpinBox *spnHeight;
    QComboBox *cbbSource;
    QCheckBox *chkCurrentRowOnly;
    QLineEdit *edtMasterField, *edtDetailField, *edtGroup;
    QCheckBox *chkNewPage;
    QDialogButtonBox *buttons;

private:
    Band m_b;
};

class DesignerPageDialog : public QDialog {
    Q_OBJECT
public:
    explicit DesignerPageDialog(const PageSetup &p, QWidget *parent = nullptr);
    PageSetup result() const;

    QComboBox *cbbPaper;      // the named sizes, then "自定义"
    QDoubleSpinBox *spnWidth, *spnHeight;   // portrait width and height
    QComboBox *cbbOrientation;   // 纵向 / 横向
    QDoubleSpinBox *spnLeft, *spnTop, *spnRight, *spnBottom;
    QSpinBox *spnColumns;
    QDoubleSpinBox *spnGap;
    QDialogButtonBox *buttons;
};

} // namespace Report
