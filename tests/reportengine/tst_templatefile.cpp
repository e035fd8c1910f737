// Template files: every field written and read back exactly, anything that is
// not a template refused with a message naming the file, odd parts of a real
// template left out or brought into range, and a failed save that keeps the
// old file.
#include "reportengine/TemplateFile.h"

#include "data/Schema.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Report;

namespace {

QByteArray pngBytes()
{
    QImage img(4, 3, QImage::Format_ARGB32);
    img.fill(QColor(200, 30, 40, 128));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

// A template with every field away from its default, texts that XML treats
// specially, and each band and object kind.
ReportTemplate fullTemplate()
{
    ReportTemplate t;
    t.page.width = 220;
    t.page.height = 110.25;
    t.page.landscape = true;
    t.page.margins = QMarginsF(12.5, 0.1 + 0.2, 7, 0);
    t.page.columns = 3;
    t.page.columnGap = 2.5;

    const BandKind kinds[] = {BandKind::ReportTitle, BandKind::PageHeader,  BandKind::ColumnHeader,
                              BandKind::MasterData,  BandKind::DetailData,  BandKind::GroupHeader,
                              BandKind::GroupFooter, BandKind::PageFooter,  BandKind::ReportSummary};
    int n = 0;
    for (BandKind k : kinds) {
        Band b;
        b.kind = k;
        b.name = QStringLiteral("Band%1").arg(++n);
        b.height = 5 + n / 3.0;
        b.source = QStringLiteral("frDetail%1").arg(n);
        b.currentRowOnly = n % 2;
        b.detailField = QStringLiteral("F_cltcode");
        b.masterField = QStringLiteral("F_code");
        b.groupExpression = QStringLiteral("[frMain.F_type]");
        b.newPageAfter = n % 3 == 0;
        t.bands << b;
    }

    ReportObject text;
    text.kind = ObjectKind::Text;
    text.name = QStringLiteral("MemoDate");
    text.rect = QRectF(1.1, 2.2, 33.3, 4.4);
    text.text = QStringLiteral("  客户：[frMain.F_name] <b>&amp; \"引号\" 'x'\r\n第二行\n\t缩进  ");
    text.font = {QStringLiteral("Noto Serif CJK SC"), 12.5, true, true, true};
    text.alignment = Qt::AlignRight | Qt::AlignBottom;
    text.wordWrap = true;
    text.stretch = true;
    text.frame = {true, false, true, false, 0.5};
    text.color = QColor(10, 20, 30, 40);
    text.fill = QColor(250, 240, 230);

    ReportObject line;
    line.kind = ObjectKind::Line;
    line.rect = QRectF(0, 10, 190, -8);   // rises to the right
    line.color = Qt::red;
    line.frame.width = 0.8;

    ReportObject rect;
    rect.kind = ObjectKind::Rect;
    rect.rect = QRectF(0, 0, 50, 20);
    rect.frame = Frame::all();
    rect.fill = QColor(0, 0, 128);

    ReportObject check;
    check.kind = ObjectKind::CheckBox;
    check.name = QStringLiteral("chkPaid");
    check.rect = QRectF(3, 3, 4, 4);
    check.text = QStringLiteral("[frMain.F_IFshoukuan]");

    ReportObject picture;
    picture.kind = ObjectKind::Picture;
    picture.rect = QRectF(0, 0, 30, 15);
    picture.picture = pngBytes();

    ReportObject chart;
    chart.kind = ObjectKind::Chart;
    chart.name = QStringLiteral("Chart1");
    chart.rect = QRectF(0, 0, 180, 90);
    chart.chartType = QStringLiteral("bar");
    chart.chartSource = QStringLiteral("frDBDataSet1");
    chart.labelField = QStringLiteral("F_name");
    chart.valueField = QStringLiteral("F_count");

    t.bands[0].objects << text << line;
    t.bands[3].objects << rect << check << picture;
    t.bands[8].objects << chart;
    return t;
}

// A template whose every field keeps its default, so nothing of it is
// written beyond what the reader must find.
ReportTemplate defaultTemplate()
{
    ReportTemplate t;
    t.bands << Band{};
    t.bands[0].objects << ReportObject{};
    return t;
}

void compareTemplates(const ReportTemplate &a, const ReportTemplate &e)
{
    QCOMPARE(a.page.width, e.page.width);
    QCOMPARE(a.page.height, e.page.height);
    QCOMPARE(a.page.landscape, e.page.landscape);
    QCOMPARE(a.page.margins, e.page.margins);
    QCOMPARE(a.page.columns, e.page.columns);
    QCOMPARE(a.page.columnGap, e.page.columnGap);
    QCOMPARE(a.bands.size(), e.bands.size());
    for (qsizetype i = 0; i < e.bands.size(); ++i) {
        const Band &ab = a.bands[i], &eb = e.bands[i];
        QCOMPARE(int(ab.kind), int(eb.kind));
        QCOMPARE(ab.name, eb.name);
        QCOMPARE(ab.height, eb.height);
        QCOMPARE(ab.source, eb.source);
        QCOMPARE(ab.currentRowOnly, eb.currentRowOnly);
        QCOMPARE(ab.detailField, eb.detailField);
        QCOMPARE(ab.masterField, eb.masterField);
        QCOMPARE(ab.groupExpression, eb.groupExpression);
        QCOMPARE(ab.newPageAfter, eb.newPageAfter);
        QCOMPARE(ab.objects.size(), eb.objects.size());
        for (qsizetype j = 0; j < eb.objects.size(); ++j) {
            const ReportObject &ao = ab.objects[j], &eo = eb.objects[j];
            QCOMPARE(int(ao.kind), int(eo.kind));
            QCOMPARE(ao.name, eo.name);
            QCOMPARE(ao.rect, eo.rect);
            QCOMPARE(ao.text, eo.text);
            QCOMPARE(ao.font.family, eo.font.family);
            QCOMPARE(ao.font.size, eo.font.size);
            QCOMPARE(ao.font.bold, eo.font.bold);
            QCOMPARE(ao.font.italic, eo.font.italic);
            QCOMPARE(ao.font.underline, eo.font.underline);
            QCOMPARE(ao.alignment, eo.alignment);
            QCOMPARE(ao.wordWrap, eo.wordWrap);
            QCOMPARE(ao.stretch, eo.stretch);
            QCOMPARE(ao.frame.left, eo.frame.left);
            QCOMPARE(ao.frame.top, eo.frame.top);
            QCOMPARE(ao.frame.right, eo.frame.right);
            QCOMPARE(ao.frame.bottom, eo.frame.bottom);
            QCOMPARE(ao.frame.width, eo.frame.width);
            QCOMPARE(ao.color, eo.color);
            QCOMPARE(ao.fill.isValid(), eo.fill.isValid());
            if (eo.fill.isValid()) QCOMPARE(ao.fill, eo.fill);
            QCOMPARE(ao.picture, eo.picture);
            QCOMPARE(ao.chartType, eo.chartType);
            QCOMPARE(ao.chartSource, eo.chartSource);
            QCOMPARE(ao.labelField, eo.labelField);
            QCOMPARE(ao.valueField, eo.valueField);
        }
    }
}

QByteArray header() { return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"); }

QByteArray wrapped(const QByteArray &bands)
{
    return header() + "<reportTemplate version=\"1\">\n" + bands + "</reportTemplate>\n";
}

QByteArray noise(int bytes)
{
    QRandomGenerator rng(20240315);
    QByteArray b(bytes, Qt::Uninitialized);
    for (char &c : b) c = char(rng.bounded(256));
    return b;
}

QByteArray billionLaughs()
{
    QByteArray dtd = "<!DOCTYPE reportTemplate [\n<!ENTITY a0 \"ha\">\n";
    for (int i = 1; i < 12; ++i)
        dtd += QStringLiteral("<!ENTITY a%1 \"&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;\">\n")
                   .arg(i)
                   .arg(i - 1)
                   .toLatin1();
    dtd += "]>\n";
    return header() + dtd
           + "<reportTemplate version=\"1\"><band kind=\"MasterData\"><object kind=\"text\"><text>&a11;</text>"
             "</object></band></reportTemplate>";
}

// Makes a folder refuse new files, also to root (for whom permissions mean
// nothing) through the immutable flag; undone on destruction.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(QFile::encodeName(path))
    {
        ::chmod(m_path.constData(), 0555);
        if (writable() && setImmutable(true)) m_immutable = true;
        m_readOnly = !writable();
    }
    ~ReadOnlyFolder()
    {
        if (m_immutable) setImmutable(false);
        ::chmod(m_path.constData(), 0755);
    }
    bool readOnly() const { return m_readOnly; }

private:
    QByteArray m_path;
    bool m_immutable = false;
    bool m_readOnly = false;

    bool writable() const
    {
        const QByteArray probe = m_path + "/probe";
        const int fd = ::open(probe.constData(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0) return false;
        ::close(fd);
        ::unlink(probe.constData());
        return true;
    }
    bool setImmutable(bool on) const
    {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }
};

} // namespace

class TestTemplateFile : public QObject {
    Q_OBJECT
private slots:
    void roundTripKeepsEveryField_data();
    void roundTripKeepsEveryField();
    void charactersXmlCannotCarryAreDropped();
    void garbageIsRefusedNamingTheFile_data();
    void garbageIsRefusedNamingTheFile();
    void pathsThatAreNoTemplateFileAreNamed();
    void unknownPartsAreLeftOutWithANote();
    void absurdValuesAreBroughtIntoRange();
    void longTextLoadsWhole();
    void saveReplacesTheFileAndFailureKeepsTheOld();
    void installedTemplatesReadAndFitTheirSources_data();
    void installedTemplatesReadAndFitTheirSources();
};

void TestTemplateFile::roundTripKeepsEveryField_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("every field set") << 0;
    QTest::newRow("every field at its default") << 1;
}

void TestTemplateFile::roundTripKeepsEveryField()
{
    QFETCH(int, which);
    const ReportTemplate t = which == 0 ? fullTemplate() : defaultTemplate();
    const QByteArray xml = writeTemplate(t);
    QString error = QStringLiteral("not cleared");
    const std::optional<ReportTemplate> back = readTemplate(xml, &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(error, QString());
    compareTemplates(*back, t);
    if (QTest::currentTestFailed()) return;
    // Written again, a template read back gives the same bytes: a designer
    // save of an unchanged template changes nothing in the file.
    QCOMPARE(writeTemplate(*back), xml);
}

void TestTemplateFile::charactersXmlCannotCarryAreDropped()
{
    ReportTemplate t = defaultTemplate();
    t.bands[0].objects[0].text = QStringLiteral("a\x01" "b\x1f" "c") + QChar(0xD800) + QStringLiteral("d😀");
    t.bands[0].name = QStringLiteral("x\x07y");
    const std::optional<ReportTemplate> back = readTemplate(writeTemplate(t));
    QVERIFY(back);
    QCOMPARE(back->bands[0].objects[0].text, QStringLiteral("abcd😀"));
    QCOMPARE(back->bands[0].name, QStringLiteral("xy"));
}

void TestTemplateFile::garbageIsRefusedNamingTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("是空的");
    QTest::newRow("only blanks") << QByteArray(" \n\t\r\n") << QStringLiteral("是空的");
    QTest::newRow("binary noise") << noise(4096) << QStringLiteral("已损坏");
    QTest::newRow("noise after a good start") << header() + "<reportTemplate version=\"1\">" + noise(500)
                                              << QStringLiteral("已损坏");
    QTest::newRow("a spreadsheet's text") << QByteArray("客户,电话\n张三,139\n") << QStringLiteral("已损坏");
    QTest::newRow("another program's xml") << header() + "<html><body>报表</body></html>"
                                           << QStringLiteral("根元素为 <html>");
    QTest::newRow("no version") << header() + "<reportTemplate><page/></reportTemplate>"
                                << QStringLiteral("版本号");
    QTest::newRow("version not a number") << header() + "<reportTemplate version=\"x\"/>"
                                          << QStringLiteral("版本号");
    QTest::newRow("entity declarations") << billionLaughs() << QStringLiteral("文档类型声明");
    QTest::newRow("only a declaration") << header() << QStringLiteral("不完整");
    QTest::newRow("utf-16 noise") << QByteArray("\xff\xfe<\0r\0", 6) + noise(64) << QStringLiteral("报表模板");

    // A real template cut off at several points, down to the last closing tag.
    const QByteArray full = writeTemplate(fullTemplate());
    for (int percent : {1, 10, 25, 50, 75, 90, 99})
        QTest::addRow("cut at %d%%", percent) << full.left(full.size() * percent / 100) << QStringLiteral("不完整");
    QTest::newRow("cut before the last tag") << full.left(full.lastIndexOf("</reportTemplate>"))
                                             << QStringLiteral("不完整");
}

void TestTemplateFile::garbageIsRefusedNamingTheFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);

    QString error;
    QVERIFY(!readTemplate(bytes, &error));
    QVERIFY2(error.contains(message), qPrintable(error));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frCltList.frf"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    error.clear();
    QVERIFY(!loadTemplate(path, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY2(error.contains(path), qPrintable(error));
}

void TestTemplateFile::pathsThatAreNoTemplateFileAreNamed()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("frAwokeFx.frf"));
    const QString folder = dir.filePath(QStringLiteral("frStatFx.frf"));
    QVERIFY(QDir().mkdir(folder));
    for (const auto &[path, message] : {std::pair{missing, QStringLiteral("不存在")},
                                        std::pair{folder, QStringLiteral("不是普通文件")}}) {
        QString error;
        QVERIFY(!loadTemplate(path, &error));
        QVERIFY2(error.contains(path) && error.contains(message), qPrintable(error));
    }
}

void TestTemplateFile::unknownPartsAreLeftOutWithANote()
{
    const QByteArray xml = wrapped(
        "<page width=\"200\"/>\n"
        "<band kind=\"MasterData\" source=\"frMain\">\n"
        "  <object kind=\"text\" name=\"Before\"><text>1</text></object>\n"
        "  <object kind=\"barcode\" name=\"Gone\"><text>2</text><font size=\"9\"/></object>\n"
        "  <sticker colour=\"red\"><object kind=\"text\" name=\"Inside\"/></sticker>\n"
        "  <object kind=\"text\" name=\"After\"><text>3</text><shadow depth=\"2\"/></object>\n"
        "</band>\n"
        "<band kind=\"Watermark\"><object kind=\"text\" name=\"InBadBand\"/></band>\n"
        "<legend/>\n"
        "<band kind=\"pagefooter\" height=\"6\"/>\n");
    QString error;
    const std::optional<ReportTemplate> t = readTemplate(xml, &error);
    QVERIFY2(t, qPrintable(error));
    QCOMPARE(t->page.width, 200.0);
    QCOMPARE(t->bands.size(), 2);
    QCOMPARE(int(t->bands[1].kind), int(BandKind::PageFooter));
    QCOMPARE(t->bands[0].objects.size(), 2);
    QCOMPARE(t->bands[0].objects[0].name, QStringLiteral("Before"));
    QCOMPARE(t->bands[0].objects[1].name, QStringLiteral("After"));
    QCOMPARE(t->bands[0].objects[1].text, QStringLiteral("3"));
    for (const char *mentioned : {"barcode", "sticker", "shadow", "Watermark", "legend"})
        QVERIFY2(error.contains(QLatin1String(mentioned)), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("第 6 行")), qPrintable(error));

    // A newer program's template loads for what this one understands.
    error.clear();
    const QByteArray newer = QByteArray(xml).replace("version=\"1\"", "version=\"7\"");
    QVERIFY(readTemplate(newer, &error));
    QVERIFY2(error.contains(QStringLiteral("版本 7")), qPrintable(error));
}

void TestTemplateFile::absurdValuesAreBroughtIntoRange()
{
    namespace L = TemplateLimits;
    const QByteArray xml = wrapped(
        "<page width=\"1e308\" height=\"-297\" marginLeft=\"-3\" marginTop=\"nan\" marginRight=\"inf\""
        " columns=\"99999999999999999999\" columnGap=\"abc\" landscape=\"maybe\"/>\n"
        "<band kind=\"MasterData\" height=\"-5\">\n"
        "  <object kind=\"text\" x=\"-1\" y=\"1e400\" width=\"-20\" height=\"3000\" align=\"sideways\""
        "   color=\"not-a-colour\" fill=\"\">\n"
        "    <font family=\"\" size=\"99999\"/><frame width=\"-1\"/>\n"
        "  </object>\n"
        "  <object kind=\"line\" width=\"-5000\" height=\"-4\"><font size=\"0\"/><picture>@@@@</picture></object>\n"
        "</band>\n"
        "<band kind=\"PageFooter\" height=\"1e12\"/>\n");
    QString error;
    const std::optional<ReportTemplate> t = readTemplate(xml, &error);
    QVERIFY2(t, qPrintable(error));
    const PageSetup defaults;
    QCOMPARE(t->page.width, L::MaxLength);
    QCOMPARE(t->page.height, L::MinPageSide);
    QCOMPARE(t->page.margins.left(), 0.0);
    QCOMPARE(t->page.margins.top(), defaults.margins.top());     // nan: the default
    QCOMPARE(t->page.margins.right(), defaults.margins.right()); // inf: the default
    QCOMPARE(t->page.columns, L::MaxColumns);
    QCOMPARE(t->page.columnGap, defaults.columnGap);
    QCOMPARE(t->page.landscape, defaults.landscape);
    QCOMPARE(t->bands[0].height, 0.0);
    QCOMPARE(t->bands[1].height, L::MaxLength);

    const ReportObject &o = t->bands[0].objects[0];
    QCOMPARE(o.rect, QRectF(0, 0, 0, L::MaxLength));   // 1e400 is no number at all: the default 0
    QCOMPARE(o.font.size, L::MaxFontSize);
    QCOMPARE(o.font.family, QString::fromLatin1(DefaultFont));
    QCOMPARE(o.frame.width, 0.0);
    QCOMPARE(o.color, QColor(Qt::black));
    QVERIFY(!o.fill.isValid());
    QCOMPARE(o.alignment, 0);

    const ReportObject &line = t->bands[0].objects[1];
    QCOMPARE(line.rect.width(), -L::MaxLength);
    QCOMPARE(line.rect.height(), -4.0);
    QCOMPARE(line.font.size, L::MinFontSize);
    QVERIFY(line.picture.isEmpty());

    for (const char *mentioned : {"1e308", "columns", "nan", "sideways", "not-a-colour", "图片"})
        QVERIFY2(error.contains(QString::fromUtf8(mentioned)), qPrintable(error));
}

void TestTemplateFile::longTextLoadsWhole()
{
    ReportTemplate t = defaultTemplate();
    QString text;
    for (int i = 0; text.size() < 10000; ++i) text += QStringLiteral("第%1行 [frMain.F_name]\n").arg(i);
    text.truncate(10000);
    t.bands[0].objects[0].text = text;
    QString error;
    const std::optional<ReportTemplate> back = readTemplate(writeTemplate(t), &error);
    QVERIFY(back);
    QCOMPARE(error, QString());
    QCOMPARE(back->bands[0].objects[0].text, text);
}

void TestTemplateFile::saveReplacesTheFileAndFailureKeepsTheOld()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frKhxsPGD.frf"));
    QString error;
    QVERIFY2(saveTemplate(defaultTemplate(), path, &error), qPrintable(error));
    QVERIFY2(saveTemplate(fullTemplate(), path, &error), qPrintable(error));
    const std::optional<ReportTemplate> loaded = loadTemplate(path, &error);
    QVERIFY2(loaded, qPrintable(error));
    compareTemplates(*loaded, fullTemplate());
    if (QTest::currentTestFailed()) return;

    QVERIFY(!saveTemplate(fullTemplate(), dir.filePath(QStringLiteral("missing/frKhxsPGD.frf")), &error));
    QVERIFY2(error.contains(QStringLiteral("missing")), qPrintable(error));

    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    {
        ReadOnlyFolder folder(dir.path());
        if (!folder.readOnly()) QSKIP("this account can write into any folder and cannot set the immutable flag");
        error.clear();
        QVERIFY(!saveTemplate(defaultTemplate(), path, &error));
        QVERIFY2(error.contains(path) && error.contains(QStringLiteral("原文件没有改动")), qPrintable(error));
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("frKhxsPGD.frf")});
}

void TestTemplateFile::installedTemplatesReadAndFitTheirSources_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("rowsFrom");       // the source its data band reads
    QTest::addColumn<QStringList>("listTables"); // what the window's rows (frDBDataSet1) carry
    QTest::addColumn<QStringList>("filled");     // objects the window fills
    const QStringList client{QStringLiteral("t_client")};
    const QStringList memoDate{QStringLiteral("MemoDate")};
    const QString list = QStringLiteral("frDBDataSet1"), main = QStringLiteral("frMain");
    auto row = [](const char *file, const QString &from, const QStringList &tables, const QStringList &filled) {
        QTest::newRow(file) << QString::fromLatin1(file) << from << tables << filled;
    };
    row("frXSdetailTj.frf", list, client, memoDate);
    row("frWXdetailTj.frf", list, {QStringLiteral("T_WXrec"), QStringLiteral("t_client")}, memoDate);
    row("frAZdetailTj.frf", list, client, memoDate);
    row("frZPdetailTj.frf", list, client, memoDate);
    row("frTSdetailTj.frf", list, {QStringLiteral("T_TSrec"), QStringLiteral("t_client")}, memoDate);
    row("frAwokeFx.frf", list, client, {});
    row("frStatFx.frf", list, {}, {QStringLiteral("Memo1"), QStringLiteral("Memo2")});
    row("frHFrecMan.frf", list, {QStringLiteral("T_HFrec")}, memoDate);
    row("frWXrecMan.frf", list, {QStringLiteral("T_WXrec")}, memoDate);
    row("frTSrecMan.frf", list, {QStringLiteral("T_TSrec")}, memoDate);
    row("frCltXianqing.frf", main, {}, {});
    row("frCltList.frf", main, {}, {});
    row("frCltXingFeng.frf", main, {}, {});
    row("frCltBiaoqian.frf", main, {}, {});
    row("frKhxsPGD.frf", main, {}, {});
    row("frKhwxPGD.frf", QStringLiteral("frDetail1"), {}, {});
}

// The templates installed beside the program read without a note, read only
// fields their sources carry (a misspelt field would print blank), carry the
// objects their window fills, and keep every object inside its band and page.
void TestTemplateFile::installedTemplatesReadAndFitTheirSources()
{
    QFETCH(QString, file);
    QFETCH(QString, rowsFrom);
    QFETCH(QStringList, listTables);
    QFETCH(QStringList, filled);

    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/Qr/") + file;
    QString error;
    std::optional<ReportTemplate> t = loadTemplate(path, &error);
    QVERIFY2(t, qPrintable(error));
    QCOMPARE(error, QString());

    auto columnsOf = [](const QStringList &tables) {
        QSet<QString> fields;
        for (const QString &name : tables) {
            const Schema::TableDef *table = Schema::table(name);
            if (table)
                for (const Schema::ColumnDef &c : table->columns) fields << c.name.toLower();
        }
        return fields;
    };
    QHash<QString, QSet<QString>> fieldsOf{
        {QStringLiteral("frmain"), columnsOf({QStringLiteral("t_client")})},
        {QStringLiteral("frdetail1"), columnsOf({QStringLiteral("T_WXrec")})},
        {QStringLiteral("frdetail2"), columnsOf({QStringLiteral("T_HFrec")})},
        {QStringLiteral("frdetail3"), columnsOf({QStringLiteral("T_TSrec")})},
        {QStringLiteral("sysinfo"), columnsOf({QStringLiteral("SysInfo")})},
        // The reminder list's day count and the category counts are computed columns.
        {QStringLiteral("frdbdataset1"),
         columnsOf(listTables) + QSet<QString>{QStringLiteral("f_num"), QStringLiteral("f_name")}},
    };
    QVERIFY(!fieldsOf.value(QStringLiteral("frmain")).isEmpty());

    static const QRegularExpression reference(
        QStringLiteral("\\[(?:(?:SUM|AVG|MIN|MAX)\\(\\s*)?([A-Za-z0-9_]+)\\.([A-Za-z0-9_]+)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression count(QStringLiteral("\\[COUNT\\(\\s*([A-Za-z0-9_]+)\\s*\\)"),
                                          QRegularExpression::CaseInsensitiveOption);
    auto knownField = [&](const QString &source, const QString &field) {
        const auto it = fieldsOf.constFind(source.toLower());
        return it != fieldsOf.cend() && it->contains(field.toLower());
    };

    const double bodyWidth = t->page.size().width() - t->page.margins.left() - t->page.margins.right();
    const double cellWidth = (bodyWidth - t->page.columnGap * (t->page.columns - 1)) / t->page.columns;
    QStringList dataSources;
    for (const Band &b : t->bands) {
        if (b.kind == BandKind::MasterData || b.kind == BandKind::DetailData) {
            QVERIFY2(fieldsOf.contains(b.source.toLower()), qPrintable(b.name + QStringLiteral(": ") + b.source));
            dataSources << b.source;
        }
        const double width = b.kind == BandKind::MasterData ? cellWidth : bodyWidth;
        for (const ReportObject &o : b.objects) {
            const QString where = b.name + QStringLiteral(" / ") + o.text.left(30);
            QVERIFY2(o.rect.right() <= width + 1e-6 && o.rect.left() >= 0, qPrintable(where));
            QVERIFY2(o.rect.bottom() <= b.height + 1e-6, qPrintable(where));
            QCOMPARE(o.font.family, QString::fromLatin1(DefaultFont));
            for (auto m = reference.globalMatch(o.text); m.hasNext();) {
                const auto hit = m.next();
                QVERIFY2(knownField(hit.captured(1), hit.captured(2)), qPrintable(where + QStringLiteral(": ") + hit.captured()));
            }
            for (auto m = count.globalMatch(o.text); m.hasNext();)
                QVERIFY2(fieldsOf.contains(m.next().captured(1).toLower()), qPrintable(where));
            if (o.kind == ObjectKind::Chart) {
                QVERIFY2(knownField(o.chartSource, o.labelField) && knownField(o.chartSource, o.valueField), qPrintable(where));
            }
        }
    }
    QCOMPARE(dataSources.value(0), rowsFrom);
    for (const QString &name : filled) QVERIFY2(!t->objectsNamed(name).isEmpty(), qPrintable(name));
}

QTEST_GUILESS_MAIN(TestTemplateFile)
#include "tst_templatefile.moc"
