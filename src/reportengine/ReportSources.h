#pragma once
// The named sources a template's bands and expressions read ("frMain",
// "frDetail1", "frDBDataSet1", ...): rows through the one RowSource every
// list output uses, so a cell prints as the grid shows it. Names match
// without regard to case.

#include "data/RowSource.h"

#include <QHash>
#include <QString>

namespace Report {

struct BoundSource {
    RowSource *rows = nullptr;    // not owned
    int currentRow = -1;          // the window's current row (bands with currentRowOnly); -1: none
};

class Sources {
public:
    void bind(const QString &name, RowSource *rows, int currentRow = -1) { m_sources.insert(name.toLower(), {rows, currentRow}); }
    void unbind(const QString &name) { m_sources.remove(name.toLower()); }
    // nullptr rows when the name is not bound.
    BoundSource find(const QString &name) const { return m_sources.value(name.toLower()); }
    QStringList names() const { return m_sources.keys(); }

private:
    QHash<QString, BoundSource> m_sources;
};

} // namespace Report
