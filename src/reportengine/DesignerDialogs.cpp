#include "DesignerDialogs.h"
#include "DesignerDocument.h"

#include "app/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace Report {

namespace {

QDoubleSpinBox *mmBox(double value, double max, QWidget *parent)
{
    auto *s = new QDoubleSpinBox(parent);
    s->setRange(0, max);
    s->setDecimals(1);
    s->setSingleStep(0.5);
    s->setSuffix(QStringLiteral(" mm"));
    s->setValue(value);
    return s;
}

QDialogButtonBox *okCancel(QDialog *d)
{
    auto *b = new QDialogButtonBox(d);
    b->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    b->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    QObject::connect(b, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(b, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return b;
}

void setComboData(QComboBox *box, int value)
{
    const int i = box->findData(value);
    box->setCurrentIndex(i < 0 ? 0 : i);
}

} // namespace

std::optional<QByteArray> askPictureFile()
{
    const QString path = Dialogs::current().openFileName(QStringLiteral("载入图片"), QString(),
                                                         QStringLiteral("图片 (*.png *.jpg *.jpeg)"));
    if (path.isEmpty()) return std::nullopt;
    QFile f(path);
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly)) bytes = f.readAll();
    if (QImage::fromData(bytes).isNull()) {
        ShowMess(QStringLiteral("无法读取图片文件：%1").arg(path), 2);
        return std::nullopt;
    }
    return bytes;
}

DesignerObjectDialog::DesignerObjectDialog(const ReportObject &o, const SourceFields &fields, QWidget *parent)
    : QDialog(parent), m_o(o), m_fields(fields)
{
    setObjectName(QStringLiteral("DesignerObjectDialog"));
    setWindowTitle(objectKindCaption(o.kind) + QStringLiteral("属性"));

    edtName = new QLineEdit(o.name, this);
    edtName->setObjectName(QStringLiteral("edtName"));
    memText = new QPlainTextEdit(o.text, this);
    memText->setObjectName(QStringLiteral("memText"));
    lstFields = new QListWidget(this);
    lstFields->setObjectName(QStringLiteral("lstFields"));
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        for (const QString &f : it.value()) lstFields->addItem(it.key() + u'.' + f);
    connect(lstFields, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { lstFieldsDblClick(lstFields->row(item)); });

    cbbFont = new QFontComboBox(this);
    cbbFont->setObjectName(QStringLiteral("cbbFont"));
    cbbFont->setCurrentFont(QFont(o.font.family));
    // A family this machine lacks is kept as written, not replaced by a guess.
    cbbFont->setEditText(o.font.family);
    spnSize = new QDoubleSpinBox(this);
    spnSize->setObjectName(QStringLiteral("spnSize"));
    spnSize->setRange(1, 200);
    spnSize->setDecimals(1);
    spnSize->setValue(o.font.size);
    chkBold = new QCheckBox(QStringLiteral("粗体"), this);
    chkBold->setChecked(o.font.bold);
    chkItalic = new QCheckBox(QStringLiteral("斜体"), this);
    chkItalic->setChecked(o.font.italic);
    chkUnderline = new QCheckBox(QStringLiteral("下划线"), this);
    chkUnderline->setChecked(o.font.underline);

    cbbHAlign = new QComboBox(this);
    cbbHAlign->setObjectName(QStringLiteral("cbbHAlign"));
    cbbHAlign->addItem(QStringLiteral("左对齐"), int(Qt::AlignLeft));
    cbbHAlign->addItem(QStringLiteral("居中"), int(Qt::AlignHCenter));
    cbbHAlign->addItem(QStringLiteral("右对齐"), int(Qt::AlignRight));
    setComboData(cbbHAlign, o.alignment & Qt::AlignHorizontal_Mask);
    cbbVAlign = new QComboBox(this);
    cbbVAlign->setObjectName(QStringLiteral("cbbVAlign"));
    cbbVAlign->addItem(QStringLiteral("顶端"), int(Qt::AlignTop));
    cbbVAlign->addItem(QStringLiteral("垂直居中"), int(Qt::AlignVCenter));
    cbbVAlign->addItem(QStringLiteral("底端"), int(Qt::AlignBottom));
    setComboData(cbbVAlign, o.alignment & Qt::AlignVertical_Mask);
    chkWordWrap = new QCheckBox(QStringLiteral("自动换行"), this);
    chkWordWrap->setObjectName(QStringLiteral("chkWordWrap"));
    chkWordWrap->setChecked(o.wordWrap);
    chkStretch = new QCheckBox(QStringLiteral("随内容伸展"), this);
    chkStretch->setObjectName(QStringLiteral("chkStretch"));
    chkStretch->setChecked(o.stretch);

    chkFrameLeft = new QCheckBox(QStringLiteral("左"), this);
    chkFrameLeft->setChecked(o.frame.left);
    chkFrameTop = new QCheckBox(QStringLiteral("上"), this);
    chkFrameTop->setChecked(o.frame.top);
    chkFrameRight = new QCheckBox(QStringLiteral("右"), this);
    chkFrameRight->setChecked(o.frame.right);
    chkFrameBottom = new QCheckBox(QStringLiteral("下"), this);
    chkFrameBottom->setChecked(o.frame.bottom);
    spnFrameWidth = mmBox(o.frame.width, 5, this);
    spnFrameWidth->setDecimals(2);
    spnFrameWidth->setSingleStep(0.1);

    cbbChartType = new QComboBox(this);
    cbbChartType->addItem(QStringLiteral("饼形图"), QStringLiteral("pie"));
    cbbChartType->addItem(QStringLiteral("柱形图"), QStringLiteral("bar"));
    cbbChartType->setCurrentIndex(o.chartType == QLatin1String("bar") ? 1 : 0);
    cbbChartSource = new QComboBox(this);
    cbbChartSource->setEditable(true);
    cbbChartSource->addItems(fields.keys());
    cbbChartSource->setEditText(o.chartSource);
    cbbLabelField = new QComboBox(this);
    cbbLabelField->setEditable(true);
    cbbValueField = new QComboBox(this);
    cbbValueField->setEditable(true);
    auto fillFields = [this](const QString &source) {
        const QString label = cbbLabelField->currentText(), value = cbbValueField->currentText();
        cbbLabelField->clear();
        cbbValueField->clear();
        for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
            if (it.key().compare(source, Qt::CaseInsensitive) == 0) {
                cbbLabelField->addItems(it.value());
                cbbValueField->addItems(it.value());
            }
        cbbLabelField->setEditText(label);
        cbbValueField->setEditText(value);
    };
    connect(cbbChartSource, &QComboBox::currentTextChanged, this, fillFields);
    fillFields(o.chartSource);
    cbbLabelField->setEditText(o.labelField);
    cbbValueField->setEditText(o.valueField);

    btnPicture = new QPushButton(QStringLiteral("载入图片..."), this);
    btnPicture->setObjectName(QStringLiteral("btnPicture"));
    connect(btnPicture, &QPushButton::clicked, this, &DesignerObjectDialog::btnPictureClick);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("名称"), edtName);

    const bool hasText = o.kind == ObjectKind::Text || o.kind == ObjectKind::CheckBox;
    auto *textBox = new QGroupBox(o.kind == ObjectKind::CheckBox ? QStringLiteral("勾选条件（表达式）")
                                                                 : QStringLiteral("文本（[数据源.字段] 为表达式）"),
                                  this);
    auto *textRow = new QHBoxLayout(textBox);
    textRow->addWidget(memText, 3);
    auto *fieldCol = new QVBoxLayout;
    fieldCol->addWidget(new QLabel(QStringLiteral("字段（双击插入）"), textBox));
    fieldCol->addWidget(lstFields);
    textRow->addLayout(fieldCol, 2);
    textBox->setVisible(hasText);

    auto *looks = new QGroupBox(QStringLiteral("字体与对齐"), this);
    auto *looksForm = new QFormLayout(looks);
    looksForm->addRow(QStringLiteral("字体"), cbbFont);
    auto *fontRow = new QHBoxLayout;
    fontRow->addWidget(spnSize);
    fontRow->addWidget(chkBold);
    fontRow->addWidget(chkItalic);
    fontRow->addWidget(chkUnderline);
    looksForm->addRow(QStringLiteral("字号"), fontRow);
    auto *alignRow = new QHBoxLayout;
    alignRow->addWidget(cbbHAlign);
    alignRow->addWidget(cbbVAlign);
    looksForm->addRow(QStringLiteral("对齐"), alignRow);
    auto *wrapRow = new QHBoxLayout;
    wrapRow->addWidget(chkWordWrap);
    wrapRow->addWidget(chkStretch);
    looksForm->addRow(QString(), wrapRow);
    looks->setVisible(o.kind == ObjectKind::Text);

    auto *frameBox = new QGroupBox(QStringLiteral("边框"), this);
    auto *frameRow = new QHBoxLayout(frameBox);
    for (QWidget *w : {static_cast<QWidget *>(chkFrameLeft), static_cast<QWidget *>(chkFrameTop),
                       static_cast<QWidget *>(chkFrameRight), static_cast<QWidget *>(chkFrameBottom)})
        frameRow->addWidget(w);
    frameRow->addWidget(new QLabel(QStringLiteral("线宽"), frameBox));
    frameRow->addWidget(spnFrameWidth);

    auto *chartBox = new QGroupBox(QStringLiteral("图表"), this);
    auto *chartForm = new QFormLayout(chartBox);
    chartForm->addRow(QStringLiteral("类型"), cbbChartType);
    chartForm->addRow(QStringLiteral("数据源"), cbbChartSource);
    chartForm->addRow(QStringLiteral("标签字段"), cbbLabelField);
    chartForm->addRow(QStringLiteral("数值字段"), cbbValueField);
    chartBox->setVisible(o.kind == ObjectKind::Chart);
    btnPicture->setVisible(o.kind == ObjectKind::Picture);

    buttons = okCancel(this);
    auto *v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addWidget(textBox);
    v->addWidget(looks);
    v->addWidget(frameBox);
    v->addWidget(chartBox);
    v->addWidget(btnPicture);
    v->addWidget(buttons);
}

void DesignerObjectDialog::lstFieldsDblClick(int row)
{
    const QListWidgetItem *item = lstFields->item(row);
    if (!item) return;
    memText->insertPlainText(u'[' + item->text() + u']');
    memText->setFocus();
}

void DesignerObjectDialog::btnPictureClick()
{
    if (const std::optional<QByteArray> bytes = askPictureFile()) m_o.picture = *bytes;
}

ReportObject DesignerObjectDialog::result() const
{
    ReportObject o = m_o;
    o.name = edtName->text().trimmed();
    o.text = memText->toPlainText();
    o.font.family = cbbFont->currentText().trimmed().isEmpty() ? QString::fromLatin1(DefaultFont)
                                                              : cbbFont->currentText().trimmed();
    o.font.size = spnSize->value();
    o.font.bold = chkBold->isChecked();
    o.font.italic = chkItalic->isChecked();
    o.font.underline = chkUnderline->isChecked();
    o.alignment = cbbHAlign->currentData().toInt() | cbbVAlign->currentData().toInt();
    o.wordWrap = chkWordWrap->isChecked();
    o.stretch = chkStretch->isChecked();
    o.frame.left = chkFrameLeft->isChecked();
    o.frame.top = chkFrameTop->isChecked();
    o.frame.right = chkFrameRight->isChecked();
    o.frame.bottom = chkFrameBottom->isChecked();
    o.frame.width = spnFrameWidth->value();
    if (o.kind == ObjectKind::Chart) {
        o.chartType = cbbChartType->currentData().toString();
        o.chartSource = cbbChartSource->currentText().trimmed();
        o.labelField = cbbLabelField->currentText().trimmed();
        o.valueField = cbbValueField->currentText().trimmed();
    }
    return o;
}

DesignerBandDialog::DesignerBandDialog(const Band &b, const QStringList &sourceNames, QWidget *parent)
    : QDialog(parent), m_b(b)
{
    setObjectName(QStringLiteral("DesignerBandDialog"));
    setWindowTitle(QStringLiteral("栏属性"));
    cbbKind = new QComboBox(this);
    cbbKind->setObjectName(QStringLiteral("cbbKind"));
    for (BandKind k : bandKindsInPageOrder()) cbbKind->addItem(bandKindCaption(k), int(k));
    setComboData(cbbKind, int(b.kind));
    edtName = new QLineEdit(b.name, this);
    spnHeight = mmBox(b.height, 1000, this);
    spnHeight->setObjectName(QStringLiteral("spnHeight"));
    cbbSource = new QComboBox(this);
    cbbSource->setObjectName(QStringLiteral("cbbSource"));
    cbbSource->setEditable(true);
    cbbSource->addItem(QString());
    cbbSource->addItems(sourceNames);
    cbbSource->setEditText(b.source);
    chkCurrentRowOnly = new QCheckBox(QStringLiteral("只打印当前行"), this);
    chkCurrentRowOnly->setChecked(b.currentRowOnly);
    edtMasterField = new QLineEdit(b.masterField, this);
    edtMasterField->setObjectName(QStringLiteral("edtMasterField"));
    edtDetailField = new QLineEdit(b.detailField, this);
    edtDetailField->setObjectName(QStringLiteral("edtDetailField"));
    edtGroup = new QLineEdit(b.groupExpression, this);
    edtGroup->setObjectName(QStringLiteral("edtGroup"));
    chkNewPage = new QCheckBox(QStringLiteral("之后换页"), this);
    chkNewPage->setChecked(b.newPageAfter);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("类型"), cbbKind);
    form->addRow(QStringLiteral("名称"), edtName);
    form->addRow(QStringLiteral("高度"), spnHeight);
    form->addRow(QStringLiteral("数据源"), cbbSource);
    form->addRow(QString(), chkCurrentRowOnly);
    form->addRow(QStringLiteral("主表字段"), edtMasterField);
    form->addRow(QStringLiteral("明细字段"), edtDetailField);
    form->addRow(QStringLiteral("分组表达式"), edtGroup);
    form->addRow(QString(), chkNewPage);
    buttons = okCancel(this);
    auto *v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addWidget(buttons);
}

Band DesignerBandDialog::result() const
{
    Band b = m_b;
    b.kind = BandKind(cbbKind->currentData().toInt());
    b.name = edtName->text().trimmed();
    b.height = spnHeight->value();
    b.source = cbbSource->currentText().trimmed();
    b.currentRowOnly = chkCurrentRowOnly->isChecked();
    b.masterField = edtMasterField->text().trimmed();
    b.detailField = edtDetailField->text().trimmed();
    b.groupExpression = edtGroup->text().trimmed();
    b.newPageAfter = chkNewPage->isChecked();
    return b;
}

DesignerPageDialog::DesignerPageDialog(const PageSetup &p, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DesignerPageDialog"));
    setWindowTitle(QStringLiteral("页面设置"));
    cbbPaper = new QComboBox(this);
    cbbPaper->setObjectName(QStringLiteral("cbbPaper"));
    for (const PaperSize &s : paperSizes()) cbbPaper->addItem(s.name);
    cbbPaper->addItem(QStringLiteral("自定义"));
    spnWidth = mmBox(p.width, 2000, this);
    spnWidth->setObjectName(QStringLiteral("spnWidth"));
    spnHeight = mmBox(p.height, 2000, this);
    spnHeight->setObjectName(QStringLiteral("spnHeight"));
    spnWidth->setMinimum(10);
    spnHeight->setMinimum(10);
    cbbOrientation = new QComboBox(this);
    cbbOrientation->setObjectName(QStringLiteral("cbbOrientation"));
    cbbOrientation->addItems({QStringLiteral("纵向"), QStringLiteral("横向")});
    cbbOrientation->setCurrentIndex(p.landscape ? 1 : 0);
    spnLeft = mmBox(p.margins.left(), 200, this);
    spnTop = mmBox(p.margins.top(), 200, this);
    spnRight = mmBox(p.margins.right(), 200, this);
    spnBottom = mmBox(p.margins.bottom(), 200, this);
    spnColumns = new QSpinBox(this);
    spnColumns->setObjectName(QStringLiteral("spnColumns"));
    spnColumns->setRange(1, 20);
    spnColumns->setValue(p.columns);
    spnGap = mmBox(p.columnGap, 200, this);

    cbbPaper->setCurrentText(paperNameFor(p.width, p.height));
    auto sync = [this] {
        // A named paper fixes the size; custom leaves it to the operator.
        const int i = cbbPaper->currentIndex();
        const bool custom = i >= paperSizes().size();
        spnWidth->setEnabled(custom);
        spnHeight->setEnabled(custom);
        if (!custom) {
            spnWidth->setValue(paperSizes().at(i).width);
            spnHeight->setValue(paperSizes().at(i).height);
        }
    };
    connect(cbbPaper, &QComboBox::currentIndexChanged, this, sync);
    sync();

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("纸张"), cbbPaper);
    form->addRow(QStringLiteral("宽度"), spnWidth);
    form->addRow(QStringLiteral("高度"), spnHeight);
    form->addRow(QStringLiteral("方向"), cbbOrientation);
    form->addRow(QStringLiteral("左边距"), spnLeft);
    form->addRow(QStringLiteral("上边距"), spnTop);
    form->addRow(QStringLiteral("右边距"), spnRight);
    form->addRow(QStringLiteral("下边距"), spnBottom);
    form->addRow(QStringLiteral("栏数"), spnColumns);
    form->addRow(QStringLiteral("栏间距"), spnGap);
    buttons = okCancel(this);
    auto *v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addWidget(buttons);
}

PageSetup DesignerPageDialog::result() const
{
    PageSetup p;
    p.width = spnWidth->value();
    p.height = spnHeight->value();
    p.landscape = cbbOrientation->currentIndex() == 1;
    p.margins = QMarginsF(spnLeft->value(), spnTop->value(), spnRight->value(), spnBottom->value());
    p.columns = spnColumns->value();
    p.columnGap = spnGap->value();
    return p;
}

} // namespace Report
