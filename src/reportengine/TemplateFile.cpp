#include "TemplateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>

namespace Report {

namespace {

namespace L = TemplateLimits;

const QString RootName = QStringLiteral("reportTemplate");

struct BandKindName {
    BandKind kind;
    const char *name;
};
constexpr BandKindName BandKindNames[] = {
    {BandKind::ReportTitle, "ReportTitle"},   {BandKind::PageHeader, "PageHeader"},
    {BandKind::ColumnHeader, "ColumnHeader"}, {BandKind::MasterData, "MasterData"},
    {BandKind::DetailData, "DetailData"},     {BandKind::GroupHeader, "GroupHeader"},
    {BandKind::GroupFooter, "GroupFooter"},   {BandKind::PageFooter, "PageFooter"},
    {BandKind::ReportSummary, "ReportSummary"},
};

struct ObjectKindName {
    ObjectKind kind;
    const char *name;
};
constexpr ObjectKindName ObjectKindNames[] = {
    {ObjectKind::Text, "text"},         {ObjectKind::Line, "line"},       {ObjectKind::Rect, "rect"},
    {ObjectKind::CheckBox, "checkbox"}, {ObjectKind::Picture, "picture"}, {ObjectKind::Chart, "chart"},
};

struct AlignName {
    int flag;
    const char *name;
};
constexpr AlignName AlignNames[] = {
    {Qt::AlignLeft, "left"},     {Qt::AlignRight, "right"},   {Qt::AlignHCenter, "hcenter"},
    {Qt::AlignJustify, "justify"}, {Qt::AlignAbsolute, "absolute"}, {Qt::AlignTop, "top"},
    {Qt::AlignBottom, "bottom"}, {Qt::AlignVCenter, "vcenter"}, {Qt::AlignBaseline, "baseline"},
};

QString bandKindName(BandKind k)
{
    for (const auto &n : BandKindNames)
        if (n.kind == k) return QString::fromLatin1(n.name);
    return {};
}

QString objectKindName(ObjectKind k)
{
    for (const auto &n : ObjectKindNames)
        if (n.kind == k) return QString::fromLatin1(n.name);
    return {};
}

// ---------------------------------------------------------------- writing

// XML 1.0 cannot carry control codes other than tab and line breaks, lone
// surrogates or U+FFFE/U+FFFF; the writer would stop at the first one and
// leave a broken file, so they are dropped.
QString xmlSafe(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            out += c;
            out += s.at(++i);
            continue;
        }
        const char16_t u = c.unicode();
        if (u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) || (u >= 0xE000 && u <= 0xFFFD))
            out += c;
    }
    return out;
}

QString numberText(double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); }

QString colorText(const QColor &c) { return c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb); }

QString alignmentText(int a)
{
    QStringList words;
    for (const auto &n : AlignNames)
        if (a & n.flag) words << QString::fromLatin1(n.name);
    return words.join(u' ');
}

class Writer {
public:
    explicit Writer(QByteArray *out) : w(out)
    {
        w.setAutoFormatting(true);
        w.setAutoFormattingIndent(2);
    }

    void write(const ReportTemplate &t)
    {
        w.writeStartDocument();
        w.writeStartElement(RootName);
        w.writeAttribute(QStringLiteral("version"), QString::number(TemplateFormatVersion));
        writePage(t.page);
        for (const Band &b : t.bands) writeBand(b);
        w.writeEndElement();
        w.writeEndDocument();
    }

private:
    QXmlStreamWriter w;

    void attr(const char *name, const QString &value) { w.writeAttribute(QString::fromLatin1(name), xmlSafe(value)); }
    void attr(const char *name, double value) { attr(name, numberText(value)); }
    void optional(const char *name, const QString &value)
    {
        if (!value.isEmpty()) attr(name, value);
    }
    void flag(const char *name, bool value)
    {
        if (value) attr(name, QStringLiteral("1"));
    }

    void writePage(const PageSetup &p)
    {
        w.writeStartElement(QStringLiteral("page"));
        attr("width", p.width);
        attr("height", p.height);
        attr("landscape", QString::number(p.landscape ? 1 : 0));
        attr("marginLeft", p.margins.left());
        attr("marginTop", p.margins.top());
        attr("marginRight", p.margins.right());
        attr("marginBottom", p.margins.bottom());
        attr("columns", QString::number(p.columns));
        attr("columnGap", p.columnGap);
        w.writeEndElement();
    }

    void writeBand(const Band &b)
    {
        w.writeStartElement(QStringLiteral("band"));
        attr("kind", bandKindName(b.kind));
        optional("name", b.name);
        attr("height", b.height);
        optional("source", b.source);
        flag("currentRowOnly", b.currentRowOnly);
        optional("detailField", b.detailField);
        optional("masterField", b.masterField);
        optional("group", b.groupExpression);
        flag("newPageAfter", b.newPageAfter);
        for (const ReportObject &o : b.objects) writeObject(o);
        w.writeEndElement();
    }

    void writeObject(const ReportObject &o)
    {
        static const ReportObject plain;
        w.writeStartElement(QStringLiteral("object"));
        attr("kind", objectKindName(o.kind));
        optional("name", o.name);
        attr("x", o.rect.x());
        attr("y", o.rect.y());
        attr("width", o.rect.width());
        attr("height", o.rect.height());
        if (o.alignment != plain.alignment) attr("align", alignmentText(o.alignment));
        flag("wordWrap", o.wordWrap);
        flag("stretch", o.stretch);
        if (o.color != plain.color) attr("color", colorText(o.color));
        if (o.fill.isValid()) attr("fill", colorText(o.fill));
        optional("chartType", o.chartType);
        optional("chartSource", o.chartSource);
        optional("labelField", o.labelField);
        optional("valueField", o.valueField);

        w.writeStartElement(QStringLiteral("font"));
        attr("family", o.font.family);
        attr("size", o.font.size);
        flag("bold", o.font.bold);
        flag("italic", o.font.italic);
        flag("underline", o.font.underline);
        w.writeEndElement();

        const Frame &f = o.frame;
        if (f.left || f.top || f.right || f.bottom || f.width != Frame().width) {
            w.writeStartElement(QStringLiteral("frame"));
            flag("left", f.left);
            flag("top", f.top);
            flag("right", f.right);
            flag("bottom", f.bottom);
            attr("width", f.width);
            w.writeEndElement();
        }
        if (!o.text.isEmpty()) writeText(QStringLiteral("text"), xmlSafe(o.text));
        if (!o.picture.isEmpty()) writePicture(o.picture);
        w.writeEndElement();
    }

    // A reader turns a raw carriage return in element text into a line feed,
    // so returns travel as character references.
    void writeText(const QString &element, const QString &text)
    {
        w.writeStartElement(element);
        const QStringList parts = text.split(u'\r');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) w.writeEntityReference(QStringLiteral("#13"));
            w.writeCharacters(parts.at(i));
        }
        w.writeEndElement();
    }

    void writePicture(const QByteArray &bytes)
    {
        const QByteArray b64 = bytes.toBase64();
        QString text;
        for (qsizetype i = 0; i < b64.size(); i += 76) text += u'\n' + QString::fromLatin1(b64.mid(i, 76));
        w.writeTextElement(QStringLiteral("picture"), text + u'\n');
    }
};

// ---------------------------------------------------------------- reading

class Reader {
public:
    Reader(const QByteArray &xml, const QString &what) : m_xml(xml), m_x(xml), m_what(what) {}

    std::optional<ReportTemplate> read(QString *error)
    {
        if (error) error->clear();
        std::optional<ReportTemplate> t;
        if (m_xml.trimmed().isEmpty())
            m_error = QStringLiteral("%1是空的。").arg(m_what);
        else if (m_xml.size() > L::MaxFileBytes)
            m_error = QStringLiteral("%1太大（%2 MB），不是报表模板。").arg(m_what).arg(m_xml.size() / (1024 * 1024));
        else
            t = readDocument();
        if (!t) {
            if (error) *error = m_error;
            return std::nullopt;
        }
        if (error && !m_notes.isEmpty()) {
            QStringList lines = m_notes;
            if (m_moreNotes > 0) lines << QStringLiteral("……另有 %1 处类似的问题。").arg(m_moreNotes);
            *error = QStringLiteral("%1中有些内容未能按原样读入：\n").arg(m_what) + lines.join(u'\n');
        }
        return t;
    }

private:
    QByteArray m_xml;
    QXmlStreamReader m_x;
    QString m_what;
    QString m_error;
    QStringList m_notes;
    int m_moreNotes = 0;
    int m_objects = 0;

    void note(const QString &text)
    {
        if (m_notes.size() >= 20) {
            ++m_moreNotes;
            return;
        }
        m_notes << QStringLiteral("第 %1 行：%2").arg(m_x.lineNumber()).arg(text);
    }

    bool failedXml()
    {
        if (!m_x.hasError()) return false;
        if (m_x.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            m_error = QStringLiteral("%1不完整（在第 %2 行中断），可能没有写完或复制时被截断。")
                          .arg(m_what)
                          .arg(m_x.lineNumber());
        else
            m_error = QStringLiteral("%1已损坏，不是有效的报表模板：第 %2 行第 %3 列的内容无法识别。")
                          .arg(m_what)
                          .arg(m_x.lineNumber())
                          .arg(m_x.columnNumber());
        return true;
    }

    std::optional<ReportTemplate> readDocument()
    {
        while (!m_x.atEnd() && !m_x.isStartElement()) {
            m_x.readNext();
            if (m_x.isDTD()) {
                // Entity declarations have no place in a template; refusing
                // them keeps entity expansion out of the reader.
                m_error = QStringLiteral("%1不是报表模板（含有文档类型声明）。").arg(m_what);
                return std::nullopt;
            }
        }
        if (failedXml()) return std::nullopt;
        if (!m_x.isStartElement()) {
            m_error = QStringLiteral("%1不是报表模板。").arg(m_what);
            return std::nullopt;
        }
        if (m_x.name() != RootName) {
            m_error = QStringLiteral("%1不是报表模板（根元素为 <%2>，应为 <%3>）。")
                          .arg(m_what, m_x.name().toString().left(40), RootName);
            return std::nullopt;
        }
        bool ok = false;
        const int version = m_x.attributes().value(QStringLiteral("version")).toInt(&ok);
        if (!ok || version < 1) {
            m_error = QStringLiteral("%1缺少有效的格式版本号（version）。").arg(m_what);
            return std::nullopt;
        }
        if (version > TemplateFormatVersion)
            note(QStringLiteral("模板由较新的程序写成（格式版本 %1），本程序不认识的内容已略去。").arg(version));

        ReportTemplate t;
        bool pageSeen = false;
        while (m_x.readNextStartElement()) {
            if (m_x.name() == u"page") {
                if (pageSeen) note(QStringLiteral("页面设置出现了多次，以最后一次为准。"));
                pageSeen = true;
                readPage(t.page);
            } else if (m_x.name() == u"band") {
                if (t.bands.size() >= L::MaxBands) {
                    note(QStringLiteral("带区超过 %1 个，其余已略去。").arg(L::MaxBands));
                    m_x.skipCurrentElement();
                } else if (std::optional<Band> b = readBand()) {
                    t.bands << *b;
                }
            } else {
                unknownElement();
            }
        }
        if (failedXml()) return std::nullopt;
        return t;
    }

    void unknownElement()
    {
        note(QStringLiteral("不认识的元素 <%1>，已略去。").arg(m_x.name().toString().left(40)));
        m_x.skipCurrentElement();
    }

    // ---- attributes

    QString text(const char *name) const { return m_x.attributes().value(QString::fromLatin1(name)).toString(); }
    bool has(const char *name) const { return m_x.attributes().hasAttribute(QString::fromLatin1(name)); }

    double number(const char *name, double def, double lo, double hi)
    {
        if (!has(name)) return def;
        const QString t = text(name).trimmed();
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok || !std::isfinite(v)) {
            note(QStringLiteral("%1=“%2”不是有效的数字，已改用 %3。").arg(QString::fromLatin1(name), t.left(40), numberText(def)));
            return def;
        }
        if (v < lo || v > hi) {
            const double c = v < lo ? lo : hi;
            note(QStringLiteral("%1=“%2”超出范围，已改为 %3。").arg(QString::fromLatin1(name), t.left(40), numberText(c)));
            return c;
        }
        return v;
    }

    int integer(const char *name, int def, int lo, int hi)
    {
        return int(std::lround(number(name, def, lo, hi)));
    }

    bool boolean(const char *name, bool def)
    {
        if (!has(name)) return def;
        const QString t = text(name).trimmed().toLower();
        if (t == u"1" || t == u"true" || t == u"yes") return true;
        if (t == u"0" || t == u"false" || t == u"no" || t.isEmpty()) return false;
        note(QStringLiteral("%1=“%2”不是 0 或 1，已改用 %3。").arg(QString::fromLatin1(name), t.left(40)).arg(def ? 1 : 0));
        return def;
    }

    QColor color(const char *name, const QColor &def)
    {
        if (!has(name)) return def;
        const QString t = text(name).trimmed();
        if (t.isEmpty()) return {};
        const QColor c = QColor::fromString(t);
        if (c.isValid()) return c;
        note(QStringLiteral("%1=“%2”不是颜色，已改用默认值。").arg(QString::fromLatin1(name), t.left(40)));
        return def;
    }

    int alignment(int def)
    {
        if (!has("align")) return def;
        const QString t = text("align").trimmed();
        bool ok = false;
        const int n = t.toInt(&ok);
        if (ok) return n & 0x1FF;
        int a = 0;
        const QStringList words = t.split(QRegularExpression(QStringLiteral("[\\s|,]+")), Qt::SkipEmptyParts);
        for (const QString &word : words) {
            const QString w = word.toLower();
            bool known = false;
            if (w == u"center") {
                a |= Qt::AlignCenter;
                known = true;
            }
            for (const auto &an : AlignNames)
                if (w == QLatin1String(an.name)) {
                    a |= an.flag;
                    known = true;
                }
            if (!known) note(QStringLiteral("对齐方式“%1”无法识别，已略去。").arg(word.left(40)));
        }
        return a;
    }

    QString cappedText(QString t)
    {
        if (t.size() > L::MaxTextLength) {
            note(QStringLiteral("文字超过 %1 个字符，多出的部分已略去。").arg(L::MaxTextLength));
            t.truncate(L::MaxTextLength);
        }
        return t;
    }

    // ---- elements

    void readPage(PageSetup &p)
    {
        p.width = number("width", p.width, L::MinPageSide, L::MaxLength);
        p.height = number("height", p.height, L::MinPageSide, L::MaxLength);
        p.landscape = boolean("landscape", p.landscape);
        p.margins = QMarginsF(number("marginLeft", p.margins.left(), 0, L::MaxMargin),
                              number("marginTop", p.margins.top(), 0, L::MaxMargin),
                              number("marginRight", p.margins.right(), 0, L::MaxMargin),
                              number("marginBottom", p.margins.bottom(), 0, L::MaxMargin));
        p.columns = integer("columns", p.columns, 1, L::MaxColumns);
        p.columnGap = number("columnGap", p.columnGap, 0, L::MaxLength);
        m_x.skipCurrentElement();
    }

    std::optional<Band> readBand()
    {
        Band b;
        const QString kind = text("kind");
        bool known = false;
        for (const auto &n : BandKindNames)
            if (kind.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
                b.kind = n.kind;
                known = true;
            }
        if (!known) {
            note(QStringLiteral("不认识的带区类型“%1”，这个带区已略去。").arg(kind.left(40)));
            m_x.skipCurrentElement();
            return std::nullopt;
        }
        b.name = text("name");
        b.height = number("height", b.height, 0, L::MaxLength);
        b.source = text("source");
        b.currentRowOnly = boolean("currentRowOnly", b.currentRowOnly);
        b.detailField = text("detailField");
        b.masterField = text("masterField");
        b.groupExpression = text("group");
        b.newPageAfter = boolean("newPageAfter", b.newPageAfter);
        while (m_x.readNextStartElement()) {
            if (m_x.name() != u"object") {
                unknownElement();
            } else if (m_objects >= L::MaxObjects) {
                if (m_objects++ == L::MaxObjects)
                    note(QStringLiteral("对象超过 %1 个，其余已略去。").arg(L::MaxObjects));
                m_x.skipCurrentElement();
            } else if (std::optional<ReportObject> o = readObject()) {
                ++m_objects;
                b.objects << *o;
            }
        }
        return b;
    }

    std::optional<ReportObject> readObject()
    {
        ReportObject o;
        const QString kind = text("kind");
        bool known = false;
        for (const auto &n : ObjectKindNames)
            if (kind.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
                o.kind = n.kind;
                known = true;
            }
        if (!known) {
            note(QStringLiteral("不认识的对象类型“%1”，这个对象已略去。").arg(kind.left(40)));
            m_x.skipCurrentElement();
            return std::nullopt;
        }
        o.name = text("name");
        // A line runs from the rectangle's top-left to its bottom-right corner,
        // so a line rising to the right has a negative height.
        const double minSize = o.kind == ObjectKind::Line ? -L::MaxLength : 0;
        const double x = number("x", 0, 0, L::MaxLength);
        const double y = number("y", 0, 0, L::MaxLength);
        const double w = number("width", 0, minSize, L::MaxLength);
        const double h = number("height", 0, minSize, L::MaxLength);
        o.rect = QRectF(x, y, w, h);
        o.alignment = alignment(o.alignment);
        o.wordWrap = boolean("wordWrap", o.wordWrap);
        o.stretch = boolean("stretch", o.stretch);
        o.color = color("color", o.color);
        o.fill = color("fill", o.fill);
        o.chartType = text("chartType");
        o.chartSource = text("chartSource");
        o.labelField = text("labelField");
        o.valueField = text("valueField");
        while (m_x.readNextStartElement()) {
            if (m_x.name() == u"font") {
                o.font.family = text("family").trimmed();
                if (o.font.family.isEmpty()) o.font.family = QString::fromLatin1(DefaultFont);
                o.font.size = number("size", o.font.size, L::MinFontSize, L::MaxFontSize);
                o.font.bold = boolean("bold", false);
                o.font.italic = boolean("italic", false);
                o.font.underline = boolean("underline", false);
                m_x.skipCurrentElement();
            } else if (m_x.name() == u"frame") {
                o.frame.left = boolean("left", false);
                o.frame.top = boolean("top", false);
                o.frame.right = boolean("right", false);
                o.frame.bottom = boolean("bottom", false);
                o.frame.width = number("width", o.frame.width, 0, L::MaxFrameWidth);
                m_x.skipCurrentElement();
            } else if (m_x.name() == u"text") {
                o.text = cappedText(m_x.readElementText(QXmlStreamReader::SkipChildElements));
            } else if (m_x.name() == u"picture") {
                QByteArray b64 = m_x.readElementText(QXmlStreamReader::SkipChildElements).toLatin1();
                b64.replace(' ', "").replace('\n', "").replace('\r', "").replace('\t', "");
                const auto decoded = QByteArray::fromBase64Encoding(b64, QByteArray::AbortOnBase64DecodingErrors);
                if (decoded)
                    o.picture = *decoded;
                else
                    note(QStringLiteral("图片数据已损坏，图片已略去。"));
            } else {
                unknownElement();
            }
        }
        return o;
    }
};

QString fileLabel(const QString &path) { return QStringLiteral("报表模板文件“%1”").arg(QDir::toNativeSeparators(path)); }

} // namespace

std::optional<ReportTemplate> readTemplate(const QByteArray &xml, QString *error)
{
    return Reader(xml, QStringLiteral("报表模板")).read(error);
}

QByteArray writeTemplate(const ReportTemplate &t)
{
    QByteArray out;
    Writer(&out).write(t);
    return out;
}

std::optional<ReportTemplate> loadTemplate(const QString &path, QString *error)
{
    const QString what = fileLabel(path);
    auto fail = [&](const QString &message) -> std::optional<ReportTemplate> {
        if (error) *error = message;
        return std::nullopt;
    };
    const QFileInfo info(path);
    if (!info.exists()) return fail(QStringLiteral("%1不存在。").arg(what));
    if (!info.isFile()) return fail(QStringLiteral("%1不是普通文件。").arg(what));
    if (info.size() > L::MaxFileBytes)
        return fail(QStringLiteral("%1太大（%2 MB），不是报表模板。").arg(what).arg(info.size() / (1024 * 1024)));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return fail(QStringLiteral("无法打开%1，请检查文件的权限。").arg(what));
    // Read no more than the limit even if the file grows meanwhile.
    const QByteArray xml = f.read(L::MaxFileBytes + 1);
    if (f.error() != QFileDevice::NoError) return fail(QStringLiteral("读取%1时出错。").arg(what));
    return Reader(xml, what).read(error);
}

bool saveTemplate(const ReportTemplate &t, const QString &path, QString *error)
{
    const QString what = fileLabel(path);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("无法保存%1：所在文件夹不能写入，或文件是只读的。原文件没有改动。").arg(what);
        return false;
    }
    const QByteArray data = writeTemplate(t);
    if (f.write(data) != data.size() || !f.commit()) {
        f.cancelWriting();
        if (error) *error = QStringLiteral("保存%1时写入失败（磁盘可能已满）。原文件没有改动。").arg(what);
        return false;
    }
    if (error) error->clear();
    return true;
}

} // namespace Report
