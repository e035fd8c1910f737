#pragma once
// Windows private-profile semantics over an INI file: section and key names
// match without regard to case, a missing file or key gives the caller's
// default, unknown lines survive a write, and files in UTF-8 or GBK both read.

#include <QString>
#include <QStringList>

class PrivateProfile {
public:
    explicit PrivateProfile(const QString &path);

    QString path() const { return m_path; }
    bool exists() const;

    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    int readInteger(const QString &section, const QString &key, int def = 0) const;
    bool readBool(const QString &section, const QString &key, bool def = false) const;

    // Each write re-reads the file so that a change made by another program
    // (mdconn, a text editor) between two writes is not lost.
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInteger(const QString &section, const QString &key, int value);
    bool writeBool(const QString &section, const QString &key, bool value);

    // For tests and diagnostics: the encoding the file was found in ("UTF-8" or "GBK").
    QString encoding() const;

private:
    struct Parsed {
        QStringList lines;
        QByteArray encoding;   // "UTF-8" or "GBK"
        bool hadBom = false;
    };
    Parsed load() const;
    static bool findKey(const QStringList &lines, const QString &section, const QString &key,
                        int *sectionLine, int *keyLine, QString *value);

    QString m_path;
};
