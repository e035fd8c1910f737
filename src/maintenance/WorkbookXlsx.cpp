// .xlsx: the workbook is found through the package relations, its sheets
// through the workbook's relations (never by assuming sheet1.xml); shared
// strings join their runs and leave out phonetic guides; styles say which
// numbers are dates. Sheets are streamed from the zip as they are parsed.

#include "WorkbookReaders.h"

#include "data/ZipArchive.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <optional>

namespace {

constexpr qint64 kMaxPartSize = 32 * 1024 * 1024;      // workbook, relations, styles
constexpr qsizetype kMaxCellCharacters = 1024 * 1024;  // Excel itself keeps 32,767

QString damagedText() { return QStringLiteral("文件已损坏或不完整，无法读取。"); }

// "xl/" + "worksheets/sheet1.xml", "/xl/x.xml", "../x.xml" made into a member name.
QString resolve(const QString &baseDir, const QString &target)
{
    QString path = target.startsWith(u'/') ? target.mid(1) : baseDir + target;
    QStringList parts;
    for (const QString &p : path.split(u'/')) {
        if (p.isEmpty() || p == u".") continue;
        if (p == u"..") {
            if (!parts.isEmpty()) parts.removeLast();
        } else {
            parts << p;
        }
    }
    return parts.join(u'/');
}

QString dirOf(const QString &member)
{
    const qsizetype slash = member.lastIndexOf(u'/');
    return slash < 0 ? QString() : member.left(slash + 1);
}

// Relationship id -> target member, and the first target of a type.
struct Relations {
    QHash<QString, QString> targets;
    QHash<QString, QString> byType;   // last segment of the type -> target
};

bool readRelations(const ZipArchive &zip, const QString &member, const QString &baseDir, Relations *rels,
                   QString *error)
{
    QByteArray xml;
    if (!zip.read(member, &xml, error, kMaxPartSize)) return false;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement() || r.name() != u"Relationship") continue;
        const auto a = r.attributes();
        if (a.value(QLatin1String("TargetMode")) == u"External") continue;
        const QString target = resolve(baseDir, a.value(QLatin1String("Target")).toString());
        rels->targets.insert(a.value(QLatin1String("Id")).toString(), target);
        const QString type = a.value(QLatin1String("Type")).toString();
        const QString key = type.mid(type.lastIndexOf(u'/') + 1);
        if (!rels->byType.contains(key)) rels->byType.insert(key, target);
    }
    if (r.hasError()) {
        *error = damagedText();
        return false;
    }
    return true;
}

int columnIndex(QStringView ref, int *row)
{
    int col = 0, i = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        const char16_t ch = ref[i].toUpper().unicode();
        if (ch < u'A' || ch > u'Z') return -1;
        col = col * 26 + (ch - u'A' + 1);
        if (col > Workbook::kMaxColumns) return -1;
        ++i;
    }
    if (row) {
        bool ok = false;
        const int r = i < ref.size() ? ref.mid(i).toInt(&ok) : 0;
        *row = ok ? r : 0;
    }
    return col - 1;
}

enum class NumberKind { Number, Date, Time };

bool isDateCode(QString code)
{
    // Literal text, colours and conditions say nothing about dates.
    static const QRegularExpression literal(QStringLiteral("\"[^\"]*\"|\\\\.|\\[[^\\]]*\\]|_.|\\*."));
    code = code.remove(literal).toLower();
    return code.contains(u'y') || code.contains(u'd') || (code.contains(u'm') && !code.contains(u'0') && !code.contains(u'#'));
}

bool isTimeCode(QString code)
{
    static const QRegularExpression literal(QStringLiteral("\"[^\"]*\"|\\\\.|\\[[^\\]]*\\]|_.|\\*."));
    code = code.remove(literal).toLower();
    return !isDateCode(code) && (code.contains(u'h') || code.contains(u's'));
}

NumberKind builtinKind(int id)
{
    if ((id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 31) || (id >= 34 && id <= 36)
        || (id >= 50 && id <= 58))
        return NumberKind::Date;
    if ((id >= 18 && id <= 21) || id == 32 || id == 33 || (id >= 45 && id <= 47)) return NumberKind::Time;
    return NumberKind::Number;
}

struct Range {
    QString sheet;
    int firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;   // 0-based, inclusive
};

// "Sheet1!$A$1:$C$10", "'My sheet'!$A:$C", "Sheet1!$B$2"; nullopt for
// anything else (formulas, several areas, other workbooks).
std::optional<Range> parseRange(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        "^(?:'((?:[^']|'')+)'|([^'!:\\[\\]]+))!\\$?([A-Za-z]{1,3})?\\$?(\\d+)?(?::\\$?([A-Za-z]{1,3})?\\$?(\\d+)?)?$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    Range r;
    r.sheet = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1).replace(QStringLiteral("''"), QStringLiteral("'"));
    const QString c1 = m.captured(3), r1 = m.captured(4), c2 = m.captured(5), r2 = m.captured(6);
    if (c1.isEmpty() && r1.isEmpty()) return std::nullopt;
    const bool second = !c2.isEmpty() || !r2.isEmpty();
    r.firstCol = c1.isEmpty() ? 0 : columnIndex(c1, nullptr);
    r.firstRow = r1.isEmpty() ? 0 : r1.toInt() - 1;
    const QString lc = second ? c2 : c1, lr = second ? r2 : r1;
    r.lastCol = lc.isEmpty() ? Workbook::kMaxColumns - 1 : columnIndex(lc, nullptr);
    r.lastRow = lr.isEmpty() ? Workbook::kMaxRows - 1 : lr.toInt() - 1;
    if (r.firstCol < 0 || r.lastCol < r.firstCol || r.firstRow < 0 || r.lastRow < r.firstRow
        || r.lastRow >= Workbook::kMaxRows)
        return std::nullopt;
    return r;
}

class XlsxWorkbook : public Workbook {
public:
    bool open(const QString &path, QString *error);
    QStringList tableNames() const override;
    bool read(const QString &table, const RowSink &sink, const Progress &progress, QString *error) override;

private:
    bool readSharedStrings(QString *error);
    bool readStyles(QString *error);
    bool readSheet(const QString &member, const std::optional<Range> &range, const RowSink &sink,
                   const Progress &progress, QString *error);
    QString numberText(QStringView v, int style) const;

    ZipArchive m_zip;
    QStringList m_sheetNames;
    QHash<QString, QString> m_sheetMembers;   // sheet name -> member
    QStringList m_rangeNames;
    QHash<QString, Range> m_ranges;
    QString m_stringsMember, m_stylesMember;
    bool m_date1904 = false;
    bool m_stringsRead = false, m_stylesRead = false;
    QStringList m_strings;
    QVector<NumberKind> m_styleKinds;   // cellXfs index -> kind
};

bool XlsxWorkbook::open(const QString &path, QString *error)
{
    if (!m_zip.open(path, error)) return false;
    QString workbook = QStringLiteral("xl/workbook.xml");
    if (m_zip.contains(QStringLiteral("_rels/.rels"))) {
        Relations root;
        if (!readRelations(m_zip, QStringLiteral("_rels/.rels"), QString(), &root, error)) return false;
        workbook = root.byType.value(QStringLiteral("officeDocument"), workbook);
    }
    if (!m_zip.contains(workbook)) {
        *error = QStringLiteral("不是 Excel 工作簿（缺少工作簿内容）。");
        return false;
    }
    const QString base = dirOf(workbook);
    const QString relsMember = base + QStringLiteral("_rels/") + workbook.mid(base.size()) + QStringLiteral(".rels");
    Relations rels;
    if (m_zip.contains(relsMember) && !readRelations(m_zip, relsMember, base, &rels, error)) return false;
    m_stringsMember = rels.byType.value(QStringLiteral("sharedStrings"));
    m_stylesMember = rels.byType.value(QStringLiteral("styles"));

    QByteArray xml;
    if (!m_zip.read(workbook, &xml, error, kMaxPartSize)) return false;
    QXmlStreamReader r(xml);
    QList<QPair<QString, QString>> defined;   // name, text
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement()) continue;
        const auto a = r.attributes();
        if (r.name() == u"workbookPr") {
            const auto d = a.value(QLatin1String("date1904"));
            m_date1904 = d == u"1" || d == u"true";
        } else if (r.name() == u"sheet") {
            const QString name = a.value(QLatin1String("name")).toString();
            QString rid;
            for (const QXmlStreamAttribute &at : a)
                if (at.name() == u"id") rid = at.value().toString();
            QString member = rels.targets.value(rid);
            if (member.isEmpty()) continue;   // a chart sheet or a dangling entry: nothing to import
            m_sheetNames << name;
            m_sheetMembers.insert(name, member);
        } else if (r.name() == u"definedName") {
            const QString name = a.value(QLatin1String("name")).toString();
            const bool hidden = a.value(QLatin1String("hidden")) == u"1" || a.value(QLatin1String("hidden")) == u"true";
            const QString text = r.readElementText();
            if (!hidden && !name.startsWith(QStringLiteral("_xlnm."))) defined << qMakePair(name, text);
        }
    }
    if (r.hasError()) {
        *error = damagedText();
        return false;
    }
    for (const auto &d : defined) {
        const std::optional<Range> range = parseRange(d.second);
        if (!range || !m_sheetMembers.contains(range->sheet) || m_ranges.contains(d.first)
            || m_sheetMembers.contains(d.first))
            continue;
        m_rangeNames << d.first;
        m_ranges.insert(d.first, *range);
    }
    if (m_sheetNames.isEmpty()) {
        *error = QStringLiteral("工作簿中没有可以导入的工作表。");
        return false;
    }
    return true;
}

QStringList XlsxWorkbook::tableNames() const { return m_sheetNames + m_rangeNames; }

bool XlsxWorkbook::readSharedStrings(QString *error)
{
    if (m_stringsRead) return true;
    m_strings.clear();
    if (!m_stringsMember.isEmpty() && m_zip.contains(m_stringsMember)) {
        const std::unique_ptr<QIODevice> dev = m_zip.openEntry(m_stringsMember, error);
        if (!dev) return false;
        QXmlStreamReader r(dev.get());
        QString current;
        qint64 bytes = 0;
        int phonetic = 0;
        bool inText = false;
        while (!r.atEnd()) {
            switch (r.readNext()) {
            case QXmlStreamReader::StartElement:
                if (r.name() == u"si") current.clear();
                else if (r.name() == u"rPh") ++phonetic;
                else if (r.name() == u"t") inText = true;
                break;
            case QXmlStreamReader::EndElement:
                if (r.name() == u"si") {
                    bytes += 40 + 2 * current.size();
                    if (bytes > kMaxSheetBytes) {
                        *error = QStringLiteral("表格文字太多，无法读取。");
                        return false;
                    }
                    m_strings << current;
                } else if (r.name() == u"rPh") {
                    --phonetic;
                } else if (r.name() == u"t") {
                    inText = false;
                }
                break;
            case QXmlStreamReader::Characters:
                if (inText && phonetic == 0) {
                    if (current.size() + r.text().size() > kMaxCellCharacters) {
                        *error = QStringLiteral("表格中有超过 %1 个字的单元格，无法读取。").arg(kMaxCellCharacters);
                        return false;
                    }
                    current += r.text();
                }
                break;
            default:
                break;
            }
        }
        if (r.hasError()) {
            *error = damagedText();   // the XML broken or its member cut short: either way damaged
            return false;
        }
    }
    m_stringsRead = true;
    return true;
}

bool XlsxWorkbook::readStyles(QString *error)
{
    if (m_stylesRead) return true;
    m_styleKinds.clear();
    if (!m_stylesMember.isEmpty() && m_zip.contains(m_stylesMember)) {
        QByteArray xml;
        if (!m_zip.read(m_stylesMember, &xml, error, kMaxPartSize)) return false;
        QXmlStreamReader r(xml);
        QHash<int, NumberKind> custom;
        bool inCellXfs = false;
        while (!r.atEnd()) {
            r.readNext();
            if (r.isEndElement() && r.name() == u"cellXfs") inCellXfs = false;
            if (!r.isStartElement()) continue;
            const auto a = r.attributes();
            if (r.name() == u"numFmt") {
                const QString code = a.value(QLatin1String("formatCode")).toString();
                custom.insert(a.value(QLatin1String("numFmtId")).toInt(),
                              isDateCode(code) ? NumberKind::Date : isTimeCode(code) ? NumberKind::Time : NumberKind::Number);
            } else if (r.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (inCellXfs && r.name() == u"xf") {
                const int id = a.value(QLatin1String("numFmtId")).toInt();
                m_styleKinds << custom.value(id, builtinKind(id));
            }
        }
        if (r.hasError()) {
            *error = damagedText();
            return false;
        }
    }
    m_stylesRead = true;
    return true;
}

QString XlsxWorkbook::numberText(QStringView v, int style) const
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) return v.toString();
    switch (m_styleKinds.value(style, NumberKind::Number)) {
    case NumberKind::Date: return excelDateText(d, m_date1904);
    case NumberKind::Time: {
        const QString t = excelDateText(d, m_date1904);
        return d < 1 ? t.mid(11) : t;
    }
    case NumberKind::Number: break;
    }
    return excelNumberText(d);
}

bool XlsxWorkbook::read(const QString &table, const RowSink &sink, const Progress &progress, QString *error)
{
    error->clear();
    std::optional<Range> range;
    QString sheet = table;
    if (!m_sheetMembers.contains(table)) {
        if (!m_ranges.contains(table)) {
            *error = QStringLiteral("工作簿中没有“%1”。").arg(table);
            return false;
        }
        range = m_ranges.value(table);
        sheet = range->sheet;
    }
    if (!readSharedStrings(error) || !readStyles(error)) return false;
    return readSheet(m_sheetMembers.value(sheet), range, sink, progress, error);
}

bool XlsxWorkbook::readSheet(const QString &member, const std::optional<Range> &range, const RowSink &sink,
                             const Progress &progress, QString *error)
{
    const std::unique_ptr<QIODevice> dev = m_zip.openEntry(member, error);
    if (!dev) return false;
    const qint64 total = m_zip.entry(member)->size;
    QXmlStreamReader r(dev.get());

    const int firstRow = range ? range->firstRow : 0;
    const int lastRow = range ? range->lastRow : Workbook::kMaxRows - 1;
    const int firstCol = range ? range->firstCol : 0;
    const int lastCol = range ? range->lastCol : Workbook::kMaxColumns - 1;

    int nextRow = 0;           // 0-based row the next <row> is when it has no r=
    int emitted = firstRow;    // the sheet row the next emitted row stands for
    QStringList cells;
    int rowIndex = -1, col = -1, style = 0;
    QString type, value, inlineText;
    bool inValue = false, inInline = false, hasValue = false;
    int phonetic = 0;
    int rowsSeen = 0;

    auto emitRow = [&](QStringList &&row) -> bool {
        if (!sink(std::move(row))) return false;
        ++emitted;
        return true;
    };

    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QStringView n = r.name();
            if (n == u"row") {
                const auto rr = r.attributes().value(QLatin1String("r"));
                bool ok = false;
                const int number = rr.isEmpty() ? nextRow + 1 : rr.toInt(&ok);
                if ((!rr.isEmpty() && !ok) || number < nextRow + 1 || number > Workbook::kMaxRows) {
                    *error = damagedText();
                    return false;
                }
                rowIndex = number - 1;
                nextRow = number;
                cells.clear();
                col = -1;
            } else if (n == u"c") {
                const auto a = r.attributes();
                const auto ref = a.value(QLatin1String("r"));
                int c = ref.isEmpty() ? col + 1 : columnIndex(ref, nullptr);
                if (c < 0 || c <= col) {
                    *error = damagedText();
                    return false;
                }
                col = c;
                type = a.value(QLatin1String("t")).toString();
                style = a.value(QLatin1String("s")).toInt();
                value.clear();
                inlineText.clear();
                hasValue = false;
            } else if (n == u"v") {
                inValue = true;
                hasValue = true;
            } else if (n == u"is") {
                inInline = true;
                hasValue = true;
            } else if (n == u"rPh") {
                ++phonetic;
            }
            break;
        }
        case QXmlStreamReader::Characters:
            if (inValue) value += r.text();
            else if (inInline && phonetic == 0) inlineText += r.text();
            if (value.size() > kMaxCellCharacters || inlineText.size() > kMaxCellCharacters) {
                *error = QStringLiteral("表格中有超过 %1 个字的单元格，无法读取。").arg(kMaxCellCharacters);
                return false;
            }
            break;
        case QXmlStreamReader::EndElement: {
            const QStringView n = r.name();
            if (n == u"v") {
                inValue = false;
            } else if (n == u"is") {
                inInline = false;
            } else if (n == u"rPh") {
                --phonetic;
            } else if (n == u"c") {
                if (!hasValue || col < firstCol || col > lastCol) break;   // a formula without its value reads empty
                QString text;
                if (type == u"s") {
                    bool ok = false;
                    const int i = value.trimmed().toInt(&ok);
                    text = ok ? m_strings.value(i) : QString();
                } else if (type == u"inlineStr") {
                    text = inlineText;
                } else if (type == u"str" || type == u"e") {
                    text = value;
                } else if (type == u"b") {
                    text = value.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                } else if (type == u"d") {
                    const QDateTime dt = QDateTime::fromString(value.trimmed(), Qt::ISODate);
                    text = !dt.isValid() ? value
                           : dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("yyyy-MM-dd"))
                                                      : dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
                } else {
                    text = numberText(value.trimmed(), style);
                }
                const int at = col - firstCol;
                while (cells.size() < at) cells.append(QString());
                cells.append(text);
            } else if (n == u"row") {
                if (rowIndex < firstRow) break;
                if (rowIndex > lastRow) return true;
                // Rows the file leaves out are empty rows of the sheet.
                while (emitted < rowIndex)
                    if (!emitRow(QStringList())) return false;
                if (!emitRow(std::move(cells))) return false;
                cells = QStringList();
                if (++rowsSeen % 512 == 0 && progress && !progress(dev->pos(), total)) return false;
            } else if (n == u"sheetData") {
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    if (r.hasError()) {
        *error = damagedText();   // the XML broken or its member cut short: either way damaged
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<Workbook> openXlsxWorkbook(const QString &path, QString *error)
{
    auto book = std::make_unique<XlsxWorkbook>();
    if (!book->open(path, error)) return nullptr;
    return book;
}
