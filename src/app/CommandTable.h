#pragma once
// Every command of the main window that carries a number: its caption, menu
// group and icon, and how it is granted. The starting rows of Limits, the
// main window's actions and the rights applied at login all read this table.

#include <QList>
#include <QStyle>
#include <span>

struct CommandInfo {
    int code;
    const char *caption;
    const char *group;             // main menu ("文件" ...), "从编辑" for the detail tabs, "" for none
    QStyle::StandardPixmap icon;
    // The Limits row that grants it; nullptr when it is not a right of its own.
    const char *rightName;
    bool offered;                  // Limits.F_flag: offered in the rights editor
    bool hasAction;                // false: a right that gates no entry (105, 505)
    int follows;                   // a follower's visibility is that of this right; 0 for none
};

namespace Commands {

std::span<const CommandInfo> all();
const CommandInfo *find(int code);

// The codes kept in Limits, in the order they are stored and asked at login.
QList<int> rightCodes();
inline bool isRight(const CommandInfo &c) { return c.rightName != nullptr; }
// Never gated: no right of its own and follows none.
inline bool alwaysVisible(const CommandInfo &c) { return !isRight(c) && c.follows == 0; }

} // namespace Commands
