// mdsetup: creates, checks and queries the database named in Config.ini.
#include "SetupCommands.h"
#include "SetupWindow.h"

#include "app/Application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const QStringList command = SetupCommands::commandArguments(args);

    if (command.isEmpty()) {
        QApplication app(argc, argv);
        initApplication(args);
        TfrmSetup window;
        return window.exec() == QDialog::Accepted ? SetupCommands::Ok : SetupCommands::Failed;
    }
    QCoreApplication app(argc, argv);
    initApplication(args);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return SetupCommands::run(command, out, err);
}
