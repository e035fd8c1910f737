#include "ServiceEditSql.h"

#include "data/SqlText.h"

QString serviceInsertSql(ServiceKind kind)
{
    switch (kind) {
    case ServiceKind::Repair:
        return QStringLiteral(
            "Insert into T_WXrec(F_mainID,F_CLTcode,F_CLTname,F_BXdate, F_XFdate,F_xinghao,F_reason,F_amount,"
            "F_shoukuan,F_setupDept,F_billcode, F_mem1,F_price,F_totalPrice, F_FWname,F_JScode) "
            "Values(:mainID,:CLTcode,:CLTname,:BXdate,:XFdate,:xinghao,:reason, :amount,:shoukuan,:setupDept,"
            ":billcode,:mem1,:price,:totalPrice, :FWname,:JScode) ");
    case ServiceKind::ReturnVisit:
        return QStringLiteral(
            "Insert into T_HFrec(F_mainID,F_cltCode,F_cltName,F_date, F_empName,F_mem1,F_mem2,F_editDate) "
            "Values(:mainID,:cltCode,:cltName,:date,:empName,:mem1,:mem2,:editDate) ");
    case ServiceKind::Complaint:
        return QStringLiteral(
            "Insert into T_TSrec(F_mainID,F_cltCode,F_cltName,F_tsDate, F_jibie,F_maker,F_reason,F_memo1,F_memo2) "
            "Values(:mainID,:cltCode,:cltName,:tsDate,:jibie,:maker,:reason, :memo1,:memo2) ");
    }
    return {};
}

QString serviceUpdateSql(ServiceKind kind)
{
    switch (kind) {
    case ServiceKind::Repair:
        return QStringLiteral(
            "Update T_WXrec Set F_mainID = :mainID,F_CLTcode = :CLTcode, F_CLTname = :CLTname,F_BXdate = :BXdate,"
            "F_XFdate = :XFdate, F_xinghao = :xinghao,F_reason = :reason,F_amount = :amount,F_shoukuan = :shoukuan, "
            "F_setupDept = :setupDept,F_billcode = :billcode,F_mem1 = :mem1, F_price = :price,"
            "F_totalPrice = :totalPrice,F_FWname = :FWname, F_JScode = :JScode Where F_ID = :ID");
    case ServiceKind::ReturnVisit:
        return QStringLiteral(
            "Update T_HFrec Set F_mainID = :mainID,F_cltCode = :cltCode, F_cltName = :cltName,F_date = :date,"
            "F_empName = :empName,F_mem1 = :mem1, F_mem2 = :mem2,F_editDate = :editDate Where F_ID = :ID");
    case ServiceKind::Complaint:
        return QStringLiteral(
            "Update T_TSrec Set F_mainID = :mainID,F_CLTcode = :CLTcode, F_CLTname = :CLTname,F_tsDate = :tsDate,"
            "F_jibie = :jibie,F_maker = :maker, F_reason = :reason,F_memo1 = :memo1,F_memo2 = :memo2 "
            "Where F_ID = :ID");
    }
    return {};
}

namespace {

// An empty box is stored as an empty text, never as NULL.
QString textOf(const QString &s)
{
    return s.isNull() ? QStringLiteral("") : s;
}

} // namespace

Params serviceParams(ServiceKind kind, const ServiceRecord &record, std::optional<qint64> editedId,
                     const QDate &today)
{
    const ServiceKindData &data = serviceKindData(kind);
    Params p;
    p.set(QStringLiteral("mainID"), record.customerId);
    p.set(QStringLiteral("CLTcode"), textOf(record.cltCode.trimmed()));
    p.set(QStringLiteral("CLTname"), textOf(record.cltName.trimmed()));
    for (const ServiceField &f : data.fields) {
        const QVariant v = record.value(f.param);
        const QString name = QString::fromLatin1(f.param);
        switch (f.value) {
        case ServiceValue::Trimmed: p.set(name, textOf(v.toString().trimmed())); break;
        case ServiceValue::AsTyped: p.set(name, textOf(v.toString())); break;
        case ServiceValue::Number: p.set(name, v.toDouble()); break;
        }
    }
    if (data.stampsEditDate) p.set(QStringLiteral("editDate"), today);
    if (editedId) p.set(QStringLiteral("ID"), *editedId);
    return p;
}

QString customerByCodeSql(const QString &code)
{
    return QStringLiteral("select F_ID, F_name from t_client where F_code = '") + sqlValue(code.trimmed())
           + QStringLiteral("' ");
}
