#pragma once
// A service record as its editor holds it, and what differs between the
// three kinds: table, detail tab, texts and the values each one writes.

#include "ServiceEditors.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

// How a value of the form reaches its parameter.
enum class ServiceValue {
    Trimmed,   // a text, blanks and line breaks at both ends removed
    AsTyped,   // memos and the formed date texts, exactly as given
    Number,    // a floating-point number
};

struct ServiceField {
    const char *param;   // the statement's parameter, matched without regard to case
    ServiceValue value;
};

struct ServiceKindData {
    ServiceKind kind;
    const char *table;        // T_WXrec ...
    const char *title;        // caption before " - 新增" / " - 修改"
    const char *emptyName;    // the message when no customer is given
    const char *logNew;       // operation log texts
    const char *logEdit;
    QList<ServiceField> fields;   // beyond the customer's id, code and name
    bool stampsEditDate;      // the save also writes today's date into :editDate
};

const ServiceKindData &serviceKindData(ServiceKind kind);
// The main window's detail tab that lists the kind.
inline int detailTab(ServiceKind kind) { return int(kind); }

// Values as typed, by parameter name; the customer apart, since every kind has one.
struct ServiceRecord {
    qint64 customerId = 0;
    QString cltCode, cltName;
    QHash<QString, QVariant> values;

    void set(const char *param, const QVariant &v) { values.insert(QString::fromLatin1(param).toLower(), v); }
    QVariant value(const char *param) const { return values.value(QString::fromLatin1(param).toLower()); }
};

// A complaint's moment as it is stored: "yyyy-MM-dd hh:mm:ss".
QString complaintMoment(const QDate &date, const QTime &time);
