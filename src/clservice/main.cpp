#include "StartUp.h"

#include "app/ProgramFolder.h"

#include <QApplication>
#include <QFontDatabase>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ProgramFolder::initFromArguments(QApplication::arguments());

    // Left to fontconfig, Chinese text falls back to Japanese glyph shapes.
    const QString cjk = QStringLiteral("Noto Sans CJK SC");
    if (QFontDatabase::families().contains(cjk)) {
        QFont f = QApplication::font();
        f.setFamily(cjk);
        QApplication::setFont(f);
    }

    StartUp startUp;
    return startUp.run();
}
