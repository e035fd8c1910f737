// Config.ini with Windows profile semantics, and the typed settings over it.

#include "app/PrivateProfile.h"
#include "app/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}
void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
QByteArray gbk(const QString &s) { return QTextCodec::codecForName("GBK")->fromUnicode(s); }
} // namespace

class TestPrivateProfile : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.isValid()); m_path = m_dir.filePath(QStringLiteral("Config.ini")); QFile::remove(m_path); }

    void namesMatchWithoutCase();
    void missingFileAndKeyGiveDefaults();
    void gbkFileReadAndWrittenBackAsGbk();
    void utf8WithBom();
    void unknownLinesSurviveWrite();
    void valueStaysOneLine();
    void markKeptOnANonUtf8File();
    void integersAndBooleans_data();
    void integersAndBooleans();
    void booleansWrittenAsOneAndZero();
    void quotedValues_data();
    void quotedValues();
    void firstDuplicateSectionWins();
    void newSectionAndKeyAppended();
    void settingsDefaults_data();
    void settingsDefaults();
    void settingsRoundTrip();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestPrivateProfile::namesMatchWithoutCase()
{
    writeAll(m_path, "[DBconn]\r\nDatabase=clSQLser2\r\n[Config]\r\nCurOperName=admin\r\n");
    PrivateProfile ini(m_path);
    QCOMPARE(ini.readString(QStringLiteral("dbconn"), QStringLiteral("DATABASE")), QStringLiteral("clSQLser2"));
    QCOMPARE(ini.readString(QStringLiteral("config"), QStringLiteral("curopername")), QStringLiteral("admin"));

    // "config" and "Config" are one section: the key is replaced, not added again.
    QVERIFY(ini.writeString(QStringLiteral("config"), QStringLiteral("CUROPERNAME"), QStringLiteral("张三")));
    QCOMPARE(ini.readString(QStringLiteral("Config"), QStringLiteral("CurOperName")), QStringLiteral("张三"));
    const QString text = QString::fromUtf8(readAll(m_path));
    QCOMPARE(text.count(QStringLiteral("[Config]"), Qt::CaseInsensitive), 1);
    QCOMPARE(text.count(QStringLiteral("CurOperName"), Qt::CaseInsensitive), 1);
    QVERIFY(text.contains(QStringLiteral("clSQLser2")));
}

void TestPrivateProfile::missingFileAndKeyGiveDefaults()
{
    PrivateProfile missing(m_dir.filePath(QStringLiteral("nothere.ini")));
    QVERIFY(!missing.exists());
    QCOMPARE(missing.readString(QStringLiteral("DBconn"), QStringLiteral("server"), QStringLiteral("(Local)")),
             QStringLiteral("(Local)"));
    QCOMPARE(missing.readInteger(QStringLiteral("config"), QStringLiteral("ibak"), 3), 3);
    QCOMPARE(missing.readBool(QStringLiteral("set"), QStringLiteral("awokeflag"), true), true);
    QVERIFY(!QFile::exists(missing.path()));   // reading never creates it

    writeAll(m_path, "[DBconn]\r\nserver=srv\r\n");
    PrivateProfile ini(m_path);
    QCOMPARE(ini.readString(QStringLiteral("DBconn"), QStringLiteral("Database"), QStringLiteral("def")),
             QStringLiteral("def"));
    QCOMPARE(ini.readString(QStringLiteral("other"), QStringLiteral("server"), QStringLiteral("def")),
             QStringLiteral("def"));
    QCOMPARE(ini.readInteger(QStringLiteral("DBconn"), QStringLiteral("Port"), 42), 42);
}

void TestPrivateProfile::gbkFileReadAndWrittenBackAsGbk()
{
    writeAll(m_path, gbk(QStringLiteral("; 澄岚配置\r\n[Config]\r\nCurOperName=张三\r\nCurImeName=微软拼音\r\n")));
    PrivateProfile ini(m_path);
    QCOMPARE(ini.encoding(), QStringLiteral("GBK"));
    QCOMPARE(ini.readString(QStringLiteral("Config"), QStringLiteral("CurOperName")), QStringLiteral("张三"));

    QVERIFY(ini.writeString(QStringLiteral("Config"), QStringLiteral("CurOperName"), QStringLiteral("李四")));
    const QByteArray bytes = readAll(m_path);
    QCOMPARE(bytes, gbk(QStringLiteral("; 澄岚配置\r\n[Config]\r\nCurOperName=李四\r\nCurImeName=微软拼音\r\n")));
    QCOMPARE(ini.encoding(), QStringLiteral("GBK"));
    QCOMPARE(ini.readString(QStringLiteral("Config"), QStringLiteral("CurImeName")), QStringLiteral("微软拼音"));
}

void TestPrivateProfile::utf8WithBom()
{
    writeAll(m_path, "\xEF\xBB\xBF[DBconn]\r\nDatabase=" + QStringLiteral("客户库").toUtf8() + "\r\n");
    PrivateProfile ini(m_path);
    QCOMPARE(ini.readString(QStringLiteral("DBconn"), QStringLiteral("Database")), QStringLiteral("客户库"));
    QCOMPARE(ini.encoding(), QStringLiteral("UTF-8"));
    QVERIFY(ini.writeString(QStringLiteral("DBconn"), QStringLiteral("server"), QStringLiteral("主机")));
    const QByteArray bytes = readAll(m_path);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF[DBconn]"));
    QCOMPARE(bytes.count("\xEF\xBB\xBF"), 1);
    QCOMPARE(ini.readString(QStringLiteral("DBconn"), QStringLiteral("server")), QStringLiteral("主机"));
    QCOMPARE(ini.readString(QStringLiteral("DBconn"), QStringLiteral("Database")), QStringLiteral("客户库"));
}

void TestPrivateProfile::unknownLinesSurviveWrite()
{
    const QByteArray before = "garbage before any section\r\n"
                              "[DBconn]\r\n"
                              "; a comment\r\n"
                              "this line has no equals sign\r\n"
                              "=no key\r\n"
                              "Database=db1\r\n"
                              "[broken section\r\n"
                              "[Other]\r\n"
                              "Key=Value\r\n";
    writeAll(m_path, before);
    PrivateProfile ini(m_path);
    QVERIFY(ini.writeString(QStringLiteral("DBconn"), QStringLiteral("Database"), QStringLiteral("db2")));
    QByteArray expected = before;
    expected.replace("Database=db1", "Database=db2");
    QCOMPARE(readAll(m_path), expected);
    QCOMPARE(ini.readString(QStringLiteral("Other"), QStringLiteral("Key")), QStringLiteral("Value"));
}

// A typed value with a line break must not become a key or a section of its own.
void TestPrivateProfile::valueStaysOneLine()
{
    writeAll(m_path, "[DBconn]\r\nDbServer=host\r\n[Config]\r\n");
    PrivateProfile ini(m_path);
    const QString typed = QStringLiteral("拼音\r\n[DBconn]\nDbServer=other") + QChar(u'\0') + QStringLiteral("x");
    QVERIFY(ini.writeString(QStringLiteral("Config"), QStringLiteral("CurImeName"), typed));
    QCOMPARE(ini.readString(QStringLiteral("Config"), QStringLiteral("CurImeName")),
             QStringLiteral("拼音  [DBconn] DbServer=otherx"));
    QCOMPARE(ini.readString(QStringLiteral("DBconn"), QStringLiteral("DbServer")), QStringLiteral("host"));
    QCOMPARE(readAll(m_path), QByteArray("[DBconn]\r\nDbServer=host\r\n[Config]\r\nCurImeName=") + QStringLiteral("拼音  [DBconn] DbServer=otherx").toUtf8() + "\r\n");
}

// Found by fuzzing: a file with the UTF-8 mark that is not UTF-8 after all
// (read as GBK), whose first line starts with a second mark.
void TestPrivateProfile::markKeptOnANonUtf8File()
{
    const QByteArray before = "\xEF\xBB\xBF\xEF\xBB\xBF[DBconn]\r\nserver=a\r\nx=\xDD" "a\r\n";
    writeAll(m_path, before);
    PrivateProfile ini(m_path);
    QVERIFY(ini.writeString(QStringLiteral("DBconn"), QStringLiteral("server"), QStringLiteral("b")));
    QCOMPARE(readAll(m_path), before + "\r\n[DBconn]\r\nserver=b\r\n");
    QCOMPARE(ini.readString(QStringLiteral("DBconn"), QStringLiteral("server")), QStringLiteral("b"));
}

void TestPrivateProfile::integersAndBooleans_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("asInt");      // default 7
    QTest::addColumn<bool>("asBool");    // default false
    QTest::newRow("1") << QByteArray("1") << 1 << true;
    QTest::newRow("0") << QByteArray("0") << 0 << false;
    QTest::newRow("2") << QByteArray("2") << 2 << true;
    QTest::newRow("-1") << QByteArray("-1") << -1 << true;
    QTest::newRow("leading digits") << QByteArray("3days") << 3 << true;
    QTest::newRow("blanks around") << QByteArray("  5  ") << 5 << true;
    QTest::newRow("text") << QByteArray("yes") << 7 << false;
    QTest::newRow("empty") << QByteArray("") << 7 << false;
    QTest::newRow("true as text") << QByteArray("true") << 7 << false;
}

void TestPrivateProfile::integersAndBooleans()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, asInt);
    QFETCH(bool, asBool);
    writeAll(m_path, "[set]\r\nawokeflag=" + stored + "\r\n");
    PrivateProfile ini(m_path);
    QCOMPARE(ini.readInteger(QStringLiteral("set"), QStringLiteral("awokeflag"), 7), asInt);
    QCOMPARE(ini.readBool(QStringLiteral("set"), QStringLiteral("awokeflag"), false), asBool);
}

void TestPrivateProfile::booleansWrittenAsOneAndZero()
{
    PrivateProfile ini(m_path);
    QVERIFY(ini.writeBool(QStringLiteral("sys"), QStringLiteral("bZDcode"), true));
    QVERIFY(readAll(m_path).contains("bZDcode=1"));
    QVERIFY(ini.readBool(QStringLiteral("SYS"), QStringLiteral("bzdcode")));
    QVERIFY(ini.writeBool(QStringLiteral("sys"), QStringLiteral("bZDcode"), false));
    QVERIFY(readAll(m_path).contains("bZDcode=0"));
    QVERIFY(!readAll(m_path).contains("bZDcode=1"));
    QVERIFY(!ini.readBool(QStringLiteral("sys"), QStringLiteral("bZDcode"), true));
}

void TestPrivateProfile::quotedValues_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("read");
    QTest::newRow("double quotes dropped") << QByteArray("\"my db\"") << QStringLiteral("my db");
    QTest::newRow("quotes keep inner blanks") << QByteArray("\"  x  \"") << QStringLiteral("  x  ");
    QTest::newRow("one pair only") << QByteArray("\"\"a\"\"") << QStringLiteral("\"a\"");
    QTest::newRow("single quotes kept") << QByteArray("'abc'") << QStringLiteral("'abc'");
    QTest::newRow("lone quote kept") << QByteArray("\"") << QStringLiteral("\"");
    QTest::newRow("blanks trimmed") << QByteArray("   abc   ") << QStringLiteral("abc");
    QTest::newRow("equals in value") << QByteArray("a=b") << QStringLiteral("a=b");
}

void TestPrivateProfile::quotedValues()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, read);
    writeAll(m_path, "[DBconn]\r\nDatabase=" + stored + "\r\n");
    QCOMPARE(PrivateProfile(m_path).readString(QStringLiteral("DBconn"), QStringLiteral("Database")), read);
}

void TestPrivateProfile::firstDuplicateSectionWins()
{
    writeAll(m_path, "[DBconn]\r\nDatabase=first\r\n[dbconn]\r\nDatabase=second\r\nserver=only-in-second\r\n");
    PrivateProfile ini(m_path);
    QCOMPARE(ini.readString(QStringLiteral("DBconn"), QStringLiteral("Database")), QStringLiteral("first"));
    QCOMPARE(ini.readString(QStringLiteral("DBconn"), QStringLiteral("server"), QStringLiteral("def")),
             QStringLiteral("def"));
    QVERIFY(ini.writeString(QStringLiteral("DBconn"), QStringLiteral("Database"), QStringLiteral("changed")));
    QCOMPARE(ini.readString(QStringLiteral("DBconn"), QStringLiteral("Database")), QStringLiteral("changed"));
    QVERIFY(readAll(m_path).contains("Database=second"));
}

void TestPrivateProfile::newSectionAndKeyAppended()
{
    writeAll(m_path, "[DBconn]\r\nDatabase=db\r\n\r\n[set]\r\nawokeday=3\r\n");
    PrivateProfile ini(m_path);
    QVERIFY(ini.writeString(QStringLiteral("DBconn"), QStringLiteral("server"), QStringLiteral("srv")));
    QVERIFY(ini.writeInteger(QStringLiteral("config"), QStringLiteral("ibak"), 2));
    QCOMPARE(readAll(m_path),
             QByteArray("[DBconn]\r\nDatabase=db\r\nserver=srv\r\n\r\n[set]\r\nawokeday=3\r\n\r\n[config]\r\nibak=2\r\n"));

    // Writing creates a missing file.
    PrivateProfile fresh(m_dir.filePath(QStringLiteral("new.ini")));
    QVERIFY(fresh.writeString(QStringLiteral("Config"), QStringLiteral("CurOperName"), QStringLiteral("admin")));
    QCOMPARE(readAll(fresh.path()), QByteArray("[Config]\r\nCurOperName=admin\r\n"));
}

void TestPrivateProfile::settingsDefaults_data()
{
    using K = Settings::Key;
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("integer");
    QTest::addColumn<bool>("flag");
    auto row = [](const char *tag, K key, const char *section, const char *name, const char *text, int integer,
                  bool flag) {
        QTest::newRow(tag) << int(key) << QString::fromUtf8(section) << QString::fromUtf8(name)
                           << QString::fromUtf8(text) << integer << flag;
    };
    row("password", K::DbPassword, "DBconn", "password", "", 0, false);
    row("Database", K::DbDatabase, "DBconn", "Database", "clSQLser", 0, false);
    row("server", K::DbServer, "DBconn", "server", "(Local)", 0, false);
    row("Driver", K::DbDriver, "DBconn", "Driver", "sqlite", 0, false);
    row("Port", K::DbPort, "DBconn", "Port", "-", 0, false);
    row("CurOperName", K::CurOperName, "Config", "CurOperName", "", 0, false);
    row("CurImeName", K::CurImeName, "Config", "CurImeName", "", 0, false);
    row("ibak", K::BackupMode, "config", "ibak", "-", 0, false);
    row("awokeflag", K::AwokeFlag, "set", "awokeflag", "-", 0, false);
    row("awokeday", K::AwokeDay, "set", "awokeday", "-", 0, false);
    row("bZDcode", K::AutoCode, "sys", "bZDcode", "-", 0, false);
}

void TestPrivateProfile::settingsDefaults()
{
    QFETCH(int, key);
    QFETCH(QString, section);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, integer);
    QFETCH(bool, flag);
    const auto k = Settings::Key(key);
    QCOMPARE(QString::fromLatin1(Settings::entry(k).section), section);
    QCOMPARE(QString::fromLatin1(Settings::entry(k).name), name);
    const PrivateProfile missing(m_dir.filePath(QStringLiteral("absent.ini")));
    if (text != QLatin1String("-")) {
        QCOMPARE(Settings::text(missing, k), text);
    } else {   // number and flag keys
        QCOMPARE(Settings::integer(missing, k), integer);
        QCOMPARE(Settings::flag(missing, k), flag);
    }
}

void TestPrivateProfile::settingsRoundTrip()
{
    using K = Settings::Key;
    PrivateProfile ini(m_path);
    QVERIFY(Settings::setText(ini, K::DbDatabase, QStringLiteral(" 带空格的库 ")));
    QVERIFY(Settings::setInteger(ini, K::BackupMode, 3));
    QVERIFY(Settings::setFlag(ini, K::AutoCode, true));
    QVERIFY(Settings::setFlag(ini, K::AwokeFlag, false));
    // Values are trimmed on read, as the profile functions do.
    QCOMPARE(Settings::text(ini, K::DbDatabase), QStringLiteral("带空格的库"));
    QCOMPARE(Settings::integer(ini, K::BackupMode), 3);
    QVERIFY(Settings::flag(ini, K::AutoCode));
    QVERIFY(!Settings::flag(ini, K::AwokeFlag));
    const QByteArray bytes = readAll(m_path);
    QVERIFY(bytes.contains("[sys]\r\nbZDcode=1"));
    QVERIFY(bytes.contains("[set]\r\nawokeflag=0"));
    QVERIFY(bytes.contains("[config]\r\nibak=3"));
}

QTEST_MAIN(TestPrivateProfile)
#include "tst_privateprofile.moc"
