// mdconn: sets up the client's database connection in Config.ini.

#include "ConnDialog.h"

#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"

#include <QApplication>
#include <QFontDatabase>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ProgramFolder::initFromArguments(QApplication::arguments());

    const QString cjk = QStringLiteral("Noto Sans CJK SC");
    if (QFontDatabase::families().contains(cjk)) {
        QFont f = QApplication::font();
        f.setFamily(cjk);
        QApplication::setFont(f);
    }

    PrivateProfile ini(ProgramFolder::filePath(QStringLiteral("Config.ini")));
    TfrmConnSet frm(ini);
    return frm.exec() == QDialog::Accepted ? 0 : 1;
}
