#include "Application.h"
#include "ProgramFolder.h"

#include <QApplication>
#include <QFontDatabase>

void initApplication(const QStringList &args)
{
    ProgramFolder::initFromArguments(args);
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
    // Left to fontconfig, Chinese text falls back to Japanese glyph shapes.
    const QString cjk = QStringLiteral("Noto Sans CJK SC");
    if (QFontDatabase::families().contains(cjk)) {
        QFont f = QApplication::font();
        f.setFamily(cjk);
        QApplication::setFont(f);
    }
}
