#pragma once
// The statements of the service record editors and their parameters. The
// row is written with parameters only; nothing of the form is placed in the
// statement text.

#include "ServiceRecord.h"
#include "data/Connection.h"

#include <QDate>
#include <optional>

// The customer a typed ID code names (F_ID and F_name).
QString customerByCodeSql(const QString &code);

QString serviceInsertSql(ServiceKind kind);
QString serviceUpdateSql(ServiceKind kind);
// The parameters of either statement; an edited row's id goes into :ID and
// `today` into :editDate where the kind stamps it.
Params serviceParams(ServiceKind kind, const ServiceRecord &record, std::optional<qint64> editedId,
                     const QDate &today);
