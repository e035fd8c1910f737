#pragma once
// The site-wide settings rows (KeyValue, matched by position in F_ID order)
// written back from the settings window, and the workstation's input-method
// names offered by its drop-down.

#include "app/PubUnit.h"

#include <QString>
#include <QStringList>

class TdmData;

// The parameterised update of one settings row.
QString keyValueUpdateSql();   // :value, :id
// The captions of the free fields (positions 1-11) keep at most this many characters.
int keyValueLimit();

class KeyValueStore {
public:
    explicit KeyValueStore(TdmData &dm) : m_dm(dm) {}

    // Writes positions 1..15 of `values` into the rows of KeyValue in F_ID
    // order, all or nothing. Rows beyond the fifteenth are kept; with fewer
    // rows, the positions without a row are not written.
    bool write(const PubUnit::KeyValueList &values);
    // The rows found by the last write.
    int rowsFound() const { return m_rows; }
    QString lastError() const { return m_lastError; }

private:
    TdmData &m_dm;
    int m_rows = 0;
    QString m_lastError;
};

// What the operator is told when the table does not hold fifteen rows ("" when it does).
QString keyValueRowsNote(int rows);

// The input methods of the desktop: fcitx5's profile and ibus's preloaded
// engines, each name once, in the order found.
QStringList installedInputMethods();
// The item names of a fcitx5 profile file (its [Groups/n/Items/m] Name= lines).
QStringList fcitx5ProfileNames(const QString &profileText);
// The engines of a gsettings list such as "['pinyin', 'libpinyin']".
QStringList ibusEngineNames(const QString &gsettingsText);
