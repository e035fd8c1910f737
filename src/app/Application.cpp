#include "Application.h"
#include "ProgramFolder.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
// Qt's own texts (file, print and page set-up dialogs, standard buttons)
// in Simplified Chinese, like the rest of the interface.
void loadQtTranslations()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || app->findChild<QTranslator *>(QStringLiteral("qtbase_zh_CN"))) return;
    auto *t = new QTranslator(app);
    t->setObjectName(QStringLiteral("qtbase_zh_CN"));
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (t->load(QStringLiteral("qtbase_zh_CN"), dir)) {
        QCoreApplication::installTranslator(t);
    } else {
        qWarning("Qt's Chinese texts (qtbase_zh_CN.qm) are missing from %s; install qt6-translations-l10n",
                 qPrintable(dir));
        delete t;
    }
}
} // namespace

void initApplication(const QStringList &args)
{
    ProgramFolder::initFromArguments(args);
    loadQtTranslations();
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) return;
    // Left to fontconfig, Chinese text falls back to Japanese glyph shapes.
    const QString cjk = QStringLiteral("Noto Sans CJK SC");
    if (QFontDatabase::families().contains(cjk)) {
        QFont f = QApplication::font();
        f.setFamily(cjk);
        QApplication::setFont(f);
    }
}
