#include "PrivateProfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextCodec>

namespace {

bool isSectionLine(const QString &trimmed, QString *name)
{
    if (!trimmed.startsWith(u'[')) return false;
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0) return false;
    *name = trimmed.mid(1, close - 1).trimmed();
    return true;
}

QString unquote(QString v)
{
    // GetPrivateProfileString drops one pair of surrounding double quotes.
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"')) v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

PrivateProfile::PrivateProfile(const QString &path) : m_path(path) {}

bool PrivateProfile::exists() const { return QFile::exists(m_path); }

PrivateProfile::Parsed PrivateProfile::load() const
{
    Parsed p;
    p.encoding = "UTF-8";
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) return p;
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
        p.hadBom = true;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        // Files written by the old Windows tools are in the GBK code page.
        QTextCodec *gbk = QTextCodec::codecForName("GBK");
        text = gbk ? gbk->toUnicode(bytes) : QString::fromLatin1(bytes);
        p.encoding = "GBK";
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    p.lines = text.split(u'\n');
    if (!p.lines.isEmpty() && p.lines.last().isEmpty()) p.lines.removeLast();
    return p;
}

bool PrivateProfile::findKey(const QStringList &lines, const QString &section, const QString &key,
                             int *sectionLine, int *keyLine, QString *value)
{
    *sectionLine = -1;
    *keyLine = -1;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString t = lines.at(i).trimmed();
        QString name;
        if (isSectionLine(t, &name)) {
            if (inSection) return false;   // the first matching section is the one used
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection) *sectionLine = i;
            continue;
        }
        if (!inSection || t.isEmpty() || t.startsWith(u';')) continue;
        const qsizetype eq = t.indexOf(u'=');
        if (eq <= 0) continue;   // garbage line: ignored on read, kept on write
        if (t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            *keyLine = i;
            if (value) *value = unquote(t.mid(eq + 1).trimmed());
            return true;
        }
    }
    return false;
}

QString PrivateProfile::readString(const QString &section, const QString &key, const QString &def) const
{
    const Parsed p = load();
    int s, k;
    QString v;
    return findKey(p.lines, section, key, &s, &k, &v) ? v : def;
}

int PrivateProfile::readInteger(const QString &section, const QString &key, int def) const
{
    // GetPrivateProfileInt: leading digits count, anything else gives the default.
    const QString v = readString(section, key, QString());
    qsizetype n = 0;
    if (n < v.size() && (v[n] == u'-' || v[n] == u'+')) ++n;
    while (n < v.size() && v[n].isDigit() && v[n].unicode() < 128) ++n;
    bool ok = false;
    const int r = v.left(n).toInt(&ok);
    return ok ? r : def;
}

bool PrivateProfile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool PrivateProfile::writeString(const QString &section, const QString &key, const QString &value)
{
    Parsed p = load();
    int s, k;
    QString old;
    // A value is one line: a break in it would start a line (a key, a section)
    // of its own, and a NUL would end the file for other readers.
    QString oneLine = value;
    oneLine.remove(QChar(u'\0')).replace(u'\r', u' ').replace(u'\n', u' ');
    const QString line = key + u'=' + oneLine;
    if (findKey(p.lines, section, key, &s, &k, &old)) {
        p.lines[k] = line;
    } else if (s >= 0) {
        // Append after the last non-blank line of the section.
        int insertAt = s + 1;
        for (int i = s + 1; i < p.lines.size(); ++i) {
            QString n;
            if (isSectionLine(p.lines.at(i).trimmed(), &n)) break;
            if (!p.lines.at(i).trimmed().isEmpty()) insertAt = i + 1;
        }
        p.lines.insert(insertAt, line);
    } else {
        if (!p.lines.isEmpty() && !p.lines.last().trimmed().isEmpty()) p.lines.append(QString());
        p.lines.append(u'[' + section + u']');
        p.lines.append(line);
    }
    QByteArray out;
    const QString text = p.lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
    QTextCodec *codec = p.encoding == "GBK" ? QTextCodec::codecForName("GBK") : nullptr;
    // The mark stays whatever follows it: dropped, the bytes behind it could
    // read as a mark next time and change what the first line is.
    if (p.hadBom) out = "\xEF\xBB\xBF";
    if (codec && codec->canEncode(text)) out += codec->fromUnicode(text);
    else out += text.toUtf8();
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(out);
    return f.commit();
}

bool PrivateProfile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool PrivateProfile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString PrivateProfile::encoding() const { return QString::fromLatin1(load().encoding); }
