#pragma once
// The named sources a template's bands and expressions read ("frMain",
// "frDetail1", "frDBDataSet1", ...): rows through the one RowSource every
// list output uses, so a cell prints as the grid shows it. Names match
// without regard to case.

#include "data/RowSource.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <utility>

namespace Report {

struct BoundSource {
    RowSource *rows = nullptr;    // not owned
    int currentRow = -1;          // the window's current row (bands with currentRowOnly); -1: none
};

class Sources {
public:
    void bind(const QString &name, RowSource *rows, int currentRow = -1)
    {
        m_sources.insert(name.toLower(), {name, {rows, currentRow}});
    }
    void unbind(const QString &name) { m_sources.remove(name.toLower()); }
    // nullptr rows when the name is not bound.
    BoundSource find(const QString &name) const { return m_sources.value(name.toLower()).second; }
    // As they were bound ("frMain").
    QStringList names() const
    {
        QStringList n;
        for (const auto &entry : m_sources) n << entry.first;
        return n;
    }

private:
    QHash<QString, std::pair<QString, BoundSource>> m_sources;
};

} // namespace Report
