// mdconn: sets up the client's database connection in Config.ini.

#include "ConnDialog.h"

#include "app/Application.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    initApplication(QApplication::arguments());
    PrivateProfile ini(ProgramFolder::filePath(QStringLiteral("Config.ini")));
    TfrmConnSet frm(ini);
    return frm.exec() == QDialog::Accepted ? 0 : 1;
}
