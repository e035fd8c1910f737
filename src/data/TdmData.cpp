#include "TdmData.h"
#include "ListCounter.h"
#include "XlsxExport.h"
#include "SqlText.h"

#include <QRegularExpression>
#include <QDateTime>

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "app/Settings.h"
#include "app/Shell.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTime>

TdmData *dmData = nullptr;

namespace {
const QString kOpFailed = QStringLiteral("操作失败，请检查数据连接... ");
const QString kDeleteFailed = QStringLiteral("删除操作失败，请检查数据连接... ");
const QString kOpenFailed = QStringLiteral("打开操作失败，请检查数据连接... ");

// The wait cursor for the length of one operation.
class WaitCursor {
public:
    WaitCursor() { if (qobject_cast<QApplication *>(QCoreApplication::instance())) QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { if (qobject_cast<QApplication *>(QCoreApplication::instance())) QApplication::restoreOverrideCursor(); }
};
} // namespace

TdmData::TdmData(QObject *parent)
    : QObject(parent), QryPub(new DataSet(&ADOcnn, this)), QryTemp(new DataSet(&ADOcnn, this))
{
    QryPub->setObjectName(QStringLiteral("QryPub"));
    QryTemp->setObjectName(QStringLiteral("QryTemp"));
    if (!dmData) dmData = this;
}

TdmData::~TdmData()
{
    QryPub->close();
    QryTemp->close();
    if (dmData == this) dmData = nullptr;
}

bool TdmData::connect(const ConnectionSettings &settings, QString *error)
{
    m_connected = ADOcnn.open(settings);
    if (!m_connected && error) *error = ADOcnn.lastError();
    return m_connected;
}

bool TdmData::RunSQL(const QString &sql)
{
    QryPub->close();
    QryPub->params().clear();
    QryPub->setSql(sql);
    if (QryPub->execSql()) return true;
    ShowMess(kOpFailed, 3);
    return false;
}

bool TdmData::DeleteByID(const QString &table, qint64 id)
{
    QryPub->close();
    QryPub->params().clear();
    QryPub->setSql(QStringLiteral("delete from ") + table + QStringLiteral(" where F_ID = ") + QString::number(id));
    if (QryPub->execSql()) return true;
    ShowMess(kDeleteFailed, 3);
    return false;
}

bool TdmData::openTemp(const QString &sql)
{
    QryTemp->params().clear();
    QryTemp->setSql(sql);
    if (QryTemp->open()) return true;
    ShowMess(kOpFailed, 3);
    return false;
}

QString TdmData::GetStrValue(const QString &sql)
{
    return openTemp(sql) && !QryTemp->isEmpty() ? QryTemp->field(0).asString() : QString();
}

int TdmData::GetIntValue(const QString &sql)
{
    return openTemp(sql) && !QryTemp->isEmpty() ? QryTemp->field(0).asInteger() : 0;
}

bool TdmData::GetBoolValue(const QString &sql)
{
    return openTemp(sql) && !QryTemp->isEmpty() && QryTemp->field(0).asBoolean();
}

bool TdmData::OpenSQL(const QString &sql, DataSet *query)
{
    if (!query) return false;
    query->close();
    query->setSql(sql);
    if (query->open()) return true;
    ShowMess(kOpenFailed, 3);
    return false;
}

void TdmData::FillItems(const QString &sql, QComboBox *box)
{
    box->clear();
    box->addItem(QString());
    if (!openTemp(sql)) return;
    for (QryTemp->first(); !QryTemp->eof(); QryTemp->next()) {
        const QString v = QryTemp->field(0).asString();
        if (!v.trimmed().isEmpty()) box->addItem(v);
    }
}

void TdmData::SelectItem(const QString &value, QComboBox *box)
{
    // Lower-casing touches A-Z only, as the stored codes expect.
    auto fold = [](const QString &s) {
        QString r = s.trimmed();
        for (QChar &c : r)
            if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
        return r;
    };
    const QString wanted = fold(value);
    int found = -1;
    for (int i = 0; i < box->count(); ++i)
        if (fold(box->itemText(i)) == wanted) found = i;
    if (found >= 0) {
        box->setCurrentIndex(found);
    } else if (box->isEditable()) {
        box->setEditText(value);
    } else {
        // A stored value missing from the list is still shown and saved back.
        box->addItem(value);
        box->setCurrentIndex(box->count() - 1);
    }
}

void TdmData::WriteLog(const QString &operation)
{
    QryTemp->close();
    QryTemp->params().clear();
    QryTemp->setSql(QStringLiteral("insert into LogRec(F_EmpName,F_OperType,F_OperDate,F_OperTime) values(:EmpName,:OperType,:OperDate,:OperTime)"));
    QryTemp->setParam(QStringLiteral("EmpName"), PubUnit::CurOper);
    QryTemp->setParam(QStringLiteral("OperType"), operation);
    QryTemp->setParam(QStringLiteral("OperDate"), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    QryTemp->setParam(QStringLiteral("OperTime"), QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    QryTemp->execSql();   // a broken log never disturbs the caller
    QryTemp->params().clear();
}

std::optional<QString> TdmData::codeAfter(const QString &code, int digits)
{
    const QString prefix = code.size() > digits ? code.left(code.size() - digits) : QString();
    const QString tail = code.isEmpty() ? QString(digits, u'0') : code.right(digits);
    if (tail.isEmpty()) return std::nullopt;
    for (QChar c : tail)
        if (c < u'0' || c > u'9') return std::nullopt;
    // Counting up in the text keeps the zeros and the length; a carry out of
    // the first digit is dropped (99999999 is followed by 00000000).
    QString number = tail;
    for (int i = number.size() - 1; i >= 0; --i) {
        if (number[i] != u'9') {
            number[i] = QChar(number[i].unicode() + 1);
            break;
        }
        number[i] = u'0';
    }
    return prefix + number;
}

QString TdmData::NextCode(const QString &table, const QString &column, int digits)
{
    auto open = [this](const QString &sql) {
        QryTemp->params().clear();
        QryTemp->setSql(sql);
        if (!QryTemp->open()) throw DbError(QryTemp->lastError().toStdString());
    };
    auto inUse = [&](const QString &code) {
        open(QStringLiteral("select count(*) from ") + table + QStringLiteral(" where ") + column + QStringLiteral(" = '")
             + sqlValue(code) + QStringLiteral("'"));
        return !QryTemp->isEmpty() && QryTemp->field(0).asInteger() > 0;
    };
    // From the largest code down, in the text order max() uses, a page at a
    // time: the first code ending in a number whose follower is free. Codes
    // typed with letters at the end and a wrapped follower are passed over.
    constexpr int kPage = 200;
    QString below;
    for (bool more = true; more;) {
        QString sql = QStringLiteral("select top %1 %2 from %3 where %2 is not null ").arg(kPage).arg(column, table);
        if (!below.isNull()) sql += QStringLiteral("and %1 < '").arg(column) + sqlValue(below) + QStringLiteral("' ");
        open(sql + QStringLiteral("order by %1 desc").arg(column));
        QStringList codes;
        for (QryTemp->first(); !QryTemp->eof(); QryTemp->next()) codes << QryTemp->field(0).asString();
        more = codes.size() == kPage;
        if (!codes.isEmpty()) below = codes.last();
        for (const QString &c : std::as_const(codes)) {
            const std::optional<QString> next = codeAfter(c, digits);
            if (next && !inUse(*next)) return *next;
        }
    }
    // No code ends in a number (or an empty table): the first code.
    const QString first = *codeAfter(QString(), digits);
    if (inUse(first)) throw DbError(QStringLiteral("没有可用的新编码").toStdString());
    return first;
}

bool TdmData::HasRight(const QString &code)
{
    return GetIntValue(QStringLiteral("Select o.F_ID from OperLimit as O left join Limits as l On O.F_lmtName = L.F_name Where (O.F_OperName = '")
                       + sqlValue(PubUnit::CurOper) + QStringLiteral("')And(l.F_code = '") + sqlValue(code)
                       + QStringLiteral("') ")) > 0;
}

QString TdmData::MakeDisplayFormat(int decimals, int kind)
{
    const int n = qMax(0, decimals);
    if (kind == 1) return QLatin1String("0.") + QString(n, u'#');
    QString places;
    for (int i = 0; i < n; ++i) places += i < 2 ? u'0' : u'#';
    return QStringLiteral("￥,0.") + places;
}

bool TdmData::ExportToExcel(const QList<ExportColumn> &columns, DataSet *data, const QString &sheetName, bool visible)
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    QString base = sheetName.trimmed().isEmpty() ? QStringLiteral("导出") : sheetName.trimmed();
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\s]"));
    base.replace(unsafe, QStringLiteral("_"));
    const QString path = QDir(dir).filePath(
        QStringLiteral("%1_%2.xlsx").arg(base, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss_zzz"))));
    QString error;
    QString readError;
    bool ok;
    {
        WaitCursor wait;
        DataSetSource rows(data, columns);
        ok = writeXlsx(path, sheetName, xlsxColumns(rows), rows, &error);
        readError = rows.error();
        if (data && data->isActive()) data->first();
    }
    if (!ok && !readError.isEmpty()) {
        // The list could not be read again (a long list reads the database):
        // the data-access message, not the server's text.
        qWarning("export failed: %s", qPrintable(error));
        ShowMess(kOpenFailed, 3);
        return false;
    }
    if (!ok) {
        Dialogs::current().standardMessage(error, QStringLiteral("错误"), Dialogs::Kind::Error);
        return false;
    }
    // The list is exported either way; without a program to open it the
    // operator must know where the file went.
    if (visible && !Shell::current().openDocument(path))
        ShowMess(QStringLiteral("系统中没有可以打开电子表格文件的软件，导出的文件已保存在：\n%1")
                     .arg(QDir::toNativeSeparators(path)),
                 0);
    return true;
}

QString TdmData::backupFileName(const QString &folder, const QDate &day)
{
    return QDir(folder).filePath(QStringLiteral("dp") + day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".back"));
}

bool TdmData::backupTo(const QString &file, QString *error)
{
    if (!ADOcnn.ensureOpen()) {
        *error = ADOcnn.lastError();
        return false;
    }
    QSqlDatabase db = ADOcnn.database();
    return ADOcnn.dialect().backup(db, ADOcnn.settings(), file, error);
}

bool TdmData::restoreFrom(const QString &file, QString *error)
{
    if (!ADOcnn.ensureOpen()) {
        *error = ADOcnn.lastError();
        return false;
    }
    const ConnectionSettings settings = ADOcnn.settings();
    ListCounter::closeConnections();
    QryPub->close();
    QryTemp->close();
    ADOcnn.close();
    m_connected = false;
    return ADOcnn.dialect().restore(settings, file, error);
}

bool TdmData::reconnect(QString *error)
{
    const ConnectionSettings settings = ADOcnn.settings();
    m_connected = ADOcnn.open(settings);
    if (!m_connected && error) *error = ADOcnn.lastError();
    ListCounter::reopenConnections();
    return m_connected;
}

void TdmData::AutoBackup()
{
    const QString folder = GetStrValue(QStringLiteral("select f_BakPath from sysInfo")).trimmed();
    if (!QFileInfo(folder).isDir() || folder.isEmpty()) {
        if (ShowMess(QStringLiteral("当前目录") + folder + QStringLiteral(" 不存在，是否创建！"), 1) != Mess::Yes) return;
        if (folder.isEmpty() || !QDir().mkpath(folder)) {
            ShowMess(QStringLiteral("目录") + folder + QStringLiteral(" 创建失败,请检测路径是否合法!"), 3);
            return;
        }
    }
    const QString file = backupFileName(folder, QDate::currentDate());
    if (QFileInfo::exists(file)) return;   // one backup a day, never overwritten
    QString error;
    bool ok;
    {
        WaitCursor wait;
        ok = backupTo(file, &error);
    }
    if (!ok) {
        qWarning("automatic backup failed: %s", qPrintable(error));
        ShowMess(QStringLiteral("备份失败，请与管理员联系！"), 3);
    }
}
