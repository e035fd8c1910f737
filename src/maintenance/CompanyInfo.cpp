#include "CompanyInfo.h"

#include "access/FieldLimit.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QRegularExpression>
#include <QSqlQuery>

const std::array<CompanyField, 10> &companyFields()
{
    static const std::array<CompanyField, 10> f{{
        {"edtCode", "公司名称", "F_Code"},
        {"edtName", "联系地址", "F_Name"},
        {"edtManager", "负责人", "F_Manager"},
        {"edtPhone", "联系电话", "F_Phone"},
        {"edtMovePhone", "手机", "F_HandPhone"},
        {"edtHomepage", "主页", "F_Homepage"},
        {"edtEmail", "电子邮箱", "F_Email"},
        {"edtBakPath", "数据备份路径", "F_BakPath"},
        {"edtEnroler", "注册法人", "F_Enroler"},
        {"Mem", "公司简介", "F_Mem"},
    }};
    return f;
}

QString sysInfoUpdateSql(const CompanyInfo &info)
{
    auto v = [&info](int i) { return sqlValue(info.values[size_t(i)].trimmed()); };
    return QStringLiteral("Update SysInfo Set F_Code = '") + v(CoName) + QStringLiteral("',F_Name = '") + v(CoAddress)
           + QStringLiteral("',F_Manager = '") + v(CoManager) + QStringLiteral("',F_Phone = '") + v(CoPhone)
           + QStringLiteral("',F_HandPhone = '") + v(CoMobile) + QStringLiteral("',F_HomePage = '") + v(CoHomepage)
           + QStringLiteral("',F_Email = '") + v(CoEmail) + QStringLiteral("',F_BakPath = '") + v(CoBakPath)
           + QStringLiteral("',F_Enroler = '") + v(CoEnroler) + QStringLiteral("',F_Mem = '") + v(CoMem)
           + QStringLiteral("' ");
}

std::optional<TooLong> firstTooLong(const CompanyInfo &info)
{
    for (int i = 0; i < int(companyFields().size()); ++i) {
        const CompanyField &f = companyFields()[size_t(i)];
        // What is stored: trimmed, without NUL characters.
        const QString text = info.values[size_t(i)].trimmed().remove(QChar(u'\0'));
        int limit = columnLimit(QStringLiteral("SysInfo"), QString::fromLatin1(f.column));
        // Nothing longer goes to the platform as an address or a folder, whatever the column.
        if (limit <= 0 || limit > 255) limit = 255;
        if (text.size() > limit)
            return TooLong{i, tooLongMessage(QString::fromUtf8(f.label), limit, int(text.size()))};
    }
    return std::nullopt;
}

bool IsEmailAddress(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool ok = u == u'-' || u == u'.' || u == u'_' || u == u'@' || (u >= u'0' && u <= u'9')
                        || (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
        if (!ok) return false;
    }
    if (!text.contains(u'@') || text.contains(QLatin1String(".."))) return false;
    const qsizetype at = text.indexOf(u'@');
    const QString local = text.left(at);
    const QString domain = text.mid(at + 1);
    if (local.isEmpty() || domain.size() < 4) return false;
    const qsizetype dot = domain.indexOf(u'.');   // 0-based; the rule counts from 1
    return dot >= 0 && dot + 1 < domain.size() - 2;
}

QString homepageUrl(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    static const QRegularExpression scheme(QStringLiteral("^https?:"), QRegularExpression::CaseInsensitiveOption);
    return scheme.match(t).hasMatch() ? t : QStringLiteral("http://") + t;
}

QString mailtoUrl(const QString &text)
{
    const QString t = text.trimmed();
    return IsEmailAddress(t) ? QStringLiteral("mailto:") + t + QStringLiteral("?subject") : QString();
}

std::optional<CompanyInfo> CompanyStore::load()
{
    DataSet q(&m_dm.ADOcnn);
    if (!m_dm.OpenSQL(QStringLiteral("Select * from SysInfo"), &q) || q.isEmpty()) return std::nullopt;
    q.first();
    CompanyInfo info;
    for (int i = 0; i < int(companyFields().size()); ++i)
        info.values[size_t(i)] = q.fieldByName(QString::fromLatin1(companyFields()[size_t(i)].column)).asString();
    return info;
}

bool CompanyStore::save(const CompanyInfo &info)
{
    Connection &cnn = m_dm.ADOcnn;
    ScopedTransaction transaction(cnn);
    QSqlQuery q;
    if (!transaction.isActive() || !cnn.exec(q, sysInfoUpdateSql(info)) || !transaction.commit()) {
        m_lastError = cnn.lastError();
        return false;
    }
    m_lastError.clear();
    return true;
}
