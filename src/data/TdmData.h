#pragma once
// The data module: the shared connection ADOcnn, the shared queries QryPub
// and QryTemp, and the operations every window uses. Each operation catches
// its own error, shows its message and returns a neutral result.

#include "Connection.h"
#include "DataSet.h"
#include "RowSource.h"

#include <QObject>
#include <QString>
#include <optional>
#include <stdexcept>

class QComboBox;

// Raised only by NextCode, whose callers handle the error themselves.
class DbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A column of a list being exported, as the grid shows it.
using ExportColumn = SourceColumn;

class TdmData : public QObject {
    Q_OBJECT
public:
    explicit TdmData(QObject *parent = nullptr);
    ~TdmData() override;

    bool connect(const ConnectionSettings &settings, QString *error);
    bool connected() const { return m_connected; }

    Connection ADOcnn;
    DataSet *QryPub;
    DataSet *QryTemp;

    bool RunSQL(const QString &sql);
    bool DeleteByID(const QString &table, qint64 id);
    QString GetStrValue(const QString &sql);
    int GetIntValue(const QString &sql);
    bool GetBoolValue(const QString &sql);
    bool OpenSQL(const QString &sql, DataSet *query);
    void FillItems(const QString &sql, QComboBox *box);
    static void SelectItem(const QString &value, QComboBox *box);
    void WriteLog(const QString &operation);
    // A new code for `column` of `table`: the largest code whose last
    // `digits` characters (all of a shorter code) are digits, counted up,
    // and never a code already there. Throws DbError when a look-up fails.
    QString NextCode(const QString &table, const QString &column, int digits);
    // The code after `code` counted up in its last `digits` characters; none
    // when they are not all digits. The empty code is followed by 0...01.
    static std::optional<QString> codeAfter(const QString &code, int digits);
    bool HasRight(const QString &code);
    static QString MakeDisplayFormat(int decimals, int kind);
    // Writes the columns of every row, formatted as the list shows them, to
    // an .xlsx file and opens it with the desktop's program; when none opens
    // it, says where the file is.
    bool ExportToExcel(const QList<ExportColumn> &columns, DataSet *data, const QString &sheetName,
                       bool visible = true);
    void AutoBackup();

    // The backup file for a day: folder + "/dp" + yyyyMMdd + ".back".
    static QString backupFileName(const QString &folder, const QDate &day);
    // The one backup of the database, by the engine's own means; a file
    // already there is replaced by the new backup once it is whole.
    bool backupTo(const QString &file, QString *error);
    // Replaces the database with the backup in `file`. Every connection of
    // this program to it is closed first and stays closed, whatever the
    // outcome, until reconnect().
    bool restoreFrom(const QString &file, QString *error);
    // Opens the shared connection again with its settings, and lets the
    // program's other connections open again.
    bool reconnect(QString *error);

private:
    // Opens a look-up on QryTemp; a failure shows the look-up message.
    bool openTemp(const QString &sql);

    bool m_connected = false;
};

// The one data module of the run (created by start-up, or by a test).
extern TdmData *dmData;
